#include "toolkit/controls/text_edit_widget.h"

#include "platform/keys.h"
#include "platform/text/utf8.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <vector>

const TControlClass TTextEditWidget::Class{"TTextEditWidget", &TWidget::Class};

namespace {

// The caret stops of one line: each character's start and the line's end,
// as byte offsets into the line and x positions in pixels. Measured as the
// text is drawn (smoothed), so the caret sits where the glyphs are.
struct TLineStops {
    std::vector<size_t> Offsets;
    std::vector<int32_t> X;
};

TLineStops MeasureStops(std::string_view Line, const TTextAttr& Font) {
    TLineStops Stops;
    TTextInfo Info;
    MeasureText(Line, Font, TTextMode::Oversampled, Info);
    int32_t Scale = Info.AntiAliased ? 8 : 1;
    auto Pixels = [Scale](int32_t Units) { return (Units + Scale / 2) / Scale; };
    size_t Index = 0;
    for (size_t Offset = 0; Offset < Line.size(); ++Index) {
        Stops.Offsets.push_back(Offset);
        Stops.X.push_back(Index < Info.Positions.size() ? Pixels(Info.Positions[Index].X) : Pixels(Info.Width));
        NextUtf8(Line, Offset);
    }
    Stops.Offsets.push_back(Line.size());
    Stops.X.push_back(Pixels(Info.Width));
    return Stops;
}

bool IsTextKey(uint8_t Key) {
    return Key == KeySpace || (Key >= Key0 && Key <= Key0 + 9) || (Key >= KeyA && Key <= KeyA + 25) ||
           (Key >= KeyPad0 && Key <= KeyPadDivide) || (Key >= KeySemicolon && Key <= KeyGrave) ||
           (Key >= KeyLeftBracket && Key <= KeyQuote);
}

int32_t FloorDivide(int32_t A, int32_t B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}

} // namespace

TTextEditWidget::TTextEditWidget(TTextLines Lines) : FEditor(Lines), FFont(SkinColors().MessageFont) {
    SetTabStop(true);
}

TTextEditWidget::~TTextEditWidget() {
    StopBlink();
}

TWindowSystem* TTextEditWidget::System() const {
    TWidgetWindow* Window = this->Window();
    return Window ? &Window->System() : nullptr;
}

// ---- text and selection

void TTextEditWidget::SetText(std::string_view Text) {
    std::string Old = FEditor.Text();
    FEditor.SetText(Text);
    FScrollX = FScrollY = 0;
    Edit(Old != FEditor.Text());
}

void TTextEditWidget::SetSelection(size_t Anchor, size_t Caret) {
    FEditor.SetSelection(Anchor, Caret);
    CaretMoved();
}

void TTextEditWidget::SelectAll() {
    FEditor.SelectAll();
    CaretMoved();
}

void TTextEditWidget::SetReadOnly(bool ReadOnly) {
    if (ReadOnly == FIsReadOnly)
        return;
    FIsReadOnly = ReadOnly;
    Invalidate();
}

void TTextEditWidget::SetCentred(bool Centred) {
    if (Centred == FIsCentred)
        return;
    FIsCentred = Centred;
    EnsureCaretVisible();
    Invalidate();
}

void TTextEditWidget::SetFont(const TTextAttr& Font) {
    FFont = Font;
    EnsureCaretVisible();
    Invalidate();
}

void TTextEditWidget::CutToClipboard() {
    if (FIsReadOnly || !FEditor.HasSelection()) {
        CopyToClipboard();
        return;
    }
    CopyToClipboard();
    Edit(FEditor.DeleteSelection());
}

void TTextEditWidget::CopyToClipboard() {
    if (TWindowSystem* System = this->System(); System && FEditor.HasSelection())
        System->SetClipboardText(FEditor.SelectedText());
}

void TTextEditWidget::PasteFromClipboard() {
    TWindowSystem* System = this->System();
    if (!System || FIsReadOnly)
        return;
    Edit(FEditor.Insert(System->ClipboardText()));
}

void TTextEditWidget::Edit(bool Changed) {
    if (Changed)
        TextChanged();
    else
        CaretMoved();
}

void TTextEditWidget::TextChanged() {
    FDesiredX = -1;
    EnsureCaretVisible();
    RestartBlink();
    Invalidate();
    if (std::function<void()> Handler = OnChange)
        Handler();
}

void TTextEditWidget::CaretMoved() {
    FDesiredX = -1;
    EnsureCaretVisible();
    RestartBlink();
    Invalidate();
}

// ---- geometry

TRect TTextEditWidget::NCMargins() const {
    return {FrameWidth, FrameWidth, FrameWidth, FrameWidth};
}

TRect TTextEditWidget::TextArea() const {
    TRect Client = ClientRect();
    TRect Area{TextInsetX, TextInsetY, Client.Width() - TextInsetX, Client.Height() - TextInsetY};
    return Area.IsEmpty() ? TRect{TextInsetX, TextInsetY, TextInsetX, TextInsetY} : Area;
}

int32_t TTextEditWidget::LineHeight() const {
    TTextInfo Info;
    MeasureText("", FFont, TTextMode::Plain, Info);
    return std::max(1, Info.LineHeight);
}

int32_t TTextEditWidget::LineX(size_t LineStart, size_t Offset) const {
    size_t End = FEditor.LineEnd(LineStart);
    std::string_view Line = std::string_view(FEditor.Text()).substr(LineStart, End - LineStart);
    TLineStops Stops = MeasureStops(Line, FFont);
    size_t Local = std::min(Offset, End) - LineStart;
    for (size_t I = 0; I < Stops.Offsets.size(); ++I)
        if (Stops.Offsets[I] >= Local)
            return Stops.X[I];
    return Stops.X.back();
}

int32_t TTextEditWidget::LineWidth(size_t LineStart) const {
    return LineX(LineStart, FEditor.LineEnd(LineStart));
}

size_t TTextEditWidget::OffsetInLine(size_t LineStart, int32_t X) const {
    size_t End = FEditor.LineEnd(LineStart);
    std::string_view Line = std::string_view(FEditor.Text()).substr(LineStart, End - LineStart);
    TLineStops Stops = MeasureStops(Line, FFont);
    for (size_t I = 0; I + 1 < Stops.Offsets.size(); ++I)
        if (X < (Stops.X[I] + Stops.X[I + 1] + 1) / 2)
            return LineStart + Stops.Offsets[I];
    return End;
}

int32_t TTextEditWidget::LineLeft(size_t LineStart) const {
    TRect Area = TextArea();
    int32_t Left = Area.Left - FScrollX;
    if (FIsCentred) {
        int32_t Width = LineWidth(LineStart);
        if (Width < Area.Width())
            Left = Area.Left + (Area.Width() - Width) / 2;
    }
    return Left;
}

TPoint TTextEditWidget::CaretPoint() const {
    size_t Caret = FEditor.Caret();
    size_t Start = FEditor.LineStart(Caret);
    TRect Area = TextArea();
    int32_t Top = IsMultiLine() ? Area.Top + FEditor.LineOf(Caret) * LineHeight() - FScrollY
                                : Area.Top + (Area.Height() - LineHeight()) / 2;
    return {LineLeft(Start) + LineX(Start, Caret), Top};
}

size_t TTextEditWidget::OffsetAt(TPoint ClientPoint) const {
    TRect Area = TextArea();
    int32_t Line = 0;
    if (IsMultiLine())
        Line = std::clamp(FloorDivide(ClientPoint.Y - Area.Top + FScrollY, LineHeight()), 0,
                          FEditor.LineCount() - 1);
    size_t Start = FEditor.LineStartOf(Line);
    return OffsetInLine(Start, ClientPoint.X - LineLeft(Start));
}

void TTextEditWidget::EnsureCaretVisible() {
    TRect Area = TextArea();
    int32_t OldX = FScrollX, OldY = FScrollY;
    size_t Caret = FEditor.Caret();
    size_t Start = FEditor.LineStart(Caret);
    int32_t X = LineX(Start, Caret);
    int32_t LineWidth = this->LineWidth(Start);
    // One pixel stays free at the right for the caret itself.
    int32_t Room = std::max(1, Area.Width() - 1);
    if (FIsCentred && LineWidth < Area.Width()) {
        FScrollX = 0;
    } else {
        // Moving left past the edge shows a quarter of the box before the
        // caret, so that what is about to be deleted stays in view.
        if (X < FScrollX)
            FScrollX = std::max(0, X - Area.Width() / 4);
        if (X > FScrollX + Room)
            FScrollX = X - Room;
        if (!IsMultiLine())
            FScrollX = std::clamp(FScrollX, 0, std::max(0, LineWidth - Room));
    }
    if (IsMultiLine()) {
        int32_t Height = LineHeight();
        int32_t Top = FEditor.LineOf(Caret) * Height;
        if (Top < FScrollY)
            FScrollY = Top;
        if (Top + Height > FScrollY + Area.Height())
            FScrollY = Top + Height - Area.Height();
        FScrollY = std::clamp(FScrollY, 0, std::max(0, FEditor.LineCount() * Height - Area.Height()));
    }
    if (FScrollX != OldX || FScrollY != OldY)
        Invalidate();
}

void TTextEditWidget::Layout() {
    EnsureCaretVisible();
}

// ---- painting

void TTextEditWidget::PaintFrame(TPixels& Pixels) {
    // A clear outline in the skin's shadow, the highlight while focused,
    // and inside it a ring of the box's own background (tinted with the
    // highlight while focused) so that the frame reads as one line.
    TRect Outer{0, 0, Width(), Height()};
    bool Enabled = IsEnabledInTree();
    bool Focused = FHasFocus && Enabled;
    TColor Background = !Enabled || FIsReadOnly ? SkinColors().FaceColor : SystemColors().Window;
    TColor Line = Focused   ? SystemColors().Highlight
                  : Enabled ? SkinColors().ShadowColor
                            : MixColors(SkinColors().ShadowColor, SkinColors().FaceColor, 128);
    Pixels.FrameRect(Outer, AlphaColor(Line, 255));
    TRect Inner = Outer.Inflated(-1, -1);
    Pixels.FillBand(Inner, ClientRect(), AlphaColor(Background, 255));
    if (Focused)
        Pixels.BlendFrameRect(Inner, AlphaColor(SystemColors().Highlight, 96));
}

void TTextEditWidget::Paint(TPixels& Pixels) {
    TRect Client = ClientRect();
    bool Enabled = IsEnabledInTree();
    TColor Background = !Enabled || FIsReadOnly ? SkinColors().FaceColor : SystemColors().Window;
    Pixels.FillRect({0, 0, Client.Width(), Client.Height()}, AlphaColor(Background, 255));
    TColor TextColor = AlphaColor(Enabled ? SystemColors().WindowText : SkinColors().DisabledTextColor, 255);
    TColor SelectedColor = AlphaColor(SystemColors().HighlightText, 255);

    TPixelsStateSaver Saver(Pixels);
    TRect Area = TextArea();
    Pixels.SetClipRect(Area.Translated(Pixels.Origin).Intersected(Pixels.ClipRect()));
    int32_t Height = LineHeight();
    int32_t FirstLine = 0, LastLine = 0;
    if (IsMultiLine()) {
        FirstLine = std::max(0, FScrollY / Height);
        LastLine = std::min(FEditor.LineCount() - 1, (FScrollY + Area.Height()) / Height);
    }
    bool ShowSelection = FHasFocus && FEditor.HasSelection();
    size_t SelStart = FEditor.SelectionStart(), SelEnd = FEditor.SelectionEnd();
    const std::string& Text = FEditor.Text();
    // A selected line break shows as a little highlight past the line's end.
    int32_t BreakWidth = std::max(3, Height / 3);
    for (int32_t Line = FirstLine; Line <= LastLine; ++Line) {
        size_t Start = FEditor.LineStartOf(Line), End = FEditor.LineEnd(Start);
        int32_t Top = IsMultiLine() ? Area.Top + Line * Height - FScrollY : Area.Top + (Area.Height() - Height) / 2;
        int32_t Left = LineLeft(Start);
        std::string_view LineText = std::string_view(Text).substr(Start, End - Start);
        TRect Selected;
        if (ShowSelection && SelStart <= End && SelEnd >= Start) {
            size_t From = std::max(SelStart, Start), To = std::min(SelEnd, End);
            int32_t Right = Left + LineX(Start, To) + (SelEnd > End ? BreakWidth : 0);
            Selected = {Left + LineX(Start, From), Top, Right, Top + Height};
            Pixels.FillRect(Selected, AlphaColor(SystemColors().Highlight, 255));
        }
        Pixels.DrawText(Left, Top, TSmooth::Yes, TextColor, FFont, LineText);
        if (!Selected.IsEmpty()) {
            TPixelsStateSaver SelectionSaver(Pixels);
            Pixels.SetClipRect(Selected.Translated(Pixels.Origin).Intersected(Pixels.ClipRect()));
            Pixels.DrawText(Left, Top, TSmooth::Yes, SelectedColor, FFont, LineText);
        }
    }
    if (IsCaretShown()) {
        TPoint Caret = CaretPoint();
        Pixels.FillRect({Caret.X, Caret.Y, Caret.X + 1, Caret.Y + Height}, TextColor);
    }
}

// ---- the caret's blink

void TTextEditWidget::RestartBlink() {
    if (!FHasFocus)
        return;
    FCaretOn = true;
    TWidgetWindow* Window = this->Window();
    if (!Window)
        return;
    StopBlink();
    FBlinkWindow = TWeakPtr(Window);
    ScheduleBlink(Window->System());
}

// One tick at a time: a tick that finds the box gone, unfocused or out of
// its window simply does not come again.
void TTextEditWidget::ScheduleBlink(TWindowSystem& System) {
    FBlinkSystem = &System;
    FBlinkTimer = System.StartTimer(CaretBlink, TTimerRepeat::Once, [this, &System, Life = TWeakPtr(this)] {
        if (Life.IsExpired())
            return;
        FBlinkTimer = 0;
        if (FBlinkWindow.IsExpired() || !FHasFocus)
            return;
        FCaretOn = !FCaretOn;
        TPoint Caret = CaretPoint();
        InvalidateClient(TRect::FromSize(Caret.X, Caret.Y, 1, LineHeight()));
        ScheduleBlink(System);
    });
}

void TTextEditWidget::StopBlink() {
    if (FBlinkTimer && !FBlinkWindow.IsExpired())
        FBlinkSystem->StopTimer(FBlinkTimer);
    FBlinkTimer = 0;
    FBlinkSystem = nullptr;
    FBlinkWindow.Reset();
}

// ---- input

void TTextEditWidget::FocusChanged() {
    bool Focused = HasFocus();
    if (Focused == FHasFocus)
        return;
    FHasFocus = Focused;
    if (Focused) {
        TWindowSystem* System = this->System();
        bool MouseDown = FIsMousePressing || (System && System->MouseButtons() != 0);
        if (FAutoSelect && !IsMultiLine() && !MouseDown)
            FEditor.SelectAll();
        CaretMoved();
        if (std::function<void()> Handler = OnEnter)
            Handler();
    } else {
        StopBlink();
        FCaretOn = false;
        FIsMouseSelecting = false;
        Invalidate();
        if (std::function<void()> Handler = OnExit)
            Handler();
    }
}

void TTextEditWidget::MoveVertically(int32_t Lines, TSelect Select) {
    size_t Caret = FEditor.Caret();
    int32_t DesiredX = FDesiredX >= 0 ? FDesiredX : LineX(FEditor.LineStart(Caret), Caret);
    int32_t Line = std::clamp(FEditor.LineOf(Caret) + Lines, 0, FEditor.LineCount() - 1);
    FEditor.MoveTo(OffsetInLine(FEditor.LineStartOf(Line), DesiredX), Select);
    CaretMoved();
    FDesiredX = DesiredX;
}

void TTextEditWidget::KeyDown(TWidgetKeyEvent& Event) {
    bool Shift = (Event.Modifiers & ShortCutShift) != 0;
    bool Ctrl = (Event.Modifiers & ShortCutCtrl) != 0;
    if (Event.Modifiers & ShortCutAlt)
        return;
    TSelect Select = Shift ? TSelect::Extend : TSelect::Move;
    TTextUnit Unit = Ctrl ? TTextUnit::Word : TTextUnit::Character;
    bool Writable = !FIsReadOnly;
    size_t Caret = FEditor.Caret();
    switch (Event.Key) {
    case KeyLeft:
    case KeyRight: {
        bool Left = Event.Key == KeyLeft;
        size_t Target = 0;
        if (!Shift && !Ctrl && FEditor.HasSelection())
            Target = Left ? FEditor.SelectionStart() : FEditor.SelectionEnd();
        else if (Ctrl)
            Target = Left ? FEditor.PreviousWord(Caret) : FEditor.NextWord(Caret);
        else
            Target = Left ? FEditor.PreviousCharacter(Caret) : FEditor.NextCharacter(Caret);
        FEditor.MoveTo(Target, Select);
        CaretMoved();
        break;
    }
    case KeyHome:
        FEditor.MoveTo(Ctrl ? 0 : FEditor.LineStart(Caret), Select);
        CaretMoved();
        break;
    case KeyEnd:
        FEditor.MoveTo(Ctrl ? FEditor.Text().size() : FEditor.LineEnd(Caret), Select);
        CaretMoved();
        break;
    case ::KeyUp:
    case ::KeyDown:
        // A single line leaves them to focus navigation.
        if (!IsMultiLine())
            return;
        MoveVertically(Event.Key == ::KeyUp ? -1 : 1, Select);
        break;
    case KeyPageUp:
    case KeyPageDown: {
        if (!IsMultiLine())
            return;
        int32_t Page = std::max(1, TextArea().Height() / LineHeight() - 1);
        MoveVertically(Event.Key == KeyPageUp ? -Page : Page, Select);
        break;
    }
    case KeyBackspace:
        if (Writable)
            Edit(FEditor.DeleteBackward(Unit));
        break;
    case KeyDelete:
        if (Shift)
            CutToClipboard();
        else if (Writable)
            Edit(FEditor.DeleteForward(Unit));
        break;
    case KeyInsert:
        if (Ctrl)
            CopyToClipboard();
        else if (Shift)
            PasteFromClipboard();
        else
            return;
        break;
    case KeyEnter:
        if (!IsMultiLine() || Ctrl)
            return;
        if (Writable)
            Edit(FEditor.Insert("\n"));
        break;
    default:
        if (Ctrl && Event.Key == 'A')
            SelectAll();
        else if (Ctrl && Event.Key == 'C')
            CopyToClipboard();
        else if (Ctrl && Event.Key == 'X')
            CutToClipboard();
        else if (Ctrl && Event.Key == 'V')
            PasteFromClipboard();
        else if (Ctrl || !IsTextKey(Event.Key))
            return; // not ours: shortcuts and dialog keys go on
        // A text key's character arrives as a text event.
        break;
    }
    Event.Accept();
}

void TTextEditWidget::TextInput(TWidgetTextEvent& Event) {
    Event.Accept();
    if (FIsReadOnly || !FEditor.Insert(Event.Text))
        return;
    TWeakPtr Life(this);
    TextTyped();
    if (Life.IsExpired())
        return;
    TextChanged();
}

void TTextEditWidget::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left)
        return;
    Event.Accept();
    if (!HasFocus()) {
        TWeakPtr Life(this);
        FIsMousePressing = true;
        SetFocus();
        if (Life.IsExpired())
            return;
        FIsMousePressing = false;
    }
    size_t Offset = OffsetAt(Event.Position);
    if (Event.Clicks >= 2) {
        FEditor.SelectWordAt(Offset);
        FIsMouseSelecting = false;
    } else {
        FEditor.MoveTo(Offset, (Event.Modifiers & ShortCutShift) ? TSelect::Extend : TSelect::Move);
        FIsMouseSelecting = true;
    }
    CaretMoved();
}

void TTextEditWidget::MouseMove(TWidgetMouseEvent& Event) {
    if (!FIsMouseSelecting || !(Event.Buttons & MouseButtonBit(TMouseButton::Left)))
        return;
    Event.Accept();
    size_t Offset = OffsetAt(Event.Position);
    if (Offset == FEditor.Caret())
        return;
    FEditor.MoveTo(Offset, TSelect::Extend);
    CaretMoved();
}

void TTextEditWidget::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button == TMouseButton::Left)
        FIsMouseSelecting = false;
}

bool TTextEditWidget::MouseWheel(TWidgetMouseEvent& Event) {
    if (!IsMultiLine() || Event.IsHorizontalWheel || Event.WheelDelta == 0)
        return false;
    int32_t Height = LineHeight();
    int32_t Limit = std::max(0, FEditor.LineCount() * Height - TextArea().Height());
    int32_t Scroll = std::clamp(FScrollY - Event.WheelDelta * 3 * Height / 120, 0, Limit);
    if (Scroll != FScrollY) {
        FScrollY = Scroll;
        Invalidate();
    }
    return true;
}
