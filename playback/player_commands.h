#pragma once

#include "core/video_time.h"

#include <cstdint>
#include <vector>

class TCommand;
class TCommandCategory;
class TCommandList;
class TObject;
class TPlayerWindow;

// The player commands' handlers: what Play, Pause, Stop, Replay, full
// screen and the steps do, and when they are enabled and checked, over the
// shown player windows. The application's command set creates the commands
// with its captions and keys and binds them here:
//
//   TPlayerCommandHandlers Handlers;
//   new TCommand(Category, "Player|Play", Caption, Hint, "", {},
//                MakeDelegate<&TPlayerCommandHandlers::PlayExecute>(&Handlers),
//                MakeDelegate<&TPlayerCommandHandlers::PlayUpdate>(&Handlers));
//
// A command runs on the chosen player window: the shown one with the same
// parent as the control that ran it (the sender, else the command's target),
// else the first shown one; nothing happens without one.
class TPlayerCommandHandlers {
public:
    // Enabled while a shown window has a source with a range; checked while
    // one plays. Runs Play: from the range start when playing or at the end.
    void PlayExecute(TCommand* Command, TObject* Sender);
    void PlayUpdate(TCommand* Command);
    // Enabled as Play; checked while such windows exist, none plays and not
    // all are at their range end. Runs PlayPause.
    void PauseExecute(TCommand* Command, TObject* Sender);
    void PauseUpdate(TCommand* Command);
    // Enabled while a shown window with a range plays. Runs Halt.
    void StopExecute(TCommand* Command, TObject* Sender);
    void StopUpdate(TCommand* Command);
    // Enabled as Play. Runs Replay: again from the requested position.
    void ReplayExecute(TCommand* Command, TObject* Sender);
    void ReplayUpdate(TCommand* Command);
    // Every shown, enabled player window toggles full screen.
    void FullScreenExecute(TCommand* Command, TObject* Sender);
    // The steps of the chosen window, back and forward: 1 s, one frame of
    // its source, 10 s. Enabled as Play.
    void StepBackExecute(TCommand* Command, TObject* Sender);
    void StepForwardExecute(TCommand* Command, TObject* Sender);
    void StepBackSmallExecute(TCommand* Command, TObject* Sender);
    void StepForwardSmallExecute(TCommand* Command, TObject* Sender);
    void StepBackLargeExecute(TCommand* Command, TObject* Sender);
    void StepForwardLargeExecute(TCommand* Command, TObject* Sender);
    void StepUpdate(TCommand* Command);
};

// Makes the player commands ("Player|Play" to "Player|Step|ForwardLarge")
// in Commands under Category (may be null), each with its caption and hint
// from the text table and its default keys, run by Handlers, which must
// outlive them. Returns them in that order; Commands owns them.
std::vector<TCommand*> CreatePlayerCommands(TCommandList& Commands, TCommandCategory* Category,
                                            TPlayerCommandHandlers& Handlers);

// The window a player command runs on for Control (see above); null when no
// player window is shown.
TPlayerWindow* ChosenPlayerWindow(TObject* Control);

// Moves Window's position by Time (negative: back), clamped to its range;
// a playing window pauses first.
void StepPlayerWindow(TPlayerWindow& Window, TVideoTime Time);
// One frame of Window's source (1/25 s when its rate is unknown), Count
// times, back when Count is negative.
void StepPlayerWindowFrames(TPlayerWindow& Window, int32_t Count);

// Runs the player command that the key ShortCut (key code with the
// ShortCutShift/Ctrl/Alt bits) belongs to on Window, as the key would in
// the main window: the commands registered in Commands run when one has
// the key (so the user's own keys count); a player command the application
// has not registered runs by its default key (Space pauses or plays, Enter
// replays, Alt+Enter toggles full screen, the arrows step). True when a
// command ran.
bool RunPlayerKey(TCommandList& Commands, TPlayerWindow& Window, uint16_t ShortCut);
