#include "plugin/export_guard.h"

#include "platform/code_page.h"
#include "platform/message_box.h"

namespace ZavorPlugin {

void ShowUnexpectedFailure(const char *message) noexcept {
    try {
        std::u16string text = u"Interner Fehler im PDF-Plugin!\n\n";
        text += message != nullptr ? ZavorPlatform::Utf8ToUtf16(message) : u"Unbekannter Fehler";
        ZavorPlatform::ShowMessageBox(text, u"Where is the Guru?", ZavorPlatform::MessageBoxIcon::Error);
    } catch (...) {
        // Not even the text could be built; the export still returns normally.
    }
}

}  // namespace ZavorPlugin
