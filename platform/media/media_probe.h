#pragma once

#include "core/video_time.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TMediaKind { Any, Video, Audio };

enum class TStreamMajorType { Video, Audio, Other };

struct TMediaStreamInfo {
    TStreamMajorType MajorType = TStreamMajorType::Other;
    std::string SubType; // the codec's name ("h264", "pcm_s16le", "png")
    TVideoTime Duration = 0;
    double FrameRate = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    // A video stream's colour tags by FFmpeg's names ("bt709", "smpte170m";
    // range "tv" or "pc"); empty when the stream has none.
    std::string ColourMatrix;
    std::string ColourPrimaries;
    std::string ColourTransfer;
    std::string ColourRange;
    int32_t Channels = 0;
    int32_t SamplesPerSecond = 0;
};

// What a media file holds. A picture file is one video stream with a
// duration of 0.
struct TMediaInfo {
    std::vector<TMediaStreamInfo> Streams;
    TVideoTime Duration = 0;
    double FrameRate = 0;
    int32_t Width = 0; // as shown: turned upright where the stream says so
    int32_t Height = 0;

    int32_t StreamCount(TStreamMajorType Type) const;
    bool HasVideo() const { return StreamCount(TStreamMajorType::Video) > 0; }
    bool HasAudio() const { return StreamCount(TStreamMajorType::Audio) > 0; }
};

// Reads a file's streams, duration, frame rate and picture size, and checks
// that its first and last pictures or sounds decode: garbage, truncated or
// undecodable files raise EMediaError with the library's reason.
TMediaInfo ProbeMedia(const std::string& FileName);

// As ProbeMedia, remembered per file (name, size and modification time), and
// checks that the file has stream Number of the kind a group plays.
TMediaInfo CheckPlayableMedia(const std::string& FileName, TMediaKind Kind, int32_t Number);
