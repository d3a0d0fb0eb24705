#include "playback/player_commands.h"

#include "commands/command.h"
#include "commands/command_list.h"
#include "commands/shortcut_dispatch.h"
#include "core/text_table.h"
#include "playback/player_window.h"
#include "playback/player_windows.h"
#include "platform/keys.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

bool IsShown(const TPlayerWindow& Window) {
    return Window.IsShowing() && Window.TimerSystem();
}

// What the state handlers read from the shown windows with a range.
struct TShownPlayers {
    bool AnyWithRange = false;
    bool AnyPlaying = false;
    bool AllAtEnd = true;
};

TShownPlayers ShownPlayers() {
    TShownPlayers Result;
    for (TPlayerWindow* Window : PlayerWindows().Windows()) {
        if (!IsShown(*Window) || !Window->HasSourceAndRange())
            continue;
        Result.AnyWithRange = true;
        Result.AnyPlaying = Result.AnyPlaying || Window->IsPlaying();
        Result.AllAtEnd = Result.AllAtEnd && Window->AtRangeEnd();
    }
    return Result;
}

TPlayerWindow* Chosen(TCommand* Command, TObject* Sender) {
    return ChosenPlayerWindow(Sender ? Sender : (Command ? Command->Target() : nullptr));
}

constexpr TVideoTime OneSecond = VideoTimeUnitsPerSecond;

using TExecute = TCommandExecuteHandler (*)(TPlayerCommandHandlers& Handlers);
using TUpdate = TCommandUpdateHandler (*)(TPlayerCommandHandlers& Handlers);

template <auto Member>
TCommandExecuteHandler ExecuteOf(TPlayerCommandHandlers& Handlers) {
    return MakeDelegate<Member>(&Handlers);
}
template <auto Member>
TCommandUpdateHandler UpdateOf(TPlayerCommandHandlers& Handlers) {
    return MakeDelegate<Member>(&Handlers);
}
TCommandUpdateHandler NoUpdate(TPlayerCommandHandlers&) {
    return {};
}

// The player commands with their texts, default keys and handlers.
struct TPlayerCommandEntry {
    std::string_view Id;
    TTextSlot Caption;
    TTextSlot Hint;
    std::vector<uint16_t> Keys;
    TExecute Execute;
    TUpdate Update;
};

const std::vector<TPlayerCommandEntry>& PlayerCommandEntries() {
    using H = TPlayerCommandHandlers;
    using S = TTextSlot;
    static const std::vector<TPlayerCommandEntry> Entries = {
        {"Player|Play",
         S::PlayerPlayCaption,
         S::PlayerPlayHint,
         {},
         &ExecuteOf<&H::PlayExecute>,
         &UpdateOf<&H::PlayUpdate>},
        {"Player|Pause",
         S::PlayerPauseCaption,
         S::PlayerPauseHint,
         {KeySpace},
         &ExecuteOf<&H::PauseExecute>,
         &UpdateOf<&H::PauseUpdate>},
        {"Player|Stop",
         S::PlayerStopCaption,
         S::PlayerStopHint,
         {},
         &ExecuteOf<&H::StopExecute>,
         &UpdateOf<&H::StopUpdate>},
        {"Player|Replay",
         S::PlayerReplayCaption,
         S::PlayerReplayHint,
         {KeyEnter},
         &ExecuteOf<&H::ReplayExecute>,
         &UpdateOf<&H::ReplayUpdate>},
        {"Player|FullScreen",
         S::PlayerFullScreenCaption,
         S::PlayerFullScreenHint,
         {ShortCutAlt | KeyEnter, ShortCutAlt | ShortCutCtrl | KeyEnter},
         &ExecuteOf<&H::FullScreenExecute>,
         &NoUpdate},
        {"Player|Step|Back",
         S::PlayerStepBackCaption,
         S::PlayerStepBackHint,
         {KeyLeft},
         &ExecuteOf<&H::StepBackExecute>,
         &UpdateOf<&H::StepUpdate>},
        {"Player|Step|Forward",
         S::PlayerStepForwardCaption,
         S::PlayerStepForwardHint,
         {KeyRight},
         &ExecuteOf<&H::StepForwardExecute>,
         &UpdateOf<&H::StepUpdate>},
        {"Player|Step|BackSmall",
         S::PlayerStepBackSmallCaption,
         S::PlayerStepBackSmallHint,
         {ShortCutAlt | KeyLeft},
         &ExecuteOf<&H::StepBackSmallExecute>,
         &UpdateOf<&H::StepUpdate>},
        {"Player|Step|ForwardSmall",
         S::PlayerStepForwardSmallCaption,
         S::PlayerStepForwardSmallHint,
         {ShortCutAlt | KeyRight},
         &ExecuteOf<&H::StepForwardSmallExecute>,
         &UpdateOf<&H::StepUpdate>},
        {"Player|Step|BackLarge",
         S::PlayerStepBackLargeCaption,
         S::PlayerStepBackLargeHint,
         {ShortCutShift | KeyLeft},
         &ExecuteOf<&H::StepBackLargeExecute>,
         &UpdateOf<&H::StepUpdate>},
        {"Player|Step|ForwardLarge",
         S::PlayerStepForwardLargeCaption,
         S::PlayerStepForwardLargeHint,
         {ShortCutShift | KeyRight},
         &ExecuteOf<&H::StepForwardLargeExecute>,
         &UpdateOf<&H::StepUpdate>},
    };
    return Entries;
}

bool IsRegistered(const TCommandList& Commands, std::string_view Id) {
    for (int32_t I = 0; I < Commands.Count(); ++I)
        if (Commands.Get(I)->Id() == Id)
            return true;
    return false;
}

} // namespace

std::vector<TCommand*> CreatePlayerCommands(TCommandList& Commands, TCommandCategory* Category,
                                            TPlayerCommandHandlers& Handlers) {
    std::vector<TCommand*> Made;
    for (const TPlayerCommandEntry& Entry : PlayerCommandEntries())
        Made.push_back(new TCommand(Commands, Category, Entry.Id, GetText(Entry.Caption),
                                    GetText(Entry.Hint), "", Entry.Keys, Entry.Execute(Handlers),
                                    Entry.Update(Handlers)));
    return Made;
}

bool RunPlayerKey(TCommandList& Commands, TPlayerWindow& Window, uint16_t ShortCut) {
    if (ShortCut == 0)
        return false;
    if (ExecuteShortCut(Commands, ShortCut, &Window))
        return true;
    TPlayerCommandHandlers Handlers;
    for (const TPlayerCommandEntry& Entry : PlayerCommandEntries()) {
        if (std::find(Entry.Keys.begin(), Entry.Keys.end(), ShortCut) == Entry.Keys.end() ||
            IsRegistered(Commands, Entry.Id))
            continue;
        Entry.Execute(Handlers)(nullptr, &Window);
        return true;
    }
    return false;
}

TPlayerWindow* ChosenPlayerWindow(TObject* Control) {
    TPlayerWindow* First = nullptr;
    auto* Widget = dynamic_cast<TWidget*>(Control);
    TWidget* Parent = Widget ? Widget->Parent() : nullptr;
    for (TPlayerWindow* Window : PlayerWindows().Windows()) {
        if (!IsShown(*Window))
            continue;
        if (Parent && Window->Parent() == Parent)
            return Window;
        if (!First)
            First = Window;
    }
    return First;
}

void StepPlayerWindow(TPlayerWindow& Window, TVideoTime Time) {
    if (!Window.HasSourceAndRange())
        return;
    TVideoTime From = Window.Position();
    Window.Halt();
    Window.SeekTo(std::clamp<TVideoTime>(From + Time, 0, Window.RangeLength()));
}

void StepPlayerWindowFrames(TPlayerWindow& Window, int32_t Count) {
    if (Window.HasSourceAndRange())
        Window.Step(Count);
}

void TPlayerCommandHandlers::PlayExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        Window->Play();
}

void TPlayerCommandHandlers::PlayUpdate(TCommand* Command) {
    TShownPlayers Shown = ShownPlayers();
    Command->SetEnabled(Shown.AnyWithRange);
    Command->SetChecked(Shown.AnyPlaying);
}

void TPlayerCommandHandlers::PauseExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        Window->PlayPause();
}

void TPlayerCommandHandlers::PauseUpdate(TCommand* Command) {
    TShownPlayers Shown = ShownPlayers();
    Command->SetEnabled(Shown.AnyWithRange);
    Command->SetChecked(Shown.AnyWithRange && !Shown.AnyPlaying && !Shown.AllAtEnd);
}

void TPlayerCommandHandlers::StopExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        Window->Halt();
}

void TPlayerCommandHandlers::StopUpdate(TCommand* Command) {
    Command->SetEnabled(ShownPlayers().AnyPlaying);
}

void TPlayerCommandHandlers::ReplayExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        Window->Replay();
}

void TPlayerCommandHandlers::ReplayUpdate(TCommand* Command) {
    Command->SetEnabled(ShownPlayers().AnyWithRange);
}

void TPlayerCommandHandlers::FullScreenExecute(TCommand*, TObject*) {
    TPlayerWindow::ToggleFullScreen();
}

void TPlayerCommandHandlers::StepBackExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        StepPlayerWindow(*Window, -OneSecond);
}

void TPlayerCommandHandlers::StepForwardExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        StepPlayerWindow(*Window, OneSecond);
}

void TPlayerCommandHandlers::StepBackSmallExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        StepPlayerWindowFrames(*Window, -1);
}

void TPlayerCommandHandlers::StepForwardSmallExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        StepPlayerWindowFrames(*Window, 1);
}

void TPlayerCommandHandlers::StepBackLargeExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        StepPlayerWindow(*Window, -10 * OneSecond);
}

void TPlayerCommandHandlers::StepForwardLargeExecute(TCommand* Command, TObject* Sender) {
    if (TPlayerWindow* Window = Chosen(Command, Sender))
        StepPlayerWindow(*Window, 10 * OneSecond);
}

void TPlayerCommandHandlers::StepUpdate(TCommand* Command) {
    Command->SetEnabled(ShownPlayers().AnyWithRange);
}
