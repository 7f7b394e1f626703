// The script language: what each line parses to, and every syntax fault
// with its message.
#include <gtest/gtest.h>

#include "host/ansi_text.h"
#include "host/host_variables.h"
#include "host/script_error.h"
#include "host/script_parser.h"
#include "platform/code_page.h"

namespace ZavorHost {
namespace {

struct ErrorCase {
    std::string line;
    const char *message;
};

TEST(ScriptParser, FaultsAreReportedWithTheirMessages) {
    const ErrorCase cases[] = {
        {"FOO bar", "unknown statement \"FOO\""},
        {"set x = 1", "unknown statement \"set\""},
        {"ZQ-PDF", "ZQ-PDF: Typ is missing"},
        {"ZQ-PDF Typ=4", "ZQ-PDF: Typ must be 0, 1, 2 or 3, not \"4\""},
        {"ZQ-PDF Typ=01", "ZQ-PDF: Typ must be 0, 1, 2 or 3, not \"01\""},
        {"ZQ-PDF Typ=[t]", "ZQ-PDF: Typ must be 0, 1, 2 or 3, not \"[t]\""},
        {"ZQ-PDF Typ=1 typ=1", "ZQ-PDF: Typ is given twice"},
        {"ZQ-PDF Typ=1 Format=A4 format=A5", "ZQ-PDF: Format is given twice"},
        {"ZQ-PDF Typ=1 Farbe=rot", "ZQ-PDF: Typ 1 has no element \"Farbe\" (elements: Format, Breite, Hoehe, Quer)"},
        {"ZQ-PDF Typ=1 ver=100", "ZQ-PDF: Typ 1 has no element \"ver\" (elements: Format, Breite, Hoehe, Quer)"},
        {"ZQ-PDF Typ=1 Quer=ja", "ZQ-PDF: Quer must be true or false, not \"ja\""},
        {"ZQ-PDF Typ=1 A4", "ZQ-PDF: expected Name=value, found \"A4\""},
        {"ZQ-PDF Typ=1 =A4", "ZQ-PDF: expected Name=value, found \"=A4\""},
        {"ZQ-PDF Typ=3 PDFDatei=\"a b", "ZQ-PDF: the quoted value has no closing double quote"},
        {"ZQ-PDF Typ=3 PDFDatei=\"a\"b", "ZQ-PDF: unexpected text after the closing double quote of PDFDatei"},
        {"ZQ-PDF hex:3g", "ZQ-PDF: a stored record holds only hex digits after \"hex:\""},
        {"ZQ-PDF hex:3c 53", "ZQ-PDF: a stored record holds only hex digits after \"hex:\""},
        {"SET", "SET: expected Name = value"},
        {"SET Name value", "SET: expected Name = value"},
        {"SET 1x = 2", "SET: \"1x\" is not a valid name"},
        {"SET x = \"a", "SET: the quoted value has no closing double quote"},
        {"LET = 1", "LET: expected variable = value"},
        {"LET a-b = 1", "LET: \"a-b\" is not a valid name"},
        {"LET a = \"x\" y", "LET: unexpected text after the closing double quote"},
        {"GET x", "GET: expected variable = Name or variable = Name(arguments)"},
        {"GET x = ", "GET: expected variable = Name or variable = Name(arguments)"},
        {"GET x = Fehler extra", "GET: expected variable = Name or variable = Name(arguments)"},
        {"GET x = Text(1;a) b", "GET: the arguments must end the line with \")\""},
        {"GET [x] = Fehler", "GET: \"[x]\" is not a valid name"},
        {"ON ZAVOR_Fehler", "ON: expected an event name and a statement"},
        {"ON ZAVOR_Fehler ON ZAVOR_Fehler PRINT x", "ON: the statement of a handler cannot be another ON"},
        {"ON ZAVOR_Fehler LET = 1", "LET: expected variable = value"},
        {"PRINT a\xff", "the line is not valid UTF-8"},
        {"PRINT \xC0\xAF", "the line is not valid UTF-8"},
        {"PRINT \xED\xA0\x80", "the line is not valid UTF-8"},
        {std::string("PRINT a\0b", 9), "the line holds a NUL byte"},
    };
    for (const auto &c : cases) {
        const std::string &line = c.line;
        ParsedScript parsed = ScriptParser().Parse("# comment\n\n" + line + "\nPRINT ok\n");
        ASSERT_EQ(parsed.errors.size(), 1u) << line;
        EXPECT_EQ(parsed.errors[0].line, 3) << line;
        EXPECT_EQ(parsed.errors[0].message, c.message) << line;
    }
}

// Well-formed UTF-8 is exactly what survives the way to UTF-16 and back
// unchanged: anything else comes back with replacement characters or, for
// an overlong form, shorter.
bool SurvivesTheRoundTrip(const std::string &text) {
    return ZavorPlatform::Utf16ToUtf8(ZavorPlatform::Utf8ToUtf16(text)) == text;
}

TEST(ScriptParser, Utf8CheckAgreesWithTheRoundTripOnEveryShortSequence) {
    const unsigned char followers[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC3, 0xE0, 0xF4, 0xFF};
    std::vector<std::string> texts;
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second)
            texts.push_back({static_cast<char>(first), static_cast<char>(second)});
        for (unsigned char second : followers)
            for (unsigned char third : followers) {
                texts.push_back({static_cast<char>(first), static_cast<char>(second), static_cast<char>(third)});
                for (unsigned char fourth : followers)
                    texts.push_back({static_cast<char>(first), static_cast<char>(second), static_cast<char>(third),
                                     static_cast<char>(fourth)});
            }
    }
    for (const std::string &sequence : texts)
        for (const std::string &text : {sequence, "Gr\xC3\xBC\xC3\x9F" + sequence + "e abcdefgh"})
            ASSERT_EQ(IsValidUtf8(text), SurvivesTheRoundTrip(text)) << testing::PrintToString(text);
}

TEST(ScriptParser, StatementsKeepTheirParts) {
    ParsedScript parsed = ScriptParser().Parse(
        "\xEF\xBB\xBF  # BOM and indented comment\r\n"
        "SET TextHinzufuegen =   Gr\xC3\xBC\xC3\x9F [x]  \r\n"
        "LET x=\"  a \\\"b\\\" \\\\ \\n \"\n"
        "\t\n"
        "GET n = ExternePDFDatei_Text ( 1;[dir]/a (1).pdf )\n"
        "GET e=Fehler\n"
        "PRINT   [x] (done)  \n"
        "ON ZAVOR_DateiFehler   SET Raise = again\n");
    ASSERT_TRUE(parsed.errors.empty()) << parsed.errors[0].message;
    const auto &s = parsed.script.statements;
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].kind, StatementKind::Set);
    EXPECT_EQ(s[0].line, 2);
    EXPECT_EQ(s[0].name, "TextHinzufuegen");
    EXPECT_EQ(s[0].value, "Gr\xC3\xBC\xC3\x9F [x]");
    EXPECT_EQ(s[1].kind, StatementKind::Let);
    EXPECT_EQ(s[1].value, "  a \"b\" \\ \\n ");
    EXPECT_EQ(s[2].kind, StatementKind::Get);
    EXPECT_EQ(s[2].line, 5);
    EXPECT_EQ(s[2].source, "ExternePDFDatei_Text");
    EXPECT_TRUE(s[2].hasArguments);
    EXPECT_EQ(s[2].value, " 1;[dir]/a (1).pdf ");
    EXPECT_EQ(s[3].source, "Fehler");
    EXPECT_FALSE(s[3].hasArguments);
    EXPECT_EQ(s[4].kind, StatementKind::Print);
    EXPECT_EQ(s[4].value, "[x] (done)");
    EXPECT_EQ(s[5].kind, StatementKind::On);
    EXPECT_EQ(s[5].name, "ZAVOR_DateiFehler");
    ASSERT_TRUE(s[5].handler);
    EXPECT_EQ(s[5].handler->kind, StatementKind::Set);
    EXPECT_EQ(s[5].handler->line, 8);
    EXPECT_EQ(s[5].handler->value, "again");
}

// The statements point into the script's own text, or for a quoted value
// with escapes into their own string: both go wherever the script goes.
TEST(ScriptParser, StatementsStayWholeWhenTheScriptMoves) {
    std::vector<Script> scripts;
    {
        std::string text = "SET a = plain value\nLET b = \"say \\\"hi\\\"\"\nON E PRINT [b]\nGET c = Fehler(x)\n";
        ParsedScript parsed = ScriptParser().Parse(text);
        ASSERT_TRUE(parsed.errors.empty());
        text.assign(text.size(), '#');  // the caller's text is not what the statements keep
        scripts.push_back(std::move(parsed.script));
        scripts.emplace_back();  // the vector moves the first script
    }
    const Script &script = scripts.front();
    ASSERT_EQ(script.statements.size(), 4u);
    const std::string &text = *script.text;
    auto inText = [&](std::string_view part) {
        return part.data() >= text.data() && part.data() < text.data() + text.size();
    };
    EXPECT_EQ(script.statements[0].name, "a");
    EXPECT_EQ(script.statements[0].value, "plain value");
    EXPECT_TRUE(inText(script.statements[0].value));
    EXPECT_EQ(script.statements[1].value, "say \"hi\"");
    ASSERT_NE(script.statements[1].ownedValue, nullptr);
    EXPECT_EQ(script.statements[1].value.data(), script.statements[1].ownedValue->data());
    EXPECT_EQ(script.statements[2].name, "E");
    EXPECT_EQ(script.statements[2].handler->value, "[b]");
    EXPECT_TRUE(inText(script.statements[2].handler->value));
    EXPECT_EQ(script.statements[3].source, "Fehler");
    EXPECT_EQ(script.statements[3].value, "x");
}

TEST(ScriptParser, EveryFaultyLineIsReported) {
    ParsedScript parsed = ScriptParser().Parse("FOO\nPRINT ok\nBAR\n\nZQ-PDF Typ=9");
    ASSERT_EQ(parsed.errors.size(), 3u);
    EXPECT_EQ(parsed.errors[0].line, 1);
    EXPECT_EQ(parsed.errors[1].line, 3);
    EXPECT_EQ(parsed.errors[2].line, 5);
}

struct SubstitutionCase {
    const char *text;
    const char *expected;
};

TEST(HostVariables, SubstitutionReplacesOnlyKnownNames) {
    HostVariables variables;
    variables.Set("a", "1");
    variables.Set("dir", "/tmp/x y");
    variables.Set("loop", "[loop]");
    const SubstitutionCase cases[] = {
        {"[a]", "1"},
        {"x[a]y[a]", "x1y1"},
        {"[dir]/f.pdf", "/tmp/x y/f.pdf"},
        {"[b]", "[b]"},
        {"[A]", "[A]"},
        {"[[a]]", "[1]"},
        {"[a", "[a"},
        {"a]", "a]"},
        {"[]", "[]"},
        {"[ a]", "[ a]"},
        {"[loop]", "[loop]"},
        {"[a][b]]", "1[b]]"},
        {"[[[a]", "[[1"},
        {"]][a", "]][a"},
        {"", ""},
    };
    for (const auto &c : cases) EXPECT_EQ(variables.Substitute(c.text), c.expected) << c.text;
}

TEST(HostVariables, LongBracketRunsStayLinear) {
    HostVariables variables;
    variables.Set("a", "1");
    std::string brackets(4 * 1024 * 1024, '[');
    EXPECT_EQ(variables.Substitute(brackets + "a]"), brackets.substr(1) + "1");
    EXPECT_EQ(variables.Substitute(brackets), brackets);
}

TEST(HostVariables, RunawayGrowthIsAScriptError) {
    HostVariables variables;
    variables.Set("big", std::string(HostVariables::kMaxValueLength / 2 + 1, 'x'));
    EXPECT_EQ(variables.Substitute("[big]").size(), HostVariables::kMaxValueLength / 2 + 1);
    try {
        variables.Substitute("[big][big]");
        FAIL() << "no error";
    } catch (const ScriptRuntimeError &error) {
        EXPECT_STREQ(error.what(), "a substituted text is longer than 16777216 bytes");
    }
}

}  // namespace
}  // namespace ZavorHost
