#include "playback/video_time_edit.h"

#include "canvas/text_attr.h"
#include "core/time_text.h"
#include "platform/keys.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <cmath>

std::string FormatVideoTime(TVideoTime Time, bool HasValue, TTimeSign Sign) {
    if (!HasValue)
        return "--:--.--";
    double Seconds = VideoTimeToSeconds(Time);
    return Sign == TTimeSign::Signed ? FormatSignedTime(Seconds) : FormatTime(Seconds);
}

TVideoTimeEdit::TVideoTimeEdit() {
    SetTabStop(true);
}

void TVideoTimeEdit::SetValue(TVideoTime Value) {
    Value = std::clamp(Value, FMinimum, std::max(FMinimum, FMaximum));
    bool Changed = Value != FValue || !FHasValue;
    FValue = Value;
    FHasValue = true;
    if (!Changed)
        return;
    if (FEditing) {
        // The caret stays where it was, counted from the end, so that the
        // field under it stays the same when the minutes grow a digit.
        int32_t FromEnd = int32_t(FEditText.size()) - FCaret;
        FEditText = FormatVideoTime(FValue, true, FSign);
        FCaret = std::clamp(int32_t(FEditText.size()) - FromEnd, 0, int32_t(FEditText.size()));
    }
    Invalidate();
    ValueChanged();
}

void TVideoTimeEdit::ShowValue(TVideoTime Value, TVideoTime Maximum, bool HasValue) {
    FMaximum = Maximum;
    FValue = std::clamp(Value, FMinimum, std::max(FMinimum, FMaximum));
    FHasValue = HasValue;
    if (FEditing && !HasFocus())
        FEditText = FormatVideoTime(FValue, FHasValue, FSign);
    Invalidate();
}

void TVideoTimeEdit::SetHasValue(bool HasValue) {
    if (FHasValue == HasValue)
        return;
    FHasValue = HasValue;
    Invalidate();
}

void TVideoTimeEdit::SetRange(TVideoTime Minimum, TVideoTime Maximum) {
    FMinimum = Minimum;
    FMaximum = std::max(Minimum, Maximum);
    if (FValue < FMinimum || FValue > FMaximum)
        SetValue(FValue);
}

void TVideoTimeEdit::SetSignedDisplay(bool Signed) {
    FSign = Signed ? TTimeSign::Signed : TTimeSign::Plain;
    Invalidate();
}

void TVideoTimeEdit::SetAlwaysEditing(bool Always) {
    FAlwaysEditing = Always;
    if (Always && !FEditing)
        BeginEdit();
}

std::string TVideoTimeEdit::Text() const {
    return FEditing ? FEditText : FormatVideoTime(FValue, FHasValue, FSign);
}

void TVideoTimeEdit::SetCaret(int32_t Caret) {
    FCaret = std::clamp(Caret, 0, int32_t(FEditText.size()));
    Invalidate();
}

void TVideoTimeEdit::BeginEdit() {
    if (FEditing)
        return;
    FEditing = true;
    FEditText = FormatVideoTime(FValue, FHasValue, FSign);
    FCaret = 0;
    SetFocus();
    Invalidate();
}

void TVideoTimeEdit::EndEdit() {
    if (!FEditing || FAlwaysEditing)
        return;
    FEditing = false;
    Invalidate();
}

void TVideoTimeEdit::ValueChanged() {
    if (OnChange)
        OnChange();
}

void TVideoTimeEdit::StepField(int32_t Units) {
    // The field under the caret: minutes before ":", seconds before ".",
    // hundredths after it.
    size_t Colon = FEditText.find(':');
    size_t Dot = FEditText.find('.');
    TVideoTime Unit = VideoTimeUnitsPerSecond;
    if (Colon != std::string::npos && size_t(FCaret) <= Colon)
        Unit = 60 * VideoTimeUnitsPerSecond;
    else if (Dot != std::string::npos && size_t(FCaret) > Dot)
        Unit = VideoTimeUnitsPerSecond / 100;
    SetValue(FValue + Unit * Units);
}

void TVideoTimeEdit::ReadBack() {
    double Seconds = ParseTime(FEditText, VideoTimeToSeconds(FValue));
    TVideoTime Value = std::clamp(SecondsToVideoTime(Seconds), FMinimum, std::max(FMinimum, FMaximum));
    if (Value == FValue && FHasValue)
        return;
    FValue = Value;
    FHasValue = true;
    ValueChanged();
}

void TVideoTimeEdit::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left)
        return;
    Event.Accept();
    BeginEdit();
}

void TVideoTimeEdit::KeyDown(TWidgetKeyEvent& Event) {
    if (!FEditing)
        return;
    int32_t Length = int32_t(FEditText.size());
    switch (Event.Key) {
    case ::KeyUp: StepField(1); break;
    case ::KeyDown: StepField(-1); break;
    case KeyPageUp: StepField(10); break;
    case KeyPageDown: StepField(-10); break;
    case KeyLeft: SetCaret(FCaret - 1); break;
    case KeyRight: SetCaret(FCaret + 1); break;
    case KeyHome: SetCaret(0); break;
    case KeyEnd: SetCaret(Length); break;
    case KeyBackspace:
        if (FCaret > 0) {
            FEditText.erase(size_t(FCaret - 1), 1);
            --FCaret;
            ReadBack();
            Invalidate();
        }
        break;
    case KeyDelete:
        if (FCaret < Length) {
            FEditText.erase(size_t(FCaret), 1);
            ReadBack();
            Invalidate();
        }
        break;
    case KeyEnter:
        ReadBack();
        EndEdit();
        break;
    case KeyEscape: EndEdit(); break;
    default: return;
    }
    Event.Accept();
}

void TVideoTimeEdit::TextInput(TWidgetTextEvent& Event) {
    if (!FEditing)
        return;
    Event.Accept();
    for (char C : Event.Text) {
        // Digits and the separators below ";" only.
        if (static_cast<unsigned char>(C) >= ';' || static_cast<unsigned char>(C) < ' ')
            continue;
        FEditText.insert(size_t(FCaret), 1, C);
        ++FCaret;
    }
    ReadBack();
    Invalidate();
}

bool TVideoTimeEdit::MouseWheel(TWidgetMouseEvent& Event) {
    if (Event.WheelDelta == 0)
        return false;
    SetValue(FValue + (Event.WheelDelta > 0 ? 1 : -1) * VideoTimeUnitsPerSecond);
    return true;
}

TTextAttr TVideoTimeEdit::Font() const {
    TTextAttr Attr;
    Attr.FontName = "Courier New";
    // 64 at the full skin size, in pixels of a 96-dot screen.
    Attr.Height = -std::max(8, Skins().Scale(64) * 96 / 72);
    return Attr;
}

void TVideoTimeEdit::Paint(TPixels& Pixels) {
    const TSkinColors& Colors = SkinColors();
    TRect Client = ClientRect();
    Pixels.FillRect(Client, FEditing ? MakeColor(255, 255, 255) : Colors.FaceColor);
    TTextAttr Attr = Font();
    std::string Shown = Text();
    TRect Extent = TextExtent(Shown, Attr);
    int32_t X = Client.Left + std::max(0, (Client.Width() - Extent.Width()) / 2);
    int32_t Y = Client.Top + (Client.Height() - Extent.Height()) / 2;
    TColor Ink = IsEnabledInTree() ? Colors.TextColor : Colors.DisabledTextColor;
    Pixels.DrawText(X, Y, TSmooth::Yes, Ink, Attr, Shown);
    if (FEditing && HasFocus()) {
        TRect Before = TextExtent(Shown.substr(0, size_t(FCaret)), Attr);
        int32_t CaretX = X + Before.Width();
        Pixels.FillRect(TRect{CaretX, Y, CaretX + 1, Y + Extent.Height()}, Ink);
    }
}
