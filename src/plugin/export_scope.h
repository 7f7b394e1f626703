// The host runs a script's event handlers inside our callback, and a handler
// may do anything a script can: start a new document, stop the plug-in, set
// any variable or raise further events. An operation half way through its
// work must never find the session changed or freed under it. So every
// export runs inside one scope that
// - holds back the events its operation raises and delivers them only after
//   the export's body has finished, each with its own error text, and
// - keeps a session that is replaced or dropped meanwhile (which a "Subst"
//   answer can also cause) alive until the outermost export returns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ZavorPlugin {

class ExportScope {
public:
    ExportScope() noexcept;
    // Delivers the held events, then, for the outermost scope, frees the
    // sessions that were replaced while the host was inside the plug-in.
    ~ExportScope();
    ExportScope(const ExportScope &) = delete;
    ExportScope &operator=(const ExportScope &) = delete;

    // Whether an export is running (possibly several, nested through events).
    static bool Active() noexcept;

    // Holds the event and its error text back for the innermost export;
    // false when no export runs (a caller inside the plug-in itself, such as
    // a test), which must then raise it at once.
    static bool Defer(std::u16string message, std::u16string_view eventName);

private:
    struct PendingEvent {
        std::u16string message;
        std::u16string eventName;
    };

    void DeliverPendingEvents() noexcept;

    ExportScope *outer_;
    std::vector<PendingEvent> pending_;
};

}  // namespace ZavorPlugin
