#pragma once

#include "toolkit/widgets/widget.h"

#include "platform/window/window_events.h"
#include "platform/window/window_system.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCommonButton;
class TNativeWindow;
class TWidgetWindow;
class TWindowSystem;

// The progress dialog of long operations (rendering, writing to tape): a
// caption with the percentage, a bar of 0..100 and a Cancel button. It is
// not a modal loop of its own: the operation calls Progress now and then,
// which redraws the dialog and handles waiting events, and stops when
// Progress answers false. While it is shown every other window of the
// program is disabled.
//
//   TWaitForm Wait(System);
//   Wait.ExecuteBegin("Rendering %", 0, Frames);
//   for (int64_t Frame = 0; Frame < Frames && Wait.Progress(Frame); ++Frame) Render(Frame);
//   Wait.ExecuteEnd();
class TWaitForm : public TWidget {
public:
    static constexpr int32_t FormWidth = 360;
    static constexpr int32_t FormHeight = 112;

    explicit TWaitForm(TWindowSystem& System);
    ~TWaitForm() override;
    std::string_view ClassName() const override { return "TWaitForm"; }

    // Shows the dialog for values Min..Max. Only when Min + 1 < Max: a
    // shorter run shows nothing, and Progress then answers false. Raises
    // EError when the dialog is already shown.
    void ExecuteBegin(const std::string& Template, int64_t Min, int64_t Max);
    // Moves the bar to Value; false when the user cancelled, the program is
    // ending or the dialog is not shown.
    bool Progress(int64_t Value);
    void ExecuteEnd();

    bool IsActive() const { return FActive; }
    bool IsCancelled() const { return FCancelled; }
    int32_t Percent() const { return FPercent; }
    // The caption: the template with the percentage put in.
    const std::string& Caption() const { return FCaption; }
    TCommonButton& CancelButton() const { return *FCancel; }
    TWidgetWindow* FormWindow() const { return FWindow.get(); }
    // Asks to cancel, as the Cancel button and the close box do.
    void Cancel();

    void Paint(TPixels& Pixels) override;
    void Layout() override;

private:
    void SetPercent(int32_t Percent);

    TWindowSystem& FSystem;
    std::unique_ptr<TWidgetWindow> FWindow;
    TCommonButton* FCancel;
    std::vector<TNativeWindow*> FDisabled;
    TEventFilterRegistration FCloseFilter;
    TNativeWindow* FPreviousFocus = nullptr;
    std::string FTemplate;
    std::string FCaption;
    int64_t FMin = 0, FMax = 0, FPosition = 0;
    int32_t FPercent = 0;
    bool FActive = false;
    bool FCancelled = false;
};

// The percentage Value makes of Min..Max, computed without overflow and
// clamped to 0..100 (100 when Max equals Min).
int32_t ProgressPercent(int64_t Value, int64_t Min, int64_t Max);
