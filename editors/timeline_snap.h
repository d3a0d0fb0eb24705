#pragma once

#include "core/video_time.h"

#include <cstdint>

class TDesktop;
class TProject;
class TTrack;

// Snapping in the timeline editor: a time being moved meets an item edge or
// a grid line that comes near it on screen. Every use follows one rule: of
// the candidates offered, the one nearest in whole pixels wins when it is
// strictly nearer than the reach; among equals the first offered wins.
//
//   TSnapSearch Search(Desktop, ItemSnapReach);
//   Search.Offer(Moved, Edge);   // for every edge worth meeting
//   if (Search.Found())
//       Moved += Search.Shift();

// Item drags and drops meet item edges nearer than 8 pixels; the edit
// cursor, dragged with Ctrl, item edges within 4 pixels.
constexpr int64_t ItemSnapReach = 8;
constexpr int64_t CursorSnapReach = 5;

class TSnapSearch {
public:
    // Scale gives the pixels of times; it must outlive the search.
    TSnapSearch(const TDesktop& Scale, int64_t Reach) : FScale(Scale), FBest(Reach) {}

    // Offers moving the time Moving onto Target.
    void Offer(TVideoTime Moving, TVideoTime Target);
    bool Found() const { return FFound; }
    // Target less Moving of the winning offer; 0 when none won.
    TVideoTime Shift() const { return FShift; }
    // The winning target.
    TVideoTime Target() const { return FTarget; }

private:
    const TDesktop& FScale;
    int64_t FBest;
    bool FFound = false;
    TVideoTime FShift = 0;
    TVideoTime FTarget = 0;
};

// The reach of grid snapping at a scale: 4 pixels, less where the finest
// grid shown is dense (a quarter of its spacing and one).
int64_t GridSnapReach(double PixelsPerSecond);

// Which snapping the user switched on.
struct TSnapSwitches {
    bool ToObjects = false;
    bool ToGrid = false;
};

// A span being moved by a drag or a drop, and which of its edges may snap.
// The items FirstOwn to LastOwn of OwnTrack move with it and are not
// snapped to.
struct TSnapSpan {
    TVideoTime Start = 0;
    TVideoTime End = 0;
    bool UseStart = true;
    bool UseEnd = true;
    const TTrack* OwnTrack = nullptr;
    int32_t FirstOwn = 0;
    int32_t LastOwn = -1;
};

// Delta adjusted so that the moved span's start or end meets the nearest
// item edge of Project's tracks (when snapping to objects), or else the
// nearest grid line (when snapping to the grid); Delta itself when nothing
// is near.
TVideoTime SnapSpanDelta(const TDesktop& Scale, const TProject* Project, TSnapSwitches Switches,
                         const TSnapSpan& Span, TVideoTime Delta);

// Where the edit cursor dragged to Time lands when it snaps: the nearest
// item edge of Project's tracks within reach, else Time. Of an item, its
// end is offered before its start.
TVideoTime SnapCursorTime(const TDesktop& Scale, const TProject* Project, TVideoTime Time);
