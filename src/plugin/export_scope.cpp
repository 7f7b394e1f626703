#include "plugin/export_scope.h"

#include <utility>

#include "plugin/host_callback.h"
#include "session/pdf.h"

namespace ZavorPlugin {
namespace {

// The innermost running export; the host calls on one thread only.
ExportScope *innermost = nullptr;

}  // namespace

ExportScope::ExportScope() noexcept : outer_(innermost) { innermost = this; }

ExportScope::~ExportScope() {
    DeliverPendingEvents();
    innermost = outer_;
    if (innermost == nullptr) PDF::ReleaseRetired();
}

bool ExportScope::Active() noexcept { return innermost != nullptr; }

bool ExportScope::Defer(std::u16string message, std::u16string_view eventName) {
    if (innermost == nullptr) return false;
    innermost->pending_.push_back({std::move(message), std::u16string(eventName)});
    return true;
}

void ExportScope::DeliverPendingEvents() noexcept {
    // Events raised by the handlers' own exports belong to those exports'
    // scopes; this loop sees only what our body left.
    std::vector<PendingEvent> events = std::move(pending_);
    for (PendingEvent &event : events) {
        // A handler that stopped the plug-in has ended the run: the rest of
        // this operation's events have no script left to tell.
        if (!PDF::HasInstance()) return;
        try {
            PDF::GetInstance().fehlertext = std::move(event.message);
            RaiseEvent(event.eventName);
        } catch (...) {
            // The text is stored; a host that fails to take the event
            // cannot be told anything more.
        }
    }
}

}  // namespace ZavorPlugin
