// Damaged and hostile files: each either opens with what can be read or
// fails with an engine error; none crashes or loops.
#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_pages.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf_text.h"
#include "test_reader_support.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorPdf::Pdf::IO::PdfReader;
using ZavorTest::FailureOf;

constexpr const char *NotAPdf = "The file is not a valid PDF document.";

std::string File(const std::string &objects, const std::string &trailer = "/Root 1 0 R") {
    return "%PDF-1.4\n" + objects + "\n@xref\ntrailer << /Size 9 " + trailer + " >>\nstartxref\n@startxref\n%%EOF\n";
}

// Opens for import and returns the page count, or the failure.
std::string Outcome(const std::string &text) {
    std::string result;
    std::string failure = FailureOf([&] {
        std::unique_ptr<PdfDocument> document =
            PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::Import);
        result = std::to_string(document->PageCount()) + " pages";
        for (int i = 0; i < document->PageCount(); ++i) document->Pages()[i].MediaBox();
    });
    return failure == "no failure" ? result : failure;
}

constexpr const char *Catalog = "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n";
constexpr const char *Page3 = "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] >> endobj\n";

TEST(ReaderDamaged, PageTreesThatLieOrLoop) {
    const struct {
        const char *name;
        std::string text;
        std::string outcome;
    } cases[] = {
        {"kid is its own root", File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [2 0 R 3 0 R] /Count 2 >> endobj\n" + Page3), "1 pages"},
        {"nodes point at each other",
         File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [4 0 R] /Count 1 >> endobj\n" + Page3 +
              "4 0 obj << /Type /Pages /Kids [5 0 R 3 0 R] >> endobj\n5 0 obj << /Type /Pages /Kids [4 0 R] >> endobj\n"),
         "1 pages"},
        {"kid is the catalog", File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [1 0 R 3 0 R] /Count 9 >> endobj\n" + Page3), "1 pages"},
        {"kid is missing", File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [7 0 R 3 0 R] /Count 2 >> endobj\n" + Page3), "1 pages"},
        {"kid is a number", File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [4 0 R 3 0 R] >> endobj\n" + Page3 + "4 0 obj 12 endobj\n"), "1 pages"},
        {"count is negative", File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [3 0 R] /Count -5 >> endobj\n" + Page3), "1 pages"},
        {"kids is no array", File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids 3 >> endobj\n"), "0 pages"},
    };
    for (const auto &c : cases) EXPECT_EQ(Outcome(c.text), c.outcome) << c.name;
}

TEST(ReaderDamaged, CatalogAndTreeRootMustBeDistinctDictionaries) {
    const struct {
        const char *name;
        std::string text;
    } cases[] = {
        {"no root", File(std::string(Catalog), "")},
        {"root is missing", File("2 0 obj << >> endobj\n")},
        {"root is an array", File("1 0 obj [1 2] endobj\n")},
        {"no page tree", File("1 0 obj << /Type /Catalog >> endobj\n")},
        {"tree is the catalog", File("1 0 obj << /Type /Catalog /Pages 1 0 R >> endobj\n")},
        {"tree is a name", File("1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n2 0 obj /Pages endobj\n")},
    };
    for (const auto &c : cases) EXPECT_EQ(Outcome(c.text), NotAPdf) << c.name;
}

TEST(ReaderDamaged, InformationThatIsNoDictionaryIsDropped) {
    std::string text = File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n" +
                                Page3 + "4 0 obj (title) endobj\n",
                            "/Root 1 0 R /Info 4 0 R");
    std::unique_ptr<PdfDocument> document = PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::ReadOnly);
    EXPECT_EQ(document->PageCount(), 1);
    EXPECT_EQ(document->Info().Title(), u"");
}

// A stream whose "/Length" runs past the file is read up to its
// "endstream"; the page imports with that content.
TEST(ReaderDamaged, StreamWithLyingLengthIsRecovered) {
    std::string text = File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n" +
                            "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Contents 4 0 R >> endobj\n" +
                            "4 0 obj << /Length 999999 >> stream\nBT ET\nendstream endobj\n");
    std::unique_ptr<PdfDocument> source = PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::Import);
    PdfDocument target;
    PdfPage &page = target.AddPage(source->Pages()[0]);
    EXPECT_EQ(ZavorTest::ContentText(page), "BT ET");
}

// Each file has two pages; page 1 (object 3) uses contents 4 and the
// resources 5, which hold the font 6. An object the table places but that
// does not parse fails where it is reached: opening for a page, importing
// for what the page uses. Objects the file lacks read as null.
TEST(ReaderDamaged, DamagedObjectsFailWhereTheyAreReached) {
    const std::string tree = "2 0 obj << /Type /Pages /Kids [3 0 R 7 0 R] /Count 2 >> endobj\n";
    const std::string page1 = "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Contents 4 0 R "
                              "/Resources 5 0 R >> endobj\n";
    const std::string contents = "4 0 obj << /Length 5 >> stream\nBT ET\nendstream endobj\n";
    const std::string resources = "5 0 obj << /Font << /F1 6 0 R >> >> endobj\n";
    const std::string font = "6 0 obj << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> endobj\n";
    const std::string page2 = "7 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Contents 8 0 R >> endobj\n";
    const std::string contents2 = "8 0 obj << /Length 5 >> stream\nBT ET\nendstream endobj\n";
    auto without = [&](std::string text, const std::string &part, const std::string &instead) {
        return text.replace(text.find(part), part.size(), instead);
    };
    const std::string intact = std::string(Catalog) + tree + page1 + contents + resources + font + page2 + contents2;
    const struct {
        const char *name;
        std::string objects;
        std::string outcome;
    } cases[] = {
        {"intact", intact, "page 1 imported"},
        {"contents damaged",
         without(intact, contents, "4 0 obj << /Length 5 /Filter >> stream\nBT ET\nendstream endobj\n"),
         "Object 4 0 of the file is damaged and cannot be read."},
        {"contents without endstream", without(intact, contents, "4 0 obj << /Length 5 >> stream\nBT ET\nendobj\n"),
         "Object 4 0 of the file is damaged and cannot be read."},
        {"contents whose filter refuses them",
         without(intact, contents, "4 0 obj << /Length 5 /Filter /FlateDecode >> stream\nBT ET\nendstream endobj\n"),
         "The stream of object 4 0 of the file is damaged and cannot be read."},
        {"contents with a broken token",
         without(intact, contents, "4 0 obj << /Length 5 >> stream\nBT (ET\nendstream endobj\n"),
         "The content of page object 3 0 of the file is damaged (end of content in a string)."},
        {"contents naming a missing object", without(intact, "/Contents 4 0 R", "/Contents [4 0 R 9 0 R]"),
         "page 1 imported"},
        {"contents naming no stream", without(intact, "/Contents 4 0 R", "/Contents [4 0 R 6 0 R]"),
         "The content of page object 3 0 of the file is damaged (no stream in /Contents)."},
        {"resources damaged", without(intact, resources, "5 0 obj << /Font << /F1 6 0 R >> /Broken >> endobj\n"),
         "Object 5 0 of the file is damaged and cannot be read."},
        {"font damaged", without(intact, font, "6 0 obj << /Type /Font /Subtype >> endobj\n"),
         "Object 6 0 of the file is damaged and cannot be read."},
        {"page damaged", without(intact, page1, "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox >> endobj\n"),
         "Object 3 0 of the file is damaged and cannot be read."},
        {"other page's contents damaged", without(intact, contents2, "8 0 obj << /Length 5 >> stream\nBT ET\nendobj\n"),
         "page 1 imported"},
        {"unused object damaged", intact + "9 0 obj << /Unused >> endobj\n", "page 1 imported"},
        // The content check stops at the picture data, the streams are
        // still checked.
        {"contents after undecoded ones damaged",
         without(without(intact, "/Contents 4 0 R", "/Contents [4 0 R 9 0 R]"), contents,
                 "4 0 obj << /Length 5 /Filter /DCTDecode >> stream\nBT ET\nendstream endobj\n") +
             "9 0 obj << /Length 5 /Filter /FlateDecode >> stream\nBT ET\nendstream endobj\n",
         "The stream of object 9 0 of the file is damaged and cannot be read."},
        {"font missing", without(intact, font, ""), "page 1 imported"},
    };
    for (const auto &c : cases) {
        PdfDocument target;
        target.Pages();
        std::size_t objects = target.ReferenceTable().AllReferences().size();
        std::string failure = FailureOf([&] {
            std::unique_ptr<PdfDocument> source =
                PdfReader::Open(ZavorTest::BuildPdf(File(c.objects)), PdfDocumentOpenMode::Import);
            target.AddPage(source->Pages()[0]);
        });
        if (failure != "no failure") {
            EXPECT_EQ(failure, c.outcome) << c.name;
            // Nothing of the page was made.
            EXPECT_EQ(target.PageCount(), 0) << c.name;
            EXPECT_EQ(target.ReferenceTable().AllReferences().size(), objects) << c.name;
        } else {
            EXPECT_EQ("page 1 imported", c.outcome) << c.name;
            EXPECT_EQ(ZavorTest::ContentText(target.Pages()[0]), "BT ET") << c.name;
        }
    }
}

// The table is rebuilt from the objects in such files, but these hold no
// catalog, or no object at all: the table's own failure stands.
TEST(ReaderDamaged, BrokenTablesFailWithReaderErrors) {
    const struct {
        const char *name;
        std::string text;
        std::string failure;
    } cases[] = {
        {"no startxref", "%PDF-1.4\n1 0 obj << >> endobj\n", NotAPdf},
        {"startxref into nothing", "%PDF-1.4\nstartxref\n99999\n%%EOF\n", "Unexpected end of file."},
        {"offsets point elsewhere",
         "%PDF-1.4\nxref\n0 3\n0000000000 65535 f \n0000000001 00000 n \n0000000002 00000 n \ntrailer << /Root 1 0 R "
         ">>\nstartxref\n9\n%%EOF\n",
         NotAPdf},
    };
    for (const auto &c : cases) EXPECT_EQ(Outcome(c.text), c.failure) << c.name;
}

}  // namespace

namespace {

// Converting such a page to its class once failed half-way and left its
// reference pointing at a destroyed object, which saving then used.
TEST(ReaderDamaged, PageWithARotationThatIsNoNumberStillSaves) {
    std::string text = File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n" +
                            "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Rotate << >> >> endobj\n");
    std::unique_ptr<PdfDocument> document = PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::Modify);
    EXPECT_EQ(ZavorTest::MediaBoxSize(document->Pages()[0]), "10x10");
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(FailureOf([&] { document->Save(bytes); }), "no failure");
    EXPECT_FALSE(bytes.empty());
}

}  // namespace

namespace {

TEST(ReaderDamaged, InformationOnlyCountNeverNegative) {
    std::string text = File(std::string(Catalog) + "2 0 obj << /Type /Pages /Kids [3 0 R] /Count -5 >> endobj\n" + Page3);
    std::unique_ptr<PdfDocument> document =
        PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::InformationOnly);
    EXPECT_EQ(document->PageCount(), 0);
}

}  // namespace

namespace {

// What each object of a file reads as once asked for: its text with its
// stream's length, null, or the failure.
std::string ObjectsAsRead(PdfDocument &document, int count) {
    std::string text;
    for (int number = 1; number <= count; ++number) {
        text += std::to_string(number) + ": ";
        PdfReference *reference = document.ReferenceTable()[PdfObjectID(number)];
        text += FailureOf([&] {
            PdfObject *object = reference != nullptr ? reference->ReadableValue() : nullptr;
            if (object == nullptr) {
                text += "null";
                return;
            }
            text += object->ToString();
            auto *dictionary = dynamic_cast<PdfDictionary *>(object);
            if (dictionary != nullptr && dictionary->Stream() != nullptr)
                text += " stream " + std::to_string(dictionary->Stream()->Length());
        });
        text += "\n";
    }
    return text;
}

// A file opened to be read only parses each object when it is first asked
// for; every object must then read as a full read (import) gives it, damage
// included, and a page count must not reach the pages at all.
TEST(ReaderDamaged, ObjectsReadOnFirstUseAsAFullReadGivesThem) {
    const std::string tree = "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n";
    const std::string page = "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Contents 4 0 R "
                             "/Resources << /Font << /F1 5 0 R >> >> >> endobj\n";
    const struct {
        const char *name;
        std::string objects;
    } cases[] = {
        {"intact", "4 0 obj << /Length 5 >> stream\nBT ET\nendstream endobj\n"
                   "5 0 obj << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> endobj\n"},
        {"lying and indirect lengths", "4 0 obj << /Length 6 0 R >> stream\nBT ET\nendstream endobj\n"
                                       "5 0 obj << /Length 99999 >> stream\nq Q\nendstream endobj\n6 0 obj 2 endobj\n"},
        {"damaged objects", "4 0 obj << /Length 5 /Filter >> stream\nBT ET\nendstream endobj\n"
                            "5 0 obj << /Type /Font /Subtype >> endobj\n6 0 obj [1 2 endobj\n"},
        {"missing objects", "4 0 obj << /Length 5 >> stream\nBT ET\nendstream endobj\n"
                            "5 0 obj [7 0 R 8 0 R] endobj\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = File(std::string(Catalog) + tree + page + c.objects);
        std::unique_ptr<PdfDocument> full = PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::Import);
        std::unique_ptr<PdfDocument> read = PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::ReadOnly);
        EXPECT_EQ(ObjectsAsRead(*read, 8), ObjectsAsRead(*full, 8));

        std::unique_ptr<PdfDocument> counted =
            PdfReader::Open(ZavorTest::BuildPdf(text), PdfDocumentOpenMode::InformationOnly);
        EXPECT_EQ(counted->PageCount(), 1);
        EXPECT_TRUE(counted->ReferenceTable()[PdfObjectID(3)]->IsDeferred());
        EXPECT_TRUE(counted->ReferenceTable()[PdfObjectID(4)]->IsDeferred());
    }
}

}  // namespace
