// Encrypted files as qpdf writes them (crypt filters with AES-128 or RC4,
// AES-256 of revisions 5 and 6) open with the user and the owner password,
// and refuse every other one with the password reason.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "pdf/content/pdf_text_extractor.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_password_text.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_standard_security_handler.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

using IO::PdfReader;
using Method = PdfStandardSecurityHandler::CryptMethod;

std::filesystem::path PlainSource() {
    return ZavorTest::PublishOutput("aes_source.pdf", [](const std::filesystem::path &path) {
        ZavorTest::TextDocument()->Save(path);
    });
}

// qpdf encrypts the plain source; the name carries the user password for
// the suite's own qpdf check.
std::filesystem::path Encrypted(const std::string &name, const std::string &user, const std::string &owner,
                                const std::string &options) {
    std::filesystem::path source = PlainSource();
    std::string file = user.empty() ? name + ".pdf" : name + ".pw-" + user + ".pdf";
    std::filesystem::path target = ZavorTest::OutputPath(file);
    // Tests run side by side and make the same files: each writes its own
    // scratch copy and renames it into place whole.
    std::filesystem::path scratch = ZavorTest::OutputPath(file + "." + std::to_string(getpid()) + ".tmp");
    // qpdf writes RC4 crypt filters only when told that weak crypto is meant.
    std::string command = "qpdf --allow-weak-crypto --object-streams=disable --encrypt '" + user + "' '" + owner +
                          "' " + options + " -- '" + source.string() + "' '" + scratch.string() + "' 2>&1 && mv '" + scratch.string() +
                          "' '" + target.string() + "'";
    std::string output = ZavorTest::RunCommand(command);
    EXPECT_TRUE(std::filesystem::exists(target)) << output;
    return target;
}

struct AesCase {
    const char *name;
    const char *options;
    const char *user;
    const char16_t *userText;
    const char *owner;
    const char16_t *ownerText;
    Method method;
};

const AesCase Cases[] = {
    {"aes128", "128 --use-aes=y", "leser", u"leser", "chef", u"chef", Method::Aes128},
    {"aes128_clear_metadata", "128 --use-aes=y --cleartext-metadata", "leser", u"leser", "chef", u"chef",
     Method::Aes128},
    {"aes128_open", "128 --use-aes=y", "", u"", "chef", u"chef", Method::Aes128},
    {"aes128_umlaut", "128 --use-aes=y", "Gr\u00fc\u00dfe\u20ac", u"Gr\u00fc\u00dfe\u20ac", "chef", u"chef",
     Method::Aes128},
    {"rc4_crypt_filter", "128 --use-aes=n --force-V4", "leser", u"leser", "chef", u"chef", Method::Rc4},
    {"aes256", "256", "leser", u"leser", "chef", u"chef", Method::Aes256},
    {"aes256_r5", "256 --force-R5", "leser", u"leser", "chef", u"chef", Method::Aes256},
    {"aes256_open", "256", "", u"", "chef", u"chef", Method::Aes256},
    {"aes256_umlaut", "256", "Gr\u00fc\u00dfe\u20ac", u"Gr\u00fc\u00dfe\u20ac", "\u00c4rger", u"\u00c4rger",
     Method::Aes256},
};

void ExpectReadable(PdfDocument &document) {
    EXPECT_EQ(document.PageCount(), 1);
    EXPECT_EQ(document.Info().Title(), u"Geheimer Titel");
    EXPECT_NE(Content::PdfTextExtractor::GetText(document, 0).find(u"Hallo Welt"), std::u16string::npos);
}

PdfReadFailure FailureOf(const std::filesystem::path &path, const std::u16string &password) {
    try {
        PdfReader::Open(path, password, PdfDocumentOpenMode::Import);
    } catch (const PdfReaderException &error) {
        return error.Reason();
    }
    ADD_FAILURE() << "opened";
    return PdfReadFailure::Damaged;
}

TEST(SecurityAes, QpdfFilesOpenWithUserAndOwnerPassword) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    for (const AesCase &c : Cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::path path = Encrypted(c.name, c.user, c.owner, c.options);

        auto byUser = PdfReader::Open(path, c.userText, PdfDocumentOpenMode::Import);
        ASSERT_NE(byUser, nullptr);
        ExpectReadable(*byUser);
        const auto &handler = byUser->SecuritySettings().SecurityHandler();
        EXPECT_EQ(handler.StreamMethod(), c.method);
        EXPECT_EQ(handler.StringMethod(), c.method);
        EXPECT_EQ(byUser->SecuritySettings().HasOwnerPermissions(), false);

        auto byOwner = PdfReader::Open(path, c.ownerText, PdfDocumentOpenMode::Import);
        ASSERT_NE(byOwner, nullptr);
        ExpectReadable(*byOwner);
        EXPECT_TRUE(byOwner->SecuritySettings().HasOwnerPermissions());

        EXPECT_EQ(FailureOf(path, u"falsch"), PdfReadFailure::Password);
        if (*c.user != '\0') {
            EXPECT_EQ(FailureOf(path, u""), PdfReadFailure::Password);
        } else {
            auto open = PdfReader::Open(path, PdfDocumentOpenMode::Import);
            ExpectReadable(*open);
        }
    }
}

TEST(SecurityAes, ImportedAesPagesSaveAsFilesQpdfAccepts) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    std::filesystem::path path = Encrypted("aes256", "leser", "chef", "256");
    auto modified = PdfReader::Open(path, u"chef", PdfDocumentOpenMode::Modify);
    ASSERT_NE(modified, nullptr);
    std::filesystem::path saved = ZavorTest::OutputPath("aes256_resaved.pdf");
    modified->SecuritySettings().SetDocumentSecurityLevel(PdfDocumentSecurityLevel::None);
    modified->Save(saved);
    std::string check = ZavorTest::RunCommand("qpdf --check '" + saved.string() + "' 2>&1");
    EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos) << check;
    std::string text = ZavorTest::RunCommand("pdftotext '" + saved.string() + "' - 2>&1");
    EXPECT_NE(text.find("Hallo Welt"), std::string::npos) << text;

    // Encrypted again, it is written with RC4 and none of the AES entries.
    auto again = PdfReader::Open(path, u"chef", PdfDocumentOpenMode::Modify);
    again->SecuritySettings().SetUserPassword(u"neu");
    std::filesystem::path rc4 = ZavorTest::OutputPath("aes256_resaved_rc4.pw-neu.pdf");
    again->Save(rc4);
    std::string shown = ZavorTest::RunCommand("qpdf --show-encryption --password=neu '" + rc4.string() + "' 2>&1");
    EXPECT_NE(shown.find("R = 3"), std::string::npos) << shown;
    std::string file = ZavorTest::RunCommand("cat '" + rc4.string() + "'");
    for (const char *key : {"/UE", "/OE", "/Perms", "/StmF", "/CF"})
        EXPECT_EQ(file.find(key), std::string::npos) << key;
    text = ZavorTest::RunCommand("pdftotext -upw neu '" + rc4.string() + "' - 2>&1");
    EXPECT_NE(text.find("Hallo Welt"), std::string::npos) << text;
}

TEST(SecurityAes, UnsupportedEncryptionIsNamed) {
    PdfDictionary dictionary;
    dictionary.Elements().SetName("/Filter", "/Adobe.PubSec");
    PdfStandardSecurityHandler handler(std::move(dictionary));
    try {
        handler.ValidatePassword(u"");
        FAIL();
    } catch (const PdfReaderException &error) {
        EXPECT_EQ(error.Reason(), PdfReadFailure::UnsupportedEncryption);
        EXPECT_EQ(error.Detail(), "Adobe.PubSec");
    }
}

TEST(SecurityAes, PasswordsArePreparedAsSaslprepDoes) {
    struct Row {
        std::u16string typed;
        std::optional<std::string> prepared;
    };
    const Row rows[] = {
        {u"Gr\u00fc\u00dfe\u20ac", "Gr\xc3\xbc\xc3\x9f" "e\xe2\x82\xac"},
        {u"a\u00a0b\u00adc", "a bc"},
        {u"x\u00b2\u2122", "x2TM"},
        {u"tab\t", std::nullopt},
        {std::u16string(130, u'z'), std::string(127, 'z')},
    };
    for (const Row &row : rows) EXPECT_EQ(Internal::SaslPreparedPassword(row.typed), row.prepared);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
