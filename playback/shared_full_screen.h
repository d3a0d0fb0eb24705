#pragma once

#include "toolkit/widgets/widget.h"

#include <memory>

class TPlayerWindow;
class TWidgetWindow;
class TWindowSystem;

// The one black full-screen window all player windows share: made on first
// use, sized to the display the player window is on, it paints the video of
// the player window that went full screen. Escape leaves full screen; the
// other keys run the player commands on that window (Space plays or
// pauses, the arrows step, Alt+Enter leaves).
class TSharedFullScreen : public TWidget {
public:
    explicit TSharedFullScreen(TWindowSystem& System);
    ~TSharedFullScreen() override;
    std::string_view ClassName() const override { return "TSharedFullScreen"; }

    // The shared widget, made on first use on System.
    static TSharedFullScreen& Get(TWindowSystem& System);
    // The shared widget if it exists, else null.
    static TSharedFullScreen* Existing();
    // Frees the shared widget (the last player window went).
    static void Free();

    void ShowFor(TPlayerWindow& Source);
    // Hides it when Source is the window it shows.
    void HideFor(TPlayerWindow& Source);
    TPlayerWindow* Source() const { return FSource; }
    TWidgetWindow& Host() const { return *FHost; }

    void Layout() override;
    void Paint(TPixels& Pixels) override;
    void KeyDown(TWidgetKeyEvent& Event) override;

private:
    TWindowSystem& FSystem;
    std::unique_ptr<TWidgetWindow> FHost;
    TPlayerWindow* FSource = nullptr;
};
