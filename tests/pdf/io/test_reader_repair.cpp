// Files whose cross-reference table cannot be used: the reader rebuilds it
// from the objects in the file, and what it reads imports and saves as a
// valid file. A file whose table reads keeps exactly its pages.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "pdf/content/pdf_text_extractor.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf_text.h"
#include "support/platform_support.h"
#include "support/test_output.h"
#include "test_reader_support.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::Content::PdfTextExtractor;
using ZavorPdf::Pdf::IO::PdfReader;
using ZavorTest::FailureOf;

// Our own three pages, showing "page 1" to "page 3"; the title is "Reader
// test".
const std::string &Source() {
    static const std::string bytes = [] {
        std::ifstream file(ZavorTest::WriteSourcePdf("repair_source.pdf", {{595, 842}, {612, 792}, {300, 200}}),
                           std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }();
    return bytes;
}

std::size_t TableAt(const std::string &file) { return file.rfind("\nxref\n") + 1; }

std::string StartXRefTo(std::string file, const std::string &offset) {
    std::size_t number = file.rfind("startxref\n") + 10;
    return file.replace(number, file.find('\n', number) - number, offset);
}

// A comment after the header moves every object; the table is left as it
// was and only "startxref" follows.
std::string ShiftObjects(const std::string &file) {
    const std::string comment = "%moved\n";
    std::string shifted = file;
    shifted.insert(file.find('\n') + 1, comment);
    return StartXRefTo(shifted, std::to_string(TableAt(shifted)));
}

// The fourth entry, object 3, gets a letter among its digits.
std::string DamageTableLine(std::string file) {
    std::size_t line = TableAt(file);
    for (int i = 0; i < 6; ++i) line = file.find('\n', line) + 1;
    file[line + 3] = 'x';
    return file;
}

// The table's only section lists objects 0 to 2: the catalog, object 3,
// is not among them.
std::string CutTableShort(std::string file) {
    std::size_t section = TableAt(file) + 5;
    std::size_t entries = file.find('\n', section) + 1;
    std::size_t rest = file.find("trailer", entries);
    return file.replace(section, rest - section, "0 3\n" + file.substr(entries, 3 * 20));
}

// The trailer names an older table where there is none.
std::string PrevIntoNothing(std::string file) {
    return file.insert(file.rfind("trailer\n<<\n") + 11, "/Prev 99999\n");
}

// More lines after "%%EOF" than a reader looks back over for "startxref".
std::string JunkAfterTheEnd(const std::string &file) {
    std::string junk;
    for (int i = 0; i < 20; ++i) junk += "%junk line\n";
    return file + junk;
}

// The entries of objects 5 and 7, pages 1 and 2, trade places: each points
// at the other's object.
std::string SwapEntries(std::string file) {
    std::size_t first = TableAt(file) + 5;
    first = file.find('\n', first) + 1 + 5 * 20;
    std::size_t second = first + 2 * 20;
    std::string entry = file.substr(first, 20);
    file.replace(first, 20, file.substr(second, 20));
    return file.replace(second, 20, entry);
}

// Half-way into the data of the last content stream.
std::string CutInLastStream(const std::string &file) {
    std::size_t data = file.rfind("stream\n", file.rfind("endstream")) + 7;
    return file.substr(0, data + (file.rfind("endstream") - data) / 2);
}

std::string CutInLastPage(const std::string &file) { return file.substr(0, file.rfind("/Type/Page\n") + 5); }

// An update appended without a table: page 1's contents are defined again,
// uncompressed, and a trailer follows that names only the catalog, its
// "startxref" pointing at the new object instead of a table.
std::string UpdateWithoutTable(const std::string &file) {
    std::size_t at = file.find("/Contents[") + 10;
    std::string number = file.substr(at, file.find(' ', at) - at);
    std::size_t header = file.rfind(" 0 obj", file.find("/Type/Catalog"));
    std::size_t line = file.rfind('\n', header) + 1;
    std::string catalog = file.substr(line, header - line);
    const std::string content = "BT /F1 12 Tf 20 20 Td (page one) Tj ET";
    const std::string update = number + " 0 obj\n<< /Length " + std::to_string(content.size()) +
                               " >>\nstream\n" + content + "\nendstream\nendobj\ntrailer\n<< /Size 99 /Root " +
                               catalog + " 0 R >>\n";
    return file + update + "startxref\n" + std::to_string(file.size()) + "\n%%EOF\n";
}

std::vector<std::uint8_t> Bytes(const std::string &text) { return {text.begin(), text.end()}; }

struct Reading {
    int pages = 0;
    int informationPages = 0;
    std::u16string title;
    std::vector<std::u16string> texts;
};

Reading Read(const std::string &file) {
    Reading reading;
    std::unique_ptr<PdfDocument> document = PdfReader::Open(Bytes(file), PdfDocumentOpenMode::Import);
    reading.pages = document->PageCount();
    reading.title = document->Info().Title();
    for (int i = 0; i < reading.pages; ++i) reading.texts.push_back(PdfTextExtractor::GetText(*document, i));
    reading.informationPages = PdfReader::Open(Bytes(file), PdfDocumentOpenMode::InformationOnly)->PageCount();
    return reading;
}

struct RepairCase {
    const char *name;  // also names the saved import
    std::string file;
    int pages;
    std::vector<std::u16string> texts;
    std::u16string title;
};

TEST(ReaderRepair, DamagedTablesAreRebuiltFromTheObjects) {
    ZAVOR_SKIP_ON_WINDOWS("runs qpdf");
    const std::string &source = Source();
    const std::vector<std::u16string> all = {u"page 1\r\n", u"page 2\r\n", u"page 3\r\n"};
    const RepairCase cases[] = {
        {"startxref_missing", source.substr(0, source.rfind("startxref")), 3, all, u"Reader test"},
        {"startxref_into_an_object", StartXRefTo(source, "20"), 3, all, u"Reader test"},
        {"startxref_past_the_end", StartXRefTo(source, "999999"), 3, all, u"Reader test"},
        {"offsets_shifted", ShiftObjects(source), 3, all, u"Reader test"},
        {"table_line_damaged", DamageTableLine(source), 3, all, u"Reader test"},
        {"table_cut_short", CutTableShort(source), 3, all, u"Reader test"},
        {"entries_swapped", SwapEntries(source), 3, all, u"Reader test"},
        {"prev_into_nothing", PrevIntoNothing(source), 3, all, u"Reader test"},
        {"junk_after_the_end", JunkAfterTheEnd(source), 3, all, u"Reader test"},
        // No trailer is left: the catalog is found by its type, and the
        // document information with the trailer is lost.
        {"cut_before_the_table", source.substr(0, TableAt(source)), 3, all, u""},
        // The last page's contents are not complete: the page stays, empty.
        {"cut_in_the_last_contents", CutInLastStream(source), 3, {all[0], all[1], u"\r\n"}, u""},
        {"cut_in_the_last_page", CutInLastPage(source), 2, {all[0], all[1]}, u""},
        // The newest definition wins; the information comes from the older
        // trailer, as the update's trailer lacks it.
        {"update_without_table", UpdateWithoutTable(source), 3, {u"page one\r\n", all[1], all[2]}, u"Reader test"},
    };
    for (const RepairCase &c : cases) {
        SCOPED_TRACE(c.name);
        Reading reading;
        ASSERT_EQ(FailureOf([&] { reading = Read(c.file); }), "no failure");
        EXPECT_EQ(reading.pages, c.pages);
        EXPECT_EQ(reading.informationPages, c.pages);
        EXPECT_EQ(reading.texts, c.texts);
        EXPECT_EQ(reading.title, c.title);

        // Every page imports, and the saved file is whole.
        std::unique_ptr<PdfDocument> source = PdfReader::Open(Bytes(c.file), PdfDocumentOpenMode::Import);
        PdfDocument target;
        for (int i = 0; i < source->PageCount(); ++i) target.AddPage(source->Pages()[i]);
        std::filesystem::path saved = ZavorTest::PublishOutput(
            std::string("repair_") + c.name + ".pdf", [&](const std::filesystem::path &path) { target.Save(path); });
        EXPECT_NE(ZavorTest::RunCommand("qpdf --check '" + saved.string() + "' 2>&1")
                      .find("No syntax or stream encoding errors found"),
                  std::string::npos);
        EXPECT_EQ(PdfReader::Open(saved, PdfDocumentOpenMode::Import)->PageCount(), c.pages);
    }
}

// Our reader, qpdf and poppler agree on the files qpdf accepts, in pages
// and in the text of the first page; qpdf gives up on those without any
// trailer and on a table without the catalog (which poppler reads as we
// do), and those are read here all the same.
TEST(ReaderRepair, PageCountsMatchQpdfWhereItReadsTheFile) {
    ZAVOR_SKIP_ON_WINDOWS("runs pdftotext, qpdf");
    const std::string &source = Source();
    const struct {
        const char *name;
        std::string file;
        std::string qpdfPages;
        std::string firstPage;
    } cases[] = {
        {"startxref_missing", source.substr(0, source.rfind("startxref")), "3\n", "page 1"},
        {"offsets_shifted", ShiftObjects(source), "3\n", "page 1"},
        {"table_line_damaged", DamageTableLine(source), "3\n", "page 1"},
        {"entries_swapped", SwapEntries(source), "3\n", "page 1"},
        {"prev_into_nothing", PrevIntoNothing(source), "3\n", "page 1"},
        {"junk_after_the_end", JunkAfterTheEnd(source), "3\n", "page 1"},
        {"update_without_table", UpdateWithoutTable(source), "3\n", "page one"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // Not ".pdf": the damaged input is no output to check with qpdf.
        std::filesystem::path path = ZavorTest::OutputPath(std::string("repair_damaged_") + c.name + ".pdf.in");
        ZavorTest::PublishFile(path, c.file);
        EXPECT_EQ(ZavorTest::RunCommand("qpdf --show-npages '" + path.string() + "' 2>/dev/null"), c.qpdfPages);
        EXPECT_EQ(std::to_string(PdfReader::Open(path, PdfDocumentOpenMode::InformationOnly)->PageCount()) + "\n",
                  c.qpdfPages);
        EXPECT_EQ(ZavorTest::RunCommand("pdftotext -raw -f 1 -l 1 '" + path.string() + "' - 2>/dev/null"),
                  c.firstPage + "\n\f");
        EXPECT_EQ(PdfTextExtractor::GetText(path, 0), std::u16string(c.firstPage.begin(), c.firstPage.end()) + u"\r\n");
    }
}

// With object streams in the file, a catalog the table does not list may
// be in one of them: the table is kept, and without the object stream
// reader placing it, the file has no catalog.
TEST(ReaderRepair, UnlistedCatalogBesideObjectStreamsKeepsTheTable) {
    std::string file = CutTableShort(Source());
    file.insert(TableAt(file), "99 0 obj\n<< /Type /ObjStm /N 0 /First 0 /Length 0 >>\nstream\n\nendstream\nendobj\n");
    file = StartXRefTo(file, std::to_string(TableAt(file)));
    EXPECT_EQ(FailureOf([&] { PdfReader::Open(Bytes(file), PdfDocumentOpenMode::Import); }),
              "The file is not a valid PDF document.");
}

// The key of an encrypted file comes from the trailer that the scan finds:
// its "/Encrypt" and "/ID" are taken even from a trailer older than the
// one naming the catalog.
TEST(ReaderRepair, EncryptedFilesDecryptWithTheTrailerFound) {
    std::ifstream kept(ZavorTest::SourceDir() / "tests/data/qpdf_rc4_128.pw-user.pdf", std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(kept), {}};
    std::size_t catalog = file.find("1 0 obj");
    const struct {
        const char *name;
        std::string file;
    } cases[] = {
        {"startxref missing", file.substr(0, file.rfind("startxref"))},
        {"table line damaged", DamageTableLine(file)},
        {"newer trailer without the key",
         StartXRefTo(file, "0") + file.substr(catalog, file.find("endobj", catalog) + 7 - catalog) +
             "trailer << /Root 1 0 R >>\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const char16_t *password : {u"user", u"owner"}) {
            std::unique_ptr<PdfDocument> document;
            ASSERT_EQ(FailureOf([&] {
                          document = PdfReader::Open(Bytes(c.file), std::u16string(password),
                                                     PdfDocumentOpenMode::Import, nullptr);
                      }),
                      "no failure");
            EXPECT_EQ(document->PageCount(), 3);
            EXPECT_EQ(document->Info().Title(), u"Reader test");
            EXPECT_EQ(ZavorTest::ContentText(document->Pages()[1]), "BT /F1 12 Tf 20 20 Td (page 2) Tj ET");
        }
        EXPECT_EQ(FailureOf([&] { PdfReader::Open(Bytes(c.file), PdfDocumentOpenMode::Import); }),
                  "A password is required to open the PDF document.");
    }
}

std::string File(const std::string &objects) {
    return "%PDF-1.4\n" + objects + "\n@xref\ntrailer << /Size 20 /Root 1 0 R >>\nstartxref\n@startxref\n%%EOF\n";
}

const std::string Tree = "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
                         "2 0 obj << /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >> endobj\n"
                         "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >> endobj\n"
                         "4 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 20 20] >> endobj\n";

// A file that reads is never rebuilt: a newer catalog of one page that
// nothing refers to, and a "/Count" that lies, stay as the file has them.
TEST(ReaderRepair, FilesThatReadKeepTheirPages) {
    const struct {
        const char *name;
        std::string text;
        int pages;
        int informationPages;
    } cases[] = {
        {"intact", File(Tree), 2, 2},
        {"unused newer catalog",
         File(Tree + "8 0 obj << /Type /Catalog /Pages 9 0 R >> endobj\n"
                     "9 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"),
         2, 2},
        {"count lies", File(std::string(Tree).replace(Tree.find("/Count 2"), 8, "/Count 7")), 2, 7},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> bytes = ZavorTest::BuildPdf(c.text);
        EXPECT_EQ(PdfReader::Open(bytes, PdfDocumentOpenMode::Import)->PageCount(), c.pages);
        EXPECT_EQ(PdfReader::Open(bytes, PdfDocumentOpenMode::InformationOnly)->PageCount(), c.informationPages);
    }
}

// Files the scan finds no catalog in keep the failure of their table.
TEST(ReaderRepair, FilesWithoutACatalogAreStillRefused) {
    const struct {
        const char *name;
        std::string text;
        std::string failure;
    } cases[] = {
        {"no objects", "%PDF-1.4\nstartxref\n99999\n%%EOF\n", "Unexpected end of file."},
        {"objects but no catalog", "%PDF-1.4\n1 0 obj << /Type /Pages >> endobj\n",
         "The file is not a valid PDF document."},
        {"catalog only in a stream",
         "%PDF-1.4\n1 0 obj << /Length 44 >>\nstream\n2 0 obj << /Type /Catalog /Pages 3 0 R >>\nendstream\nendobj\n",
         "The file is not a valid PDF document."},
        {"trailer names a missing catalog", "%PDF-1.4\n1 0 obj 1 endobj\ntrailer << /Root 5 0 R >>\n",
         "The file is not a valid PDF document."},
        {"not a PDF", "1 0 obj << /Type /Catalog >> endobj\n", "The file is not a valid PDF document."},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FailureOf([&] { PdfReader::Open(Bytes(c.text), PdfDocumentOpenMode::Import); }), c.failure)
            << c.name;
    }
}

}  // namespace
