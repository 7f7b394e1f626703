// The scan that finds objects, trailers and the catalog by the bytes of a
// file whose table cannot be used.
#include <gtest/gtest.h>

#include <chrono>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/io/xref_scan.h"
#include "pdf/read_budget.h"

namespace {

using ZavorPdf::Pdf::ReadBudget;
using ZavorPdf::Pdf::ReadBudgetExceededException;
using ZavorPdf::Pdf::IO::XRefScan;

// "number generation@position ..." of the objects, then the trailer
// positions and the catalog.
std::string Describe(const std::string &text) {
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    ReadBudget budget;
    XRefScan scan(bytes, budget);
    std::string result;
    for (const XRefScan::Definition &definition : scan.Objects())
        result += definition.id.ToString() + "@" + std::to_string(definition.position) + " ";
    result += "|";
    for (std::int32_t trailer : scan.Trailers()) result += " " + std::to_string(trailer);
    result += " | " + (scan.Catalog() ? scan.Catalog()->ToString() : std::string("-"));
    return result;
}

TEST(XRefScan, FindsTheNewestDefinitionOfEachObject) {
    const struct {
        const char *name;
        std::string text;
        std::string found;
    } cases[] = {
        {"two objects", "%PDF-1.4\n1 0 obj\n<<>>\nendobj\n2 0 obj\n1\nendobj\n", "1 0@9 2 0@29 | | -"},
        {"newest wins", "1 0 obj 1 endobj\n1 0 obj 2 endobj\n", "1 0@17 | | -"},
        {"the newest by position, whatever its generation", "2 1 obj 1 endobj\n2 0 obj 2 endobj\n", "2 0@17 | | -"},
        {"after blanks", "x\n \t3 5 obj 1 endobj\n", "3 5@4 | | -"},
        {"blanks and line ends inside", "4\r\n0\n\nobj 1 endobj", "4 0@0 | | -"},
        {"not at a line start", "x1 0 obj 1 endobj\n", "| | -"},
        {"keyword runs on", "1 0 objx 1 endobj\n", "| | -"},
        {"keyword glued to the generation", "1 0obj 1 endobj\n", "| | -"},
        {"number zero", "0 0 obj 1 endobj\n", "| | -"},
        {"number too high", "8388608 0 obj 1 endobj\n", "| | -"},
        {"too many digits", "12345678901 0 obj 1 endobj\n", "| | -"},
        {"generation too high", "1 65536 obj 1 endobj\n", "| | -"},
        {"header inside a stream", "1 0 obj << >>\nstream\n2 0 obj\nendstream\nendobj\n", "1 0@0 | | -"},
        {"stream without its end keeps what follows",
         "1 0 obj << >>\nstream\nxx\nendobj\n2 0 obj 1 endobj\n3 0 obj << >>\nstream\nyy\nendobj\n",
         "1 0@0 2 0@31 3 0@48 | | -"},
        {"last object cut short", "1 0 obj 1 endobj\n2 0 obj (cut", "1 0@0 | | -"},
        {"cut short, the older definition stands", "1 0 obj 1 endobj\n1 0 obj (cut", "1 0@0 | | -"},
    };
    for (const auto &c : cases) EXPECT_EQ(Describe(c.text), c.found) << c.name;
}

TEST(XRefScan, FindsTrailersAndTheCatalog) {
    std::string manyTrailers;
    for (int i = 0; i < 10; ++i) manyTrailers += "trailer <<>>\n";
    const struct {
        const char *name;
        std::string text;
        std::string found;
    } cases[] = {
        {"trailer", "1 0 obj 1 endobj\ntrailer\n<< >>", "1 0@0 | 24 | -"},
        {"trailer after a delimiter", ">>trailer<<>>", "| 9 | -"},
        {"word that only begins so", "trailers <<>>", "| | -"},
        {"the last eight trailers", manyTrailers, "| 33 46 59 72 85 98 111 124 | -"},
        {"catalog", "1 0 obj << /Type /Catalog >> endobj\n", "1 0@0 | | 1 0"},
        {"catalog without blanks", "1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n", "1 0@0 | | 1 0"},
        {"the last catalog", "1 0 obj << /Type /Catalog >> endobj\n2 0 obj << /Type /Catalog >> endobj\n",
         "1 0@0 2 0@36 | | 2 0"},
        {"a catalog defined again as something else",
         "1 0 obj << /Type /Catalog >> endobj\n2 0 obj << /Type /Catalog >> endobj\n2 0 obj 5 endobj\n",
         "1 0@0 2 0@72 | | 1 0"},
        {"catalog name under another key", "1 0 obj << /S /Catalog >> endobj\n", "1 0@0 | | -"},
        {"catalog name that runs on", "1 0 obj << /Type /Catalogue >> endobj\n", "1 0@0 | | -"},
        {"catalog in a stream", "1 0 obj << >>\nstream\n/Type /Catalog\nendstream\nendobj\n", "1 0@0 | | -"},
    };
    for (const auto &c : cases) EXPECT_EQ(Describe(c.text), c.found) << c.name;
}

TEST(XRefScan, NoticesObjectStreamsOutsideStreamData) {
    const struct {
        std::string text;
        bool found;
    } cases[] = {
        {"1 0 obj << /Type /ObjStm /N 0 /First 0 /Length 0 >>\nstream\n\nendstream\nendobj\n", true},
        {"1 0 obj << /Type /ObjStmX >> endobj\n", false},
        {"1 0 obj << /Length 12 >>\nstream\n/Type/ObjStm\nendstream\nendobj\n", false},
    };
    for (const auto &c : cases) {
        std::vector<std::uint8_t> bytes(c.text.begin(), c.text.end());
        ReadBudget budget;
        EXPECT_EQ(XRefScan(bytes, budget).HasObjectStreams(), c.found) << c.text;
    }
}

// Each object found costs an item of the file's budget.
TEST(XRefScan, ObjectsAreChargedToTheBudget) {
    std::string text = "1 0 obj 1 endobj\n2 0 obj 1 endobj\n3 0 obj 1 endobj\n";
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    ReadBudget enough(1, 3);
    EXPECT_EQ(XRefScan(bytes, enough).Objects().size(), 3u);
    ReadBudget tooLittle(1, 2);
    EXPECT_THROW(XRefScan(bytes, tooLittle), ReadBudgetExceededException);
}

// Files built to make a scan go back over its bytes again and again: a
// stream keyword on every line with no end, trailers that each run to the
// end of the file, and table entries all pointing into one long string.
TEST(XRefScan, HostileFilesAreScannedOnce) {
    auto repeat = [](const std::string &piece, std::size_t bytes) {
        std::string text = "%PDF-1.4\n";
        while (text.size() < bytes) text += piece;
        return text;
    };
    std::string entries = "%PDF-1.4\n1 0 obj (" + std::string(1 << 20, 'a') + ") endobj\nxref\n0 20001\n";
    entries += "0000000000 65535 f \n";
    for (int i = 0; i < 20000; ++i) entries += "0000000017 00000 n \n";
    entries += "trailer << /Root 1 0 R >>\nstartxref\n" + std::to_string(entries.find("xref\n")) + "\n%%EOF\n";
    const struct {
        const char *name;
        std::string text;
    } cases[] = {
        {"streams without end", repeat("1 0 obj <<>>\nstream\n", 4 << 20)},
        {"trailers without end", repeat("trailer << (", 4 << 20)},
        {"catalogs", repeat("1 0 obj /Type /Catalog\n", 4 << 20)},
        {"entries into one string", entries},
    };
    for (const auto &c : cases) {
        auto start = std::chrono::steady_clock::now();
        try {
            ZavorPdf::Pdf::IO::PdfReader::Open(std::vector<std::uint8_t>(c.text.begin(), c.text.end()),
                                               ZavorPdf::Pdf::PdfDocumentOpenMode::Import);
        } catch (const ZavorPdf::ZavorPdfException &) {
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
    }
}

}  // namespace
