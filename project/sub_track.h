#pragma once

#include "project/item.h"

#include <cstdint>

class TTrack;

// Sub-track kinds: 1 and 2 are the own sub-tracks of audio-kind and
// video-kind tracks, 3 an effect sub-track that carries clip effects.
constexpr uint8_t AudioSubTrackKind = 1;
constexpr uint8_t VideoSubTrackKind = 2;
constexpr uint8_t EffectSubTrackKind = 3;

// A row of a track: index 0 is the track's own row, further rows carry the
// clip effects of the track's clips.
class TSubTrack : public TItem {
public:
    explicit TSubTrack(uint8_t Kind) : FKind(Kind) {}
    std::string_view ClassName() const override { return "TSubTrack"; }

    TTrack* Track() const { return FTrack; }
    int32_t Index() const { return FIndex; }
    uint8_t Kind() const { return FKind; }
    TProjectChanges* Changes() const override;

protected:
    ~TSubTrack() override;

private:
    friend class TTrack;
    TTrack* FTrack = nullptr;
    int32_t FIndex = -1;
    uint8_t FKind;
};
