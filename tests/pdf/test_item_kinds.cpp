// The quick paths of the object model and writer: kind checks that stand in
// for casts, slots of one word, integers updated in place, reals formatted
// without the heap and names written without a copy. Each must give what the
// slow path gave.
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pdf/errors.h"
#include "pdf/pdf_array.h"
#include "pdf/pdf_content.h"
#include "pdf/pdf_dictionary.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_encoders.h"
#include "pdf/pdf_indirect_values.h"
#include "pdf/pdf_item_slot.h"
#include "pdf/pdf_name.h"
#include "pdf/pdf_number.h"
#include "pdf/pdf_number_format.h"
#include "pdf/pdf_reference.h"
#include "pdf/pdf_writer.h"
#include "platform/code_page.h"

namespace ZavorPdf::Pdf {
namespace {

struct KindCase {
    const char *name;
    std::unique_ptr<PdfItem> item;
    bool object, dictionary, array;
};

TEST(ItemKinds, EveryClassAnswersItsOwnKindAndClonesKeepIt) {
    std::vector<KindCase> cases;
    cases.push_back({"integer", std::make_unique<PdfInteger>(3), false, false, false});
    cases.push_back({"name", std::make_unique<PdfName>("/A"), false, false, false});
    cases.push_back({"indirect integer", std::make_unique<PdfIntegerObject>(3), true, false, false});
    cases.push_back({"null object", std::make_unique<PdfNullObject>(), true, false, false});
    cases.push_back({"dictionary", std::make_unique<PdfDictionary>(), true, true, false});
    cases.push_back({"content stream", std::make_unique<PdfContent>(), true, true, false});
    cases.push_back({"array", std::make_unique<PdfArray>(), true, false, true});
    for (const auto &c : cases) {
        for (const PdfItem *item : {c.item.get(), c.item->Clone().release()}) {
            EXPECT_FALSE(item->IsReference()) << c.name;
            EXPECT_EQ(item->IsObject(), c.object) << c.name;
            EXPECT_EQ(item->IsDictionary(), c.dictionary) << c.name;
            EXPECT_EQ(item->IsArray(), c.array) << c.name;
            EXPECT_EQ(item->IsContainer(), c.dictionary || c.array) << c.name;
            if (item != c.item.get()) delete item;
        }
    }
    PdfDocument document(DocumentSetup::Empty);
    PdfReference *reference = document.ReferenceTable().Add(std::make_unique<PdfArray>());
    EXPECT_TRUE(reference->IsReference());
    EXPECT_FALSE(reference->IsObject());
    EXPECT_FALSE(reference->IsContainer());
    EXPECT_TRUE(reference->Value()->IsArray());
}

// Counts its living instances, so that a test sees which slot frees what.
class CountedItem final : public PdfItem {
public:
    explicit CountedItem(int &alive) : alive_(&alive) { ++*alive_; }
    CountedItem(const CountedItem &other) : PdfItem(other), alive_(other.alive_) { ++*alive_; }
    ~CountedItem() override { --*alive_; }
    std::unique_ptr<PdfItem> Clone() const override { return std::make_unique<CountedItem>(*this); }
    void WriteObject(IO::PdfWriter &) const override {}
    std::string ToString() const override { return "counted"; }

private:
    int *alive_;
};

TEST(ItemSlots, OneWordHoldsAnOwnedItemOrASharedReference) {
    // Every entry of every dictionary and array has a slot.
    EXPECT_EQ(sizeof(PdfItemSlot), sizeof(void *));
    int alive = 0;
    PdfDocument document(DocumentSetup::Empty);
    PdfReference *reference = document.ReferenceTable().Add(std::make_unique<PdfArray>());
    {
        auto item = std::make_unique<CountedItem>(alive);
        const PdfItem *raw = item.get();
        PdfItemSlot owned(std::move(item));
        EXPECT_EQ(owned.Get(), raw);
        EXPECT_FALSE(owned.IsReference());
        EXPECT_EQ(owned.Reference(), nullptr);

        PdfItemSlot shared(reference);
        EXPECT_EQ(shared.Get(), reference);
        EXPECT_TRUE(shared.IsReference());
        EXPECT_EQ(shared.Reference(), reference);

        PdfItemSlot copy = owned.Clone();
        EXPECT_NE(copy.Get(), raw);
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(shared.Clone().Reference(), reference);

        PdfItemSlot moved(std::move(owned));
        EXPECT_EQ(moved.Get(), raw);
        EXPECT_EQ(owned.Get(), nullptr);  // NOLINT(bugprone-use-after-move): moved-from slots are empty
        moved = std::move(copy);          // frees the item it held
        EXPECT_EQ(alive, 1);
        moved.ReplaceOwned(std::make_unique<CountedItem>(alive));
        EXPECT_EQ(alive, 1);
        moved = std::move(shared);
        EXPECT_EQ(alive, 0);
        EXPECT_EQ(moved.Reference(), reference);
    }
    // The table still owns the reference and its object.
    EXPECT_TRUE(reference->Value()->IsArray());
    EXPECT_EQ(alive, 0);
}

// A line of text goes straight into its literal when it can; whenever it
// does, the bytes are those of the code page conversion and the escaping.
TEST(PlainLiterals, OnePassGivesTheLiteralOfTheConvertedBytesOrNothing) {
    using Internal::PdfEncoders;
    auto slow = [](std::u16string_view text) {
        std::string out = "[";
        PdfEncoders::AppendString(out, ZavorPlatform::UnicodeToWindows1252(text), Internal::StringForm::Literal);
        return out;
    };
    int plain = 0;
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        const std::u16string text = u"ab" + std::u16string(1, static_cast<char16_t>(unit)) + u"c";
        std::string out = "[";
        if (PdfEncoders::TryAppendPlainLiteral(out, text)) {
            ++plain;
            EXPECT_EQ(out, slow(text)) << static_cast<int>(unit);
        } else {
            EXPECT_EQ(out, "[") << static_cast<int>(unit);
        }
    }
    // ASCII and Latin-1 but the seven bytes with an escape.
    EXPECT_EQ(plain, 0x80 + 0x60 - 7);
    std::string out;
    EXPECT_TRUE(PdfEncoders::TryAppendPlainLiteral(out, u""));
    EXPECT_TRUE(PdfEncoders::TryAppendPlainLiteral(out, u"Gr\u00fc\u00dfe"));
    EXPECT_FALSE(PdfEncoders::TryAppendPlainLiteral(out, u"\u20ac"));
    EXPECT_EQ(out, "()(Gr\xFC\xDF" "e)");
}

TEST(DictionaryIntegers, SetIntegerUpdatesADirectIntegerAndReplacesEverythingElse) {
    PdfDocument document(DocumentSetup::Empty);
    PdfReference *reference = document.ReferenceTable().Add(std::make_unique<PdfIntegerObject>(7));
    PdfDictionary dictionary;
    auto &elements = dictionary.Elements();
    elements.SetInteger("/Length", 10);
    PdfItem *stored = elements["/Length"];
    elements.SetInteger("/Length", 2048);
    EXPECT_EQ(elements["/Length"], stored);
    EXPECT_EQ(elements.GetInteger("/Length"), 2048);

    elements.SetReal("/Width", 1.5);
    elements.SetInteger("/Width", 4);
    EXPECT_NE(dynamic_cast<PdfInteger *>(elements["/Width"]), nullptr);

    // A reference is replaced, and the shared object keeps its own value.
    elements.SetReference("/Count", reference);
    elements.SetInteger("/Count", 3);
    EXPECT_FALSE(elements["/Count"]->IsReference());
    EXPECT_EQ(elements.GetInteger("/Count"), 3);
    EXPECT_EQ(static_cast<PdfIntegerObject *>(reference->Value())->Value(), 7);

    EXPECT_THROW(elements.SetInteger("Length", 1), ArgumentException);
    EXPECT_EQ(elements.Count(), 3);
}

struct RealCase {
    double value;
    int decimals;
    const char *text;
};

TEST(WriterNumbers, RealsRoundCarryAndClampTheirDecimals) {
    const RealCase cases[] = {
        {9.9995, 3, "10"},
        {-999.9996, 3, "-1000"},
        {0.99999, 3, "1"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {-0.4, 0, "0"},
        {0.123456789, 9, "0.123456789"},
        {0.0000000005, 9, "0.000000001"},
        {1.23456789012, 12, "1.23456789"},
        {1.5, -2, "2"},
        {5e-324, 9, "0"},
        {123456789012.5, 3, "123456789012.5"},
        {841.8898, 3, "841.89"},
        {-72.0004, 3, "-72"},
        // Whole numbers, on either side of the 15 digits kept.
        {-277, 3, "-277"},
        {-0.0, 3, "0"},
        {999999999999999, 0, "999999999999999"},
        {1e15, 3, "1000000000000000"},
        {1234567890123456789.0, 3, "1234567890123460000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatReal(c.value, c.decimals), c.text) << c.value << " with " << c.decimals;

    std::string largest = FormatReal(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 309u);
    EXPECT_EQ(largest.substr(0, 16), "1797693134862320");
    EXPECT_EQ(largest.find_first_not_of('0', 15), std::string::npos);
    EXPECT_EQ(FormatReal(-std::numeric_limits<double>::max()), "-" + largest);

    std::string appended = "x ";
    AppendReal(appended, 0.25);
    EXPECT_EQ(appended, "x 0.25");
}

TEST(WriterNames, NamesWithAndWithoutSlashOrEscapes) {
    const std::pair<const char *, const char *> cases[] = {
        {"/Type", "/Type"},   {"Type", "/Type"},       {"/", "/"},
        {"", "/"},            {"/a b", "/a#20b"},      {"/a[b]", "/a#5Bb#5D"},
        {"/#x", "/#23x"},     {"/A/B", "/A#2FB"},      {"/\xE4", "/\xE4"},
    };
    for (const auto &[name, text] : cases) {
        std::vector<std::uint8_t> bytes;
        IO::PdfWriter writer(bytes);
        writer.WriteName(name);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text) << name;
    }
    // Two names in a row need no blank; a name after a number neither.
    std::vector<std::uint8_t> bytes;
    IO::PdfWriter writer(bytes);
    writer.Write(std::int32_t{1});
    writer.WriteName("/A");
    writer.WriteName("/B");
    writer.Write(std::int32_t{2});
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "1/A/B 2");
}

// A sink of the caller's own receives exactly what the vector sink gets.
class CollectingSink final : public IO::ByteSink {
public:
    explicit CollectingSink(std::string &target, int &flushes) : target_(target), flushes_(flushes) {}
    void Write(const std::uint8_t *data, std::size_t size) override { target_.append(data, data + size); }
    void Flush() override { ++flushes_; }

private:
    std::string &target_;
    int &flushes_;
};

TEST(WriterSinks, OwnSinkGetsTheSameBytesAndTheFlush) {
    PdfDictionary dictionary;
    dictionary.Elements().SetInteger("/Length", 12);
    dictionary.Elements().SetName("/Type", "XObject");
    std::vector<std::uint8_t> expected;
    {
        IO::PdfWriter writer(expected);
        dictionary.WriteObject(writer);
    }
    std::string collected;
    int flushes = 0;
    IO::PdfWriter writer(std::make_unique<CollectingSink>(collected, flushes));
    dictionary.WriteObject(writer);
    writer.Flush();
    EXPECT_EQ(collected, std::string(expected.begin(), expected.end()));
    EXPECT_EQ(writer.Position(), static_cast<std::int32_t>(collected.size()));
    EXPECT_EQ(flushes, 1);
    EXPECT_THROW(IO::PdfWriter(std::unique_ptr<IO::ByteSink>()), ArgumentNullException);
}

}  // namespace
}  // namespace ZavorPdf::Pdf
