#pragma once

#include "toolkit/controls/edit_control.h"
#include "toolkit/controls/up_down.h"
#include "toolkit/widgets/flat_gadget.h"

#include <cstdint>
#include <functional>
#include <string>

class TUpDownEdit;

// How a number field shows its value.
enum class TUpDownDisplay : uint8_t {
    Decimal,     // "-12"
    Hexadecimal, // "$0F": 2 digits when the range lies within -255..255, 8 beyond +-65535, else 4
    Percent,     // "50%"; "+50%", "-50%" and "0%" when the range has both signs
};

// What a step does at the ends of the range.
enum class TStepEnds : uint8_t { Clamp, Wrap };

// The text a field with the range Min..Max shows for Value.
std::string UpDownText(int32_t Value, TUpDownDisplay Display, int32_t Min, int32_t Max);
// The text a field is measured with: the digit Digit repeated as often as
// the larger magnitude of the range needs, with the sign, "$" or "%" the
// field may show. Magnitudes are taken in 64 bits: -2147483648 has ten
// digits like every other 32-bit value.
std::string UpDownMeasureText(TUpDownDisplay Display, int32_t Min, int32_t Max, char Digit);

// The in-place editor of a number field: no border of its own (the field
// draws one around it) and no tab stop; Up and Down step the value,
// wrapping at the ends; Enter and Escape end editing unless the field
// always edits.
class TUpDownEditLocalEdit : public TLocalEdit {
public:
    TUpDownEditLocalEdit() { SetTabStop(false); }
    std::string_view ClassName() const override { return "TUpDownEditLocalEdit"; }

    TRect NCMargins() const override { return {}; }
    void PaintFrame(TPixels& /*Pixels*/) override {}
    void KeyDown(TWidgetKeyEvent& Event) override;

private:
    TUpDownEdit* Owner() const;
};

// The number as drawn text on a flat button; a press starts editing.
class TUpDownEditText : public TFlatGadget {
public:
    std::string_view ClassName() const override { return "TUpDownEditText"; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string Caption);

    void Execute() override;
    void RepeatTick() override {}
    void Paint(TPixels& Pixels) override;

private:
    TUpDownEdit* Owner() const;
    std::string FCaption;
};

// A number field: the value as drawn text that turns into an edit box when
// clicked (or is one all the time, IsEditAlways), with an up-down at its
// right. The value stays within Min..Max. Typed text is read as it changes
// (signs, "$" hexadecimal, an optional "%"; see ReadNumberText) and a
// readable number becomes the value, clamped. The up-down's steps clamp at
// the ends; the wheel steps by one per notch and wraps at the ends only
// when IsWrapping; the Up and Down keys in the edit box always wrap.
//
//   auto& Opacity = Form.Add<TUpDownEdit>();
//   Opacity.SetLimits(0, 100);
//   Opacity.SetDisplay(TUpDownDisplay::Percent);
//   Opacity.OnChange = [&] { Apply(Opacity.Value()); };
class TUpDownEdit : public TWidget {
public:
    static const TControlClass Class;

    TUpDownEdit();
    std::string_view ClassName() const override { return "TUpDownEdit"; }

    int32_t Value() const { return FValue; }
    // Clamped to Min..Max; a change refreshes the texts and arrows, then
    // runs OnChange.
    void SetValue(int32_t Value);
    int32_t Min() const { return FMin; }
    int32_t Max() const { return FMax; }
    // Each re-measures the text, refreshes it and pulls the value inside;
    // the other limit moves along when it would cross.
    void SetMin(int32_t Min);
    void SetMax(int32_t Max);
    void SetLimits(int32_t Min, int32_t Max);
    TUpDownDisplay Display() const { return FDisplay; }
    void SetDisplay(TUpDownDisplay Display);
    bool IsEditAlways() const { return FIsEditAlways; }
    void SetEditAlways(bool EditAlways);
    bool IsWrapping() const { return FIsWrapping; }
    void SetWrapping(bool Wrapping);

    // Adds Count (in 64 bits, so no step can overflow) and clamps or wraps
    // to the other end.
    void StepBy(int64_t Count, TStepEnds Ends);

    // The text the value shows as.
    std::string Text() const { return UpDownText(FValue, FDisplay, FMin, FMax); }
    bool IsEditing() const { return FIsEditing; }
    // Shows the edit box with the text selected and focuses it.
    void BeginEdit();
    // Shows the drawn text again, unless the field always edits.
    void EndEdit();

    TUpDownEditText& TextGadget() const { return *FText; }
    TUpDownEditLocalEdit& EditBox() const { return *FEdit; }
    TUpDown& UpDown() const { return *FUpDown; }
    // The measured room the text needs.
    int32_t TextWidth() const { return FTextWidth; }
    int32_t TextHeight() const { return FTextHeight; }

    std::function<void()> OnChange;

    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Layout() override;
    void Paint(TPixels& Pixels) override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;
    // "Value" before the widget's own keys; a missing key keeps the value.
    void LoadControl(TData& Data) override;
    void SaveControl(TData& Data) override;

private:
    void Measure();
    void RefreshTexts();
    void RefreshArrows();
    void EditTextChanged();
    // The up-down's width for the control's present width.
    int32_t UpDownWidth() const;

    TUpDownEditText* FText;
    TUpDownEditLocalEdit* FEdit;
    TUpDown* FUpDown;
    int32_t FValue = 0;
    int32_t FMin = 0;
    int32_t FMax = 100;
    TUpDownDisplay FDisplay = TUpDownDisplay::Decimal;
    bool FIsEditAlways = false;
    bool FIsWrapping = false;
    bool FIsEditing = false;
    // Set while the texts are written, so the edit box's change is ours.
    bool FIsUpdating = false;
    // Set while typed text is read, so the edit box keeps what was typed.
    bool FIsTyping = false;
    int32_t FTextWidth = 0;
    int32_t FTextHeight = 0;
};

// A number field of the colour chooser: 0..255, always editing.
class TColorChooserEdit : public TUpDownEdit {
public:
    static const TControlClass Class;

    TColorChooserEdit();
    std::string_view ClassName() const override { return "TColorChooserEdit"; }
};
