#pragma once

#include <string>

class TProject;
class TWindowSystem;

// Keeps the user's project: the save question asked before the project is
// given up (closing the main window), saving under the project's own name
// and saving under a new one. A new name is asked for as a path in a line of
// text, proposed in the folder of the file used last (else DefaultFolder),
// made absolute, given the project-file extension when it has none, and a
// file that exists already is replaced only when the user says so. Every
// save goes through the project's atomic file write, so a failed save
// leaves the file on disk as it was.
//
//   TProjectSaving Saving(System, Project, Folders.Documents);
//   if (Saving.ConfirmSave()) Close();
class TProjectSaving {
public:
    TProjectSaving(TWindowSystem& System, TProject& Project, std::string DefaultFolder);

    void SetDefaultFolder(std::string Folder) { FDefaultFolder = std::move(Folder); }
    const std::string& DefaultFolder() const { return FDefaultFolder; }

    // True when the project may be given up: it has no unsaved changes, or
    // the user saved it, or chose not to. False when the user cancelled,
    // including cancelling the new name of an untitled project. An error
    // while writing propagates.
    bool ConfirmSave();
    // Saves under the project's file name (asks for one when it has none)
    // and adds the file to the history. False when cancelled.
    bool SaveProject();
    // Asks for a file name and saves there. False when cancelled or when the
    // project is in the middle of an update.
    bool SaveProjectAs();

    // The path first shown when asking for a file name to save under.
    std::string ProposedFileName() const;
    // The folder names are proposed in and relative names resolve against:
    // the project's own, else that of the file used last, else the default
    // folder; with a trailing "/".
    std::string ProposalFolder() const;
    // Text typed for a file name as the absolute path it stands for
    // (relative to the proposal's folder, "~/" for the home folder), with
    // the project-file extension when it has none; empty for empty text.
    std::string ResolveFileName(const std::string& Text) const;

private:
    TWindowSystem& FSystem;
    TProject& FProject;
    std::string FDefaultFolder;
};
