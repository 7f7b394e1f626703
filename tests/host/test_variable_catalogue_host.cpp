// The real plug-in's catalogues and script line texts as the zavor host
// lists them: the ANSI bytes arrive as the right characters.
#include <gtest/gtest.h>

#include <string>

#include "host/zavor_process.h"

namespace ZavorHostTest {
namespace {

std::size_t LinesStartingWith(const std::string &text, const std::string &prefix) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = text.find(prefix, at)) != std::string::npos; at += prefix.size()) {
        if (at == 0 || text[at - 1] == '\n') ++count;
    }
    return count;
}

TEST(RealPluginCatalogue, VarsListsEveryVariableAndEvent) {
    ScratchFolder folder;
    ProcessResult result = RunZavor(folder, "vars");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.out, "variable\t"), 58u);
    EXPECT_EQ(LinesStartingWith(result.out, "event\t"), 3u);
    const char *lines[] = {
        "category\tZAVOR\n",
        "variable\tS:Schriftgroesse\tSchriftgr\xC3\xB6\xC3\x9F" "e setzen, wird ab diesem Punkt verwendet\n",
        "variable\tS:ExternePDFDatei_Hinzufuegen\tF\xC3\xBCgt PDF Datei dem aktuellen PDF hinzu: Aufbau: "
        "Seitevon;Seitebis;Datei \n",
        "variable\tL:ExternePDFDatei_Text\t(Seite;PDF-Datei) - Text aus PDF extrahieren\n",
        "variable\tS:Seite_Breite\t(Veraltet!-Befehl nutzen) Breite der neuen Seite setzen\n",
        "variable\tS:ExternePDFDatei_Passwort\tPasswort zum \xC3\x96" "ffnen externer PDF-Dateien setzen\n"
        "event\tZAVOR_Fehler",
        "event\tZAVOR_ObjektFehler\tPDFObjekt konnte nicht erstellt werden\n",
    };
    for (const char *line : lines) EXPECT_NE(result.out.find(line), std::string::npos) << line;
}

TEST(RealPluginCatalogue, ShowUsesTheRealTexts) {
    ScratchFolder folder;
    folder.Write("s.zq",
                 "ZQ-PDF Typ=0\n"
                 "ZQ-PDF Typ=2 Alpha=255 Rot=0 Gruen=128 Blau=0 Fuellen=true\n"
                 "ZQ-PDF Typ=1 Format=A5 Quer=true\n"
                 "ZQ-PDF Typ=3 PDFDatei=\"[d]/\xC3\xBC.pdf\" PDFstarten=true\n");
    ProcessResult result = RunZavor(folder, "show s.zq");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "1: ZQ-PDF Neue PDF erstellen\n"
              "2: ZQ-PDF Zeichenfarbe festlegen - Alpha: 255, Rot: 0, Gr\xC3\xBCn: 128, Blau: 0, Objekte "
              "f\xC3\xBCllen\n"
              "3: ZQ-PDF Neue Seite erstellen - mit Seitenvorlage, Querformat\n"
              "4: ZQ-PDF PDF speichern - Ziel: [d]/\xC3\xBC.pdf, PDF nach Speichern anzeigen\n");
}

}  // namespace
}  // namespace ZavorHostTest
