#include "editor/einst_class.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <vector>

#include "editor/editor_layout.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "plugin/number_text.h"

namespace ZavorPlugin {
namespace {

using ZavorPlatform::MessageBoxIcon;
using ZavorPlatform::ShowMessageBox;
using ZavorPlatform::UiEvent;

constexpr std::u16string_view kGuruCaption = u"Where is the Guru?";
constexpr std::u16string_view kSaveDialogTitle = u"Bitte Zielname der PDF wählen!";
constexpr std::u16string_view kSaveDialogFilter = u"PDF Dateien (*.pdf)|*.pdf|Alle Dateien (*.*)|*.*";
constexpr std::string_view kColourBoxes[] = {"tb_alpha", "tb_rot", "tb_gruen", "tb_blau"};
constexpr std::string_view kButtons[] = {"button_ok", "button_abbruch", "button_credits"};

std::u16string FromUtf8(std::string_view text) { return ZavorPlatform::Utf8ToUtf16(text); }

void ShowUnexpected(const std::exception &error) {
    std::u16string text = u"Hoppla, das hätte nicht passieren dürfen!\n\n";
    text += FromUtf8(error.what());
    ShowMessageBox(text, kGuruCaption, MessageBoxIcon::Error);
}

void ShowDamagedRecord() {
    std::u16string text = u"KRITISCH: Daten wurden beschädigt, der Befehl muss erneut erstellt werden\n\n"
                          u"Um dieses Problem zu analysieren/beheben zu können, schicken Sie bitte das Skript an ";
    text += kSupportAddress;
    text += u", Danke.";
    ShowMessageBox(text, u"Daten zerstört!", MessageBoxIcon::Error);
}

void ShowVersionConflict() {
    ShowMessageBox(u"Einstellungen können nicht geladen werden, da das Format inkompatibel ist. "
                   u"Bitte die aktuellste Version des Plugins nutzen.",
                   u"Versionskonflikt!", MessageBoxIcon::None);
}

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view ascii) {
    if (text.size() != ascii.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; };
        if (fold(text[i]) != fold(static_cast<unsigned char>(ascii[i]))) return false;
    }
    return true;
}

// "description|pattern|description|pattern"; a description without its
// pattern is dropped.
std::vector<ZavorPlatform::UiFileFilter> ParseFileFilter(std::u16string_view filter) {
    std::vector<std::u16string> parts;
    for (std::size_t start = 0;;) {
        std::size_t bar = filter.find(u'|', start);
        parts.emplace_back(filter.substr(start, bar == std::u16string_view::npos ? bar : bar - start));
        if (bar == std::u16string_view::npos) break;
        start = bar + 1;
    }
    std::vector<ZavorPlatform::UiFileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

std::optional<std::uint8_t> ColourByte(std::u16string_view text) {
    std::optional<std::int32_t> value = TryParseStrictInteger(text);
    if (!value) return std::nullopt;
    // Only the low eight bits count: 256 is 0 and -1 is 255.
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(*value) & 0xFFu);
}

}  // namespace

std::int32_t EinstClass::Settings_gb = 0;

EinstClass &EinstClass::GetInstance() {
    static EinstClass instance;
    return instance;
}

std::u16string EinstClass::Show(const std::u16string &Settings) { return Run(Settings, false); }

std::u16string EinstClass::EditRecord(std::u16string_view hexRecord) {
    std::u16string settings;
    try {
        settings = HexToString(hexRecord);
    } catch (const DamagedRecordError &) {
        Run(std::u16string(), true);
        return std::u16string(hexRecord);
    }
    return StringToHex(Show(settings));
}

std::u16string EinstClass::Run(const std::u16string &settings, bool undecodable) {
    Settings_gb = 0;
    // The window goes on every way out of here.
    struct WindowDrop {
        EinstClass &editor;
        ~WindowDrop() {
            editor.Fenster.reset();
            editor.creditsShown_ = false;
        }
    } drop{*this};
    try {
        Fenster = ZavorPlatform::CreateUiWindow(EditorLayout(), EditorCss());
        if (!Fenster) return settings;  // nobody to ask: as if cancelled
        ConnectHandlers();
    } catch (const std::exception &error) {
        ShowUnexpected(error);
        return settings;
    }
    if (undecodable) {
        ShowDamagedRecord();
        return settings;
    }
    if (!settings.empty() && Load(settings) == Loaded::Refused) return settings;
    try {
        Fenster->RunModal();
        std::u16string record = WriteRecordXml(ReadControls());
        return Settings_gb == 1 ? record : settings;
    } catch (const std::exception &error) {
        // A failing window must not cost the user the record they had.
        ShowUnexpected(error);
        return settings;
    }
}

void EinstClass::ConnectHandlers() {
    for (std::string_view box : kColourBoxes) {
        Fenster->ConnectTextInput(box, [this, box](std::u16string_view typed) { return OnPreviewTextInput(box, typed); });
    }
    Fenster->Connect("tb_rot", UiEvent::KeyReleased, [this] { RefreshPreview(); });
    Fenster->Connect("tb_alpha", UiEvent::FocusLost, [this] { RefreshPreview(); });
    Fenster->Connect("button_dirsel", UiEvent::Clicked, [this] { datwahlklick(); });
    Fenster->Connect("button_credits", UiEvent::Clicked, [this] { CreditsClick(); });
    Fenster->Connect("button_ok", UiEvent::Clicked, [this] { OKklick(); });
    Fenster->Connect("button_abbruch", UiEvent::Clicked, [this] { Abbruch(); });
    Fenster->Connect("cb_aktion", UiEvent::SelectionChanged, [this] { OnSelectionChanged(); });
    Fenster->ConnectMouseUp([this] { OnMouseUp(); });
    // Enter confirms, also right after opening with the focus on the list.
    Fenster->SetDefaultButton("button_ok");
}

EinstClass::Loaded EinstClass::Load(const std::u16string &settings) {
    try {
        SettingsRecord record = SettingsRecord::Parse(settings);
        if (record.ReadInteger(u"ver") != kRecordVersion) {
            ShowVersionConflict();
            return Loaded::Refused;
        }
        std::int32_t typ = record.ReadInteger(u"Typ");
        if (typ < 0 || typ >= static_cast<std::int32_t>(ActionEntries().size())) {
            throw DamagedRecordError("Unbekannte Aktion " + std::to_string(typ));
        }
        Fenster->Select("cb_aktion", typ);
        OnSelectionChanged();
        if (typ == 1) LoadNewPage(record);
        if (typ == 2) LoadColour(record);
        if (typ == 3) LoadSave(record);
    } catch (...) {
        ShowDamagedRecord();
        return Loaded::Refused;
    }
    return Loaded::Yes;
}

// A page field that cannot be read is reported, and the window still opens
// with what was loaded before it.
void EinstClass::LoadNewPage(const SettingsRecord &record) {
    try {
        std::u16string format = record.ReadTextOrEmpty(u"Format");
        std::span<const EditorListEntry> templates = PageTemplateEntries();
        for (std::size_t i = 0; i < templates.size(); ++i) {
            if (EqualsIgnoringAsciiCase(format, templates[i].id)) {
                Fenster->Select("cb_vorlage", static_cast<int>(i));
                break;
            }
        }
        if (Fenster->Text("cb_vorlage").empty()) Fenster->SetText("cb_vorlage", format);
        Fenster->SetText("tb_hoehe", record.ReadTextOrEmpty(u"Hoehe"));
        Fenster->SetText("tb_breite", record.ReadTextOrEmpty(u"Breite"));
        Fenster->SetChecked("cb_quer", record.ReadBoolean(u"Quer"));
    } catch (const std::exception &error) {
        std::u16string text = u"Hoppla, da stimmt was nicht: \n";
        text += FromUtf8(error.what());
        ShowMessageBox(text, kGuruCaption, MessageBoxIcon::None);
    }
}

void EinstClass::LoadColour(const SettingsRecord &record) {
    Fenster->SetText("tb_alpha", record.ReadTextOrEmpty(u"Alpha"));
    Fenster->SetText("tb_rot", record.ReadTextOrEmpty(u"Rot"));
    Fenster->SetText("tb_gruen", record.ReadTextOrEmpty(u"Gruen"));
    Fenster->SetText("tb_blau", record.ReadTextOrEmpty(u"Blau"));
    Fenster->SetChecked("cb_fill", record.ReadBoolean(u"Fuellen"));
    RefreshPreview();
}

void EinstClass::LoadSave(const SettingsRecord &record) {
    Fenster->SetText("tb_filename", record.ReadTextOrEmpty(u"PDFDatei"));
    Fenster->SetChecked("cb_anzeigen", record.ReadBoolean(u"PDFstarten"));
}

RecordFields EinstClass::ReadControls() const {
    RecordFields fields;
    fields.typ = std::max(Fenster->SelectedIndex("cb_aktion"), 0);
    int page = Fenster->SelectedIndex("cb_vorlage");
    fields.format = page >= 0 ? FromUtf8(PageTemplateEntries()[static_cast<std::size_t>(page)].id)
                              : Fenster->Text("cb_vorlage");
    fields.breite = Fenster->Text("tb_breite");
    fields.hoehe = Fenster->Text("tb_hoehe");
    fields.quer = Fenster->Checked("cb_quer");
    fields.alpha = Fenster->Text("tb_alpha");
    fields.rot = Fenster->Text("tb_rot");
    fields.gruen = Fenster->Text("tb_gruen");
    fields.blau = Fenster->Text("tb_blau");
    fields.fuellen = Fenster->Checked("cb_fill");
    fields.pdfDatei = Fenster->Text("tb_filename");
    fields.pdfStarten = Fenster->Checked("cb_anzeigen");
    return fields;
}

// Sizes and colours are not checked here: they may hold host variables that
// only the run resolves. A character that a record cannot hold is refused,
// though, because storing anything else would change what the user typed.
void EinstClass::OKklick() {
    try {
        StringToHex(WriteRecordXml(ReadControls()));
    } catch (const RecordEncodingError &error) {
        ShowMessageBox(FromUtf8(error.what()), u"ZAVOR", MessageBoxIcon::Warning);
        return;
    }
    Settings_gb = 1;
    Fenster->Close();
}

void EinstClass::Abbruch() { Fenster->Close(); }

void EinstClass::OnSelectionChanged() {
    int index = Fenster->SelectedIndex("cb_aktion");
    Fenster->SetVisible("grid_farbe", index == 2);
    Fenster->SetVisible("grid_neueseite", index == 1);
    Fenster->SetVisible("grid_pdfspeichern", index == 3);
}

// Typed characters always go to the end of the box, wherever the caret is.
bool EinstClass::OnPreviewTextInput(std::string_view box, std::u16string_view typed) {
    Fenster->SetText(box, Fenster->Text(box) + std::u16string(typed));
    Fenster->PutCaretAtEnd(box);
    RefreshPreview();
    return true;
}

void EinstClass::RefreshPreview() {
    std::optional<std::uint8_t> alpha = ColourByte(Fenster->Text("tb_alpha"));
    std::optional<std::uint8_t> red = ColourByte(Fenster->Text("tb_rot"));
    std::optional<std::uint8_t> green = ColourByte(Fenster->Text("tb_gruen"));
    std::optional<std::uint8_t> blue = ColourByte(Fenster->Text("tb_blau"));
    ZavorPlatform::UiColour colour;  // opaque black when any is unreadable
    if (alpha && red && green && blue) colour = {*alpha, *red, *green, *blue};
    Fenster->SetBackground("grid_vorschau", colour);
}

void EinstClass::datwahlklick() {
    ZavorPlatform::UiSaveFileRequest request;
    request.title = kSaveDialogTitle;
    request.filters = ParseFileFilter(kSaveDialogFilter);
    request.initialName = Fenster->Text("tb_filename");
    request.confirmOverwrite = true;
    if (std::optional<std::u16string> path = Fenster->ChooseSaveFile(request)) Fenster->SetText("tb_filename", *path);
}

void EinstClass::CreditsClick() {
    try {
        for (std::string_view panel : {"grid_farbe", "grid_neueseite", "grid_mitte", "grid_aktion"}) {
            Fenster->SetVisible(panel, false);
        }
        for (std::string_view button : kButtons) Fenster->SetVisible(button, false);
        Fenster->SetVisible("grid_credits", true);
        tmpgrid = FromUtf8(kRotatingBackground);
        Fenster->SetStyleClass("grid_haupt", kRotatingBackground, false);
        Fenster->SetStyleClass("grid_haupt", kBlackBackground, true);
        Fenster->SetStyleClass("label_credits", kCreditsRolling, true);
        creditsShown_ = true;
    } catch (const std::exception &error) {
        ShowUnexpected(error);
    }
}

// Only a release while the credits are shown brings the panels back.
void EinstClass::OnMouseUp() {
    if (!creditsShown_) return;
    try {
        creditsShown_ = false;
        Fenster->SetStyleClass("label_credits", kCreditsRolling, false);
        Fenster->SetStyleClass("grid_haupt", kBlackBackground, false);
        // Adding the class again starts the rotation from the beginning.
        Fenster->SetStyleClass("grid_haupt", ZavorPlatform::Utf16ToUtf8(tmpgrid), true);
        Fenster->SetVisible("grid_credits", false);
        Fenster->SetVisible("grid_mitte", true);
        Fenster->SetVisible("grid_aktion", true);
        for (std::string_view button : kButtons) Fenster->SetVisible(button, true);
        OnSelectionChanged();
    } catch (const std::exception &error) {
        ShowUnexpected(error);
    }
}

}  // namespace ZavorPlugin
