#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"
#include "pdf_text.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf;
using namespace ZavorPdf::Pdf::IO;
using ZavorTest::BuildPdf;
using ZavorTest::ParsedFile;

// A file with the given objects (each "n 0 obj ... endobj") and a trailer.
std::vector<std::uint8_t> FileWith(const std::string &objects) {
    return BuildPdf("%PDF-1.4\n" + objects + "@xref\ntrailer\n<< /Size 9 >>\nstartxref\n@startxref\n%%EOF\n");
}

// Reads object 1 of a file made of the given objects.
struct OneObject {
    explicit OneObject(const std::string &objects) : file(FileWith(objects)) { file.parser->ReadTrailer(); }
    PdfObject *Read(int number = 1) { return file.parser->ReadObject(nullptr, PdfObjectID(number)); }
    ParsedFile file;
};

template <class Exception>
std::string FailureOf(const std::string &objects) {
    OneObject one(objects);
    try {
        one.Read();
    } catch (const Exception &error) {
        return error.what();
    }
    return "no failure";
}

TEST(ParserObjects, MinimalFileReadsObjectByObject) {
    ParsedFile file(ZavorTest::LoadPdf("minimal.pdf.txt"));
    file.ReadAll();
    auto *page = dynamic_cast<PdfDictionary *>(file.Object(3));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->ObjectID(), PdfObjectID(3));
    EXPECT_EQ(page->Elements().GetName("/Type"), "/Page");
    EXPECT_EQ(page->Elements().GetReference("/Parent")->Value(), file.Object(2));
    PdfArray *box = page->Elements().GetArray("/MediaBox");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->ToString(), "[0 0 595.5 -842]");
    EXPECT_EQ(page->Elements().GetDictionary("/Resources")->Elements().GetArray("/ProcSet")->Elements().GetName(1),
              "/Text");
    // Named while reading, but the file lacks it: a reference without value.
    PdfReference *missing = page->Elements().GetReference("/Missing");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->Value(), nullptr);

    auto *contents = dynamic_cast<PdfDictionary *>(file.Object(4));
    ASSERT_NE(contents->Stream(), nullptr);
    EXPECT_EQ(std::string(contents->Stream()->Value().begin(), contents->Stream()->Value().end()), "BT (Hi) Tj ET");
    // The indirect length was read in passing and stands directly now.
    EXPECT_NE(dynamic_cast<PdfInteger *>(contents->Elements()["/Length"]), nullptr);
    EXPECT_EQ(contents->Elements().GetInteger("/Length"), 13);
    EXPECT_EQ(dynamic_cast<PdfIntegerObject *>(file.Object(5))->Value(), 13);

    auto *info = dynamic_cast<PdfDictionary *>(file.Object(6));
    auto *title = dynamic_cast<PdfString *>(info->Elements()["/Title"]);
    EXPECT_EQ(title->Value(), u"Caf\u00E9 (1)");
    EXPECT_EQ(title->Flags(), PdfStringFlags::RawEncoding);
    auto *author = dynamic_cast<PdfString *>(info->Elements()["/Author"]);
    EXPECT_EQ(author->Value(), u"\u00C4B");
    EXPECT_EQ(author->Flags(), PdfStringFlags::Unicode | PdfStringFlags::HexLiteral);
    EXPECT_TRUE(info->Elements().GetBoolean("/Flag"));
    EXPECT_EQ(dynamic_cast<PdfUInteger *>(info->Elements()["/Big"])->Value(), 4294967295u);
    EXPECT_EQ(info->Elements().GetInteger("/Neg"), -5);

    EXPECT_EQ(dynamic_cast<PdfStringObject *>(file.Object(7))->Value().Value(), u"a literal");
    auto *hex = dynamic_cast<PdfStringObject *>(file.Object(8));
    EXPECT_EQ(hex->Value().Value(), u"Hello");
    EXPECT_TRUE(hex->Value().IsHexLiteral());
    EXPECT_EQ(dynamic_cast<PdfNameObject *>(file.Object(9))->Value(), "/AName");
    EXPECT_FALSE(dynamic_cast<PdfBooleanObject *>(file.Object(10))->Value());
    EXPECT_NE(dynamic_cast<PdfNullObject *>(file.Object(11)), nullptr);
    EXPECT_DOUBLE_EQ(dynamic_cast<PdfRealObject *>(file.Object(12))->Value(), -0.25);
}

TEST(ParserObjects, ReferencesAfterReadingToUnknownObjectsAreNull) {
    OneObject one("1 0 obj\n[2 0 R 7 0 R 1 0 R]\nendobj\n2 0 obj\n5\nendobj\n");
    one.file.document->ReferenceTable().SetUnderConstruction(false);
    auto *array = dynamic_cast<PdfArray *>(one.Read());
    ASSERT_EQ(array->Elements().Count(), 3);
    EXPECT_NE(array->Elements().GetReference(0), nullptr);
    EXPECT_NE(dynamic_cast<PdfNull *>(array->Elements()[1]), nullptr);
    EXPECT_EQ(array->Elements().GetReference(2)->Value(), array);
}

TEST(ParserObjects, StrayTokensAreSkippedAndReferencesNeedTwoIntegers) {
    OneObject one("1 0 obj\n[ 1 /A R obj endobj ) { >> 0 0 R -1 0 R 3 70000 R 4 0 R [5 R] ]\nendobj\n");
    auto *array = dynamic_cast<PdfArray *>(one.Read());
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->ToString(), "[1 /A null null null 4 0 R [5]]");
}

TEST(ParserObjects, SuppliedDictionaryIsFilledInPlace) {
    OneObject one("1 0 obj\n<< /Size 4 >>\nendobj\n");
    auto typed = std::make_unique<PdfTrailer>();
    PdfTrailer *raw = typed.get();
    EXPECT_EQ(one.file.parser->ReadObject(std::move(typed), PdfObjectID(1)), raw);
    EXPECT_EQ(raw->Size(), 4);
    EXPECT_TRUE(raw->IsIndirect());
}

TEST(ParserObjects, ReadingWithReferencesLoadsWhatTheObjectReaches) {
    OneObject one(
        "1 0 obj\n<< /A 2 0 R >>\nendobj\n2 0 obj\n[3 0 R 4 0 R]\nendobj\n3 0 obj\n(x)\nendobj\n"
        "4 0 obj\nbroken\nendobj\n");
    one.file.parser->ReadObject(nullptr, PdfObjectID(1), ReadReferences::Yes);
    EXPECT_NE(one.file.Object(2), nullptr);
    EXPECT_NE(one.file.Object(3), nullptr);
    EXPECT_EQ(one.file.Object(4), nullptr);
}

TEST(ParserObjects, NestingIsBoundedByAReaderError) {
    std::string deep(Parser::MaxNesting, '[');
    deep += std::string(Parser::MaxNesting, ']');
    OneObject fine("1 0 obj\n" + deep + "\nendobj\n");
    EXPECT_NE(fine.Read(), nullptr);
    std::string deeper = "1 0 obj\n" + std::string(Parser::MaxNesting + 1, '[') + "\nendobj\n";
    EXPECT_EQ(FailureOf<PdfReaderException>(deeper), "Arrays or dictionaries are nested too deeply.");
    EXPECT_EQ(FailureOf<PdfReaderException>("1 0 obj\n" + std::string(100000, '<') + "\nendobj\n"),
              "Arrays or dictionaries are nested too deeply.");
}

struct ObjectFailure {
    std::string objects;
    std::string message;
};

TEST(ParserObjects, DamagedObjectsFailWithReaderMessages) {
    const std::vector<ObjectFailure> cases = {
        {"1 0 obj\n<< /A 1 2 >>\nendobj\n", "name expected"},
        {"1 0 obj\n<< /A >>\nendobj\n", "name expected"},
        {"1 0 obj\n[1 2\n", "Unexpected end of file."},
        {"1 0 obj\n(x) (y)\nendobj\n", "Unexpected token 'y' in PDF file."},
        {"1 0 obj\n[]\n", "Unexpected token 'xref' in PDF file."},
        {"1 0 obj\n<< /A 1 >> 2\nendobj\n", "Unexpected token '2' in PDF file."},
        {"2 0 obj\n1\nendobj\n1 0 obj\n1\nendobj\n", "The cross-reference table does not point at object 1 0."},
    };
    for (const auto &c : cases) {
        OneObject one(c.objects);
        if (c.message.starts_with("The cross")) {
            // Both objects filed, but object 1's entry moved onto object 2.
            one.file.document->ReferenceTable()[PdfObjectID(1)]->SetPosition(
                one.file.document->ReferenceTable()[PdfObjectID(2)]->Position());
        }
        try {
            one.Read();
            ADD_FAILURE() << c.objects;
        } catch (const PdfReaderException &error) {
            EXPECT_EQ(std::string(error.what()), c.message) << c.objects;
        }
    }
}

TEST(ParserObjects, UnsupportedObjectsFailAsNotImplemented) {
    const std::vector<ObjectFailure> cases = {
        {"1 0 obj\nfoo\nendobj\n", "Keyword"},
        {"1 0 obj\n]\nendobj\n", "unknown token \"EndArray\""},
        {"1 0 obj\n>>\nendobj\n", "unknown token \"EndDictionary\""},
        {"1 0 obj\nR\nendobj\n", "unknown token \"R\""},
        {"1 0 obj\n[ stream ]\nendobj\n", "The method or operation is not implemented."},
        {"1 0 obj\n<< /F (data.bin) /Length 0 >>\nstream\n\nendstream\nendobj\n",
         "File streams are not yet implemented."},
    };
    for (const auto &c : cases) EXPECT_EQ(FailureOf<NotImplementedException>(c.objects), c.message) << c.objects;
}

TEST(ParserObjects, IndirectLengthLeavesTheParserWhereItWas) {
    OneObject one("1 0 obj\n<< /Length 2 0 R /After 7 >>\nstream\r\nabc\r\nendstream\nendobj\n2 0 obj\n3\nendobj\n");
    auto *dictionary = dynamic_cast<PdfDictionary *>(one.Read());
    ASSERT_NE(dictionary->Stream(), nullptr);
    EXPECT_EQ(dictionary->Stream()->Length(), 3u);
    EXPECT_EQ(dictionary->Elements().GetInteger("/After"), 7);
    EXPECT_EQ(dynamic_cast<PdfIntegerObject *>(one.file.Object(2))->Value(), 3);
}

TEST(ParserObjects, ObjectNotListedCannotBeRead) {
    OneObject one("1 0 obj\n1\nendobj\n");
    try {
        one.Read(3);
        FAIL();
    } catch (const PdfReaderException &error) {
        EXPECT_STREQ(error.what(), "Object 3 0 is not in the cross-reference table.");
    }
}

}  // namespace
