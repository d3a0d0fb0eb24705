#pragma once

#include "platform/forward.h"

// Pixel operations of the compositor on frames of equal size.

// Lays Top over Bottom by Top's straight alpha; the result stays in Bottom.
void AlphaOver(const TVideoFrame& Top, TVideoFrame& Bottom);
// Makes every pixel opaque by laying the frame over black.
void FlattenOverBlack(TVideoFrame& Frame);
// Output := A + (B - A) * Weight, per channel, Weight 0..1.
void CrossFade(const TVideoFrame& A, const TVideoFrame& B, double Weight, TVideoFrame& Output);
