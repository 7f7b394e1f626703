// The host's own script variables (LET, GET, -D) and their substitution
// into texts: "[name]" becomes the variable's value.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace ZavorHost {

class HostVariables {
public:
    // Doubling a variable into itself on every line would otherwise eat the
    // machine's memory within a few dozen lines.
    static constexpr std::size_t kMaxValueLength = 16 * 1024 * 1024;

    void Set(const std::string &name, std::string value);
    const std::string *Find(const std::string &name) const;

    // Replaces every "[name]" whose name is a defined variable; an unknown
    // "[name]" stays as written. Inserted values are not scanned again, so
    // a value holding "[x]" cannot recurse. Throws ScriptRuntimeError when
    // the result would exceed kMaxValueLength.
    std::string Substitute(std::string_view text) const;

    // Letters, digits and "_", not starting with a digit.
    static bool IsName(std::string_view name);

private:
    std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace ZavorHost
