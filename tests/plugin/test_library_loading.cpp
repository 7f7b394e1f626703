// libzavor.so loaded the way the host loads it, and driven through its
// exports only. Message boxes of the loaded copy go to standard error.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "plugin/exports.h"
#include "support/test_output.h"

namespace {

struct LibraryCloser {
    void operator()(void *handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// The exports a run needs, typed after the declarations in exports.h (the
// C test checks that all of them are there).
struct Exports {
    decltype(&QnD_Initialize2) initialize2 = nullptr;
    decltype(&QnD_CmdNumber) cmdNumber = nullptr;
    decltype(&QnD_Stop) stop = nullptr;
    decltype(&QnD_Execute) execute = nullptr;
    decltype(&QnD_SetVar) setVar = nullptr;
    decltype(&QnD_GetVar) getVar = nullptr;
};

template <typename Function>
void Resolve(void *library, const char *name, Function &target) {
    target = reinterpret_cast<Function>(dlsym(library, name));
    EXPECT_NE(target, nullptr) << name;
}

std::int32_t HostCallback(const char *, const char *, std::int32_t, std::int32_t, char *) { return 0; }

class LibraryLoadingTest : public testing::Test {
protected:
    void SetUp() override {
        std::string path = (ZavorTest::BinaryDir() / "libzavor.so").string();
        library_.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
        ASSERT_NE(library_, nullptr) << dlerror();
        void *lib = library_.get();
        Resolve(lib, "QnD_Initialize2", api.initialize2);
        Resolve(lib, "QnD_CmdNumber", api.cmdNumber);
        Resolve(lib, "QnD_Stop", api.stop);
        Resolve(lib, "QnD_Execute", api.execute);
        Resolve(lib, "QnD_SetVar", api.setVar);
        Resolve(lib, "QnD_GetVar", api.getVar);
        ASSERT_FALSE(HasFailure());
        api.stop();  // another test may have left the loaded copy initialised
    }
    void TearDown() override { api.stop(); }

    Exports api;

private:
    LibraryHandle library_;
};

TEST_F(LibraryLoadingTest, ARunAsTheHostDrivesIt) {
    EXPECT_NE(api.initialize2(reinterpret_cast<intptr_t>(&HostCallback)), 0);
    EXPECT_EQ(api.cmdNumber(), 98);
    std::array<char, 32> result{};
    testing::internal::CaptureStderr();
    EXPECT_EQ(api.setVar("TextHinzufuegen", "Hallo"), 0);
    EXPECT_EQ(api.setVar("TextHinzufuegen", "Hallo"), 0);
    EXPECT_EQ(api.getVar("Fehler", "", 0, result.data()), 0);
    EXPECT_EQ(api.execute(""), 1);
    EXPECT_EQ(api.setVar("TextHinzufuegen", "Hallo"), 0);
    // "<Settings><ver>100</ver><Typ>0</Typ></Settings>"
    EXPECT_EQ(api.execute("3c53657474696e67733e3c7665723e3130303c2f7665723e3c5479703e303c2f5479703e3c2f53657474696e"
                          "67733e"),
              1);
    EXPECT_EQ(api.setVar("TextHinzufuegen", "Hallo"), 1);
    EXPECT_EQ(api.execute("zz"), 1);
    EXPECT_EQ(api.stop(), 1);
    EXPECT_EQ(api.setVar("TextHinzufuegen", "Hallo"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[Das geht so nicht] PDF nicht initialisiert! Bitte zuerst den PDF Befehl nutzen\n"
              "[ZAVOR] Auswertung des ZQ-PDF Befehls fehlgeschlagen/Befehl nicht definiert (veraltetes Plugin?)\n"
              "[ ZAVOR Plugin - Daten zerst\xC3\xB6rt!] KRITISCH: Daten wurden besch\xC3\xA4" "digt, der Befehl muss "
              "erneut erstellt werden\n"
              "[Das geht so nicht] PDF nicht initialisiert! Bitte zuerst den PDF Befehl nutzen\n");
    EXPECT_EQ(result[0], '\0');
}

}  // namespace
