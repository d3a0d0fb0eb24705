#include "toolkit/controls/common_control.h"

#include "canvas/text_attr.h"
#include "platform/keys.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>

const TControlClass TCommonControl::Class{"TCommonControl", &TWidget::Class,
                                          CreateControlOf<TCommonControl>};
const TControlClass TCommonButton::Class{"TCommonButton", &TCommonControl::Class,
                                         CreateControlOf<TCommonButton>};
const TControlClass TCommonCheckBox::Class{"TCommonCheckBox", &TCommonControl::Class,
                                           CreateControlOf<TCommonCheckBox>};

namespace {

TRect Inset(const TRect& Rect, int32_t By) {
    return {Rect.Left + By, Rect.Top + By, Rect.Right - By, Rect.Bottom - By};
}

// The index, in characters of the caption without markers, of the
// accelerator letter; -1 for none. Characters are counted as code points,
// as the text layout counts them.
int32_t AcceleratorIndex(std::string_view Caption) {
    int32_t Index = 0;
    for (size_t I = 0; I < Caption.size(); ++I) {
        if (Caption[I] == '&') {
            if (I + 1 >= Caption.size())
                return -1;
            if (Caption[I + 1] != '&')
                return Index;
            ++I; // "&&" is one "&"
        }
        if ((uint8_t(Caption[I]) & 0xC0) != 0x80)
            ++Index;
    }
    return -1;
}

} // namespace

// ---- TCommonControl

TCommonControl::TCommonControl() {
    SetBounds(TRect::FromSize(0, 0, 75, 25));
}

void TCommonControl::SetCaption(std::string_view Caption) {
    if (Caption == FCaption)
        return;
    FCaption = Caption;
    Changed();
}

void TCommonControl::SetChecked(bool Checked) {
    if (Checked == FChecked)
        return;
    FChecked = Checked;
    Changed();
}

uint8_t TCommonControl::AcceleratorKey() const {
    for (size_t I = 0; I + 1 < FCaption.size(); ++I) {
        if (FCaption[I] != '&')
            continue;
        char Next = FCaption[I + 1];
        if (Next == '&') {
            ++I;
            continue;
        }
        if (Next >= 'a' && Next <= 'z')
            return uint8_t(Next - 'a' + 'A');
        if ((Next >= 'A' && Next <= 'Z') || (Next >= '0' && Next <= '9'))
            return uint8_t(Next);
        return 0;
    }
    return 0;
}

void TCommonControl::Click() {
    // A copy: the handler may destroy this control and with it OnClick.
    if (std::function<void()> Handler = OnClick)
        Handler();
}

void TCommonControl::MouseUp(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left || !IsEnabledInTree() || IsDesigning())
        return;
    TRect Client = ClientRect();
    if (!TRect{0, 0, Client.Width(), Client.Height()}.Contains(Event.Position))
        return;
    Event.Accept();
    Click();
}

void TCommonControl::KeyDown(TWidgetKeyEvent& Event) {
    if (IsDesigning() || (Event.Modifiers & ShortCutModifiers) != 0)
        return;
    if (Event.Key == KeySpace) {
        Event.Accept();
        if (!FIsSpaceDown) {
            FIsSpaceDown = true;
            Changed();
        }
    } else if (Event.Key == KeyEnter) {
        Event.Accept();
        Click();
    }
}

void TCommonControl::KeyUp(TWidgetKeyEvent& Event) {
    if (Event.Key != KeySpace || !FIsSpaceDown)
        return;
    Event.Accept();
    FIsSpaceDown = false;
    Changed();
    Click();
}

bool TCommonControl::DialogChar(TWidgetKeyEvent& Event) {
    if (!(Event.Modifiers & ShortCutAlt) || (Event.Modifiers & ShortCutCtrl) || IsDesigning())
        return false;
    uint8_t Key = AcceleratorKey();
    if (Key == 0 || Event.Key != Key)
        return false;
    if (!TabStop() || !IsShowing() || !IsEnabledInTree())
        return false;
    TWeakPtr Life(this);
    SetFocus();
    if (Life.IsExpired())
        return true;
    Event.Accept();
    Click();
    return true;
}

void TCommonControl::FocusChanged() {
    // Space released elsewhere must not leave the control pushed in.
    if (!HasFocus() && FIsSpaceDown) {
        FIsSpaceDown = false;
        Changed();
    }
}

const TTextAttr& TCommonControl::Font() {
    return SkinColors().MessageFont;
}

TSize TCommonControl::CaptionExtent() const {
    std::string Text = StripAccelerator(FCaption);
    if (Text.empty())
        return {0, 0};
    TTextInfo Info;
    MeasureText(Text, Font(), TTextMode::Plain, Info);
    return {Info.Width, Info.TotalHeight};
}

void TCommonControl::PaintCaption(TPixels& Pixels, int32_t X, int32_t Y, TColor Color) const {
    std::string Text = StripAccelerator(FCaption);
    if (Text.empty())
        return;
    Pixels.DrawText(X, Y, TSmooth::Yes, Color, Font(), Text);
    int32_t Index = AcceleratorIndex(FCaption);
    if (Index < 0)
        return;
    TRect Letter = TextExtentOfIntervals(Text, Font(), {{Index, Index}}).front();
    if (Letter.IsEmpty())
        return;
    // The underline sits on the baseline's lower edge, a pixel above the
    // bottom of the line.
    int32_t Line = Y + Letter.Bottom - 2;
    Pixels.FillRect({X + Letter.Left, Line, X + Letter.Right, Line + 1}, Color);
}

// ---- TCommonButton

TCommonButton::TCommonButton() {
    SetTabStop(true);
}

bool TCommonButton::GetDefaultSize(int32_t& Width, int32_t& Height) {
    TSize Extent = CaptionExtent();
    if (Extent.Width == 0 && Extent.Height == 0) {
        Width = 25;
        Height = 25;
    } else {
        Width = Extent.Width + 32;
        Height = Extent.Height + 12;
    }
    return true;
}

void TCommonButton::FocusChanged() {
    TWeakPtr Life(this);
    TCommonControl::FocusChanged();
    if (!Life.IsExpired() && Parent())
        Parent()->Invalidate();
}

void TCommonButton::Paint(TPixels& Pixels) {
    TRect Client = ClientRect();
    TRect R{0, 0, Client.Width(), Client.Height()};
    const TSkinColors& Skin = SkinColors();
    bool Active = IsActive();
    bool Sunk = IsPushed() || (Active && Checked());

    if (ShowsDefaultFrame()) {
        Pixels.FrameRect(R, AlphaColor(Skin.TextColor, 255));
        R = Inset(R, 1);
    }
    // The face: lit under the mouse, shaded while pushed, a checked button
    // a little lighter so that it reads as switched on.
    TRect Face = Inset(R, 2);
    if (Sunk)
        Pixels.PixelOp(Face, AlphaColor(0, 255), ShadowOp, Checked() && !IsPushed() ? 16 : 40);
    else if (Active && IsHot())
        Pixels.PixelOp(Face, AlphaColor(0xFFFFFF, 255), HighlightOp, 110);
    if (Checked() && Active && !IsPushed())
        Pixels.PixelOp(Face, AlphaColor(0xFFFFFF, 255), HighlightOp, 64);
    TEdgeKind Kind = Sunk ? TEdgeKind::Sunken : TEdgeKind::Raised;
    PaintEdge(R, Pixels, 2, TEdgeDepth::Deep, Kind, Kind);
    if (Active && IsHot() && !Sunk)
        Pixels.BlendFrameRect(Inset(R, 1), AlphaColor(SystemColors().Highlight, 128));

    TSize Extent = CaptionExtent();
    int32_t X = R.Left + (R.Width() - Extent.Width) / 2;
    int32_t Y = R.Top + (R.Height() - Extent.Height) / 2;
    if (Sunk) {
        ++X;
        ++Y;
    }
    PaintCaption(Pixels, X, Y, AlphaColor(Active ? Skin.TextColor : Skin.DisabledTextColor, 255));

    if (HasFocus())
        Pixels.BlendFrameRect(Inset(R, 3), AlphaColor(SystemColors().Highlight, 224));
}

// ---- TCommonCheckBox

TCommonCheckBox::TCommonCheckBox() {
    SetTabStop(true);
    SetBounds(TRect::FromSize(0, 0, 97, 17));
}

void TCommonCheckBox::Click() {
    TWeakPtr Life(this);
    SetChecked(!Checked());
    if (!Life.IsExpired())
        TCommonControl::Click();
}

bool TCommonCheckBox::GetDefaultSize(int32_t& Width, int32_t& Height) {
    TSize Extent = CaptionExtent();
    if (Extent.Width == 0 && Extent.Height == 0) {
        Width = 20;
        Height = 16;
    } else {
        Width = Extent.Width + 22;
        Height = std::max(Extent.Height, 16);
    }
    return true;
}

TRect TCommonCheckBox::BoxRect() const {
    TRect Client = ClientRect();
    return TRect::FromSize(1, (Client.Height() - BoxSize) / 2, BoxSize, BoxSize);
}

void TCommonCheckBox::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    const TSystemColors& System = SystemColors();
    bool Active = IsActive();
    TRect Box = BoxRect();

    // The square: the window colour when usable, the face when disabled or
    // pushed; its frame takes the selection colour under the mouse.
    TColor Fill = Active && !IsPushed() ? System.Window : Skin.FaceColor;
    if (Active && IsHot() && !IsPushed())
        Fill = MixColors(AlphaColor(System.Window, 255), AlphaColor(System.Highlight, 255), 32);
    Pixels.FillRect(Box, AlphaColor(Fill, 255));
    TColor Frame = Active && (IsHot() || IsPushed()) ? System.Highlight : System.ButtonShadow;
    Pixels.FrameRect(Box, AlphaColor(Frame, 255));

    if (Checked()) {
        TColor Tick = AlphaColor(Active ? Skin.TextColor : Skin.DisabledTextColor, 255);
        // Three strokes a pixel apart make a tick seven pixels wide and
        // three thick, crisp at every skin.
        for (int32_t Dy = 0; Dy < 3; ++Dy) {
            TPoint Points[3] = {{Box.Left + 3, Box.Top + 5 + Dy},
                                {Box.Left + 5, Box.Top + 7 + Dy},
                                {Box.Left + 9, Box.Top + 3 + Dy}};
            Pixels.Polyline(Points, 3, TSmooth::No, Tick);
        }
    }

    TSize Extent = CaptionExtent();
    TRect Client = ClientRect();
    int32_t X = BoxSize + 7;
    int32_t Y = (Client.Height() - Extent.Height) / 2;
    PaintCaption(Pixels, X, Y, AlphaColor(Active ? Skin.TextColor : Skin.DisabledTextColor, 255));
    if (HasFocus() && Extent.Width > 0)
        Pixels.BlendFrameRect({X - 2, Y - 1, X + Extent.Width + 2, Y + Extent.Height + 1},
                              AlphaColor(System.Highlight, 224));
}
