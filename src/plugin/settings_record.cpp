#include "plugin/settings_record.h"

#include "platform/code_page.h"
#include "plugin/number_text.h"

namespace ZavorPlugin {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789abcdef";

int HexValue(char16_t digit) {
    if (digit >= u'0' && digit <= u'9') return digit - u'0';
    if (digit >= u'a' && digit <= u'f') return digit - u'a' + 10;
    if (digit >= u'A' && digit <= u'F') return digit - u'A' + 10;
    return -1;
}

std::string Quoted(std::u16string_view text) { return "\"" + ZavorPlatform::Utf16ToUtf8(text) + "\""; }

std::u16string DecimalText(std::int32_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string BooleanText(bool value) { return value ? u"true" : u"false"; }

std::u16string AsciiLower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t &character : lower) {
        if (character >= u'A' && character <= u'Z') character = static_cast<char16_t>(character - u'A' + u'a');
    }
    return lower;
}

}  // namespace

// A record character is one byte of the host's record: its code, 0 to 255.
std::u16string StringToHex(std::u16string_view text) {
    std::u16string hex;
    hex.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t character = text[i];
        // A record must keep exactly what was typed; a character without a
        // two-digit code cannot be stored at all.
        if (character > 0xFF) {
            throw RecordEncodingError("Das Zeichen " + Quoted(text.substr(i, 1)) + " kann nicht gespeichert werden.");
        }
        hex.push_back(kHexDigits[character >> 4]);
        hex.push_back(kHexDigits[character & 0x0F]);
    }
    return hex;
}

std::u16string HexToString(std::u16string_view hex) {
    std::u16string text;
    text.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        int high = HexValue(hex[i]);
        int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            throw DamagedRecordError("Ungültiges Zeichenpaar " + Quoted(hex.substr(i, 2)) + " an Stelle " +
                                     std::to_string(i) + " des Befehls.");
        }
        text.push_back(static_cast<char16_t>(high * 16 + low));
    }
    return text;
}

SettingsRecord SettingsRecord::Parse(std::u16string_view xmlText) {
    ZavorPlatform::XmlElement root;
    try {
        root = ZavorPlatform::ParseXml(xmlText);
    } catch (const ZavorPlatform::XmlError &error) {
        throw DamagedRecordError(error.what());
    }
    if (root.name != u"Settings") throw DamagedRecordError("Das Wurzelelement " + Quoted(root.name) + " ist nicht \"Settings\".");
    return SettingsRecord(std::move(root));
}

SettingsRecord SettingsRecord::Decode(std::u16string_view hex) { return Parse(HexToString(hex)); }

std::optional<std::u16string> SettingsRecord::ReadText(std::u16string_view name) const {
    const ZavorPlatform::XmlElement *element = root_.FindChild(name);
    if (element == nullptr) return std::nullopt;
    return element->text;
}

std::u16string SettingsRecord::ReadTextOrEmpty(std::u16string_view name) const {
    return ReadText(name).value_or(std::u16string());
}

std::int32_t SettingsRecord::ReadInteger(std::u16string_view name) const {
    std::optional<std::u16string> text = ReadText(name);
    if (!text) throw DamagedRecordError("Das Element " + Quoted(name) + " fehlt.");
    std::optional<std::int32_t> value = TryParseStrictInteger(*text);
    if (!value) throw DamagedRecordError("Das Element " + Quoted(name) + " enthält keine Zahl: " + Quoted(*text));
    return *value;
}

bool SettingsRecord::ReadBoolean(std::u16string_view name) const {
    std::optional<std::u16string> text = ReadText(name);
    if (!text) throw DamagedRecordError("Das Element " + Quoted(name) + " fehlt.");
    std::u16string value = AsciiLower(TrimWhiteSpace(*text));
    if (value == u"true" || value == u"1") return true;
    if (value == u"false" || value == u"0") return false;
    throw DamagedRecordError("Das Element " + Quoted(name) + " enthält keinen Wahrheitswert: " + Quoted(*text));
}

std::u16string WriteRecordXml(const RecordFields &fields) {
    ZavorPlatform::XmlElement settings{u"Settings", {}, {}};
    settings.AddChild(u"ver", DecimalText(kRecordVersion));
    settings.AddChild(u"Typ", DecimalText(fields.typ));
    switch (fields.typ) {
        case 1:
            settings.AddChild(u"Format", fields.format);
            settings.AddChild(u"Breite", fields.breite);
            settings.AddChild(u"Hoehe", fields.hoehe);
            settings.AddChild(u"Quer", BooleanText(fields.quer));
            break;
        case 2:
            settings.AddChild(u"Alpha", fields.alpha);
            settings.AddChild(u"Rot", fields.rot);
            settings.AddChild(u"Gruen", fields.gruen);
            settings.AddChild(u"Blau", fields.blau);
            settings.AddChild(u"Fuellen", BooleanText(fields.fuellen));
            break;
        case 3:
            settings.AddChild(u"PDFDatei", fields.pdfDatei);
            settings.AddChild(u"PDFstarten", BooleanText(fields.pdfStarten));
            break;
        default:
            break;
    }
    return ZavorPlatform::WriteXml(settings);
}

std::u16string BuildRecord(const RecordFields &fields) { return StringToHex(WriteRecordXml(fields)); }

}  // namespace ZavorPlugin
