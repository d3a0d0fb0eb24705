#include "playback/player_commands.h"

#include "commands/command.h"
#include "playback/player_window.h"
#include "playback/player_windows.h"

#include <algorithm>

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

} // namespace

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
