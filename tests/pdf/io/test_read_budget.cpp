// Files built to cost time or memory far beyond their size: a dictionary of
// a great many keys, many items in one array, a page of several Flate
// bombs. Each either reads in time or is refused with the budget's message.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pdf/content/c_parser.h"
#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_contents.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/read_budget.h"
#include "support/hostile_pdfs.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_reader_support.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::IO::PdfReader;
using ZavorTest::FailureOf;

std::vector<std::uint8_t> Bytes(const std::string &text) { return {text.begin(), text.end()}; }

constexpr std::size_t MiB = std::size_t{1} << 20;

// Every key added used to scan the keys before it: 200,000 keys took half
// a minute.
TEST(ReadBudgetFiles, DictionaryOfTwoHundredThousandKeysReadsInLinearTime) {
    const std::vector<std::uint8_t> file = Bytes(ZavorTest::Hostile::WideDictionary(200000));
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<PdfDocument> document = PdfReader::Open(file, PdfDocumentOpenMode::ReadOnly);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));  // some 0.2 s; generous for sanitizer builds
    PdfDictionary *wide = document->Catalog().Elements().GetDictionary("/Wide");
    ASSERT_NE(wide, nullptr);
    const DictionaryElements &elements = wide->Elements();
    ASSERT_EQ(elements.Count(), 200000);
    EXPECT_EQ(elements.Entries().front().key, "/k0");
    EXPECT_EQ(elements.Entries()[123456].key, "/k123456");
    EXPECT_EQ(elements.GetInteger("/k199999"), 1);
    EXPECT_FALSE(elements.ContainsKey("/k200000"));
}

// The item budget counts every array and dictionary item that is read. A
// file opened for a change or an import is read whole, an object no one
// refers to included; one opened to be read only reads such an object when
// it is used, and it is then damaged.
TEST(ReadBudgetFiles, ArraysBeyondTheItemBudgetFailWhenTheyAreRead) {
    const std::vector<std::uint8_t> within = Bytes(ZavorTest::Hostile::LongArray(60000));
    const std::vector<std::uint8_t> beyond = Bytes(ZavorTest::Hostile::LongArray(70000));
    ASSERT_EQ(ReadBudget::ForFileSize(beyond.size()).ItemLimit(), 65536u);
    const std::string refused = "The arrays and dictionaries of the file hold more than 65536 items in all.";
    const std::string damaged = "Object 3 0 of the file is damaged and cannot be read.";
    const struct {
        PdfDocumentOpenMode mode;
        std::string open, array;
    } cases[] = {
        {PdfDocumentOpenMode::Modify, refused, ""},
        {PdfDocumentOpenMode::Import, refused, ""},
        {PdfDocumentOpenMode::ReadOnly, "no failure", damaged},
        {PdfDocumentOpenMode::InformationOnly, "no failure", damaged},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        EXPECT_EQ(FailureOf([&] { PdfReader::Open(within, c.mode)->PageCount(); }), "no failure");
        std::unique_ptr<PdfDocument> document;
        EXPECT_EQ(FailureOf([&] { document = PdfReader::Open(beyond, c.mode); }), c.open);
        if (document == nullptr) continue;
        EXPECT_EQ(FailureOf([&] { document->ReferenceTable()[PdfObjectID(3)]->ReadableValue(); }), c.array);
    }
}

// A page of 4,000 links: packed into object streams the file is a
// fraction of its classic size, while its items stay as many.
std::string LinkPage(int links) {
    std::string text = "%PDF-1.4\n";
    std::vector<std::size_t> positions;
    auto add = [&](const std::string &object) {
        positions.push_back(text.size());
        text += std::to_string(positions.size()) + " 0 obj\n" + object + "\nendobj\n";
    };
    add("<< /Type /Catalog /Pages 2 0 R >>");
    add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    std::string annots;
    for (int i = 0; i < links; ++i) annots += std::to_string(4 + i) + " 0 R ";
    add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Annots [" + annots + "] >>");
    for (int i = 0; i < links; ++i)
        add("<< /Type /Annot /Subtype /Link /Rect [72 " + std::to_string(i % 700) + " 200 700] /Border [0 0 0] "
            "/A << /S /URI /URI (http://example.org/" + std::to_string(i) + ") >> >>");
    std::size_t xref = text.size();
    text += "xref\n0 " + std::to_string(positions.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t position : positions) {
        std::string digits = std::to_string(position);
        text += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
    }
    return text + "trailer\n<< /Size " + std::to_string(positions.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
}

TEST(ReadBudgetFiles, ObjectStreamsAllowItemsForTheirText) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    std::filesystem::path classic = ZavorTest::OutputPath("budget_links.pdf");
    std::filesystem::path packed = ZavorTest::OutputPath("budget_links_object_streams.pdf");
    ZavorTest::PublishFile(classic, LinkPage(4000));
    ZavorTest::RunCommand("qpdf --object-streams=generate '" + classic.string() + "' '" + packed.string() + "'");
    ASSERT_LT(std::filesystem::file_size(packed) / ReadBudget::FileBytesPerItem, ReadBudget::ItemFloor);
    std::unique_ptr<PdfDocument> document = PdfReader::Open(packed, PdfDocumentOpenMode::Import);
    EXPECT_EQ(document->Pages()[0].Elements().GetArray("/Annots")->Elements().Count(), 4000);

    ReadBudget budget(0, ReadBudget::ItemCeiling - 10);
    budget.AllowItemsFor(1000);
    EXPECT_EQ(budget.ItemLimit(), ReadBudget::ItemCeiling);
    ReadBudget unlimited;
    unlimited.AllowItemsFor(1000);
    EXPECT_EQ(unlimited.ItemLimit(), ReadBudget().ItemLimit());
}

// Eight streams of 2 MiB each stay under every filter's own limit; the
// page's content as a whole is past the file's budget of some 8 MiB.
TEST(ReadBudgetFiles, PageOfManyStreamsIsRefusedWhenItsContentIsUsed) {
    const std::vector<std::uint8_t> bombs = Bytes(ZavorTest::Hostile::BombPage(8, 2 * MiB));
    const std::string refused = "The streams of the file decode to more than " +
                                std::to_string(ReadBudget::ForFileSize(bombs.size()).DecodedLimit()) +
                                " bytes in all.";
    ASSERT_LT(ReadBudget::ForFileSize(bombs.size()).DecodedLimit(), 16 * MiB);
    std::unique_ptr<PdfDocument> document = PdfReader::Open(bombs, PdfDocumentOpenMode::Import);
    EXPECT_EQ(FailureOf([&] { document->Pages()[0].Contents().CreateSingleContent(); }), refused);
    // A second reading of the file starts with a budget of its own.
    document = PdfReader::Open(bombs, PdfDocumentOpenMode::ReadOnly);
    EXPECT_EQ(FailureOf([&] { Content::CParser::PageContent(document->Pages()[0]); }), refused);

    const std::vector<std::uint8_t> fewer = Bytes(ZavorTest::Hostile::BombPage(3, 2 * MiB));
    document = PdfReader::Open(fewer, PdfDocumentOpenMode::Import);
    EXPECT_EQ(document->Pages()[0].Contents().CreateSingleContent()->Stream()->Length(), 3 * (2 * MiB + 1));
}

}  // namespace
