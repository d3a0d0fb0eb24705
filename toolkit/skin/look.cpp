#include "toolkit/skin/look.h"

#include "toolkit/skin/skin_colors.h"

#include <string>

namespace {

constexpr TColor Black = MakeColor(0, 0, 0, 255);
constexpr TColor White = MakeColor(255, 255, 255, 255);

TRect Inset(const TRect& Rect, int32_t By) {
    return {Rect.Left + By, Rect.Top + By, Rect.Right - By, Rect.Bottom - By};
}

// The one-pixel edges of Rect without its corner pixels.
struct TEdges {
    TRect Top, Left, Bottom, Right;
};
TEdges EdgesWithoutCorners(const TRect& R) {
    return {{R.Left + 1, R.Top, R.Right - 1, R.Top + 1},
            {R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1},
            {R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom},
            {R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1}};
}

// The four corner pixels of Rect.
template <class TWork>
void ForEachCorner(const TRect& R, TWork&& Work) {
    Work(TRect::FromSize(R.Left, R.Top, 1, 1));
    Work(TRect::FromSize(R.Right - 1, R.Top, 1, 1));
    Work(TRect::FromSize(R.Left, R.Bottom - 1, 1, 1));
    Work(TRect::FromSize(R.Right - 1, R.Bottom - 1, 1, 1));
}

void DrawCentredText(const TRect& Rect, TPixels& Pixels, bool Pressed, TColor Color, std::string_view Caption,
                     const TTextAttr& Attr) {
    std::string Text = StripAccelerator(Caption);
    if (Text.empty())
        return;
    TTextInfo Info;
    MeasureText(Text, Attr, TTextMode::Plain, Info);
    int32_t X = Rect.Left + (Rect.Width() - Info.Width) / 2;
    int32_t Y = Rect.Top + (Rect.Height() - Info.TotalHeight) / 2;
    if (Pressed) {
        ++X;
        ++Y;
    }
    Pixels.DrawText(X, Y, TSmooth::Yes, Color, Attr, Text);
}

// Shades a rectangle: negative amounts darken with ShadowOp, positive ones
// lighten with HighlightOp.
void ShadeRect(TPixels& Pixels, const TRect& Rect, int32_t Amount) {
    if (Amount < 0)
        Pixels.PixelOp(Rect, Black, ShadowOp, uint32_t(-Amount));
    else if (Amount > 0)
        Pixels.PixelOp(Rect, White, HighlightOp, uint32_t(Amount));
}

// A ring on Rect's border: the top line (all but its last pixel) and the
// left line get TopLeft, the bottom line and the right line BottomRight, so
// every border pixel is shaded once.
void ShadeRing(TPixels& Pixels, const TRect& R, int32_t TopLeft, int32_t BottomRight) {
    if (R.IsEmpty())
        return;
    ShadeRect(Pixels, {R.Left, R.Top, R.Right - 1, R.Top + 1}, TopLeft);
    ShadeRect(Pixels, {R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1}, TopLeft);
    ShadeRect(Pixels, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, BottomRight);
    ShadeRect(Pixels, {R.Right - 1, R.Top, R.Right, R.Bottom - 1}, BottomRight);
}

} // namespace

std::string StripAccelerator(std::string_view Caption) {
    std::string Result;
    for (size_t I = 0; I < Caption.size(); ++I) {
        if (Caption[I] == '&') {
            if (I + 1 < Caption.size() && Caption[I + 1] == '&')
                ++I;
            else
                continue;
        }
        Result += Caption[I];
    }
    return Result;
}

// --- Normal style

void PaintButtonBackground(const TRect& Rect, TPixels& Pixels, const TButtonState& State) {
    uint32_t Strength = 0;
    if (State.Checked)
        Strength = State.Enabled ? 128 : 32;
    else if (State.Enabled && State.IsHot)
        Strength = State.IsDown ? 96 : 64;
    if (Strength == 0)
        return;
    Pixels.PixelOp(Inset(Rect, 1), White, HighlightOp, Strength);
    TEdges Edges = EdgesWithoutCorners(Rect);
    for (const TRect& Edge : {Edges.Top, Edges.Left, Edges.Bottom, Edges.Right})
        Pixels.PixelOp(Edge, White, HighlightOp, Strength);
    ForEachCorner(Rect, [&](const TRect& Corner) { Pixels.PixelOp(Corner, White, HighlightOp, Strength / 4); });
}

void PaintButtonImage(const TRect& Rect, TPixels& Pixels, const TButtonState& State, const TPixels& Picture) {
    int32_t X = Rect.Left + (Rect.Width() - Picture.Width()) / 2;
    int32_t Y = Rect.Top + (Rect.Height() - Picture.Height()) / 2;
    if (State.Enabled && State.IsHot && !State.IsDown && !State.Checked)
        ImageShadow(X, Y, Picture, Pixels);
    Pixels.Compose(X, Y, Picture);
}

void PaintButtonText(const TRect& Rect, TPixels& Pixels, const TButtonState& State, std::string_view Caption,
                     const TTextAttr& Attr) {
    bool Pressed = State.Checked || (State.IsHot && State.IsDown);
    TColor Color = State.Enabled ? SkinColors().TextColor : SkinColors().DisabledTextColor;
    DrawCentredText(Rect, Pixels, Pressed, AlphaColor(Color, 255), Caption, Attr);
}

void PaintButtonFrame(const TRect& Rect, TPixels& Pixels, const TButtonState& State) {
    TColor Color = 0;
    uint8_t Alpha = 0;
    TColor Highlight = SystemColors().Highlight;
    if (State.Enabled) {
        Color = Highlight;
        if (State.IsHot)
            Alpha = State.Checked ? 192 : State.IsDown ? 128 : 64;
        else
            Alpha = State.Checked ? 96 : 0;
    } else {
        Color = SkinColors().DisabledTextColor;
        Alpha = State.Checked ? 64 : 0;
    }
    if (Alpha == 0)
        return;
    TEdges Edges = EdgesWithoutCorners(Rect);
    for (const TRect& Edge : {Edges.Top, Edges.Left, Edges.Bottom, Edges.Right})
        Pixels.BlendRect(Edge, AlphaColor(Color, Alpha));
    ForEachCorner(Rect, [&](const TRect& Corner) { Pixels.BlendRect(Corner, AlphaColor(Color, Alpha / 2)); });
}

// --- Window style

namespace {

// The window-style look's colour for a state: the window text colour, or the
// selection colour while hot, at the opacity the state's row gives.
struct TWindowLookAlphas {
    uint8_t Disabled, DisabledChecked, HotDown, HotChecked, Hot, Checked, Resting;
};

TColor WindowLookColor(const TButtonState& State, const TWindowLookAlphas& Alphas) {
    const TSystemColors& System = SystemColors();
    if (!State.Enabled)
        return AlphaColor(System.WindowText, State.Checked ? Alphas.DisabledChecked : Alphas.Disabled);
    if (State.IsHot)
        return AlphaColor(System.Highlight,
                          State.IsDown ? Alphas.HotDown : State.Checked ? Alphas.HotChecked : Alphas.Hot);
    return AlphaColor(System.WindowText, State.Checked ? Alphas.Checked : Alphas.Resting);
}

} // namespace

void PaintWindowButtonBackground(const TRect& Rect, TPixels& Pixels, const TButtonState& State) {
    Pixels.BlendRect(Rect, WindowLookColor(State, {8, 16, 255, 192, 64, 64, 16}));
}

void PaintWindowButtonFrame(const TRect& Rect, TPixels& Pixels, const TButtonState& State) {
    Pixels.BlendFrameRect(Rect, WindowLookColor(State, {8, 16, 96, 128, 64, 32, 24}));
}

void PaintWindowButtonText(const TRect& Rect, TPixels& Pixels, const TButtonState& State,
                           std::string_view Caption, const TTextAttr& Attr) {
    const TSystemColors& System = SystemColors();
    bool Pressed = State.Checked || (State.IsHot && State.IsDown);
    // Faint when disabled, nearly full when at rest, the selection's text
    // colour when held down under the mouse.
    TColor Color = System.WindowText;
    if (!State.Enabled)
        Color = MixColors(AlphaColor(System.Window, 255), AlphaColor(System.WindowText, 255), 64);
    else if (!State.IsHot)
        Color = MixColors(AlphaColor(System.Window, 255), AlphaColor(System.WindowText, 255), 192);
    else if (State.IsDown)
        Color = System.HighlightText;
    DrawCentredText(Rect, Pixels, Pressed, AlphaColor(Color, 255), Caption, Attr);
}

// --- Title buttons

void PaintFloatTitleButton(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown) {
    if (!IsHot)
        return;
    TRect R{0, 0, Width, Height};
    if (IsDown) {
        Pixels.PixelOpFrame(R, Black, DarkenOp, 21);
        Pixels.PixelOpFrame(Inset(R, 1), Black, DarkenOp, 21);
        return;
    }
    Pixels.PixelOpFrame(R, White, LightenOp, 21);
    Pixels.PixelOpFrame(Inset(R, 1), White, LightenOp, 42);
    Pixels.PixelOp(Inset(R, 2), White, LightenOp, 32);
}

void PaintFloatTitleButtonFrame(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown) {
    if (!IsHot)
        return;
    TEdges E = EdgesWithoutCorners({0, 0, Width, Height});
    TPixelOp Op = IsDown ? DarkenOp : LightenOp;
    TColor Color = IsDown ? Black : White;
    uint32_t TopLeft = IsDown ? 32 : 64, BottomRight = IsDown ? 64 : 32;
    Pixels.PixelOp(E.Top, Color, Op, TopLeft);
    Pixels.PixelOp(E.Left, Color, Op, TopLeft);
    Pixels.PixelOp(E.Bottom, Color, Op, BottomRight);
    Pixels.PixelOp(E.Right, Color, Op, BottomRight);
}

void PaintDockedTitleButton(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown) {
    if (!IsHot)
        return;
    TRect R{0, 0, Width, Height};
    if (IsDown)
        Pixels.PixelOpFrame(R, Black, ShadowOp, 16);
    else
        Pixels.PixelOpFrame(R, White, HighlightOp, 16);
    Pixels.PixelOp(Inset(R, 1), White, HighlightOp, 32);
}

void PaintDockedTitleButtonFrame(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown) {
    if (!IsHot)
        return;
    TEdges E = EdgesWithoutCorners({0, 0, Width, Height});
    if (IsDown) {
        for (const TRect& Edge : {E.Top, E.Left, E.Bottom, E.Right})
            Pixels.PixelOp(Edge, Black, ShadowOp, 16);
        return;
    }
    Pixels.PixelOp(E.Top, White, HighlightOp, 64);
    Pixels.PixelOp(E.Left, White, HighlightOp, 64);
    Pixels.PixelOp(E.Bottom, White, HighlightOp, 32);
    Pixels.PixelOp(E.Right, White, HighlightOp, 32);
}

// --- Edges

TRect PaintEdge(const TRect& Rect, TPixels& Pixels, int32_t Width, TEdgeDepth Depth, TEdgeKind Outer,
                TEdgeKind Inner) {
    if (Width <= 0)
        return Rect;
    struct TAmounts {
        int32_t TopLeft, BottomRight;
    };
    bool Deep = Depth == TEdgeDepth::Deep;
    auto OuterAmounts = [&](TEdgeKind Kind) -> TAmounts {
        if (Kind == TEdgeKind::Sunken)
            return Deep ? TAmounts{-96, 128} : TAmounts{-96, 96};
        return Deep ? TAmounts{0, -255} : TAmounts{96, -96};
    };
    auto InnerAmounts = [&](TEdgeKind Kind) -> TAmounts {
        if (Kind == TEdgeKind::Sunken)
            return Deep ? TAmounts{-255, 0} : TAmounts{-48, 48};
        return Deep ? TAmounts{128, -96} : TAmounts{48, -48};
    };
    if (Outer != TEdgeKind::None) {
        TAmounts A = OuterAmounts(Outer);
        ShadeRing(Pixels, Rect, A.TopLeft, A.BottomRight);
    }
    if (Inner != TEdgeKind::None) {
        TAmounts A = InnerAmounts(Inner);
        ShadeRing(Pixels, Inset(Rect, Width - 1), A.TopLeft, A.BottomRight);
    }
    return Inset(Rect, Width);
}

void ImageShadow(int32_t X, int32_t Y, const TPixels& Picture, TPixels& Pixels) {
    Pixels.PixelOpMasked(X + 1, Y + 1, DarkenOp, 64, Picture);
    Pixels.PixelOpMasked(X + 2, Y + 1, DarkenOp, 32, Picture);
    Pixels.PixelOpMasked(X + 1, Y + 2, DarkenOp, 32, Picture);
    Pixels.PixelOpMasked(X + 2, Y + 2, DarkenOp, 32, Picture);
}
