#pragma once

#include "core/geometry.h"
#include "platform/forward.h"

#include <string>
#include <string_view>

// PNG pictures held in memory as engine frames, for files that carry a
// picture among other data (the media catalogue's thumbnail caches), through
// the platform's PNG codec (platform/graphics/png_codec.h).

// Encodes Picture (straight-alpha BGRA) as PNG. Raises EMediaError with the
// codec's reason.
std::string EncodePng(const TVideoFrame& Picture);

// Decodes a PNG of at most Limit pixels each way into straight-alpha BGRA.
// A damaged stream, or one that claims a larger picture, raises EMediaError
// before any pixel memory is taken.
TVideoFrame DecodePng(std::string_view Bytes, TSize Limit);
