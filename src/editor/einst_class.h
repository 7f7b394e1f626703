// The settings editor: the modal window in which the user configures one
// plug-in command at design time. It reads and writes settings records
// only; the PDF session is never touched.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui_window.h"
#include "plugin/settings_record.h"

namespace ZavorPlugin {

// Where the damaged-record message asks users to send their script.
inline constexpr std::u16string_view kSupportAddress = u"support@zavor.example";

class EinstClass {
public:
    static EinstClass &GetInstance();

    EinstClass(const EinstClass &) = delete;
    EinstClass &operator=(const EinstClass &) = delete;

    // Shows the window for the decoded settings text (possibly empty) and
    // returns the new text when the user confirmed with O.K., otherwise the
    // text it was given. Without a display it returns the text at once.
    std::u16string Show(const std::u16string &Settings);

    // What QnD_Edit does with the host's record: decode, Show, encode. A
    // record that does not decode is reported like a damaged one and handed
    // back exactly as it came.
    std::u16string EditRecord(std::u16string_view hexRecord);

    static std::u16string HexToString(std::u16string_view hex) { return ZavorPlugin::HexToString(hex); }
    static std::u16string StringToHex(std::u16string_view text) { return ZavorPlugin::StringToHex(text); }

    // 1 when the user confirmed with O.K. during the current Show, else 0.
    static std::int32_t Settings_gb;

private:
    EinstClass() = default;

    enum class Loaded { Yes, Refused };

    std::u16string Run(const std::u16string &settings, bool undecodable);
    void ConnectHandlers();
    Loaded Load(const std::u16string &settings);
    void LoadNewPage(const SettingsRecord &record);
    void LoadColour(const SettingsRecord &record);
    void LoadSave(const SettingsRecord &record);
    RecordFields ReadControls() const;

    // Event handlers.
    void OKklick();
    void Abbruch();
    void OnSelectionChanged();
    bool OnPreviewTextInput(std::string_view box, std::u16string_view typed);
    void RefreshPreview();
    void datwahlklick();
    void CreditsClick();
    void OnMouseUp();

    // Built anew at every Show and dropped after it.
    std::unique_ptr<ZavorPlatform::UiWindow> Fenster;
    // The main panel's background while the credits are shown.
    std::u16string tmpgrid;
    bool creditsShown_ = false;
};

}  // namespace ZavorPlugin
