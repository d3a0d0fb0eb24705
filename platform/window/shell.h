#pragma once

#include <string>
#include <vector>

// Shell services: starting desktop programs and the user's standard folders.

// Starts a program with Arguments (Arguments[0] is the program, looked up on
// PATH) without a shell and without waiting for it; the child is reaped in
// the background. Raises EWindowSystem (window_system.h) with the system's
// message when it cannot be started.
void SpawnDetached(const std::vector<std::string>& Arguments);

// The user's standard folders, after the XDG base-directory and user-dirs
// conventions.
enum class TXdgFolder { Config, Documents, Videos, Music, Pictures, Runtime };

// What the folders are computed from: the environment and the text of
// ~/.config/user-dirs.dirs (empty when there is none).
struct TXdgEnvironment {
    std::string Home;
    std::string ConfigHome; // $XDG_CONFIG_HOME, empty when unset
    std::string RuntimeDir; // $XDG_RUNTIME_DIR, empty when unset
    std::string UserDirs;
};

// The folder without a trailing "/". Config: $XDG_CONFIG_HOME when it is
// absolute, else Home + "/.config". Documents, Videos, Music, Pictures: the
// entry of user-dirs.dirs ("$HOME/..." or an absolute path), else Home.
// Runtime: $XDG_RUNTIME_DIR when absolute, else empty (the caller picks a
// private folder of its own).
std::string XdgFolder(TXdgFolder Folder, const TXdgEnvironment& Environment);

// The same for this process's environment and files.
TXdgEnvironment CurrentXdgEnvironment();
std::string XdgFolder(TXdgFolder Folder);
