// The two texts the host's script editor shows for a command line, read from
// the line's settings record through QnD_GetShowLine, byte for byte in ANSI.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "plugin/exports.h"
#include "recording_host.h"
#include "session/pdf.h"

namespace {

using ZavorTest::HexRecord;
using ZavorTest::HostBuffer;

const std::string kProblem =
    ">>>Problem: Hier k\xF6nnte Ihre Werbung stehen, leider ist es dieser Fehler: Bitte Pluginversion pr\xFC"
    "fen!<<<";

std::string Record(const std::string &fields) { return HexRecord("<Settings>" + fields + "</Settings>"); }

struct ShowLineCase {
    const char *name;
    std::string record;  // hex, as the host stores it
    std::string main;
    std::optional<std::string> sub;  // nothing: the host's buffer stays untouched
};

TEST(ScriptLineText, TextsOfEachKindOfLine) {
    const ShowLineCase cases[] = {
        {"empty record", "", "Neue PDF erstellen", std::nullopt},
        {"new document", Record("<ver>100</ver><Typ>0</Typ>"), "Neue PDF erstellen", std::nullopt},
        {"unknown kind", Record("<ver>100</ver><Typ>7</Typ>"), "Neue PDF erstellen", std::nullopt},
        {"page without template", Record("<ver>100</ver><Typ>1</Typ><Format></Format><Quer>true</Quer>"),
         "Neue Seite erstellen", std::nullopt},
        {"page portrait", Record("<ver>100</ver><Typ>1</Typ><Format>A4</Format><Quer>false</Quer>"),
         "Neue Seite erstellen", "mit Seitenvorlage"},
        {"page landscape", Record("<ver>100</ver><Typ>1</Typ><Format>A4</Format><Quer>true</Quer>"),
         "Neue Seite erstellen", "mit Seitenvorlage, Querformat"},
        {"landscape only as written exactly",
         Record("<ver>100</ver><Typ>1</Typ><Format>A4</Format><Quer>True</Quer>"), "Neue Seite erstellen",
         "mit Seitenvorlage"},
        {"colour filled",
         Record("<ver>100</ver><Typ>2</Typ><Alpha>255</Alpha><Rot>0</Rot><Gruen>128</Gruen><Blau>0</Blau>"
                "<Fuellen>true</Fuellen>"),
         "Zeichenfarbe festlegen", "Alpha: 255, Rot: 0, Gr\xFCn: 128, Blau: 0, Objekte f\xFCllen"},
        {"colour with an empty and a missing field",
         Record("<ver>100</ver><Typ>2</Typ><Alpha>255</Alpha><Rot></Rot><Gruen>[g]</Gruen>"
                "<Fuellen>false</Fuellen>"),
         "Zeichenfarbe festlegen", "Alpha: 255, Rot: , Gr\xFCn: [g], Blau: "},
        {"save and show", Record("<ver>100</ver><Typ>3</Typ><PDFDatei>[Ordner]/a.pdf</PDFDatei>"
                                 "<PDFstarten>true</PDFstarten>"),
         "PDF speichern", "Ziel: [Ordner]/a.pdf, PDF nach Speichern anzeigen"},
        {"old version whatever the kind", Record("<ver>99</ver><Typ>2</Typ>"),
         "PROBLEM: Plugin veraktet, bitte neuste Version benutzen!", std::nullopt},
        {"colour without fill flag", Record("<ver>100</ver><Typ>2</Typ><Alpha>1</Alpha>"), kProblem, std::nullopt},
        {"save without start flag", Record("<ver>100</ver><Typ>3</Typ><PDFDatei>a.pdf</PDFDatei>"), kProblem,
         std::nullopt},
        {"no version", Record("<Typ>1</Typ>"), kProblem, std::nullopt},
        {"kind not a number", Record("<ver>100</ver><Typ>eins</Typ>"), kProblem, std::nullopt},
        {"not hex", "3c5z", kProblem, std::nullopt},
        {"not XML", HexRecord("<Settings><ver>100</ver>"), kProblem, std::nullopt},
    };
    for (const ShowLineCase &test : cases) {
        SCOPED_TRACE(test.name);
        HostBuffer main, sub;
        EXPECT_EQ(QnD_GetShowLine(test.record.c_str(), main.data(), sub.data(), 1), 1);
        EXPECT_TRUE(main.Holds(test.main)) << main.Text();
        if (test.sub) {
            EXPECT_TRUE(sub.Holds(*test.sub)) << sub.Text();
        } else {
            EXPECT_TRUE(sub.Untouched()) << sub.Text();
        }
    }
}

TEST(ScriptLineText, RecordTextsKeepTheirAnsiBytes) {
    // The record carries Windows-1252 bytes; an umlaut in the path comes
    // back as the same single byte.
    std::string record = HexRecord(
        "<Settings><ver>100</ver><Typ>3</Typ><PDFDatei>C:\\\xDC" "bersicht.pdf</PDFDatei>"
        "<PDFstarten>0</PDFstarten></Settings>");
    HostBuffer main, sub;
    QnD_GetShowLine(record.c_str(), main.data(), sub.data(), 0);
    EXPECT_TRUE(main.Holds("PDF speichern"));
    EXPECT_TRUE(sub.Holds("Ziel: C:\\\xDC" "bersicht.pdf")) << sub.Text();
}

TEST(ScriptLineText, NeedsNoSessionAndNoInitialisation) {
    QnD_Stop();
    const bool sessionBefore = ZavorPlugin::PDF::HasInstance();
    ZavorPlatform::MessageBoxRecorder boxes;
    HostBuffer main, sub;
    QnD_GetShowLine(Record("<ver>100</ver><Typ>2</Typ>").c_str(), main.data(), sub.data(), 0);
    EXPECT_TRUE(main.Holds(kProblem));
    EXPECT_TRUE(boxes.Messages().empty());
    EXPECT_EQ(QnD_GetShowLine(nullptr, main.data(), sub.data(), 0), 1);
    EXPECT_EQ(main.Text(), "Neue PDF erstellen");
    EXPECT_EQ(ZavorPlugin::PDF::HasInstance(), sessionBefore);
}

}  // namespace
