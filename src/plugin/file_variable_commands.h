// The variables for passwords, external PDF files, bookmarks, links,
// pictures and notes. They belong to the same three groups as the drawing
// variables; the variable layer asks at each group whether a name is one of
// these.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlugin {

enum class VariableGroup {
    Unguarded,      // no catch-all, no implicit first page
    Guarded,        // catch-all, no implicit first page
    AfterFirstPage  // catch-all, after the implicit first page
};

// Performs the variable when its name belongs to the group and returns true;
// returns false for every other name. Failures propagate to the group's
// handling: a missing field or a page number that is not an integer throws
// std::invalid_argument with a message for the user.
bool TrySetFileVariable(VariableGroup group, std::u16string_view name, std::u16string_view value);

// Variable names match whole and ignoring the case of A-Z only, whatever the
// process locale says.
bool SameVariableName(std::u16string_view a, std::u16string_view b);

// The value split at every ";"; empty fields are kept, so n separators give
// n + 1 fields.
std::vector<std::u16string> SplitFields(std::u16string_view value);

}  // namespace ZavorPlugin
