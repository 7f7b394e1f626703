// Opening files in the four modes: what each mode reads and what it
// refuses, the header check, and files written by our own writer read back.
#include <gtest/gtest.h>

#include <fstream>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_trailer.h"
#include "../test_document_support.h"
#include "pdf_text.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_reader_support.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::IO::PdfReader;
using ZavorTest::FailureOf;

constexpr const char *CannotModify = "The document cannot be modified.";
constexpr const char *NotAPdf = "The file is not a valid PDF document.";

const std::filesystem::path &ThreePages() {
    static const std::filesystem::path path =
        ZavorTest::WriteSourcePdf("reader_three_pages.pdf", {{595, 842}, {612, 792}, {300, 200}});
    return path;
}

class ReaderModes : public ::testing::TestWithParam<PdfDocumentOpenMode> {};

TEST_P(ReaderModes, ReadsPagesSizesAndInformationOfOurOwnFile) {
    std::unique_ptr<PdfDocument> document = PdfReader::Open(ThreePages(), GetParam());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->OpenMode(), GetParam());
    EXPECT_TRUE(document->IsImported());
    EXPECT_EQ(document->Version(), 14);
    EXPECT_EQ(document->FullPath(), std::filesystem::absolute(ThreePages()));
    EXPECT_EQ(document->FileSize(), static_cast<std::int64_t>(std::filesystem::file_size(ThreePages())));
    EXPECT_EQ(document->PageCount(), 3);
    EXPECT_EQ(document->Info().Title(), u"Reader test");
    if (GetParam() == PdfDocumentOpenMode::InformationOnly) return;
    const char *sizes[] = {"595x842", "612x792", "300x200"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ZavorTest::MediaBoxSize(document->Pages()[i]), sizes[i]);
    EXPECT_EQ(ZavorTest::ContentText(document->Pages()[1]), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
}

TEST_P(ReaderModes, OnlyModifyDocumentsChangeAndSave) {
    std::unique_ptr<PdfDocument> document = PdfReader::Open(ThreePages(), GetParam());
    if (GetParam() == PdfDocumentOpenMode::Modify) {
        document->AddPage();
        EXPECT_EQ(FailureOf([&] { document->Save(ZavorTest::OutputPath("reader_modify_saved.pdf")); }),
                  "no failure");
        return;
    }
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(FailureOf([&] { document->Save(bytes); }), CannotModify);
    EXPECT_EQ(FailureOf([&] { document->AddPage(); }), CannotModify);
    EXPECT_TRUE(bytes.empty());
}

INSTANTIATE_TEST_SUITE_P(AllModes, ReaderModes,
                         ::testing::Values(PdfDocumentOpenMode::Modify, PdfDocumentOpenMode::Import,
                                           PdfDocumentOpenMode::ReadOnly, PdfDocumentOpenMode::InformationOnly));

TEST(Reader, ModifiedFileSavesAgainWithItsPagesAndANewSecondId) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    std::unique_ptr<PdfDocument> original = PdfReader::Open(ThreePages(), PdfDocumentOpenMode::Import);
    std::unique_ptr<PdfDocument> document = PdfReader::Open(ThreePages());
    EXPECT_EQ(document->OpenMode(), PdfDocumentOpenMode::Modify);
    EXPECT_EQ(document->Trailer().DocumentID(0), original->Trailer().DocumentID(0));
    EXPECT_NE(document->Trailer().DocumentID(1), original->Trailer().DocumentID(1));
    EXPECT_TRUE(document->Info().Elements().ContainsKey("/ModDate"));
    document->AddPage().SetHeight(100);
    std::filesystem::path path = ZavorTest::OutputPath("reader_modified_again.pdf");
    document->Save(path);

    std::unique_ptr<PdfDocument> again = PdfReader::Open(path, PdfDocumentOpenMode::ReadOnly);
    EXPECT_EQ(again->PageCount(), 4);
    EXPECT_EQ(ZavorTest::MediaBoxSize(again->Pages()[2]), "300x200");
    EXPECT_EQ(ZavorTest::ContentText(again->Pages()[0]), "BT /F1 12 Tf 20 20 Td (page 1) Tj ET");
    EXPECT_EQ(again->Info().Title(), u"Reader test");
    EXPECT_EQ(ZavorTest::PdfInfoPageSizes(path, 4).size(), 4u);
}

TEST(Reader, HeaderGivesTheVersion) {
    const struct {
        const char *header;
        int version;
    } cases[] = {
        {"%PDF-1.7\n", 17}, {"%PDF-1.0\n", 10}, {"%PDF-2.0\n", 0},   {"garbage %PDF-1.3\n", 13},
        {"%PDF-1.x\n", 0},  {"%!PS-Adobe\n", 0}, {"", 0},           {"%PDF-1.", 0},
    };
    for (const auto &c : cases) {
        std::string text = c.header;
        EXPECT_EQ(PdfReader::TestPdfFile(std::vector<std::uint8_t>(text.begin(), text.end())), c.version)
            << c.header;
    }
    EXPECT_EQ(PdfReader::TestPdfFile(ThreePages()), 14);
    EXPECT_EQ(PdfReader::TestPdfFile(ZavorTest::OutputPath("no_such_file.pdf")), 0);
    std::ifstream stream(ThreePages(), std::ios::binary);
    std::unique_ptr<PdfDocument> fromStream = PdfReader::Open(stream, PdfDocumentOpenMode::ReadOnly);
    EXPECT_EQ(fromStream->PageCount(), 3);
    EXPECT_TRUE(fromStream->FullPath().empty());
}

std::vector<std::uint8_t> OnePageFile(const std::string &header) {
    return ZavorTest::BuildPdf(header + R"(
1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj
2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj
3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >> endobj
@xref
trailer << /Size 4 /Root 1 0 R >>
startxref
@startxref
%%EOF
)");
}

TEST(Reader, OpensVersionsUpTo17AndRefusesOthers) {
    EXPECT_EQ(PdfReader::Open(OnePageFile("%PDF-1.7"), PdfDocumentOpenMode::Import)->Version(), 17);
    EXPECT_EQ(FailureOf([] { PdfReader::Open(OnePageFile("%PDF-2.0"), PdfDocumentOpenMode::Import); }), NotAPdf);
    EXPECT_EQ(FailureOf([] { PdfReader::Open(ZavorTest::OutputPath("no_such_file.pdf")); }),
              "Cannot open the file '" + ZavorTest::OutputPath("no_such_file.pdf").string() + "'.");
}

// A nested tree with inherited attributes and a "/Count" that lies.
std::vector<std::uint8_t> NestedTree() {
    return ZavorTest::BuildPdf(R"(%PDF-1.4
1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj
2 0 obj << /Type /Pages /Kids [3 0 R 5 0 R] /Count 7 /Rotate 90 /MediaBox [0 0 400 300] >> endobj
3 0 obj << /Type /Pages /Parent 2 0 R /Kids [4 0 R] /Count 1 /MediaBox [0 0 100 50] >> endobj
4 0 obj << /Type /Page /Parent 3 0 R >> endobj
5 0 obj << /Type /Page /Parent 2 0 R /Rotate 180 >> endobj
@xref
trailer << /Size 6 /Root 1 0 R >>
startxref
@startxref
%%EOF
)");
}

TEST(Reader, InformationOnlyCountsFromTheTreeRootWithoutLoadingIt) {
    std::unique_ptr<PdfDocument> information = PdfReader::Open(NestedTree(), PdfDocumentOpenMode::InformationOnly);
    EXPECT_EQ(information->PageCount(), 7);
    std::unique_ptr<PdfDocument> imported = PdfReader::Open(NestedTree(), PdfDocumentOpenMode::Import);
    EXPECT_EQ(imported->PageCount(), 2);
}

TEST(Reader, FlattenedTreeHandsInheritedAttributesToThePages) {
    std::unique_ptr<PdfDocument> document = PdfReader::Open(NestedTree(), PdfDocumentOpenMode::ReadOnly);
    PdfPages &pages = document->Pages();
    ASSERT_EQ(pages.Count(), 2);
    EXPECT_EQ(ZavorTest::MediaBoxSize(pages[0]), "100x50");
    EXPECT_EQ(pages[0].Rotate(), 90);
    EXPECT_EQ(ZavorTest::MediaBoxSize(pages[1]), "400x300");
    EXPECT_EQ(pages[1].Rotate(), 180);
    EXPECT_EQ(pages[1].Elements().GetReference("/Parent"), pages.Reference());
}

}  // namespace
