// A host runs the script's event handlers inside the plug-in's callback, so
// a handler may start a new document, stop the plug-in, set any variable or
// raise further events while the export that raised its event is still on
// the stack. Every combination must leave memory intact (the sanitizer build
// checks that) and every handler must read the error text of its own event.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "pdf/pdf_document.h"
#include "platform/file_launcher.h"
#include "platform/message_box.h"
#include "plugin/exports.h"
#include "plugin/host_callback.h"
#include "plugin/recording_host.h"
#include "session/pdf.h"
#include "support/test_output.h"

namespace {

using ZavorPlugin::PDF;
using ZavorTest::HexRecord;

std::string Record(const std::string &fields) {
    return HexRecord("<Settings><ver>100</ver>" + fields + "</Settings>");
}

void Execute(const std::string &fields) { QnD_Execute(Record(fields).c_str()); }

std::string ReadVariable(const char *name, const std::string &args = "") {
    std::vector<char> result(4096, '\0');
    if (QnD_GetVar(name, args.c_str(), 0, result.data()) == 0) return "<none>";
    return result.data();
}

// The host: an "Interrupt" records the event with the error text a handler
// reads through "Fehler" and then runs the handler; "Subst" may run a script
// step once before it answers.
struct Host {
    struct Seen {
        std::string event;
        std::string fehler;
        bool operator==(const Seen &) const = default;
    };
    static inline std::vector<Seen> seen;
    static inline std::function<void()> handler;
    static inline std::function<void()> duringSubst;
    static inline int depth = 0;

    static std::int32_t Callback(const char *funcName, const char *para, std::int32_t, std::int32_t, char *answer) {
        if (std::strcmp(funcName, "Interrupt") == 0) {
            seen.push_back({para, ReadVariable("Fehler")});
            // As the scripting host does, handlers nest only so deep.
            if (handler && depth < 3) {
                ++depth;
                handler();
                --depth;
            }
            return 0;
        }
        if (std::function<void()> step = std::exchange(duringSubst, nullptr)) step();
        std::size_t length = std::strlen(para);
        std::memcpy(answer, para, length + 1);
        return static_cast<std::int32_t>(length);
    }
};

class ReentrantEvents : public testing::Test {
protected:
    void SetUp() override {
        QnD_Stop();
        Host::seen.clear();
        Host::handler = nullptr;
        Host::duringSubst = nullptr;
        QnD_Initialize2(reinterpret_cast<intptr_t>(&Host::Callback));
        Execute("<Typ>0</Typ>");
    }
    void TearDown() override {
        Host::handler = nullptr;
        QnD_Stop();
        ZavorPlugin::CallbackAddress = 0;
    }

    ZavorPlatform::MessageBoxRecorder boxes;
    ZavorPlatform::FileLaunchRecorder launches{false};
};

const std::string kBadFolder = "/nonexistent-dir";
const std::string kFontMessage = "Die Schriftart konnte wegen fehlerhafter Werte nicht erzeugt werden.";
const std::string kSaveMessage = "Die PDF-Datei \"" + kBadFolder + "/x.pdf\" konnte nicht gespeichert werden.";

struct Trigger {
    const char *name;
    std::function<void()> run;
    std::string firstMessage;
};

std::vector<Trigger> Triggers() {
    return {
        {"text with a font of size 0",
         [] {
             QnD_SetVar("NeueSeite", "A4");
             QnD_SetVar("Schriftart", "Arial");
             QnD_SetVar("TextHinzufuegen", "Hallo");
         },
         kFontMessage},
        {"save command with viewer",
         [] { Execute("<Typ>3</Typ><PDFDatei>" + kBadFolder + "/x.pdf</PDFDatei><PDFstarten>true</PDFstarten>"); },
         kSaveMessage},
        {"save variable", [] { QnD_SetVar("PDFSpeichern", (kBadFolder + "/x.pdf").c_str()); }, kSaveMessage},
        {"missing page",
         [] {
             QnD_SetVar("NeueSeite", "A4");
             QnD_SetVar("AktiveSeiteFestlegen", "9");
         },
         "Die Seite \"8\" konnte nicht ausgew\xE4hlt werden. Es sind aktuell 1 Seiten vorhanden!"},
        {"missing picture", [] { QnD_SetVar("BildHinzufuegen", (kBadFolder + "/b.png").c_str()); },
         "Das Bild \"" + kBadFolder + "/b.png\" konnte nicht eingelesen werden."},
        {"bad colour then figure",
         [] {
             QnD_SetVar("FarbeRot", "999");
             QnD_SetVar("RechteckHinzufuegen", "2");
         },
         "Die Farbe konnte wegen fehlerhafter Werte nicht erstellt werden. (0-255 !!!!!!!)"},
        {"reading a missing file", [] { ReadVariable("ExternePDFDatei_Info_AnzahlSeiten", kBadFolder + "/e.pdf"); },
         ""},
    };
}

struct Handler {
    const char *name;
    std::function<void()> run;
};

std::vector<Handler> Handlers() {
    return {
        {"new document", [] { Execute("<Typ>0</Typ>"); }},
        {"new page command", [] { Execute("<Typ>1</Typ><Format>A5</Format><Breite></Breite><Hoehe></Hoehe>"); }},
        {"stop", [] { QnD_Stop(); }},
        {"new page variable", [] { QnD_SetVar("NeueSeite", "A5"); }},
        {"text", [] { QnD_SetVar("TextHinzufuegen", "im Ereignis"); }},
        {"nested page event", [] { QnD_SetVar("AktiveSeiteFestlegen", "99"); }},
        {"nested save event", [] { Execute("<Typ>3</Typ><PDFDatei>/nonexistent-dir/y.pdf</PDFDatei><PDFstarten>false</PDFstarten>"); }},
        {"font", [] { QnD_SetVar("Schriftgroesse", "12"); }},
        {"read", [] { ReadVariable("AnzahlSeiten"); }},
    };
}

// Every handler against every operation that raises events: the handler
// always reads the text of the event it runs for.
TEST_F(ReentrantEvents, AnyHandlerInsideAnyOperationsEvent) {
    for (const Trigger &trigger : Triggers()) {
        for (const Handler &handler : Handlers()) {
            SCOPED_TRACE(std::string(trigger.name) + " / " + handler.name);
            SetUp();
            Host::handler = handler.run;
            trigger.run();
            ASSERT_FALSE(Host::seen.empty());
            if (!trigger.firstMessage.empty()) {
                EXPECT_EQ(Host::seen.front().fehler, trigger.firstMessage);
            }
            Host::handler = nullptr;
        }
    }
}

// The two scripts from the field: the handler's new document stays empty,
// because the operation that failed does not go on drawing into it.
TEST_F(ReentrantEvents, NewDocumentInsideTheEventOfAFailingText) {
    Host::handler = [] { Execute("<Typ>0</Typ>"); };
    QnD_SetVar("NeueSeite", "A4");
    QnD_SetVar("Schriftart", "Arial");
    QnD_SetVar("TextHinzufuegen", "Hallo");
    EXPECT_EQ(Host::seen, (std::vector<Host::Seen>{{"ZAVOR_ObjektFehler", kFontMessage}}));
    EXPECT_EQ(PDF::GetInstance().document->PageCount(), 0);
    EXPECT_EQ(PDF::GetInstance().fehlertext, u"");
}

TEST_F(ReentrantEvents, NewDocumentInsideTheEventOfAFailedSave) {
    Host::handler = [] { Execute("<Typ>0</Typ>"); };
    Execute("<Typ>3</Typ><PDFDatei>" + kBadFolder + "/x.pdf</PDFDatei><PDFstarten>true</PDFstarten>");
    // The viewer's failure still reaches the script, in the new document.
    EXPECT_EQ(Host::seen, (std::vector<Host::Seen>{
                              {"ZAVOR_DateiFehler", kSaveMessage},
                              {"ZAVOR_DateiFehler", "Konnte \"" + kBadFolder + "/x.pdf\" nicht starten."}}));
    EXPECT_TRUE(boxes.Messages().empty());
}

// A nested event is told inside the handler that caused it, with its own
// text; the outer operation's next event follows with its text again.
TEST_F(ReentrantEvents, NestedEventsKeepTheirOwnTexts) {
    QnD_SetVar("NeueSeite", "A4");
    Host::handler = [] {
        if (Host::seen.size() == 1) QnD_SetVar("AktiveSeiteFestlegen", "5");
    };
    Execute("<Typ>3</Typ><PDFDatei>" + kBadFolder + "/x.pdf</PDFDatei><PDFstarten>true</PDFstarten>");
    EXPECT_EQ(Host::seen,
              (std::vector<Host::Seen>{
                  {"ZAVOR_DateiFehler", kSaveMessage},
                  {"ZAVOR_ObjektFehler",
                   "Die Seite \"4\" konnte nicht ausgew\xE4hlt werden. Es sind aktuell 1 Seiten vorhanden!"},
                  {"ZAVOR_DateiFehler", "Konnte \"" + kBadFolder + "/x.pdf\" nicht starten."}}));
}

// A stop inside the first event ends the run: the operation's second event
// has no script left, and nothing starts a session again.
TEST_F(ReentrantEvents, StopInsideAnEventEndsTheRun) {
    Host::handler = [] { QnD_Stop(); };
    Execute("<Typ>3</Typ><PDFDatei>" + kBadFolder + "/x.pdf</PDFDatei><PDFstarten>true</PDFstarten>");
    EXPECT_EQ(Host::seen, (std::vector<Host::Seen>{{"ZAVOR_DateiFehler", kSaveMessage}}));
    EXPECT_FALSE(PDF::HasInstance());
    EXPECT_EQ(QnD_SetVar("NeueSeite", "A4"), 0);
}

// The host may run a script step while it substitutes a record field.
TEST_F(ReentrantEvents, NewDocumentWhileSubstitutingAField) {
    QnD_SetVar("NeueSeite", "A4");
    Host::duringSubst = [] { Execute("<Typ>0</Typ>"); };
    Execute("<Typ>2</Typ><Alpha>255</Alpha><Rot>1</Rot><Gruen>2</Gruen><Blau>3</Blau><Fuellen>true</Fuellen>");
    // The colour belongs to the document that exists once the fields are read.
    EXPECT_EQ(PDF::GetInstance().document->PageCount(), 0);
    EXPECT_EQ(PDF::GetInstance().ColR, 1);
    EXPECT_TRUE(PDF::GetInstance().brushme);

    Host::duringSubst = [] { QnD_SetVar("NeueSeite", "A4"); };
    Execute("<Typ>1</Typ><Format>A5</Format><Breite>100</Breite><Hoehe>200</Hoehe>");
    EXPECT_EQ(PDF::GetInstance().document->PageCount(), 2);

    Host::duringSubst = [] { QnD_Stop(); };
    Execute("<Typ>3</Typ><PDFDatei>" + kBadFolder + "/x.pdf</PDFDatei><PDFstarten>false</PDFstarten>");
    EXPECT_TRUE(Host::seen.empty() || Host::seen.back().event == "ZAVOR_DateiFehler");
}

}  // namespace
