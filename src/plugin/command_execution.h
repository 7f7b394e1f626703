// Running one plug-in command line: checking its settings record, with the
// message boxes the user sees for a bad record, and handing it to the
// command's action.
#pragma once

#include <string_view>

#include "plugin/settings_record.h"

namespace ZavorPlugin {

enum class ExecutionOutcome {
    EmptyRecord,   // nothing to run; the plug-in stays as it was
    WrongVersion,  // written by another plug-in version; nothing run
    Executed,      // the action ran (a Typ outside 0..3 runs nothing)
    Damaged,       // the record or its action failed; counts as executed
};

// Decodes and checks the record, shows the message box that belongs to an
// empty, outdated or damaged record and runs the action. Never throws.
ExecutionOutcome ExecuteCommandRecord(std::u16string_view hexRecord) noexcept;

// Whether the outcome switches the plug-in into the initialised state.
bool MakesValid(ExecutionOutcome outcome);

// The action of a checked record (its "ver" is 100). A failure propagates
// and makes the record count as damaged.
void RunCommand(const SettingsRecord &record);

}  // namespace ZavorPlugin
