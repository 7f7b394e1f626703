#include "plugin/command_execution.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "pdf/pdf_page.h"
#include "platform/file_launcher.h"
#include "platform/message_box.h"
#include "plugin/host_callback.h"
#include "plugin/number_text.h"
#include "session/pdf.h"

namespace ZavorPlugin {
namespace {

using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::ShowMessageBox;

ExecutionOutcome CheckAndRun(std::u16string_view hexRecord) {
    SettingsRecord record = SettingsRecord::Decode(hexRecord);
    if (record.ReadInteger(u"ver") != kRecordVersion) {
        ShowMessageBox(u"PROBLEM: Plugin veraltet, bitte neuste Version benutzen!", u"ZAVOR", MessageBoxIcon::Error);
        return ExecutionOutcome::WrongVersion;
    }
    RunCommand(record);
    return ExecutionOutcome::Executed;
}

// A field's stored text with the host's variables substituted. The host may
// run script code meanwhile (a new document, any variable): commands read
// all their fields first and fetch the session only afterwards.
std::u16string Resolved(const SettingsRecord &record, std::u16string_view name) {
    return ResolveQNVar(record.ReadTextOrEmpty(name));
}

std::int32_t ParseNumber(const std::u16string &text) {
    std::optional<std::int32_t> value = TryParseStrictInteger(text);
    if (!value) throw std::invalid_argument("not a whole number");
    return *value;
}

void AddPageCommand(const SettingsRecord &record) {
    std::u16string width = Resolved(record, u"Breite");
    std::u16string height = Resolved(record, u"Hoehe");
    std::u16string storedFormat = record.ReadTextOrEmpty(u"Format");
    std::optional<std::u16string> format;
    if (!storedFormat.empty()) format = ResolveQNVar(storedFormat);
    bool landscape = record.ReadTextOrEmpty(u"Quer") == u"true";

    if (!PDF::HasInstance()) return;  // the host stopped the plug-in meanwhile
    PDF &session = PDF::GetInstance();
    // A size that cannot be read makes the page A4, whatever was set. Most
    // scripts give none: the parse says so without an exception per page.
    bool sized = false;
    try {
        if (std::optional<std::int32_t> parsedWidth = TryParseStrictInteger(width)) {
            session.vpage->SetWidth(*parsedWidth);
            if (std::optional<std::int32_t> parsedHeight = TryParseStrictInteger(height)) {
                session.vpage->SetHeight(*parsedHeight);
                sized = true;
            }
        }
    } catch (...) {
        // Setting failed: as unreadable.
    }
    if (!sized) session.GetConst(u"A4", 0);
    if (format) session.GetConst(*format, 0);
    session.vpage->SetOrientation(landscape ? ZavorPdf::Pdf::PageOrientation::Landscape
                                            : ZavorPdf::Pdf::PageOrientation::Portrait);
    session.AddPage();
}

void ColourCommand(const SettingsRecord &record) {
    std::int32_t alpha = 255, red = 250, green = 150, blue = 150;
    try {
        std::int32_t readAlpha = ParseNumber(Resolved(record, u"Alpha"));
        std::int32_t readRed = ParseNumber(Resolved(record, u"Rot"));
        std::int32_t readGreen = ParseNumber(Resolved(record, u"Gruen"));
        std::int32_t readBlue = ParseNumber(Resolved(record, u"Blau"));
        alpha = readAlpha;
        red = readRed;
        green = readGreen;
        blue = readBlue;
    } catch (...) {
        // Any unreadable component gives the whole fallback colour.
    }
    if (!PDF::HasInstance()) return;  // the host stopped the plug-in meanwhile
    PDF &session = PDF::GetInstance();
    session.ColA = alpha;
    session.ColR = red;
    session.ColG = green;
    session.ColB = blue;
    session.brushme = record.ReadBoolean(u"Fuellen");
    session.MkColor();
}

void SaveCommand(const SettingsRecord &record) {
    std::u16string stored = record.ReadTextOrEmpty(u"PDFDatei");
    std::u16string path = ResolveQNVar(stored);
    if (!PDF::HasInstance()) return;
    PDF::GetInstance().SavePDF(path);
    // The viewer is asked for also after a failed save: an older file of
    // that name may still be there.
    if (!record.ReadBoolean(u"PDFstarten")) return;
    if (ZavorPlatform::OpenWithAssociatedProgram(path)) return;
    std::u16string message = ResolveQNVar(u"Konnte \"" + stored + u"\" nicht starten.");
    if (!PDF::HasInstance()) return;
    PDF::GetInstance().ReportFailure(std::move(message), PDF::kFileFailureEvent);
}

}  // namespace

ExecutionOutcome ExecuteCommandRecord(std::u16string_view hexRecord) noexcept {
    if (hexRecord.empty()) {
        ShowMessageBox(u"Auswertung des ZQ-PDF Befehls fehlgeschlagen/Befehl nicht definiert (veraltetes Plugin?)",
                       u"ZAVOR", MessageBoxIcon::Warning);
        return ExecutionOutcome::EmptyRecord;
    }
    try {
        return CheckAndRun(hexRecord);
    } catch (...) {
        // Whatever failed, the user can only write the command anew.
        ShowMessageBox(u"KRITISCH: Daten wurden besch\u00e4digt, der Befehl muss erneut erstellt werden",
                       u" ZAVOR Plugin - Daten zerst\u00f6rt!", MessageBoxIcon::Error);
        return ExecutionOutcome::Damaged;
    }
}

bool MakesValid(ExecutionOutcome outcome) {
    return outcome == ExecutionOutcome::Executed || outcome == ExecutionOutcome::Damaged;
}

void RunCommand(const SettingsRecord &record) {
    // Every record names its action; one without a readable Typ is damaged.
    std::int32_t typ = record.ReadInteger(u"Typ");
    // There is a session before any field is substituted: one that is gone
    // afterwards was stopped by the host, and the command then does nothing.
    PDF::GetInstance();
    switch (typ) {
    case 0:
        PDF::Kill();
        PDF::GetInstance();
        break;
    case 1: AddPageCommand(record); break;
    case 2: ColourCommand(record); break;
    case 3: SaveCommand(record); break;
    default: break;
    }
}

}  // namespace ZavorPlugin
