// Encrypted files as the system's PDF tools see them: qpdf checks and
// reports the encryption and derives the same key, poppler reads the text
// back with the right password only. Files carry their password in the
// name (".pw-<password>.pdf") so that the suite's qpdf check can open them.
#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_security_settings.h"
#include "pdf/pdf_standard_security_handler.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_trailer.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

using ZavorTest::RunCommand;
using ZavorTest::TextDocument;

std::string Quoted(const std::filesystem::path &path) { return "'" + path.string() + "'"; }

std::string HexLower(std::span<const std::uint8_t> bytes) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += Digits[b >> 4];
        text += Digits[b & 15];
    }
    return text;
}

struct FileCase {
    const char *file;
    PdfDocumentSecurityLevel level;
    const char16_t *user;   // null: not set
    const char16_t *owner;  // null: not set
    const char *openWith;   // the password that opens the file for reading
    const char *ownerOpens; // the password that gives owner rights
    const char *revision, *bits;
};

const FileCase FileCases[] = {
    {"security_user128.pw-geheim.pdf", PdfDocumentSecurityLevel::None, u"geheim", nullptr, "geheim", "geheim", "R = 3",
     "/Length 128"},
    {"security_both128.pw-leser.pdf", PdfDocumentSecurityLevel::None, u"leser", u"chef", "leser", "chef", "R = 3",
     "/Length 128"},
    {"security_owner128.pdf", PdfDocumentSecurityLevel::None, nullptr, u"chef", "", "chef", "R = 3", "/Length 128"},
    {"security_user40.pw-geheim.pdf", PdfDocumentSecurityLevel::Encrypted40Bit, u"geheim", u"chef", "geheim", "chef",
     "R = 2", "/Length 40"},
    {"security_owner40.pdf", PdfDocumentSecurityLevel::Encrypted40Bit, nullptr, u"chef", "", "chef", "R = 2",
     "/Length 40"},
};

TEST(SecurityFiles, ToolsOpenEncryptedFilesWithTheRightPassword) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo, pdftotext, qpdf");
    for (const FileCase &c : FileCases) {
        SCOPED_TRACE(c.file);
        auto document = TextDocument();
        PdfSecuritySettings &security = document->SecuritySettings();
        if (c.level != PdfDocumentSecurityLevel::None) security.SetDocumentSecurityLevel(c.level);
        if (c.user) security.SetUserPassword(c.user);
        if (c.owner) security.SetOwnerPassword(c.owner);
        auto path = ZavorTest::OutputPath(c.file);
        document->Save(path);

        std::string file = ZavorTest::ReadFileText(path);
        EXPECT_NE(file.find(c.bits), std::string::npos);
        EXPECT_NE(file.find("/P -4\n"), std::string::npos);
        EXPECT_NE(file.find("/Filter/Standard"), std::string::npos);
        // Nothing of the text or the title is left in clear.
        EXPECT_EQ(file.find("Hallo"), std::string::npos);
        EXPECT_EQ(file.find("Geheimer"), std::string::npos);

        std::string password = std::string("--password=") + c.openWith + " ";
        std::string check = RunCommand("qpdf --check " + password + Quoted(path) + " 2>&1; echo exit=$?");
        EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos) << check;
        std::string owner = std::string("--password=") + c.ownerOpens + " ";
        std::string shown =
            RunCommand("qpdf --show-encryption --show-encryption-key " + owner + Quoted(path) + " 2>&1");
        EXPECT_NE(shown.find(c.revision), std::string::npos) << shown;
        EXPECT_NE(shown.find("P = -4"), std::string::npos) << shown;
        EXPECT_NE(shown.find("Supplied password is owner password"), std::string::npos) << shown;
        std::string key = HexLower(document->SecuritySettings().SecurityHandler().EncryptionKey());
        EXPECT_NE(shown.find("Encryption key = " + key), std::string::npos) << shown;

        std::string text = RunCommand("pdftotext -upw '" + std::string(c.openWith) + "' " + Quoted(path) + " - 2>&1");
        EXPECT_NE(text.find("Hallo Welt"), std::string::npos) << text;
        std::string byOwner =
            RunCommand("pdftotext -opw '" + std::string(c.ownerOpens) + "' " + Quoted(path) + " - 2>&1");
        EXPECT_NE(byOwner.find("Hallo Welt"), std::string::npos) << byOwner;
        std::string info = RunCommand("pdfinfo -upw '" + std::string(c.openWith) + "' " + Quoted(path) + " 2>&1");
        EXPECT_NE(ZavorTest::CollapseBlanks(info).find("Encrypted: yes (print:yes"), std::string::npos) << info;
        EXPECT_NE(info.find("Geheimer Titel"), std::string::npos) << info;
        if (*c.openWith != '\0') {
            std::string refused = RunCommand("pdftotext " + Quoted(path) + " - 2>&1; echo exit=$?");
            EXPECT_EQ(refused.find("Hallo Welt"), std::string::npos) << refused;
            EXPECT_NE(refused.find("exit=1"), std::string::npos) << refused;
        }
    }
}

TEST(SecurityFiles, PasswordsRaiseTheLevelOnlyFromNone) {
    PdfDocument document;
    PdfSecuritySettings &security = document.SecuritySettings();
    EXPECT_EQ(security.DocumentSecurityLevel(), PdfDocumentSecurityLevel::None);
    EXPECT_TRUE(security.HasOwnerPermissions());
    security.SetDocumentSecurityLevel(PdfDocumentSecurityLevel::Encrypted40Bit);
    security.SetUserPassword(u"a");
    EXPECT_EQ(security.DocumentSecurityLevel(), PdfDocumentSecurityLevel::Encrypted40Bit);
    PdfDocument other;
    other.SecuritySettings().SetOwnerPassword(u"b");
    EXPECT_EQ(other.SecuritySettings().DocumentSecurityLevel(), PdfDocumentSecurityLevel::Encrypted128Bit);
    try {
        other.SecuritySettings().SetDocumentSecurityLevel(static_cast<PdfDocumentSecurityLevel>(3));
        ADD_FAILURE();
    } catch (const ArgumentException &e) {
        EXPECT_EQ(std::string(e.what()),
                  "The value of argument 'value' (3) is invalid for Enum type 'PdfDocumentSecurityLevel'.");
        EXPECT_EQ(e.ParamName(), "value");
    }
}

TEST(SecurityFiles, PermissionFlagsAreBitsOfP) {
    PdfDocument document;
    PdfSecuritySettings &security = document.SecuritySettings();
    EXPECT_TRUE(security.PermitPrint());
    EXPECT_TRUE(security.PermitFullQualityPrint());
    security.SetPermitPrint(false);
    security.SetPermitModifyDocument(false);
    EXPECT_FALSE(security.PermitPrint());
    EXPECT_FALSE(security.PermitModifyDocument());
    EXPECT_TRUE(security.PermitExtractContent());
    EXPECT_EQ(security.SecurityHandler().Permission(), -3 & ~4 & ~8);
    security.SetPermitPrint(true);
    EXPECT_EQ(security.SecurityHandler().Permission(), -3 & ~8);
}

TEST(SecurityFiles, RestrictedPermissionsReachTheTools) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    auto document = TextDocument();
    document->SecuritySettings().SetOwnerPassword(u"chef");
    document->SecuritySettings().SetPermitPrint(false);
    document->SecuritySettings().SetPermitExtractContent(false);
    auto path = ZavorTest::OutputPath("security_restricted.pdf");
    document->Save(path);
    std::string shown = RunCommand("qpdf --show-encryption " + Quoted(path) + " 2>&1");
    // All bits but print (4), extract (16) and the two lowest.
    EXPECT_NE(shown.find("P = -24"), std::string::npos) << shown;
    EXPECT_NE(shown.find("print low resolution: not allowed"), std::string::npos) << shown;
    EXPECT_NE(shown.find("extract for any purpose: not allowed"), std::string::npos) << shown;
}

TEST(SecurityFiles, EmptyPasswordsRefuseTheSaveBeforeWriting) {
    const std::string message =
        "A PDF document with security enabled cannot be saved without a user or owner password.";
    auto document = TextDocument();
    document->SecuritySettings().SetOwnerPassword(u"");
    EXPECT_EQ(document->SecuritySettings().DocumentSecurityLevel(), PdfDocumentSecurityLevel::Encrypted128Bit);
    std::string reason;
    EXPECT_FALSE(document->SecuritySettings().CanSave(reason));
    EXPECT_EQ(reason, message);
    auto path = ZavorTest::OutputPath("security_refused_never_written.pdf");
    std::filesystem::remove(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            document->Save(path);
            ADD_FAILURE() << "saved without a password";
        } catch (const ZavorPdfException &e) {
            EXPECT_EQ(e.what(), message);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    std::vector<std::uint8_t> bytes;
    EXPECT_THROW(document->Save(bytes), ZavorPdfException);
    EXPECT_TRUE(bytes.empty());
}

TEST(SecurityFiles, DocumentWithoutPasswordsHasNoEncrypt) {
    auto document = TextDocument();
    document->SecuritySettings().SetPermitPrint(true);  // creates a handler, still no security
    std::string file = ZavorTest::SaveToString(*document);
    EXPECT_EQ(file.find("/Encrypt"), std::string::npos);
    EXPECT_EQ(file.find("/Standard"), std::string::npos);
    EXPECT_NE(file.find("/Title(Geheimer Titel)"), std::string::npos) << "strings in clear";
}

TEST(SecurityFiles, TrailerListsEncryptAfterRootAndTheIdInClear) {
    auto document = TextDocument();
    document->SecuritySettings().SetUserPassword(u"u");
    std::string file = ZavorTest::SaveToString(*document);
    auto trailer = file.substr(file.rfind("trailer\n"));
    auto root = trailer.find("/Root");
    auto encrypt = trailer.find("/Encrypt");
    ASSERT_NE(encrypt, std::string::npos) << trailer;
    EXPECT_LT(root, encrypt);
    auto id = document->Trailer().DocumentID(0);
    std::string hex;
    static constexpr char Digits[] = "0123456789ABCDEF";
    for (std::uint8_t b : id) {
        hex += Digits[b >> 4];
        hex += Digits[b & 15];
    }
    EXPECT_NE(trailer.find("/ID[<" + hex + "><" + hex + ">]"), std::string::npos) << trailer;
    // Saving twice gives the same keys: the handler is prepared anew.
    EXPECT_EQ(ZavorTest::SaveToString(*document), file);
}

TEST(SecurityFiles, OwnReaderOpensWhatWasWritten) {
    struct Row {
        PdfDocumentSecurityLevel level;
        const char16_t *password;
        PdfDocumentOpenMode mode;
        const char *failure;  // null: opens
    };
    const std::vector<Row> rows = {
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"chef", PdfDocumentOpenMode::Modify, nullptr},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"leser", PdfDocumentOpenMode::Import, nullptr},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"leser", PdfDocumentOpenMode::Modify,
         "To modify the document the owner password is required"},
        {PdfDocumentSecurityLevel::Encrypted128Bit, u"falsch", PdfDocumentOpenMode::Import,
         "The specified password is invalid."},
        {PdfDocumentSecurityLevel::Encrypted40Bit, u"chef", PdfDocumentOpenMode::Modify, nullptr},
        {PdfDocumentSecurityLevel::Encrypted40Bit, u"leser", PdfDocumentOpenMode::ReadOnly, nullptr},
    };
    for (const Row &row : rows) {
        auto document = TextDocument();
        document->SecuritySettings().SetDocumentSecurityLevel(row.level);
        document->SecuritySettings().SetUserPassword(u"leser");
        document->SecuritySettings().SetOwnerPassword(u"chef");
        // Clear text that is UTF-16 must come back as text, not as bytes.
        document->Info().Elements().SetValue("/Author",
                                             std::make_unique<PdfString>(u"\u03A9 Autor", PdfStringEncoding::Unicode));
        std::vector<std::uint8_t> bytes;
        document->Save(bytes);
        std::string tried(row.password, row.password + std::char_traits<char16_t>::length(row.password));
        try {
            std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
            auto read = IO::PdfReader::Open(in, std::u16string(row.password), row.mode);
            ASSERT_NE(read, nullptr);
            EXPECT_EQ(row.failure, nullptr) << tried;
            EXPECT_EQ(read->Info().Title(), u"Geheimer Titel") << tried;
            EXPECT_EQ(read->Info().Elements().GetString("/Author"), u"\u03A9 Autor") << tried;
            EXPECT_EQ(read->PageCount(), 1);
        } catch (const PdfReaderException &e) {
            ASSERT_NE(row.failure, nullptr) << tried << ": " << e.what();
            EXPECT_EQ(std::string(e.what()), row.failure);
        }
    }
}

TEST(SecurityFiles, PasswordsAreTheBytesThatToolsMakeOfTypedText) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    // The euro sign is 0xA0 in PDFDocEncoding; qpdf converts the typed
    // UTF-8, poppler takes the typed bytes as they are.
    const std::u16string typed = u"Anwender-\u00E4\u00F6\u00FC\u20AC";
    auto pad = PdfStandardSecurityHandler::PadPassword(typed);
    EXPECT_EQ(HexLower(std::span<const std::uint8_t>(pad.data(), 14)), "416e77656e6465722de4f6fca028");
    auto document = TextDocument();
    document->SecuritySettings().SetUserPassword(typed);
    auto path = ZavorTest::OutputPath("security_pdfdoc.pw-Anwender-\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC.pdf");
    document->Save(path);

    std::string check = RunCommand("qpdf --check --password='Anwender-\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x82\xAC' " +
                                   Quoted(path) + " 2>&1");
    EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos) << check;
    std::string text = RunCommand("pdftotext -upw 'Anwender-\xE4\xF6\xFC\xA0' " + Quoted(path) + " - 2>&1");
    EXPECT_NE(text.find("Hallo Welt"), std::string::npos) << text;
    std::string old = RunCommand("pdftotext -upw 'Anwender-\xE4\xF6\xFC\xAC' " + Quoted(path) + " - 2>&1");
    EXPECT_EQ(old.find("Hallo Welt"), std::string::npos) << old;
    auto read = IO::PdfReader::Open(path, typed, PdfDocumentOpenMode::Modify);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Info().Title(), u"Geheimer Titel");
}

TEST(SecurityFiles, PasswordsWithCharactersOutsidePdfDocEncodingAreRefused) {
    const std::string message = "A password may only contain characters that PDFDocEncoding can represent.";
    for (const char16_t *password : {u"\u03A9", u"a\u00A0b", u"\u0085", u"\u00AD", u"\U0001F511"}) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(password)));
        PdfDocument document;
        PdfSecuritySettings &security = document.SecuritySettings();
        for (auto set : {&PdfSecuritySettings::SetUserPassword, &PdfSecuritySettings::SetOwnerPassword}) {
            try {
                (security.*set)(password);
                ADD_FAILURE() << "accepted";
            } catch (const ArgumentException &e) {
                EXPECT_EQ(e.what(), message);
            }
        }
        EXPECT_EQ(security.DocumentSecurityLevel(), PdfDocumentSecurityLevel::None);
        EXPECT_FALSE(security.SecurityHandler().UserPassword().has_value());
        EXPECT_FALSE(security.SecurityHandler().OwnerPassword().has_value());
    }
    // Reading: such a password opens nothing, and says so as any wrong one.
    auto document = TextDocument();
    document->SecuritySettings().SetUserPassword(u"leser");
    std::vector<std::uint8_t> bytes;
    document->Save(bytes);
    std::istringstream in(std::string(bytes.begin(), bytes.end()), std::ios::binary);
    try {
        IO::PdfReader::Open(in, u"\u03A9", PdfDocumentOpenMode::Import);
        ADD_FAILURE() << "opened";
    } catch (const PdfReaderException &e) {
        EXPECT_EQ(std::string(e.what()), "The specified password is invalid.");
    }
}

}  // namespace
}  // namespace ZavorPdf::Pdf
