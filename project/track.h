#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "project/item.h"
#include "project/track_kind.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBackgroundColorTrackSetting;
class TClip;
class TClipEffect;
class TEffect;
class TFileClip;
class TTitleClip;
class TTrackItemsUndo;
class TTransition;
struct TTitleFont;
class TMuteTrackSetting;
enum class TProjectChangeFlags : uint32_t;
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

// Which of the transitions around the place of a new clip lead into it and
// follow it; one not kept loses its link on the clip's side.
enum class TKeepTransitions : uint8_t {
    Neither = 0,
    Leading = 1,
    Trailing = 2,
    Both = 3,
};

constexpr bool KeepsLeading(TKeepTransitions Keep) {
    return (static_cast<uint8_t>(Keep) & static_cast<uint8_t>(TKeepTransitions::Leading)) != 0;
}
constexpr bool KeepsTrailing(TKeepTransitions Keep) {
    return (static_cast<uint8_t>(Keep) & static_cast<uint8_t>(TKeepTransitions::Trailing)) != 0;
}

// Which of the clips around the place of a new transition it joins.
enum class TJoinClips : uint8_t {
    Neither = 0,
    Previous = 1,
    Next = 2,
    Both = 3,
};

constexpr bool JoinsPrevious(TJoinClips Join) {
    return (static_cast<uint8_t>(Join) & static_cast<uint8_t>(TJoinClips::Previous)) != 0;
}
constexpr bool JoinsNext(TJoinClips Join) {
    return (static_cast<uint8_t>(Join) & static_cast<uint8_t>(TJoinClips::Next)) != 0;
}

// Which way a transition runs: from the clip before it into the clip after
// it, or the reverse.
enum class TTransitionDirection : uint8_t { Forward, Reverse };

// What trimming a clip further than its transition allows does: the trim
// stops where the transition keeps its room, or the transition is removed.
enum class TTrimPastTransition : uint8_t { Stop, Remove };

// The edges of the selection a drag moves: both (the user holds the extend
// key), the left or the right one.
enum class TSelectionEdge : uint8_t { Both, Left, Right };

// A row of the timeline: its own sub-track and effect sub-tracks, and the
// track items in time order. Attached to a project it owns one render track
// of the render kind that its track kind asks for.
class TTrack : public TItem {
public:
    explicit TTrack(TTrackKind Kind);
    std::string_view ClassName() const override { return "TTrack"; }

    TProject* Project() const { return FProject; }
    int32_t Index() const { return FIndex; }
    TTrackKind Kind() const { return FKind; }
    TProjectChanges* Changes() const override { return FChanges; }
    TTimelineTrack* RenderTrack() const { return FRenderTrack; }

    int32_t SubTrackCount() const { return static_cast<int32_t>(FSubTracks.size()); }
    TSubTrack* SubTrack(int32_t Index) const {
        return FSubTracks[static_cast<size_t>(Index)].Get();
    }
    int32_t ItemCount() const { return static_cast<int32_t>(FItems.size()); }
    TTrackItem* Item(int32_t Index) const { return FItems[static_cast<size_t>(Index)].Get(); }

    // The track's settings, according to its kind (none where the kind has none).
    TMuteTrackSetting* Mute() const { return FMute; }
    TVolumeTrackSetting* Volume() const { return FVolume; }
    TBackgroundColorTrackSetting* BackgroundColor() const { return FBackgroundColor; }

    // The raw structural operations: no undo, no signal. The editing
    // operations below are built on them. Inserting takes the track's own
    // reference; removing drops it, which frees an object nobody else holds.
    void InsertSubTrack(TSubTrack* SubTrack, int32_t Index);
    void RemoveSubTrack(TSubTrack* SubTrack);
    void InsertItem(TTrackItem* Item, int32_t Index);
    void RemoveItem(TTrackItem* Item);

    // Editing operations. Each is one step of the undo history, opens update
    // brackets on the project's notifier and its render timeline, and leaves
    // the track normalized; insertions move the edit cursor into the new
    // item and select it.

    // Adds an effect sub-track at Index (at least 1).
    TSubTrack* AddEffectSubTrack(int32_t Index);
    // Removes the effect sub-track at Index and, from every clip, the clip
    // effect placed on it; other sub-tracks are refused.
    void DeleteEffectSubTrack(int32_t Index);
    // Puts a new clip effect on Clip: on SubTrack (replacing the clip's
    // effect there) when that is an effect sub-track, otherwise on the first
    // effect sub-track after the clip's last effect, added when there is
    // none.
    TClipEffect* AddClipEffect(TClip* Clip, TSubTrack* SubTrack, int32_t EffectIndex);
    // Removes the selected items (and the transitions left without clips)
    // and the selected clip effects of the remaining clips.
    void DeleteSelectedItems();

    // A new clip of FileName at Time, between the transitions around Time;
    // those Keep does not keep lose their link on that side.
    TFileClip* InsertFile(TKeepTransitions Keep, const std::string& FileName, TVideoTime Time);
    TTitleClip* InsertTitle(TKeepTransitions Keep, const TTitleFont& MainFont,
                            const TTitleFont& CaptionFont, const std::string& Text,
                            int32_t StyleIndex, TVideoTime Duration, TVideoTime Time);
    TEffect* InsertEffect(int32_t EffectIndex, TVideoTime Duration, TVideoTime Time);
    // A transition at Time joining the clips before and after it (as Join
    // allows), as long as the clips allow; none when they leave no room.
    TTransition* InsertTransition(TJoinClips Join, TTransitionDirection Direction,
                                  TVideoTime Duration, int32_t TransitionIndex, TVideoTime Time);
    // Splits the transition at Index in two around a new clip; none when the
    // item there is not a transition.
    TFileClip* InsertFileIntoTransition(int32_t Index, const std::string& FileName);
    TTitleClip* InsertTitleIntoTransition(int32_t Index, int32_t StyleIndex,
                                          const TTitleFont& MainFont,
                                          const TTitleFont& CaptionFont,
                                          const std::string& Text, TVideoTime Duration);
    // Places a new clip at Time over whatever lies there (captured files).
    TFileClip* InsertFileOverwrite(const std::string& FileName, TVideoTime Time);
    void ReplaceTransition(int32_t Index, int32_t TransitionIndex,
                           TTransitionDirection Direction);
    void ReplaceEffect(int32_t Index, int32_t EffectIndex);
    void ReplaceTitleLayout(int32_t Index, int32_t StyleIndex);

    // Cuts Clip in two at Time (kept 0.04 s away from its ends and
    // transitions).
    void SplitClip(TFileClip* Clip, TVideoTime Time);
    // Replaces the file clips First ... Last by one clip covering their
    // media range.
    void JoinClips(int32_t First, int32_t Last, TVideoTime Time);
    // Joins Clip with the clips of the same file next to it: selected ones
    // (running through further selected ones), or unselected ones that touch
    // or overlap it. Nothing when none joins.
    void MergeClip(TFileClip* Clip);
    void TrimClipStart(TFileClip* Clip, TTrimPastTransition PastTransition,
                       TVideoTime NewTrimBegin);
    void TrimClipEnd(TFileClip* Clip, TTrimPastTransition PastTransition, TVideoTime NewTrimEnd);

    // Gaps: moves the items after the first gap ending after Time left to
    // close it, or closes every gap from there on.
    void CloseGapAt(TVideoTime Time);
    void CloseGapsFrom(TVideoTime Time);

    // Drags. While tracking, every call starts again from the snapshot taken
    // when tracking began, and the drag makes one undo step when it ends.
    void BeginTracking();
    void EndTracking();
    // Moves the blocks holding selected items by Delta, each stopped by its
    // neighbours.
    void MoveSelection(TVideoTime Delta);
    // Drags the selection's Edge by Delta.
    void DragSelectionEdge(TSelectionEdge Edge, TVideoTime Delta);
    // Moves Count items from First so that they start at index Target and at
    // time NewStart, unless that would tear a transition from its clip.
    void MoveItemsTo(int32_t First, int32_t Target, int32_t Count, TVideoTime NewStart);

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
    void Signal(TProjectChangeFlags Flags);
    void LoadItems(TData& Data);
    void JoinLoadedTransitions();
    // Inserts a new item at Index, with the change signal; a failure
    // propagates, and the caller's reference frees the item.
    void InsertNewItem(TTrackItem* Item, int32_t Index);
    // Unlinks Item from its transitions or clips and removes it.
    void RemoveLinkedItem(TTrackItem* Item);
    // Inserts a new clip at Time between the transitions there: the one
    // before it leads into it when Keep keeps the leading one, the one after
    // it follows it when Keep keeps the trailing one; each that is not kept
    // loses its link on the clip's side.
    void InsertClipBetween(TClip* Clip, TKeepTransitions Keep, TVideoTime Time);
    // Splits the transition Leading around Clip: Leading leads into the clip,
    // and a second transition of its kind leads from the clip into the clip
    // Leading led into.
    void InsertClipIntoTransition(TTransition& Leading, TClip* Clip);
    // The end of a new item's insertion: normalize, cursor, selection.
    void FinishInsertion(TTrackItem* Item, bool KeepJoined = false);
    void RestoreTrackingSnapshot();
    // The start of a drag step: while tracking, back to the snapshot (the
    // step is recorded when tracking ends); otherwise the record of the
    // step, to be filed if the drag changes anything.
    std::unique_ptr<TTrackItemsUndo> StartDragStep();
    bool DiffersFromSnapshot() const;

    TProject* FProject = nullptr;
    int32_t FIndex = -1;
    TTrackKind FKind;
    TProjectChanges* FChanges = nullptr;
    TTimelineTrack* FRenderTrack = nullptr; // owned by the project's timeline
    std::vector<TRefPtr<TSubTrack>> FSubTracks;
    std::vector<TRefPtr<TTrackItem>> FItems;
    TMuteTrackSetting* FMute = nullptr;
    TVolumeTrackSetting* FVolume = nullptr;
    TBackgroundColorTrackSetting* FBackgroundColor = nullptr;
    int32_t FTrackingDepth = 0;
    bool FTrackingActive = false;
    bool FTrackingDirty = false;
    bool FTrackingGroupOpen = false; // a reorder opened the drag's undo group
};

// The longest transition that may join FromClip and ToClip (either may be
// none), at most Wanted: each clip keeps three quarters of itself clear, or,
// next to its other transition, seven eighths less that transition.
TVideoTime MaxTransitionLength(const TClip* FromClip, const TClip* ToClip, TVideoTime Wanted);
// Gives Clip the transitions Leading and Trailing (either may be none) at its
// ends, with the lengths both neighbours allow.
void FitBetween(TClip* Clip, TTransition* Leading, TTransition* Trailing);

// The part of an item not covered by its transitions: a clip's span without
// the overlaps of its leading and trailing transitions; a transition's middle.
struct TTimeSpan {
    TVideoTime Start = 0;
    TVideoTime End = 0;
};
TTimeSpan VisibleSpan(const TTrackItem& Item);
