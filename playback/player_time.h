#pragma once

#include "playback/player_windows.h"
#include "playback/video_time_edit.h"
#include "toolkit/widgets/widget.h"

class TPlayerWindow;

// The time display of a player window: follows the window's position on
// every announcement of the player windows (no value without a source or
// with an empty range), and seeks it while edited: editing begins a scrub,
// each value change seeks, ending the edit ends the scrub. The window must
// outlive the display or be unbound first.
class TPlayerTime : public TVideoTimeEdit {
public:
    explicit TPlayerTime(TPlayerWindow* Player = nullptr);
    ~TPlayerTime() override;
    std::string_view ClassName() const override { return "TPlayerTime"; }

    TPlayerWindow* Player() const { return FPlayer; }
    void SetPlayer(TPlayerWindow* Player);
    // Reads the window's state again.
    void Follow();

    void BeginEdit() override;
    void EndEdit() override;
    void ValueChanged() override;

private:
    void PlayersChanged(TObject* Sender, TPlayerChangeFlags Flags);

    TPlayerWindow* FPlayer = nullptr;
    bool FFollowing = false;
};

// The time bar of a player window: a track from a quarter to three quarters
// of the height, filled up to the position (green when enabled); pressing
// and dragging scrubs the window.
class TPlayerTimeBar : public TGadget {
public:
    explicit TPlayerTimeBar(TPlayerWindow* Player = nullptr);
    ~TPlayerTimeBar() override;
    std::string_view ClassName() const override { return "TPlayerTimeBar"; }

    static constexpr int32_t PreferredWidth = 128;

    TPlayerWindow* Player() const { return FPlayer; }
    void SetPlayer(TPlayerWindow* Player);
    // The offset within the range that a press at X asks for.
    TVideoTime OffsetAt(int32_t X) const;
    // The right end of the filled part for the current position.
    int32_t FillEnd() const;

    void Paint(TPixels& Pixels) override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;

private:
    void PlayersChanged(TObject* Sender, TPlayerChangeFlags Flags);

    TPlayerWindow* FPlayer = nullptr;
    bool FDragging = false;
};

// The transport buttons of a player window, skinned gadgets in a row: play,
// pause, stop, replay, a frame back and a frame on. They follow the window:
// all disabled without a source, Play checked while it plays, Pause checked
// while it is paused short of the end, Stop enabled only while it plays.
class TPlayerTransport : public TWidget {
public:
    enum class TButton : uint8_t { Play, Pause, Stop, Replay, StepBack, StepForward };
    static constexpr int32_t ButtonCount = 6;

    explicit TPlayerTransport(TPlayerWindow* Player = nullptr);
    ~TPlayerTransport() override;
    std::string_view ClassName() const override { return "TPlayerTransport"; }

    TPlayerWindow* Player() const { return FPlayer; }
    void SetPlayer(TPlayerWindow* Player);
    TGadget& Button(TButton Which) const;

    void Layout() override;

private:
    void Run(TButton Which);
    void PlayersChanged(TObject* Sender, TPlayerChangeFlags Flags);
    void UpdateStates();

    TPlayerWindow* FPlayer = nullptr;
    TGadget* FButtons[ButtonCount] = {};
};
