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

namespace {

void CheckLength(const std::string &text) {
    if (text.size() > HostVariables::kMaxValueLength) {
        throw ScriptRuntimeError("a substituted text is longer than " +
                                 std::to_string(HostVariables::kMaxValueLength) + " bytes");
    }
}

}  // namespace

std::string HostVariables::Substitute(std::string_view text) const {
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t open = text.find('[', i);
        std::size_t close = open == std::string_view::npos ? open : text.find(']', open + 1);
        if (close == std::string_view::npos) {
            result.append(text.substr(i));
            break;
        }
        // Only the last "[" before the "]" can start a name, so "[[x]]"
        // still finds "[x]"; every byte is looked at a bounded number of times.
        std::size_t inner = text.rfind('[', close);
        result.append(text.substr(i, inner - i));
        std::string_view name = text.substr(inner + 1, close - inner - 1);
        auto found = IsName(name) ? values_.find(name) : values_.end();
        if (found == values_.end()) {
            result.append(text.substr(inner, close - inner + 1));
        } else {
            result += found->second;
        }
        i = close + 1;
        CheckLength(result);
    }
    CheckLength(result);
    return result;
}

}  // namespace ZavorHost
