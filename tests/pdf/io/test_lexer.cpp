#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/errors.h"
#include "pdf/io/lexer.h"
#include "pdf_text.h"

namespace {

using namespace ZavorPdf;
using namespace ZavorPdf::Pdf::IO;
using ZavorTest::Bytes;

Lexer LexerOn(std::string_view text) { return Lexer(Bytes(text)); }

struct TokenCase {
    std::string input;
    Symbol symbol;
    std::string token;
};

TEST(Lexer, ScansEachKindOfToken) {
    const std::vector<TokenCase> cases = {
        {"  42 ", Symbol::Integer, "42"},
        {"-5", Symbol::Integer, "-5"},
        {"2147483647", Symbol::Integer, "2147483647"},
        {"-2147483648", Symbol::Integer, "-2147483648"},
        {"2147483648", Symbol::UInteger, "2147483648"},
        {"4294967295", Symbol::UInteger, "4294967295"},
        {"1.5", Symbol::Real, "1.5"},
        {".5]", Symbol::Real, ".5"},
        {"/Type/Page", Symbol::Name, "/Type"},
        {"/A#20B ", Symbol::Name, "/A B"},
        {"/A#2G ", Symbol::Name, "/A#2G"},
        {"/ ", Symbol::Name, "/"},
        {"% comment\r\n%%EOF\nobj", Symbol::Obj, "obj"},
        {"endobj", Symbol::EndObj, "endobj"},
        {"null", Symbol::Null, "null"},
        {"true", Symbol::Boolean, "true"},
        {"false", Symbol::Boolean, "false"},
        {"R", Symbol::R, "R"},
        {"stream\r\n", Symbol::BeginStream, "stream"},
        {"endstream", Symbol::EndStream, "endstream"},
        {"xref", Symbol::XRef, "xref"},
        {"trailer", Symbol::Trailer, "trailer"},
        {"startxref", Symbol::StartXRef, "startxref"},
        {"True", Symbol::Keyword, "True"},
        {"Tj5", Symbol::Keyword, "Tj"},
        {"[", Symbol::BeginArray, "["},
        {"]", Symbol::EndArray, "]"},
        {"<<", Symbol::BeginDictionary, "<<"},
        {">>", Symbol::EndDictionary, ">>"},
        {"> ", Symbol::None, ">"},
        {"{", Symbol::None, "{"},
        {"", Symbol::Eof, ""},
        {" \t\r\n\f", Symbol::Eof, ""},
        {std::string("\0 7", 3), Symbol::Integer, "7"},
    };
    for (const auto &c : cases) {
        Lexer lexer = LexerOn(c.input);
        EXPECT_EQ(lexer.ScanNextToken(), c.symbol) << c.input;
        EXPECT_EQ(lexer.Token(), c.token) << c.input;
    }
}

TEST(Lexer, NumbersConvertWithTheirKind) {
    Lexer lexer = LexerOn("4294967295 -5 +7 -.5 3. 12.250");
    lexer.ScanNextToken();
    EXPECT_EQ(lexer.TokenToUInteger(), 4294967295u);
    lexer.ScanNextToken();
    EXPECT_EQ(lexer.TokenToInteger(), -5);
    lexer.ScanNextToken();
    EXPECT_EQ(lexer.TokenToInteger(), 7);
    lexer.ScanNextToken();
    EXPECT_DOUBLE_EQ(lexer.TokenToReal(), -0.5);
    lexer.ScanNextToken();
    EXPECT_DOUBLE_EQ(lexer.TokenToReal(), 3.0);
    lexer.ScanNextToken();
    EXPECT_DOUBLE_EQ(lexer.TokenToReal(), 12.25);
}

struct FailureCase {
    std::string input;
    std::string message;
};

// Every malformed token fails with its reader message; input that ends in
// the middle of a token is damage, never scanned past.
TEST(Lexer, MalformedTokensFailWithTheirMessage) {
    const std::vector<FailureCase> cases = {
        {"4294967296", "Number exceeds integer range."},
        {"-2147483649", "Number exceeds integer range."},
        {"99999999999999999999999999", "Number exceeds integer range."},
        {"1.2.3", "More than one period in number."},
        {"% no line end", "Unexpected end of file."},
        {"/Name", "Unexpected end of file."},
        {"(open (nested) ", "Unexpected end of file."},
        {"(ends in escape\\", "Unexpected end of file."},
        {"<414", "Unexpected end of file."},
        {"<41G2>", "Invalid character in hex string."},
        {"<41(>", "Invalid character in hex string."},
    };
    for (const auto &c : cases) {
        Lexer lexer = LexerOn(c.input);
        try {
            lexer.ScanNextToken();
            ADD_FAILURE() << "no failure for " << c.input;
        } catch (const PdfReaderException &error) {
            EXPECT_EQ(std::string(error.what()), c.message) << c.input;
        }
    }
}

struct StringCase {
    std::string input;
    Symbol symbol;
    std::u16string value;
};

TEST(Lexer, StringsResolveEscapesAndHexDigits) {
    const std::vector<StringCase> cases = {
        {"(\\(\\)\\\\\\101)", Symbol::String, u"()\\A"},
        {"(a(b)c)", Symbol::String, u"a(b)c"},
        {"(\\n\\r\\t\\b\\f)", Symbol::String, u"\n\r\t\b\f"},
        {"(\\0053\\7)", Symbol::String, u"\u00053\u0007"},
        {"(\\q)", Symbol::String, u"q"},
        {"(one\\\r\ntwo)", Symbol::String, u"onetwo"},
        {"(a\r\nb\rc)", Symbol::String, u"a\nb\nc"},
        {"(\xFE\xFF\x41)", Symbol::String, u"\u00FE\u00FF\u0041"},
        {"(\xE4)", Symbol::String, u"\u00E4"},
        {"()", Symbol::String, u""},
        {"<414243>", Symbol::HexString, u"ABC"},
        {"<41 4\n2 43>", Symbol::HexString, u"ABC"},
        {"<6a6B>", Symbol::HexString, u"jk"},
        {"<414>", Symbol::HexString, u"A@"},
        {"<>", Symbol::HexString, u""},
        {"<FEFF>", Symbol::HexString, u"\u00FE\u00FF"},
        {"<FEFF00410042>", Symbol::UnicodeHexString, u"AB"},
        {"<FEFF20AC>", Symbol::UnicodeHexString, u"\u20AC"},
        {"<FEFF41>", Symbol::UnicodeHexString, u"\u4100"},
    };
    for (const auto &c : cases) {
        Lexer lexer = LexerOn(c.input);
        EXPECT_EQ(lexer.ScanNextToken(), c.symbol) << c.input;
        EXPECT_EQ(lexer.StringValue(), c.value) << c.input;
        EXPECT_EQ(lexer.ScanNextToken(), Symbol::Eof) << c.input;
    }
}

TEST(Lexer, LineEndsReadAsLineFeeds) {
    Lexer lexer = LexerOn("a\r\nb\rc");
    lexer.ScanNextToken();
    EXPECT_EQ(lexer.Position(), 1);
    lexer.ScanNextToken();
    EXPECT_EQ(lexer.Token(), "b");
    EXPECT_EQ(lexer.Position(), 4);
    lexer.ScanNextToken();
    EXPECT_EQ(lexer.Token(), "c");
}

TEST(Lexer, StreamDataStartsAfterTheLineEndOfTheKeyword) {
    struct Case {
        std::string input;
        std::string data;
    };
    const std::vector<Case> cases = {
        {"stream\r\nAB\r\nendstream", "AB"},
        {"stream\nAB\nendstream", "AB"},
        {"stream\rAB\nendstream", "AB"},
        {"stream\n\r\nA\nendstream", "\r\n"},
    };
    for (const auto &c : cases) {
        Lexer lexer = LexerOn(c.input);
        ASSERT_EQ(lexer.ScanNextToken(), Symbol::BeginStream);
        std::vector<std::uint8_t> data = lexer.ReadStream(2);
        EXPECT_EQ(std::string(data.begin(), data.end()), c.data);
        EXPECT_EQ(lexer.ScanNextToken(), c.data == "AB" ? Symbol::EndStream : Symbol::Keyword);
    }
}

TEST(Lexer, StreamBeyondTheEndFailsWithoutReading) {
    Lexer lexer = LexerOn("stream\nAB\nendstream");
    lexer.ScanNextToken();
    try {
        lexer.ReadStream(2000000000);
        FAIL();
    } catch (const PdfReaderException &error) {
        EXPECT_STREQ(error.what(), "Unexpected end of file.");
    }
}

TEST(Lexer, PositionSeeksAndRawStringsKeepBytes) {
    Lexer lexer = LexerOn("1 0 obj\r\n(x)");
    lexer.SetPosition(2);
    EXPECT_EQ(lexer.ScanNextToken(), Symbol::Integer);
    EXPECT_EQ(lexer.Token(), "0");
    EXPECT_EQ(lexer.ReadRawString(7, 2), u"\r\n");
    EXPECT_EQ(lexer.PdfLength(), 12);
    lexer.SetPosition(100);
    EXPECT_EQ(lexer.ScanNextToken(), Symbol::Eof);
    EXPECT_THROW(lexer.ReadRawString(10, 5), PdfReaderException);
}

}  // namespace
