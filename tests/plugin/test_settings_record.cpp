#include <gtest/gtest.h>

#include <string>

#include "plugin/settings_record.h"

namespace {

using namespace ZavorPlugin;

// The hex form of an ASCII text, computed independently of the encoder.
std::u16string HexOf(const std::string &text) {
    static const char digits[] = "0123456789abcdef";
    std::u16string hex;
    for (unsigned char byte : text) {
        hex.push_back(static_cast<char16_t>(digits[byte >> 4]));
        hex.push_back(static_cast<char16_t>(digits[byte & 15]));
    }
    return hex;
}

TEST(RecordHex, EncodesTwoLowerCaseDigitsPerCharacter) {
    struct Case {
        std::u16string text;
        std::u16string hex;
    };
    const Case cases[] = {
        {u"", u""},
        {u"<Settings>", u"3c53657474696e67733e"},
        {u"\r\n", u"0d0a"},
        {u"\u0001\u000F\u0010", u"010f10"},
        {u"\u00E4\u00FF\u00DF", u"e4ffdf"},
        {u"\u0080\u0084", u"8084"},  // codes, not code-page characters
    };
    for (const Case &test : cases) {
        EXPECT_EQ(StringToHex(test.text), test.hex);
        EXPECT_EQ(HexToString(test.hex), test.text);
    }
}

TEST(RecordHex, RefusesCharactersTheHostCannotStore) {
    EXPECT_THROW(StringToHex(u"C:\\\u0100.pdf"), RecordEncodingError);
    EXPECT_THROW(StringToHex(u"\U0001F600"), RecordEncodingError);
    EXPECT_THROW(StringToHex(u"\u20AC"), RecordEncodingError);
}

TEST(RecordHex, DecodesLeniently) {
    EXPECT_EQ(HexToString(u"3C3c4A4a"), u"<<JJ");
    EXPECT_EQ(HexToString(u"414"), u"A");
    EXPECT_EQ(HexToString(u"4"), u"");
    EXPECT_EQ(HexToString(u"00"), std::u16string(1, u'\0'));
}

TEST(RecordHex, RefusesPairsThatAreNotHex) {
    for (std::u16string_view hex : {u"zz", u"41g1", u"4 ", u"0x41", u"41\u00E441"}) {
        EXPECT_THROW(HexToString(hex), DamagedRecordError);
    }
}

struct WrittenRecord {
    RecordFields fields;
    std::u16string xml;
};

TEST(RecordWriter, WritesEachTypeExactly) {
    RecordFields page;
    page.typ = 1;
    RecordFields a5 = page;
    a5.format = u"A5";
    a5.breite = u"[B]";
    a5.hoehe = u"200";
    a5.quer = true;
    RecordFields colour;
    colour.typ = 2;
    colour.alpha = u"255";
    colour.rot = u"0";
    colour.gruen = u"128";
    colour.blau = u"0";
    colour.fuellen = true;
    RecordFields save;
    save.typ = 3;
    save.pdfDatei = u"C:\\A & B <neu>\\\u00FCber.pdf";
    RecordFields unknown;
    unknown.typ = 7;
    unknown.format = u"ignored";
    const WrittenRecord cases[] = {
        {RecordFields{}, u"<Settings>\r\n  <ver>100</ver>\r\n  <Typ>0</Typ>\r\n</Settings>"},
        {page,
         u"<Settings>\r\n  <ver>100</ver>\r\n  <Typ>1</Typ>\r\n  <Format></Format>\r\n  <Breite></Breite>\r\n"
         u"  <Hoehe></Hoehe>\r\n  <Quer>false</Quer>\r\n</Settings>"},
        {a5,
         u"<Settings>\r\n  <ver>100</ver>\r\n  <Typ>1</Typ>\r\n  <Format>A5</Format>\r\n  <Breite>[B]</Breite>\r\n"
         u"  <Hoehe>200</Hoehe>\r\n  <Quer>true</Quer>\r\n</Settings>"},
        {colour,
         u"<Settings>\r\n  <ver>100</ver>\r\n  <Typ>2</Typ>\r\n  <Alpha>255</Alpha>\r\n  <Rot>0</Rot>\r\n"
         u"  <Gruen>128</Gruen>\r\n  <Blau>0</Blau>\r\n  <Fuellen>true</Fuellen>\r\n</Settings>"},
        {save,
         u"<Settings>\r\n  <ver>100</ver>\r\n  <Typ>3</Typ>\r\n"
         u"  <PDFDatei>C:\\A &amp; B &lt;neu&gt;\\\u00FCber.pdf</PDFDatei>\r\n  <PDFstarten>false</PDFstarten>\r\n"
         u"</Settings>"},
        {unknown, u"<Settings>\r\n  <ver>100</ver>\r\n  <Typ>7</Typ>\r\n</Settings>"},
    };
    for (const WrittenRecord &test : cases) {
        SCOPED_TRACE(test.fields.typ);
        EXPECT_EQ(WriteRecordXml(test.fields), test.xml);
        EXPECT_EQ(BuildRecord(test.fields), StringToHex(test.xml));
    }
    EXPECT_EQ(BuildRecord(RecordFields{}),
              HexOf("<Settings>\r\n  <ver>100</ver>\r\n  <Typ>0</Typ>\r\n</Settings>"));
}

TEST(RecordWriter, WrittenRecordReadsBack) {
    RecordFields save;
    save.typ = 3;
    save.pdfDatei = u"C:\\A & B <neu>\\\u00FCber \u00A7.pdf";
    save.pdfStarten = true;
    SettingsRecord record = SettingsRecord::Decode(BuildRecord(save));
    EXPECT_EQ(record.ReadInteger(u"ver"), 100);
    EXPECT_EQ(record.ReadInteger(u"Typ"), 3);
    EXPECT_EQ(record.ReadText(u"PDFDatei"), save.pdfDatei);
    EXPECT_TRUE(record.ReadBoolean(u"PDFstarten"));
}

TEST(RecordReader, IgnoresOrderAndTextBetweenChildren) {
    SettingsRecord record = SettingsRecord::Parse(
        u"<Settings>junk<Quer>x</Quer>\n\t<Typ>\r\n 1 </Typ>more<ver>100</ver><Format/><Typ>2</Typ></Settings>");
    EXPECT_EQ(record.ReadInteger(u"ver"), 100);
    EXPECT_EQ(record.ReadInteger(u"Typ"), 1);
    EXPECT_EQ(record.ReadText(u"Format"), u"");
    EXPECT_EQ(record.ReadText(u"Breite"), std::nullopt);
    EXPECT_EQ(record.ReadTextOrEmpty(u"Breite"), u"");
    EXPECT_EQ(record.ReadTextOrEmpty(u"Quer"), u"x");
}

TEST(RecordReader, Integers) {
    struct Case {
        std::u16string content;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {u"100", 100},         {u" \t+7\r\n", 7},  {u"-2147483648", INT32_MIN}, {u"2147483647", INT32_MAX},
        {u"2147483648", {}},   {u"-2147483649", {}}, {u"", {}},                {u"  ", {}},
        {u"1e3", {}},          {u"10 0", {}},      {u"+", {}},                {u"--1", {}},
        {u"0x10", {}},         {u"\u0661", {}},
    };
    for (const Case &test : cases) {
        SettingsRecord record = SettingsRecord::Parse(u"<Settings><ver>" + test.content + u"</ver></Settings>");
        if (test.value) {
            EXPECT_EQ(record.ReadInteger(u"ver"), *test.value);
        } else {
            EXPECT_THROW(record.ReadInteger(u"ver"), DamagedRecordError) << std::string(test.content.begin(), test.content.end());
        }
    }
    EXPECT_THROW(SettingsRecord::Parse(u"<Settings/>").ReadInteger(u"ver"), DamagedRecordError);
}

TEST(RecordReader, Booleans) {
    struct Case {
        std::u16string content;
        std::optional<bool> value;
    };
    const Case cases[] = {
        {u"true", true},  {u" TRUE\r\n", true}, {u"1", true},   {u"false", false}, {u"False ", false},
        {u"0", false},    {u"", {}},            {u"yes", {}},   {u"01", {}},       {u"t rue", {}},
    };
    for (const Case &test : cases) {
        SettingsRecord record = SettingsRecord::Parse(u"<Settings><Fuellen>" + test.content + u"</Fuellen></Settings>");
        if (test.value) {
            EXPECT_EQ(record.ReadBoolean(u"Fuellen"), *test.value);
        } else {
            EXPECT_THROW(record.ReadBoolean(u"Fuellen"), DamagedRecordError);
        }
    }
    EXPECT_THROW(SettingsRecord::Parse(u"<Settings/>").ReadBoolean(u"Fuellen"), DamagedRecordError);
}

TEST(RecordReader, DamagedRecords) {
    for (const std::u16string &hex : {HexOf("<Settings>"), HexOf("<Einstellungen><ver>100</ver></Einstellungen>"),
                                     HexOf("plain text"), std::u16string(u"3c5g")}) {
        EXPECT_THROW(SettingsRecord::Decode(hex), DamagedRecordError);
    }
    // A wrong version is no damage: the caller decides what to make of it.
    EXPECT_EQ(SettingsRecord::Decode(HexOf("<Settings><ver>101</ver></Settings>")).ReadInteger(u"ver"), 101);
}

}  // namespace
