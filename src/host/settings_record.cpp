#include "host/settings_record.h"

#include "host/ansi_text.h"
#include "platform/code_page.h"

namespace ZavorHost {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The first character of a UTF-8 text whose code is above 255, or empty:
// a record holds one two-digit code per character.
std::string FirstCharacterWithoutRecordCode(std::string_view utf8) {
    std::u16string text = ZavorPlatform::Utf8ToUtf16(utf8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] <= 0xFF) continue;
        std::size_t units = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() ? 2 : 1;
        return ZavorPlatform::Utf16ToUtf8(std::u16string_view(text).substr(i, units));
    }
    return {};
}

// The record's characters as bytes of their codes (all below 256 once checked).
std::string RecordCodes(std::string_view utf8) {
    std::u16string text = ZavorPlatform::Utf8ToUtf16(utf8);
    std::string codes;
    codes.reserve(text.size());
    for (char16_t character : text) codes.push_back(static_cast<char>(character & 0xFF));
    return codes;
}

std::string AllowedNames(int typ) {
    std::string names;
    for (const auto &element : RecordElements(typ)) {
        if (!names.empty()) names += ", ";
        names += element.name;
    }
    return names.empty() ? "none" : names;
}

void AppendEscaped(std::string &out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c;
        }
    }
}

void AppendLine(std::string &out, std::string_view name, std::string_view value) {
    out += "\r\n  <";
    out += name;
    out += '>';
    AppendEscaped(out, value);
    out += "</";
    out += name;
    out += '>';
}

}  // namespace

const std::vector<RecordElement> &RecordElements(int typ) {
    static const std::vector<RecordElement> none;
    static const std::vector<RecordElement> page = {
        {"Format", ElementKind::Text}, {"Breite", ElementKind::Text},
        {"Hoehe", ElementKind::Text}, {"Quer", ElementKind::Boolean}};
    static const std::vector<RecordElement> colour = {
        {"Alpha", ElementKind::Text}, {"Rot", ElementKind::Text}, {"Gruen", ElementKind::Text},
        {"Blau", ElementKind::Text}, {"Fuellen", ElementKind::Boolean}};
    static const std::vector<RecordElement> save = {
        {"PDFDatei", ElementKind::Text}, {"PDFstarten", ElementKind::Boolean}};
    switch (typ) {
        case 1: return page;
        case 2: return colour;
        case 3: return save;
        default: return none;
    }
}

std::string CheckRecordElement(int typ, std::string_view name, std::string &canonicalName,
                               std::string &value) {
    for (const auto &element : RecordElements(typ)) {
        if (!EqualsIgnoringCase(name, element.name)) continue;
        canonicalName = element.name;
        if (element.kind == ElementKind::Boolean) {
            if (EqualsIgnoringCase(value, "true") || value == "1") {
                value = "true";
            } else if (EqualsIgnoringCase(value, "false") || value == "0") {
                value = "false";
            } else {
                return std::string(element.name) + " must be true or false, not \"" + value + "\"";
            }
        }
        for (char c : value) {
            // XML 1.0 has no form for these; the plug-in's parser would reject
            // the whole record as damaged.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                return "the value of " + std::string(element.name) + " holds a control character";
            }
        }
        // The editor refuses such a character rather than store a look-alike;
        // a file name must arrive as it was typed.
        std::string lacking = FirstCharacterWithoutRecordCode(value);
        if (!lacking.empty()) {
            return "the value of " + std::string(element.name) + " holds \"" + lacking +
                   "\", which a settings record cannot hold";
        }
        return {};
    }
    return "Typ " + std::to_string(typ) + " has no element \"" + std::string(name) + "\" (elements: " +
           AllowedNames(typ) + ")";
}

std::string RecordXml(int typ, const std::map<std::string, std::string> &values) {
    std::string xml = "<Settings>";
    AppendLine(xml, "ver", std::to_string(kRecordVersion));
    AppendLine(xml, "Typ", std::to_string(typ));
    for (const auto &element : RecordElements(typ)) {
        auto found = values.find(element.name);
        if (found != values.end()) {
            AppendLine(xml, element.name, found->second);
        } else {
            AppendLine(xml, element.name, element.kind == ElementKind::Boolean ? "false" : "");
        }
    }
    xml += "\r\n</Settings>";
    return xml;
}

std::string HexEncode(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

std::string EncodeRecord(int typ, const std::map<std::string, std::string> &values) {
    return HexEncode(RecordCodes(RecordXml(typ, values)));
}

}  // namespace ZavorHost
