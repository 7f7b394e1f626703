// The two texts the host's script editor shows for a plug-in command line:
// a main text naming the action and a sub text with its details.
#pragma once

#include <string_view>

namespace ZavorPlugin {

// Reads the line's settings record (hex text as stored) without touching the
// session. A buffer that the record's kind does not fill stays unwritten.
void WriteShowLine(std::u16string_view hexRecord, char *mainText, char *subText) noexcept;

}  // namespace ZavorPlugin
