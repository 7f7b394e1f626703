// The settings editor against fake windows, with every message box recorded.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "editor/einst_class.h"
#include "platform/message_box.h"
#include "platform/ui_fake_window.h"

namespace ZavorTest {

// A record's XML text from its lines, joined as the editor writes them.
inline std::u16string RecordText(std::initializer_list<std::u16string_view> lines) {
    std::u16string text;
    for (std::u16string_view line : lines) {
        if (!text.empty()) text += u"\r\n";
        text += line;
    }
    return text;
}

class EditorTest : public ::testing::Test {
protected:
    // Shows the editor; the script acts as the user while the window runs.
    std::u16string Show(const std::u16string &settings, ZavorPlatform::FakeUiWindow::Script script = {}) {
        windows.script = [this, script](ZavorPlatform::FakeUiWindow &window) {
            ran = true;
            if (script) script(window);
        };
        ran = false;
        return ZavorPlugin::EinstClass::GetInstance().Show(settings);
    }

    // Loads the settings and confirms at once.
    std::u16string ShowAndConfirm(const std::u16string &settings) {
        return Show(settings, [](ZavorPlatform::FakeUiWindow &window) { window.Click("button_ok"); });
    }

    ZavorPlatform::FakeUiWindowFactory windows;
    ZavorPlatform::MessageBoxRecorder boxes;
    bool ran = false;
};

inline const std::u16string kNewDocumentRecord =
    RecordText({u"<Settings>", u"  <ver>100</ver>", u"  <Typ>0</Typ>", u"</Settings>"});

}  // namespace ZavorTest
