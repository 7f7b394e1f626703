// Files made by qpdf from ours: page selections, linearized files, object
// streams (refused), and RC4 encryption with user and owner passwords.
#include <gtest/gtest.h>

#include "../test_document_support.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "support/test_output.h"
#include "test_reader_support.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::IO::PdfPasswordProviderArgs;
using ZavorPdf::Pdf::IO::PdfReader;
using ZavorTest::FailureOf;

std::string Quoted(const std::filesystem::path &path) { return "'" + path.string() + "' "; }

// Runs qpdf on our three-page file and returns the path of its output.
std::filesystem::path Qpdf(const std::string &arguments, const std::string &output) {
    static const std::filesystem::path source =
        ZavorTest::WriteSourcePdf("qpdf_source.pdf", {{595, 842}, {612, 792}, {300, 200}});
    std::filesystem::path path = ZavorTest::OutputPath(output);
    std::string command = "qpdf " + arguments;
    std::size_t in = command.find("IN");
    command.replace(in, 2, Quoted(source));
    std::string result = ZavorTest::RunCommand(command + " " + Quoted(path) + " 2>&1; echo exit=$?");
    EXPECT_NE(result.find("exit=0"), std::string::npos) << result;
    return path;
}

TEST(ReaderQpdfFiles, PagesSelectedLinearizedOrRewrittenReadBack) {
    const struct {
        const char *arguments;
        const char *output;
        std::vector<std::string> sizes;
    } cases[] = {
        {"--empty --pages IN 1-2 --", "qpdf_pages_1_2.pdf", {"595x842", "612x792"}},
        {"--empty --pages IN 3,1 --", "qpdf_pages_3_1.pdf", {"300x200", "595x842"}},
        {"--object-streams=disable IN", "qpdf_no_object_streams.pdf", {"595x842", "612x792", "300x200"}},
        {"--linearize IN", "qpdf_linearized.pdf", {"595x842", "612x792", "300x200"}},
    };
    for (const auto &c : cases) {
        std::filesystem::path path = Qpdf(c.arguments, c.output);
        std::unique_ptr<PdfDocument> document = PdfReader::Open(path, PdfDocumentOpenMode::Import);
        ASSERT_EQ(document->PageCount(), static_cast<int>(c.sizes.size())) << c.output;
        for (std::size_t i = 0; i < c.sizes.size(); ++i)
            EXPECT_EQ(ZavorTest::MediaBoxSize(document->Pages()[static_cast<int>(i)]), c.sizes[i]) << c.output;
        EXPECT_NE(ZavorTest::ContentText(document->Pages()[0]).find(") Tj ET"), std::string::npos) << c.output;
    }
}

TEST(ReaderQpdfFiles, CrossReferenceStreamsAreRefused) {
    std::filesystem::path path = Qpdf("--object-streams=generate IN", "qpdf_object_streams.pdf");
    EXPECT_EQ(FailureOf([&] { PdfReader::Open(path, PdfDocumentOpenMode::Import); }),
              "Cannot handle cross-reference streams. The current implementation of ZavorPdf cannot read this "
              "PDF 1.5 feature.");
}

// The suite checks written files with the password their name carries. qpdf
// picks a new /ID each time, so each test encrypts into a file of its own
// rather than rewriting one that a test in another process is reading.
std::filesystem::path Encrypted(const std::string &bits, const std::string &user) {
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string name = "qpdf_rc4_" + bits + "_" + test + (user.empty() ? "" : ".pw-" + user) + ".pdf";
    return Qpdf("--allow-weak-crypto --encrypt '" + user + "' owner " + bits +
                    (bits == "128" ? " --use-aes=n" : "") + " -- IN",
                name);
}

TEST(ReaderEncryptedFiles, PasswordsAgainstOpenModes) {
    constexpr const char *ok = "no failure";
    constexpr const char *required = "A password is required to open the PDF document.";
    constexpr const char *invalid = "The specified password is invalid.";
    constexpr const char *ownerRequired = "To modify the document the owner password is required";
    const struct {
        const char *password;
        PdfDocumentOpenMode mode;
        const char *result;
    } cases[] = {
        {"", PdfDocumentOpenMode::Import, required},
        {"wrong", PdfDocumentOpenMode::Import, invalid},
        {"user", PdfDocumentOpenMode::Import, ok},
        {"user", PdfDocumentOpenMode::ReadOnly, ok},
        {"user", PdfDocumentOpenMode::InformationOnly, ok},
        {"user", PdfDocumentOpenMode::Modify, ownerRequired},
        {"owner", PdfDocumentOpenMode::Modify, ok},
        {"owner", PdfDocumentOpenMode::Import, ok},
    };
    for (const char *bits : {"40", "128"}) {
        std::filesystem::path path = Encrypted(bits, "user");
        for (const auto &c : cases) {
            std::unique_ptr<PdfDocument> document;
            std::u16string password(c.password, c.password + std::char_traits<char>::length(c.password));
            EXPECT_EQ(FailureOf([&] { document = PdfReader::Open(path, password, c.mode); }), c.result)
                << bits << " " << c.password;
            if (document == nullptr) continue;
            EXPECT_EQ(document->Info().Title(), u"Reader test") << bits << " " << c.password;
            if (c.mode == PdfDocumentOpenMode::InformationOnly) continue;
            EXPECT_EQ(ZavorTest::ContentText(document->Pages()[1]), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
        }
    }
}

// The files above get a fresh /ID each run; this kept one gives every run
// the same bytes to decrypt.
TEST(ReaderEncryptedFiles, KeptFileOpensInEveryModeWithEitherPassword) {
    std::filesystem::path path = ZavorTest::SourceDir() / "tests/data/qpdf_rc4_128.pw-user.pdf";
    for (const char16_t *password : {u"user", u"owner"})
        for (PdfDocumentOpenMode mode : {PdfDocumentOpenMode::Import, PdfDocumentOpenMode::ReadOnly,
                                         PdfDocumentOpenMode::InformationOnly}) {
            std::unique_ptr<PdfDocument> document;
            EXPECT_EQ(FailureOf([&] { document = PdfReader::Open(path, password, mode); }), "no failure");
            if (document == nullptr) continue;
            EXPECT_EQ(document->Info().Title(), u"Reader test");
            if (mode != PdfDocumentOpenMode::InformationOnly) {
                EXPECT_EQ(ZavorTest::ContentText(document->Pages()[1]), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
            }
        }
    std::unique_ptr<PdfDocument> document;
    EXPECT_EQ(FailureOf([&] { document = PdfReader::Open(path, u"owner", PdfDocumentOpenMode::Modify); }),
              "no failure");
}

// Opened with the owner password for Modify, the decrypted document saves
// and reads back.
TEST(ReaderEncryptedFiles, ModifiedDocumentSavesAndReadsBack) {
    std::unique_ptr<PdfDocument> document =
        PdfReader::Open(Encrypted("128", "user"), u"owner", PdfDocumentOpenMode::Modify);
    document->AddPage();
    std::filesystem::path path = ZavorTest::OutputPath("encrypted_modified.pdf");
    document->Save(path);
    std::unique_ptr<PdfDocument> again = PdfReader::Open(path, PdfDocumentOpenMode::Import);
    EXPECT_EQ(again->PageCount(), 4);
    EXPECT_EQ(ZavorTest::ContentText(again->Pages()[1]), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
    EXPECT_EQ(again->Info().Title(), u"Reader test");
}

TEST(ReaderEncryptedFiles, EmptyUserPasswordOpensWithoutOne) {
    std::unique_ptr<PdfDocument> document = PdfReader::Open(Encrypted("128", ""), PdfDocumentOpenMode::Import);
    EXPECT_EQ(document->PageCount(), 3);
    EXPECT_EQ(ZavorTest::ContentText(document->Pages()[2]), "BT /F1 12 Tf 20 20 Td (page 3) Tj ET");
}

TEST(ReaderEncryptedFiles, ProviderIsAskedUntilThePasswordSufficesOrItAborts) {
    std::filesystem::path path = Encrypted("128", "user");
    std::vector<std::u16string> answers{u"wrong", u"user", u"owner"};
    std::size_t asked = 0;
    auto provider = [&](PdfPasswordProviderArgs &args) { args.Password = answers.at(asked++); };
    std::unique_ptr<PdfDocument> document = PdfReader::Open(path, PdfDocumentOpenMode::Modify, provider);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(asked, 3u);  // the user password does not suffice for Modify

    int calls = 0;
    auto aborting = [&](PdfPasswordProviderArgs &args) {
        ++calls;
        args.Abort = true;
    };
    EXPECT_EQ(PdfReader::Open(path, PdfDocumentOpenMode::Import, aborting), nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(ReaderEncryptedFiles, ImportedPagesOfAnEncryptedFileSaveInClear) {
    std::unique_ptr<PdfDocument> source =
        PdfReader::Open(Encrypted("40", "user"), u"user", PdfDocumentOpenMode::Import);
    PdfDocument target;
    target.AddPage(source->Pages()[2]);
    std::filesystem::path path = ZavorTest::OutputPath("import_from_encrypted.pdf");
    target.Save(path);
    std::unique_ptr<PdfDocument> again = PdfReader::Open(path, PdfDocumentOpenMode::Import);
    EXPECT_EQ(ZavorTest::ContentText(again->Pages()[0]), "BT /F1 12 Tf 20 20 Td (page 3) Tj ET");
    EXPECT_EQ(ZavorTest::PdfInfoPageSizes(path, 1), std::vector<std::string>{"300 x 200"});
}

}  // namespace
