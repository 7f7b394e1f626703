// What the plug-in announces to the host: the variable catalogue and the
// event catalogue, byte for byte in ANSI.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "plugin/exports.h"
#include "recording_host.h"

namespace {

using ZavorTest::HostBuffer;

constexpr std::int32_t kVariableCount = 58;

struct Entry {
    std::int32_t index;
    std::string name;
    std::string description;
};

TEST(VariableCatalogue, EntriesByteForByte) {
    // The first and last entries, the single-byte umlauts and sharp s, the
    // two descriptions with a trailing blank and the longest one.
    const Entry entries[] = {
        {0, "S:Info_Titel", "Titel des PDF"},
        {5, "S:Schriftgroesse", "Schriftgr\xF6\xDF" "e setzen, wird ab diesem Punkt verwendet"},
        {13, "S:RundesRechteckHinzufuegen",
         "(optional: Liniendicke;EllipseH\xF6he;ElLipseBreite angeben) - erstellt ein rundes Rechteck aus den Box- "
         "und Farbeinstellungen"},
        {26, "S:ExternePDFDatei_Hinzufuegen",
         "F\xFCgt PDF Datei dem aktuellen PDF hinzu: Aufbau: Seitevon;Seitebis;Datei "},
        {27, "S:ExternePDFDatei_AlleSeitenHinzufuegen", "F\xFCgt die komplette PDF Datei dem aktuellen PDF hinzu"},
        {29, "L:ExternePDFDatei_Info_AnzahlSeiten", "Gibt die Anzahl der Seiten der \xFC" "bergebenen PDF Datei zur\xFC" "ck"},
        {34, "L:ExternePDFDatei_Info_Keywords", "Gibt den Autor der \xFC" "bergebenen PDF Datei zur\xFC" "ck"},
        {39, "S:EffektTemplate_Bild", "Ausgabe modifizieren, Dateipfad \xFC" "bergeben! "},
        {47, "L:Fehler", "zuletzt aufgetretener Fehler"},
        {50, "S:ObjektFuellen",
         "(Veraltet!-Befehl nutzen) 1=aktiv sonst aus, funktioniert nicht mit Templates und ignoriert Liniendicke, "
         "F\xFCllt geometrische Formen mit der aktuellen Farbe"},
        {51, "S:FarbeAlpha",
         "(Veraltet!-Befehl nutzen) Zeichenfarbe(argb) setzen (alpha;rot;gr\xFCn;blau), wird ab diesem Punkt "
         "verwendet"},
        {56, "S:Seite_Breite", "(Veraltet!-Befehl nutzen) Breite der neuen Seite setzen"},
        {57, "S:ExternePDFDatei_Passwort", "Passwort zum \xD6" "ffnen externer PDF-Dateien setzen"},
    };
    for (const Entry &entry : entries) {
        SCOPED_TRACE(entry.index);
        HostBuffer name, description;
        EXPECT_EQ(QnD_ExtraVarName(entry.index, name.data(), description.data()), 1);
        EXPECT_TRUE(name.Holds(entry.name)) << name.Text();
        EXPECT_TRUE(description.Holds(entry.description)) << description.Text();
    }
}

TEST(VariableCatalogue, EveryEntryIsMarkedAndFitsTheHostsBuffers) {
    std::set<std::string> names;
    std::size_t longestName = 0, longestDescription = 0;
    for (std::int32_t index = 0; index < kVariableCount; ++index) {
        HostBuffer name, description;
        QnD_ExtraVarName(index, name.data(), description.data());
        std::string text = name.Text();
        EXPECT_TRUE(text.starts_with("S:") || text.starts_with("L:")) << text;
        EXPECT_FALSE(description.Text().empty()) << text;
        names.insert(text.substr(2));
        longestName = std::max(longestName, text.size() + 1);
        longestDescription = std::max(longestDescription, description.Text().size() + 1);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kVariableCount));
    // Including the terminating zero: what the host reserves for them.
    EXPECT_EQ(longestName, 40u);
    EXPECT_EQ(longestDescription, 155u);
}

TEST(VariableCatalogue, IndexesBeyondTheTablesLeaveTheBuffersAlone) {
    for (std::int32_t index : {-1, kVariableCount, 1000, INT32_MAX, INT32_MIN}) {
        HostBuffer name, description;
        EXPECT_EQ(QnD_ExtraVarName(index, name.data(), description.data()), 1);
        EXPECT_TRUE(name.Untouched());
        EXPECT_TRUE(description.Untouched());
    }
    for (std::int32_t index : {-1, 3, INT32_MAX}) {
        HostBuffer name, description, parameters;
        EXPECT_EQ(QnD_ExtraEventName(index, name.data(), description.data(), parameters.data()), 1);
        EXPECT_TRUE(name.Untouched());
        EXPECT_TRUE(description.Untouched());
    }
}

TEST(VariableCatalogue, Events) {
    const Entry events[] = {
        {0, "ZAVOR_Fehler", "Interner Fehler"},
        {1, "ZAVOR_DateiFehler", "PDFDatei konnte nicht erstellt werden"},
        {2, "ZAVOR_ObjektFehler", "PDFObjekt konnte nicht erstellt werden"},
    };
    for (const Entry &event : events) {
        HostBuffer name, description, parameters;
        EXPECT_EQ(QnD_ExtraEventName(event.index, name.data(), description.data(), parameters.data()), 1);
        EXPECT_TRUE(name.Holds(event.name));
        EXPECT_TRUE(description.Holds(event.description));
        EXPECT_TRUE(parameters.Untouched());
    }
}

}  // namespace
