#pragma once

#include "core/geometry.h"
#include "project/track_kind.h"

#include <cstdint>

class TPixels;

// The pictures of the row headers, one per kind of row: what the row
// carries, drawn by the toolkit in the skin's colours.
enum class THeaderIcon : uint8_t {
    None,
    Audio,        // the sound of clips: a speaker
    Video,        // the pictures of clips: a film strip
    SoundAudio,   // the sound track: a speaker with a microphone head
    MusicAudio,   // the music track: a note
    VideoOverlay, // the overlay track: two stacked frames
    Effect,       // effects: a star
};

// The icon of a row of SubTrack kind on a track of Track kind.
THeaderIcon HeaderIconOf(TTrackKind Track, TSubTrackKind SubTrack);

// Draws Icon centred in Box (its size the smaller side) in Ink.
void DrawHeaderIcon(TPixels& Pixels, THeaderIcon Icon, const TRect& Box, TColor Ink);
