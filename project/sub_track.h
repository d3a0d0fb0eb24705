#pragma once

#include "project/item.h"
#include "project/track_kind.h"

#include <cstdint>

class TTrack;

// A row of a track: index 0 is the track's own row, further rows carry the
// clip effects of the track's clips.
class TSubTrack : public TItem {
public:
    explicit TSubTrack(TSubTrackKind Kind) : FKind(Kind) {}
    std::string_view ClassName() const override { return "TSubTrack"; }

    TTrack* Track() const { return FTrack; }
    int32_t Index() const { return FIndex; }
    TSubTrackKind Kind() const { return FKind; }
    TProjectChanges* Changes() const override;

protected:
    ~TSubTrack() override;

private:
    friend class TTrack;
    TTrack* FTrack = nullptr;
    int32_t FIndex = -1;
    TSubTrackKind FKind;
};
