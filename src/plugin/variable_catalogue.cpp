#include "plugin/variable_catalogue.h"

namespace ZavorPlugin {

void WriteVariableCatalogueEntry(std::int32_t, char *, char *) {}
void WriteEventCatalogueEntry(std::int32_t, char *, char *) {}

}  // namespace ZavorPlugin
