// Failures of the content stream lexer and parser, and the texts they carry.
#pragma once

#include <string>

#include "pdf/errors.h"

namespace ZavorPdf::Pdf::Content {

class ContentReaderException : public ZavorPdfException {
public:
    using ZavorPdfException::ZavorPdfException;
};

namespace ContentMessages {

inline constexpr const char *MoreThanOnePeriod = "More than one period in number.";
inline constexpr const char *NumberExceedsRange = "Number exceeds integer range.";
inline constexpr const char *UnexpectedEndArray = "Unexpected: ']'";
inline constexpr const char *UnexpectedEndDictionary = "Unexpected: '>>'";
inline constexpr const char *InvalidHexString = "Invalid character in hex string.";
inline constexpr const char *OddUnicodeHexString = "A Unicode hex string has an odd number of bytes.";
// Limits that keep hostile content from exhausting stack or memory.
inline constexpr const char *NestedTooDeeply = "Arrays or dictionaries are nested too deeply.";
inline constexpr const char *TooManyObjects = "Too many objects in one content stream.";
inline constexpr const char *ContentTooLarge = "The page content is too large.";

inline std::string BrokenToken(const std::string &problem) { return "The content is damaged (" + problem + ")."; }
inline std::string UnknownOperator(const std::string &name) { return "Unknown operator '" + name + "'."; }
inline std::string CannotDecodeContent(const std::string &filter) {
    return "Cannot decode content stream with filter " + filter + ".";
}

}  // namespace ContentMessages

}  // namespace ZavorPdf::Pdf::Content
