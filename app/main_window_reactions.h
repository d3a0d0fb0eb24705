#pragma once

#include "core/object.h"
#include "platform/window/window_system.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class TCommandUpdater;
class TMainWindow;
class TMouseTarget;
class TProject;
class TWidget;
enum class TPlayerChangeFlags : uint32_t;
enum class TProjectChangeFlags : uint32_t;
enum class TUndoChangeFlags : uint32_t;

// The main window's reactions beyond its own layout and keys: the commands
// are refreshed after every change of the project, the players and the undo
// history and on a short timer (which stands for "after every input
// message": the state commands read, such as the clipboard or the focus,
// changes without a notification); the title follows the project's
// modified mark; the status line shows the hint of what is under the mouse;
// F1 opens the help page of the part of the window that has the focus.
// Made after the main window and destroyed before it.
//
//   TMainWindow Main(System, *Project);
//   TMainWindowReactions Reactions(Main, Folders.Help);
class TMainWindowReactions : public TObject {
public:
    static constexpr std::chrono::milliseconds RefreshInterval{100};

    TMainWindowReactions(TMainWindow& Main, std::string HelpFolder);
    ~TMainWindowReactions() override;
    TMainWindowReactions(const TMainWindowReactions&) = delete;
    TMainWindowReactions& operator=(const TMainWindowReactions&) = delete;
    std::string_view ClassName() const override { return "TMainWindowReactions"; }

    TCommandUpdater& Updater() const { return *FUpdater; }

    // The help topic of the part Widget belongs to: the timeline's page for
    // the timeline, the player's for the player and its bar, else 0 (the
    // start page).
    int32_t HelpContextFor(const TWidget* Widget) const;
    // Opens the help page for the focused part; errors (no browser) show on
    // the main window's message line.
    void ShowHelp();

    // One refresh: the commands, the title and the hint.
    void Refresh();

    // The main window's title with a "*" in front while the project has
    // unsaved changes (never while OpenProjectFile opens it).
    std::string MarkedTitle() const;

private:
    void ProjectChanged(TObject* Sender, TProjectChangeFlags Flags);
    void ProjectEndUpdate(TObject* Sender);
    void PlayersChanged(TObject* Sender, TPlayerChangeFlags Flags);
    void UndoChanged(TObject* Sender, TUndoChangeFlags Flags);
    void RefreshTitle();

    TMainWindow& FMain;
    std::string FHelpFolder;
    std::unique_ptr<TCommandUpdater> FUpdater;
    TEventFilterRegistration FHelpFilter;
    TTimerId FTimer = 0;
};

// The hint of a mouse target: its own (a tool button's), else that of the
// nearest control with one (a common control, an editing area's hot
// fragment) among the widget it belongs to and its parents.
std::string HintOf(TMouseTarget* Target);

// The text of the message shown after a project was opened with problems
// (media that could not be placed, settings that were out of range): one
// line each under a heading; empty when the project had none.
std::string LoadProblemsText(const TProject& Project);

// Shows LoadProblemsText in a warning dialog when it is not empty.
void ShowLoadProblems(TWindowSystem& System, const TProject& Project);
