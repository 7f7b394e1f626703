// The editor's Win32 window with messages as the system delivers them to
// its modal loop: keys, mouse releases, typing. Skipped without a desktop
// (Wine without a display); the layout checks run everywhere.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_layout.h"
#include "platform/host_window.h"
#include "platform/win32/win32_window.h"

namespace {

using ZavorPlatform::UiControlError;
using ZavorPlatform::UiEvent;
using ZavorPlatform::UiWindow;

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Open();
        if (!window_) GTEST_SKIP() << "no desktop to show a window on";
    }

    void Open() {
        window_ = ZavorPlatform::CreateWin32Window(ZavorPlugin::EditorLayout(), ZavorPlugin::EditorCss());
        handle_ = window_ ? FindWindowW(L"ZavorEinstellungen", L"ZQ-PDF") : nullptr;
        if (window_) {
            ASSERT_NE(handle_, nullptr);
        }
    }

    HWND Button(const wchar_t *caption) const { return FindWindowExW(handle_, nullptr, L"Button", caption); }

    // The text boxes in the layout's order: alpha, red, green, blue, width,
    // height, file name.
    HWND TextBox(int index) const {
        HWND box = nullptr;
        for (int i = 0; i <= index; ++i) box = FindWindowExW(handle_, box, L"Edit", nullptr);
        return box;
    }

    // Runs the window on the posted messages; a close message behind them
    // ends the run should they not, so that a fault cannot hang the test.
    void RunOn(const std::vector<MSG> &messages) {
        for (const MSG &message : messages) PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
        PostMessageW(handle_, WM_CLOSE, 0, 0);
        window_->RunModal();
    }

    std::unique_ptr<UiWindow> window_;
    HWND handle_ = nullptr;
};

TEST_F(Win32WindowTest, EnterConfirmsEscapeAndTheCloseBoxCancel) {
    struct Case {
        UINT message;
        WPARAM key;
        int okClicks;
    };
    const Case cases[] = {{WM_KEYDOWN, VK_RETURN, 1}, {WM_KEYDOWN, VK_ESCAPE, 0}, {WM_CLOSE, 0, 0}};
    for (const Case &test : cases) {
        if (!window_) Open();
        int okClicks = 0;
        int cancelClicks = 0;
        window_->Connect("button_ok", UiEvent::Clicked, [&] {
            ++okClicks;
            window_->Close();
        });
        window_->Connect("button_abbruch", UiEvent::Clicked, [&] { ++cancelClicks; });
        window_->SetDefaultButton("button_ok");
        RunOn({{handle_, test.message, test.key, 0, 0, {}}});
        EXPECT_EQ(okClicks, test.okClicks) << test.message << " " << test.key;
        EXPECT_EQ(cancelClicks, 0);
        EXPECT_FALSE(IsWindowVisible(handle_));
        window_.reset();
    }
}

TEST_F(Win32WindowTest, EnterDoesNothingWhileTheDefaultButtonIsHidden) {
    int okClicks = 0;
    window_->Connect("button_ok", UiEvent::Clicked, [&] { ++okClicks; });
    window_->SetDefaultButton("button_ok");
    window_->SetVisible("button_ok", false);
    RunOn({{handle_, WM_KEYDOWN, VK_RETURN, 0, 0, {}}});
    EXPECT_EQ(okClicks, 0);
}

TEST_F(Win32WindowTest, MouseReleasesOnTheWindowReachTheHandlerButNotThoseOnButtons) {
    int releases = 0;
    window_->ConnectMouseUp([&] { ++releases; });
    RunOn({{handle_, WM_LBUTTONUP, 0, MAKELPARAM(200, 200), 0, {}},
           {Button(L"Credits"), WM_LBUTTONUP, 0, MAKELPARAM(2, 2), 0, {}},
           {handle_, WM_RBUTTONUP, 0, MAKELPARAM(10, 10), 0, {}}});
    EXPECT_EQ(releases, 2);
}

TEST_F(Win32WindowTest, TypingReachesTheTextInputHandlerBeforeTheBox) {
    std::u16string typed;
    int keysReleased = 0;
    window_->ConnectTextInput("tb_rot", [&](std::u16string_view text) {
        typed += text;
        return true;
    });
    window_->Connect("tb_rot", UiEvent::KeyReleased, [&] { ++keysReleased; });
    window_->SetVisible("grid_farbe", true);
    HWND alpha = TextBox(0);
    HWND red = TextBox(1);
    RunOn({{red, WM_CHAR, L'2', 0, 0, {}},
           {red, WM_CHAR, 0x00E4, 0, 0, {}},
           {red, WM_KEYUP, L'2', 0, 0, {}},
           {alpha, WM_CHAR, L'7', 0, 0, {}}});
    EXPECT_EQ(typed, u"2\u00E4");
    EXPECT_EQ(window_->Text("tb_rot"), u"");
    EXPECT_EQ(window_->Text("tb_alpha"), u"7");
    EXPECT_EQ(keysReleased, 1);
}

TEST_F(Win32WindowTest, ControlsKeepWhatTheEditorPutsIntoThem) {
    UiWindow &window = *window_;
    window.SetText("tb_filename", u"C:\\\u00C4rger & <Co>.pdf");
    EXPECT_EQ(window.Text("tb_filename"), u"C:\\\u00C4rger & <Co>.pdf");
    window.SetChecked("cb_quer", true);
    EXPECT_TRUE(window.Checked("cb_quer"));

    EXPECT_EQ(window.SelectedIndex("cb_vorlage"), -1);
    window.Select("cb_vorlage", 13);
    EXPECT_EQ(window.Text("cb_vorlage"), u"Kanzleipapier");
    window.SetText("cb_vorlage", u"[Format]");
    EXPECT_EQ(window.SelectedIndex("cb_vorlage"), -1);
    EXPECT_EQ(window.Text("cb_vorlage"), u"[Format]");

    int changes = 0;
    window.Connect("cb_aktion", UiEvent::SelectionChanged, [&] { ++changes; });
    EXPECT_EQ(window.SelectedIndex("cb_aktion"), 0);
    window.Select("cb_aktion", 3);
    window.Select("cb_aktion", 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(window.SelectedIndex("cb_aktion"), 3);

    // A hidden panel hides what it holds.
    HWND filename = TextBox(6);
    EXPECT_FALSE(window.Visible("grid_pdfspeichern"));
    EXPECT_FALSE(GetWindowLongW(filename, GWL_STYLE) & WS_VISIBLE);
    window.SetVisible("grid_pdfspeichern", true);
    EXPECT_TRUE(GetWindowLongW(filename, GWL_STYLE) & WS_VISIBLE);
    window.SetVisible("grid_mitte", false);
    EXPECT_TRUE(window.Visible("grid_pdfspeichern"));
    EXPECT_FALSE(GetWindowLongW(filename, GWL_STYLE) & WS_VISIBLE);

    EXPECT_THROW(window.Text("fehlt"), UiControlError);
    EXPECT_THROW(window.Text("cb_aktion"), UiControlError);
    EXPECT_THROW(window.Checked("tb_rot"), UiControlError);
    EXPECT_THROW(window.Select("cb_aktion", 4), UiControlError);
    EXPECT_THROW(window.Connect("tb_rot", UiEvent::Clicked, [] {}), UiControlError);
}

TEST_F(Win32WindowTest, TheHostsWindowOwnsTheEditorAndTakesNoInputMeanwhile) {
    HWND host = CreateWindowExW(0, L"STATIC", L"Vornix", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    ZavorPlatform::SetHostWindow(reinterpret_cast<std::intptr_t>(host));
    window_.reset();
    Open();
    bool hostEnabled = true;
    std::intptr_t boxOwner = 0;
    window_->ConnectMouseUp([&] {
        hostEnabled = IsWindowEnabled(host) != FALSE;
        boxOwner = ZavorPlatform::HostWindow();
    });
    RunOn({{handle_, WM_LBUTTONUP, 0, 0, 0, {}}});
    EXPECT_EQ(GetWindow(handle_, GW_OWNER), host);
    EXPECT_FALSE(hostEnabled);
    // A message box shown meanwhile belongs to the editor, so that closing
    // it does not give the host its input back.
    EXPECT_EQ(boxOwner, reinterpret_cast<std::intptr_t>(handle_));
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(ZavorPlatform::HostWindow(), reinterpret_cast<std::intptr_t>(host));
    window_.reset();
    ZavorPlatform::SetHostWindow(0);
    DestroyWindow(host);
}

TEST(Win32WindowLayout, ABrokenLayoutIsRefusedBeforeAnyWindowIsMade) {
    EXPECT_THROW(ZavorPlatform::CreateWin32Window("<interface><object", ""), ZavorPlatform::UiLayoutError);
    try {
        ZavorPlatform::CreateWin32Window("<interface><object class=\"GtkWindow\" id=\"Fenster\"><child>"
                                         "<object class=\"GtkSpinner\" id=\"s\"/></child></object></interface>",
                                         "");
        ADD_FAILURE() << "a spinner was made";
    } catch (const ZavorPlatform::UiLayoutError &error) {
        EXPECT_STREQ(error.what(), "Layout: \"s\" ist ein GtkSpinner, das dieses Fenster nicht kennt");
    }
    EXPECT_EQ(FindWindowW(L"ZavorEinstellungen", nullptr), nullptr);
}

}  // namespace
