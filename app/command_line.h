#pragma once

#include "core/error.h"

#include <string>
#include <vector>

// A command line that cannot be followed: an unknown long option, a value
// missing. The message says which argument.
class ECommandLineError : public EError {
public:
    using EError::EError;
};

// The program's arguments, read once at start-up.
//
// Switches are written "/NAME" or "/NAME:value" (the value right after the
// colon), or in the long form "--name", "--name=value" or "--name value";
// names compare without regard to ASCII case. Paths begin with "/" here, so
// an argument is a switch only when its name is one of the switches below
// ("/home/ann/x.qmp" is a file); every other argument is a file name, and so
// is everything after "--".
//
// | switch                     | field                      |
// |----------------------------|----------------------------|
// | /C:path, /CFG:path         | ConfigFile                 |
// | /CFGDIR:folder             | ConfigFolder               |
// | /GOTO:folder               | GotoFolder                 |
// | /GOTOEXEDIR                | GotoExeDir                 |
// | /NOSPLASHSCREEN            | NoSplashScreen             |
// | /MULTIPLEINSTANCES         | MultipleInstances          |
// | /GOTOLASTDIR, /USELASTDIR  | UseLastDir                 |
// | /RENDER:file               | Render, RenderFile         |
// | /KIND:kind                 | RenderKind                 |
// | --help                     | Help                       |
// | --capture-list             | CaptureList                |
// | --capture=file             | CaptureFile                |
// | --snapshot=file            | SnapshotFile               |
// | --write-dv=file            | WriteDVFile                |
// | --video=name               | CaptureVideo               |
// | --audio=name               | CaptureAudio               |
// | --pin=name                 | CapturePin                 |
// | --seconds=n                | CaptureSeconds             |
// | --capture-kind=kind        | CaptureKind                |
//
// When a switch is given more than once, the last one wins.
struct TCommandLine {
    std::vector<std::string> Files;
    std::string ConfigFile;
    std::string ConfigFolder;
    std::string GotoFolder;
    bool GotoExeDir = false;
    bool NoSplashScreen = false;
    bool MultipleInstances = false;
    bool UseLastDir = false;
    // Render the project file instead of creating one. An empty RenderFile
    // puts the output beside the project, named after it.
    bool Render = false;
    std::string RenderFile;
    std::string RenderKind;
    bool Help = false;
    bool Version = false;
    // Make the demo media and project and open them in the window (or,
    // with Render or without a display, render them).
    bool Demo = false;
    // Capture without a window: list the devices, record, take a snapshot,
    // or send a DV file to the camcorder (command_line_capture.h).
    bool CaptureList = false;
    std::string CaptureFile;
    std::string SnapshotFile;
    std::string WriteDVFile;
    std::string CaptureVideo;
    std::string CaptureAudio;
    std::string CapturePin;
    std::string CaptureSeconds;
    std::string CaptureKind;
};

// Raises ECommandLineError for an unknown long option ("--rendr=x") or a
// long option without its value.
TCommandLine ParseCommandLine(const std::vector<std::string>& Arguments);
