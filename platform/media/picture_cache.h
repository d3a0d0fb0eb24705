#pragma once

#include "core/geometry.h"
#include "platform/media/picture_pyramid.h"

#include <cstdint>
#include <memory>
#include <string>

struct TCachedPicture {
    TPicturePyramid Pyramid;
    int32_t FullWidth = 0; // the file's own picture size
    int32_t FullHeight = 0;
};

// The pictures the picture sources show, decoded once and shared. A slide
// show of a hundred photos would not fit in memory whole: the cache keeps
// the most recently used pictures within a budget (a few hundred MB), and a
// source asks again for every frame, so a picture that dropped out is
// decoded again when it is next shown. A file that changed on disk (size or
// modification time) is decoded afresh. Raises what LoadPicture raises.
// Safe from any thread.
std::shared_ptr<const TCachedPicture> CachedPicture(const std::string& FileName, TSize Enough);
