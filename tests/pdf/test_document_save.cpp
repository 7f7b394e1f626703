// Saving documents: the exact bytes of a one-page file, the information
// entries, the refusals, and replacing files without ever destroying them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "pdf/errors.h"
#include "pdf/io/parser.h"
#include "pdf/filters/filtering.h"
#include "pdf/page_size.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_trailer.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_document_support.h"

namespace ZavorPdf::Pdf {
namespace {

using namespace ZavorTest;
namespace fs = std::filesystem;

std::string Hex(const std::vector<std::uint8_t> &bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (auto byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string Padded(long value, int width) {
    std::string text = std::to_string(value);
    return std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

// The file that a new document with one empty A4 page must produce, built
// object by object with the offsets counted here.
std::string ExpectedOnePageFile(const std::string &idHex) {
    const std::string objects[] = {
        "1 0 obj\n<<\n/CreationDate(D:20240131120000+01'00')\n"
        "/Creator(PDF-Plugin f\xFCr Vornix \\(ZavorPdf Engine\\))\n"
        "/Producer(Vornix - ZAVOR Plugin \\(https://www.vornix.example\\))\n>>\nendobj\n",
        "2 0 obj\n<<\n/Type/Catalog\n/Pages 3 0 R\n>>\nendobj\n",
        "3 0 obj\n<<\n/Type/Pages\n/Count 1\n/Kids[4 0 R]\n>>\nendobj\n",
        "4 0 obj\n<<\n/Type/Page\n/MediaBox[0 0 595 842]\n/Parent 3 0 R\n/Group\n<<\n/CS/DeviceRGB\n"
        "/S/Transparency\n/I false\n/K false\n>>\n>>\nendobj\n",
    };
    std::string file = "%PDF-1.4\n%\xD3\xF4\xCC\xE1\n";
    std::string xref = "xref\n0 5\n0000000000 65535 f \n";
    for (const auto &object : objects) {
        xref += Padded(static_cast<long>(file.size()), 10) + " 00000 n \n";
        file += object;
    }
    std::size_t startxref = file.size();
    file += xref;
    file += "trailer\n<<\n/ID[<" + idHex + "><" + idHex + ">]\n/Info 1 0 R\n/Root 2 0 R\n/Size 5\n>>\n";
    file += "startxref\n" + std::to_string(startxref) + "\n%%EOF\n";
    return file;
}

TEST(DocumentSave, OnePageDocumentIsWrittenByteForByte) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    FixedClock clock;
    PdfDocument document;
    document.AddPage().SetSize(PageSize::A4);
    std::string written = SaveToString(document);
    std::string id = Hex(document.Trailer().DocumentID(0));
    ASSERT_EQ(id.size(), 32u);
    EXPECT_EQ(written, ExpectedOnePageFile(id));
    std::ostringstream stream;
    document.Save(stream);
    EXPECT_EQ(stream.str(), written);
    // The same bytes through a file, for the independent checks.
    fs::path path = OutputPath("document_one_page.pdf");
    document.Save(path);
    EXPECT_EQ(ReadFileText(path), written);
    EXPECT_EQ(PdfInfoPageSizes(path, 1), std::vector<std::string>{"595 x 842"});
}

TEST(DocumentSave, EveryDocumentGetsItsOwnIdentifierPair) {
    PdfDocument first;
    PdfDocument second;
    auto a0 = first.Trailer().DocumentID(0);
    EXPECT_EQ(a0.size(), 16u);
    EXPECT_EQ(a0, first.Trailer().DocumentID(1));
    EXPECT_NE(a0, second.Trailer().DocumentID(0));
    EXPECT_NE(first.Name(), second.Name());
    EXPECT_EQ(first.Name().rfind("Document ", 0), 0u);
}

TEST(DocumentSave, CreatorIsKeptAndProducerAlwaysReplaced) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    PdfDocument document;
    document.AddPage();
    document.Info().SetCreator(u"Mein Skript");
    document.Info().SetTitle(u"Bericht");
    fs::path path = OutputPath("document_creator_kept.pdf");
    document.Save(path);
    EXPECT_EQ(document.Info().Creator(), u"Mein Skript");
    EXPECT_EQ(document.Info().Producer(), u"Vornix - ZAVOR Plugin (https://www.vornix.example)");
    EXPECT_EQ(PdfInfoField(path, "Creator"), "Mein Skript");
    EXPECT_EQ(PdfInfoField(path, "Producer"), "Vornix - ZAVOR Plugin (https://www.vornix.example)");
    EXPECT_EQ(PdfInfoField(path, "Title"), "Bericht");

    PdfDocument plain;
    plain.AddPage();
    fs::path plainPath = OutputPath("document_creator_default.pdf");
    plain.Save(plainPath);
    EXPECT_EQ(PdfInfoField(plainPath, "Creator"), "PDF-Plugin f\xC3\xBCr Vornix (ZavorPdf Engine)");
}

TEST(DocumentSave, DocumentWithoutPagesIsRefusedAndTheOldFileSurvives) {
    fs::path folder = OutputPath("no-pages");
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::path target = folder / "kept.pdf";
    PdfDocument previous;
    previous.AddPage();
    previous.Save(target);
    std::string before = ReadFileText(target);
    PdfDocument document;
    try {
        document.Save(target);
        FAIL() << "no exception";
    } catch (const InvalidOperationException &error) {
        EXPECT_STREQ(error.what(), "Cannot save a PDF document with no pages.");
    }
    std::vector<std::uint8_t> bytes;
    EXPECT_THROW(document.Save(bytes), InvalidOperationException);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(ReadFileText(target), before);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"kept.pdf"});
}

TEST(DocumentSave, FailedWriteLeavesNoTemporaryFileAndReplacingWorksTwice) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    fs::path folder = OutputPath("save-failures");
    fs::remove_all(folder);
    fs::create_directories(folder / "occupied" / "inside");
    PdfDocument document;
    document.AddPage();
    // The rename over a non-empty folder fails after the whole file was
    // written.
    EXPECT_THROW(document.Save(folder / "occupied"), ZavorPdfException);
    EXPECT_THROW(document.Save(folder / "missing" / "x.pdf"), ZavorPdfException);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::string>{"occupied"});

    fs::path target = folder / "twice.pdf";
    document.Save(target);
    document.AddPage().SetSize(PageSize::A5);
    document.Save(target);
    EXPECT_EQ(PdfInfoPageSizes(target, 2), (std::vector<std::string>{"595 x 842", "420 x 595"}));
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"occupied", "twice.pdf"}));
    fs::copy_file(target, OutputPath("document_saved_twice.pdf"), fs::copy_options::overwrite_existing);
}

TEST(DocumentSave, UnreachableObjectsAreDroppedAndTheRestRenumbered) {
    PdfDocument document;
    PdfReferenceTable &table = document.ReferenceTable();
    table.Add(std::make_unique<PdfIntegerObject>(7));
    document.AddPage();
    table.Add(std::make_unique<PdfIntegerObject>(8));
    std::string written = SaveToString(document);
    EXPECT_EQ(table.Count(), 4);
    EXPECT_EQ(document.Pages().PageAt(0).ObjectNumber(), 4);
    EXPECT_NE(written.find("xref\n0 5\n"), std::string::npos);
    EXPECT_EQ(written.find("obj\n7\n"), std::string::npos);
}

TEST(DocumentSave, ContentStreamsAreCompressedAndDrawingGoesOnAfterASave) {
    PdfDocument document;
    PdfContent &content = document.AddPage().Contents().AppendContent();
    std::string drawing = "0 0 m 100 100 l S\n";
    content.SetBytes(Bytes(drawing));
    std::string written = SaveToString(document);
    EXPECT_NE(written.find("/Filter/FlateDecode\n>>\nstream\n"), std::string::npos);
    auto begin = written.find("stream\n") + 7;
    auto end = written.find("\nendstream");
    std::vector<std::uint8_t> packed(written.begin() + static_cast<long>(begin),
                                     written.begin() + static_cast<long>(end));
    EXPECT_NE(written.find("/Length " + std::to_string(packed.size()) + "\n"), std::string::npos);
    auto unpacked = Filters::Filtering::Decode(packed, "/FlateDecode");
    ASSERT_TRUE(unpacked.has_value());
    EXPECT_EQ(Text(*unpacked), drawing);
    EXPECT_EQ(SaveToString(document), written) << "a second save writes the same stream";

    // Drawing on after the save decodes the stream first.
    content.Append(Bytes("1 w\n"));
    EXPECT_FALSE(content.IsFiltered());
    EXPECT_EQ(Text(content.Bytes()), drawing + "1 w\n");

    document.Options().SetCompressContentStreams(false);
    content.Stream()->Zip();
    std::string plain = SaveToString(document);
    EXPECT_NE(plain.find("/Length 22\n>>\nstream\n0 0 m 100 100 l S\n1 w\nendstream\n"), std::string::npos)
        << plain;
    document.Options().SetCompressContentStreams(true);
    document.Save(OutputPath("document_compressed_content.pdf"));
}

TEST(DocumentSave, VersionAndHeader) {
    PdfDocument document;
    document.AddPage();
    document.SetVersion(16);
    EXPECT_EQ(SaveToString(document).rfind("%PDF-1.6\n", 0), 0u);
    for (int bad : {11, 18, 0}) {
        try {
            document.SetVersion(bad);
            FAIL() << bad;
        } catch (const ArgumentException &error) {
            EXPECT_STREQ(error.what(), "Invalid version number. Valid values are 12, 13, and 14.");
            EXPECT_EQ(error.ParamName(), "value");
        }
    }
    EXPECT_EQ(document.Version(), 16);
}

TEST(DocumentSave, ViewerSettingsAreWrittenIntoTheCatalog) {
    PdfDocument document;
    document.AddPage();
    EXPECT_EQ(document.PageLayout(), PdfPageLayout::SinglePage);
    EXPECT_EQ(document.PageMode(), PdfPageMode::UseNone);
    document.SetPageLayout(PdfPageLayout::TwoColumnLeft);
    document.SetPageMode(PdfPageMode::FullScreen);
    document.SetLanguage(u"de-DE");
    EXPECT_EQ(document.PageLayout(), PdfPageLayout::TwoColumnLeft);
    EXPECT_EQ(document.PageMode(), PdfPageMode::FullScreen);
    std::string written = SaveToString(document);
    EXPECT_NE(written.find("2 0 obj\n<<\n/Type/Catalog\n/Pages 3 0 R\n/PageLayout/TwoColumnLeft\n"
                           "/PageMode/FullScreen\n/Lang(de-DE)\n>>\nendobj\n"),
              std::string::npos)
        << written;
}

TEST(DocumentSave, CloseSavesToThePathGivenAtConstruction) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdfinfo");
    fs::path path = OutputPath("document_closed.pdf");
    fs::remove(path);
    PdfDocument document(path);
    EXPECT_FALSE(fs::exists(path)) << "nothing is written before Close";
    document.AddPage().SetSize(PageSize::Letter);
    document.Close();
    EXPECT_EQ(PdfInfoPageSizes(path, 1), std::vector<std::string>{"612 x 792"});
}

// Written by the writer, read back by the parser: every page keeps its size,
// orientation and content, and the information entries survive.
TEST(DocumentSave, SavedFileReadsBackIntoTheSamePages) {
    PdfDocument original;
    original.Info().SetTitle(u"Rundreise");
    original.AddPage().SetSize(PageSize::A4);
    PdfPage &turned = original.AddPage();
    turned.SetSize(PageSize::Letter);
    turned.SetRotate(90);
    turned.SetOrientation(PageOrientation::Landscape);
    PdfPage &free = original.AddPage();
    free.SetWidth(300);
    free.SetHeight(200);
    free.Contents().AppendContent().SetBytes(Bytes("0 0 m 300 200 l S"));
    std::vector<std::uint8_t> bytes;
    original.Save(bytes);

    PdfDocument copy(DocumentSetup::Empty);
    IO::Parser parser(copy, bytes);
    PdfTrailer &trailer = parser.ReadTrailer();
    for (PdfObjectID id : copy.ReferenceTable().AllObjectIDs())
        parser.ReadObject(nullptr, id);
    EXPECT_EQ(trailer.Info().Title(), u"Rundreise");
    EXPECT_EQ(trailer.Info().Producer(), PdfDocument::ProducerText);
    EXPECT_EQ(trailer.DocumentID(0), original.Trailer().DocumentID(0));
    PdfPages &pages = trailer.Root().Pages();
    ASSERT_EQ(pages.Count(), 3);
    EXPECT_EQ(pages[0].MediaBox().ToString(), "[0 0 595 842]");
    EXPECT_EQ(pages[1].Orientation(), PageOrientation::Landscape);
    EXPECT_EQ(pages[1].MediaBox().ToString(), "[0 0 792 612]") << "written turned";
    EXPECT_EQ(pages[2].MediaBox().ToString(), "[0 0 300 200]");
    EXPECT_EQ(Text(pages[2].Contents().ContentAt(0).Bytes()), "0 0 m 300 200 l S");
}

}  // namespace
}  // namespace ZavorPdf::Pdf
