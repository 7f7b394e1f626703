// Failure texts of the lexer and parser of PDF files.
#pragma once

#include <string>

#include "pdf/io/symbol.h"

namespace ZavorPdf::Pdf::IO::ReaderMessages {

inline constexpr const char *MoreThanOnePeriod = "More than one period in number.";
inline constexpr const char *NumberExceedsRange = "Number exceeds integer range.";
inline constexpr const char *NameExpected = "name expected";
inline constexpr const char *UnexpectedEndOfFile = "Unexpected end of file.";
inline constexpr const char *CrossReferenceStreamDamaged = "The cross-reference stream is damaged.";
inline constexpr const char *ObjectStreamDamaged = "The object stream is damaged.";
inline constexpr const char *StreamInObjectStream = "An object stream cannot hold a stream.";
inline constexpr const char *KeywordObject = "Keyword";
inline constexpr const char *FileStreams = "File streams are not yet implemented.";
inline constexpr const char *CannotRetrieveStreamLength = "Cannot retrieve stream length.";
inline constexpr const char *NotImplemented = "The method or operation is not implemented.";
inline constexpr const char *ValueOutOfStackRange = "Value out of stack range.";
inline constexpr const char *StackUnderflow = "count causes stack underflow.";
// Limits that keep damaged or hostile files from exhausting stack or memory.
inline constexpr const char *NestedTooDeeply = "Arrays or dictionaries are nested too deeply.";
inline constexpr const char *TooManyItems = "Too many items in one object.";
inline constexpr const char *InvalidHexString = "Invalid character in hex string.";
inline constexpr const char *FileTooLarge = "The file is too large.";
inline constexpr const char *ObjectNumberOutOfRange = "Object number out of range.";
// Opening encrypted files.
inline constexpr const char *PasswordRequired = "A password is required to open the PDF document.";
inline constexpr const char *InvalidPassword = "The specified password is invalid.";
inline constexpr const char *OwnerPasswordRequired = "To modify the document the owner password is required";

inline std::string UnexpectedToken(const std::string &token) { return "Unexpected token '" + token + "' in PDF file."; }
inline std::string UnknownToken(Symbol symbol) { return std::string("unknown token \"") + SymbolName(symbol) + "\""; }
inline std::string ObjectNotInTable(const std::string &id) {
    return "Object " + id + " is not in the cross-reference table.";
}
inline std::string ObjectMismatch(const std::string &id) {
    return "The cross-reference table does not point at object " + id + ".";
}

}  // namespace ZavorPdf::Pdf::IO::ReaderMessages
