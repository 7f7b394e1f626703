// ToUnicode CMaps on their own: code lengths by code space, single codes,
// ranges to a first character, to arrays and to several characters, and
// damaged or extreme entries that must neither stop the rest nor hang.
#include <gtest/gtest.h>

#include "pdf/content/to_unicode_map.h"

namespace {

using ZavorPdf::Pdf::Content::ToUnicodeMap;

const char *const kMap =
    "%!PS comment <41> <0058>\n"
    "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
    "/CMapName /Test def (a string <41> with a hex look-alike)\n"
    "2 begincodespacerange <00> <7F> <8000> <FFFF> endcodespacerange\n"
    "4 beginbfchar <41> <0042> <8000> <00660069> <42> /notHex <43> <D83DDE00> endbfchar\n"
    "4 beginbfrange <61> <63> <0041> <8100> <8102> [<0031> <00320033>] <8200> <8201> <00410041>\n"
    "<90> <8F> <0041> endbfrange\n"
    "1 beginbfrange <FFFE> <FFFF> <0061> endbfrange\n"
    "endcmap CMapName currentdict /CMap defineresource pop end end";

struct LookupCase {
    std::uint32_t code;
    int length;
    bool found;
    std::u16string_view text;
};

TEST(ToUnicodeMapTest, LooksUpCodesOfEachKind) {
    const ToUnicodeMap map = ToUnicodeMap::Parse(kMap);
    const LookupCase cases[] = {
        {0x41, 1, true, u"B"},
        {0x41, 2, false, u""},  // the same value as a two-byte code is another code
        {0x8000, 2, true, u"fi"},
        {0x43, 1, true, u"\U0001F600"},
        {0x42, 1, false, u""},  // its target was no string
        {0x61, 1, true, u"A"},
        {0x63, 1, true, u"C"},
        {0x64, 1, false, u""},
        {0x8100, 2, true, u"1"},
        {0x8101, 2, true, u"23"},
        {0x8102, 2, false, u""},  // the array is one short
        {0x8201, 2, true, u"AB"},  // the last character counts up
        {0x90, 1, false, u""},     // a range that ends before it starts
        {0xFFFF, 2, true, u"b"},
    };
    for (const LookupCase &test : cases) {
        std::u16string text;
        EXPECT_EQ(map.TryLookup(test.code, test.length, text), test.found) << test.code;
        if (test.found) {
            EXPECT_EQ(text, test.text) << test.code;
        }
    }
    std::uint32_t code = 0;
    ASSERT_TRUE(map.TryFindCode(u"C", code));
    EXPECT_EQ(code, 0x63U);
}

TEST(ToUnicodeMapTest, CodeLengthsFollowTheCodeSpace) {
    const ToUnicodeMap map = ToUnicodeMap::Parse(kMap);
    EXPECT_EQ(map.CodeLength("\x41\x80"), 1);
    EXPECT_EQ(map.CodeLength("\x80\x01"), 2);
    // A byte no range holds: the shortest length.
    EXPECT_EQ(map.CodeLength("\x80"), 1);
    EXPECT_EQ(ToUnicodeMap::Parse("").CodeLength("\x80\x01"), 1);
    EXPECT_FALSE(ToUnicodeMap::Parse("").HasCodeSpace());
}

TEST(ToUnicodeMapTest, RangesAtTheEndOfTheCodeSpaceEnd) {
    const ToUnicodeMap map = ToUnicodeMap::Parse(
        "1 beginbfrange <FFFFFFF0> <FFFFFFFF> <0041> endbfrange 1 beginbfrange <00000000> <FFFFFFFF> <0061> "
        "endbfrange");
    std::u16string text;
    ASSERT_TRUE(map.TryLookup(0xFFFFFFFF, 4, text));
    EXPECT_EQ(text, u"P");
    ASSERT_TRUE(map.TryLookup(0x12345678, 4, text));  // a long range, searched as such
    EXPECT_EQ(text, std::u16string(1, static_cast<char16_t>(0x61 + 0x5678)));
}

}  // namespace
