// No exception may reach the host: every export runs its body inside
// GuardExport, which turns any failure into a message box and a result.
#pragma once

#include <cstdint>
#include <exception>

namespace ZavorPlugin {

// "Interner Fehler im PDF-Plugin!", two line breaks and the message (UTF-8;
// null for a failure without one), caption "Where is the Guru?".
void ShowUnexpectedFailure(const char *message) noexcept;

template <typename Body>
std::int32_t GuardExport(std::int32_t resultOnFailure, Body &&body) noexcept {
    try {
        return body();
    } catch (const std::exception &error) {
        ShowUnexpectedFailure(error.what());
    } catch (...) {
        ShowUnexpectedFailure(nullptr);
    }
    return resultOnFailure;
}

}  // namespace ZavorPlugin
