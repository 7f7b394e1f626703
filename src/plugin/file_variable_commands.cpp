#include "plugin/file_variable_commands.h"

namespace ZavorPlugin {

bool TrySetFileVariable(VariableGroup, std::u16string_view, std::u16string_view) { return false; }

}  // namespace ZavorPlugin
