#pragma once

#include "canvas/forward.h"
#include "core/geometry.h"
#include "platform/graphics/pixel_view.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TStream;

// A pixel as one little-endian word: blue in the low byte, then green, red,
// and alpha in the high byte (straight alpha, 255 opaque).
using TPixel = uint32_t;

// An alpha colour as drawing operations take it: red in the low byte, then
// green, blue, and the alpha to draw with in the high byte (TColor's layout).
constexpr TColor AlphaColor(TColor Color, uint8_t Alpha) {
    return (Color & 0x00FFFFFFu) | TColor(Alpha) << 24;
}
// The same colour as a pixel: red and blue swap, the top byte stays.
constexpr TPixel ColorToPixel(TColor Color) {
    return (Color & 0xFF00FF00u) | (Color & 0xFFu) << 16 | (Color >> 16 & 0xFFu);
}
constexpr TColor PixelToColor(TPixel Pixel) { return ColorToPixel(Pixel); }

// A per-pixel function: the new destination pixel from a colour or source
// pixel, the destination pixel and a parameter.
using TPixelOp = TPixel (*)(TPixel ColorOrSource, TPixel Destination, uint32_t Param);

enum class TAlphaKind {
    Transparent, // every alpha 0
    Opaque,      // every alpha 255
    Mask,        // only 0 and 255, both present
    Translucent  // some alpha strictly between
};

enum class TSmooth { No, Yes };

// What MeasureText measures for: the plain raster (1x), the smoothed one
// (8x oversampled for outline fonts), or the display's own text drawing.
enum class TTextMode { Plain, Oversampled, Display };

// The 32-bit raster every paint of the toolkit goes into: bytes blue, green,
// red, alpha with straight alpha, rows stored bottom-up. Every drawing
// operation adds Origin to the positions it receives and then writes only
// inside ClipRect, so a widget paints in its own coordinates into a raster
// sized to the region being painted.
//
//   TPixels Pixels(64, 48);
//   Pixels.FillAll(AlphaColor(MakeColor(255, 255, 255), 255));
//   {
//       TPixelsStateSaver Saver(Pixels);
//       Pixels.SetClipRect({8, 8, 56, 40});
//       Pixels.Origin = {8, 8};
//       Pixels.BlendRect({0, 0, 100, 100}, AlphaColor(MakeColor(0, 0, 255), 128));
//   }
//   Window.Present(Pixels.View());
//
// Sizes are clamped to 0..16384; the pixels are undefined after a resize.
// The canvas is used on the user-interface thread only.
class TPixels {
public:
    static constexpr int32_t MaxSize = 16384;

    TPixels();
    TPixels(int32_t Width, int32_t Height);
    // A copy takes size, pixels, ClipRect and Origin.
    TPixels(const TPixels& Other);
    TPixels& operator=(const TPixels& Other);
    TPixels(TPixels&& Other) noexcept;
    TPixels& operator=(TPixels&& Other) noexcept;
    ~TPixels();

    // --- Size, memory and state
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }
    TRect Bounds() const { return {0, 0, FWidth, FHeight}; }
    // Clamps both to 0..16384; a change of byte size allocates anew (the old
    // buffer is kept when that fails). Always resets ClipRect and Origin.
    void SetSize(int32_t Width, int32_t Height);
    void SetWidth(int32_t Width) { SetSize(Width, FHeight); }
    void SetHeight(int32_t Height) { SetSize(FWidth, Height); }
    // Exchanges everything with Other: how a decode into a temporary raster
    // replaces this one only once it has succeeded.
    void Swap(TPixels& Other) noexcept;

    const TRect& ClipRect() const { return FClipRect; }
    // ClipRect := Rect (in raster coordinates) intersected with Bounds.
    void SetClipRect(const TRect& Rect);
    // Added to every position a drawing operation receives, before clipping.
    TPoint Origin;

    // The bottom-up memory: Buffer is the bottom row, TopRow the top row on
    // screen, Stride the (negative) byte step to the row below.
    uint8_t* Buffer() { return FBuffer.get(); }
    const uint8_t* Buffer() const { return FBuffer.get(); }
    size_t BufferSize() const { return size_t(FWidth) * size_t(FHeight) * 4; }
    uint8_t* TopRow() const { return FTopRow; }
    int32_t Stride() const { return FStride; }
    // Row Y (0 the top) in raster coordinates, no Origin.
    uint8_t* Row(int32_t Y) const { return FTopRow + ptrdiff_t(Y) * FStride; }
    TPixel* RowPixels(int32_t Y) const { return reinterpret_cast<TPixel*>(Row(Y)); }
    // The whole raster as a view, for a window to present or for the engine
    // and text layer to draw into.
    TPixelView View() const { return {FTopRow, FWidth, FHeight, FStride}; }

    // --- Reading
    // The pixel at (X, Y) + Origin, or 0 outside Bounds.
    TPixel GetPixel(int32_t X, int32_t Y) const;
    // Scans every pixel, not only the clip.
    TAlphaKind AlphaKind() const;
    bool IsTransparent() const { return AlphaKind() != TAlphaKind::Opaque; }

    // --- Plain fills (Rect moved by Origin, clipped)
    void Clear();
    void FillAll(TColor Color);
    void FillRect(const TRect& Rect, TColor Color);
    void FillRectRGB(const TRect& Rect, TColor Color);
    void SetAlpha(const TRect& Rect, uint8_t Alpha);
    void ScaleAlpha(const TRect& Rect, uint8_t Alpha);
    void InvertAlpha();

    // --- Blending fills
    void BlendRect(const TRect& Rect, TColor Color);
    void Flatten(const TRect& Rect, TColor Color);
    void FrameRect(const TRect& Rect, TColor Color);
    void BlendFrameRect(const TRect& Rect, TColor Color);
    void FillBand(const TRect& Outer, const TRect& Inner, TColor Color);
    void BlendBand(const TRect& Outer, const TRect& Inner, TColor Color);
    void PixelOp(const TRect& Rect, TColor Color, TPixelOp Op, uint32_t Param);
    void PixelOpFrame(const TRect& Rect, TColor Color, TPixelOp Op, uint32_t Param);
    void PixelOpBand(const TRect& Outer, const TRect& Inner, TColor Color, TPixelOp Op,
                     uint32_t Param);

    // --- Copies and composition ((X, Y) + Origin is where Source's top-left lands)
    void CopyFrom(int32_t X, int32_t Y, const TPixels& Source);
    void CopyAlphaFrom(int32_t X, int32_t Y, const TPixels& Source);
    void BlendFrom(int32_t X, int32_t Y, const TPixels& Source);
    void TileFrom(int32_t X, int32_t Y, const TPixels& Source);
    void Compose(int32_t X, int32_t Y, const TPixels& Source);
    void ComposeFaded(int32_t X, int32_t Y, uint8_t Opacity, const TPixels& Source);
    void ComposeIn(int32_t X, int32_t Y, const TRect& Limit, const TPixels& Source);
    void ComposeInFaded(int32_t X, int32_t Y, const TRect& Limit, uint8_t Opacity,
                        const TPixels& Source);
    void ComposeOutside(int32_t X, int32_t Y, const TRect& Hole, uint8_t Opacity,
                        const TPixels& Source);
    // Mirrors (rows, then columns) and then turns a quarter anticlockwise.
    void CopyTransformed(int32_t X, int32_t Y, bool Rotate, bool FlipRows, bool FlipColumns,
                         const TPixels& Source);
    void StretchFrom(const TRect& Rect, const TPixels& Source, TSmooth Smooth);
    void PixelOpFrom(int32_t X, int32_t Y, TPixelOp Op, uint32_t Param, const TPixels& Source);
    // Source acts as a mask: Op(Pixel, Pixel, Mul[Opacity][source alpha]).
    void PixelOpMasked(int32_t X, int32_t Y, TPixelOp Op, uint8_t Opacity, const TPixels& Source);

    // --- Recolouring (alpha is never changed; alpha-0 pixels are left)
    void Colorize(const TRect& Rect, TColor Color);
    void Tint(const TRect& Rect, TColor Color);

    // --- Vector drawing
    void Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TSmooth Smooth, TColor Color);
    void Polyline(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color);
    void FillPolygon(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color);
    // The Op variants call Op(Colour pixel with the point's coverage as
    // alpha, Destination, Param) for every touched pixel.
    void LineOp(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TSmooth Smooth, TColor Color,
                TPixelOp Op, uint32_t Param);
    void PolylineOp(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color,
                    TPixelOp Op, uint32_t Param);
    void FillPolygonOp(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color,
                       TPixelOp Op, uint32_t Param);
    // Draws a raster's points (in raster coordinates before Origin).
    void DrawRaster(const TRaster& Raster, TSmooth Smooth, TColor Color);
    // Point i gets Colors[(Phase + i) mod Count]; at most 1024 colours.
    void PatternLine(const TRaster& Raster, const TColor* Colors, int32_t Count, int32_t Phase);

    // --- Text
    // Renders Text as a coloured mask (8x oversampled when smooth and the
    // font is an outline font) and composes it at (X, Y) + Origin.
    void DrawText(int32_t X, int32_t Y, TSmooth Smooth, TColor Color, const TTextAttr& Attr,
                  std::string_view Text);

    // --- Exchange with other pictures
    // Flattens the raster onto Color and writes it into Target at (X, Y),
    // opaque.
    void DrawOnBitmap(int32_t X, int32_t Y, TColor Color, const TPixelView& Target) const;
    // Writes the premultiplied form (colour times alpha, alpha kept) that
    // translucent windows take.
    void CopyToBitmap32(int32_t X, int32_t Y, const TPixelView& Target) const;

    // --- Files: BMP in bitmap_file.cpp, PNG in png_file.cpp. A picture that
    // cannot be read raises ECanvasError and leaves the raster as it was; so
    // does an error while writing.
    void LoadFromStream(TStream& Stream); // "BM" file header, then ReadData
    void SaveToStream(TStream& Stream) const;
    void ReadData(TStream& Stream);        // info header and pixels
    void WriteData(TStream& Stream) const; // info header and pixels
    void LoadFromPngStream(TStream& Stream);
    void SaveToPngStream(TStream& Stream) const;
    // By extension: ".bmp" and ".dib" as bitmaps, ".png" as PNG.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;

private:
    // Rect moved by Origin and clipped.
    TRect Placed(const TRect& Rect) const { return Rect.Translated(Origin).Intersected(FClipRect); }
    // Source placed with its top-left at (X, Y) + Origin, clipped to Limit
    // (raster coordinates); calls Work(DestinationRow, SourceRow, Count) for
    // each row. A source that is this raster is copied first when it moves.
    template <class TWork>
    void ForEachSourceRow(int32_t X, int32_t Y, const TRect& Limit, const TPixels& Source,
                          TWork&& Work);
    void ComposeLimited(int32_t X, int32_t Y, const TRect& Limit, uint8_t Opacity,
                        const TPixels& Source);
    void DrawRasterWith(const TRaster& Raster, TSmooth Smooth, TColor Color, TPixelOp Op,
                        uint32_t Param);
    void FillPolygonWith(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color,
                         TPixelOp Op, uint32_t Param);

    struct TFree {
        void operator()(uint8_t* Memory) const;
    };
    std::unique_ptr<uint8_t, TFree> FBuffer;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    uint8_t* FTopRow = nullptr;
    int32_t FStride = 0;
    TRect FClipRect;
};

// Keeps a raster's ClipRect and Origin and puts them back when it goes, on
// every path: the bracket around a child's paint.
class TPixelsStateSaver {
public:
    explicit TPixelsStateSaver(TPixels& Pixels)
        : FPixels(Pixels), FClipRect(Pixels.ClipRect()), FOrigin(Pixels.Origin) {}
    ~TPixelsStateSaver() {
        FPixels.SetClipRect(FClipRect);
        FPixels.Origin = FOrigin;
    }
    TPixelsStateSaver(const TPixelsStateSaver&) = delete;
    TPixelsStateSaver& operator=(const TPixelsStateSaver&) = delete;

private:
    TPixels& FPixels;
    TRect FClipRect;
    TPoint FOrigin;
};

// The shading functions of skins and tool boxes (Param is the opacity).
TPixel DarkenOp(TPixel ColorOrSource, TPixel Destination, uint32_t Param);
TPixel LightenOp(TPixel ColorOrSource, TPixel Destination, uint32_t Param);
