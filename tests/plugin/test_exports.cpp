// The exports called directly, with the message boxes recorded.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "platform/host_window.h"
#include "platform/message_box.h"
#include "plugin/export_guard.h"
#include "plugin/exports.h"
#include "plugin/host_callback.h"

namespace {

using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::MessageBoxMessage;

std::string HexOf(const std::string &text) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : text) {
        hex.push_back(digits[byte >> 4]);
        hex.push_back(digits[byte & 15]);
    }
    return hex;
}

const MessageBoxMessage kEmptyRecordBox{
    u"Auswertung des ZQ-PDF Befehls fehlgeschlagen/Befehl nicht definiert (veraltetes Plugin?)", u"ZAVOR",
    MessageBoxIcon::Warning};
const MessageBoxMessage kVersionBox{u"PROBLEM: Plugin veraltet, bitte neuste Version benutzen!", u"ZAVOR",
                                    MessageBoxIcon::Error};
const MessageBoxMessage kDamagedBox{u"KRITISCH: Daten wurden besch\u00E4digt, der Befehl muss erneut erstellt werden",
                                    u" ZAVOR Plugin - Daten zerst\u00F6rt!", MessageBoxIcon::Error};
const MessageBoxMessage kNotInitialisedBox{u"PDF nicht initialisiert! Bitte zuerst den PDF Befehl nutzen",
                                           u"Das geht so nicht", MessageBoxIcon::Error};

// A buffer filled with a marker, to see exactly which bytes an export wrote.
struct Buffer {
    std::array<char, 64> bytes;
    Buffer() { bytes.fill('#'); }
    char *data() { return bytes.data(); }
    std::string Written() const { return std::string(bytes.data(), std::find(bytes.begin(), bytes.end(), '#')); }
};

class ExportsTest : public testing::Test {
protected:
    void SetUp() override { QnD_Stop(); }
    void TearDown() override {
        QnD_Stop();
        ZavorPlugin::CallbackAddress = 0;
    }
    // Whether the plug-in counts as initialised, seen through QnD_SetVar.
    bool Initialised() {
        ZavorPlatform::MessageBoxRecorder silence;
        return QnD_SetVar("Unbekannt", "") == 1;
    }
    ZavorPlatform::MessageBoxRecorder boxes;
};

TEST_F(ExportsTest, SetVarWarnsOncePerRun) {
    EXPECT_EQ(QnD_SetVar("TextHinzufuegen", "Hallo"), 0);
    EXPECT_EQ(QnD_SetVar("TextHinzufuegen", "Hallo"), 0);
    EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kNotInitialisedBox});
    QnD_Stop();
    QnD_Stop();
    EXPECT_EQ(QnD_SetVar("Schriftart", "Arial"), 0);
    EXPECT_EQ(boxes.Messages(), (std::vector<MessageBoxMessage>{kNotInitialisedBox, kNotInitialisedBox}));
}

TEST_F(ExportsTest, VariablesWorkFromTheFirstExecuteUntilStop) {
    Buffer result;
    EXPECT_EQ(QnD_GetVar("Fehler", "", 0, result.data()), 0);
    EXPECT_EQ(result.Written(), "");
    EXPECT_EQ(QnD_Execute(HexOf("<Settings>\r\n  <ver>100</ver>\r\n  <Typ>0</Typ>\r\n</Settings>").c_str()), 1);
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(QnD_SetVar("Schriftart", "Arial"), 1);
    QnD_Stop();
    EXPECT_EQ(QnD_SetVar("Schriftart", "Arial"), 0);
    EXPECT_EQ(QnD_GetVar("Fehler", "", 0, result.data()), 0);
    EXPECT_EQ(result.Written(), "");
    EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kNotInitialisedBox});
}

// The boxes' owner lives as long as the run that announced it.
TEST_F(ExportsTest, HostWindowIsKeptUntilStop) {
    EXPECT_EQ(QnD_SetWindow(0x1234, 7), 1);
    EXPECT_EQ(ZavorPlatform::HostWindow(), 0x1234);
    EXPECT_EQ(QnD_SetWindow(0x5678, 0), 1);
    EXPECT_EQ(ZavorPlatform::HostWindow(), 0x5678);
    QnD_Stop();
    EXPECT_EQ(ZavorPlatform::HostWindow(), 0);
}

TEST_F(ExportsTest, ExecuteChecksTheRecord) {
    struct Case {
        const char *name;
        std::string record;
        const MessageBoxMessage *box;  // nullptr: none
        bool initialises;
    };
    const Case cases[] = {
        {"empty", "", &kEmptyRecordBox, false},
        {"version 101", HexOf("<Settings><ver>101</ver><Typ>0</Typ></Settings>"), &kVersionBox, false},
        {"version 99 upper case", "3C53657474696E67733E3C7665723E39393C2F7665723E3C2F53657474696E67733E",
         &kVersionBox, false},
        {"not hex", "3c5z", &kDamagedBox, true},
        {"not XML", HexOf("<Settings><ver>100</ver>"), &kDamagedBox, true},
        {"other root", HexOf("<Setting><ver>100</ver><Typ>0</Typ></Setting>"), &kDamagedBox, true},
        {"no version", HexOf("<Settings><Typ>0</Typ></Settings>"), &kDamagedBox, true},
        {"no type", HexOf("<Settings><ver>100</ver></Settings>"), &kDamagedBox, true},
        {"type 7", HexOf("<Settings><ver>100</ver><Typ>7</Typ></Settings>"), nullptr, true},
        {"odd length", HexOf("<Settings><ver>100</ver><Typ>1</Typ></Settings>") + "a", nullptr, true},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        QnD_Stop();
        boxes.Clear();
        EXPECT_EQ(QnD_Execute(test.record.c_str()), 1);
        if (test.box != nullptr) {
            EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{*test.box});
        } else {
            EXPECT_TRUE(boxes.Messages().empty());
        }
        EXPECT_EQ(Initialised(), test.initialises);
    }
}

TEST_F(ExportsTest, RejectedRecordKeepsAnEarlierInitialisation) {
    QnD_Execute(HexOf("<Settings><ver>100</ver><Typ>0</Typ></Settings>").c_str());
    QnD_Execute("");
    QnD_Execute(HexOf("<Settings><ver>1</ver></Settings>").c_str());
    EXPECT_TRUE(Initialised());
}

TEST_F(ExportsTest, NullTextsAreEmpty) {
    EXPECT_EQ(QnD_Execute(nullptr), 1);
    EXPECT_EQ(boxes.Messages(), std::vector<MessageBoxMessage>{kEmptyRecordBox});
    EXPECT_EQ(QnD_ComParas(nullptr, nullptr, nullptr), 1);
}

TEST_F(ExportsTest, EditHandsTheRecordBackEncodedAnew) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", ""},
        {"3C53657474696E67733E", "3c53657474696e67733e"},
        {"3c5", "3c"},
        {"3c5z", "3c5z"},  // damaged: unchanged
    };
    for (const Case &test : cases) {
        std::array<char, 64> out;
        out.fill('#');
        EXPECT_EQ(QnD_Edit(test.in.c_str(), out.data()), 1);
        EXPECT_EQ(std::string(out.data()), test.out);
    }
    EXPECT_TRUE(boxes.Messages().empty());
}

std::string lastEvent;

// Declared with the host's calling convention: a lambda converts only to a
// function of the default one, which is another on 32-bit Windows.
std::int32_t ZAVOR_CALL RecordingCallback(const char *, const char *para, std::int32_t, std::int32_t, char *) {
    lastEvent = para;
    return 0;
}

TEST_F(ExportsTest, InitializeStoresTheCallback) {
    ZavorPlugin::HostCallback pointer = RecordingCallback;
    QnD_Initialize2(reinterpret_cast<intptr_t>(pointer));
    ZavorPlugin::RaiseEvent(u"ZAVOR_Fehler");
    EXPECT_EQ(lastEvent, "ZAVOR_Fehler");
    QnD_Stop();  // the callback survives the end of a run
    ZavorPlugin::RaiseEvent(u"ZAVOR_DateiFehler");
    EXPECT_EQ(lastEvent, "ZAVOR_DateiFehler");
}

TEST_F(ExportsTest, GuardTurnsAnyFailureIntoABox) {
    EXPECT_EQ(ZavorPlugin::GuardExport(5, []() -> std::int32_t { throw std::runtime_error("Fehler \xC3\xA4"); }), 5);
    EXPECT_EQ(ZavorPlugin::GuardExport(6, []() -> std::int32_t { throw 17; }), 6);
    EXPECT_EQ(boxes.Messages(),
              (std::vector<MessageBoxMessage>{
                  {u"Interner Fehler im PDF-Plugin!\n\nFehler \u00E4", u"Where is the Guru?", MessageBoxIcon::Error},
                  {u"Interner Fehler im PDF-Plugin!\n\nUnbekannter Fehler", u"Where is the Guru?",
                   MessageBoxIcon::Error}}));
}

}  // namespace
