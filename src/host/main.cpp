// zavor: runs host scripts against the ZAVOR plug-in, as the Vornix host
// would, through the plug-in's exports and the host callback.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "host/command_line.h"
#include "host/host_commands.h"
#include "host/program_arguments.h"

int main(int argc, char **argv) {
    try {
        return ZavorHost::HostMain(ZavorHost::ProgramArguments(argc, argv), std::cout, std::cerr);
    } catch (const std::exception &error) {
        std::cerr << "zavor: " << error.what() << '\n';
        return ZavorHost::kExitScriptError;
    }
}
