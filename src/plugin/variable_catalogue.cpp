#include "plugin/variable_catalogue.h"

#include <array>
#include <string_view>

#include "plugin/ansi_text.h"

namespace ZavorPlugin {

namespace {

struct CatalogueEntry {
    std::u16string_view name;
    std::u16string_view description;
};

// "S:" marks a variable that scripts set, "L:" one that they read. The texts
// are the ones the host has always listed, typing slips and the doubled
// description of the keywords variable included: scripts and their authors
// know them so.
constexpr std::u16string_view kBoxPosition =
    u"Koordinaten setzen, wo der n\u00e4chste Text/Bild auf der aktuellen Seite stehen soll";
constexpr std::u16string_view kColourComponent =
    u"(Veraltet!-Befehl nutzen) Zeichenfarbe(argb) setzen, wird ab diesem Punkt verwendet";
constexpr std::u16string_view kLineEffect = u"Ausgabe modifizieren AUS=0, sonst Abstand;Muster(1-5)";

constexpr std::array<CatalogueEntry, 58> kVariables{{
    {u"S:Info_Titel", u"Titel des PDF"},
    {u"S:Info_Autor", u"Autor des PDF"},
    {u"S:Info_Keywords", u"Suchbegriffe des PDF festlegen"},
    {u"S:TextHinzufuegen", u"F\u00fcgt dem PDF auf der aktuellen Seite Text hinzu"},
    {u"S:Schriftart", u"Schriftart setzen, wird ab diesem Punkt verwendet"},
    {u"S:Schriftgroesse", u"Schriftgr\u00f6\u00dfe setzen, wird ab diesem Punkt verwendet"},
    {u"S:Zielbox_X", kBoxPosition},
    {u"S:Zielbox_Y", kBoxPosition},
    {u"S:Zielbox_Breite", u"Breite setzen, wo der n\u00e4chste Text/Bild auf der aktuellen Seite stehen soll"},
    {u"S:Zielbox_Hoehe", u"H\u00f6he setzen, wo der n\u00e4chste Text/Bild auf der aktuellen Seite stehen soll"},
    {u"S:EllipseHinzufuegen",
     u"(optional: Liniendicke angeben) - erstellt eine Ellipse/Kreis aus den Box- und Farbeinstellungen"},
    {u"S:LinieHinzufuegen", u"(optional: Liniendicke angeben) - erstellt eine Linie aus den Box- und Farbeinstellungen"},
    {u"S:RechteckHinzufuegen",
     u"(optional: Liniendicke angeben) - erstellt ein Rechteck aus den Box- und Farbeinstellungen"},
    {u"S:RundesRechteckHinzufuegen",
     u"(optional: Liniendicke;EllipseH\u00f6he;ElLipseBreite angeben) - erstellt ein rundes Rechteck aus den Box- "
     u"und Farbeinstellungen"},
    {u"S:TextVAusrichtung", u"1=links, 2=zentriert, 3=rechts, 4=Blocktext"},
    {u"S:TextHAusrichtung", u"1=Oben, 2=Mitte, 3=Unten"},
    {u"S:HauptLesezeichenHinzufuegen",
     u"Name des Lesezeichens - erstellt ein Lesezeichen mit \u00fcbergebenen Namen (f\u00fcr aktuelle Seite)"},
    {u"S:UnterLesezeichenHinzufuegen",
     u"Name des Lesezeichens - erstellt ein Unterlesezeichen(unter letztem Hauptlesezeichen) mit \u00fcbergebenen "
     u"Namen"},
    {u"S:DokumentlinkHinzufuegen",
     u"Zielseite \u00fcbergeben - F\u00fcgt dem PDF auf der aktuellen Seite eine unsichtbare Linkbox zu eine Seite "
     u"im PDF hinzu"},
    {u"S:DateilinkHinzufuegen",
     u"Dateipfad \u00fcbergeben - F\u00fcgt dem PDF auf der aktuellen Seite eine unsichtbare Linkbox zu einer Datei "
     u"hinzu"},
    {u"S:WeblinkHinzufuegen",
     u"URL \u00fcbergeben - F\u00fcgt dem PDF auf der aktuellen Seite eine unsichtbare Linkbox zu einer URL hinzu"},
    {u"S:NotizHinzufuegen", u"Icon (0-7);Titel;Thema;Text der Notiz - F\u00fcgt dem PDF eine Anmerkung hinzu"},
    {u"S:BildHinzufuegen", u"Bilddatei - f\u00fcgt das Bild hinzu (mit den Daten der Zielbox)"},
    {u"S:Drehung", u"Dreht die Zielbox um X Grad"},
    {u"S:Schubeffekt", u"X;Y - Box Schubeffekt hinzuf\u00fcgen (+/-), (Werte in %)"},
    {u"S:Skalieren", u"Breite;H\u00f6he - Skalieren der ZielBox (Werte in %)"},
    {u"S:ExternePDFDatei_Hinzufuegen",
     u"F\u00fcgt PDF Datei dem aktuellen PDF hinzu: Aufbau: Seitevon;Seitebis;Datei "},
    {u"S:ExternePDFDatei_AlleSeitenHinzufuegen", u"F\u00fcgt die komplette PDF Datei dem aktuellen PDF hinzu"},
    {u"S:Sicherheit_BesitzerPasswort", u"(Besitzer/Ersteller-)Passwort f\u00fcr die zu erstellende Datei setzen"},
    {u"L:ExternePDFDatei_Info_AnzahlSeiten", u"Gibt die Anzahl der Seiten der \u00fcbergebenen PDF Datei zur\u00fcck"},
    {u"S:Sicherheit_AnwenderPasswort", u"(Anwender-)Passwort f\u00fcr die zu erstellende Datei setzen"},
    {u"S:AktiveSeiteFestlegen",
     u"Legt die aktuelle Seite im PDF fest, wo die folgenden Objekte (Text, Bilder usw.) plaziert werden"},
    {u"L:AnzahlSeiten", u"Aktuelle Anzahl der Seiten im PDF"},
    {u"L:ExternePDFDatei_Info_Autor", u"Gibt den Autor der \u00fcbergebenen PDF Datei zur\u00fcck"},
    {u"L:ExternePDFDatei_Info_Keywords", u"Gibt den Autor der \u00fcbergebenen PDF Datei zur\u00fcck"},
    {u"L:ExternePDFDatei_Info_Ersteller", u"Gibt den Ersteller der \u00fcbergebenen PDF Datei zur\u00fcck"},
    {u"L:ExternePDFDatei_Info_Erstelltmit",
     u"Gibt den Namen der benutzen Engine der \u00fcbergebenen PDF Datei zur\u00fcck"},
    {u"L:ExternePDFDatei_Info_Titel", u"Gibt den Titel der \u00fcbergebenen PDF Datei zur\u00fcck"},
    {u"S:EffektTemplate_Radius", u"Ausgabe modifizieren AUS=0, sonst Wert1(1-360);Wert2(1-360);Muster(1-5)"},
    {u"S:EffektTemplate_Bild", u"Ausgabe modifizieren, Dateipfad \u00fcbergeben! "},
    {u"S:EffektTemplate_Horizontal", kLineEffect},
    {u"S:EffektTemplate_Vertikal", kLineEffect},
    {u"S:EffektTemplate_Gitter", u"Ausgabe modifizieren AUS=0, sonst AbstandH;AbstandV;Muster(1-5)"},
    {u"S:TorteHinzufuegen",
     u"Liniendicke;von Prozent;bis Prozent - erstellt eine Torte aus den Box- und Farbeinstellungen"},
    {u"S:BogenHinzufuegen",
     u"(Liniendicke;Startwinbkel;Endwinkel) - erstellt einen Bogen aus den Box- und Farbeinstellungen"},
    {u"L:ExternePDFDatei_Text", u"(Seite;PDF-Datei) - Text aus PDF extrahieren"},
    {u"S:PolygonHinzufuegen", u"Liniendicke;Punkt1X,Punkt1Y;Punkt2X,Punkt2Y usw. - erstellt ein Vieleck"},
    {u"L:Fehler", u"zuletzt aufgetretener Fehler"},
    {u"S:PDFSpeichern",
     u"(Veraltet!-Befehl nutzen) Finalisieren des PDF und unter dem \u00fcbergebenen PDF/Dateinamen speichern"},
    {u"S:NeueSeite",
     u"(Veraltet!-Befehl nutzen) Erstellt eine neue Seite im PDF- OPTIONAL: Formatkonstante \u00fcbergeben A0-A5, "
     u"B0-B5 oder X1-X21"},
    {u"S:ObjektFuellen",
     u"(Veraltet!-Befehl nutzen) 1=aktiv sonst aus, funktioniert nicht mit Templates und ignoriert Liniendicke, "
     u"F\u00fcllt geometrische Formen mit der aktuellen Farbe"},
    {u"S:FarbeAlpha",
     u"(Veraltet!-Befehl nutzen) Zeichenfarbe(argb) setzen (alpha;rot;gr\u00fcn;blau), wird ab diesem Punkt "
     u"verwendet"},
    {u"S:FarbeRot", kColourComponent},
    {u"S:FarbeGruen", kColourComponent},
    {u"S:FarbeBlau", kColourComponent},
    {u"S:Seite_Hoehe", u"(Veraltet!-Befehl nutzen) H\u00f6he der neuen Seite setzen"},
    {u"S:Seite_Breite", u"(Veraltet!-Befehl nutzen) Breite der neuen Seite setzen"},
    {u"S:ExternePDFDatei_Passwort", u"Passwort zum \u00d6ffnen externer PDF-Dateien setzen"},
}};

constexpr std::array<CatalogueEntry, 3> kEvents{{
    {u"ZAVOR_Fehler", u"Interner Fehler"},
    {u"ZAVOR_DateiFehler", u"PDFDatei konnte nicht erstellt werden"},
    {u"ZAVOR_ObjektFehler", u"PDFObjekt konnte nicht erstellt werden"},
}};

template <std::size_t Size>
void WriteEntry(const std::array<CatalogueEntry, Size> &table, std::int32_t index, char *name, char *descr) {
    // The host asks by rising index until it sees nothing written; the
    // buffers beyond the table must stay exactly as they were.
    if (index < 0 || static_cast<std::size_t>(index) >= Size) return;
    const CatalogueEntry &entry = table[static_cast<std::size_t>(index)];
    WriteAnsi(name, entry.name);
    WriteAnsi(descr, entry.description);
}

}  // namespace

void WriteVariableCatalogueEntry(std::int32_t index, char *varName, char *descr) {
    WriteEntry(kVariables, index, varName, descr);
}

void WriteEventCatalogueEntry(std::int32_t index, char *eventName, char *descr) {
    WriteEntry(kEvents, index, eventName, descr);
}

}  // namespace ZavorPlugin
