// Message texts that more than one part of the engine raises.
#pragma once

#include <string>

namespace ZavorPdf::Messages {

inline constexpr const char *NameMustStartWithSlash = "A PDF name must start with a slash (/).";
inline constexpr const char *CannotModify = "The document cannot be modified.";
inline constexpr const char *PageIndexOutOfRange = "The index of a page is out of range.";
inline constexpr const char *InvalidPdf = "The file is not a valid PDF document.";

// An object of a file read earlier that could not be parsed is reached.
inline std::string DamagedObject(const std::string &id) {
    return "Object " + id + " of the file is damaged and cannot be read.";
}

// Its filters refuse the data of a stream of a file read earlier.
inline std::string DamagedStream(const std::string &id) {
    return "The stream of object " + id + " of the file is damaged and cannot be read.";
}

// The content of a page of a file read earlier does not split into tokens.
inline std::string DamagedContent(const std::string &pageId, const std::string &problem) {
    return "The content of page object " + pageId + " of the file is damaged (" + problem + ").";
}

}  // namespace ZavorPdf::Messages
