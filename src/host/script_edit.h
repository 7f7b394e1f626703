// zavor edit: one ZQ-PDF line of a script goes through the plug-in's
// settings editor (QnD_Edit), as a Vornix designer opens a command line, and
// the record the editor hands back is written into the line as Name=value
// pairs. Nothing else of the file changes, not even a byte.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "host/plugin_library.h"
#include "host/script_error.h"

namespace ZavorHost {

// Where the command of one line sits in the script's bytes: from the
// keyword ZQ-PDF to the last non-blank character, so that indentation, an
// "ON Event" in front, trailing blanks and the line end stay as they are.
struct CommandPlace {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string record;  // the hex record the line gives today
};

// Finds the ZQ-PDF command of the 1-based line. On refusal nothing is
// returned and refusal gets the line and the message, or line 0 and a
// message about the whole script ("has 3 lines, no line 7").
std::optional<CommandPlace> FindCommand(std::string_view script, int line, ScriptError &refusal);

// The command text for a record as the editor writes it (its XML as
// character codes 0 to 255): "ZQ-PDF Typ=1 Format=A4 Quer=false". Empty
// text elements are left out, booleans always written. Returns nothing,
// with error set, when no line would give back exactly this record.
std::optional<std::string> CommandForRecord(std::string_view recordCodes, std::string &error);

// Two hex digits per character code, either case; a trailing single digit
// is ignored. Returns nothing for a pair that is not hex.
std::optional<std::string> DecodeHexRecord(std::string_view hex);

// Loads the plug-in once the line is known to be editable; returns nullptr,
// having reported why, when it cannot.
using PluginStarter = std::function<const PluginExports *()>;

// The whole of zavor edit: reads the script, finds the line, starts the
// plug-in, calls QnD_Edit and writes the script back when the record
// changed. Returns the exit status.
int EditScriptLine(const PluginStarter &startPlugin, const std::filesystem::path &script, int line,
                   std::ostream &out, std::ostream &err);

}  // namespace ZavorHost
