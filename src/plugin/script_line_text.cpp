#include "plugin/script_line_text.h"

#include <optional>
#include <string>

#include "plugin/ansi_text.h"
#include "plugin/settings_record.h"

namespace ZavorPlugin {

namespace {

constexpr std::u16string_view kNewDocument = u"Neue PDF erstellen";
constexpr std::u16string_view kOutdated = u"PROBLEM: Plugin veraktet, bitte neuste Version benutzen!";
constexpr std::u16string_view kProblem =
    u">>>Problem: Hier k\u00f6nnte Ihre Werbung stehen, leider ist es dieser Fehler: Bitte Pluginversion "
    u"pr\u00fcfen!<<<";

struct ShowLine {
    std::u16string main;
    std::optional<std::u16string> sub;  // nothing: the sub text stays as the host left it
};

std::optional<std::u16string> PageDetails(const SettingsRecord &record) {
    if (record.ReadTextOrEmpty(u"Format").empty()) return std::nullopt;
    // Only the exact text the editor writes counts as landscape here.
    if (record.ReadText(u"Quer") == std::u16string(u"true")) return u"mit Seitenvorlage, Querformat";
    return u"mit Seitenvorlage";
}

std::u16string ColourDetails(const SettingsRecord &record) {
    std::u16string text = u"Alpha: ";
    text += record.ReadTextOrEmpty(u"Alpha");
    text += u", Rot: ";
    text += record.ReadTextOrEmpty(u"Rot");
    text += u", Gr\u00fcn: ";
    text += record.ReadTextOrEmpty(u"Gruen");
    text += u", Blau: ";
    text += record.ReadTextOrEmpty(u"Blau");
    if (record.ReadBoolean(u"Fuellen")) text += u", Objekte f\u00fcllen";
    return text;
}

std::u16string SaveDetails(const SettingsRecord &record) {
    std::u16string text = u"Ziel: ";
    text += record.ReadTextOrEmpty(u"PDFDatei");
    if (record.ReadBoolean(u"PDFstarten")) text += u", PDF nach Speichern anzeigen";
    return text;
}

// Both texts are composed before anything is written, so that a record
// failing half-way leaves the sub text untouched.
ShowLine ComposeShowLine(const SettingsRecord &record) {
    if (record.ReadInteger(u"ver") != kRecordVersion) return {std::u16string(kOutdated), std::nullopt};
    switch (record.ReadInteger(u"Typ")) {
    case 1:
        return {u"Neue Seite erstellen", PageDetails(record)};
    case 2:
        return {u"Zeichenfarbe festlegen", ColourDetails(record)};
    case 3:
        return {u"PDF speichern", SaveDetails(record)};
    default:
        return {std::u16string(kNewDocument), std::nullopt};
    }
}

}  // namespace

void WriteShowLine(std::u16string_view hexRecord, char *mainText, char *subText) noexcept {
    try {
        if (hexRecord.empty()) {
            WriteAnsi(mainText, kNewDocument);
            return;
        }
        ShowLine line = ComposeShowLine(SettingsRecord::Decode(hexRecord));
        WriteAnsi(mainText, line.main);
        if (line.sub) WriteAnsi(subText, *line.sub);
    } catch (...) {
        try {
            WriteAnsi(mainText, kProblem);
        } catch (...) {
            // Not even the fixed text could be converted; the host keeps its buffer.
        }
    }
}

}  // namespace ZavorPlugin
