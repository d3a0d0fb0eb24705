#pragma once

#include "core/changes.h"
#include "platform/window/window_system.h"

#include <vector>

class TPlayerWindow;
class TWidget;

// What the player windows announce through their shared notifier.
enum class TPlayerChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TPlayerChangeFlags> = true;

constexpr TPlayerChangeFlags PlayerChangePlayState{0x000F};
// The position read back after a change of state.
constexpr TPlayerChangeFlags PlayerChangeReadBack{0x00F0};
// The position moved, or the periodic tick while something plays.
constexpr TPlayerChangeFlags PlayerChangePosition{0x0F00};
constexpr TPlayerChangeFlags PlayerChangeWindows{0xFFFF};

using TPlayerChanges = TFlagChanges<TPlayerChangeFlags>;

// The registry of the application's player windows, with the notifier that
// keeps time displays and player commands in step and a periodic tick that
// runs only while some window's player plays. Windows add themselves when
// created and leave when destroyed.
//
//   PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TForm::PlayersChanged>(this));
class TPlayerWindows : public TObject {
public:
    static constexpr std::chrono::milliseconds TickInterval{40};

    TPlayerWindows();
    ~TPlayerWindows() override;
    std::string_view ClassName() const override { return "TPlayerWindows"; }

    const std::vector<TPlayerWindow*>& Windows() const { return FWindows; }
    TPlayerChanges& Changes() { return FChanges; }
    void Change(TPlayerChangeFlags Flags) { FChanges.Change(Flags); }

    void Add(TPlayerWindow& Window);
    void Remove(TPlayerWindow& Window);
    // Starts the tick on the window system of a playing window, or stops it
    // when nothing plays.
    void UpdateTick();
    bool IsTicking() const { return FTimer != 0; }

    // The visible window whose parent is Parent, else any visible window;
    // null when none is visible.
    TPlayerWindow* Target(const TWidget* Parent = nullptr) const;
    // Whether any visible window has a source with a range; plays; is
    // paused with a range.
    bool AnyHasRange() const;
    bool AnyPlaying() const;
    bool AnyPausedWithRange() const;

private:
    void Tick();

    std::vector<TPlayerWindow*> FWindows;
    TPlayerChanges FChanges;
    TWindowSystem* FTimerSystem = nullptr;
    TTimerId FTimer = 0;
};

// The application's one registry.
TPlayerWindows& PlayerWindows();
