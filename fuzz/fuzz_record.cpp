// The command record decoder, parser and element readers on arbitrary bytes.
// Contract: for any input nothing worse happens than a DamagedRecordError
// (or the damaged-record message box at the export); any other exception,
// crash or broken round trip is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/code_page.h"
#include "platform/file_launcher.h"
#include "platform/message_box.h"
#include "plugin/command_execution.h"
#include "plugin/settings_record.h"

namespace {

using namespace ZavorPlugin;

const char16_t *const kElements[] = {u"ver",   u"Typ",  u"Format", u"Breite", u"Hoehe",    u"Quer",      u"Alpha",
                                     u"Rot",   u"Gruen", u"Blau",  u"Fuellen", u"PDFDatei", u"PDFstarten", u"Settings"};

void ReadEveryElement(const SettingsRecord &record) {
    for (const char16_t *name : kElements) {
        record.ReadTextOrEmpty(name);
        try {
            record.ReadInteger(name);
        } catch (const DamagedRecordError &) {
        }
        try {
            record.ReadBoolean(name);
        } catch (const DamagedRecordError &) {
        }
    }
}

void ParseAndRead(std::u16string_view xml) {
    try {
        ReadEveryElement(SettingsRecord::Parse(xml));
    } catch (const DamagedRecordError &) {
    }
}

// A decoded record encodes back to its hex text, lower-cased and without a
// trailing odd digit.
void CheckRoundTrip(std::u16string_view hex) {
    std::u16string text;
    try {
        text = HexToString(hex);
    } catch (const DamagedRecordError &) {
        return;
    }
    std::u16string expected(hex.substr(0, hex.size() / 2 * 2));
    for (char16_t &digit : expected) {
        if (digit >= u'A' && digit <= u'F') digit = static_cast<char16_t>(digit - u'A' + u'a');
    }
    if (StringToHex(text) != expected) std::abort();
    ParseAndRead(text);
}

// Executed records may ask to open the files they save: nothing is started.
// The files themselves land in the working folder under whatever names the
// records carry, so run the target in a folder of its own.
void PrepareOnce() {
    static const bool prepared = [] {
        ZavorPlatform::SetMessageBoxSink([](const ZavorPlatform::MessageBoxMessage &) {});
        ZavorPlatform::SetFileLauncher([](const std::u16string &) { return true; });
        return true;
    }();
    (void)prepared;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    PrepareOnce();
    std::u16string text =
        ZavorPlatform::Windows1252ToUnicode(std::string_view(reinterpret_cast<const char *>(data), size));
    CheckRoundTrip(text);  // the bytes as the host's hex text
    ParseAndRead(text);    // the bytes as the XML text itself
    ExecuteCommandRecord(text);
    return 0;
}
