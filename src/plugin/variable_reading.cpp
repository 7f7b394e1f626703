#include "plugin/variable_commands.h"

namespace ZavorPlugin {

std::int32_t ReadVariable(std::u16string_view, std::u16string_view, char *) { return 0; }

}  // namespace ZavorPlugin
