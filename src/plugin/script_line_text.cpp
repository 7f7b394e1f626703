#include "plugin/script_line_text.h"

namespace ZavorPlugin {

void WriteShowLine(std::u16string_view, char *, char *) noexcept {}

}  // namespace ZavorPlugin
