// The editor's layout and style sheet built by real GTK, on the display the
// machine has or on a private virtual X server. Skipped where neither
// exists, and in sanitizer builds, where the toolkit's own process-lifetime
// allocations would count as leaks.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "editor/editor_layout.h"
#include "platform/gtk_window.h"

extern char **environ;

namespace {

using ZavorPlatform::UiControlError;
using ZavorPlatform::UiEvent;
using ZavorPlatform::UiLayoutError;
using ZavorPlatform::UiWindow;

bool Sanitized() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

// An X server of our own, found through its -displayfd answer, so that no
// display number is guessed.
class PrivateDisplay {
public:
    static std::optional<std::string> Start(pid_t &pid) {
        const char *server = "/usr/bin/Xvfb";
        if (access(server, X_OK) != 0) return std::nullopt;
        int fds[2];
        if (pipe(fds) != 0) return std::nullopt;
        std::string fd = std::to_string(fds[1]);
        const char *argv[] = {server, "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp", nullptr};
        int spawned = posix_spawn(&pid, server, nullptr, nullptr, const_cast<char **>(argv), environ);
        close(fds[1]);
        std::string number;
        if (spawned == 0) {
            pollfd wait{fds[0], POLLIN, 0};
            char c = 0;
            while (poll(&wait, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        } else {
            pid = 0;
        }
        close(fds[0]);
        if (number.empty()) return std::nullopt;
        return ":" + number;
    }
};

class EditorGtkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (Sanitized()) return;
        const char *display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') {
            std::optional<std::string> started = PrivateDisplay::Start(serverPid_);
            if (!started) return;
            setenv("DISPLAY", started->c_str(), 1);
        }
        setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus to wait for
        available_ = true;
    }

    static void TearDownTestSuite() {
        if (serverPid_ > 0) {
            kill(serverPid_, SIGTERM);
            waitpid(serverPid_, nullptr, 0);
            serverPid_ = 0;
        }
    }

    void SetUp() override {
        if (Sanitized()) GTEST_SKIP() << "GTK under the leak checker";
        if (!available_) GTEST_SKIP() << "no display and no Xvfb";
        window_ = ZavorPlatform::CreateGtkWindow(ZavorPlugin::EditorLayout(), ZavorPlugin::EditorCss());
        if (!window_) GTEST_SKIP() << "GTK cannot open the display";
    }

    std::unique_ptr<UiWindow> window_;
    static inline bool available_ = false;
    static inline pid_t serverPid_ = 0;
};

TEST_F(EditorGtkTest, ControlsKeepWhatTheEditorPutsIntoThem) {
    UiWindow &window = *window_;
    window.SetText("tb_filename", u"C:\\\u00C4rger & <Co>.pdf");
    EXPECT_EQ(window.Text("tb_filename"), u"C:\\\u00C4rger & <Co>.pdf");
    window.SetText("tb_filename", u"C:\\\u00C4rger & <Co>.pdf2");  // appended
    window.SetText("tb_filename", u"x");
    EXPECT_EQ(window.Text("tb_filename"), u"x");
    window.SetChecked("cb_quer", true);
    EXPECT_TRUE(window.Checked("cb_quer"));

    EXPECT_EQ(window.SelectedIndex("cb_vorlage"), -1);
    window.Select("cb_vorlage", 13);
    EXPECT_EQ(window.Text("cb_vorlage"), u"Kanzleipapier");
    window.SetText("cb_vorlage", u"[Format]");
    EXPECT_EQ(window.SelectedIndex("cb_vorlage"), -1);

    int changes = 0;
    window.Connect("cb_aktion", UiEvent::SelectionChanged, [&] { ++changes; });
    EXPECT_EQ(window.SelectedIndex("cb_aktion"), 0);
    window.Select("cb_aktion", 3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(window.SelectedIndex("cb_aktion"), 3);

    EXPECT_FALSE(window.Visible("grid_farbe"));
    window.SetVisible("grid_farbe", true);
    EXPECT_TRUE(window.Visible("grid_farbe"));
    window.SetBackground("grid_vorschau", {128, 1, 2, 3});
    window.SetStyleClass("grid_haupt", ZavorPlugin::kBlackBackground, true);
}

TEST_F(EditorGtkTest, TextSetByTheProgramIsNoTyping) {
    int typed = 0;
    window_->ConnectTextInput("tb_rot", [&](std::u16string_view) {
        ++typed;
        return true;
    });
    window_->SetText("tb_rot", u"1");
    window_->SetText("tb_rot", u"12");
    window_->SetText("tb_rot", u"");
    EXPECT_EQ(typed, 0);
    EXPECT_EQ(window_->Text("tb_rot"), u"");
}

TEST_F(EditorGtkTest, BrokenLayoutsAndUnknownControlsAreRefused) {
    EXPECT_THROW(window_->Text("tb_nichtda"), UiControlError);
    EXPECT_THROW(window_->Checked("tb_rot"), UiControlError);
    EXPECT_THROW(window_->Select("cb_aktion", 4), UiControlError);
    try {
        ZavorPlatform::CreateGtkWindow("<interface><object", "");
        ADD_FAILURE() << "broken layout accepted";
    } catch (const UiLayoutError &error) {
        EXPECT_EQ(std::string(error.what()).rfind("Layout: ", 0), 0u) << error.what();
    }
    try {
        ZavorPlatform::CreateGtkWindow(ZavorPlugin::EditorLayout(), ".x { farbe: rot; }");
        ADD_FAILURE() << "broken style sheet accepted";
    } catch (const UiLayoutError &error) {
        EXPECT_EQ(std::string(error.what()).rfind("CSS: ", 0), 0u) << error.what();
    }
}

}  // namespace
