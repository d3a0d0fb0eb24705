#pragma once

#include "platform/forward.h"

#include <cstdint>

// How a stream's stored pictures are turned to show upright: the eight ways a
// rectangle maps onto itself, read from the display matrix that phones and
// cameras write beside their video. Turns are clockwise.
enum class TDisplayTurn {
    None,
    Clockwise90,
    Half,
    Counterclockwise90,
    MirrorHorizontal,
    MirrorVertical,
    Transpose,     // across the main diagonal: stored (x, y) shows at (y, x)
    AntiTranspose, // across the other diagonal
};

// Whether the turn swaps width and height.
bool SwapsSides(TDisplayTurn Turn);

// The turn a display matrix (nine 16.16 and 2.30 fixed-point numbers, the
// layout FFmpeg and QuickTime share) asks for; null or degenerate: None.
TDisplayTurn DisplayTurnFromMatrix(const int32_t* Matrix);

// Writes From turned into Into at (Left, Top). Into must have room for the
// turned size (From's sides swapped when SwapsSides).
void TurnPicture(const TVideoFrame& From, TDisplayTurn Turn, TVideoFrame& Into, int32_t Left,
                 int32_t Top);
