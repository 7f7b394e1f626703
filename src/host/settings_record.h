// The settings record of a plug-in command line, written exactly as the
// plug-in's settings editor writes it: XML without declaration, root
// Settings, ver 100, Typ, then the elements of that Typ in their fixed order,
// two-space indent, CR LF between lines, then two lowercase hex digits per
// character code (0 to 255).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ZavorHost {

enum class ElementKind { Text, Boolean };

struct RecordElement {
    const char *name;
    ElementKind kind;
};

inline constexpr int kRecordVersion = 100;
inline constexpr int kHighestTyp = 3;

// The elements after ver and Typ, in record order; empty for a Typ outside
// 0..3.
const std::vector<RecordElement> &RecordElements(int typ);

// Checks one Name=value pair of a script line against the elements of typ.
// The name is matched ignoring ASCII case; on success canonicalName gets the
// record's spelling and value the text to write (booleans as "true" or
// "false"). Returns the script error message, or an empty text.
std::string CheckRecordElement(int typ, std::string_view name, std::string &canonicalName,
                               std::string &value);

// The XML text (UTF-8). values maps canonical names to checked values;
// a missing text element is written empty, a missing boolean "false".
std::string RecordXml(int typ, const std::map<std::string, std::string> &values);

// Two lowercase hex digits per byte.
std::string HexEncode(std::string_view bytes);

// RecordXml as character codes, hex-encoded: what QnD_Execute gets.
std::string EncodeRecord(int typ, const std::map<std::string, std::string> &values);

}  // namespace ZavorHost
