// The settings record of one plug-in command line: an XML text with the root
// "Settings", stored by the host as two hex digits per character. The editor
// writes it; command execution and the script line text read it.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/xml_document.h"

namespace ZavorPlugin {

// The record cannot be decoded or parsed, its root is not "Settings", or an
// element read as integer or boolean is missing or malformed.
class DamagedRecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text holds a character that has no byte in the host's code page, so it
// cannot be stored in a record.
class RecordEncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The record format version that this plug-in reads and writes.
inline constexpr std::int32_t kRecordVersion = 100;

// Each character becomes its byte in the host's code page (Windows-1252, the
// same bytes the host itself uses for the record's texts), written as two
// lower-case hex digits. Throws RecordEncodingError for a character the code
// page lacks, rather than storing something else than the user typed.
std::u16string StringToHex(std::u16string_view text);

// Reads pairs of hex digits of either case as Windows-1252 bytes; a trailing
// single digit is ignored. Throws DamagedRecordError for a pair that is not
// hexadecimal.
std::u16string HexToString(std::u16string_view hex);

// A parsed record. Every reader takes the first child of "Settings" with the
// element's name; order and text between the children do not matter.
class SettingsRecord {
public:
    // Throws DamagedRecordError when the text is not XML or the root is not
    // "Settings".
    static SettingsRecord Parse(std::u16string_view xmlText);
    // HexToString, then Parse.
    static SettingsRecord Decode(std::u16string_view hex);

    // The element's text, or nothing when it is missing.
    std::optional<std::u16string> ReadText(std::u16string_view name) const;
    // A missing element reads as the empty text.
    std::u16string ReadTextOrEmpty(std::u16string_view name) const;
    // Trimmed, optional sign, decimal digits. Throws DamagedRecordError.
    std::int32_t ReadInteger(std::u16string_view name) const;
    // Trimmed and case-blind "true"/"1" or "false"/"0". Throws DamagedRecordError.
    bool ReadBoolean(std::u16string_view name) const;

private:
    explicit SettingsRecord(ZavorPlatform::XmlElement root) : root_(std::move(root)) {}
    ZavorPlatform::XmlElement root_;
};

// What the editor's controls hold. Only the fields of the chosen Typ are
// written; texts are stored as typed, host variables unresolved.
struct RecordFields {
    std::int32_t typ = 0;
    // Typ 1: new page
    std::u16string format;
    std::u16string breite;
    std::u16string hoehe;
    bool quer = false;
    // Typ 2: drawing colour
    std::u16string alpha;
    std::u16string rot;
    std::u16string gruen;
    std::u16string blau;
    bool fuellen = false;
    // Typ 3: save
    std::u16string pdfDatei;
    bool pdfStarten = false;
};

// The XML text: no declaration, two-space indent, CR LF between lines.
std::u16string WriteRecordXml(const RecordFields &fields);
// The record as the host stores it: StringToHex(WriteRecordXml(fields)).
std::u16string BuildRecord(const RecordFields &fields);

}  // namespace ZavorPlugin
