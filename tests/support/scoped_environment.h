// An environment variable set or cleared for the lifetime of the object, so
// that a test of locale-dependent behaviour leaves the process as it was.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace ZavorTest {

// Sets the variable, or removes it for a null value. Windows' runtime has
// neither setenv nor unsetenv; "NAME=" removes there.
inline void SetEnvironment(const char *name, const char *value) {
#if defined(_WIN32)
    _putenv((std::string(name) + "=" + (value != nullptr ? value : "")).c_str());
#else
    if (value != nullptr)
        setenv(name, value, 1);
    else
        unsetenv(name);
#endif
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const char *value) : name_(name) {
        if (const char *old = std::getenv(name))
            old_ = old;
        SetEnvironment(name, value);
    }
    ~ScopedEnvironment() { SetEnvironment(name_.c_str(), old_ ? old_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace ZavorTest
