// GetValue: creating missing values from the key metadata and converting
// generic dictionaries and arrays in place into their typed classes.
#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/key_descriptor.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_string.h"

namespace ZavorPdf::Pdf {
namespace {

// Typed classes as the document layer derives them.
class TestWidths : public PdfArray {
public:
    explicit TestWidths(PdfDocument *document) : PdfArray(document) {}
    explicit TestWidths(PdfArray &&generic) : PdfArray(std::move(generic)) {}
};

class TestResources : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Font = "/Font";
        static const DictionaryMeta &Meta() {
            static const DictionaryMeta meta({KeyDescriptor(Font, KeyType::Dictionary | KeyType::Optional)});
            return meta;
        }
    };
    explicit TestResources(PdfDocument *document) : PdfDictionary(document) {}
    explicit TestResources(PdfDictionary &&generic) : PdfDictionary(std::move(generic)) {}
    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
};

class TestPage : public PdfDictionary {
public:
    struct Keys : KeysBase {
        static constexpr const char *Type = "/Type";
        static constexpr const char *Resources = "/Resources";
        static constexpr const char *Widths = "/Widths";
        static constexpr const char *Title = "/Title";
        static constexpr const char *Annots = "/Annots";
        static const DictionaryMeta &Meta() {
            static const DictionaryMeta meta({
                KeyDescriptor(Type, KeyType::Name | KeyType::Required),
                TypedKey<TestResources>(Resources, KeyType::Dictionary | KeyType::Inheritable),
                TypedKey<TestWidths>(Widths, KeyType::Array | KeyType::MustBeIndirect),
                TypedKey<PdfString>(Title, KeyType::TextString),
                KeyDescriptor(Annots, KeyType::Array | KeyType::Optional),
            });
            return meta;
        }
    };
    explicit TestPage(PdfDocument *document) : PdfDictionary(document) {}
    explicit TestPage(PdfDictionary &&generic) : PdfDictionary(std::move(generic)) {}
    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
};

// A derived class inherits its base's keys.
class TestSpecialPage : public TestPage {
public:
    struct Keys : TestPage::Keys {
        static constexpr const char *Extra = "/Extra";
        static const DictionaryMeta &Meta() {
            static const DictionaryMeta meta({KeyDescriptor(Extra, KeyType::Dictionary)}, &TestPage::Keys::Meta());
            return meta;
        }
    };
    using TestPage::TestPage;
    const DictionaryMeta *Meta() const override { return &Keys::Meta(); }
};

template <class Call>
std::string InvalidOperationMessage(Call call) {
    try {
        call();
    } catch (const InvalidOperationException &e) {
        return e.what();
    }
    return "(no exception)";
}

TEST(GetValue, ConvertsAnIndirectGenericDictionaryKeepingEveryReference) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    auto generic = std::make_unique<PdfDictionary>();
    generic->Elements().SetName("/ProcSet", "/PDF");
    generic->CreateStream({1, 2});
    PdfReference *reference = table.Add(std::move(generic));

    TestPage page(&document);
    page.Elements().SetReference(TestPage::Keys::Resources, reference);
    PdfDictionary other(&document);
    other.Elements().SetReference("/Res", reference);

    auto *resources = page.Elements().GetValue<TestResources>(TestPage::Keys::Resources);
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(reference->Value(), resources);
    EXPECT_EQ(resources->Reference(), reference);
    EXPECT_EQ(resources->ObjectID(), PdfObjectID(1, 0));
    EXPECT_EQ(table[PdfObjectID(1, 0)]->Value(), resources);
    EXPECT_EQ(other.Elements().GetDictionary("/Res"), resources);
    EXPECT_EQ(resources->Elements().GetName("/ProcSet"), "/PDF");
    ASSERT_NE(resources->Stream(), nullptr);
    EXPECT_EQ(resources->Stream()->Owner(), resources);
    resources->Stream()->SetValue({1, 2, 3});
    EXPECT_EQ(resources->Elements().GetInteger("/Length"), 3);
    // A second read finds the typed object as it is.
    EXPECT_EQ(page.Elements().GetValue(TestPage::Keys::Resources), resources);
}

TEST(GetValue, ConvertsDirectDictionariesAndArraysInTheirSlot) {
    PdfDocument document(DocumentSetup::Empty);
    TestPage page(&document);
    auto generic = std::make_unique<PdfDictionary>(&document);
    generic->Elements().SetInteger("/N", 5);
    page.Elements().SetValue(TestPage::Keys::Resources, std::move(generic));
    auto widths = std::make_unique<PdfArray>(&document);
    widths->Elements().Add(std::make_unique<PdfInteger>(250));
    page.Elements().SetValue(TestPage::Keys::Widths, std::move(widths));

    auto *resources = page.Elements().GetValue<TestResources>(TestPage::Keys::Resources);
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(resources->Elements().GetInteger("/N"), 5);
    EXPECT_EQ(page.Elements()[TestPage::Keys::Resources], resources);
    auto *array = page.Elements().GetValue<TestWidths>(TestPage::Keys::Widths);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->Elements().GetInteger(0), 250);
}

TEST(GetValue, CreatesMissingValuesDirectOrIndirect) {
    PdfDocument document(DocumentSetup::Empty);
    TestSpecialPage page(&document);
    EXPECT_EQ(page.Elements().GetValue(TestPage::Keys::Resources), nullptr);
    EXPECT_EQ(page.Elements().Count(), 0);

    auto *resources = page.Elements().GetValue<TestResources>(TestPage::Keys::Resources, VCF::Create);
    ASSERT_NE(resources, nullptr);
    EXPECT_FALSE(resources->IsIndirect());
    EXPECT_EQ(resources->Owner(), &document);

    auto *widths = page.Elements().GetValue<TestWidths>(TestPage::Keys::Widths, VCF::CreateIndirect);
    ASSERT_NE(widths, nullptr);
    EXPECT_TRUE(widths->IsIndirect());
    EXPECT_EQ(page.Elements().GetReference(TestPage::Keys::Widths), widths->Reference());
    EXPECT_EQ(document.ReferenceTable().Count(), 1);

    // Keys without a class of their own: plain dictionaries and arrays.
    EXPECT_NE(page.Elements().GetValue<PdfArray>(TestPage::Keys::Annots, VCF::Create), nullptr);
    EXPECT_NE(page.Elements().GetValue<PdfDictionary>(TestSpecialPage::Keys::Extra, VCF::Create), nullptr);
}

TEST(GetValue, FailuresNameTheirCause) {
    PdfDocument document(DocumentSetup::Empty);
    TestPage page(&document);
    EXPECT_EQ(InvalidOperationMessage([&] { page.Elements().GetValue("/Unknown", VCF::Create); }),
              "Cannot create value for key: /Unknown");
    EXPECT_EQ(InvalidOperationMessage([&] { page.Elements().GetValue(TestPage::Keys::Title, VCF::Create); }),
              "Type other than array or dictionary.");
    EXPECT_EQ(InvalidOperationMessage([&] { page.Elements().GetValue(TestPage::Keys::Type, VCF::Create); }),
              "Type other than array or dictionary.");

    PdfReference *pending = document.ReferenceTable().GetOrCreateReference(PdfObjectID(40, 0));
    page.Elements().SetReference(TestPage::Keys::Resources, pending);
    EXPECT_EQ(InvalidOperationMessage([&] { page.Elements().GetValue(TestPage::Keys::Resources); }),
              "Indirect reference without value.");

    PdfDictionary plain(&document);
    EXPECT_EQ(InvalidOperationMessage([&] { plain.Elements().GetValue("/Any", VCF::Create); }),
              "Cannot create value for key: /Any");
}

TEST(GetValue, AnotherTypedClassIsLeftAlone) {
    PdfDocument document(DocumentSetup::Empty);
    TestPage page(&document);
    page.Elements().SetValue(TestPage::Keys::Resources, std::make_unique<TestPage>(&document));
    EXPECT_NE(dynamic_cast<TestPage *>(page.Elements().GetValue(TestPage::Keys::Resources)), nullptr);
}

TEST(GetValue, ConvertedObjectIsWrittenAndCompactedAsBefore) {
    PdfDocument document(DocumentSetup::Empty);
    auto &table = document.ReferenceTable();
    PdfReference *pageRef = table.Add(std::make_unique<TestPage>(&document));
    PdfReference *resRef = table.Add(std::make_unique<PdfDictionary>());
    auto *page = static_cast<TestPage *>(pageRef->Value());
    page->Elements().SetReference(TestPage::Keys::Resources, resRef);
    static_cast<PdfDictionary *>(resRef->Value())->Elements().SetReference("/Back", pageRef);

    auto *resources = page->Elements().GetValue<TestResources>(TestPage::Keys::Resources);
    ASSERT_NE(resources, nullptr);
    PdfDictionary trailer(&document);
    trailer.Elements().SetReference("/Root", pageRef);
    EXPECT_EQ(table.Compact(trailer), 0);
    EXPECT_EQ(resRef->Value(), resources);
    EXPECT_EQ(resources->Elements().GetReference("/Back"), pageRef);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
