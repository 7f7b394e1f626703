// zavor edit with the plug-in's own QnD_Edit in this process and the fake
// window acting as the designer: the line gets the record the editor hands
// back, every other byte of the script stays.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "host/host_commands.h"
#include "host/script_edit.h"
#include "platform/message_box.h"
#include "platform/ui_fake_window.h"
#include "plugin/exports.h"

namespace {

using ZavorPlatform::FakeUiWindow;
namespace fs = std::filesystem;

struct EditResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::string script;  // the file's bytes afterwards
};

class ZavorEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zavor-edit-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        exports_.Edit = &QnD_Edit;
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path Write(const std::string &bytes, const std::string &name = "s.zq") {
        fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Read(const fs::path &path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    EditResult EditPath(const fs::path &path, int line, FakeUiWindow::Script user) {
        windows.script = std::move(user);
        std::ostringstream out, err;
        EditResult result;
        auto start = [this]() -> const ZavorHost::PluginExports * {
            ++starts;
            return &exports_;
        };
        result.exitCode = ZavorHost::EditScriptLine(start, path, line, out, err);
        result.out = out.str();
        result.err = err.str();
        result.script = Read(path);
        return result;
    }

    EditResult Edit(const std::string &bytes, int line, FakeUiWindow::Script user) {
        return EditPath(Write(bytes), line, std::move(user));
    }

    fs::path ScriptPath() const { return folder_ / "s.zq"; }
    std::string Where(int line) const { return ScriptPath().string() + ":" + std::to_string(line) + ": "; }

    ZavorPlatform::FakeUiWindowFactory windows;
    ZavorPlatform::MessageBoxRecorder boxes;
    int starts = 0;

private:
    fs::path folder_;
    ZavorHost::PluginExports exports_;
};

void Confirm(FakeUiWindow &window) { window.Click("button_ok"); }

TEST_F(ZavorEditTest, ConfirmedChangesReplaceOnlyTheCommand) {
    struct Case {
        const char *name;
        std::string before;
        int line;
        FakeUiWindow::Script user;
        std::string after;
    };
    const Case cases[] = {
        {"file name with blanks, backslashes and an umlaut", "ZQ-PDF Typ=3 PDFDatei=alt.pdf PDFstarten=false\n", 1,
         [](FakeUiWindow &window) {
             EXPECT_EQ(window.Text("tb_filename"), u"alt.pdf");
             window.SetText("tb_filename", u"C:\\Mein Ordner\\\u00E4.pdf");
             window.Click("cb_anzeigen");
             window.Click("button_ok");
         },
         "ZQ-PDF Typ=3 PDFDatei=\"C:\\Mein Ordner\\\xC3\xA4.pdf\" PDFstarten=true\n"},
        {"byte order mark, CR LF, an ON handler, indentation and trailing blanks",
         "\xEF\xBB\xBF# Farbe\r\nZQ-PDF Typ=0\r\n\t ON ZAVOR_Fehler  ZQ-PDF Typ=0  \t\r\nPRINT \xC3\xBC\r\n", 3,
         [](FakeUiWindow &window) {
             window.Choose("cb_aktion", 2);
             window.Type("tb_alpha", u"255");
             window.Type("tb_rot", u"[rot]");
             window.Click("cb_fill");
             window.PressEnter("tb_rot");
         },
         "\xEF\xBB\xBF# Farbe\r\nZQ-PDF Typ=0\r\n\t ON ZAVOR_Fehler  ZQ-PDF Typ=2 Alpha=255 Rot=[rot] Fuellen=true  "
         "\t\r\n"
         "PRINT \xC3\xBC\r\n"},
        {"a stored hex record comes back as pairs; a last line without line feed",
         "SET A = 1\nZQ-PDF hex:3C53657474696E67733E0D0A20203C7665723E3130303C2F7665723E0D0A20203C5479703E303C2F547970"
         "3E0D0A3C2F53657474696E67733E",
         2,
         [](FakeUiWindow &window) {
             window.Choose("cb_aktion", 1);
             window.Choose("cb_vorlage", 13);
             window.Click("button_ok");
         },
         "SET A = 1\nZQ-PDF Typ=1 Format=X2 Quer=false"},
        {"a format in lower case is stored as the entry's identifier", "ZQ-PDF Typ=1 format=x2 Breite=100\n", 1,
         [](FakeUiWindow &window) {
             EXPECT_EQ(window.Text("cb_vorlage"), u"Kanzleipapier");
             window.Click("cb_quer");
             window.Click("button_ok");
         },
         "ZQ-PDF Typ=1 Format=X2 Breite=100 Quer=true\n"},
        {"quotes and a final backslash are escaped only where the reader needs it", "ZQ-PDF Typ=3\n", 1,
         [](FakeUiWindow &window) {
             window.SetText("tb_filename", u"\"x\" y\\z\\");
             window.Click("button_ok");
         },
         "ZQ-PDF Typ=3 PDFDatei=\"\\\"x\\\" y\\z\\\\\" PDFstarten=false\n"},
        {"a page template typed as free text", "ZQ-PDF Typ=1 Format=A4\n", 1,
         [](FakeUiWindow &window) {
             window.TypeFreeText("cb_vorlage", u"[format]");
             window.Click("button_ok");
         },
         "ZQ-PDF Typ=1 Format=[format] Quer=false\n"},
    };
    for (const Case &test : cases) {
        EditResult result = Edit(test.before, test.line, test.user);
        EXPECT_EQ(result.exitCode, ZavorHost::kExitSuccess) << test.name << result.err;
        EXPECT_EQ(result.script, test.after) << test.name;
        // The new command, as the designer reads it.
        std::size_t begin =
            test.after.find(test.after.find("ON ") != std::string::npos ? "ZQ-PDF Typ=2" : "ZQ-PDF Typ=");
        std::size_t end = test.after.find_first_of("\r\n", begin);
        std::string command = test.after.substr(begin, end == std::string::npos ? end : end - begin);
        while (command.back() == ' ' || command.back() == '\t') command.pop_back();
        EXPECT_EQ(result.out, Where(test.line) + command + "\n") << test.name;
    }
    EXPECT_TRUE(boxes.Messages().empty());
}

TEST_F(ZavorEditTest, CancelOrNoChangeLeavesTheFileAlone) {
    const std::string script = "ZQ-PDF   Typ=2 rot=1 Fuellen=1\r\n";
    const FakeUiWindow::Script users[] = {
        [](FakeUiWindow &window) {
            window.Type("tb_rot", u"99");
            window.Choose("cb_aktion", 3);
            window.Click("button_abbruch");
        },
        [](FakeUiWindow &window) { window.Type("tb_blau", u"7"); },  // the close box
        Confirm,  // the record the line already gives
    };
    for (const auto &user : users) {
        fs::path path = Write(script);
        fs::file_time_type stamp = fs::last_write_time(path) - std::chrono::hours(1);
        fs::last_write_time(path, stamp);
        EditResult result = EditPath(path, 1, user);
        EXPECT_EQ(result.exitCode, ZavorHost::kExitSuccess);
        EXPECT_EQ(result.out, Where(1) + "unchanged\n");
        EXPECT_EQ(result.script, script);
        EXPECT_EQ(fs::last_write_time(path), stamp);
    }
    // Without a display the editor hands the record back at once.
    windows.noDisplay = true;
    EditResult result = Edit(script, 1, Confirm);
    EXPECT_EQ(result.out, Where(1) + "unchanged\n");
    EXPECT_EQ(result.script, script);
}

TEST_F(ZavorEditTest, OnlyAZqPdfLineOpensTheEditor) {
    const std::string script =
        "# Kommentar\n"
        "\n"
        "SET Text = a\n"
        "ON ZAVOR_Fehler PRINT x\n"
        "ZQ-PDF Typ=4\n"
        "ZQ-PDF Typ=0\n";
    struct Case {
        int line;
        std::string message;
    };
    const Case cases[] = {
        {1, Where(1) + "only a ZQ-PDF command can be edited, this line is a comment"},
        {2, Where(2) + "only a ZQ-PDF command can be edited, this line is a blank line"},
        {3, Where(3) + "only a ZQ-PDF command can be edited, this line is a SET statement"},
        {4, Where(4) + "only a ZQ-PDF command can be edited, this line is an ON handler with a PRINT statement"},
        {5, Where(5) + "ZQ-PDF: Typ must be 0, 1, 2 or 3, not \"4\""},
        {7, ScriptPath().string() + " has 6 lines, no line 7"},
    };
    for (const Case &test : cases) {
        EditResult result = Edit(script, test.line, Confirm);
        EXPECT_EQ(result.exitCode, ZavorHost::kExitScriptError) << test.line;
        EXPECT_EQ(result.err, "zavor: " + test.message + "\n");
        EXPECT_EQ(result.script, script);
    }
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(windows.WindowsBuilt(), 0);
    // Faults on other lines are no concern of this one.
    EditResult result = Edit(script, 6, [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 3);
        window.Click("button_ok");
    });
    EXPECT_EQ(result.exitCode, ZavorHost::kExitSuccess) << result.err;
    EXPECT_EQ(result.script.substr(result.script.rfind("ZQ-PDF")), "ZQ-PDF Typ=3 PDFstarten=false\n");
}

TEST_F(ZavorEditTest, ARecordNoLineCanHoldIsRefused) {
    const std::string script = "ZQ-PDF Typ=3 PDFDatei=a.pdf\n";
    EditResult result = Edit(script, 1, [](FakeUiWindow &window) {
        window.SetText("tb_filename", u"a\nb.pdf");
        window.Click("button_ok");
    });
    EXPECT_EQ(result.exitCode, ZavorHost::kExitScriptError);
    EXPECT_EQ(result.err, "zavor: " + Where(1) +
                              "the record's PDFDatei holds a control character, which a script line cannot hold; "
                              "the script is unchanged\n");
    EXPECT_EQ(result.script, script);

    std::string error;
    const std::string reordered = "<Settings>\r\n  <Typ>0</Typ>\r\n  <ver>100</ver>\r\n</Settings>";
    EXPECT_FALSE(ZavorHost::CommandForRecord(reordered, error));
    EXPECT_EQ(error, "the record cannot be written as Name=value pairs");
    EXPECT_FALSE(ZavorHost::CommandForRecord("<Settings><ver>101</ver><Typ>0</Typ></Settings>", error));
    EXPECT_EQ(error, "the record is not one of version 100 with a Typ from 0 to 3");
}

TEST_F(ZavorEditTest, ALinkedScriptStaysALink) {
    fs::path target = Write("ZQ-PDF Typ=0\n", "ziel.zq");
    fs::path link = target.parent_path() / "s.zq";
    std::error_code refused;
    fs::create_symlink("ziel.zq", link, refused);
    if (refused) GTEST_SKIP() << "no symbolic links here: " << refused.message();
    EditResult result = EditPath(link, 1, [](FakeUiWindow &window) {
        window.Choose("cb_aktion", 3);
        window.Click("button_ok");
    });
    EXPECT_EQ(result.exitCode, ZavorHost::kExitSuccess) << result.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(target), "ZQ-PDF Typ=3 PDFstarten=false\n");
    EXPECT_FALSE(fs::exists(target.string() + ".zavor-edit~"));
}

}  // namespace
