#include "toolkit/controls/color_box.h"

#include "toolkit/skin/skin_colors.h"

const TControlClass TColorBox::Class{"TColorBox", &TWidget::Class, CreateControlOf<TColorBox>};
const TControlClass TColorAlphaBox::Class{"TColorAlphaBox", &TWidget::Class, CreateControlOf<TColorAlphaBox>};

namespace {

constexpr TColor Black = MakeColor(0, 0, 0, 255);
constexpr TColor White = MakeColor(255, 255, 255, 255);

bool SameRgb(TColor A, TColor B) {
    return (A & 0x00FFFFFFu) == (B & 0x00FFFFFFu);
}

// The look of the chosen swatch: black on it, white just outside.
void OutlineChosen(TPixels& Pixels, const TRect& Swatch) {
    Pixels.FrameRect(Swatch, Black);
    Pixels.BlendFrameRect(Swatch.Inflated(1, 1), AlphaColor(White, 160));
}

// The look of the edit target: black, white, black.
void OutlineTarget(TPixels& Pixels, const TRect& Swatch) {
    Pixels.FrameRect(Swatch.Inflated(1, 1), Black);
    Pixels.FrameRect(Swatch, White);
    Pixels.FrameRect(Swatch.Inflated(-1, -1), Black);
}

std::optional<int32_t> CellOnGrid(TPoint Point, int32_t Columns, int32_t Rows) {
    if (Point.X < 1 || Point.Y < 1)
        return std::nullopt;
    int32_t Column = (Point.X - 1) / TColorBox::Pitch, Row = (Point.Y - 1) / TColorBox::Pitch;
    // The one-pixel gaps between swatches belong to none.
    if (Column >= Columns || Row >= Rows || (Point.X - 1) % TColorBox::Pitch >= TColorBox::SwatchSize ||
        (Point.Y - 1) % TColorBox::Pitch >= TColorBox::SwatchSize)
        return std::nullopt;
    return Row * Columns + Column;
}

} // namespace

// ---- TSwatchBox

void TSwatchBox::SetChosenColor(TColor Color) {
    if (Color == FChosenColor)
        return;
    FChosenColor = Color;
    TWeakPtr Life(this);
    if (FEditTarget) {
        StoreInto(*FEditTarget, Color);
        if (Life.IsExpired())
            return;
    }
    Invalidate();
    if (!FIsUpdating)
        if (std::function<void()> Handler = OnChange)
            Handler();
}

void TSwatchBox::SetChosenColorQuietly(TColor Color) {
    FIsUpdating = true;
    SetChosenColor(Color);
    FIsUpdating = false;
}

void TSwatchBox::ClearEditTarget() {
    if (!FEditTarget)
        return;
    FEditTarget.reset();
    Invalidate();
}

void TSwatchBox::MouseDown(TWidgetMouseEvent& Event) {
    Event.Accept();
    std::optional<int32_t> Cell = CellUnder(Event.Position);
    if (Event.Button == TMouseButton::Left && Cell) {
        // With an edit target, the chosen swatch's colour goes into it.
        TWeakPtr Life(this);
        Choose(*Cell);
        if (!Life.IsExpired())
            ClearEditTarget();
    } else if (Event.Button == TMouseButton::Right && Cell && Cell != FEditTarget) {
        FEditTarget = Cell;
        Invalidate();
        Choose(*Cell);
    } else {
        ClearEditTarget();
    }
}

void TSwatchBox::MouseMove(TWidgetMouseEvent& Event) {
    if (!(Event.Buttons & MouseButtonBit(TMouseButton::Left)))
        return;
    if (std::optional<int32_t> Cell = CellUnder(Event.Position)) {
        Event.Accept();
        Choose(*Cell);
    }
}

// ---- TColorBox

TColorBox::TColorBox() {
    SetBounds({0, 0, BoxWidth, BoxHeight});
    Colors().Changes().AddChangeHandler(MakeDelegate<&TColorBox::PaletteChanged>(this));
}

TColorBox::~TColorBox() {
    Colors().Changes().RemoveChangeHandler(MakeDelegate<&TColorBox::PaletteChanged>(this));
}

TRect TColorBox::SwatchRect(int32_t Cell) {
    int32_t Row = Cell / TColors::Columns, Column = Cell % TColors::Columns;
    return TRect::FromSize(Pitch * Column + 1, Pitch * Row + 1, SwatchSize, SwatchSize);
}

std::optional<int32_t> TColorBox::CellAt(TPoint Point) {
    return CellOnGrid(Point, TColors::Columns, TColors::Rows);
}

void TColorBox::PaletteChanged(TObject* /*Sender*/, TColorsChangeFlags Flags) {
    if (!Any(Flags & ColorsChangePalette))
        return;
    FIsRebuilt = false;
    Invalidate();
}

void TColorBox::Rebuild() {
    FRaster.SetSize(BoxWidth, BoxHeight);
    FRaster.Clear();
    const TColors::TPalette& Palette = Colors().Palette();
    for (int32_t Cell = 0; Cell < TColors::Count; ++Cell) {
        TRect Swatch = SwatchRect(Cell);
        FRaster.FillRect(Swatch, White);
        FRaster.FillRect(Swatch.Inflated(-5, -5), Black);
        FRaster.BlendRect(Swatch, Palette[size_t(Cell)]);
        FRaster.BlendFrameRect(Swatch, AlphaColor(Black, 64));
    }
    FIsRebuilt = true;
}

void TColorBox::Paint(TPixels& Pixels) {
    if (!FIsRebuilt)
        Rebuild();
    Pixels.Compose(0, 0, FRaster);
    const TColors::TPalette& Palette = Colors().Palette();
    for (int32_t Cell = 0; Cell < TColors::Count; ++Cell)
        if (SameRgb(Palette[size_t(Cell)], FChosenColor))
            OutlineChosen(Pixels, SwatchRect(Cell));
    if (FEditTarget)
        OutlineTarget(Pixels, SwatchRect(*FEditTarget));
}

bool TColorBox::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = BoxWidth;
    Height = BoxHeight;
    return true;
}

void TColorBox::Choose(int32_t Cell) {
    SetChosenColor(Colors().Palette()[size_t(Cell)]);
}

void TColorBox::StoreInto(int32_t Cell, TColor Color) {
    TColors::TPalette Palette = Colors().Palette();
    Palette[size_t(Cell)] = Color;
    Colors().SetPalette(Palette);
}

// ---- TColorAlphaBox

TColorAlphaBox::TColorAlphaBox() {
    SetBounds({0, 0, BoxWidth, BoxHeight});
    Colors().Changes().AddChangeHandler(MakeDelegate<&TColorAlphaBox::PaletteChanged>(this));
}

TColorAlphaBox::~TColorAlphaBox() {
    Colors().Changes().RemoveChangeHandler(MakeDelegate<&TColorAlphaBox::PaletteChanged>(this));
}

std::optional<int32_t> TColorAlphaBox::CellAt(TPoint Point) {
    return CellOnGrid(Point, 1, TColors::Rows);
}

void TColorAlphaBox::PaletteChanged(TObject* /*Sender*/, TColorsChangeFlags Flags) {
    if (Any(Flags & ColorsChangeAlphas))
        Invalidate();
}

bool TColorAlphaBox::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = BoxWidth;
    Height = BoxHeight;
    return true;
}

void TColorAlphaBox::Paint(TPixels& Pixels) {
    const TColors::TAlphas& Alphas = Colors().Alphas();
    TColor WindowText = AlphaColor(SystemColors().WindowText, 255);
    for (int32_t Cell = 0; Cell < TColors::Rows; ++Cell) {
        TRect Swatch = TColorBox::SwatchRect(Cell * TColors::Columns);
        Pixels.FillRect(Swatch, AlphaColor(SystemColors().Window, 255));
        Pixels.FillRect(Swatch.Inflated(-6, -6), WindowText);
        Pixels.BlendRect(Swatch, AlphaColor(FChosenColor, Alphas[size_t(Cell)]));
        Pixels.BlendFrameRect(Swatch, AlphaColor(WindowText, 64));
    }
    for (int32_t Cell = 0; Cell < TColors::Rows; ++Cell)
        if (Alphas[size_t(Cell)] == ColorAlpha(FChosenColor))
            OutlineChosen(Pixels, TColorBox::SwatchRect(Cell * TColors::Columns));
    if (FEditTarget)
        OutlineTarget(Pixels, TColorBox::SwatchRect(*FEditTarget * TColors::Columns));
}

void TColorAlphaBox::Choose(int32_t Cell) {
    SetChosenColor(AlphaColor(FChosenColor, Colors().Alphas()[size_t(Cell)]));
}

void TColorAlphaBox::StoreInto(int32_t Cell, TColor Color) {
    TColors::TAlphas Alphas = Colors().Alphas();
    Alphas[size_t(Cell)] = ColorAlpha(Color);
    Colors().SetAlphas(Alphas);
}
