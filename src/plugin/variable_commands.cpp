#include "plugin/variable_commands.h"

namespace ZavorPlugin {

std::int32_t SetVariable(std::u16string_view, std::u16string_view) { return 1; }

}  // namespace ZavorPlugin
