#include "toolkit/controls/up_down_edit.h"

#include "core/data.h"
#include "platform/keys.h"
#include "toolkit/controls/number_text.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>
#include <cstdio>

const TControlClass TUpDownEdit::Class{"TUpDownEdit", &TWidget::Class, CreateControlOf<TUpDownEdit>};
const TControlClass TColorChooserEdit::Class{"TColorChooserEdit", &TUpDownEdit::Class,
                                             CreateControlOf<TColorChooserEdit>};

namespace {

constexpr TColor Black = MakeColor(0, 0, 0, 255);

int64_t Magnitude(int32_t Value) {
    return Value < 0 ? -int64_t(Value) : int64_t(Value);
}

int32_t HexDigits(int32_t Min, int32_t Max) {
    if (Min >= -255 && Max <= 255)
        return 2;
    if (Min < -65535 || Max > 65535)
        return 8;
    return 4;
}

int32_t DecimalDigits(int64_t Magnitude) {
    int32_t Digits = 1;
    for (; Magnitude >= 10; Magnitude /= 10)
        ++Digits;
    return Digits;
}

bool HasBothSigns(int32_t Min, int32_t Max) {
    return Min < 0 && Max > 0;
}

} // namespace

std::string UpDownText(int32_t Value, TUpDownDisplay Display, int32_t Min, int32_t Max) {
    int64_t Abs = Magnitude(Value);
    std::string Sign = Value < 0 ? "-" : "";
    switch (Display) {
    case TUpDownDisplay::Hexadecimal: {
        char Digits[24];
        std::snprintf(Digits, sizeof Digits, "%0*llX", HexDigits(Min, Max), static_cast<unsigned long long>(Abs));
        return Sign + "$" + Digits;
    }
    case TUpDownDisplay::Percent:
        if (HasBothSigns(Min, Max) && Value > 0)
            Sign = "+";
        return Sign + std::to_string(Abs) + "%";
    case TUpDownDisplay::Decimal:
        break;
    }
    return Sign + std::to_string(Abs);
}

std::string UpDownMeasureText(TUpDownDisplay Display, int32_t Min, int32_t Max, char Digit) {
    int64_t Larger = std::max(Magnitude(Min), Magnitude(Max));
    std::string Sign = Min < 0 ? "-" : "";
    switch (Display) {
    case TUpDownDisplay::Hexadecimal:
        return Sign + "$" + std::string(size_t(HexDigits(Min, Max)), Digit);
    case TUpDownDisplay::Percent:
        // "+" is the wider of the two signs a field with both shows.
        if (HasBothSigns(Min, Max))
            Sign = "+";
        return Sign + std::string(size_t(DecimalDigits(Larger)), Digit) + "%";
    case TUpDownDisplay::Decimal:
        break;
    }
    return Sign + std::string(size_t(DecimalDigits(Larger)), Digit);
}

// ---- TUpDownEditLocalEdit

TUpDownEdit* TUpDownEditLocalEdit::Owner() const {
    return dynamic_cast<TUpDownEdit*>(Parent());
}

void TUpDownEditLocalEdit::KeyDown(TWidgetKeyEvent& Event) {
    TUpDownEdit* Field = Owner();
    if (Field && Event.Modifiers == 0) {
        if (Event.Key == ::KeyUp || Event.Key == ::KeyDown) {
            Event.Accept();
            Field->StepBy(Event.Key == ::KeyUp ? 1 : -1, TStepEnds::Wrap);
            return;
        }
        if ((Event.Key == KeyEnter || Event.Key == KeyEscape) && !Field->IsEditAlways()) {
            Event.Accept();
            Field->EndEdit();
            return;
        }
    }
    TLocalEdit::KeyDown(Event);
}

// ---- TUpDownEditText

TUpDownEdit* TUpDownEditText::Owner() const {
    return dynamic_cast<TUpDownEdit*>(Parent());
}

void TUpDownEditText::SetCaption(std::string Caption) {
    if (Caption == FCaption)
        return;
    FCaption = std::move(Caption);
    Invalidate();
}

void TUpDownEditText::Execute() {
    if (TUpDownEdit* Field = Owner())
        Field->BeginEdit();
}

void TUpDownEditText::Paint(TPixels& Pixels) {
    TRect Rect{0, 0, Width(), Height()};
    bool Enabled = IsEnabledInTree();
    TButtonState State{Enabled, Checked(), IsDown(), IsHot()};
    PaintButtonBackground(Rect, Pixels, State);
    const TTextAttr& Font = SkinColors().MessageFont;
    TTextInfo Info;
    MeasureText(FCaption, Font, TTextMode::Plain, Info);
    int32_t X = (Rect.Width() - Info.Width) / 2;
    int32_t Y = (Rect.Height() - Info.TotalHeight) / 2;
    TColor Color = SystemColors().ButtonText;
    if (!Enabled) {
        Color = SkinColors().DisabledTextColor;
        if (Checked())
            ++X, ++Y;
    } else if (!IsHot()) {
        Color = MixColors(SystemColors().ButtonText, SystemColors().ButtonShadow, 128);
    }
    Pixels.DrawText(X, Y, TSmooth::Yes, AlphaColor(Color, 255), Font, FCaption);
    PaintButtonFrame(Rect, Pixels, State);
}

// ---- TUpDownEdit

TUpDownEdit::TUpDownEdit() {
    FText = &Add<TUpDownEditText>();
    FEdit = &Add<TUpDownEditLocalEdit>();
    FUpDown = &Add<TUpDown>();
    FEdit->SetVisible(false);
    FEdit->SetAutoSelect(true);
    FEdit->OnChange = [this] { EditTextChanged(); };
    FEdit->OnExit = [this] {
        if (!FIsEditAlways)
            EndEdit();
        else
            RefreshTexts();
    };
    FUpDown->OnStep = [this](int32_t Count) { StepBy(Count, TStepEnds::Clamp); };
    Measure();
    RefreshTexts();
    RefreshArrows();
}

void TUpDownEdit::SetValue(int32_t Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FValue)
        return;
    FValue = Value;
    RefreshTexts();
    RefreshArrows();
    if (std::function<void()> Handler = OnChange)
        Handler();
}

void TUpDownEdit::StepBy(int64_t Count, TStepEnds Ends) {
    int64_t Next = int64_t(FValue) + Count;
    if (Ends == TStepEnds::Wrap && Next > FMax)
        Next = FMin;
    else if (Ends == TStepEnds::Wrap && Next < FMin)
        Next = FMax;
    SetValue(int32_t(std::clamp<int64_t>(Next, FMin, FMax)));
}

void TUpDownEdit::SetMin(int32_t Min) {
    SetLimits(Min, std::max(Min, FMax));
}

void TUpDownEdit::SetMax(int32_t Max) {
    SetLimits(std::min(FMin, Max), Max);
}

void TUpDownEdit::SetLimits(int32_t Min, int32_t Max) {
    if (Max < Min)
        Max = Min;
    FMin = Min;
    FMax = Max;
    Measure();
    RefreshTexts();
    RefreshArrows();
    RequestLayout();
    if (FValue < FMin || FValue > FMax)
        SetValue(FValue);
}

void TUpDownEdit::SetDisplay(TUpDownDisplay Display) {
    if (Display == FDisplay)
        return;
    FDisplay = Display;
    Measure();
    RefreshTexts();
    RequestLayout();
}

void TUpDownEdit::SetEditAlways(bool EditAlways) {
    if (EditAlways == FIsEditAlways)
        return;
    FIsEditAlways = EditAlways;
    if (EditAlways) {
        FIsEditing = true;
        RefreshTexts();
        FEdit->SetVisible(true);
        FText->SetVisible(false);
    } else {
        EndEdit();
    }
    Invalidate();
}

void TUpDownEdit::SetWrapping(bool Wrapping) {
    if (Wrapping == FIsWrapping)
        return;
    FIsWrapping = Wrapping;
    RefreshArrows();
}

void TUpDownEdit::BeginEdit() {
    if (!FIsEditing) {
        FIsEditing = true;
        RefreshTexts();
        FEdit->SetVisible(true);
        FText->SetVisible(false);
        Invalidate();
    }
    TWeakPtr Life(FEdit);
    FEdit->SetFocus();
    if (!Life.IsExpired())
        FEdit->SelectAll();
}

void TUpDownEdit::EndEdit() {
    if (FIsEditAlways || !FIsEditing)
        return;
    // Cleared first: hiding a focused edit box moves the focus away, and its
    // exit handler comes back here.
    FIsEditing = false;
    RefreshTexts();
    TWeakPtr Life(this);
    FText->SetVisible(true);
    FEdit->SetVisible(false);
    if (!Life.IsExpired())
        Invalidate();
}

void TUpDownEdit::EditTextChanged() {
    if (FIsUpdating)
        return;
    std::optional<TNumberText> Number = ReadNumberText(FEdit->Text());
    if (!Number)
        return;
    FIsTyping = true;
    TWeakPtr Life(this);
    SetValue(Number->Value);
    if (!Life.IsExpired())
        FIsTyping = false;
}

void TUpDownEdit::RefreshTexts() {
    std::string Shown = Text();
    FText->SetCaption(Shown);
    if (FIsTyping || FEdit->Text() == Shown)
        return;
    FIsUpdating = true;
    FEdit->SetText(Shown);
    if (FEdit->HasFocus())
        FEdit->SelectAll();
    FIsUpdating = false;
}

void TUpDownEdit::RefreshArrows() {
    if (FIsWrapping)
        FUpDown->SetArrowsEnabled(FMin < FMax, FMin < FMax);
    else
        FUpDown->SetArrowsEnabled(FValue > FMin, FValue < FMax);
}

void TUpDownEdit::Measure() {
    const TTextAttr& Font = SkinColors().MessageFont;
    // The widest digit the field can show.
    std::string_view Digits = FDisplay == TUpDownDisplay::Hexadecimal ? "0123456789ABCDEF" : "0123456789";
    char Widest = '0';
    int32_t WidestWidth = -1;
    TTextInfo Info;
    for (char Digit : Digits) {
        MeasureText(std::string_view(&Digit, 1), Font, TTextMode::Plain, Info);
        if (Info.Width > WidestWidth) {
            WidestWidth = Info.Width;
            Widest = Digit;
        }
    }
    MeasureText(UpDownMeasureText(FDisplay, FMin, FMax, Widest), Font, TTextMode::Plain, Info);
    // The edit box keeps room beside its text; the drawn text is centred in
    // the same width, so both show every digit.
    FTextWidth = Info.Width + 1 + 2 * TTextEditWidget::TextInsetX;
    FTextHeight = std::max(Info.TotalHeight, FEdit->LineHeight());
}

int32_t TUpDownEdit::UpDownWidth() const {
    int32_t Wanted = std::min(3 * FTextHeight / 2, Skins().Scale(48));
    // A control narrower than the text needs takes room from the up-down.
    int32_t Spare = ClientRect().Width() - (FTextWidth + 4);
    if (Spare < Wanted)
        Wanted = std::max(8, Spare);
    return Wanted;
}

bool TUpDownEdit::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = std::min(3 * FTextHeight / 2, Skins().Scale(48)) + FTextWidth + 4;
    Height = FTextHeight + 4;
    return true;
}

void TUpDownEdit::Layout() {
    TRect Client = ClientRect();
    int32_t W = Client.Width(), H = Client.Height();
    int32_t ArrowsWidth = std::min(UpDownWidth(), W);
    int32_t FieldHeight = std::min(H, FTextHeight + 4);
    int32_t FieldTop = (H - FieldHeight) / 2;
    TRect Field{0, FieldTop, W - ArrowsWidth, FieldTop + FieldHeight};
    FText->SetBounds(Field);
    FEdit->SetBounds(Field.Inflated(-2, -2));
    FUpDown->SetBounds({W - ArrowsWidth, 0, W, H});
}

void TUpDownEdit::Paint(TPixels& Pixels) {
    if (!FIsEditing)
        return;
    // The edit box's own colour one pixel around it, and a frame around
    // that: the highlight while it has the focus, else a darker shade.
    TRect Box = FEdit->Bounds();
    bool Enabled = IsEnabledInTree();
    TColor Own = Enabled ? SystemColors().Window : SkinColors().FaceColor;
    Pixels.FrameRect(Box.Inflated(1, 1), AlphaColor(Own, 255));
    TRect Outer = Box.Inflated(2, 2);
    if (FEdit->HasFocus() && Enabled)
        Pixels.BlendFrameRect(Outer, AlphaColor(SystemColors().Highlight, 128));
    else if (FUpDown->Look() == TUpDownLook::Window)
        Pixels.BlendFrameRect(Outer, AlphaColor(SystemColors().WindowText, 24));
    else
        Pixels.PixelOpFrame(Outer, Black, ShadowOp, 64);
}

bool TUpDownEdit::MouseWheel(TWidgetMouseEvent& Event) {
    if (Event.IsHorizontalWheel || Event.WheelDelta == 0)
        return false;
    StepBy(Event.WheelDelta > 0 ? 1 : -1, FIsWrapping ? TStepEnds::Wrap : TStepEnds::Clamp);
    return true;
}

void TUpDownEdit::LoadControl(TData& Data) {
    SetValue(Data.ReadInteger("Value", FValue));
    Measure();
    RefreshTexts();
    TWidget::LoadControl(Data);
}

void TUpDownEdit::SaveControl(TData& Data) {
    Data.WriteInteger("Value", FValue);
    TWidget::SaveControl(Data);
}

// ---- TColorChooserEdit

TColorChooserEdit::TColorChooserEdit() {
    SetLimits(0, 255);
    SetEditAlways(true);
}
