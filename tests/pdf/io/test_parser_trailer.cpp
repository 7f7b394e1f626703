#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/errors.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_trailer.h"
#include "pdf_text.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using namespace ZavorPdf::Pdf::IO;
using ZavorTest::BuildPdf;
using ZavorTest::LoadPdf;
using ZavorTest::ParsedFile;

std::string TrailerFailure(std::vector<std::uint8_t> bytes) {
    ParsedFile file(std::move(bytes));
    try {
        file.parser->ReadTrailer();
    } catch (const ZavorPdfException &error) {
        return error.what();
    }
    return "no failure";
}

TEST(ParserTrailer, ReadsTheTableAndTheTrailer) {
    ParsedFile file(LoadPdf("minimal.pdf.txt"));
    PdfTrailer &trailer = file.parser->ReadTrailer();
    EXPECT_EQ(&trailer, &file.document->Trailer());
    EXPECT_EQ(trailer.Size(), 13);
    EXPECT_EQ(trailer.Elements().GetReference("/Root")->ObjectID(), PdfObjectID(1));
    EXPECT_EQ(trailer.DocumentID(0).size(), 16u);
    EXPECT_EQ(file.document->ReferenceTable().Count(), 12);
    for (PdfReference *reference : file.document->ReferenceTable().AllReferences()) {
        EXPECT_EQ(reference->Value(), nullptr);
        EXPECT_GT(reference->Position(), 0);
    }
}

TEST(ParserTrailer, PrevChainKeepsTheNewestObjectsAndTrailer) {
    ParsedFile file(LoadPdf("incremental.pdf.txt"));
    file.ReadAll();
    PdfTrailer &trailer = file.document->Trailer();
    EXPECT_TRUE(trailer.Elements().ContainsKey("/Info"));
    EXPECT_TRUE(trailer.Elements().ContainsKey("/Prev"));
    EXPECT_TRUE(dynamic_cast<PdfDictionary *>(file.Object(2))->Elements().GetBoolean("/Revised"));
    EXPECT_EQ(dynamic_cast<PdfStringObject *>(file.Object(3))->Value().Value(), u"second revision");
    // Named by the newest trailer before its section was read.
    auto *info = dynamic_cast<PdfStringObject *>(trailer.Elements().GetReference("/Info")->Value());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Value().Value(), u"only in the first revision, named by the newest trailer");
}

TEST(ParserTrailer, PrevChainThatComesBackEnds) {
    ParsedFile file(LoadPdf("prev_loop.pdf.txt"));
    file.ReadAll();
    EXPECT_NE(file.Object(1), nullptr);
    EXPECT_NE(file.Object(2), nullptr);
}

// Three entries of four bytes each, in an empty stream.
TEST(ParserTrailer, CrossReferenceStreamShorterThanItsEntriesIsRefused) {
    EXPECT_EQ(TrailerFailure(LoadPdf("xref_stream.pdf.txt")), "The cross-reference stream is damaged.");
}

TEST(ParserTrailer, StartXRefOnlyCountsInTheLastBytes) {
    std::string text = "%PDF-1.4\n1 0 obj\n1\nendobj\n@xref\ntrailer\n<< >>\nstartxref\n@startxref\n%%EOF\n";
    EXPECT_EQ(TrailerFailure(BuildPdf(text)), "no failure");
    EXPECT_EQ(TrailerFailure(BuildPdf(text + "%" + std::string(130, 'x') + "\n")),
              "The file is not a valid PDF document.");
    EXPECT_EQ(TrailerFailure(ZavorTest::Bytes("")), "The file is not a valid PDF document.");
}

struct TrailerCase {
    std::string text;
    std::string message;
};

TEST(ParserTrailer, DamagedSectionsFailWithReaderMessages) {
    const std::string head = "%PDF-1.4\n1 0 obj\n1\nendobj\n";
    const std::vector<TrailerCase> cases = {
        {"startxref\n99999\n%%EOF\n", "Unexpected end of file."},
        {"startxref\n-4\n%%EOF\n", "Unexpected end of file."},
        {"startxref\n/Name\n%%EOF\n", "Unexpected token '/Name' in PDF file."},
        // An object where a cross-reference stream should be.
        {"startxref\n@obj:1\n%%EOF\n", "Unexpected token '1' in PDF file."},
        {"@xref\nnot a trailer\nstartxref\n@startxref\n%%EOF\n", "Unexpected token 'not' in PDF file."},
        {"@xref\ntrailer\n[ ]\nstartxref\n@startxref\n%%EOF\n", "Unexpected token '[' in PDF file."},
    };
    for (const auto &c : cases) EXPECT_EQ(TrailerFailure(BuildPdf(head + c.text)), c.message) << c.text;
}

TEST(ParserTrailer, DamagedEntriesFail) {
    auto table = [](const std::string &entries) {
        return BuildPdf("%PDF-1.4\n1 0 obj\n1\nendobj\nXREF\n" + entries +
                        "trailer\n<< >>\nstartxref\n@startxref\n%%EOF\n");
    };
    // The marker only computes positions; the tables below are written out.
    auto build = [&](const std::string &entries) {
        std::vector<std::uint8_t> bytes = table(entries);
        std::string text(bytes.begin(), bytes.end());
        std::size_t xref = text.find("XREF");
        text.replace(xref, 4, "xref");
        std::size_t marker = text.find("@startxref");
        text.replace(marker, 10, std::to_string(xref));
        return ZavorTest::Bytes(text);
    };
    const std::vector<TrailerCase> cases = {
        {"0 2\n0000000000 65535 f \n0000000009 00000 x \n", "Unexpected token 'x' in PDF file."},
        {"0 2\n0000000000 65535 f \n0000000009 70000 n \n", "Unexpected token 'n' in PDF file."},
        {"0 5\n0000000000 65535 f \n0000000009 00000 n \n", "Unexpected token 'trailer' in PDF file."},
        {"9000000 1\n0000000009 00000 n \n", "Object number out of range."},
        {"-1 1\n0000000009 00000 n \n", "Unexpected token '1' in PDF file."},
    };
    for (const auto &c : cases) EXPECT_EQ(TrailerFailure(build(c.text)), c.message) << c.text;
    EXPECT_EQ(TrailerFailure(build("0 2\n0000000000 65535 f \n0000000009 00000 n \n")), "no failure");
}

}  // namespace
