#pragma once

#include "platform/media/zoom_pan_callbacks.h"

// The part of a still clip's picture a frame shows, in the picture's own
// pixels: the project's answer to the picture source's zoom-and-pan query.
//
// A zoom of 1 is the crop of the output frame's shape that just holds the
// whole picture: it spans the picture's width or height, whichever is the
// tighter fit, and leaves borders along the other. Smaller zooms show less
// of the picture, larger ones more border. The centre values place the crop
// in the room between its size and the picture's (0 at the left or top, 1
// at the right or bottom). From the begin to the end the crop moves
// linearly, except that a change of zoom is eased so that the crop's size
// changes by equal factors in equal times, and a crop wider or taller than
// the picture is drawn towards the middle so that the borders balance.
//
// Without an output size (0 for either side) the whole picture is shown.
// Pure: it depends on the query alone and may run on any thread.
TZoomPanRect ZoomPanRectangle(const TZoomPanQuery& Query);
