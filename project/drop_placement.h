#pragma once

#include "core/video_time.h"
#include "project/track.h"
#include "project/track_kind.h"

#include <cstdint>
#include <functional>
#include <optional>

class TVideoDragThing;

// The rules for things dragged from the browsers onto a row of the timeline:
// which rows take them, and where they land under the mouse. They read only
// the model, so the timeline editor asks them and tests ask them without a
// window:
//
//   TDraggedItem Dragged = TDraggedItem::Of(Thing);
//   if (AcceptsDrop(Row, Dragged))
//       Place = PlaceDrop(*Row.Track(), Dragged, TimeUnderMouse, Snap);

// What is dragged.
enum class TDraggedKind : uint8_t { FileClip, TitleClip, Transition, Effect };

// A dragged thing as the rules see it. For clips the media flags tell the
// streams; for transitions and effects what they act on (a transition may
// act on both); OnOverlays tells whether a transition may join overlay clips.
struct TDraggedItem {
    TDraggedKind Kind = TDraggedKind::FileClip;
    TVideoTime Duration = 0;
    bool HasAudio = false;
    bool HasVideo = false;
    bool OnOverlays = false;
    // The transition or effect description index; -1 for clips.
    int32_t DescriptionIndex = -1;

    // Reads a browser's drag object; transitions and effects take their media
    // from their descriptions (an unknown one acts on nothing).
    static TDraggedItem Of(const TVideoDragThing& Thing);
    bool IsClip() const {
        return Kind == TDraggedKind::FileClip || Kind == TDraggedKind::TitleClip;
    }
};

// Where a dragged thing would go on a row.
enum class TDropKind : uint8_t {
    None = 0,
    Insert = 1,         // a new item at a time
    Replace = 2,        // replaces the transition, effect or title layout at an index
    IntoTransition = 3, // a clip splits the transition at an index
    ClipEffect = 4,     // an effect onto the clip at an index
};

struct TDropPlacement {
    TDropKind Kind = TDropKind::None;
    int32_t Index = -1;
    TVideoTime Start = 0;
    TVideoTime Duration = 0;
    bool KeepLeading = false;  // also JoinPrevious for transitions
    bool KeepTrailing = false; // also JoinNext
    bool operator==(const TDropPlacement&) const = default;

    TKeepTransitions Keep() const;
    TJoinClips Join() const;
};

// Whether a row of sub-track kind Row on a track of kind Track takes
// Dragged; HoldsItems tells whether the track holds any item (transitions,
// and effects outside the effects track, need something to go onto).
bool RowTakesDrop(TTrackKind Track, TSubTrackKind Row, bool HoldsItems,
                  const TDraggedItem& Dragged);
bool AcceptsDrop(const TSubTrack& Row, const TDraggedItem& Dragged);

// Given a proposed span, how far to move it so that an edge meets something
// worth meeting (an item edge, a grid line); 0 to leave it.
using TSpanSnap = std::function<TVideoTime(TVideoTime Start, TVideoTime End)>;

// Where Dragged lands on Track with the mouse at Time: into a transition,
// replacing a transition, title layout or effect, onto a clip as a clip
// effect, or inserted between its neighbours (keeping or joining the
// transitions beside it). Snap, when given, moves an inserted clip or effect
// before it is fitted between its neighbours.
TDropPlacement PlaceDrop(const TTrack& Track, const TDraggedItem& Dragged, TVideoTime Time,
                         const TSpanSnap& Snap = {});

// The index of the transition whose middle part (its length less a sixth at
// each end) holds Time: a clip dropped there goes into it.
std::optional<int32_t> TransitionMiddleAt(const TTrack& Track, TVideoTime Time);

// Whether a file with these streams goes onto a track of Kind (dropped from
// the file manager): the main video and overlay tracks take files with
// video, the sound and music tracks files with sound.
bool TrackTakesFile(TTrackKind Kind, bool HasAudio, bool HasVideo);

// Where a file dropped from the file manager at Time is inserted when it
// does not go into a transition: between the transitions there, as a
// dragged clip of no length would, without snapping.
struct TFilePlacement {
    TKeepTransitions Keep = TKeepTransitions::Neither;
    TVideoTime Start = 0;
    bool operator==(const TFilePlacement&) const = default;
};
TFilePlacement PlaceDroppedFile(const TTrack& Track, TVideoTime Time);
