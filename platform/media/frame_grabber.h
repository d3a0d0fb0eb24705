#pragma once

#include "platform/forward.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// A picture as 24-bit RGB: bytes red, green, blue, rows top-down.
struct TRgbImage {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint8_t> Pixels;
};

TRgbImage FrameToRgb24(const TVideoFrame& Frame);

// Keeps the last video frame that passed by (a player's or a capture's) and
// hands it out as 24-bit RGB on demand. Store and Grab may run on different
// threads.
class TFrameGrabber {
public:
    void Store(std::shared_ptr<const TVideoFrame> Frame);
    bool HasFrame() const;
    // The last frame; an empty image when none passed yet.
    TRgbImage Grab() const;

private:
    mutable std::mutex FLock;
    std::shared_ptr<const TVideoFrame> FLast;
};
