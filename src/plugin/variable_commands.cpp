#include "plugin/variable_commands.h"

namespace ZavorPlugin {

// The variables act on the PDF session; until a name is known here it has
// no effect and no value.

std::int32_t SetVariable(std::u16string_view, std::u16string_view) { return 1; }

std::int32_t ReadVariable(std::u16string_view, std::u16string_view, char *) { return 0; }

}  // namespace ZavorPlugin
