#pragma once

#include "toolkit/widgets/flat_gadget.h"

#include <cstdint>
#include <functional>

class TUpDown;

enum class TUpDownDirection : uint8_t {
    Decrease, // the lower arrow, pointing down
    Increase, // the upper arrow, pointing up
};

// How an up-down is drawn: on the skin's face like a tool button, or on
// the window colour of the list or field it sits in.
enum class TUpDownLook : uint8_t { Skin, Window };

// One arrow of an up-down: a flat gadget that steps its up-down by one on
// a press and again on every repeat tick while held (250 ms, then every
// 50 ms).
class TUpDownArrow : public TFlatGadget {
public:
    explicit TUpDownArrow(TUpDownDirection Direction) : FDirection(Direction) {}
    std::string_view ClassName() const override { return "TUpDownArrow"; }

    TUpDownDirection Direction() const { return FDirection; }

    void Execute() override;
    void Paint(TPixels& Pixels) override;

private:
    TUpDown* Owner() const;
    TUpDownDirection FDirection;
};

// The strip between the arrows: dragging on it reports steps, one per
// pixel moved right or up (left and down count negative).
class TUpDownMiddle : public TFlatGadget {
public:
    std::string_view ClassName() const override { return "TUpDownMiddle"; }

    bool IsDragging() const { return FIsDragging; }

    void Execute() override {}
    void RepeatTick() override {}
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void StateChanged() override;
    void Paint(TPixels& Pixels) override;

private:
    TUpDown* Owner() const;
    void EndDrag();
    TPoint FLast; // on the desktop
    bool FIsDragging = false;
};

// A pair of drawn arrow buttons with a drag strip between them that
// reports signed steps: a click on the lower arrow steps by -1, on the
// upper by +1 (repeating while held); the wheel by one per notch; the Up
// and Down keys by +1 and -1 while it has the focus; a drag on the strip
// by the pixels moved right plus the pixels moved up.
//
//   auto& Spin = Form.Add<TUpDown>();
//   Spin.OnStep = [&](int32_t Count) { Zoom(Count); };
class TUpDown : public TWidget {
public:
    static const TControlClass Class;

    TUpDown();
    std::string_view ClassName() const override { return "TUpDown"; }

    TUpDownArrow& DecreaseArrow() const { return *FDecrease; }
    TUpDownArrow& IncreaseArrow() const { return *FIncrease; }
    TUpDownMiddle& Middle() const { return *FMiddle; }

    // The strip is enabled while either arrow is.
    void SetArrowsEnabled(bool Decrease, bool Increase);
    TColor ArrowColor() const { return FArrowColor; }
    void SetArrowColor(TColor Color);
    TUpDownLook Look() const { return FLook; }
    void SetLook(TUpDownLook Look);
    bool IsDragging() const { return FMiddle->IsDragging(); }

    // Reports Count steps through OnStep.
    void Step(int32_t Count);

    std::function<void()> OnDragBegin;
    std::function<void(int32_t Count)> OnStep;
    std::function<void()> OnDragEnd;

    // (48 x 64) scaled by the skin size.
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Layout() override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;
    void KeyDown(TWidgetKeyEvent& Event) override;

private:
    friend class TUpDownMiddle;
    TUpDownArrow* FDecrease;
    TUpDownArrow* FIncrease;
    TUpDownMiddle* FMiddle;
    TColor FArrowColor;
    TUpDownLook FLook = TUpDownLook::Skin;
};
