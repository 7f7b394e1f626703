// What the plug-in tells the host about its variables and events, so that
// the host's script editor can list them.
#pragma once

#include <cstdint>

namespace ZavorPlugin {

// Writes name and description of catalogue entry `index`; an index outside
// the catalogue leaves both buffers untouched.
void WriteVariableCatalogueEntry(std::int32_t index, char *varName, char *descr);
void WriteEventCatalogueEntry(std::int32_t index, char *eventName, char *descr);

}  // namespace ZavorPlugin
