#pragma once

#include <string>
#include <vector>

class TMainWindow;
class TProject;

// Opens FileName as the project (read, never written), clears its modified
// mark and puts it first in the file history. Returns the message to show
// when it cannot be read (the project is then new and untitled); empty on
// success.
std::string OpenProjectFile(TProject& Project, const std::string& FileName);

// What the running instance does with the names another start handed it:
// the main window comes to the front, and the first name that is a file is
// opened when the project has no unsaved changes; otherwise it goes into the
// file history only and the window says so. Names that are not files are
// left alone.
void ReceiveHandedOverFiles(TMainWindow& Main, const std::vector<std::string>& Files);
