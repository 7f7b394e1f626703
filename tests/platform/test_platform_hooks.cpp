#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "support/platform_support.h"
#include "support/scoped_environment.h"

namespace {

using namespace ZavorPlatform;

TEST(MessageBox, DefaultSinkPrintsCaptionAndTextAsUtf8) {
    ZAVOR_SKIP_ON_WINDOWS("Linux's default message sink (standard error)");
    testing::internal::CaptureStderr();
    ShowMessageBox(u"Daten zerst\u00F6rt", u" ZAVOR", MessageBoxIcon::Error);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[ ZAVOR] Daten zerst\xC3\xB6rt\n");
}

// Dialogs are wanted at design time or when the environment asks for them;
// without a display the box must still reach the user on standard error.
TEST(MessageBox, DialogsFallBackToStandardErrorWithoutADisplay) {
    ZAVOR_SKIP_ON_WINDOWS("Linux's default message sink (standard error)");
    ZavorTest::ScopedEnvironment noX11("DISPLAY", nullptr);
    ZavorTest::ScopedEnvironment noWayland("WAYLAND_DISPLAY", nullptr);
    {
        ZavorTest::ScopedEnvironment dialogs("ZAVOR_MESSAGE_BOXES", "dialog");
        testing::internal::CaptureStderr();
        ShowMessageBox(u"Umgebung", u"ZAVOR", MessageBoxIcon::Warning);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "[ZAVOR] Umgebung\n");
    }
    InteractiveMessageBoxes interactive;
    testing::internal::CaptureStderr();
    ShowMessageBox(u"Entwurf", u"ZAVOR", MessageBoxIcon::None);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[ZAVOR] Entwurf\n");
}

TEST(MessageBox, RecordersNestAndRestore) {
    MessageBoxRecorder outer;
    ShowMessageBox(u"one", u"A", MessageBoxIcon::Warning);
    {
        MessageBoxRecorder inner;
        ShowMessageBox(u"two", u"B", MessageBoxIcon::None);
        ASSERT_EQ(inner.Messages().size(), 1u);
        EXPECT_EQ(inner.Messages()[0], (MessageBoxMessage{u"two", u"B", MessageBoxIcon::None}));
    }
    ShowMessageBox(u"three", u"C", MessageBoxIcon::Error);
    ASSERT_EQ(outer.Messages().size(), 2u);
    EXPECT_EQ(outer.Messages()[0], (MessageBoxMessage{u"one", u"A", MessageBoxIcon::Warning}));
    EXPECT_EQ(outer.Messages()[1], (MessageBoxMessage{u"three", u"C", MessageBoxIcon::Error}));
}

TEST(MessageBox, AFailingSinkDoesNotEscape) {
    MessageBoxSink previous = SetMessageBoxSink([](const MessageBoxMessage &) { throw std::runtime_error("no UI"); });
    EXPECT_NO_THROW(ShowMessageBox(u"text", u"caption", MessageBoxIcon::Error));
    SetMessageBoxSink(std::move(previous));
}

TEST(ProcessExit, RecorderKeepsTheProcessAlive) {
    ProcessExitRecorder recorder;
    ExitProcess(1);
    ExitProcess(7);
    EXPECT_EQ(recorder.ExitCodes(), (std::vector<int>{1, 7}));
}

TEST(ProcessExitDeathTest, WithoutReplacementTheProcessEnds) {
    EXPECT_EXIT(ExitProcess(3), testing::ExitedWithCode(3), "");
}

}  // namespace
