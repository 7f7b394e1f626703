#include "host/script_edit.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <system_error>
#include <vector>

#include "host/host_commands.h"
#include "host/path_text.h"
#include "host/script_parser.h"
#include "host/settings_record.h"
#include "platform/code_page.h"
#include "platform/xml_document.h"

namespace ZavorHost {
namespace {

constexpr std::string_view kKeyword = "ZQ-PDF";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// QnD_Edit gets no buffer size; a record is a few hundred bytes, and even a
// long file name leaves it far below this.
constexpr std::size_t kEditBufferSize = 128 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    return at;
}

std::size_t SkipWord(std::string_view text, std::size_t at) {
    while (at < text.size() && !IsBlank(text[at])) ++at;
    return at;
}

std::string Describe(const Statement &statement) {
    switch (statement.kind) {
        case StatementKind::Set: return "a SET statement";
        case StatementKind::Let: return "a LET statement";
        case StatementKind::Get: return "a GET statement";
        case StatementKind::Print: return "a PRINT statement";
        case StatementKind::On:
            return statement.handler ? "an ON handler with " + Describe(*statement.handler) : "an ON handler";
        case StatementKind::PluginCommand: break;
    }
    return "a ZQ-PDF command";
}

const Statement *FindStatement(const Script &script, int line) {
    for (const Statement &statement : script.statements) {
        if (statement.line == line) return &statement;
    }
    return nullptr;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::u16string Trimmed(std::u16string_view text) {
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::u16string(text);
}

std::u16string LowerAscii(std::u16string text) {
    for (char16_t &c : text) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return text;
}

// A value as the script reader takes it back: bare when it is one word that
// does not start with a double quote, otherwise quoted, with a backslash
// doubled only where the reader would take it for an escape.
std::string ScriptValue(std::string_view value) {
    bool bare = !value.empty() && value.front() != '"' && value.find_first_of(" \t") == std::string_view::npos;
    if (bare) return std::string(value);
    std::string quoted = "\"";
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        bool escapeNext = i + 1 == value.size() || value[i + 1] == '"' || value[i + 1] == '\\';
        if (c == '"') {
            quoted += "\\\"";
        } else if (c == '\\' && escapeNext) {
            quoted += "\\\\";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

// One element of the editor's record as a Name=value pair, or an empty text
// for a text element left empty.
std::optional<std::string> Pair(const RecordElement &element, const ZavorPlatform::XmlElement *found,
                                std::string &error) {
    std::u16string text = found != nullptr ? found->text : std::u16string();
    if (element.kind == ElementKind::Boolean) {
        std::u16string flag = LowerAscii(Trimmed(text));
        if (flag == u"true" || flag == u"1") return std::string(element.name) + "=true";
        if (flag == u"false" || flag == u"0") return std::string(element.name) + "=false";
        error = std::string("the record's ") + element.name + " is neither true nor false";
        return std::nullopt;
    }
    if (text.empty()) return std::string();
    for (char16_t c : text) {
        if (c < 0x20 && c != u'\t') {
            error = std::string("the record's ") + element.name +
                    " holds a control character, which a script line cannot hold";
            return std::nullopt;
        }
    }
    return std::string(element.name) + "=" + ScriptValue(ZavorPlatform::Utf16ToUtf8(text));
}

std::string ReadAll(std::ifstream &in) {
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Through a file of its own next to the script, renamed over it, so that a
// failing write leaves the old script whole. A symbolic link stays a link.
bool WriteScript(const std::filesystem::path &script, std::string_view bytes, std::string &error) {
    std::error_code code;
    std::filesystem::path target = script;
    if (std::filesystem::is_symlink(script, code)) target = std::filesystem::canonical(script, code);
    if (code) {
        error = code.message();
        return false;
    }
    std::filesystem::path temporary = target;
    temporary += ".zavor-edit~";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(temporary, code);
            error = "cannot write " + PathToUtf8(temporary);
            return false;
        }
    }
    std::filesystem::perms perms = std::filesystem::status(target, code).permissions();
    if (!code) std::filesystem::permissions(temporary, perms, code);
    std::filesystem::rename(temporary, target, code);
    if (code) {
        error = code.message();
        std::filesystem::remove(temporary, code);
        return false;
    }
    return true;
}

}  // namespace

std::optional<CommandPlace> FindCommand(std::string_view script, int line, ScriptError &refusal) {
    refusal = {line, {}};
    std::string &error = refusal.message;
    // Lines are counted as the script reader counts them: after a leading
    // byte order mark, split at line feeds, a last line without one counted.
    std::size_t start = script.substr(0, kByteOrderMark.size()) == kByteOrderMark ? kByteOrderMark.size() : 0;
    int number = 0;
    std::size_t lineStart = start;
    std::size_t lineEnd = start;
    for (std::size_t at = start; at < script.size() && number < line; ++number) {
        std::size_t feed = script.find('\n', at);
        lineStart = at;
        lineEnd = feed == std::string_view::npos ? script.size() : feed;
        at = feed == std::string_view::npos ? script.size() : feed + 1;
    }
    if (line < 1 || number < line) {
        refusal.line = 0;
        error =
            "has " + std::to_string(number) + (number == 1 ? " line" : " lines") + ", no line " + std::to_string(line);
        return std::nullopt;
    }
    ParsedScript parsed = ScriptParser().Parse(std::string(script));
    for (const ScriptError &fault : parsed.errors) {
        if (fault.line == line) {
            error = fault.message;
            return std::nullopt;
        }
    }
    const Statement *statement = FindStatement(parsed.script, line);
    if (statement != nullptr && statement->kind == StatementKind::On && statement->handler &&
        statement->handler->kind == StatementKind::PluginCommand) {
        statement = statement->handler.get();
    }
    if (statement == nullptr || statement->kind != StatementKind::PluginCommand) {
        std::string_view text = script.substr(lineStart, lineEnd - lineStart);
        std::size_t first = SkipBlanks(text, 0);
        std::string what = statement != nullptr                         ? Describe(*statement)
                           : first == text.size() || text[first] == '\r' ? "a blank line"
                                                                          : "a comment";
        error = "only a ZQ-PDF command can be edited, this line is " + what;
        return std::nullopt;
    }
    std::string_view text = script.substr(lineStart, lineEnd - lineStart);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    std::size_t begin = SkipBlanks(text, 0);
    if (text.substr(begin, SkipWord(text, begin) - begin) == "ON") {
        begin = SkipBlanks(text, SkipWord(text, SkipBlanks(text, SkipWord(text, begin))));
    }
    std::size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) --end;
    if (text.substr(begin, kKeyword.size()) != kKeyword) {
        error = "the ZQ-PDF command cannot be found in the line";
        return std::nullopt;
    }
    return CommandPlace{lineStart + begin, lineStart + end, statement->record};
}

std::optional<std::string> DecodeHexRecord(std::string_view hex) {
    std::string codes;
    codes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        int high = HexValue(hex[i]);
        int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        codes.push_back(static_cast<char>(high * 16 + low));
    }
    return codes;
}

std::optional<std::string> CommandForRecord(std::string_view recordCodes, std::string &error) {
    std::u16string text;
    for (char code : recordCodes) text.push_back(static_cast<unsigned char>(code));
    ZavorPlatform::XmlElement root;
    try {
        root = ZavorPlatform::ParseXml(text);
    } catch (const ZavorPlatform::XmlError &fault) {
        error = std::string("the record is not readable: ") + fault.what();
        return std::nullopt;
    }
    const ZavorPlatform::XmlElement *version = root.FindChild(u"ver");
    const ZavorPlatform::XmlElement *typ = root.FindChild(u"Typ");
    std::u16string typText = typ != nullptr ? Trimmed(typ->text) : std::u16string();
    if (root.name != u"Settings" || version == nullptr || Trimmed(version->text) != u"100" || typText.size() != 1 ||
        typText[0] < u'0' || typText[0] > u'0' + kHighestTyp) {
        error = "the record is not one of version 100 with a Typ from 0 to 3";
        return std::nullopt;
    }
    int typNumber = typText[0] - u'0';
    std::string command = std::string(kKeyword) + " Typ=" + std::to_string(typNumber);
    for (const RecordElement &element : RecordElements(typNumber)) {
        std::optional<std::string> pair =
            Pair(element, root.FindChild(ZavorPlatform::Utf8ToUtf16(element.name)), error);
        if (!pair) return std::nullopt;
        if (!pair->empty()) command += " " + *pair;
    }
    // The line must give back exactly the record the editor wrote; one with
    // elements of its own or in another order cannot be said as pairs.
    ParsedScript parsed = ScriptParser().Parse(command);
    std::optional<std::string> again;
    if (parsed.errors.empty() && parsed.script.statements.size() == 1) {
        again = DecodeHexRecord(parsed.script.statements[0].record);
    }
    if (!again || *again != recordCodes) {
        error = "the record cannot be written as Name=value pairs";
        return std::nullopt;
    }
    return command;
}

int EditScriptLine(const PluginStarter &startPlugin, const std::filesystem::path &script, int line,
                   std::ostream &out, std::ostream &err) {
    std::ifstream in(script, std::ios::binary);
    if (!in) {
        err << "zavor: cannot read the script " << PathToUtf8(script) << '\n';
        return kExitScriptError;
    }
    std::string text = ReadAll(in);
    in.close();
    std::string where = PathToUtf8(script) + ":" + std::to_string(line) + ": ";
    ScriptError refusal;
    std::optional<CommandPlace> place = FindCommand(text, line, refusal);
    if (!place) {
        err << "zavor: " << (refusal.line == 0 ? PathToUtf8(script) + " " : where) << refusal.message << '\n';
        return kExitScriptError;
    }
    std::string error;
    const PluginExports *exports = startPlugin();
    if (exports == nullptr) return kExitLoadFailure;

    std::vector<char> answer(std::max(kEditBufferSize, place->record.size() * 2 + 1), '\0');
    exports->Edit(place->record.c_str(), answer.data());
    answer.back() = '\0';
    std::optional<std::string> before = DecodeHexRecord(place->record);
    std::optional<std::string> after = DecodeHexRecord(answer.data());
    if (!after) {
        err << "zavor: " << where << "the plug-in answered with a record that is not hex; the script is unchanged\n";
        return kExitScriptError;
    }
    // Abbruch hands the old record back; so does O.K. without a change.
    // Either way the file keeps its bytes and its time stamp.
    if (before == after) {
        out << where << "unchanged\n";
        return kExitSuccess;
    }
    std::optional<std::string> command = CommandForRecord(*after, error);
    if (!command) {
        err << "zavor: " << where << error << "; the script is unchanged\n";
        return kExitScriptError;
    }
    std::string edited = text.substr(0, place->begin) + *command + text.substr(place->end);
    if (!WriteScript(script, edited, error)) {
        err << "zavor: cannot write the script " << PathToUtf8(script) << ": " << error << '\n';
        return kExitScriptNotWritten;
    }
    out << where << *command << '\n';
    return kExitSuccess;
}

}  // namespace ZavorHost
