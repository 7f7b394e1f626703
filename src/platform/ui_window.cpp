#include "platform/ui_window.h"

#include <utility>

namespace ZavorPlatform {
namespace {

UiWindowFactory &CurrentFactory() {
    static UiWindowFactory factory;
    return factory;
}

}  // namespace

std::unique_ptr<UiWindow> CreateUiWindow(std::string_view layout, std::string_view css) {
    if (CurrentFactory()) return CurrentFactory()(layout, css);
    return CreateSystemWindow(layout, css);
}

UiWindowFactory SetUiWindowFactory(UiWindowFactory factory) {
    return std::exchange(CurrentFactory(), std::move(factory));
}

}  // namespace ZavorPlatform
