#pragma once

#include <string>

struct TCommandLine;

// Where the program finds what it ships and where the user's files go. Every
// folder is absolute with a trailing "/".
struct TFolders {
    std::string Application; // the program's own data (pictures, help, shipped desktop)
    std::string Help;
    std::string Images;
    std::string Config;    // the desktop file and the named configurations
    std::string Documents; // the user's media; relative project arguments
    std::string CommonAudio;
    std::string CommonVideo;
    std::string UserAudio;
    std::string UserVideo;
};

// What the folders are computed from, read from the process and its
// environment by CurrentFolderEnvironment and set by hand in tests.
struct TFolderEnvironment {
    std::string Application; // the program's data folder
    std::string ConfigHome;  // $XDG_CONFIG_HOME, else ~/.config
    std::string DocumentsHome; // the XDG documents folder, else $HOME
};

// The program's data folder is share/quillmoor beside the bin folder the
// program runs from when that exists (an installed program), else the
// program's own folder (a build tree).
TFolderEnvironment CurrentFolderEnvironment();

// The per-user configuration folder: ConfigHome + the program's folder name.
std::string UserConfigFolder(const TFolderEnvironment& Environment);

// Creates the per-user configuration folder when it does not exist yet and
// seeds it with the desktop file shipped in the program's configuration
// folder, so that the layout is stored from the first run; the copy is
// whole or not made, and a copy cut short by an earlier full disk is made
// again. False when the folder cannot be made.
bool PrepareUserConfigFolder(const TFolderEnvironment& Environment);

// The folders: defaults under the program's data folder, the per-user
// configuration and documents folders where they exist, then the switches
// (/GOTOEXEDIR, then /GOTO:, then /CFGDIR:, so that a named folder wins),
// and last the user audio and video folders under the documents folder.
TFolders ComputeFolders(const TFolderEnvironment& Environment, const TCommandLine& CommandLine);

// Where a new project is first proposed to be saved: the documents folder
// when it exists and can be written (the user's "Quillmoor" documents
// folder, or a folder the switches named), else the user's documents
// folder itself (never the program's own data folder, which an installed
// program cannot write).
std::string NewProjectFolder(const TFolders& Folders, const TFolderEnvironment& Environment);

// The desktop file to load at start: with a /CFG: path, that file when it
// exists, else the configuration folder's file of that name when it exists;
// otherwise (and without the switch) the configuration folder's desktop file.
std::string ChooseDesktopFile(const TFolders& Folders, const TCommandLine& CommandLine);
