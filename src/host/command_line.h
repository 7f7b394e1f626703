// The command line of the zavor host:
//   zavor [--plugin PATH] run SCRIPT [-D var=value]...
//   zavor [--plugin PATH] show SCRIPT
//   zavor [--plugin PATH] edit SCRIPT LINE
//   zavor [--plugin PATH] vars
// Options may stand anywhere; without --plugin the host loads libzavor.so
// from its own folder.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ZavorHost {

// Runs the command; a faulty command line is reported on err with the usage
// and gives exit status 2.
int HostMain(const std::vector<std::string> &arguments, std::ostream &out, std::ostream &err);

}  // namespace ZavorHost
