#include "platform/host_window.h"

namespace ZavorPlatform {
namespace {

// Every export runs on the host's user-interface thread, one at a time.
std::intptr_t hostWindow = 0;

}  // namespace

void SetHostWindow(std::intptr_t window) noexcept { hostWindow = window; }

std::intptr_t HostWindow() noexcept { return hostWindow; }

}  // namespace ZavorPlatform
