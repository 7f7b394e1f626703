// The host's main window, which the host announces through QnD_SetWindow.
// Message boxes and the settings editor belong to it where the system knows
// owned windows (Windows: they stay in front of it and block it while they
// are open); Linux shows them on their own.
#pragma once

#include <cstdint>

namespace ZavorPlatform {

// The native handle (a Windows HWND) as the host passed it; 0 for none.
void SetHostWindow(std::intptr_t window) noexcept;
std::intptr_t HostWindow() noexcept;

}  // namespace ZavorPlatform
