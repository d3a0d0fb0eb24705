#pragma once

#include <string>
#include <vector>

// The program's main job for now. Without a render switch: start, restore
// the text table, create a project in the default layout and save it to the
// file named on the command line (or to "Untitled" with the project
// extension in the current folder). With one ("/RENDER:out.mp4", see
// command_line.h): read the project file named and render it
// (command_line_render.h). Returns the process exit code: 0 done, 1 failed,
// 2 a command line that cannot be followed; errors go to standard error.
int RunApplication(const std::vector<std::string>& Arguments);
