#include "plugin/export_state.h"

namespace ZavorPlugin {

bool valid = false;
bool showwarning = true;

}  // namespace ZavorPlugin
