#pragma once

#include <algorithm>
#include <cstdint>

// What a track holds. Project files and the default layout store the
// numbers given here.
enum class TTrackKind : uint8_t {
    Any = 0,     // any media
    Video = 1,   // the main video track; at most one
    Sound = 2,   // audio: the clips' own sound
    Music = 3,   // audio: background music
    Overlay = 4, // video shown over the tracks below it
    Effects = 5, // effects over whole stretches of the timeline
};

constexpr int32_t TrackKindCount = 6;

// A stored kind number as a kind: numbers outside the range read as the
// nearest kind, as files written by older versions may hold them.
constexpr TTrackKind TrackKindFromStored(int32_t Number) {
    return static_cast<TTrackKind>(std::clamp(Number, 0, TrackKindCount - 1));
}

constexpr int32_t StoredTrackKind(TTrackKind Kind) {
    return static_cast<int32_t>(Kind);
}

constexpr bool HasAudioSettings(TTrackKind Kind) {
    return Kind <= TTrackKind::Music;
}

constexpr bool HasBackground(TTrackKind Kind) {
    return Kind <= TTrackKind::Video;
}

// What a row of a track carries: the track's own row is an audio or a video
// row, further rows are effect rows. Files store these numbers.
enum class TSubTrackKind : uint8_t {
    None = 0, // no row is made with it; a file may still hold it
    Audio = 1,
    Video = 2,
    Effect = 3,
};

constexpr int32_t SubTrackKindCount = 4;

constexpr TSubTrackKind SubTrackKindFromStored(int32_t Number) {
    return static_cast<TSubTrackKind>(std::clamp(Number, 0, SubTrackKindCount - 1));
}

constexpr int32_t StoredSubTrackKind(TSubTrackKind Kind) {
    return static_cast<int32_t>(Kind);
}

// The kind of a track's own sub-track (sub-track 0).
constexpr TSubTrackKind OwnSubTrackKind(TTrackKind TrackKind) {
    switch (TrackKind) {
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return TSubTrackKind::Audio;
    case TTrackKind::Effects:
        return TSubTrackKind::Effect;
    case TTrackKind::Any:
    case TTrackKind::Video:
    case TTrackKind::Overlay:
        return TSubTrackKind::Video;
    }
    return TSubTrackKind::Video;
}
