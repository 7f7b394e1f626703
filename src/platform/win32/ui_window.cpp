#include "platform/ui_window.h"

#include <utility>

#include "platform/win32/win32_window.h"

namespace ZavorPlatform {
namespace {

UiWindowFactory &CurrentFactory() {
    static UiWindowFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<UiWindow> CreateUiWindow(std::string_view layout, std::string_view css) {
    if (CurrentFactory()) return CurrentFactory()(layout, css);
    return CreateWin32Window(layout, css);
}

UiWindowFactory SetUiWindowFactory(UiWindowFactory factory) {
    return std::exchange(CurrentFactory(), std::move(factory));
}

}  // namespace ZavorPlatform
