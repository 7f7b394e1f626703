// The variables for passwords, imports from other PDF files and notes, set
// through QnD_SetVar as a script sets them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/image_decoder.h"
#include "platform/image_encoder.h"
#include "platform/message_box.h"
#include "plugin/exports.h"
#include "recording_host.h"
#include "sample_pdf.h"
#include "support/platform_support.h"
#include "support/test_output.h"

namespace {

using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::MessageBoxMessage;

using ZavorTest::ReadVariable;

int Qpdf(const std::string &arguments) {
    int status = std::system(("qpdf " + arguments + " >/dev/null 2>&1").c_str());
    return ZavorTest::SystemExitCode(status);
}

MessageBoxMessage UnexpectedFailure(const std::u16string &message) {
    return {u"Interner Fehler im PDF-Plugin!\n\n" + message, u"Where is the Guru?", MessageBoxIcon::Error};
}

class FileVariables : public testing::Test {
protected:
    void SetUp() override {
        host.StartDocument();
        ZavorTest::WriteSamplePdf(sample, {{"Eins", "Zwei", "Drei"}, "/Title (Drei Seiten)"});
    }
    ZavorTest::RecordingHost host;
    std::string sample = ZavorTest::OutputPath("file_variables_sample.pdf").string();
};

TEST_F(FileVariables, ImportPagesByRange) {
    struct Case {
        std::string value;  // "{path}" stands for the three-page file
        int pages;
        bool reported;
        const char16_t *box;  // the failure's own message in the catch-all's box
    };
    const Case cases[] = {
        {";;{path}", 3, false, nullptr},
        {" ;\t;{path}", 3, false, nullptr},
        {"2;3;{path}", 2, false, nullptr},
        {"3;3;{path}", 1, false, nullptr},
        {"3;2;{path}", 0, false, nullptr},
        {"2;5;{path}", 2, true, nullptr},  // pages before the failure stay
        {"0;2;{path}", 0, true, nullptr},
        {"1;1;{path}.fehlt", 0, true, nullptr},
        {"1;2", 0, false, u"Der Wert hat kein Feld 2 (Felder werden mit \";\" getrennt)."},
        {"", 0, false, u"Der Wert hat kein Feld 1 (Felder werden mit \";\" getrennt)."},
        {"a;2;{path}", 0, false, u"Die Seitenzahl \"a\" ist keine ganze Zahl."},
        {"1;2.5;{path}", 0, false, u"Die Seitenzahl \"2.5\" ist keine ganze Zahl."},
    };
    for (const Case &test : cases) {
        std::string value = test.value;
        if (std::size_t at = value.find("{path}"); at != std::string::npos) value.replace(at, 6, sample);
        SCOPED_TRACE(value);
        host.StartDocument();
        ZavorTest::RecordedEvents().clear();
        ZavorPlatform::MessageBoxRecorder boxes;
        EXPECT_EQ(QnD_SetVar("ExternePDFDatei_Hinzufuegen", value.c_str()), 1);
        EXPECT_EQ(ReadVariable("AnzahlSeiten"), std::to_string(test.pages));
        EXPECT_EQ(host.Events().size(), test.reported ? 1u : 0u);
        if (test.reported) {
            std::string file = value.substr(value.rfind(';') + 1);
            // Only a file that cannot be opened says why; a page out of
            // range is the script's fault.
            std::string reason = file.ends_with(".fehlt") ? " Die Datei existiert nicht oder ist nicht lesbar." : "";
            EXPECT_EQ(ReadVariable("Fehler"), "Die Datei \"" + file + "\" konnte nicht eingelesen werden." + reason);
            EXPECT_EQ(host.Events().front(), "ZAVOR_DateiFehler");
        }
        if (test.box != nullptr) {
            EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{UnexpectedFailure(test.box)});
        } else {
            EXPECT_TRUE(boxes.Messages().empty());
        }
    }
}

TEST_F(FileVariables, ImportedPagesKeepTheirContentAndOrder) {
    QnD_SetVar("externepdfdatei_HINZUFUEGEN", ("2;3;" + sample).c_str());
    QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", sample.c_str());
    const std::string saved = ZavorTest::OutputPath("file_variables_imported.pdf").string();
    host.SaveTo(saved);
    EXPECT_EQ(ReadVariable("Fehler"), "");
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", saved), "5");
    const char *expected[] = {"Zwei", "Drei", "Eins", "Zwei", "Drei"};
    for (int page = 1; page <= 5; ++page) {
        EXPECT_EQ(ReadVariable("ExternePDFDatei_Text", std::to_string(page) + ";" + saved),
                  std::string(expected[page - 1]) + "\r\n");
    }
}

// Object and cross-reference streams, as most files written today have
// them; the pages imported from one save as ordinary objects.
TEST_F(FileVariables, ObjectStreamFilesReadAndImport) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    const std::string streams = ZavorTest::OutputPath("file_variables_object_streams.pdf").string();
    ASSERT_EQ(Qpdf("--object-streams=generate " + sample + " " + streams), 0);
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", streams), "3");
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_Titel", streams), "Drei Seiten");
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Text", "2;" + streams), "Zwei\r\n");
    QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", streams.c_str());
    const std::string saved = ZavorTest::OutputPath("file_variables_from_object_streams.pdf").string();
    host.SaveTo(saved);
    EXPECT_EQ(ReadVariable("Fehler"), "");
    EXPECT_EQ(Qpdf("--check " + saved), 0);
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", saved), "3");
    std::ifstream file(saved, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find("/ObjStm"), std::string::npos);
    EXPECT_TRUE(host.Events().empty());
}

// The host names files in its ANSI code page; on disk they carry the same
// characters (UTF-8 on Linux, UTF-16 on Windows). Picture, imported file and
// saved file each take the way of their own to the file system.
TEST_F(FileVariables, FilesNamedWithUmlautsAreReadAndWritten) {
    namespace fs = std::filesystem;
    const fs::path folder = ZavorTest::OutputPath("umlaut_names");
    fs::create_directories(folder);
    ZavorPlatform::DecodedImage picture = ZavorPlatform::MakeBitmap(2, 2, ZavorPlatform::ImagePixelFormat::Rgb24);
    const std::vector<std::uint8_t> png = ZavorPlatform::EncodePng(picture);
    std::ofstream(folder / u8"Bild_\u00e4.png", std::ios::binary)
        .write(reinterpret_cast<const char *>(png.data()), static_cast<std::streamsize>(png.size()));
    fs::copy_file(sample, folder / u8"Seiten_\u00e4\u00f6\u00fc\u00df.pdf", fs::copy_options::overwrite_existing);
    fs::remove(folder / u8"Ausgabe_\u00c4.pdf");

    const std::string ansiFolder = folder.string() + "/";
    const std::string pages = ansiFolder + "Seiten_\xE4\xF6\xFC\xDF.pdf";
    EXPECT_EQ(QnD_SetVar("BildHinzufuegen", (ansiFolder + "Bild_\xE4.png").c_str()), 1);
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", pages), "3");
    EXPECT_EQ(QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", pages.c_str()), 1);
    host.SaveTo(ansiFolder + "Ausgabe_\xC4.pdf");
    EXPECT_EQ(ReadVariable("Fehler"), "");
    EXPECT_TRUE(host.Events().empty());
    ASSERT_TRUE(fs::is_regular_file(folder / u8"Ausgabe_\u00c4.pdf"));
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", ansiFolder + "Ausgabe_\xC4.pdf"), "4");
}

TEST_F(FileVariables, ImportOfAllPagesIgnoresABlankValue) {
    EXPECT_EQ(QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", " \t"), 1);
    EXPECT_EQ(ReadVariable("AnzahlSeiten"), "0");  // no implicit first page either
    const std::string missing = sample + ".fehlt";
    QnD_SetVar("ExternePDFDatei_AlleSeitenHinzufuegen", missing.c_str());
    EXPECT_EQ(ReadVariable("Fehler"), "Die Datei \"" + missing +
                                          "\" konnte nicht eingelesen werden. Die Datei existiert nicht oder ist "
                                          "nicht lesbar.");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    EXPECT_TRUE(host.Boxes().empty());
}

TEST_F(FileVariables, UserPasswordIsNeededToOpen) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    EXPECT_EQ(QnD_SetVar("Sicherheit_AnwenderPasswort", "geheim"), 1);
    EXPECT_EQ(ReadVariable("AnzahlSeiten"), "0");  // passwords make no page
    QnD_SetVar("NeueSeite", "");
    const std::string saved = ZavorTest::OutputPath("file_variables_user.pw-geheim.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(ReadVariable("Fehler"), "");
    EXPECT_EQ(Qpdf("--requires-password " + saved), 0);
    EXPECT_EQ(Qpdf("--check --password=geheim " + saved), 0);
    // The reader without a password cannot open it.
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", saved), "");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
}

TEST_F(FileVariables, OwnerPasswordAloneEncryptsButOpensWithout) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    QnD_SetVar("SICHERHEIT_BESITZERPASSWORT", "chef");
    QnD_SetVar("NeueSeite", "");
    const std::string saved = ZavorTest::OutputPath("file_variables_owner.pdf").string();
    host.SaveTo(saved);
    ASSERT_EQ(ReadVariable("Fehler"), "");
    EXPECT_EQ(Qpdf("--is-encrypted " + saved), 0);
    EXPECT_EQ(Qpdf("--requires-password " + saved), 3);  // encrypted, opens without a password
    EXPECT_EQ(ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", saved), "1");
}

TEST_F(FileVariables, EmptyPasswordKeepsTheDocumentFromBeingSaved) {
    QnD_SetVar("Sicherheit_BesitzerPasswort", "");
    QnD_SetVar("NeueSeite", "");
    const std::string saved = ZavorTest::OutputPath("file_variables_empty_password.pdf").string();
    std::filesystem::remove(saved);
    host.SaveTo(saved);
    EXPECT_EQ(ReadVariable("Fehler"), "Die PDF-Datei \"" + saved + "\" konnte nicht gespeichert werden.");
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_DateiFehler"});
    EXPECT_FALSE(std::filesystem::exists(saved));
}

TEST_F(FileVariables, NoteWithTooFewSeparatorsDoesNothingMore) {
    for (const char *value : {"", "  ", "3;Titel;Thema", "3\x02Titel"}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(QnD_SetVar("NotizHinzufuegen", value), 1);
    }
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_TRUE(host.Events().empty());
    EXPECT_EQ(ReadVariable("AnzahlSeiten"), "1");  // the implicit first page
}

// The host hands texts over in code page 1252; the euro sign is 0x80 there.
TEST_F(FileVariables, PasswordOpensWithTheEuroSignAsTyped) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo, qpdf");
    QnD_SetVar("Sicherheit_AnwenderPasswort", "Anwender-\xE4\xF6\xFC\x80");
    QnD_SetVar("Info_Titel", "Preis 5 \x80 \x96 Gr\xFC\xDF" "e");
    QnD_SetVar("NeueSeite", "");
    const std::string typed = "Anwender-\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC";
    // The name carries the password for the suite's own check; the host
    // hands it over in the code page too.
    const std::string folder = ZavorTest::OutputPath("file_variables_euro.pdf").parent_path().string();
    const std::string saved = folder + "/file_variables_euro.pw-" + typed + ".pdf";
    host.SaveTo(folder + "/file_variables_euro.pw-Anwender-\xE4\xF6\xFC\x80.pdf");
    ASSERT_EQ(ReadVariable("Fehler"), "");
    EXPECT_TRUE(host.Events().empty());
    EXPECT_EQ(Qpdf("--check '--password=" + typed + "' '" + saved + "'"), 0);
    std::string info = ZavorTest::RunCommand("pdfinfo -upw 'Anwender-\xE4\xF6\xFC\xA0' '" + saved + "' 2>&1");
    EXPECT_NE(info.find("Preis 5 \xE2\x82\xAC \xE2\x80\x93 Gr\xC3\xBC\xC3\x9F" "e"), std::string::npos) << info;
}

// A no-break space survives code page 1252 but has no PDFDocEncoding byte.
TEST_F(FileVariables, PasswordWithoutPdfDocEncodingIsRefusedAndNothingIsEncryptedWithIt) {
    const std::string message = "Das Passwort konnte wegen fehlerhafter Werte nicht gesetzt werden.";
    EXPECT_EQ(QnD_SetVar("Sicherheit_AnwenderPasswort", "ge\xA0heim"), 1);
    EXPECT_EQ(ReadVariable("Fehler"), message);
    EXPECT_EQ(host.Events(), std::vector<std::string>{"ZAVOR_ObjektFehler"});
    EXPECT_TRUE(host.Boxes().empty());
    // Asked for a password, got none: no file rather than an open one.
    QnD_SetVar("NeueSeite", "");
    const std::string saved = ZavorTest::OutputPath("file_variables_refused_password.pdf").string();
    std::filesystem::remove(saved);
    host.SaveTo(saved);
    EXPECT_EQ(ReadVariable("Fehler"), "Die PDF-Datei \"" + saved + "\" konnte nicht gespeichert werden.");
    EXPECT_FALSE(std::filesystem::exists(saved));
}

}  // namespace
