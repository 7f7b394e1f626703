#include "host/script_parser.h"

#include <map>

#include "host/ansi_text.h"
#include "host/host_variables.h"
#include "host/settings_record.h"

namespace ZavorHost {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Splits off the first blank-delimited word; rest keeps its leading blanks.
std::string_view TakeWord(std::string_view &text) {
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    std::string_view word = text.substr(0, end);
    text.remove_prefix(end);
    return word;
}

// text starts with a double quote. Reads up to the closing quote, with \" and
// \\ as escapes; any other backslash stays, so "C:\temp" needs no doubling.
// Returns the error message or an empty text; consumed gets the length read.
std::string ReadQuoted(std::string_view text, std::string &value, std::size_t &consumed) {
    value.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            consumed = i + 1;
            return {};
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
            value += text[++i];
        } else {
            value += c;
        }
    }
    return "the quoted value has no closing double quote";
}

// The value after "=": blanks around it dropped; a value in double quotes is
// taken as quoted (keeping its blanks) and must end the line.
std::string ReadValue(std::string_view text, Statement &statement) {
    text = Trim(text);
    if (text.empty() || text.front() != '"') {
        statement.value = text;
        return {};
    }
    std::string value;
    std::size_t consumed = 0;
    std::string error = ReadQuoted(text, value, consumed);
    if (error.empty() && consumed != text.size()) error = "unexpected text after the closing double quote";
    statement.ownedValue = std::make_unique<const std::string>(std::move(value));
    statement.value = *statement.ownedValue;
    return error;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

struct Pair {
    std::string name;
    std::string value;
};

std::string ReadPairs(std::string_view text, std::vector<Pair> &pairs) {
    while (true) {
        text = TrimLeft(text);
        if (text.empty()) return {};
        std::size_t equals = 0;
        while (equals < text.size() && text[equals] != '=' && !IsBlank(text[equals])) ++equals;
        std::string_view name = text.substr(0, equals);
        if (equals == text.size() || text[equals] != '=' || !HostVariables::IsName(name)) {
            std::string_view rest = text;
            return "ZQ-PDF: expected Name=value, found " + Quoted(TakeWord(rest));
        }
        text.remove_prefix(equals + 1);
        Pair pair{std::string(name), {}};
        if (!text.empty() && text.front() == '"') {
            std::size_t consumed = 0;
            std::string error = ReadQuoted(text, pair.value, consumed);
            if (!error.empty()) return "ZQ-PDF: " + error;
            text.remove_prefix(consumed);
            if (!text.empty() && !IsBlank(text.front())) {
                return "ZQ-PDF: unexpected text after the closing double quote of " + pair.name;
            }
        } else {
            pair.value = TakeWord(text);
        }
        pairs.push_back(std::move(pair));
    }
}

bool IsTyp(std::string_view name) {
    return name.size() == 3 && (name[0] == 'T' || name[0] == 't') && (name[1] == 'Y' || name[1] == 'y') &&
           (name[2] == 'P' || name[2] == 'p');
}

}  // namespace

ParsedScript ScriptParser::Parse(std::string source) {
    ParsedScript parsed;
    parsed.script.text = std::make_shared<const std::string>(std::move(source));
    std::string_view text = *parsed.script.text;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string error;
        if (line.find('\0') != std::string_view::npos) {
            error = "the line holds a NUL byte";
        } else if (!IsValidUtf8(line)) {
            error = "the line is not valid UTF-8";
        }
        line = Trim(line);
        if (error.empty() && (line.empty() || line.front() == '#')) continue;
        Statement statement;
        statement.line = lineNumber;
        if (error.empty()) error = ParseStatement(line, statement);
        if (error.empty()) {
            parsed.script.statements.push_back(std::move(statement));
        } else {
            parsed.errors.push_back({lineNumber, std::move(error)});
        }
    }
    return parsed;
}

std::string ScriptParser::ParseStatement(std::string_view text, Statement &statement) {
    std::string_view rest = text;
    std::string_view keyword = TakeWord(rest);
    if (keyword == "ZQ-PDF") return ParsePluginCommand(rest, statement);
    if (keyword == "SET") {
        statement.kind = StatementKind::Set;
        return ParseAssignment(rest, statement);
    }
    if (keyword == "LET") {
        statement.kind = StatementKind::Let;
        return ParseAssignment(rest, statement);
    }
    if (keyword == "GET") return ParseGet(rest, statement);
    if (keyword == "ON") return ParseOn(rest, statement);
    if (keyword == "PRINT") {
        statement.kind = StatementKind::Print;
        statement.value = Trim(rest);
        return {};
    }
    return "unknown statement " + Quoted(keyword);
}

std::string ScriptParser::ParsePluginCommand(std::string_view rest, Statement &statement) {
    statement.kind = StatementKind::PluginCommand;
    rest = Trim(rest);
    if (rest.substr(0, 4) == "hex:") {
        std::string_view hex = rest.substr(4);
        for (char c : hex) {
            if (!IsHexDigit(c)) return "ZQ-PDF: a stored record holds only hex digits after \"hex:\"";
        }
        statement.record = hex;
        return {};
    }
    std::vector<Pair> pairs;
    std::string error = ReadPairs(rest, pairs);
    if (!error.empty()) return error;

    int typ = -1;
    for (const auto &pair : pairs) {
        if (!IsTyp(pair.name)) continue;
        if (typ != -1) return "ZQ-PDF: Typ is given twice";
        if (pair.value.size() != 1 || pair.value[0] < '0' || pair.value[0] > '0' + kHighestTyp) {
            return "ZQ-PDF: Typ must be 0, 1, 2 or 3, not " + Quoted(pair.value);
        }
        typ = pair.value[0] - '0';
    }
    if (typ == -1) return "ZQ-PDF: Typ is missing";

    std::map<std::string, std::string> values;
    for (auto &pair : pairs) {
        if (IsTyp(pair.name)) continue;
        std::string canonical;
        error = CheckRecordElement(typ, pair.name, canonical, pair.value);
        if (!error.empty()) return "ZQ-PDF: " + error;
        if (!values.emplace(canonical, pair.value).second) return "ZQ-PDF: " + canonical + " is given twice";
    }
    statement.record = EncodeRecord(typ, values);
    return {};
}

std::string ScriptParser::ParseAssignment(std::string_view rest, Statement &statement) {
    const bool set = statement.kind == StatementKind::Set;
    rest = TrimLeft(rest);
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != '=' && !IsBlank(rest[end])) ++end;
    std::string_view name = rest.substr(0, end);
    rest = TrimLeft(rest.substr(end));
    if (name.empty() || rest.empty() || rest.front() != '=') {
        return set ? "SET: expected Name = value" : "LET: expected variable = value";
    }
    if (!HostVariables::IsName(name)) {
        return std::string(set ? "SET: " : "LET: ") + Quoted(name) + " is not a valid name";
    }
    statement.name = name;
    std::string error = ReadValue(rest.substr(1), statement);
    if (!error.empty()) return std::string(set ? "SET: " : "LET: ") + error;
    return {};
}

std::string ScriptParser::ParseGet(std::string_view rest, Statement &statement) {
    statement.kind = StatementKind::Get;
    static const std::string usage = "GET: expected variable = Name or variable = Name(arguments)";
    rest = TrimLeft(rest);
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != '=' && !IsBlank(rest[end])) ++end;
    std::string_view target = rest.substr(0, end);
    rest = TrimLeft(rest.substr(end));
    if (target.empty() || rest.empty() || rest.front() != '=') return usage;
    if (!HostVariables::IsName(target)) return "GET: " + Quoted(target) + " is not a valid name";
    rest = Trim(rest.substr(1));
    std::size_t open = rest.find('(');
    std::string_view source = Trim(rest.substr(0, open));
    if (!HostVariables::IsName(source)) return usage;
    if (open != std::string_view::npos) {
        if (rest.back() != ')') return "GET: the arguments must end the line with \")\"";
        statement.value = rest.substr(open + 1, rest.size() - open - 2);
        statement.hasArguments = true;
    }
    statement.name = target;
    statement.source = source;
    return {};
}

std::string ScriptParser::ParseOn(std::string_view rest, Statement &statement) {
    statement.kind = StatementKind::On;
    rest = TrimLeft(rest);
    std::string_view event = TakeWord(rest);
    rest = Trim(rest);
    if (!HostVariables::IsName(event) || rest.empty()) return "ON: expected an event name and a statement";
    std::string_view handlerText = rest;
    if (TakeWord(handlerText) == "ON") return "ON: the statement of a handler cannot be another ON";
    auto handler = std::make_unique<Statement>();
    handler->line = statement.line;
    std::string error = ParseStatement(rest, *handler);
    if (!error.empty()) return error;
    statement.name = event;
    statement.handler = std::move(handler);
    return {};
}

}  // namespace ZavorHost
