#pragma once

#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct TTextAttr;

// A control the toolkit draws in the skin and that acts on a click: the base
// of push buttons and check boxes. A left press released over it, Space
// (pressed and released) or Enter while it has the focus, and Alt with the
// letter after the "&" of its caption (which focuses it first) all run
// Click. In design mode it looks enabled and leaves the mouse to the
// designer's hook.
//
//   auto& Apply = Form.Add<TCommonButton>();
//   Apply.SetCaption("&Apply");
//   Apply.OnClick = [&] { Save(); };
class TCommonControl : public TWidget {
public:
    static const TControlClass Class;

    TCommonControl();
    std::string_view ClassName() const override { return "TCommonControl"; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string_view Caption);
    const std::string& Hint() const { return FHint; }
    void SetHint(std::string_view Hint) { FHint = Hint; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Checked);
    // The key of the caption's accelerator: the letter or digit after a
    // single "&", upper-cased; 0 for none.
    uint8_t AcceleratorKey() const;

    // Runs OnClick; the handler may destroy the control.
    virtual void Click();
    std::function<void()> OnClick;

    // Enabled with its parents, or in design mode.
    bool IsActive() const { return IsEnabledInTree() || IsDesigning(); }
    // Drawn pushed in: held under the mouse, or Space held while focused.
    bool IsPushed() const { return IsActive() && ((IsDown() && IsHot()) || FIsSpaceDown); }

    void MouseUp(TWidgetMouseEvent& Event) override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    void KeyUp(TWidgetKeyEvent& Event) override;
    bool DialogChar(TWidgetKeyEvent& Event) override;
    void FocusChanged() override;

protected:
    static const TTextAttr& Font();
    // The caption without its "&" markers at (X, Y), the accelerator letter
    // underlined.
    void PaintCaption(TPixels& Pixels, int32_t X, int32_t Y, TColor Color) const;
    // The caption's size without its "&" markers: the advance of the text
    // and the height of its lines; 0 x 0 without a caption.
    TSize CaptionExtent() const;

private:
    std::string FCaption;
    std::string FHint;
    bool FChecked = false;
    bool FIsSpaceDown = false;
};

// A push button: a raised face that sinks while pressed or checked, lights
// up under the mouse, shows a frame while it is the default button (the
// focused one) and a focus rectangle inside while focused.
class TCommonButton : public TCommonControl {
public:
    static const TControlClass Class;

    TCommonButton();
    std::string_view ClassName() const override { return "TCommonButton"; }

    // The caption's extent + 32 wide and + 12 high; 25 x 25 without one.
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;
    // Other buttons' default frames depend on the focus: they repaint too.
    void FocusChanged() override;
    // Whether the dark default-button frame is drawn: while focused.
    virtual bool ShowsDefaultFrame() const { return HasFocus(); }
};

// A check box: a square with a tick when Checked, the caption to its right.
// A click (or Space) toggles Checked and then runs OnClick.
class TCommonCheckBox : public TCommonControl {
public:
    static const TControlClass Class;
    static constexpr int32_t BoxSize = 13;

    TCommonCheckBox();
    std::string_view ClassName() const override { return "TCommonCheckBox"; }

    void Click() override;
    // The caption's extent + 22 wide, at least 16 high; 20 x 16 without one.
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;
    // The square in client coordinates: at the left, centred vertically.
    TRect BoxRect() const;
};
