// No exception may reach the host: every export runs its body inside
// GuardExport, which turns any failure into a message box and a result and
// runs the body inside an ExportScope.
#pragma once

#include <cstdint>
#include <exception>

#include "plugin/export_scope.h"

namespace ZavorPlugin {

// "Interner Fehler im PDF-Plugin!", two line breaks and the message (UTF-8;
// null for a failure without one), caption "Where is the Guru?".
void ShowUnexpectedFailure(const char *message) noexcept;

template <typename Body>
std::int32_t GuardExport(std::int32_t resultOnFailure, Body &&body) noexcept {
    ExportScope scope;
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
