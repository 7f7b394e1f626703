// Files our writer produces read back object by object with equal values:
// each object read is written again and must give the bytes of the
// original.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "pdf/io/parser.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_catalog.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_page.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_trailer.h"
#include "pdf/pdf_writer.h"
#include "pdf_text.h"
#include "support/test_output.h"

namespace {

using namespace ZavorPdf::Pdf;
using ZavorTest::ParsedFile;

std::string Written(const PdfItem &item) {
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes);
    item.WriteObject(writer);
    return std::string(bytes.begin(), bytes.end());
}

template <class T, class... Args>
PdfReference *AddIndirect(PdfDocument &document, Args &&...args) {
    return document.ReferenceTable().Add(std::make_unique<T>(std::forward<Args>(args)..., &document));
}

// A dictionary holding every kind of value the writer knows, with its
// awkward cases: escapes, bytes above 127, names with delimiters, the
// integer limits, deep nesting and a binary stream.
void AddEveryKindOfValue(PdfDocument &document) {
    auto extra = std::make_unique<PdfDictionary>(&document);
    DictionaryElements &e = extra->Elements();
    e.SetString("/Text", std::u16string(u"a(b)c\\x\n\r\t\b\f\u0001\u00FF ) (", 17));
    e.SetValue("/Unicode", std::make_unique<PdfString>(u"\u20ACuro \u00E4 \u4E2D", PdfStringEncoding::Unicode));
    e.SetValue("/Hex", std::make_unique<PdfString>(u"\u0000\u00FE\u00FFz", PdfStringFlags::HexLiteral));
    e.SetValue("/Empty", std::make_unique<PdfString>(u""));
    e.SetName("/Name", "/A B#C(D)/E<F>[G]{H}%I");
    e.SetReal("/Real", 1.0005);
    e.SetReal("/Small", -0.0001);
    e.SetInteger("/Min", -2147483647 - 1);
    e.SetValue("/Max", std::make_unique<PdfUInteger>(4294967295u));
    e.SetBoolean("/Yes", true);
    e.SetValue("/Nothing", std::make_unique<PdfNull>());
    auto nested = std::make_unique<PdfArray>(&document);
    auto inner = std::make_unique<PdfArray>(&document);
    inner->Elements().Add(std::make_unique<PdfInteger>(3));
    auto dictionary = std::make_unique<PdfDictionary>(&document);
    dictionary->Elements().SetName("/K", "/V");
    inner->Elements().Add(std::move(dictionary));
    nested->Elements().Add(std::move(inner));
    nested->Elements().Add(std::make_unique<PdfReal>(-2.5));
    e.SetValue("/Nested", std::move(nested));
    e.SetReference("/IntegerObject", AddIndirect<PdfIntegerObject>(document, 42));
    e.SetReference("/RealObject", AddIndirect<PdfRealObject>(document, 0.5));
    e.SetReference("/StringObject", AddIndirect<PdfStringObject>(document, PdfString(u"x) (y")));
    e.SetReference("/HexObject",
                   AddIndirect<PdfStringObject>(document, PdfString(u"\u00C4", PdfStringFlags::HexLiteral)));
    e.SetReference("/NameObject", AddIndirect<PdfNameObject>(document, std::string("/N#1")));
    e.SetReference("/BooleanObject", AddIndirect<PdfBooleanObject>(document, true));
    e.SetReference("/NullObject", AddIndirect<PdfNullObject>(document));
    auto arrayObject = std::make_unique<PdfArray>(&document);
    arrayObject->Elements().Add(std::make_unique<PdfName>("/Only"));
    e.SetReference("/ArrayObject", document.ReferenceTable().Add(std::move(arrayObject)));

    auto stream = std::make_unique<PdfDictionary>(&document);
    std::vector<std::uint8_t> data;
    for (int i = 0; i < 256; ++i) data.push_back(static_cast<std::uint8_t>(i));
    for (char c : std::string("\r\nendstream\nendobj\r")) data.push_back(static_cast<std::uint8_t>(c));
    stream->CreateStream(data);
    e.SetReference("/Stream", document.ReferenceTable().Add(std::move(stream)));

    document.Catalog().Elements().SetReference("/Extra", document.ReferenceTable().Add(std::move(extra)));
}

TEST(RoundTrip, SavedDocumentReadsBackObjectByObject) {
    PdfDocument document;
    document.AddPage();
    document.AddPage().SetRotate(90);
    AddEveryKindOfValue(document);
    std::vector<std::uint8_t> bytes;
    document.Save(bytes);
    std::ofstream(ZavorTest::OutputPath("io_round_trip.pdf"), std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    ParsedFile file(bytes);
    file.ReadAll();
    std::vector<PdfReference *> original = document.ReferenceTable().AllReferences();
    ASSERT_EQ(file.document->ReferenceTable().Count(), static_cast<int>(original.size()));
    for (PdfReference *reference : original) {
        PdfObject *read = file.Object(reference->ObjectNumber());
        ASSERT_NE(read, nullptr) << reference->ToString();
        EXPECT_EQ(Written(*read), Written(*reference->Value())) << reference->ToString();
    }
    EXPECT_EQ(Written(file.document->Trailer()), Written(document.Trailer()));

    auto *extra = dynamic_cast<PdfDictionary *>(
        file.document->Trailer().Elements().GetDictionary("/Root")->Elements().GetReference("/Extra")->Value());
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->Elements().GetName("/Name"), "/A B#C(D)/E<F>[G]{H}%I");
    EXPECT_EQ(extra->Elements().GetString("/Unicode"), u"\u20ACuro \u00E4 \u4E2D");
    auto *stream = dynamic_cast<PdfDictionary *>(extra->Elements().GetReference("/Stream")->Value());
    EXPECT_EQ(stream->Stream()->Length(), 256u + 19u);
}

}  // namespace
