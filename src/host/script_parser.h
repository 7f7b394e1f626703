// Reads the host's script language (UTF-8 text, one statement per line):
//   # comment
//   ZQ-PDF Typ=1 Format=A4 Quer=true       (or: ZQ-PDF hex:3c53...)
//   SET Name = value
//   LET var = value
//   GET var = Name      /  GET var = Name(args)
//   PRINT text
//   ON EventName statement
// Never throws for any input: every fault becomes a ScriptError.
#pragma once

#include <string_view>

#include "host/script.h"

namespace ZavorHost {

class ScriptParser {
public:
    // The script keeps the text: its statements point into it.
    ParsedScript Parse(std::string text);

private:
    // Parses one line's statement (without its leading blanks) into
    // statement; returns the error message or an empty text.
    std::string ParseStatement(std::string_view text, Statement &statement);
    std::string ParsePluginCommand(std::string_view rest, Statement &statement);
    std::string ParseAssignment(std::string_view rest, Statement &statement);
    std::string ParseGet(std::string_view rest, Statement &statement);
    std::string ParseOn(std::string_view rest, Statement &statement);
};

}  // namespace ZavorHost
