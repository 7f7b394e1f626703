// The host's script reader on arbitrary bytes. Contract: for any input the
// parser returns statements or line errors and never crashes; substituting
// host variables into what it read either succeeds or throws
// ScriptRuntimeError. The plug-in is not involved.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/host_variables.h"
#include "host/script_error.h"
#include "host/script_parser.h"

namespace {

void Substitute(const ZavorHost::HostVariables &variables, const ZavorHost::Statement &statement) {
    try {
        variables.Substitute(statement.value);
    } catch (const ZavorHost::ScriptRuntimeError &) {
    }
    if (statement.handler) Substitute(variables, *statement.handler);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string_view text(reinterpret_cast<const char *>(data), size);
    ZavorHost::ParsedScript parsed = ZavorHost::ScriptParser().Parse(std::string(text));
    ZavorHost::HostVariables variables;
    variables.Set("a", "[a][b]");
    variables.Set("b", std::string(text.substr(0, 64)));
    for (const auto &statement : parsed.script.statements) {
        if (statement.kind == ZavorHost::StatementKind::Let) variables.Set(std::string(statement.name), std::string(statement.value));
        Substitute(variables, statement);
    }
    return 0;
}
