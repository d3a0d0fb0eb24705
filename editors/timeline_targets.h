#pragma once

#include "core/geometry.h"
#include "core/ref_object.h"
#include "core/video_time.h"

#include <cstdint>

class TItem;
class TSubTrack;
class TTimelineDesktop;

// What the timeline's global menu acts on when it opens over the tracks
// (the empty space, a band's gaps): Kind 1 with Index when the mouse is over
// the header column, where a new track would go at Index; Kind 0 with Index
// -1 elsewhere.
struct TTimelineMaster {
    int32_t Kind = 0;
    int32_t Index = -1;
};

// Which part of a row the menu opened on.
enum class TSubTrackPart : uint8_t {
    Content = 0,   // the content cell
    HeaderTop = 1, // the top quarter of the header
    Header = 2,    // the rest of the header
};

// What the timeline's global menu acts on when it opens over a row: the
// sub-track, the part, and in a content cell the time under the mouse.
struct TSubTrackMaster {
    TRefPtr<TSubTrack> SubTrack;
    TSubTrackPart Part = TSubTrackPart::Content;
    TVideoTime Time = 0;
};

enum class TTimelineTargetKind : uint8_t {
    None,     // the time bar or the edit cursor: no menu
    Timeline, // the global menu with Timeline
    SubTrack, // the global menu with SubTrack
    Item,     // the item menu with Item (a track item or a clip effect)
};

struct TTimelineTarget {
    TTimelineTargetKind Kind = TTimelineTargetKind::None;
    TTimelineMaster Timeline;
    TSubTrackMaster SubTrack;
    TRefPtr<TItem> Item;
};

// The target a context menu opened at Point (area client coordinates)
// would get; the menus hand it to their commands.
TTimelineTarget TimelineTargetAt(const TTimelineDesktop& Desktop, TPoint Point);
