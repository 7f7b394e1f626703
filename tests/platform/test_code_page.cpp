#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/host_code_page.h"

namespace {

using namespace ZavorPlatform;

struct HighByte {
    unsigned char byte;
    char16_t unicode;
};

// Windows-1252 0x80..0x9F as published by the code page's owner; the five
// holes keep the C1 control of the same value.
constexpr HighByte kHighBytes[] = {
    {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020},
    {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8D, 0x008D},
    {0x8E, 0x017D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D},
    {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A},
    {0x9C, 0x0153}, {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178},
};

TEST(CodePage, HighBytesMapBothWays) {
    for (const HighByte &entry : kHighBytes) {
        SCOPED_TRACE(static_cast<int>(entry.byte));
        std::string byte(1, static_cast<char>(entry.byte));
        EXPECT_EQ(Windows1252ToUnicode(byte), std::u16string(1, entry.unicode));
        EXPECT_EQ(UnicodeToWindows1252(std::u16string(1, entry.unicode)), byte);
        unsigned char back = 0;
        ASSERT_TRUE(TryUnicodeToWindows1252(entry.unicode, back));
        EXPECT_EQ(back, entry.byte);
    }
}

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    std::u16string text = Windows1252ToUnicode(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(text[0xE4], u'\u00E4');
    EXPECT_EQ(text[0xA0], u'\u00A0');
    EXPECT_EQ(UnicodeToWindows1252(text), all);
}

TEST(CodePage, CharactersOutsideTheCodePage) {
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"\u0100\u0142\u017C", "Alz"},        // accents dropped
        {u"\u2010\u2212", "--"},               // dashes
        {u"\uFF21\uFF5A\uFF10", "Az0"},        // full-width forms
        {u"\u221E", "?"},                      // nothing alike
        {u"\u0080", "?"},                      // the C1 control that 0x80 does not stand for
        {u"a\U0001F600b", "a?b"},              // one character, one byte
        {u"\xD800x", "?x"},                    // a lone surrogate
    };
    for (const Case &test : cases) EXPECT_EQ(UnicodeToWindows1252(test.text), test.bytes);
    unsigned char byte = 0;
    EXPECT_FALSE(TryUnicodeToWindows1252(0x0100, byte));
    EXPECT_FALSE(TryUnicodeToWindows1252(0x0080, byte));
    EXPECT_FALSE(TryUnicodeToWindows1252(0x1F600, byte));
}

// The host's code page is Windows-1252 on Linux and on German Windows; the
// cases hold on both, so the test also runs under a German Windows.
TEST(HostCodePage, GermanTextsCrossTheBoundaryBothWays) {
    struct Case {
        std::string ansi;
        std::u16string text;
    };
    const Case cases[] = {
        {"Gr\xFC\xDF" "e \x80 \xC4\xD6\xDC", u"Gr\u00fc\u00dfe \u20ac \u00c4\u00d6\u00dc"},
        {"\x84Zitat\x93 \x96 \x85", u"\u201eZitat\u201c \u2013 \u2026"},
        {"", u""},
    };
    for (const Case &test : cases) {
        EXPECT_EQ(HostAnsiToUnicode(test.ansi), test.text);
        EXPECT_EQ(UnicodeToHostAnsi(test.text), test.ansi);
    }
    EXPECT_EQ(UnicodeToHostAnsi(u"\u0142\u4E00"), "l?");  // a look-alike, else "?"
    // One byte is one character: a cut never falls inside one.
    EXPECT_EQ(HostAnsiCut("Gr\xFC\xDF", 3), 3u);
    EXPECT_EQ(HostAnsiCut("ab", 5), 2u);
}

}  // namespace
