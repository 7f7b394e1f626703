// Whether the content of a page from a file read earlier splits into tokens
// before a copy of it is made. Damage inside content often leaves a string
// without its end or a stray ")": viewers skip such a token with a warning,
// and the copy would carry it on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ZavorPdf::Pdf::Content {

// Empty when every token is whole and every array and dictionary closed;
// otherwise what is wrong ("unexpected )", "end of content in a string"
// ...). Operators and their operands may be anything.
std::string FindBrokenToken(const std::vector<std::uint8_t> &content);

}  // namespace ZavorPdf::Pdf::Content
