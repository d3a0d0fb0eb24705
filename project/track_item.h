#pragma once

#include "project/item.h"

class TTrack;

// The base of everything placed on a track in time order: clips, titles,
// effects and transitions. A track holds one reference on each of its items.
class TTrackItem : public TItem {
public:
    std::string_view ClassName() const override { return "TTrackItem"; }

    TTrack* Track() const { return FTrack; }
    int32_t Index() const { return FIndex; }
    TProjectChanges* Changes() const override;

    // Called by the track when the item is inserted into it or removed from
    // it: the item places or withdraws its render element.
    virtual void Attach() {}
    virtual void Detach() {}
    // The track's sub-tracks were inserted or removed.
    virtual void SubTracksChanged() {}

protected:
    TTrackItem() = default;
    ~TTrackItem() override;

private:
    friend class TTrack;
    TTrack* FTrack = nullptr;
    int32_t FIndex = -1;
};
