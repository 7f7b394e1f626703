#include "host/host_variables.h"

#include "host/script_error.h"

namespace ZavorHost {

void HostVariables::Set(const std::string &name, std::string value) {
    values_[name] = std::move(value);
}

const std::string *HostVariables::Find(const std::string &name) const {
    auto found = values_.find(name);
    return found == values_.end() ? nullptr : &found->second;
}

bool HostVariables::IsName(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name) {
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_') return false;
    }
    return true;
}

std::string HostVariables::Substitute(std::string_view text) const {
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t open = text.find('[', i);
        if (open == std::string_view::npos) {
            result.append(text.substr(i));
            break;
        }
        result.append(text.substr(i, open - i));
        std::size_t close = text.find(']', open + 1);
        std::string_view name =
            close == std::string_view::npos ? std::string_view{} : text.substr(open + 1, close - open - 1);
        auto found = IsName(name) ? values_.find(name) : values_.end();
        if (found == values_.end()) {
            // Not a reference: keep the bracket and look again right after it,
            // so that "[[x]]" still finds "[x]".
            result += '[';
            i = open + 1;
        } else {
            result += found->second;
            i = close + 1;
        }
        if (result.size() > kMaxValueLength) {
            throw ScriptRuntimeError("a substituted text is longer than " +
                                     std::to_string(kMaxValueLength) + " bytes");
        }
    }
    if (result.size() > kMaxValueLength) {
        throw ScriptRuntimeError("a substituted text is longer than " + std::to_string(kMaxValueLength) +
                                 " bytes");
    }
    return result;
}

}  // namespace ZavorHost
