#pragma once

#include "core/geometry.h"
#include "core/video_time.h"

#include <cstdint>
#include <string>
#include <string_view>

// A zoom-and-pan value of a still clip: the centre of the shown part
// (0..1 across and down the picture) and its zoom (1 the largest part of
// the output's shape that fits the picture; less shows less).
struct TZoomPanValue {
    double MidX = 0.5;
    double MidY = 0.5;
    double Zoom = 1.0;
    bool operator==(const TZoomPanValue&) const = default;
};

// What the render timeline tells the picture source about a still clip. It
// travels as the source's "filename" property:
//
//   qmfileprotocol://<callback>/<render mode>/0/<clip colour>/0/<output width>/
//   <output height>/<media stop>/<frames per second>/<begin mid x>/<begin mid y>/
//   <begin zoom>/<end mid x>/<end mid y>/<end zoom>/<keeps aspect ratio>/0/<path>
//
// (one line, no blanks). The callback is a handle of the zoom-and-pan
// callback table (0 for none), the clip colour is written with red and blue
// exchanged (0xAARRGGBB as a decimal integer), floats are decimal with "."
// whatever the locale, and the file's path follows the last "/" directly,
// so "/0/" + "/photos/a.jpg" gives "/0//photos/a.jpg".
struct TPictureSourceName {
    uint64_t ZoomPanCallback = 0;
    int32_t RenderMode = 0; // 0 the project's own timeline, 1 a copy made for rendering
    TColor ClipColor = 0;   // around the picture and beneath its transparent parts
    int32_t OutputWidth = 0;
    int32_t OutputHeight = 0;
    TVideoTime MediaStop = 0;
    double FramesPerSecond = 0;
    TZoomPanValue ZoomPanBegin;
    TZoomPanValue ZoomPanEnd;
    bool KeepAspectRatio = true;
    std::string FileName;

    bool operator==(const TPictureSourceName&) const = default;
};

inline constexpr std::string_view PictureSourceScheme = "qmfileprotocol://";

std::string BuildPictureSourceName(const TPictureSourceName& Name);
// False when Text does not begin with the scheme, a field is missing or not
// a number, or no path follows.
bool ParsePictureSourceName(std::string_view Text, TPictureSourceName& Name);
