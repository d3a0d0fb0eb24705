#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TMainWindow;
class TProject;

// What a project that could not be opened becomes: at start the untitled
// project the program starts with; in a running window the project that was
// open, as it was (reading a file never touches the open project).
enum class TFailedOpen : uint8_t { StartsUntitled, KeepsProject };

// Opens FileName as the project (read, never written), clears its modified
// mark and puts it first in the file history. Returns the message to show
// when it cannot be read; empty on success.
std::string OpenProjectFile(TProject& Project, const std::string& FileName,
                            TFailedOpen Failed = TFailedOpen::StartsUntitled);

// Whether OpenProjectFile is opening a file into Project right now. The
// project then reports its new content while it still counts as modified
// (the modified state is cleared after the report), so the title leaves the
// modified mark out meanwhile.
bool IsOpeningProject(const TProject& Project);

// Tells the user how opening a project in the window went: Message (from
// OpenProjectFile) on standard error and the window's message line when the
// file could not be read, else the problems the project was loaded with
// (media that could not be placed, items left out) in a warning dialog.
// The command line's file argument and files handed over by a second start
// both report through here.
void ReportProjectOpened(TMainWindow& Main, const std::string& Message);

// What the running instance does with the names another start handed it:
// the main window comes to the front, and the first name that is a file is
// opened (and reported as the command line's file argument is) once the
// save question lets the open project go; when the user cancels it (or the
// save fails) the name goes into the file history only and the window says
// so. Names that are not files are left alone.
void ReceiveHandedOverFiles(TMainWindow& Main, const std::vector<std::string>& Files);
