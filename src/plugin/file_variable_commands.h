// The variables for passwords, external PDF files, bookmarks, links,
// pictures and notes. They belong to the same three groups as the drawing
// variables; the variable layer asks at each group whether a name is one of
// these.
#pragma once

#include <string_view>

namespace ZavorPlugin {

enum class VariableGroup {
    Unguarded,      // no catch-all, no implicit first page
    Guarded,        // catch-all, no implicit first page
    AfterFirstPage  // catch-all, after the implicit first page
};

// Performs the variable when its name belongs to the group and returns true;
// returns false for every other name. Failures propagate to the group's
// handling.
bool TrySetFileVariable(VariableGroup group, std::u16string_view name, std::u16string_view value);

}  // namespace ZavorPlugin
