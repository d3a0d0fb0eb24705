#pragma once

#include "core/video_time.h"
#include "project/track.h"

#include <cstdint>
#include <vector>

// The search behind reordering by drag in the timeline editor: which blocks
// of a track a drag moves, and past which neighbour the moved run would be
// put back into the track. Plain functions of a track's blocks
// (TTrack::GetBlocks), so that they are tested without a window:
//
//   TSelectedRun Run = FindSelectedRun(Blocks);
//   TReorder Reorder = FindReorder(Blocks, Run, Delta, MouseTime);
//   if (Reorder.IsFound())
//       Track.MoveItemsTo(Blocks[Run.First].First, ReorderTargetIndex(Blocks, Run, Reorder),
//                         RunItemCount(Blocks, Run), Reorder.NewStart);

// The first and last block holding a selected item, and whether every block
// between them is selected too.
struct TSelectedRun {
    int32_t First = -1;
    int32_t Last = -1;
    bool IsContiguous = false;
    bool IsEmpty() const { return First < 0; }
};
TSelectedRun FindSelectedRun(const std::vector<TTrackBlock>& Blocks);
// How many items the blocks of Run hold, unselected ones between included.
int32_t RunItemCount(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run);

// Where a reordered run would go: beside TargetBlock (before it when moving
// left, after it when moving right), starting at NewStart.
struct TReorder {
    int32_t TargetBlock = -1;
    bool MovingLeft = false;
    TVideoTime NewStart = 0;
    bool IsFound() const { return TargetBlock >= 0; }
};

// The reorder a contiguous Run moved by Delta asks for with the mouse at
// MouseTime. While the moved run still lies in the gap between its
// neighbours its own middle decides, so that it never reorders there; past
// a neighbour the mouse does. Moving left, the first block before the run
// whose middle lies at or after that time is the target; moving right, the
// last block after the run whose middle lies at or before it. The run is
// fitted into the space beside the target, never before its start.
TReorder FindReorder(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run,
                     TVideoTime Delta, TVideoTime MouseTime);

// The index the run's first item takes when Reorder is carried out.
int32_t ReorderTargetIndex(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run,
                           const TReorder& Reorder);
