// Hand-written hybrid files: a classic table whose trailer points at a
// cross-reference stream that places objects in an object stream. Each case
// damages one part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/errors.h"
#include "pdf/io/pdf_reader.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document_information.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_reference_table.h"
#include "pdf/pdf_trailer.h"
#include "pdf_text.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using ZavorTest::BuildPdf;
using ZavorTest::ParsedFile;

// The page (3) and the information dictionary (4), packed as the object
// stream holds them unless a case says otherwise.
struct Hybrid {
    std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>";
    std::string info = "<< /Title (Hybrid) >>";
    std::string header;  // made from the two objects when empty
    std::string first;   // the header's length when empty
    std::string streamType = "/ObjStm";
    std::string count = "2";
    std::string xref = "/Type /XRef /Size 7 /W [1 1 1] /Index [3 2]";
    std::string entries = "020500 020501>";

    std::string Text() const {
        std::string head = header.empty() ? "3 0 4 " + std::to_string(page.size() + 1) + " " : header;
        std::string data = head + page + " " + info;
        std::string start = first.empty() ? std::to_string(head.size()) : first;
        return "%PDF-1.5\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
               "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
               "5 0 obj\n<< /Type " + streamType + " /N " + count + " /First " + start + " /Length " +
               std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream\nendobj\n"
               "6 0 obj\n<< " + xref + " /Filter /ASCIIHexDecode /Length " + std::to_string(entries.size()) +
               " >>\nstream\n" + entries + "\nendstream\nendobj\n"
               "@xref\ntrailer\n<< /Size 7 /Root 1 0 R /Info 4 0 R /XRefStm @obj:6 >>\nstartxref\n@startxref\n%%EOF\n";
    }
};

std::string TrailerFailure(const Hybrid &file) {
    ParsedFile parsed(BuildPdf(file.Text()));
    try {
        parsed.parser->ReadTrailer();
    } catch (const ZavorPdfException &error) {
        return error.what();
    }
    return "no failure";
}

TEST(ParserXRefStreams, HybridFileReadsItsObjectStream) {
    std::unique_ptr<PdfDocument> document =
        IO::PdfReader::Open(BuildPdf(Hybrid().Text()), PdfDocumentOpenMode::Import);
    EXPECT_EQ(document->PageCount(), 1);
    EXPECT_EQ(document->Info().Title(), u"Hybrid");
    EXPECT_FALSE(document->Trailer().Elements().ContainsKey("/XRefStm"));
    // Neither stream is part of the document any longer.
    EXPECT_EQ(document->ReferenceTable()[PdfObjectID(5)], nullptr);
    EXPECT_EQ(document->ReferenceTable()[PdfObjectID(6)], nullptr);
}

TEST(ParserXRefStreams, DamagedCrossReferenceStreamsAreRefused) {
    constexpr const char *damaged = "The cross-reference stream is damaged.";
    const struct {
        std::string xref;
        std::string entries;
        std::string message;
    } cases[] = {
        {"/Type /XRef /Size 7 /W [1 9 1] /Index [3 2]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /W [0 0 0] /Index [3 2]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /W [1 1] /Index [3 2]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /Index [3 2]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /W [1 1 1] /Index [3 5]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /W [1 1 1] /Index [3]", "020500 020501>", damaged},
        {"/Type /XRef /Size -1 /W [1 1 1]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /W [1 1 1] /Index [3 2]", "020500 0205>", damaged},
        {"/Type /Other /Size 7 /W [1 1 1] /Index [3 2]", "020500 020501>", damaged},
        {"/Type /XRef /Size 7 /W [1 1 1] /Index [3 2] /DecodeParms << /Predictor 12 /Columns 0 >>",
         "020500 020501>", "Unsupported predictor parameters."},
        {"/Type /XRef /Size 9999999 /W [1 1 1] /Index [3 2]", "020500 020501>", damaged},
        // Types other than 1 and 2 name nothing; neither does a type 2
        // entry that places an object in itself.
        {"/Type /XRef /Size 7 /W [1 1 1] /Index [3 2]", "090500 020401>", "no failure"},
    };
    for (const auto &c : cases) {
        Hybrid file;
        file.xref = c.xref;
        file.entries = c.entries;
        EXPECT_EQ(TrailerFailure(file), c.message) << c.xref << " " << c.entries;
    }
}

// Whether objects 3 and 4 read, after every section and the object stream.
std::string ObjectsRead(const Hybrid &file) {
    ParsedFile parsed(BuildPdf(file.Text()));
    parsed.ReadAll();
    parsed.parser->DropCrossReferenceStreams();
    parsed.parser->ReadCompressedObjects();
    std::string result;
    PdfReference *catalog = parsed.document->ReferenceTable()[PdfObjectID(1)];
    if (catalog == nullptr || catalog->Value() == nullptr) result += "no catalog ";
    for (int number : {3, 4}) {
        PdfReference *reference = parsed.document->ReferenceTable()[PdfObjectID(number)];
        result += reference == nullptr ? "none " : reference->IsDamaged() ? "damaged " : "read ";
    }
    return result;
}

// The same, with the objects read when first asked for, as a file opened
// to be read only reads them.
std::string ObjectsReadOnFirstUse(const Hybrid &file) {
    std::unique_ptr<PdfDocument> document =
        IO::PdfReader::Open(BuildPdf(file.Text()), PdfDocumentOpenMode::InformationOnly);
    std::string result;
    for (int number : {3, 4}) {
        PdfReference *reference = document->ReferenceTable()[PdfObjectID(number)];
        if (reference != nullptr) reference->Value();
        result += reference == nullptr ? "none " : reference->IsDamaged() ? "damaged " : "read ";
    }
    return result;
}

TEST(ParserXRefStreams, DamagedObjectStreamsLeaveTheirObjectsDamaged) {
    Hybrid valid;
    EXPECT_EQ(ObjectsRead(valid), "read read ");
    EXPECT_EQ(ObjectsReadOnFirstUse(valid), "read read ");
    const struct {
        const char *label;
        std::string Hybrid::*field;
        std::string value;
        std::string result;
    } cases[] = {
        {"wrong number in the header", &Hybrid::header, "3 0 7 58 ", "read damaged "},
        {"offset beyond the data", &Hybrid::header, "3 0 4 999 ", "read damaged "},
        {"negative offset", &Hybrid::header, "3 0 4 -1 ", "damaged damaged "},
        {"header cut short", &Hybrid::header, "3 0 4 ", "damaged damaged "},
        {"first beyond the data", &Hybrid::first, "9999", "damaged damaged "},
        {"count beyond the header", &Hybrid::count, "1000", "damaged damaged "},
        {"negative count", &Hybrid::count, "-1", "damaged damaged "},
        {"not an object stream", &Hybrid::streamType, "/XObject", "damaged damaged "},
        {"a stream inside", &Hybrid::info, "<< /Length 1 >> stream\nx\nendstream", "read damaged "},
        {"a keyword inside", &Hybrid::info, "endobj", "read damaged "},
        // Object 4 is placed in object 3, itself in an object stream.
        {"stream in a stream", &Hybrid::entries, "020500 020300>", "read damaged "},
        // Object 4 is placed in object 1, the catalog, which stays.
        {"catalog as a stream", &Hybrid::entries, "020500 020100>", "read damaged "},
    };
    for (const auto &c : cases) {
        Hybrid file;
        file.*c.field = c.value;
        EXPECT_EQ(ObjectsRead(file), c.result) << c.label;
        EXPECT_EQ(ObjectsReadOnFirstUse(file), c.result) << c.label;
    }
}

// Objects 1 to 3 listed by a cross-reference stream alone, its fields as
// wide as the widths say; a width of 0 leaves the field at its default
// (type 1, generation 0).
std::string StreamOnly(const std::vector<int> &widths) {
    std::string text = "%PDF-1.5\n";
    const char *objects[] = {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                             "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] >>"};
    std::string entries;
    auto field = [&](std::size_t value, int width) {
        for (int i = width - 1; i >= 0; --i) entries += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    for (int number = 1; number <= 3; ++number) {
        field(1, widths[0]);
        field(text.size(), widths[1]);
        field(0, widths[2]);
        text += std::to_string(number) + " 0 obj\n" + objects[number - 1] + "\nendobj\n";
    }
    std::size_t xref = text.size();
    text += "4 0 obj\n<< /Type /XRef /Size 4 /Index [1 3] /W [" + std::to_string(widths[0]) + " " +
            std::to_string(widths[1]) + " " + std::to_string(widths[2]) + "] /Root 1 0 R /Length " +
            std::to_string(entries.size()) + " >>\nstream\n" + entries + "\nendstream\nendobj\n";
    return text + "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

TEST(ParserXRefStreams, FieldsOfAnyWidthAndDefaultsRead) {
    for (const std::vector<int> &widths : {std::vector<int>{1, 2, 1}, {0, 2, 1}, {1, 4, 0}, {0, 8, 0}, {2, 3, 2}}) {
        std::string text = StreamOnly(widths);
        std::unique_ptr<PdfDocument> document = IO::PdfReader::Open(
            std::vector<std::uint8_t>(text.begin(), text.end()), PdfDocumentOpenMode::Import);
        EXPECT_EQ(document->PageCount(), 1) << widths[0] << widths[1] << widths[2];
    }
}

// A "/Prev" or "/XRefStm" that leads back to a section already read ends
// the chain there.
TEST(ParserXRefStreams, ChainsThatComeBackEnd) {
    Hybrid intoItself;
    intoItself.xref = "/Type /XRef /Size 7 /W [1 1 1] /Index [3 2] /Prev @obj:6";
    EXPECT_EQ(TrailerFailure(intoItself), "no failure");
    std::string text = Hybrid().Text();
    text.replace(text.find("/XRefStm @obj:6"), 15, "/XRefStm @startxref");
    ParsedFile parsed(BuildPdf(text));
    EXPECT_NO_THROW(parsed.parser->ReadTrailer());
    std::string streamOnly = "%PDF-1.5\n6 0 obj\n<< /Type /XRef /Size 7 /W [1 1 1] /Index [3 2] /Root 1 0 R "
                             "/Prev @obj:6 /Length 6 >>\nstream\n" +
                             std::string("\2\5\0\2\5\1", 6) + "\nendstream\nendobj\nstartxref\n@obj:6\n%%EOF\n";
    ParsedFile streamFile(BuildPdf(streamOnly));
    EXPECT_NO_THROW(streamFile.parser->ReadTrailer());
}

}  // namespace
