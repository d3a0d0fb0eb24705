#pragma once

#include <string>

// Moves files to the desktop's trash in the freedesktop.org trash layout,
// so that the file manager can show and restore them: the
// file goes to "files/" of the trash folder under a name not yet taken, and
// "info/<name>.trashinfo" records where it came from and when.
//
//   MoveToTrash(Clip);               // into $XDG_DATA_HOME/Trash
//
// Only files on the trash folder's own file system can be moved; others
// raise, as does any other failure (EError with the system's reason), and
// then the file stays where it was.

// $XDG_DATA_HOME/Trash when that is absolute, else ~/.local/share/Trash.
std::string HomeTrashFolder();

// Moves FileName into Trash and returns its new path.
std::string MoveToTrash(const std::string& FileName, const std::string& Trash);
std::string MoveToTrash(const std::string& FileName);
