#pragma once

#include "core/video_time.h"
#include "project/item.h"

#include <cstdint>
#include <vector>

class TBackgroundColorTrackSetting;
class TMuteTrackSetting;
class TProject;
class TSubTrack;
class TTimelineTrack;
class TTrackItem;
class TVolumeTrackSetting;

// A run of items joined by transitions, as the editor moves it as one.
struct TTrackBlock {
    int32_t First = 0;
    int32_t Last = 0;
    TVideoTime Start = 0;
    TVideoTime End = 0;
    bool IsSelected = false;
};

// Track kinds 0 to 5: 0 any media, 1 video, 2 and 3 audio, 4 overlay video,
// 5 effects.
constexpr uint8_t TrackKindCount = 6;

// A row of the timeline: its own sub-track and effect sub-tracks, and the
// track items in time order. Attached to a project it owns one render track
// of the render kind that its track kind asks for.
class TTrack : public TItem {
public:
    explicit TTrack(uint8_t Kind);
    std::string_view ClassName() const override { return "TTrack"; }

    TProject* Project() const { return FProject; }
    int32_t Index() const { return FIndex; }
    uint8_t Kind() const { return FKind; }
    TProjectChanges* Changes() const override { return FChanges; }
    TTimelineTrack* RenderTrack() const { return FRenderTrack; }

    int32_t SubTrackCount() const { return static_cast<int32_t>(FSubTracks.size()); }
    TSubTrack* SubTrack(int32_t Index) const { return FSubTracks[static_cast<size_t>(Index)]; }
    int32_t ItemCount() const { return static_cast<int32_t>(FItems.size()); }
    TTrackItem* Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)]; }

    // The track's settings, according to its kind (none where the kind has none).
    TMuteTrackSetting* Mute() const { return FMute; }
    TVolumeTrackSetting* Volume() const { return FVolume; }
    TBackgroundColorTrackSetting* BackgroundColor() const { return FBackgroundColor; }

    void InsertSubTrack(TSubTrack* SubTrack, int32_t Index);
    void RemoveSubTrack(TSubTrack* SubTrack);
    // Adds an effect sub-track at Index (at least 1).
    TSubTrack* AddEffectSubTrack(int32_t Index);
    // Removes the effect sub-track at Index and, from every clip, the clip
    // effect placed on it; other sub-tracks are refused.
    void DeleteEffectSubTrack(int32_t Index);

    void InsertItem(TTrackItem* Item, int32_t Index);
    void RemoveItem(TTrackItem* Item);

    // The index of the first item whose visible span has its middle after
    // Time; the item count when there is none.
    int32_t IndexAtTime(TVideoTime Time) const;
    // The runs of items joined by transitions, with their times (from the
    // tracking snapshot while tracking).
    std::vector<TTrackBlock> GetBlocks() const;
    // Lets every item move where the placement rules want it, in order, so
    // that nothing starts before the items ahead of it end; then brings the
    // render elements in step.
    void Normalize(bool KeepJoined);
    // Gives every element its item's start and duration (deferred while
    // tracking), then applies the settings.
    void UpdateRenderElements();
    // Marks each item that touches or overlaps the one before it.
    void MarkJoined();

    // Also applies the settings of every item.
    void ApplySettings() override;
    void Load(TData& Data) override;
    void Save(TData& Data) const override;

    // Tracking: a drag in progress on this track.
    int32_t TrackingDepth() const { return FTrackingDepth; }
    bool TrackingActive() const { return FTrackingActive; }
    bool TrackingDirty() const { return FTrackingDirty; }

protected:
    ~TTrack() override;

private:
    friend class TProject;
    void AttachToProject(TProject* Project, int32_t Index);
    void DetachFromProject();
    void SetIndex(int32_t Index) { FIndex = Index; }
    void RenumberSubTracks(int32_t From);
    void RenumberItems(int32_t From);
    void NotifySubTracksChanged();
    void Signal(uint32_t Flags);
    void LoadItems(TData& Data);
    void JoinLoadedTransitions();

    TProject* FProject = nullptr;
    int32_t FIndex = -1;
    uint8_t FKind;
    TProjectChanges* FChanges = nullptr;
    TTimelineTrack* FRenderTrack = nullptr; // owned by the project's timeline
    std::vector<TSubTrack*> FSubTracks;     // one reference each
    std::vector<TTrackItem*> FItems;        // one reference each
    TMuteTrackSetting* FMute = nullptr;
    TVolumeTrackSetting* FVolume = nullptr;
    TBackgroundColorTrackSetting* FBackgroundColor = nullptr;
    int32_t FTrackingDepth = 0;
    bool FTrackingActive = false;
    bool FTrackingDirty = false;
};

// The part of an item not covered by its transitions: a clip's span without
// the overlaps of its leading and trailing transitions; a transition's middle.
void VisibleSpan(const TTrackItem& Item, TVideoTime& Start, TVideoTime& End);

// The kind of a track's own sub-track (sub-track 0).
uint8_t OwnSubTrackKind(uint8_t TrackKind);
