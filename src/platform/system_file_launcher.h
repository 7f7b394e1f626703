// The default launcher of file_launcher.h, which each system provides.
#pragma once

#include <string>

namespace ZavorPlatform {

// Starts the associated program for an existing file and returns at once;
// false when the file does not exist or nothing could be started. May throw;
// OpenWithAssociatedProgram catches everything.
bool LaunchWithSystem(const std::u16string &path);

}  // namespace ZavorPlatform
