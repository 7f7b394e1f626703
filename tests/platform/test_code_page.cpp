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

TEST(CodePage, HighBytesAnywhereInALongerText) {
    // Texts are widened eight bytes at a time; a byte that stands for
    // another code point must be found wherever it sits among Latin-1 ones.
    for (const HighByte &entry : kHighBytes) {
        for (std::size_t at = 0; at < 17; ++at) {
            std::string bytes = "\xE4\x7F bc\xA0\xFFxyz0123456789";
            std::u16string expected(bytes.begin(), bytes.end());
            for (char16_t &unit : expected) unit &= 0xFF;
            bytes[at] = static_cast<char>(entry.byte);
            expected[at] = entry.unicode;
            EXPECT_EQ(Windows1252ToUnicode(bytes), expected) << static_cast<int>(entry.byte) << " at " << at;
        }
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

std::string EncodeUtf8(char32_t character) {
    std::string bytes;
    if (character < 0x80) {
        bytes += static_cast<char>(character);
    } else if (character < 0x800) {
        bytes += static_cast<char>(0xC0 | (character >> 6));
        bytes += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        bytes += static_cast<char>(0xE0 | (character >> 12));
        bytes += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | (character >> 18));
        bytes += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (character & 0x3F));
    }
    return bytes;
}

// The straight conversion must give exactly the bytes of the way through
// UTF-16, for every character and for every kind of broken sequence.
TEST(CodePage, Utf8StraightToTheCodePageMatchesTheWayThroughUtf16) {
    auto expectSame = [](const std::string &utf8) {
        ASSERT_EQ(Utf8ToWindows1252(utf8), UnicodeToWindows1252(Utf8ToUtf16(utf8)))
            << testing::PrintToString(utf8);
    };
    // Every character, ASCII neighbours on both sides.
    for (char32_t character = 0; character <= 0x10FFFF; ++character) {
        if (character >= 0xD800 && character <= 0xDFFF) continue;
        expectSame("a" + EncodeUtf8(character) + "z");
    }
    // Every pair of bytes, so every lead byte with every follower.
    for (int first = 0; first < 256; ++first)
        for (int second = 0; second < 256; ++second)
            expectSame(std::string{static_cast<char>(first), static_cast<char>(second), 'x'});
    const std::string broken[] = {
        "\xC0\x80",               // overlong NUL
        "\xE0\x80\x80",           // overlong three bytes
        "\xED\xA0\x80",           // a surrogate
        "\xF4\x90\x80\x80",       // above U+10FFFF
        "\xF0\x9F\x98",           // cut short
        "\xE2\x82",               // cut short at the end
        "\x80\xBF",               // stray followers
        "\xF8\x88\x80\x80\x80",   // five-byte form
        "\xFF\xFE",
    };
    for (const std::string &text : broken) {
        expectSame(text);
        expectSame("Gr\xC3\xBC" + text + "\xC3\x9F");
    }
    EXPECT_EQ(Utf8ToWindows1252("Gr\xC3\xBC\xC3\x9F\xE2\x82\xAC \xF0\x9F\x98\x80 \xC5\x82"), "Gr\xFC\xDF\x80 ? l");
}

TEST(CodePage, AsciiRunsEndAtTheFirstHighByteWhereverItIs) {
    for (std::size_t length = 0; length <= 20; ++length) {
        for (std::size_t high = 0; high <= length; ++high) {
            std::string text(length, 'a');
            if (high < length) text[high] = '\xC3';
            for (std::size_t from = 0; from <= high; ++from)
                EXPECT_EQ(AsciiRunLength(text, from), high - from) << length << " " << high << " " << from;
        }
    }
    EXPECT_EQ(AsciiRunLength("\x7F\x80", 0), 1u);
}

// Measuring and encoding append many words into one buffer.
TEST(CodePage, AppendingKeepsWhatTheBufferHeld) {
    std::string bytes = "x";
    AppendUnicodeToWindows1252(u"\u00e4\u20ac\U0001F600", bytes);
    AppendUnicodeToWindows1252(u"", bytes);
    AppendUnicodeToWindows1252(u"\u0142", bytes);
    EXPECT_EQ(bytes, "x\xE4\x80?l");
    // The quick test lets through only units that are their own byte.
    int asIs = 0;
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (!IsWindows1252AsIs(static_cast<char16_t>(unit))) continue;
        ++asIs;
        unsigned char byte = 0;
        EXPECT_TRUE(TryUnicodeToWindows1252(unit, byte) && byte == unit) << static_cast<int>(unit);
    }
    EXPECT_EQ(asIs, 0x80 + 0x60);
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
    EXPECT_EQ(Utf8ToHostAnsi("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xC5\x82\xE4\xB8\x80"), "Gr\xFC\xDF" "e \x80 l?");
    // One byte is one character: a cut never falls inside one.
    EXPECT_EQ(HostAnsiCut("Gr\xFC\xDF", 3), 3u);
    EXPECT_EQ(HostAnsiCut("ab", 5), 2u);
}

}  // namespace
