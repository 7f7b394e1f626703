// Tokens of content streams: every token kind, the line-end folding, string
// escapes, numbers at their limits, and the failures with their texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/content/c_lexer.h"
#include "pdf/content/content_reader_exception.h"

namespace {

using namespace std::string_view_literals;
using ZavorPdf::Pdf::Content::CLexer;
using ZavorPdf::Pdf::Content::ContentReaderException;
using ZavorPdf::Pdf::Content::CSymbol;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// One line per token: "<symbol> <text>", numbers by value.
std::string Tokens(std::string_view content) {
    CLexer lexer(Bytes(content));
    std::string out;
    for (int guard = 0; guard < 1000; ++guard) {
        CSymbol symbol = lexer.ScanNextToken();
        if (symbol == CSymbol::Eof)
            return out;
        out += std::to_string(static_cast<int>(symbol));
        if (symbol == CSymbol::Integer) {
            out += ' ' + std::to_string(lexer.TokenToInteger());
        } else if (symbol == CSymbol::Real) {
            out += ' ' + std::to_string(lexer.TokenToReal());
        } else {
            out += ' ';
            for (char16_t ch : lexer.Token())
                out += ch < 0x80 ? std::string(1, static_cast<char>(ch)) : "<" + std::to_string(ch) + ">";
        }
        out += '|';
    }
    return "endless";
}

struct TokenCase {
    std::string_view input;
    const char *expected;
};

class LexerTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(LexerTokens, ScanAsExpected) { EXPECT_EQ(Tokens(GetParam().input), GetParam().expected); }

// Symbols: 2 Integer, 3 Real, 4 String, 5 HexString, 8 Name, 9 Operator,
// 10/11 array, 13/14 dictionary, 0 None.
INSTANTIATE_TEST_SUITE_P(
    Content, LexerTokens,
    testing::Values(
        TokenCase{"", ""},
        TokenCase{"q 1 0 0 1 72 720 cm", "9 q|2 1|2 0|2 0|2 1|2 72|2 720|9 cm|"},
        TokenCase{"-.5 5. +3 -0 .25", "3 -0.500000|3 5.000000|2 3|2 0|3 0.250000|"},
        TokenCase{"2147483647 -2147483648", "2 2147483647|2 -2147483648|"},
        // Fraction digits past the tenth are read and ignored.
        TokenCase{"0.123456789012345", "3 0.123457|"},
        TokenCase{"1.5Tj", "3 1.500000|9 Tj|"},
        TokenCase{"b* B* f* T* W* ' \"", "9 b*|9 B*|9 f*|9 T*|9 W*|9 '|9 \"|"},
        // Digits end an operator, except the two Type 3 glyph operators.
        TokenCase{"ET1 d0 d1 d2", "9 ET|2 1|9 d0|9 d1|9 d|2 2|"},
        TokenCase{"/F1 12 Tf", "8 /F1|2 12|9 Tf|"},
        TokenCase{"/A#20B /C#2 /D#", "8 /A B|8 /C#2|8 /D#|"},
        TokenCase{"/A/B(", "8 /A|8 /B|4 |"},
        TokenCase{"% comment\n(a) Tj %x", "4 a|9 Tj|"},
        TokenCase{"[(a)-120(b)]TJ", "10 [|4 a|2 -120|4 b|11 ]|9 TJ|"},
        TokenCase{"<</MCID 0>> BDC", "13 |8 /MCID|2 0|14 |9 BDC|"},
        TokenCase{") } { >", "0 )|0 }|0 {|0 >|"},
        TokenCase{"(a\\(b\\)c)", "4 a(b)c|"},
        TokenCase{"(x(y)z)", "4 x(y)z|"},
        TokenCase{"(\\101\\0601\\7777)", "4 A01<255>7|"},
        TokenCase{"(\\n\\r\\t\\b\\f\\\\\\q)", "4 \n\r\t\b\f\\q|"},
        TokenCase{"(a\\\r\nb\\\nc)", "4 abc|"},
        TokenCase{"(a\r\nb\rc)", "4 a\nb\nc|"},
        TokenCase{"(unterminated", "4 unterminated|"},
        TokenCase{"<48 65 6C6c 6F>", "5 Hello|"},
        TokenCase{"<4 8>", "5 H|"},
        TokenCase{"<48", "5 H|"},
        TokenCase{"<FEFF00410042>", "5 AB|"},
        TokenCase{"<FEFF>", "5 <254><255>|"},
        TokenCase{"(\xFE\xFF\x00\x41\x04\x3F)Tj"sv, "4 A<1087>|9 Tj|"},
        // A CR LF inside UTF-16 data is two bytes of a character, not a line end.
        TokenCase{"(\xFE\xFF\x01\x0D\x0A\x01)", "4 <269><2561>|"}));

TEST(LexerCharacters, LineEndsFoldAndDataEndsInEndMarks) {
    CLexer lexer(Bytes("a\r\rb\r"));
    EXPECT_EQ(lexer.ScanNextToken(), CSymbol::Operator);
    EXPECT_EQ(lexer.Current(), u'\n');
    EXPECT_EQ(lexer.ScanNextToken(), CSymbol::Operator);
    EXPECT_EQ(lexer.TokenText(), "b");
    EXPECT_EQ(lexer.ScanNextToken(), CSymbol::Eof);
    EXPECT_EQ(lexer.Current(), CLexer::EndMark);
    EXPECT_EQ(lexer.Next(), CLexer::EndMark);
    EXPECT_EQ(lexer.ScanNextToken(), CSymbol::Eof);
}

TEST(LexerInlineImage, StopsAtAnEiStandingAlone) {
    CLexer lexer(Bytes("ID xEIy EI\x01 \nEI Q"));
    ASSERT_EQ(lexer.ScanNextToken(), CSymbol::Operator);
    lexer.ScanInlineImage();
    ASSERT_EQ(lexer.ScanNextToken(), CSymbol::Operator);
    EXPECT_EQ(lexer.TokenText(), "EI");
    ASSERT_EQ(lexer.ScanNextToken(), CSymbol::Operator);
    EXPECT_EQ(lexer.TokenText(), "Q");
}

TEST(LexerInlineImage, UnterminatedDataRunsToTheEnd) {
    CLexer lexer(Bytes("ID \x00\xFF EIx"sv));
    lexer.ScanNextToken();
    lexer.ScanInlineImage();
    EXPECT_EQ(lexer.ScanNextToken(), CSymbol::Eof);
}

struct FailureCase {
    const char *input;
    const char *message;
};

class LexerFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(LexerFailures, ThrowWithMessage) {
    try {
        Tokens(GetParam().input);
        FAIL() << "no failure for " << GetParam().input;
    } catch (const ContentReaderException &e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Content, LexerFailures,
    testing::Values(FailureCase{"1.2.3", "More than one period in number."},
                    FailureCase{"..", "More than one period in number."},
                    FailureCase{"2147483648", "Number exceeds integer range."},
                    FailureCase{"-2147483649", "Number exceeds integer range."},
                    FailureCase{"99999999999999999999999", "Number exceeds integer range."},
                    FailureCase{"<4G>", "Invalid character in hex string."},
                    FailureCase{"<414>", "Invalid character in hex string."},
                    FailureCase{"<FEFF0041AB>", "A Unicode hex string has an odd number of bytes."}));

TEST(LexerNumbers, HugeRealsAreReadAsDoubles) {
    CLexer lexer(Bytes("123456789012345678901234.5"));
    ASSERT_EQ(lexer.ScanNextToken(), CSymbol::Real);
    EXPECT_DOUBLE_EQ(lexer.TokenToReal(), 123456789012345678901234.5);
}

}  // namespace
