// A whole file framed by the writer alone, written where the suite checks
// every PDF with qpdf.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_writer.h"
#include "support/test_output.h"

namespace ZavorPdf::Pdf {
namespace {

PdfDictionary *NewDictionary(PdfDocument &document) {
    return static_cast<PdfDictionary *>(document.ReferenceTable().Add(std::make_unique<PdfDictionary>())->Value());
}

TEST(WriterFile, HandBuiltGraphMakesAValidFile) {
    PdfDocument document(DocumentSetup::Empty);
    PdfDictionary *catalog = NewDictionary(document);
    PdfDictionary *pages = NewDictionary(document);
    PdfDictionary *page = NewDictionary(document);
    PdfDictionary *content = NewDictionary(document);
    NewDictionary(document);  // an orphan that Compact must drop

    catalog->Elements().SetName("/Type", "/Catalog");
    catalog->Elements().SetReference("/Pages", *pages);
    pages->Elements().SetName("/Type", "/Pages");
    auto kids = std::make_unique<PdfArray>();
    kids->Elements().AddReference(*page);
    pages->Elements().SetValue("/Kids", std::move(kids));
    pages->Elements().SetInteger("/Count", 1);
    page->Elements().SetName("/Type", "/Page");
    page->Elements().SetReference("/Parent", *pages);
    page->Elements().SetRectangle("/MediaBox", PdfRectangle(0, 0, 595.2756, 841.8898));
    page->Elements().SetReference("/Contents", *content);
    std::string text = "0.5 w 10 10 m 100 100.25 l S\n";
    content->CreateStream(std::vector<std::uint8_t>(text.begin(), text.end()));
    content->Stream()->Zip();

    PdfDictionary trailer(&document);
    trailer.Elements().SetReference("/Root", *catalog);
    auto &table = document.ReferenceTable();
    ASSERT_EQ(table.Compact(trailer), 1);
    table.Renumber();
    trailer.Elements().SetInteger("/Size", table.Count() + 1);

    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes);
    writer.WriteFileHeader(document);
    std::vector<IO::XrefEntry> entries;
    for (PdfReference *reference : table.AllReferences()) {
        reference->SetPosition(writer.Position());
        entries.push_back({writer.Position(), reference->GenerationNumber()});
        reference->Value()->WriteObject(writer);
    }
    std::int32_t startxref = writer.Position();
    writer.WriteXrefTable(entries);
    writer.WriteTrailer(trailer);
    writer.WriteEof(startxref);

    std::string file(bytes.begin(), bytes.end());
    // Every recorded position is where its object begins.
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(file.substr(static_cast<std::size_t>(entries[i].position), 8), std::to_string(i + 1) + " 0 obj\n");
    EXPECT_EQ(file.substr(static_cast<std::size_t>(startxref), 5), "xref\n");
    EXPECT_NE(file.find("/MediaBox[0 0 595.276 841.89]\n"), std::string::npos);
    EXPECT_NE(file.find("/Contents 4 0 R\n"), std::string::npos);
    EXPECT_TRUE(file.ends_with("trailer\n<<\n/Root 1 0 R\n/Size 5\n>>\nstartxref\n" + std::to_string(startxref) +
                               "\n%%EOF\n"));

    std::ofstream out(ZavorTest::OutputPath("writer_hand_built.pdf"), std::ios::binary);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    ASSERT_TRUE(out.good());
}

}  // namespace
}  // namespace ZavorPdf::Pdf
