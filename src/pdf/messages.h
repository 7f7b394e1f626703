// Message texts that more than one part of the engine raises.
#pragma once

namespace ZavorPdf::Messages {

inline constexpr const char *NameMustStartWithSlash = "A PDF name must start with a slash (/).";
inline constexpr const char *CannotModify = "The document cannot be modified.";
inline constexpr const char *PageIndexOutOfRange = "The index of a page is out of range.";
inline constexpr const char *InvalidPdf = "The file is not a valid PDF document.";

}  // namespace ZavorPdf::Messages
