#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "platform/message_box.h"
#include "platform/process_exit.h"
#include "plugin/host_callback.h"

namespace {

using namespace ZavorPlugin;
using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::MessageBoxMessage;

struct Call {
    std::string funcName;
    std::string para;
    std::int32_t paraLen = 0;
    std::int32_t flags = 0;
    bool presetToX = false;  // the answer buffer held only "X" on entry
};

// The host side: records every call, then lets the test answer.
struct TestHost {
    static inline std::vector<Call> calls;
    static inline std::function<std::int32_t(char *buffer)> answer;

    static std::int32_t Callback(const char *funcName, const char *para, std::int32_t paraLen, std::int32_t flags,
                                 char *returnString) {
        Call call{funcName, para, paraLen, flags, false};
        if (call.funcName == "Subst") {
            call.presetToX = true;
            for (std::size_t i = 0; i < kSubstBufferSize; ++i) call.presetToX = call.presetToX && returnString[i] == 'X';
        }
        calls.push_back(call);
        return answer ? answer(returnString) : 0;
    }
};

class HostCallbackTest : public testing::Test {
protected:
    void SetUp() override {
        TestHost::calls.clear();
        TestHost::answer = nullptr;
        CallbackAddress = reinterpret_cast<std::intptr_t>(&TestHost::Callback);
    }
    void TearDown() override { CallbackAddress = 0; }

    // Answers "Subst" by writing the bytes (with a zero when asked to) and
    // returning the length.
    static void Answer(std::string text, std::int32_t length, bool terminate = true) {
        TestHost::answer = [=](char *buffer) {
            std::memcpy(buffer, text.data(), text.size());
            if (terminate) buffer[text.size()] = '\0';
            return length;
        };
    }
};

TEST_F(HostCallbackTest, SubstSendsAnsiTextAndAnXBuffer) {
    Answer("C:\\Ausgabe\\M\xE4rz.pdf", 19);
    EXPECT_EQ(ResolveQNVar(u"[Pfad]\\M\u00E4rz \u20AC.pdf"), u"C:\\Ausgabe\\M\u00E4rz.pdf");
    ASSERT_EQ(TestHost::calls.size(), 1u);
    const Call &call = TestHost::calls[0];
    EXPECT_EQ(call.funcName, "Subst");
    EXPECT_EQ(call.para, "[Pfad]\\M\xE4rz \x80.pdf");
    EXPECT_EQ(call.paraLen, -1);
    EXPECT_EQ(call.flags, 0);
    EXPECT_TRUE(call.presetToX);
}

// The host reads the text up to its first zero byte.
TEST_F(HostCallbackTest, SubstTextReachesTheHostWithoutControlCharacters) {
    ResolveQNVar(std::u16string(u"a\0b\u0001c\td\re\nf\u001Fg", 13));
    ASSERT_EQ(TestHost::calls.size(), 1u);
    EXPECT_EQ(TestHost::calls[0].para, "a b c\td\re\nf g");
}

TEST_F(HostCallbackTest, SubstAnswerIsCutToTheReturnedLength) {
    struct Case {
        std::string written;
        std::int32_t length;
        bool terminated;
        std::u16string expected;
    };
    const Case cases[] = {
        {"abcdef", 3, true, u"abc"},          // longer than the length: cut
        {"ab", 5, true, u"ab"},               // ends before the length: shorter
        {"", 0, true, u""},
        {"abc", 0, true, u""},
        {"abc", 3, false, u"abc"},            // no zero written: the length still cuts
        {"abc", 6, false, u"abcXXX"},         // ... and the preset shows through
    };
    for (const Case &test : cases) {
        Answer(test.written, test.length, test.terminated);
        EXPECT_EQ(ResolveQNVar(u"x"), test.expected) << test.written << " " << test.length;
    }
}

TEST_F(HostCallbackTest, AnswerWithoutZeroIsNeverReadPastTheBuffer) {
    TestHost::answer = [](char *) { return static_cast<std::int32_t>(kSubstBufferSize); };
    EXPECT_EQ(ResolveQNVar(u"x"), std::u16string(kSubstBufferSize, u'X'));
}

TEST_F(HostCallbackTest, LengthOutsideTheBufferIsFatal) {
    for (std::int32_t length : {-1, static_cast<std::int32_t>(kSubstBufferSize) + 1, INT32_MIN}) {
        ZavorPlatform::MessageBoxRecorder boxes;
        ZavorPlatform::ProcessExitRecorder exits;
        Answer("abc", length);
        EXPECT_EQ(ResolveQNVar(u"x"), u"");
        EXPECT_EQ(exits.ExitCodes(), std::vector<int>{1});
        ASSERT_EQ(boxes.Messages().size(), 1u);
        const MessageBoxMessage &box = boxes.Messages()[0];
        const std::u16string prefix =
            u"FATAL: OUT OF MEMORY! Speicherfehler beim Aufl\u00F6schen der Vornix Variable\nProgramm wird terminiert."
            u"\n\nFehler: ";
        EXPECT_EQ(box.text.substr(0, prefix.size()), prefix);
        std::string digits = std::to_string(length);
        EXPECT_NE(box.text.find(u"\"" + std::u16string(digits.begin(), digits.end()) + u"\""), std::u16string::npos);
        EXPECT_EQ(box.caption, u"Where is the Guru?");
        EXPECT_EQ(box.icon, MessageBoxIcon::Error);
    }
}

TEST_F(HostCallbackTest, InterruptRaisesTheNamedEvent) {
    TestHost::answer = [](char *buffer) {
        buffer[0] = 'x';  // a host answering where none is expected must not hurt
        return 42;
    };
    RaiseEvent(u"ZAVOR_DateiFehler");
    EXPECT_EQ(ExecuteCallback(u"Interrupt", u"ZAVOR_ObjektFehler", -1, 0), 42);
    ASSERT_EQ(TestHost::calls.size(), 2u);
    EXPECT_EQ(TestHost::calls[0].funcName, "Interrupt");
    EXPECT_EQ(TestHost::calls[0].para, "ZAVOR_DateiFehler");
    EXPECT_EQ(TestHost::calls[0].paraLen, -1);
    EXPECT_EQ(TestHost::calls[0].flags, 0);
    EXPECT_EQ(TestHost::calls[1].para, "ZAVOR_ObjektFehler");
}

TEST_F(HostCallbackTest, WithoutCallbackNothingIsCalled) {
    CallbackAddress = 0;
    EXPECT_EQ(ResolveQNVar(u"[Pfad]"), u"[Pfad]");
    EXPECT_EQ(ExecuteCallback(u"Interrupt", u"ZAVOR_Fehler", -1, 0), 0);
    RaiseEvent(u"ZAVOR_Fehler");
    EXPECT_TRUE(TestHost::calls.empty());
}

}  // namespace
