// Typed getters and setters of dictionaries and arrays, their failure
// messages, insertion order, streams and cloning.
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/filters/filtering.h"
#include "pdf/filters/flate_decode.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_boolean.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_literal.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_null.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"
#include "pdf/pdf_writer.h"

namespace ZavorPdf::Pdf {
namespace {

template <class Exception, class Call>
std::string MessageOf(Call call) {
    try {
        call();
    } catch (const Exception &e) {
        return e.what();
    }
    return "(no exception)";
}

std::string Written(const PdfItem &item) {
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes);
    item.WriteObject(writer);
    return std::string(bytes.begin(), bytes.end());
}

std::unique_ptr<PdfArray> Numbers(std::initializer_list<double> values) {
    auto array = std::make_unique<PdfArray>();
    for (double v : values) array->Elements().Add(std::make_unique<PdfReal>(v));
    return array;
}

TEST(DictionaryElements, KeepInsertionOrderAndPosition) {
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    elements.SetInteger("/B", 1);
    elements.SetInteger("/A", 2);
    elements.SetInteger("/C", 3);
    elements.SetInteger("/B", 4);  // replacing keeps the place
    EXPECT_EQ(Written(dictionary), "<<\n/B 4\n/A 2\n/C 3\n>>\n");
    std::vector<std::string> keys;
    for (const PdfName &name : elements.KeyNames()) keys.push_back(name.Value());
    EXPECT_EQ(keys, (std::vector<std::string>{"/B", "/A", "/C"}));
    EXPECT_TRUE(elements.Remove("/A"));
    EXPECT_FALSE(elements.Remove("/A"));
    EXPECT_EQ(elements.Count(), 2);
    elements.Clear();
    EXPECT_EQ(elements.Count(), 0);
}

// Dictionaries of more than a handful of keys look them up through an
// index; replacing, removing, copying and moving around the size where it
// starts must keep the same order and values as a small one.
TEST(DictionaryElements, LargeDictionariesKeepOrderThroughEveryChange) {
    for (int size : {15, 16, 17, 40}) {
        SCOPED_TRACE(size);
        PdfDictionary dictionary;
        auto &elements = dictionary.Elements();
        std::string expected;
        for (int i = 0; i < size; ++i) elements.SetInteger("/K" + std::to_string(i), i);
        elements.SetInteger("/K3", 300);  // replaced in place
        EXPECT_TRUE(elements.Remove("/K0"));
        EXPECT_TRUE(elements.Remove("/K" + std::to_string(size - 1)));
        EXPECT_FALSE(elements.Remove("/K0"));
        elements.SetInteger("/K0", -1);  // back, now at the end
        for (int i = 1; i < size - 1; ++i)
            expected += "/K" + std::to_string(i) + " " + std::to_string(i == 3 ? 300 : i) + "\n";
        expected = "<<\n" + expected + "/K0 -1\n>>\n";
        EXPECT_EQ(Written(dictionary), expected);
        for (int i = 1; i < size - 1; ++i) ASSERT_EQ(elements.GetInteger("/K" + std::to_string(i)), i == 3 ? 300 : i);
        EXPECT_EQ(elements.GetInteger("/K0"), -1);
        EXPECT_FALSE(elements.ContainsKey("/K" + std::to_string(size - 1)));

        PdfDictionary copy(dictionary);
        copy.Elements().SetInteger("/K5", 55);
        EXPECT_EQ(copy.Elements().GetInteger("/K5"), 55);
        EXPECT_EQ(elements.GetInteger("/K5"), 5);
        PdfDictionary moved(std::move(copy));
        EXPECT_EQ(moved.Elements().GetInteger("/K0"), -1);
        EXPECT_EQ(moved.Elements().Count(), size - 1);
        elements.Clear();
        elements.SetInteger("/K4", 4);
        EXPECT_EQ(elements.Count(), 1);
        EXPECT_FALSE(elements.ContainsKey("/K5"));
    }
}

TEST(DictionaryElements, KeysMustStartWithSlash) {
    PdfDictionary dictionary;
    EXPECT_EQ(MessageOf<ArgumentException>([&] { dictionary.Elements().SetInteger("Length", 1); }),
              "The key must start with a slash '/'.");
    EXPECT_EQ(MessageOf<ArgumentException>([&] { dictionary.Elements().SetInteger("", 1); }),
              "The key must start with a slash '/'.");
}

TEST(DictionaryElements, MissingKeysGiveNeutralValues) {
    PdfDictionary dictionary;
    const auto &elements = dictionary.Elements();
    EXPECT_FALSE(elements.GetBoolean("/X"));
    EXPECT_EQ(elements.GetInteger("/X"), 0);
    EXPECT_EQ(elements.GetReal("/X"), 0.0);
    EXPECT_EQ(elements.GetString("/X"), u"");
    EXPECT_EQ(elements.GetName("/X"), "");
    EXPECT_TRUE(elements.GetRectangle("/X").IsEmpty());
    EXPECT_EQ(elements.GetMatrix("/X"), IdentityMatrix);
    LocalDateTime fallback{1999, 12, 31, 23, 59, 58, 0};
    EXPECT_EQ(elements.GetDateTime("/X", fallback), fallback);
    EXPECT_EQ(elements.Count(), 0);
}

TEST(DictionaryElements, CreateStoresTheNeutralValue) {
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    elements.GetBoolean("/B", true);
    elements.GetInteger("/I", true);
    elements.GetReal("/R", true);
    elements.GetString("/S", true);
    elements.GetRectangle("/Box", true);
    elements.GetMatrix("/M", true);
    elements.GetInteger("/NotCreated", false);
    EXPECT_EQ(Written(dictionary), "<<\n/B false\n/I 0\n/R 0\n/S()\n/Box[0 0 0 0]\n/M [1 0 0 1 0 0]\n>>\n");
}

TEST(DictionaryElements, GettersLookThroughReferencesAndTwins) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    PdfDictionary dictionary(&document);
    auto &elements = dictionary.Elements();
    elements.SetReference("/B", table.Add(std::make_unique<PdfBooleanObject>(true)));
    elements.SetReference("/I", table.Add(std::make_unique<PdfIntegerObject>(-7)));
    elements.SetReference("/U", table.Add(std::make_unique<PdfUIntegerObject>(9u)));
    elements.SetReference("/R", table.Add(std::make_unique<PdfRealObject>(1.5)));
    elements.SetReference("/S", table.Add(std::make_unique<PdfStringObject>(PdfString(u"txt"))));
    elements.SetReference("/N", table.Add(std::make_unique<PdfNameObject>("/Name")));
    elements.SetValue("/Int", std::make_unique<PdfInteger>(3));
    elements.SetValue("/DirectName", std::make_unique<PdfName>("/Direct"));
    elements.SetValue("/Null", std::make_unique<PdfNull>());

    EXPECT_TRUE(elements.GetBoolean("/B"));
    EXPECT_EQ(elements.GetInteger("/I"), -7);
    EXPECT_EQ(elements.GetInteger("/U"), 9);
    EXPECT_EQ(elements.GetReal("/R"), 1.5);
    EXPECT_EQ(elements.GetReal("/I"), -7.0);    // integers are numbers
    EXPECT_EQ(elements.GetReal("/Int"), 3.0);
    EXPECT_EQ(elements.GetString("/S"), u"txt");
    EXPECT_EQ(elements.GetString("/DirectName"), u"/Direct");  // names read as strings keep their slash
    EXPECT_EQ(elements.GetName("/N"), "/Name");
    EXPECT_EQ(elements.GetInteger("/Null"), 0);  // PDF null reads as absent
    EXPECT_EQ(elements.GetIndirectObject("/I"), elements.GetReference("/I")->Value());
    EXPECT_EQ(elements.GetIndirectObject("/Int"), nullptr);
}

TEST(DictionaryElements, WrongKindsFailWithTheirMessages) {
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    elements.SetName("/Name", "X");
    elements.SetInteger("/Int", 1);
    elements.SetValue("/Array", std::make_unique<PdfArray>());
    elements.SetValue("/Literal", std::make_unique<PdfLiteral>("[1 0 0 1 0 0]"));
    elements.SetValue("/Five", Numbers({1, 2, 3, 4, 5}));

    struct Case {
        std::function<void()> call;
        const char *message;
    };
    const Case cases[] = {
        {[&] { elements.GetBoolean("/Int"); }, "GetBoolean: Object is not a boolean."},
        {[&] { elements.GetInteger("/Name"); }, "GetInteger: Object is not an integer."},
        {[&] { elements.GetInteger("/Array"); }, "GetInteger: Object is not an integer."},
        {[&] { elements.GetReal("/Name"); }, "GetReal: Object is not a number."},
        {[&] { elements.GetString("/Int"); }, "GetString: Object is not a string."},
        {[&] { elements.GetName("/Int"); }, "GetName: Object is not a name."},
        {[&] { elements.GetMatrix("/Five"); }, "Element is not an array with 6 values."},
        {[&] { elements.GetMatrix("/Int"); }, "Element is not an array with 6 values."},
        {[&] { elements.GetRectangle("/Five"); }, "GetRectangle: Object is not a rectangle."},
        {[&] { elements.GetDateTime("/Int", LocalDateTime{}); }, "GetString: Object is not a string."},
    };
    for (const auto &c : cases) EXPECT_EQ(MessageOf<InvalidCastException>(c.call), c.message);
    EXPECT_EQ(MessageOf<NotImplementedException>([&] { elements.GetMatrix("/Literal"); }),
              "Parsing matrix from literal.");
}

TEST(DictionaryElements, RectangleFromFourNumbersReplacesTheArray) {
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    elements.SetValue("/MediaBox", Numbers({0, 0, 595, 842}));
    EXPECT_EQ(elements.GetRectangle("/MediaBox"), PdfRectangle(0, 0, 595, 842));
    EXPECT_NE(dynamic_cast<PdfArray *>(elements["/MediaBox"]), nullptr);  // const read leaves it
    EXPECT_EQ(elements.GetRectangle("/MediaBox", false), PdfRectangle(0, 0, 595, 842));
    EXPECT_NE(dynamic_cast<PdfRectangle *>(elements["/MediaBox"]), nullptr);
    elements.SetRectangle("/CropBox", PdfRectangle(1.5, 2, 3, 4.25));
    EXPECT_EQ(elements.GetRectangle("/CropBox"), PdfRectangle(1.5, 2, 3, 4.25));
}

TEST(DictionaryElements, MatrixAndDateRoundTrip) {
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    PdfMatrix matrix{2, 0, 0, 0.5, 10.25, -3};
    elements.SetMatrix("/Matrix", matrix);
    EXPECT_EQ(elements.GetMatrix("/Matrix"), matrix);

    LocalDateTime date{2024, 1, 31, 12, 0, 0, 60};
    elements.SetDateTime("/CreationDate", date);
    EXPECT_EQ(elements.GetDateTime("/CreationDate", LocalDateTime{}), date);
    elements.SetValue("/ModDate", std::make_unique<PdfString>(u"D:20230102030405-05'30'"));
    EXPECT_EQ(elements.GetDateTime("/ModDate", LocalDateTime{}), (LocalDateTime{2023, 1, 2, 3, 4, 5, -330}));
    elements.SetString("/Bad", u"not a date");
    LocalDateTime fallback{2000, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(elements.GetDateTime("/Bad", fallback), fallback);
}

enum class PageLayout { SinglePage, OneColumn, TwoColumnLeft };
constexpr EnumName<PageLayout> LayoutNames[] = {
    {PageLayout::SinglePage, "SinglePage"},
    {PageLayout::OneColumn, "OneColumn"},
    {PageLayout::TwoColumnLeft, "TwoColumnLeft"},
};

TEST(DictionaryElements, EnumsAsNames) {
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    std::span<const EnumName<PageLayout>> names(LayoutNames);
    elements.SetEnumAsName("/PageLayout", PageLayout::TwoColumnLeft, names);
    EXPECT_EQ(elements.GetName("/PageLayout"), "/TwoColumnLeft");
    EXPECT_EQ(elements.GetEnumFromName("/PageLayout", PageLayout::SinglePage, names), PageLayout::TwoColumnLeft);
    EXPECT_EQ(elements.GetEnumFromName("/Missing", PageLayout::OneColumn, names), PageLayout::OneColumn);
    elements.SetName("/PageLayout", "Unknown");
    EXPECT_EQ(elements.GetEnumFromName("/PageLayout", PageLayout::OneColumn, names), PageLayout::OneColumn);
}

TEST(DictionaryElements, DirectAndIndirectObjectsGoThroughTheirSetters) {
    PdfDocument document(DocumentSetup::Empty);
    PdfReference *reference = document.ReferenceTable().Add(std::make_unique<PdfDictionary>());
    PdfDictionary dictionary(&document);
    auto &elements = dictionary.Elements();

    EXPECT_EQ(MessageOf<ArgumentException>([&] { elements.SetReference("/P", PdfDictionary()); }),
              "PdfObject must be an indirect object.");
    EXPECT_EQ(MessageOf<ArgumentException>([&] { elements.SetObject("/P", nullptr); }),
              "Value cannot be null. (Parameter 'obj')");
    elements.SetReference("/P", *reference->Value());
    EXPECT_EQ(elements.GetReference("/P"), reference);
    EXPECT_EQ(elements.GetDictionary("/P"), reference->Value());
    elements.SetName("/Name", "NoSlash");
    EXPECT_EQ(elements.GetName("/Name"), "/NoSlash");
}

TEST(ArrayElements, TypedAccessByIndex) {
    PdfDocument document(DocumentSetup::Empty);
    PdfArray array(&document);
    auto &elements = array.Elements();
    elements.Add(std::make_unique<PdfInteger>(5));
    elements.Add(std::make_unique<PdfReal>(2.5));
    elements.Add(std::make_unique<PdfString>(u"s"));
    elements.Add(std::make_unique<PdfName>("/N"));
    elements.AddReference(document.ReferenceTable().Add(std::make_unique<PdfBooleanObject>(true)));
    elements.Insert(0, std::make_unique<PdfNull>());

    EXPECT_EQ(elements.Count(), 6);
    EXPECT_EQ(elements.GetInteger(1), 5);
    EXPECT_EQ(elements.GetReal(2), 2.5);
    EXPECT_EQ(elements.GetString(3), u"s");
    EXPECT_EQ(elements.GetName(4), "/N");
    EXPECT_TRUE(elements.GetBoolean(5));
    EXPECT_NE(elements.GetReference(5), nullptr);
    EXPECT_EQ(elements.GetDictionary(1), nullptr);

    EXPECT_EQ(MessageOf<InvalidCastException>([&] { elements.GetInteger(2); }), "GetInteger: Object is not an integer.");
    EXPECT_EQ(MessageOf<InvalidCastException>([&] { elements.GetString(1); }), "GetString: Object is not a string.");
    EXPECT_EQ(MessageOf<InvalidCastException>([&] { elements.GetName(3); }), "GetName: Object is not a name.");
    EXPECT_THROW(elements.GetInteger(6), ArgumentOutOfRangeException);
    EXPECT_THROW(elements.GetInteger(-1), ArgumentOutOfRangeException);
    elements.RemoveAt(0);
    EXPECT_EQ(elements.GetInteger(0), 5);
    EXPECT_EQ(Written(array), "[5 2.5(s)/N 1 0 R]");
}

TEST(DictionaryStream, CreateSetsLengthAndRefusesASecond) {
    PdfDictionary dictionary;
    auto &stream = dictionary.CreateStream({1, 2, 3});
    EXPECT_EQ(dictionary.Elements().GetInteger("/Length"), 3);
    EXPECT_EQ(stream.Owner(), &dictionary);
    stream.SetValue(std::vector<std::uint8_t>(10, 'x'));
    EXPECT_EQ(dictionary.Elements().GetInteger("/Length"), 10);
    EXPECT_EQ(MessageOf<InvalidOperationException>([&] { dictionary.CreateStream({}); }),
              "The dictionary already has a stream.");
}

TEST(DictionaryStream, ZipAndUnfilterRoundTrip) {
    PdfDictionary dictionary;
    std::string text(2000, 'a');
    std::vector<std::uint8_t> plain(text.begin(), text.end());
    auto &stream = dictionary.CreateStream(plain);
    stream.Zip();
    EXPECT_EQ(dictionary.Elements().GetName("/Filter"), "/FlateDecode");
    EXPECT_LT(stream.Length(), plain.size());
    EXPECT_EQ(dictionary.Elements().GetInteger("/Length"), static_cast<int>(stream.Length()));
    std::vector<std::uint8_t> zipped = stream.Value();
    stream.Zip();  // already filtered: nothing happens
    EXPECT_EQ(stream.Value(), zipped);

    EXPECT_EQ(stream.UnfilteredValue(), plain);
    EXPECT_TRUE(stream.TryUnfilter());
    EXPECT_FALSE(dictionary.Elements().ContainsKey("/Filter"));
    EXPECT_EQ(stream.Value(), plain);
    EXPECT_EQ(dictionary.Elements().GetInteger("/Length"), 2000);
    EXPECT_TRUE(stream.TryUnfilter());  // no filter: nothing to do
}

// Two rows of three bytes, the second stored as its difference to the
// first (PNG "Up"), then deflated; parameters direct, in an array, or out
// of range (undecodable).
TEST(DictionaryStream, PredictorIsUndoneAfterTheFilter) {
    const std::vector<std::uint8_t> plain{10, 20, 30, 15, 25, 35};
    const std::vector<std::uint8_t> rows{2, 10, 20, 30, 2, 5, 5, 5};
    auto parms = [](int columns) {
        auto dictionary = std::make_unique<PdfDictionary>();
        dictionary->Elements().SetInteger("/Predictor", 12);
        dictionary->Elements().SetInteger("/Columns", columns);
        return dictionary;
    };
    for (int form = 0; form < 3; ++form) {
        PdfDictionary dictionary;
        auto &stream = dictionary.CreateStream(Filters::Filtering::FlateDecode().Encode(rows));
        dictionary.Elements().SetName("/Filter", "/FlateDecode");
        if (form == 1) {
            auto array = std::make_unique<PdfArray>();
            array->Elements().Add(parms(3));
            dictionary.Elements().SetValue("/DecodeParms", std::move(array));
        } else {
            dictionary.Elements().SetValue("/DecodeParms", parms(form == 0 ? 3 : 0));
        }
        std::vector<std::uint8_t> value = stream.UnfilteredValue();
        if (form == 2) {
            EXPECT_EQ(std::string(value.begin(), value.end()), "\xAB" "Cannot decode filter '/FlateDecode'\xBB");
            EXPECT_FALSE(stream.TryUnfilter());
            continue;
        }
        EXPECT_EQ(value, plain) << form;
        EXPECT_TRUE(stream.TryUnfilter());
        EXPECT_EQ(stream.Value(), plain);
        EXPECT_FALSE(dictionary.Elements().ContainsKey("/DecodeParms"));
    }
}

TEST(DictionaryStream, UndecodableFilterNamesItself) {
    struct Case {
        const char *filter;
        const char *text;
    };
    for (const Case &c : {Case{"/DCTDecode", "\xAB" "Cannot decode filter '/DCTDecode'\xBB"},
                          Case{"/NoSuchFilter", "\xAB" "Cannot decode filter '/NoSuchFilter'\xBB"},
                          Case{"/FlateDecode", "\xAB" "Cannot decode filter '/FlateDecode'\xBB"}}) {
        PdfDictionary dictionary;
        auto &stream = dictionary.CreateStream({0xFF, 0xD8});
        dictionary.Elements().SetName("/Filter", c.filter);
        std::vector<std::uint8_t> value = stream.UnfilteredValue();
        EXPECT_EQ(std::string(value.begin(), value.end()), c.text);
        EXPECT_FALSE(stream.TryUnfilter());
        EXPECT_EQ(stream.Value(), (std::vector<std::uint8_t>{0xFF, 0xD8}));
        EXPECT_TRUE(dictionary.Elements().ContainsKey("/Filter"));
    }
}

TEST(DictionaryClone, CopiesDirectObjectsAndSharesReferences) {
    PdfDocument document(DocumentSetup::Empty);
    PdfReference *shared = document.ReferenceTable().Add(std::make_unique<PdfDictionary>());
    PdfDictionary original(&document);
    original.Elements().SetReference("/Shared", shared);
    auto inner = std::make_unique<PdfDictionary>();
    inner->Elements().SetInteger("/N", 1);
    original.Elements().SetValue("/Inner", std::move(inner));
    original.CreateStream({9, 8, 7});

    auto copy = std::unique_ptr<PdfDictionary>(static_cast<PdfDictionary *>(original.Clone().release()));
    EXPECT_FALSE(copy->IsIndirect());
    EXPECT_EQ(copy->Owner(), &document);
    EXPECT_EQ(copy->Elements().GetReference("/Shared"), shared);
    EXPECT_NE(copy->Elements().GetDictionary("/Inner"), original.Elements().GetDictionary("/Inner"));
    copy->Elements().GetDictionary("/Inner")->Elements().SetInteger("/N", 2);
    EXPECT_EQ(original.Elements().GetDictionary("/Inner")->Elements().GetInteger("/N"), 1);
    ASSERT_NE(copy->Stream(), nullptr);
    EXPECT_EQ(copy->Stream()->Owner(), copy.get());
    EXPECT_EQ(copy->Stream()->Value(), (std::vector<std::uint8_t>{9, 8, 7}));
}

TEST(PdfObjectOwner, CanBeSetOnceOnly) {
    PdfDocument first(DocumentSetup::Empty), second(DocumentSetup::Empty);
    PdfDictionary dictionary;
    dictionary.SetOwner(&first);
    dictionary.SetOwner(&first);
    EXPECT_EQ(MessageOf<InvalidOperationException>([&] { dictionary.SetOwner(&second); }),
              "Cannot change document.");
    EXPECT_EQ(MessageOf<InvalidOperationException>(
                  [&] { second.ReferenceTable().Add(std::make_unique<PdfDictionary>(&first)); }),
              "Cannot change document.");
}

}  // namespace
}  // namespace ZavorPdf::Pdf
