#pragma once

#include <string>
#include <vector>

// The program's main job for now: start, restore the text table, create a
// project in the default layout and save it to the file named on the command
// line (or to "Untitled" with the project extension in the current folder).
// Returns the process exit code; errors are reported on standard error.
int RunApplication(const std::vector<std::string>& Arguments);
