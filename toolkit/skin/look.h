#pragma once

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/geometry.h"

#include <cstdint>
#include <string_view>

// The states a button is drawn in.
struct TButtonState {
    bool Enabled = true;
    bool Checked = false;
    bool IsDown = false;
    bool IsHot = false;
};

// The shared look of buttons, title buttons and bevels, drawn with the skin
// colours so that the whole interface follows the colour scheme. A gadget
// paints background, image or text, then frame, over its rectangle:
//
//   PaintButtonBackground(Rect, Pixels, State);
//   PaintButtonText(Rect, Pixels, State, "&Cut", Attr);
//   PaintButtonFrame(Rect, Pixels, State);

void PaintButtonBackground(const TRect& Rect, TPixels& Pixels, const TButtonState& State);
// Picture centred in Rect; a hot button's picture casts a small shadow.
void PaintButtonImage(const TRect& Rect, TPixels& Pixels, const TButtonState& State, const TPixels& Picture);
// Caption without its accelerator markers, centred; pressed captions move
// one pixel right and down.
void PaintButtonText(const TRect& Rect, TPixels& Pixels, const TButtonState& State, std::string_view Caption,
                     const TTextAttr& Attr);
void PaintButtonFrame(const TRect& Rect, TPixels& Pixels, const TButtonState& State);

// The same for buttons drawn on the window colour (lists, fields).
void PaintWindowButtonBackground(const TRect& Rect, TPixels& Pixels, const TButtonState& State);
void PaintWindowButtonText(const TRect& Rect, TPixels& Pixels, const TButtonState& State,
                           std::string_view Caption, const TTextAttr& Attr);
void PaintWindowButtonFrame(const TRect& Rect, TPixels& Pixels, const TButtonState& State);

// Title buttons of tool boxes, Width x Height from (0, 0); nothing is drawn
// unless IsHot.
void PaintFloatTitleButton(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown);
void PaintFloatTitleButtonFrame(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown);
void PaintDockedTitleButton(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown);
void PaintDockedTitleButtonFrame(TPixels& Pixels, int32_t Width, int32_t Height, bool IsHot, bool IsDown);

enum class TEdgeKind : uint8_t { None, Sunken, Raised };
enum class TEdgeDepth : uint8_t { Shallow, Deep };

// Bevels Rect with an outer ring on its border and an inner ring on the
// border of Rect inset by Width - 1; each ring shades its top and left lines
// one way and its bottom and right lines the other. Answers Rect inset by
// Width: what is left inside the edge. Nothing is drawn when Width is 0.
TRect PaintEdge(const TRect& Rect, TPixels& Pixels, int32_t Width, TEdgeDepth Depth, TEdgeKind Outer,
                TEdgeKind Inner);

// Picture's alpha as a mask, darkened onto Pixels below and right of (X, Y).
void ImageShadow(int32_t X, int32_t Y, const TPixels& Picture, TPixels& Pixels);

// Caption with "&" markers removed ("&&" stands for one "&").
std::string StripAccelerator(std::string_view Caption);
