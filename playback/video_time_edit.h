#pragma once

#include "core/video_time.h"
#include "toolkit/widgets/widget.h"

#include <functional>
#include <string>

// The time text: minutes (at least two digits), ":", seconds, ".",
// hundredths, from round(seconds x 100); "-" before negative values, "+"
// before positive ones when Signed; "--:--.--" without a value.
enum class TTimeSign : uint8_t { Plain, Signed };
std::string FormatVideoTime(TVideoTime Time, bool HasValue, TTimeSign Sign = TTimeSign::Plain);

// An editable time: a flat display of the time text that opens an inline
// editor when clicked (or is always open). While editing, Up and Down change
// the field under the caret by one unit (minutes, seconds, hundredths), Page
// Up and Page Down by ten, the wheel by a second; digits and the characters
// below ";" can be typed, and the text is read back after every change.
// Enter and Escape end editing. Values are clamped to [Minimum, Maximum].
class TVideoTimeEdit : public TWidget {
public:
    static constexpr TVideoTime DefaultMaximum = 59999999999;

    TVideoTimeEdit();
    std::string_view ClassName() const override { return "TVideoTimeEdit"; }

    TVideoTime Value() const { return FValue; }
    // Clamped; a change fires ValueChanged.
    void SetValue(TVideoTime Value);
    bool HasValue() const { return FHasValue; }
    void SetHasValue(bool HasValue);
    TVideoTime Minimum() const { return FMinimum; }
    TVideoTime Maximum() const { return FMaximum; }
    void SetRange(TVideoTime Minimum, TVideoTime Maximum);
    bool SignedDisplay() const { return FSign == TTimeSign::Signed; }
    void SetSignedDisplay(bool Signed);
    bool AlwaysEditing() const { return FAlwaysEditing; }
    void SetAlwaysEditing(bool Always);

    // The text shown (the editor's text while editing).
    std::string Text() const;
    bool IsEditing() const { return FEditing; }
    int32_t Caret() const { return FCaret; }
    void SetCaret(int32_t Caret);

    virtual void BeginEdit();
    virtual void EndEdit();
    virtual void ValueChanged();
    std::function<void()> OnChange;

    void Paint(TPixels& Pixels) override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    void TextInput(TWidgetTextEvent& Event) override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;
    // The font of the time text, scaled with the skin.
    TTextAttr Font() const;

protected:
    // Shows Value without firing the change (a display following a player).
    void ShowValue(TVideoTime Value, TVideoTime Maximum, bool HasValue);

private:
    void StepField(int32_t Units);
    void ReadBack();

    TVideoTime FValue = 0;
    TVideoTime FMinimum = 0;
    TVideoTime FMaximum = DefaultMaximum;
    bool FHasValue = true;
    TTimeSign FSign = TTimeSign::Plain;
    bool FEditing = false;
    bool FAlwaysEditing = false;
    std::string FEditText;
    int32_t FCaret = 0;
};
