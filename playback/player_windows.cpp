#include "playback/player_windows.h"

#include "playback/player_window.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

TPlayerWindows::TPlayerWindows() : FChanges(this) {}

TPlayerWindows::~TPlayerWindows() {
    if (FTimer && FTimerSystem)
        FTimerSystem->StopTimer(FTimer);
}

void TPlayerWindows::Add(TPlayerWindow& Window) {
    FWindows.push_back(&Window);
    Change(PlayerChangeWindows);
}

void TPlayerWindows::Remove(TPlayerWindow& Window) {
    FWindows.erase(std::remove(FWindows.begin(), FWindows.end(), &Window), FWindows.end());
    if (FTimerSystem && std::none_of(FWindows.begin(), FWindows.end(),
                                     [&](TPlayerWindow* W) { return W->TimerSystem() == FTimerSystem; })) {
        // The window system may go with its last player window.
        if (FTimer)
            FTimerSystem->StopTimer(FTimer);
        FTimer = 0;
        FTimerSystem = nullptr;
    }
    Change(PlayerChangeWindows);
    UpdateTick();
}

void TPlayerWindows::UpdateTick() {
    TPlayerWindow* Playing = nullptr;
    for (TPlayerWindow* Window : FWindows)
        if (Window->IsPlaying() && Window->TimerSystem()) {
            Playing = Window;
            break;
        }
    if (!Playing) {
        if (FTimer && FTimerSystem)
            FTimerSystem->StopTimer(FTimer);
        FTimer = 0;
        FTimerSystem = nullptr;
        return;
    }
    if (FTimer)
        return;
    FTimerSystem = Playing->TimerSystem();
    FTimer = FTimerSystem->StartTimer(TickInterval, TTimerRepeat::Repeat, [this] { Tick(); });
}

void TPlayerWindows::Tick() {
    // A window's poll may pause it (its stop time passed) and so end the tick.
    std::vector<TPlayerWindow*> Windows = FWindows;
    for (TPlayerWindow* Window : Windows)
        if (std::find(FWindows.begin(), FWindows.end(), Window) != FWindows.end())
            Window->Poll();
    Change(PlayerChangePosition);
    UpdateTick();
}

TPlayerWindow* TPlayerWindows::Target(const TWidget* Parent) const {
    TPlayerWindow* Any = nullptr;
    for (TPlayerWindow* Window : FWindows) {
        if (!Window->IsShowing())
            continue;
        if (Parent && Window->Parent() == Parent)
            return Window;
        if (!Any)
            Any = Window;
    }
    return Any;
}

bool TPlayerWindows::AnyHasRange() const {
    return std::any_of(FWindows.begin(), FWindows.end(),
                       [](TPlayerWindow* W) { return W->IsShowing() && W->HasSourceAndRange(); });
}

bool TPlayerWindows::AnyPlaying() const {
    return std::any_of(FWindows.begin(), FWindows.end(),
                       [](TPlayerWindow* W) { return W->IsShowing() && W->IsPlaying(); });
}

bool TPlayerWindows::AnyPausedWithRange() const {
    return std::any_of(FWindows.begin(), FWindows.end(), [](TPlayerWindow* W) {
        return W->IsShowing() && W->HasSourceAndRange() && !W->IsPlaying();
    });
}

TPlayerWindows& PlayerWindows() {
    static TPlayerWindows Instance;
    return Instance;
}
