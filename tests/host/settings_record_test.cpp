// The records the host builds from ZQ-PDF lines, byte for byte.
#include <gtest/gtest.h>

#include "host/script_parser.h"
#include "host/settings_record.h"

namespace ZavorHost {
namespace {

std::string Unhex(const std::string &hex) {
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return text;
}

std::string RecordOf(const std::string &line) {
    ParsedScript parsed = ScriptParser().Parse(line);
    EXPECT_TRUE(parsed.errors.empty()) << line << ": " << (parsed.errors.empty() ? "" : parsed.errors[0].message);
    if (parsed.script.statements.size() != 1) return {};
    return parsed.script.statements[0].record;
}

struct RecordCase {
    const char *line;
    const char *xml;  // one byte per character code
};

TEST(SettingsRecord, LinesBecomeTheEditorsRecordByteForByte) {
    const RecordCase cases[] = {
        {"ZQ-PDF Typ=0", "<Settings>\r\n  <ver>100</ver>\r\n  <Typ>0</Typ>\r\n</Settings>"},
        {"ZQ-PDF Typ=1",
         "<Settings>\r\n  <ver>100</ver>\r\n  <Typ>1</Typ>\r\n  <Format></Format>\r\n  <Breite></Breite>\r\n"
         "  <Hoehe></Hoehe>\r\n  <Quer>false</Quer>\r\n</Settings>"},
        {"ZQ-PDF Quer=1 Format=A4 Typ=1",
         "<Settings>\r\n  <ver>100</ver>\r\n  <Typ>1</Typ>\r\n  <Format>A4</Format>\r\n  <Breite></Breite>\r\n"
         "  <Hoehe></Hoehe>\r\n  <Quer>true</Quer>\r\n</Settings>"},
        {"ZQ-PDF Typ=2 alpha=255 Rot=[r] Fuellen=TRUE Blau=\"a&b<c>\"",
         "<Settings>\r\n  <ver>100</ver>\r\n  <Typ>2</Typ>\r\n  <Alpha>255</Alpha>\r\n  <Rot>[r]</Rot>\r\n"
         "  <Gruen></Gruen>\r\n  <Blau>a&amp;b&lt;c&gt;</Blau>\r\n  <Fuellen>true</Fuellen>\r\n</Settings>"},
        {"ZQ-PDF Typ=3 PDFDatei=\"C:\\Gr\xC3\xBC\xC3\x9F\xC3\xA9 \\\"x\\\" \\\\ \xC2\xA7.pdf\" PDFstarten=0",
         "<Settings>\r\n  <ver>100</ver>\r\n  <Typ>3</Typ>\r\n"
         "  <PDFDatei>C:\\Gr\xFC\xDF\xE9 \"x\" \\ \xA7.pdf</PDFDatei>\r\n  <PDFstarten>false</PDFstarten>\r\n</Settings>"},
    };
    for (const auto &c : cases) {
        std::string hex = RecordOf(c.line);
        EXPECT_EQ(Unhex(hex), c.xml) << c.line;
        EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos) << c.line;
    }
}

TEST(SettingsRecord, HexIsTwoLowercaseDigitsPerByte) {
    EXPECT_EQ(HexEncode(std::string("<\r\n\x01\xff\x80", 6)), "3c0d0a01ff80");
    EXPECT_EQ(HexEncode(""), "");
    EXPECT_EQ(RecordOf("ZQ-PDF Typ=0"),
              "3c53657474696e67733e0d0a20203c7665723e3130303c2f7665723e0d0a20203c5479703e303c2f5479703e0d0a3c2f"
              "53657474696e67733e");
}

TEST(SettingsRecord, StoredRecordPassesUnchanged) {
    EXPECT_EQ(RecordOf("ZQ-PDF hex:3C53aB"), "3C53aB");
    EXPECT_EQ(RecordOf("ZQ-PDF hex:"), "");
    EXPECT_EQ(RecordOf("ZQ-PDF hex:abc"), "abc");
}

TEST(SettingsRecord, ElementChecks) {
    std::string canonical, value = "ja";
    EXPECT_EQ(CheckRecordElement(2, "fuellen", canonical, value), "Fuellen must be true or false, not \"ja\"");
    value = "x";
    EXPECT_EQ(CheckRecordElement(0, "Format", canonical, value), "Typ 0 has no element \"Format\" (elements: none)");
    EXPECT_EQ(CheckRecordElement(3, "Quer", canonical, value),
              "Typ 3 has no element \"Quer\" (elements: PDFDatei, PDFstarten)");
    value = "a\x01";
    EXPECT_EQ(CheckRecordElement(1, "format", canonical, value), "the value of Format holds a control character");
    value = "a\xE2\x82\xAC" "b";
    EXPECT_EQ(CheckRecordElement(3, "PDFDatei", canonical, value),
              "the value of PDFDatei holds \"\xE2\x82\xAC\", which a settings record cannot hold");
    value = "\xC3\xA4\xF0\x9F\x98\x80";
    EXPECT_EQ(CheckRecordElement(2, "Rot", canonical, value),
              "the value of Rot holds \"\xF0\x9F\x98\x80\", which a settings record cannot hold");
    value = "a\tb";
    EXPECT_EQ(CheckRecordElement(1, "FORMAT", canonical, value), "");
    EXPECT_EQ(canonical, "Format");
}

}  // namespace
}  // namespace ZavorHost
