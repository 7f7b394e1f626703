// The editor's layout and style sheet built by real GTK, on the display the
// machine has or on a private virtual X server. Skipped where neither
// exists, and in sanitizer builds, where the toolkit's own process-lifetime
// allocations would count as leaks.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <gtk/gtk.h>

#include "editor/editor_layout.h"
#include "platform/linux/gtk_window.h"
#include "support/scoped_environment.h"

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

// Presses Enter once the editor is on the screen, with the focus where the
// window put it, and closes the window after a while if nothing took it.
struct EnterPresser {
    UiWindow *window;  // non-owning
    guint timer = 0;
    int ticks = 0;
    bool sent = false;
    bool focusOnList = false;

    // The key event as the display would deliver it to the window.
    static bool PressEnter(GtkWidget *toplevel) {
        GdkDisplay *display = gtk_widget_get_display(toplevel);
        GdkDevice *keyboard = gdk_seat_get_keyboard(gdk_display_get_default_seat(display));
        GdkKeymapKey *keys = nullptr;
        gint count = 0;
        gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), GDK_KEY_Return, &keys, &count);
        GdkEvent *event = gdk_event_new(GDK_KEY_PRESS);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(toplevel)));
        event->key.time = GDK_CURRENT_TIME;
        event->key.keyval = GDK_KEY_Return;
        event->key.hardware_keycode = count > 0 ? static_cast<guint16>(keys[0].keycode) : 0;
        gdk_event_set_device(event, keyboard);
        g_free(keys);
        gtk_main_do_event(event);
        gdk_event_free(event);
        return true;
    }

    static gboolean Tick(gpointer data) {
        auto *self = static_cast<EnterPresser *>(data);
        GtkWidget *shown = nullptr;
        GList *toplevels = gtk_window_list_toplevels();
        for (GList *item = toplevels; item != nullptr; item = item->next) {
            if (gtk_widget_get_mapped(GTK_WIDGET(item->data)) &&
                g_strcmp0(gtk_window_get_title(GTK_WINDOW(item->data)), "ZQ-PDF") == 0)
                shown = GTK_WIDGET(item->data);
        }
        g_list_free(toplevels);
        if (!self->sent && shown != nullptr) {
            GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(shown));
            self->focusOnList = focus != nullptr && gtk_widget_get_ancestor(focus, GTK_TYPE_COMBO_BOX) != nullptr;
            self->sent = PressEnter(shown);
        }
        if (++self->ticks < 40) return G_SOURCE_CONTINUE;
        self->timer = 0;
        self->window->Close();
        return G_SOURCE_REMOVE;
    }
};

TEST_F(EditorGtkTest, EnterRightAfterOpeningClicksTheDefaultButton) {
    int confirmed = 0;
    window_->Connect("button_ok", UiEvent::Clicked, [&] {
        ++confirmed;
        window_->Close();
    });
    window_->SetDefaultButton("button_ok");
    EnterPresser presser{window_.get()};
    presser.timer = g_timeout_add(50, &EnterPresser::Tick, &presser);
    window_->RunModal();
    if (presser.timer != 0) g_source_remove(presser.timer);
    ASSERT_TRUE(presser.sent) << "the window never showed";
    EXPECT_TRUE(presser.focusOnList);
    EXPECT_EQ(confirmed, 1);
    EXPECT_EQ(window_->SelectedIndex("cb_aktion"), 0);
    EXPECT_THROW(window_->SetDefaultButton("tb_rot"), UiControlError);
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

// The plug-in's own windows come from libzavor_gtk.so next to the program
// (here the test program), loaded when the first one is shown; what the
// module throws is caught as the same types.
TEST_F(EditorGtkTest, SystemWindowsComeFromTheModuleWithTheSameFailures) {
    std::unique_ptr<UiWindow> window =
        ZavorPlatform::CreateSystemWindow(ZavorPlugin::EditorLayout(), ZavorPlugin::EditorCss());
    ASSERT_NE(window, nullptr);
    window->SetText("tb_filename", u"C:\\\u00C4.pdf");
    EXPECT_EQ(window->Text("tb_filename"), u"C:\\\u00C4.pdf");
    EXPECT_THROW(window->Text("tb_nichtda"), UiControlError);
    EXPECT_THROW(ZavorPlatform::CreateSystemWindow("<interface><object", ""), UiLayoutError);
    std::filesystem::path module = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libzavor_gtk.so";
    EXPECT_NE(dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << module;
}

TEST(SystemWindow, WithoutADisplayThereIsNoWindow) {
    ZavorTest::ScopedEnvironment display("DISPLAY", nullptr);
    ZavorTest::ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
    EXPECT_EQ(ZavorPlatform::CreateSystemWindow(ZavorPlugin::EditorLayout(), ZavorPlugin::EditorCss()), nullptr);
}

}  // namespace
