#pragma once

#include "core/video_time.h"
#include "platform/media/title_text.h"

#include <cstdint>
#include <string>
#include <string_view>

// What the text source is told about a title, as its "filename" property:
//
//   qmtextprotocol://<mode>/<width>/<height>/<duration>/<frames per second>/<title>
//
// The mode is 0 for a title clip of the render timeline and 1 for a
// preview; the duration is in 100-ns units; the title is its text form
// (title_text.h).
struct TTextSourceName {
    int32_t Mode = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    TVideoTime Duration = 0;
    double FramesPerSecond = 0;
    TTitleText Title;

    bool operator==(const TTextSourceName&) const = default;
};

inline constexpr std::string_view TextSourceScheme = "qmtextprotocol://";

std::string BuildTextSourceName(const TTextSourceName& Name);
// False when Text does not begin with the scheme or a field is missing or
// not a number.
bool ParseTextSourceName(std::string_view Text, TTextSourceName& Name);
