// The value readings of the variable commands and the state rows, one table
// row per name and reading.
#include "session/session_test_support.h"

#include <clocale>

#include "pdf/pdf_document_information.h"
#include "plugin/variable_values.h"
#include "support/platform_support.h"
#include "support/scoped_environment.h"

namespace {

using ZavorPdf::Drawing::XDashStyle;
using ZavorPlugin::ReadLeadingInteger;
using ZavorPlugin::TryParseDecimal;
using ZavorPlugin::ValueFields;

TEST(VariableReadings, LeadingInteger) {
    const std::pair<const char16_t *, std::int32_t> cases[] = {
        {u"595mm", 595},       {u"abc", 0},          {u"", 0},
        {u"  -12x", -12},      {u"+7", 7},           {u"- 7", 0},
        {u"\t42 43", 42},      {u"2147483647", 2147483647},
        {u"99999999999", 2147483647},                {u"-2147483648", -2147483647 - 1},
        {u"-99999999999", -2147483647 - 1},          {u"1.9", 1},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(ReadLeadingInteger(text), value) << ZavorPlatform::Utf16ToUtf8(text);
}

TEST(VariableReadings, DecimalWithEitherSeparator) {
    struct Case {
        const char16_t *text;
        char16_t separator;
        std::optional<double> value;
    };
    const Case cases[] = {
        {u"12.5", u'.', 12.5},   {u" -0.25 ", u'.', -0.25}, {u"1e2", u'.', 100},     {u".5", u'.', 0.5},
        {u"5.", u'.', 5},        {u"12,5", u'.', {}},       {u"12,5", u',', 12.5},   {u"12.5", u',', {}},
        {u"", u'.', {}},         {u" ", u'.', {}},          {u".", u'.', {}},        {u"1e", u'.', {}},
        {u"1e999", u'.', {}},    {u"inf", u'.', {}},        {u"nan", u'.', {}},      {u"0x10", u'.', {}},
        {u"1 2", u'.', {}},      {u"+3", u'.', 3},          {u"1.5E-1", u'.', 0.15},
    };
    for (const Case &test : cases) {
        EXPECT_EQ(TryParseDecimal(test.text, test.separator), test.value)
            << ZavorPlatform::Utf16ToUtf8(test.text) << " with " << static_cast<char>(test.separator);
    }
}

TEST(VariableReadings, DecimalFollowsTheUserLocaleNotTheProcessLocale) {
    ZAVOR_SKIP_ON_WINDOWS("locales come from the environment (Windows reads the regional settings)");
    struct Case {
        const char *all, *numeric, *lang;
        const char16_t *text;
        std::optional<double> value;
    };
    const char *de = "de_DE.UTF-8", *en = "en_US.UTF-8";
    const Case cases[] = {
        {nullptr, nullptr, de, u"90,5", 90.5},
        {nullptr, nullptr, de, u"90.5", {}},
        {nullptr, nullptr, "de_DE@euro", u"-1,25", -1.25},
        {nullptr, nullptr, en, u"90.5", 90.5},
        {nullptr, nullptr, en, u"90,5", {}},
        {nullptr, de, en, u"2,5", 2.5},
        {en, de, de, u"2.5", 2.5},
        {en, de, de, u"2,5", {}},
        {"", de, en, u"2,5", 2.5},  // an empty variable counts as not set
        {nullptr, nullptr, "xx_YY.UTF-8", u"2.5", 2.5},
        {nullptr, nullptr, nullptr, u"2.5", 2.5},
        {nullptr, nullptr, nullptr, u"2,5", {}},
    };
    const std::string processNumeric = std::setlocale(LC_NUMERIC, nullptr);
    for (const Case &test : cases) {
        SCOPED_TRACE(ZavorPlatform::Utf16ToUtf8(test.text) + " under " + (test.all ? test.all : "-") + " / " +
                     (test.numeric ? test.numeric : "-") + " / " + (test.lang ? test.lang : "-"));
        ZavorTest::ScopedEnvironment all("LC_ALL", test.all);
        ZavorTest::ScopedEnvironment numeric("LC_NUMERIC", test.numeric);
        ZavorTest::ScopedEnvironment lang("LANG", test.lang);
        EXPECT_EQ(TryParseDecimal(test.text), test.value);
        // The host's own locale is never selected on its behalf.
        EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), processNumeric);
        EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    }
}

TEST(VariableReadings, FieldsKeepEmptyOnesAndRefuseMissingOnes) {
    ValueFields fields(u";a;;");
    ASSERT_EQ(fields.All(), (std::vector<std::u16string>{u"", u"a", u"", u""}));
    fields.DefaultIfBlank(0, u"1");
    EXPECT_EQ(fields[0], u"1");
    EXPECT_THROW(fields[4], ZavorPlugin::FieldValueError);
    EXPECT_THROW(fields.DefaultIfBlank(7, u"1"), ZavorPlugin::FieldValueError);
    EXPECT_THROW(fields.Integer(1), ZavorPlugin::FieldValueError);
    EXPECT_EQ(ValueFields(u"").Count(), 1u);
}

class VariableCommands : public ZavorTest::SessionTest {};

TEST_F(VariableCommands, NamesIgnoreTheCaseOfLetters) {
    for (const char *name : {"Zielbox_X", "ZIELBOX_X", "zielbox_x", "zIeLbOx_X"}) {
        Session().BoxX = 0;
        EXPECT_EQ(Set(name, "33"), 1);
        EXPECT_EQ(Session().BoxX, 33) << name;
    }
    EXPECT_EQ(Set("Zielbox_X ", "44"), 1);  // the whole name counts
    EXPECT_EQ(Session().BoxX, 33);
}

TEST_F(VariableCommands, StateRows) {
    struct Case {
        const char *name;
        const char *value;
        std::int32_t ZavorPlugin::PDF::*field;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"Zielbox_X", "12abc", &ZavorPlugin::PDF::BoxX, 12},  {"Zielbox_Y", "-3", &ZavorPlugin::PDF::BoxY, -3},
        {"Zielbox_Breite", "x", &ZavorPlugin::PDF::BoxB, 0},   {"Zielbox_Hoehe", " 9", &ZavorPlugin::PDF::BoxH, 9},
        {"Schriftgroesse", "18pt", &ZavorPlugin::PDF::fontsize, 18},
        {"FarbeAlpha", "1", &ZavorPlugin::PDF::ColA, 1},       {"FarbeRot", "2", &ZavorPlugin::PDF::ColR, 2},
        {"FarbeGruen", "3", &ZavorPlugin::PDF::ColG, 3},       {"FarbeBlau", "4", &ZavorPlugin::PDF::ColB, 4},
    };
    for (const Case &test : cases) {
        EXPECT_EQ(Set(test.name, test.value), 1);
        EXPECT_EQ(Session().*test.field, test.expected) << test.name;
    }
    Set("Schriftart", " Courier New ");
    EXPECT_EQ(Session().fontname, u" Courier New ");
    EXPECT_TRUE(Events().empty());
}

TEST_F(VariableCommands, TemplatePageRows) {
    Set("Seite_Breite", "595mm");
    EXPECT_EQ(Session().vpage->Width(), 595);
    Set("Seite_Hoehe", "abc");
    EXPECT_EQ(Session().vpage->Height(), 0);
    Set("AusrichtungSeite", "2");
    EXPECT_EQ(Session().vpage->Orientation(), ZavorPdf::Pdf::PageOrientation::Portrait);
    Set("AusrichtungSeite", "1");
    EXPECT_EQ(Session().vpage->Orientation(), ZavorPdf::Pdf::PageOrientation::Landscape);
}

TEST_F(VariableCommands, FillFlag) {
    const std::pair<const char *, bool> cases[] = {{"0", false}, {"", true}, {" 0", true}, {"1", true}, {"00", true}};
    for (const auto &[value, filled] : cases) {
        Session().brushme = !filled;
        Set("ObjektFuellen", value);
        EXPECT_EQ(Session().brushme, filled) << '"' << value << '"';
    }
}

TEST_F(VariableCommands, EffectRows) {
    struct State {
        std::int32_t typ, mod1, mod2;
        XDashStyle style;
        bool operator==(const State &) const = default;
    };
    struct Case {
        const char *name;
        const char *value;
        State expected;
    };
    // Every row starts from a picture effect with 7, 8 and a solid pattern.
    const State start{2, 7, 8, XDashStyle::Solid};
    const Case cases[] = {
        {"EffektTemplate_Radius", "5;3", start},
        {"EffektTemplate_Radius", "5;3;", {1, 5, 3, XDashStyle::Dash}},
        {"EffektTemplate_Radius", ";;4", {1, 1, 1, XDashStyle::Dot}},
        {"EffektTemplate_Radius", "5;x;2", {2, 5, 8, XDashStyle::Solid}},
        {"EffektTemplate_Radius", "5;3;x", {1, 5, 3, XDashStyle::Solid}},
        {"EffektTemplate_Radius", "0", {0, 7, 8, XDashStyle::Solid}},
        {"EffektTemplate_Radius", " ", {0, 7, 8, XDashStyle::Solid}},
        {"EffektTemplate_Radius", " 0", start},
        {"EffektTemplate_Gitter", "4;6;3", {5, 4, 6, XDashStyle::DashDotDot}},
        {"EffektTemplate_Horizontal", "0", {0, 7, 8, XDashStyle::Solid}},
        {"EffektTemplate_Horizontal", "9", start},
        {"EffektTemplate_Horizontal", "9;", {3, 9, 8, XDashStyle::Dash}},
        {"EffektTemplate_Horizontal", "9;2;x", {3, 9, 8, XDashStyle::DashDot}},
        {"EffektTemplate_Vertikal", "-2;4", {4, -2, 8, XDashStyle::Dot}},
        {"EffektTemplate_Vertikal", "1.5;4", start},
        {"EffektTemplate_Bild", "0", {0, 7, 8, XDashStyle::Solid}},
        {"EffektTemplate_Bild", "", {0, 7, 8, XDashStyle::Solid}},
    };
    for (const Case &test : cases) {
        ZavorPlugin::PDF &s = Session();
        s.effect_typ = start.typ;
        s.effect_mod1 = start.mod1;
        s.effect_mod2 = start.mod2;
        s.Dstyle = start.style;
        EXPECT_EQ(Set(test.name, test.value), 1);
        EXPECT_EQ((State{s.effect_typ, s.effect_mod1, s.effect_mod2, s.Dstyle}), test.expected)
            << test.name << " \"" << test.value << '"';
    }
    Set("EffektTemplate_Bild", " bild.png");
    EXPECT_EQ(Session().effect_typ, 2);
    EXPECT_EQ(Session().modfilename, u" bild.png");
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(VariableCommands, DocumentInformation) {
    Set("Info_Titel", "Titel \xe4");
    Set("info_autor", "Autorin");
    Set("Info_Keywords", "a, b");
    auto &info = Session().document->Info();
    EXPECT_EQ(info.Title(), u"Titel \u00e4");
    EXPECT_EQ(info.Author(), u"Autorin");
    EXPECT_EQ(info.Keywords(), u"a, b");
    EXPECT_EQ(Session().document->PageCount(), 0);
}

}  // namespace
