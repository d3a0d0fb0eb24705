#include "app/dialogs/wait_form.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/window/window_system.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int32_t Margin = 12;
constexpr int32_t BarHeight = 18;
constexpr int32_t ButtonWidth = 80;
constexpr int32_t ButtonHeight = 26;

} // namespace

int32_t ProgressPercent(int64_t Value, int64_t Min, int64_t Max) {
    if (Max == Min)
        return 100;
    constexpr int64_t Safe = std::numeric_limits<int64_t>::max() / 200;
    int64_t Percent;
    if (Value > -Safe && Value < Safe && Min > -Safe && Min < Safe && Max > -Safe && Max < Safe)
        Percent = (Value - Min) * 100 / (Max - Min);
    else
        Percent = int64_t((double(Value) - double(Min)) * 100.0 / (double(Max) - double(Min)));
    return int32_t(std::clamp<int64_t>(Percent, 0, 100));
}

TWaitForm::TWaitForm(TWindowSystem& System) : FSystem(System) {
    SetBackground(TWidgetBackground::Face);
    FCancel = &Add<TCommonButton>();
    FCancel->SetCaption(GetText(TTextSlot::ButtonCancel));
    FCancel->SetTabStop(true);
    FCancel->OnClick = [this] { Cancel(); };
    SetBounds(TRect::FromSize(0, 0, FormWidth, FormHeight));
}

TWaitForm::~TWaitForm() {
    ExecuteEnd();
}

void TWaitForm::Layout() {
    FCancel->SetBounds(TRect::FromSize((Width() - ButtonWidth) / 2, Height() - Margin - ButtonHeight, ButtonWidth,
                                       ButtonHeight));
}

void TWaitForm::ExecuteBegin(const std::string& Template, int64_t Min, int64_t Max) {
    if (FActive)
        RaiseError(GetText(TTextSlot::WaitFormBusy));
    // Nothing worth a dialog: later calls do nothing.
    if (Min >= Max || Min + 1 >= Max)
        return;
    FMin = Min;
    FMax = Max;
    FPosition = Min;
    FCancelled = false;
    FTemplate = Template;
    FPercent = 0;
    FCaption = FormatMessageText(FTemplate, "0%");

    FSystem.ReleaseCapture();
    FPreviousFocus = FSystem.FocusedWindow();
    TWindowOptions Options;
    Options.Kind = TWindowKind::Dialog;
    Options.Title = FCaption;
    Options.IsResizable = false;
    Options.Owner = FPreviousFocus;
    TRect Work = FSystem.DesktopWorkArea();
    TRect Centre = FPreviousFocus ? FPreviousFocus->Bounds() : Work;
    Options.Bounds = TRect::FromSize(Centre.Left + (Centre.Width() - FormWidth) / 2,
                                     Centre.Top + (Centre.Height() - FormHeight) / 2, FormWidth, FormHeight);
    try {
        FWindow = std::make_unique<TWidgetWindow>(FSystem, *this, Options);
        for (TNativeWindow* Window : FSystem.ZOrder())
            if (Window != &FWindow->Native() && Window->IsEnabled()) {
                Window->SetEnabled(false);
                FDisabled.push_back(Window);
            }
        FActive = true;
        // The close box asks to cancel: the window stays while the
        // operation runs, which sees the cancel at its next Progress.
        FCloseFilter = FSystem.AddEventFilter(TFilterPlace::First, [this](const TEvent& Event) {
            if (const auto* Window = std::get_if<TWindowEvent>(&Event);
                Window && FWindow && Window->Window == &FWindow->Native() &&
                Window->Kind == TWindowEventKind::CloseRequest) {
                Cancel();
                return true;
            }
            return false;
        });
        FWindow->Show(TActivate::Yes);
    } catch (...) {
        FActive = true;
        ExecuteEnd();
        throw;
    }
}

bool TWaitForm::Progress(int64_t Value) {
    if (!FActive)
        return false;
    if (Value != FPosition) {
        FPosition = Value;
        SetPercent(ProgressPercent(Value, FMin, FMax));
    }
    FSystem.ProcessEvents();
    return !FCancelled && !FSystem.IsTerminated();
}

void TWaitForm::ExecuteEnd() {
    if (!FActive)
        return;
    FActive = false;
    FCloseFilter.Reset();
    for (TNativeWindow* Window : FDisabled) {
        // Windows closed meanwhile have left the list of live windows.
        const auto& Live = FSystem.ZOrder();
        if (std::find(Live.begin(), Live.end(), Window) != Live.end())
            Window->SetEnabled(true);
    }
    FDisabled.clear();
    FWindow.reset();
    const auto& Live = FSystem.ZOrder();
    if (FPreviousFocus && std::find(Live.begin(), Live.end(), FPreviousFocus) != Live.end())
        FPreviousFocus->Activate();
    FPreviousFocus = nullptr;
}

void TWaitForm::Cancel() {
    if (FActive)
        FCancelled = true;
}

void TWaitForm::SetPercent(int32_t Percent) {
    FPercent = Percent;
    FCaption = FormatMessageText(FTemplate, std::to_string(Percent) + "%");
    if (FWindow)
        FWindow->Native().SetTitle(FCaption);
    Invalidate();
}

void TWaitForm::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    Pixels.DrawText(Margin, Margin, TSmooth::Yes, AlphaColor(Skin.TextColor, 255), Skin.MessageFont, FCaption);
    TTextInfo Info;
    MeasureText("Ag", Skin.MessageFont, TTextMode::Plain, Info);
    TRect Bar = TRect::FromSize(Margin, Margin + Info.LineHeight + 8, Width() - 2 * Margin, BarHeight);
    Pixels.FillRect(Bar, AlphaColor(Skin.ShadowColor, 255));
    TRect Inside{Bar.Left + 1, Bar.Top + 1, Bar.Right - 1, Bar.Bottom - 1};
    Pixels.FillRect(Inside, MakeColor(0xFF, 0xFF, 0xFF));
    int32_t Filled = Inside.Width() * FPercent / 100;
    Pixels.FillRect(TRect{Inside.Left, Inside.Top, Inside.Left + Filled, Inside.Bottom}, MakeColor(0x2F, 0x6F, 0xC6));
}
