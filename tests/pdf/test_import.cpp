// Pages of opened documents copied into another document: shared objects
// arrive once per source, the copies save into files that qpdf and pdfinfo
// accept, and the copies no longer depend on their source.
#include <gtest/gtest.h>

#include "io/pdf_text.h"
#include "io/test_reader_support.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_imported_object_table.h"
#include "pdf/pdf_import.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::IO::PdfReader;
using ZavorTest::ContentText;
using ZavorTest::FailureOf;

const std::filesystem::path &Source() {
    static const std::filesystem::path path =
        ZavorTest::WriteSourcePdf("import_source.pdf", {{595, 842}, {612, 792}, {300, 200}});
    return path;
}

PdfReference *FontOf(PdfPage &page) {
    return page.Elements().GetDictionary("/Resources")->Elements().GetDictionary("/Font")->Elements().GetReference(
        "/F1");
}

TEST(ImportPages, SharedFontArrivesOnceAndFilesPassTheTools) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    std::unique_ptr<PdfDocument> source = PdfReader::Open(Source(), PdfDocumentOpenMode::Import);
    PdfDocument target;
    target.AddPage().SetHeight(400);
    for (int i : {2, 0, 1}) target.AddPage(source->Pages()[i]);
    ASSERT_EQ(target.PageCount(), 4);
    PdfReference *font = FontOf(target.Pages()[1]);
    EXPECT_EQ(font->Document(), &target);
    EXPECT_EQ(FontOf(target.Pages()[2]), font);
    EXPECT_EQ(FontOf(target.Pages()[3]), font);
    EXPECT_EQ(font->Value()->Owner(), &target);
    EXPECT_EQ(ContentText(target.Pages()[1]), "BT /F1 12 Tf 20 20 Td (page 3) Tj ET");
    EXPECT_EQ(target.Pages()[1].Elements().GetReference("/Parent"), target.Pages().Reference());

    std::filesystem::path path = ZavorTest::OutputPath("import_three_of_three.pdf");
    target.Save(path);
    EXPECT_EQ(ZavorTest::PdfInfoField(path, "Pages"), "4");
    EXPECT_EQ(ZavorTest::PdfInfoPageSizes(path, 4),
              (std::vector<std::string>{"595 x 400", "300 x 200", "595 x 842", "612 x 792"}));
    std::string text = ZavorTest::ReadFileText(path);
    std::size_t fonts = 0;
    for (std::size_t at = text.find("/BaseFont"); at != std::string::npos; at = text.find("/BaseFont", at + 1))
        ++fonts;
    EXPECT_EQ(fonts, 1u);
}

TEST(ImportPages, EachSourceHasItsOwnTableAndCopiesOutliveIt) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    PdfDocument target;
    {
        std::unique_ptr<PdfDocument> first = PdfReader::Open(Source(), PdfDocumentOpenMode::Import);
        std::unique_ptr<PdfDocument> second = PdfReader::Open(Source(), PdfDocumentOpenMode::Import);
        target.AddPage(first->Pages()[0]);
        target.AddPage(second->Pages()[0]);
        target.InsertPage(0, first->Pages()[1]);
        EXPECT_NE(FontOf(target.Pages()[1]), FontOf(target.Pages()[2]));
        EXPECT_EQ(FontOf(target.Pages()[0]), FontOf(target.Pages()[1]));
        PdfImportedObjectTable &table = target.ImportedObjectTables().For(*first);
        EXPECT_EQ(table.ExternalDocument(), first.get());
        EXPECT_GT(table.Count(), 0);
        first.reset();
        EXPECT_EQ(table.ExternalDocument(), nullptr);
    }
    EXPECT_EQ(ContentText(target.Pages()[0]), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
    std::filesystem::path path = ZavorTest::OutputPath("import_after_sources_gone.pdf");
    target.Save(path);
    EXPECT_EQ(ZavorTest::PdfInfoPageSizes(path, 3),
              (std::vector<std::string>{"612 x 792", "595 x 842", "595 x 842"}));
}

// Saving frees copies that nothing reaches any more; importing from the
// same source afterwards copies them again instead of using freed ones.
TEST(ImportPages, CopiesDroppedBySavingAreImportedAgain) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    std::unique_ptr<PdfDocument> source = PdfReader::Open(Source(), PdfDocumentOpenMode::Import);
    PdfDocument target;
    target.AddPage();
    target.Pages().Remove(target.AddPage(source->Pages()[0]));
    std::vector<std::uint8_t> bytes;
    target.Save(bytes);
    PdfPage &page = target.AddPage(source->Pages()[1]);
    EXPECT_EQ(FontOf(page)->Value()->Owner(), &target);
    EXPECT_EQ(ContentText(page), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
    std::filesystem::path path = ZavorTest::OutputPath("import_after_save.pdf");
    target.Save(path);
    EXPECT_EQ(ZavorTest::PdfInfoField(path, "Pages"), "2");
}

TEST(ImportPages, RefusedForTargetsThatCannotChangeAndSourcesNotOpenedForImport) {
    std::unique_ptr<PdfDocument> source = PdfReader::Open(Source(), PdfDocumentOpenMode::Import);
    std::unique_ptr<PdfDocument> readOnly = PdfReader::Open(Source(), PdfDocumentOpenMode::ReadOnly);
    EXPECT_EQ(FailureOf([&] { readOnly->AddPage(source->Pages()[0]); }), "The document cannot be modified.");
    PdfDocument target;
    for (PdfDocumentOpenMode mode : {PdfDocumentOpenMode::Modify, PdfDocumentOpenMode::ReadOnly}) {
        std::unique_ptr<PdfDocument> other = PdfReader::Open(Source(), mode);
        EXPECT_EQ(FailureOf([&] { target.AddPage(other->Pages()[0]); }),
                  "A PDF document must be opened with PdfDocumentOpenMode.Import to import pages from it.");
    }
    EXPECT_EQ(FailureOf([&] { target.InsertPage(2, source->Pages()[0]); }),
              "The index of a page is out of range.");
    EXPECT_EQ(target.PageCount(), 0);
}

// Annotations come along and point at the new page; a link to a page that
// is not imported is left out instead of pulling in that page or leading
// nowhere.
TEST(ImportPages, AnnotationsPointAtTheNewPageAndLinksToOtherPagesAreCut) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    std::string text = R"(%PDF-1.4
1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj
2 0 obj << /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 200 100] >> endobj
3 0 obj << /Type /Page /Parent 2 0 R /Annots 8 0 R /Rotate 90 /CropBox 7 0 R >> endobj
4 0 obj << /Type /Page /Parent 2 0 R >> endobj
5 0 obj << /Type /Annot /Subtype /Text /P 3 0 R /Rect [0 0 10 10] /Contents (note) >> endobj
6 0 obj << /Type /Annot /Subtype /Link /P 3 0 R /Rect [0 0 10 10] /Dest [4 0 R /Fit] >> endobj
7 0 obj [0 0 150 90] endobj
8 0 obj [5 0 R 6 0 R] endobj
@xref
trailer << /Size 9 /Root 1 0 R >>
startxref
@startxref
%%EOF
)";
    std::unique_ptr<PdfDocument> source = PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::Import);
    PdfDocument target;
    target.Pages();
    int before = target.ReferenceTable().Count();
    PdfPage &page = target.AddPage(source->Pages()[0]);
    EXPECT_EQ(page.Rotate(), 90);
    EXPECT_EQ(ZavorTest::MediaBoxSize(page), "200x100");
    PdfArray *annotations = page.Elements().GetArray("/Annots");
    ASSERT_NE(annotations, nullptr);
    ASSERT_EQ(annotations->Elements().Count(), 1);
    EXPECT_EQ(annotations->Elements().GetDictionary(0)->Elements().GetName("/Subtype"), "/Text");
    EXPECT_EQ(annotations->Elements().GetDictionary(0)->Elements().GetReference("/P"), page.Reference());
    // Page, annotations array, two annotations and the crop box, nothing of
    // the source's other page or tree; saving drops the unused copies.
    EXPECT_EQ(target.ReferenceTable().Count() - before, 5);

    // The crop box is copied afresh for each page, the annotations once.
    PdfPage &again = target.AddPage(source->Pages()[0]);
    EXPECT_NE(again.Elements().GetReference("/CropBox"), page.Elements().GetReference("/CropBox"));
    EXPECT_EQ(again.Elements().GetArray("/Annots")->Elements().GetReference(0),
              annotations->Elements().GetReference(0));
    std::filesystem::path path = ZavorTest::OutputPath("import_annotations.pdf");
    target.Save(path);
    EXPECT_EQ(ZavorTest::PdfInfoField(path, "Pages"), "2");
}

}  // namespace
