// Files made by qpdf from ours: page selections, linearized files, object
// and cross-reference streams, updates mixing both kinds of table, and RC4
// encryption with user and owner passwords.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "../test_document_support.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "support/platform_support.h"
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
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
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

void ExpectSourcePages(PdfDocument &document, const std::string &label) {
    ASSERT_EQ(document.PageCount(), 3) << label;
    const char *sizes[] = {"595x842", "612x792", "300x200"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ZavorTest::MediaBoxSize(document.Pages()[i]), sizes[i]) << label;
        EXPECT_EQ(ZavorTest::ContentText(document.Pages()[i]),
                  "BT /F1 12 Tf 20 20 Td (page " + std::to_string(i + 1) + ") Tj ET")
            << label;
    }
}

TEST(ReaderObjectStreams, QpdfFilesReadLikeTheClassicOne) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    const struct {
        const char *arguments;
        const char *output;
    } cases[] = {
        {"--object-streams=generate IN", "qpdf_object_streams.pdf"},
        {"--object-streams=generate --stream-data=uncompress IN", "qpdf_object_streams_plain.pdf"},
        {"--object-streams=generate --linearize IN", "qpdf_object_streams_linearized.pdf"},
    };
    for (const auto &c : cases) {
        std::filesystem::path path = Qpdf(c.arguments, c.output);
        EXPECT_NE(ZavorTest::ReadFileText(path).find("/ObjStm"), std::string::npos) << c.output;
        for (PdfDocumentOpenMode mode : {PdfDocumentOpenMode::Import, PdfDocumentOpenMode::Modify}) {
            std::unique_ptr<PdfDocument> document = PdfReader::Open(path, mode);
            EXPECT_EQ(document->Info().Title(), u"Reader test") << c.output;
            ExpectSourcePages(*document, c.output);
        }
    }
}

// qpdf puts the information dictionary into an object stream, whose strings
// are not encrypted one by one.
TEST(ReaderObjectStreams, EncryptedObjectStreamsDecryptOnce) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    std::filesystem::path path = Qpdf(
        "--allow-weak-crypto --object-streams=generate --encrypt user owner 128 --use-aes=n -- IN",
        "qpdf_object_streams_rc4.pw-user.pdf");
    std::unique_ptr<PdfDocument> document = PdfReader::Open(path, u"user", PdfDocumentOpenMode::Import);
    EXPECT_EQ(document->Info().Title(), u"Reader test");
    ExpectSourcePages(*document, "rc4");
}

void ExpectSavedWithoutStreams(const std::filesystem::path &path, int pages) {
    std::string check = ZavorTest::RunCommand("qpdf --check '" + path.string() + "' 2>&1; echo exit=$?");
    EXPECT_NE(check.find("exit=0"), std::string::npos) << check;
    EXPECT_EQ(ZavorTest::PdfInfoField(path, "Pages"), std::to_string(pages));
    std::string text = ZavorTest::ReadFileText(path);
    EXPECT_EQ(text.find("/ObjStm"), std::string::npos);
    EXPECT_EQ(text.find("/XRef"), std::string::npos);
}

TEST(ReaderObjectStreams, ImportedAndModifiedCopiesSaveAsOrdinaryObjects) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    std::filesystem::path source = Qpdf("--object-streams=generate IN", "qpdf_object_streams_source.pdf");
    {
        std::unique_ptr<PdfDocument> document = PdfReader::Open(source, PdfDocumentOpenMode::Import);
        PdfDocument target;
        for (int i = 0; i < document->PageCount(); ++i) target.AddPage(document->Pages()[i]);
        std::filesystem::path path = ZavorTest::OutputPath("object_streams_imported.pdf");
        target.Save(path);
        ExpectSavedWithoutStreams(path, 3);
        ExpectSourcePages(*PdfReader::Open(path, PdfDocumentOpenMode::Import), "imported");
    }
    std::unique_ptr<PdfDocument> document = PdfReader::Open(source, PdfDocumentOpenMode::Modify);
    document->AddPage();
    std::filesystem::path path = ZavorTest::OutputPath("object_streams_modified.pdf");
    document->Save(path);
    ExpectSavedWithoutStreams(path, 4);
    EXPECT_EQ(PdfReader::Open(path, PdfDocumentOpenMode::Import)->Info().Title(), u"Reader test");
}

std::string LastMatch(const std::string &text, const std::string &pattern) {
    std::regex expression(pattern);
    std::string found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator(); ++it)
        found = (*it)[1];
    EXPECT_FALSE(found.empty()) << pattern;
    return found;
}

std::string Hex(std::size_t value, int digits) {
    char buffer[17];
    std::snprintf(buffer, sizeof buffer, "%0*zX", digits, value);
    return buffer;
}

enum class Update { Table, Stream, ObjectStream };

// Appends an update that gives the information dictionary a new title: an
// ordinary object listed in a classic table or in a cross-reference stream,
// or an object in a new object stream.
std::string WithUpdate(std::string file, Update kind) {
    std::string info = LastMatch(file, R"(/Info (\d+) 0 R)");
    std::string root = LastMatch(file, R"(/Root (\d+) 0 R)");
    int size = std::stoi(LastMatch(file, R"(/Size (\d+))"));
    std::string prev = LastMatch(file, R"(startxref\s+(\d+))");
    const std::string title = "<< /Title (Second revision) >>";
    std::string entries = "/Root " + root + " 0 R /Info " + info + " 0 R /Prev " + prev;
    std::size_t infoAt = file.size() + 1;
    if (kind == Update::ObjectStream) {
        std::string header = info + " 0 ";
        file += "\n" + std::to_string(size) + " 0 obj\n<< /Type /ObjStm /N 1 /First " +
                std::to_string(header.size()) + " /Length " + std::to_string(header.size() + title.size()) +
                " >>\nstream\n" + header + title + "\nendstream\nendobj\n";
    } else {
        file += "\n" + info + " 0 obj\n" + title + "\nendobj\n";
    }
    std::size_t xrefAt = file.size();
    if (kind == Update::Table) {
        file += "xref\n0 1\n0000000000 65535 f \n" + info + " 1\n";
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", infoAt);
        return file + line + "trailer\n<< /Size " + std::to_string(size) + " " + entries + " >>\nstartxref\n" +
               std::to_string(xrefAt) + "\n%%EOF\n";
    }
    // The new objects take the numbers from the old "/Size" on.
    bool packed = kind == Update::ObjectStream;
    std::string hex = packed ? "02" + Hex(static_cast<std::size_t>(size), 8) + "00 01" + Hex(infoAt, 8) + "00 "
                             : "01" + Hex(infoAt, 8) + "00 ";
    hex += "01" + Hex(xrefAt, 8) + "00>";
    int xrefNumber = packed ? size + 1 : size;
    file += std::to_string(xrefNumber) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(xrefNumber + 1) +
            " /Index [" + info + " 1 " + std::to_string(size) + (packed ? " 2" : " 1") + "] /W [1 4 1] " + entries +
            " /Filter /ASCIIHexDecode /Length " + std::to_string(hex.size()) + " >>\nstream\n" + hex +
            "\nendstream\nendobj\n";
    return file + "startxref\n" + std::to_string(xrefAt) + "\n%%EOF\n";
}

TEST(ReaderObjectStreams, PrevChainsMixBothKinds) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo, qpdf");
    std::filesystem::path classic = ZavorTest::WriteSourcePdf("qpdf_source.pdf", {{595, 842}, {612, 792}, {300, 200}});
    std::filesystem::path streams = Qpdf("--object-streams=generate IN", "qpdf_object_streams_base.pdf");
    const struct {
        const std::filesystem::path &base;
        Update kind;
        const char *output;
    } cases[] = {
        {classic, Update::Stream, "update_stream_on_classic.pdf"},
        {classic, Update::ObjectStream, "update_object_stream_on_classic.pdf"},
        {streams, Update::Table, "update_classic_on_stream.pdf"},
        {streams, Update::Stream, "update_stream_on_stream.pdf"},
        {streams, Update::ObjectStream, "update_object_stream_on_stream.pdf"},
    };
    for (const auto &c : cases) {
        std::filesystem::path path = ZavorTest::OutputPath(c.output);
        ZavorTest::PublishFile(path, WithUpdate(ZavorTest::ReadFileText(c.base), c.kind));
        std::unique_ptr<PdfDocument> document = PdfReader::Open(path, PdfDocumentOpenMode::Import);
        EXPECT_EQ(document->Info().Title(), u"Second revision") << c.output;
        ExpectSourcePages(*document, c.output);
        EXPECT_EQ(ZavorTest::PdfInfoField(path, "Title"), "Second revision") << c.output;
    }
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
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
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
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
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
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    std::unique_ptr<PdfDocument> document = PdfReader::Open(Encrypted("128", ""), PdfDocumentOpenMode::Import);
    EXPECT_EQ(document->PageCount(), 3);
    EXPECT_EQ(ZavorTest::ContentText(document->Pages()[2]), "BT /F1 12 Tf 20 20 Td (page 3) Tj ET");
}

TEST(ReaderEncryptedFiles, ProviderIsAskedUntilThePasswordSufficesOrItAborts) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
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
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo, qpdf");
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
