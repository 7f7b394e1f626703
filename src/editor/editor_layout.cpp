#include "editor/editor_layout.h"

#include <array>
#include <vector>

namespace ZavorPlugin {
namespace {

constexpr std::array<EditorListEntry, 4> kActions{{
    {"0", "Neues PDF erstellen"},
    {"1", "Neue Seite hinzufügen"},
    {"2", "Zeichenfarbe festlegen"},
    {"3", "PDF speichern"},
}};

constexpr std::array<EditorListEntry, 33> kPageTemplates{{
    {"A0", "A0"},
    {"A1", "A1"},
    {"A2", "A2"},
    {"A3", "A3"},
    {"A4", "A4"},
    {"A5", "A5"},
    {"B0", "B0"},
    {"B1", "B1"},
    {"B2", "B2"},
    {"B3", "B3"},
    {"B4", "B4"},
    {"B5", "B5"},
    {"X1", "Quart"},
    {"X2", "Kanzleipapier"},
    {"X3", "Executive"},
    {"X4", "GovernmentLetter"},
    {"X5", "Letter"},
    {"X6", "Legal"},
    {"X7", "Ledger"},
    {"X8", "Tabloid"},
    {"X9", "Post"},
    {"X10", "Crown"},
    {"X11", "LargePost"},
    {"X12", "Demy"},
    {"X13", "Medium"},
    {"X14", "Royal"},
    {"X15", "Elephant"},
    {"X16", "DoubleDemy"},
    {"X17", "QuadDemy"},
    {"X18", "STMT"},
    {"X19", "Folio"},
    {"X20", "Statement"},
    {"X21", "10x14"},
}};

constexpr std::string_view kPageHint =
    "Bei Angabe einer gültigen Seitenvorlage, werden Breite und Höhe ignoriert!\n"
    "Achtung: Bei Verwendung von [Variablen] für Seitenvorlage, muss für\n"
    "exotische Formate (alle außer A0-A5 und B0-B5), X1-X21 verwendet\n"
    "werden (Zählung wie in Liste sortiert, Kanzleipapier ist z.B. X2)";

constexpr std::string_view kCredits =
    "ZAVOR\n"
    "PDF-Plugin für Vornix\n"
    "Version 1.0\n\n"
    "Gebaut mit zlib, OpenSSL, pugixml,\n"
    "FreeType, fontconfig und GTK.\n\n"
    "Danke an alle, die Fehler gemeldet\n"
    "und Skripte geschickt haben.";

std::string Escape(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c; break;
        }
    }
    return escaped;
}

std::string Prop(std::string_view name, std::string_view value) {
    return "<property name=\"" + std::string(name) + "\">" + Escape(value) + "</property>";
}

std::string Style(std::string_view styleClass) {
    return "<style><class name=\"" + std::string(styleClass) + "\"/></style>";
}

std::string Object(std::string_view kind, std::string_view id, const std::string &body) {
    return "<object class=\"" + std::string(kind) + "\" id=\"" + std::string(id) + "\">" + body + "</object>";
}

std::string Child(const std::string &object, const std::string &packing = {}) {
    return "<child>" + object + (packing.empty() ? "" : "<packing>" + packing + "</packing>") + "</child>";
}

std::string Cell(int left, int top, int width = 1, int height = 1) {
    return Prop("left-attach", std::to_string(left)) + Prop("top-attach", std::to_string(top)) +
           Prop("width", std::to_string(width)) + Prop("height", std::to_string(height));
}

std::string Visible(bool visible) { return Prop("visible", visible ? "True" : "False"); }

std::string Label(std::string_view id, std::string_view text) {
    return Object("GtkLabel", id, Visible(true) + Prop("label", text) + Prop("xalign", "0"));
}

std::string Entry(std::string_view id, std::string_view styleClass = "textfeld") {
    return Object("GtkEntry", id,
                  Visible(true) + Prop("hexpand", "True") + Prop("activates-default", "True") + Style(styleClass));
}

std::string Check(std::string_view id, std::string_view text) {
    return Object("GtkCheckButton", id, Visible(true) + Prop("label", text));
}

std::string Items(std::span<const EditorListEntry> entries) {
    std::string items = "<items>";
    for (const EditorListEntry &entry : entries) {
        items += "<item id=\"" + std::string(entry.id) + "\">" + Escape(entry.caption) + "</item>";
    }
    return items + "</items>";
}

std::string Box(std::string_view id, std::string_view orientation, bool visible, const std::vector<std::string> &children,
                const std::string &extra = {}) {
    std::string body = Visible(visible) + Prop("orientation", orientation) + Prop("spacing", "8") + extra;
    for (const std::string &child : children) body += Child(child);
    return Object("GtkBox", id, body);
}

std::string Grid(std::string_view id, const std::vector<std::pair<std::string, std::string>> &cells) {
    std::string body = Visible(false) + Prop("row-spacing", "6") + Prop("column-spacing", "8");
    for (const auto &[object, cell] : cells) body += Child(object, cell);
    return Object("GtkGrid", id, body);
}

std::string ColourPanel() {
    std::string preview = Object("GtkFrame", "grid_vorschau",
                                 Visible(true) + Prop("width-request", "120") + Prop("height-request", "80") +
                                     Style("vorschau"));
    return Grid("grid_farbe", {
                                  {Label("label_alpha", "Alpha:"), Cell(0, 0)},
                                  {Entry("tb_alpha"), Cell(1, 0)},
                                  {Label("label_vorschau", "Farbvorschau:"), Cell(2, 0)},
                                  {Label("label_rot", "Rot:"), Cell(0, 1)},
                                  {Entry("tb_rot", "farbfeld-rot"), Cell(1, 1)},
                                  {preview, Cell(2, 1, 1, 3)},
                                  {Label("label_gruen", "Grün:"), Cell(0, 2)},
                                  {Entry("tb_gruen", "farbfeld-gruen"), Cell(1, 2)},
                                  {Label("label_blau", "Blau:"), Cell(0, 3)},
                                  {Entry("tb_blau", "farbfeld-blau"), Cell(1, 3)},
                                  {Check("cb_fill", "Objekte mit Farbe füllen"), Cell(0, 4, 3)},
                              });
}

std::string NewPagePanel() {
    std::string templates = Object("GtkComboBoxText", "cb_vorlage",
                                   Visible(true) + Prop("has-entry", "True") + Prop("hexpand", "True") +
                                       Items(PageTemplateEntries()));
    return Grid("grid_neueseite", {
                                      {Label("label_vorlage", "Seitenvorlage:"), Cell(0, 0)},
                                      {templates, Cell(1, 0)},
                                      {Label("label_breite", "Breite:"), Cell(0, 1)},
                                      {Entry("tb_breite"), Cell(1, 1)},
                                      {Label("label_hoehe", "Höhe:"), Cell(0, 2)},
                                      {Entry("tb_hoehe"), Cell(1, 2)},
                                      {Check("cb_quer", "Querformat"), Cell(0, 3, 2)},
                                      {Label("label_hinweis", kPageHint), Cell(0, 4, 2)},
                                  });
}

std::string SavePanel() {
    std::string chooser = Object("GtkButton", "button_dirsel",
                                 Visible(true) + Prop("label", "...") + Prop("tooltip-text", "Zieldatei wählen"));
    return Grid("grid_pdfspeichern",
                {
                    {Label("label_zieldatei", "Zieldatei:"), Cell(0, 0)},
                    {Entry("tb_filename"), Cell(1, 0)},
                    {chooser, Cell(2, 0)},
                    {Check("cb_anzeigen", "PDF nach Speichern anzeigen"), Cell(0, 1, 3)},
                    {Label("label_achtung", "Achtung: Die Zieldatei wird ohne Nachfrage überschrieben!"), Cell(0, 2, 3)},
                });
}

std::string ButtonRow() {
    std::string ok = Object("GtkButton", "button_ok",
                            Visible(true) + Prop("label", "O.K.") + Prop("can-default", "True") +
                                Prop("has-default", "True") + Prop("hexpand", "True"));
    std::string credits = Object("GtkButton", "button_credits", Visible(true) + Prop("label", "Credits"));
    std::string cancel =
        Object("GtkButton", "button_abbruch", Visible(true) + Prop("label", "Abbruch") + Prop("hexpand", "True"));
    return Box("grid_knoepfe", "horizontal", true, {ok, credits, cancel});
}

std::string CreditsPanel() {
    std::string text = Object("GtkLabel", "label_credits",
                              Visible(true) + Prop("label", kCredits) + Prop("justify", "center") +
                                  Prop("vexpand", "True") + Prop("valign", "start") + Style("abspann"));
    return Box("grid_credits", "vertical", false, {text});
}

}  // namespace

std::span<const EditorListEntry> ActionEntries() { return kActions; }

std::span<const EditorListEntry> PageTemplateEntries() { return kPageTemplates; }

std::string EditorLayout() {
    std::string actions = Object("GtkComboBoxText", "cb_aktion",
                                 Visible(true) + Prop("active", "0") + Prop("hexpand", "True") + Items(kActions));
    std::string actionPanel = Box("grid_aktion", "horizontal", true, {Label("label_aktion", "Bitte Aktion wählen:"), actions});
    std::string middle = Box("grid_mitte", "vertical", true, {ColourPanel(), NewPagePanel(), SavePanel()},
                             Prop("vexpand", "True"));
    std::string main = Box("grid_haupt", "vertical", true, {actionPanel, middle, ButtonRow(), CreditsPanel()},
                           Style(kRotatingBackground));
    std::string window = Object("GtkWindow", "Fenster",
                                Prop("title", "ZQ-PDF") + Prop("default-width", "476") + Prop("default-height", "403") +
                                    Prop("resizable", "False") + Prop("type-hint", "utility") +
                                    Prop("skip-taskbar-hint", "True") + Prop("window-position", "center") +
                                    Prop("modal", "True") + Child(main));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface><requires lib=\"gtk+\" version=\"3.20\"/>" + window +
           "</interface>\n";
}

// Decoration only: gradients, the slowly turning background, the colour
// boxes fading on focus and the rolling credits.
std::string_view EditorCss() {
    return R"css(
.hintergrund-drehend {
  padding: 12px;
  background-image: linear-gradient(0deg, #dfe8f4, #ffffff, #c8d7ea);
  animation: drehen 20s linear infinite;
}
@keyframes drehen {
  from { background-image: linear-gradient(0deg, #dfe8f4, #ffffff, #c8d7ea); }
  to { background-image: linear-gradient(360deg, #dfe8f4, #ffffff, #c8d7ea); }
}
.hintergrund-schwarz { padding: 12px; background-image: none; background-color: #000000; }
button { background-image: linear-gradient(to bottom, #ffffff, #d6e0ec); }
entry { background-image: linear-gradient(to bottom, #ffffff, #eef2f7); }
.farbfeld-rot, .farbfeld-gruen, .farbfeld-blau { transition: background-color 1s; }
.farbfeld-rot:focus { background-image: none; background-color: #ffdede; }
.farbfeld-gruen:focus { background-image: none; background-color: #defade; }
.farbfeld-blau:focus { background-image: none; background-color: #dee6ff; }
.vorschau { background-color: #000000; border: 1px solid #7f8c9b; }
.abspann { color: #ffff00; font-weight: bold; font-size: 14pt; }
.abspann-laeuft { animation: rollen 90s linear infinite; }
@keyframes rollen {
  from { margin-top: 200px; }
  to { margin-top: 0px; }
}
)css";
}

}  // namespace ZavorPlugin
