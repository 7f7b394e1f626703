#include "plugin/command_execution.h"

#include "platform/message_box.h"

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
    // The actions themselves act on the PDF session.
    record.ReadInteger(u"Typ");
}

}  // namespace ZavorPlugin
