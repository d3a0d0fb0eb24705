#pragma once

#include "canvas/pixels.h"
#include "toolkit/controls/color_palette.h"
#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <functional>
#include <optional>

// What the colour box and its alpha column share: a chosen colour, an edit
// target cell set with the right button, and the choosing by left press or
// drag. A subclass says where its cells are, what choosing one means and
// how the edit target takes a colour.
class TSwatchBox : public TWidget {
public:
    TColor ChosenColor() const { return FChosenColor; }
    // A new colour is stored; while there is an edit target, the palette
    // entry under it takes the colour (telling every box); then OnChange
    // unless the caller asked for silence.
    void SetChosenColor(TColor Color);
    void SetChosenColorQuietly(TColor Color);
    // The cell being edited, if any.
    std::optional<int32_t> EditTarget() const { return FEditTarget; }
    void ClearEditTarget();

    std::function<void()> OnChange;

    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;

protected:
    virtual std::optional<int32_t> CellUnder(TPoint Point) const = 0;
    virtual void Choose(int32_t Cell) = 0;
    // Puts Color into the palette at the edit target Cell.
    virtual void StoreInto(int32_t Cell, TColor Color) = 0;

    TColor FChosenColor = MakeColor(255, 255, 255, 255);
    std::optional<int32_t> FEditTarget;

private:
    bool FIsUpdating = false;
};

// The palette of the colour chooser as a grid of 9 x 7 swatches, each 16 x
// 16 on a 17-pixel pitch, showing the shared palette (Colors()) over a
// white square with a black centre so that transparency shows. A left
// press (or a drag with the left button) chooses a swatch's colour; a
// right press makes a swatch the edit target, whose palette entry then
// follows the chosen colour for every colour box until a left press or a
// press outside ends it.
//
//   auto& Box = Form.Add<TColorBox>();
//   Box.OnChange = [&] { Use(Box.ChosenColor()); };
class TColorBox : public TSwatchBox {
public:
    static const TControlClass Class;
    static constexpr int32_t Pitch = 17;
    static constexpr int32_t SwatchSize = 16;
    static constexpr int32_t BoxWidth = TColors::Columns * Pitch + 2;
    static constexpr int32_t BoxHeight = TColors::Rows * Pitch + 2;

    TColorBox();
    ~TColorBox() override;
    std::string_view ClassName() const override { return "TColorBox"; }

    // The cell (row * 9 + column) at a client point, if it is on a swatch.
    static std::optional<int32_t> CellAt(TPoint Point);
    static TRect SwatchRect(int32_t Cell);

    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;

protected:
    std::optional<int32_t> CellUnder(TPoint Point) const override { return CellAt(Point); }
    void Choose(int32_t Cell) override;
    void StoreInto(int32_t Cell, TColor Color) override;

private:
    void PaletteChanged(TObject* Sender, TColorsChangeFlags Flags);
    void Rebuild();

    TPixels FRaster;
    bool FIsRebuilt = false;
};

// The alpha column beside the colour box: 7 swatches of the palette's alpha
// values, each showing the chosen colour at that alpha over the window
// colour with a dark centre. Choosing sets the chosen colour's alpha; the
// edit target, set with the right button, replaces that alpha value of the
// palette.
class TColorAlphaBox : public TSwatchBox {
public:
    static const TControlClass Class;
    static constexpr int32_t BoxWidth = TColorBox::Pitch + 2;
    static constexpr int32_t BoxHeight = TColorBox::BoxHeight;

    TColorAlphaBox();
    ~TColorAlphaBox() override;
    std::string_view ClassName() const override { return "TColorAlphaBox"; }

    static std::optional<int32_t> CellAt(TPoint Point);

    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    void Paint(TPixels& Pixels) override;

protected:
    std::optional<int32_t> CellUnder(TPoint Point) const override { return CellAt(Point); }
    void Choose(int32_t Cell) override;
    void StoreInto(int32_t Cell, TColor Color) override;

private:
    void PaletteChanged(TObject* Sender, TColorsChangeFlags Flags);
};
