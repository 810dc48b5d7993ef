// The printer's maintenance jobs from the command line: the self-test, stored logos, the
// top/bottom message lines and the back-side data are built by the krv857 tool (so they are
// the very jobs it writes) and sent through the printer's queue, where they wait for the job
// in progress instead of interleaving with it. "defaults" loads a printer's defaults from a
// private record saved by the Windows pages.
#pragma once

#include <string>
#include <vector>

namespace krv::app {

// Runs one of PAPPL's own subcommands ("submit", "modify") with these arguments.
using MainloopRunner = int (*)(std::vector<std::string> args);

bool IsMaintenanceCommand(const char* name);
int RunMaintenance(int argc, char* argv[], MainloopRunner mainloop);

}  // namespace krv::app
