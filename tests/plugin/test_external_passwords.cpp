// The password for other PDF files and the reason that follows the failure
// message when one is refused, through QnD_SetVar and QnD_GetVar as a script
// uses them. The encrypted files are made by qpdf from a sample file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "plugin/exports.h"
#include "recording_host.h"
#include "sample_pdf.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {


using ZavorTest::ReadVariable;

std::string Refusal(const std::string &file, const std::string &reason) {
    return "Die Datei \"" + file + "\" konnte nicht eingelesen werden. " + reason;
}

const std::string kPasswordReason = "Das Passwort fehlt oder ist falsch.";

class ExternalPasswords : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        ZavorTest::WriteSamplePdf(sample, {{"Eins", "Zwei"}, "/Title (Zwei Seiten)"});
    }
    void TearDown() override { QnD_SetVar("ExternePDFDatei_Passwort", ""); }

    // The user password in UTF-8, as qpdf takes it; the owner's ("chef")
    // names the file for the suite's own check: the host could not pass a
    // path with a user password such as the euro sign in code page 1252.
    std::string Encrypted(const std::string &name, const std::string &user, const std::string &options) {
        std::string file = name + ".pw-chef.pdf";
        std::string target = ZavorTest::OutputPath(file).string();
        // Tests run side by side and make the same files: each writes its
        // own scratch copy and renames it into place whole.
        std::string scratch = target + "." + std::to_string(getpid()) + ".tmp";
        std::string output = ZavorTest::RunCommand("qpdf --object-streams=disable --encrypt '" + user + "' chef " +
                                                   options + " -- '" + sample + "' '" + scratch + "' 2>&1 && mv '" +
                                                   scratch + "' '" + target + "'");
        EXPECT_TRUE(std::filesystem::exists(target)) << output;
        return target;
    }

    ZavorTest::RecordingHost host;
    std::string sample = ZavorTest::OutputPath("external_passwords_sample.pdf").string();
};

TEST_F(ExternalPasswords, AesFilesOpenWithTheUserOrOwnerPassword) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    struct Case {
        const char *name, *options;
        std::string user;   // UTF-8 for qpdf
        std::string typed;  // code page 1252, as the host passes it
    };
    const Case cases[] = {
        {"external_aes128", "128 --use-aes=y", "leser", "leser"},
        {"external_aes128_clear", "128 --use-aes=y --cleartext-metadata", "leser", "leser"},
        {"external_aes256", "256", "leser", "leser"},
        {"external_aes128_umlaut", "128 --use-aes=y", "Gr\xC3\xBC\xC3\x9F" "e\xE2\x82\xAC", "Gr\xFC\xDF" "e\x80"},
        {"external_aes256_umlaut", "256", "Gr\xC3\xBC\xC3\x9F" "e\xE2\x82\xAC", "Gr\xFC\xDF" "e\x80"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string file = Encrypted(c.name, c.user, c.options);
        QnD_SetVar("ExternePDFDatei_Passwort", "");
        ZavorTest::RecordedEvents().clear();
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "");
        EXPECT_EQ(ReadVariable("Fehler"), Refusal(file, kPasswordReason));
        EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});

        for (const std::string &password : {c.typed, std::string("chef")}) {
            EXPECT_EQ(QnD_SetVar("ExternePDFDatei_Passwort", password.c_str()), 1);
            EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "2");
            EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_Titel", file), "Zwei Seiten");
            EXPECT_EQ(ReadVariable("ExternePDFDatei_Text", "2;" + file), "Zwei\r\n");
        }
        QnD_SetVar("ExternePDFDatei_Passwort", "falsch");
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Text", "1;" + file), "");
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", file), "");
        EXPECT_EQ(ReadVariable("Fehler"), Refusal(file, kPasswordReason));
    }
}

TEST_F(ExternalPasswords, ImportedAesPagesSaveAsACheckedFile) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    std::string aes128 = Encrypted("external_import_aes128", "leser", "128 --use-aes=y");
    std::string aes256 = Encrypted("external_import_aes256", "", "256");
    QnD_SetVar("ExternePDFDatei_Passwort", "leser");
    QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", aes128.c_str());
    // A file that opens without a password does so also while one is set.
    QnD_SetVar("ExternePDFDatei_Hinzufuegen", ("1;1;" + aes256).c_str());
    EXPECT_EQ(ReadVariable("AnzahlSeiten"), "3");
    // The second page of the AES-128 file as a picture, on a page of its
    // own: imports leave no page to draw on.
    QnD_SetVar("BildHinzufuegen", (aes128 + "#2").c_str());
    EXPECT_EQ(ReadVariable("Fehler"), "");
    EXPECT_TRUE(host.Events().empty());
    const std::string saved = ZavorTest::OutputPath("external_passwords_imported.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(ReadVariable("Fehler"), "");
    std::string check = ZavorTest::RunCommand("qpdf --check '" + saved + "' 2>&1");
    EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos) << check;
    std::string text = ZavorTest::RunCommand("pdftotext '" + saved + "' - 2>&1");
    EXPECT_NE(text.find("Eins"), std::string::npos) << text;
    EXPECT_NE(text.find("Zwei"), std::string::npos) << text;
    std::string last = ZavorTest::RunCommand("pdftotext -f 4 -l 4 '" + saved + "' - 2>&1");
    EXPECT_NE(last.find("Zwei"), std::string::npos) << last;
}

TEST_F(ExternalPasswords, EveryRefusalSaysWhy) {
    auto written = [](const std::string &name, const std::string &bytes) {
        std::string path = ZavorTest::OutputPath(name).string();
        ZavorTest::PublishFile(path, bytes);
        return path;
    };
    // Our own RC4 output with a version nobody can read.
    QnD_SetVar("Sicherheit_AnwenderPasswort", "u");
    QnD_SetVar("NeueSeite", "");
    const std::string rc4 = ZavorTest::OutputPath("external_passwords_rc4.pw-u.pdf").string();
    host.SaveTo(rc4);
    std::ifstream in(rc4, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t at = bytes.find("/V 2");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 4, "/V 3");
    const std::string missing = ZavorTest::OutputPath("external_passwords_missing.pdf").string();
    std::filesystem::remove(missing);
    struct Case {
        std::string file;
        std::string reason;
    };
    const Case cases[] = {
        {written("external_passwords_v3.dat", bytes),
         "Die Verschl\xFCsselung \"Standard V3\" wird nicht unterst\xFCtzt."},
        {written("external_passwords_text.dat", "Hallo, ich bin kein PDF.\n"), "Die Datei ist keine PDF-Datei."},
        {written("external_passwords_empty.dat", "%PDF-1.4\n%%EOF\n"),
         "Die Datei ist so besch\xE4" "digt, dass sie nicht repariert werden kann."},
        {missing, "Die Datei existiert nicht oder ist nicht lesbar."},
        {rc4, kPasswordReason},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_Autor", c.file), "");
        EXPECT_EQ(ReadVariable("Fehler"), Refusal(c.file, c.reason));
        QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", c.file.c_str());
        EXPECT_EQ(ReadVariable("Fehler"), Refusal(c.file, c.reason));
    }
    // The RC4 file opens with the password set.
    QnD_SetVar("ExternePDFDatei_Passwort", "u");
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", rc4), "1");
}

}  // namespace
