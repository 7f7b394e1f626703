// Passwords of AES-256 files are UTF-8 after SASLprep (RFC 4013), so that a
// password typed in any form of a character opens the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ZavorPdf::Pdf::Internal {

// The prepared password, cut to the 127 bytes that the file format keeps;
// nothing for a password with a character that SASLprep prohibits.
// Compatibility forms are folded for the characters a Windows code page can
// give (NFKC on that repertoire); others pass unchanged.
std::optional<std::string> SaslPreparedPassword(std::u16string_view password);

}  // namespace ZavorPdf::Pdf::Internal
