// The settings editor's window as a layout text (GtkBuilder XML) with its
// style sheet, both compiled into the plug-in.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace ZavorPlugin {

// One entry of a drop-down list: the identifier the record stores and the
// caption the user sees (UTF-8).
struct EditorListEntry {
    std::string_view id;
    std::string_view caption;
};

// cb_aktion: the entry index is the record's Typ.
std::span<const EditorListEntry> ActionEntries();
// cb_vorlage: the page-size names that the session understands.
std::span<const EditorListEntry> PageTemplateEntries();

// Style classes of the main panel's background and of the credits text.
inline constexpr std::string_view kRotatingBackground = "hintergrund-drehend";
inline constexpr std::string_view kBlackBackground = "hintergrund-schwarz";
inline constexpr std::string_view kCreditsRolling = "abspann-laeuft";

std::string EditorLayout();
std::string_view EditorCss();

}  // namespace ZavorPlugin
