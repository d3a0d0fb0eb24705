#pragma once

#include "core/video_time.h"
#include "project/item.h"

#include <limits>
#include <memory>

class TTimelineElement;
class TTimelineTrack;
class TTrack;

// "No limit": the latest end of the last item on a track.
constexpr TVideoTime UnlimitedTime = std::numeric_limits<TVideoTime>::max();

// Where the editor may move an item's start and end to.
struct TItemLimits {
    TVideoTime EarliestStart = 0;
    TVideoTime LatestStart = 0;
    TVideoTime LatestEnd = UnlimitedTime;
    TVideoTime EarliestEnd = 0;
};

// The base of everything placed on a track in time order: clips, titles,
// effects and transitions. A track holds one reference on each of its items;
// each item owns the render element that stands for it on the track's render
// track, placed there while the item is attached.
class TTrackItem : public TItem {
public:
    std::string_view ClassName() const override { return "TTrackItem"; }

    TTrack* Track() const { return FTrack; }
    int32_t Index() const { return FIndex; }
    TProjectChanges* Changes() const override;

    // None for an item whose media could not be opened.
    TTimelineElement* Element() const { return FElement.get(); }

    TVideoTime Position() const { return FPosition; }
    TVideoTime Duration() const { return FDuration; }
    TVideoTime End() const { return FPosition + FDuration; }
    // Times only: the track brings the render side in step (Normalize,
    // UpdateRenderElements).
    void SetPosition(TVideoTime Value) { FPosition = Value; }
    void SetDuration(TVideoTime Value) { FDuration = Value; }

    // The snapshot taken when a tracking bracket opens on the track.
    TVideoTime TrackPosition() const { return FTrackPosition; }
    TVideoTime TrackDuration() const { return FTrackDuration; }
    void TakeTrackingSnapshot() {
        FTrackPosition = FPosition;
        FTrackDuration = FDuration;
    }

    // The item touched or overlapped its predecessor when the marks were last
    // computed (TTrack::MarkJoined).
    bool Joined() const { return FJoined; }
    void SetJoined(bool Value) { FJoined = Value; }

    // The previous and next item on the track, or none.
    TTrackItem* Previous() const;
    TTrackItem* Next() const;

    virtual TItemLimits GetLimits() const;
    // Moves the item where Normalize wants it: never before RunningEnd, and
    // with KeepJoined a joined item stays at its predecessor's end.
    virtual void Place(bool KeepJoined, TVideoTime RunningEnd);
    // Called by the track when the item is inserted into it or removed from
    // it: the item places or withdraws its render element.
    virtual void Attach();
    virtual void Detach();
    // The track's sub-tracks were inserted or removed.
    virtual void SubTracksChanged() {}
    // Gives the element the item's start and duration.
    virtual void UpdateElement();

    // The item record: the type and identity keys, then "Position",
    // "Duration" and the TItem part. Loading reads from "Position" on: the
    // record's type decided which item to create.
    void Load(TData& Data) override;
    void Save(TData& Data) const override;
    // The loaded record placed the item's end beyond any time the program
    // can reach (a damaged file); the track drops such an item on loading.
    bool IsDamaged() const { return FIsDamaged; }

protected:
    TTrackItem();
    ~TTrackItem() override;

    // "Type" and the key naming the media or catalogue entry; nothing for an
    // item that has no stored form.
    virtual void SaveIdentity(TData&) const {}
    void SetElement(std::unique_ptr<TTimelineElement> Element);
    // The render track of the item's track, or none.
    TTimelineTrack* RenderTrack() const;

private:
    friend class TTrack;
    TTrack* FTrack = nullptr;
    int32_t FIndex = -1;
    std::unique_ptr<TTimelineElement> FElement;
    TVideoTime FPosition = 0;
    TVideoTime FDuration = 0;
    bool FIsDamaged = false;
    TVideoTime FTrackPosition = 0;
    TVideoTime FTrackDuration = 0;
    bool FJoined = false;
};
