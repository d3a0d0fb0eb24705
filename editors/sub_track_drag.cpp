// The drag machine of a content cell: trimming an edge, moving, and
// reordering the selected items of its track, with snapping.

#include "editors/sub_track_fragment.h"

#include "core/exception_report.h"
#include "editors/timeline_desktop.h"
#include "editors/timeline_snap.h"
#include "project/project.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/track_item.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace {

constexpr TVideoTime NoLimit = UnlimitedVideoTime;

} // namespace

void TSubTrackFragment::EndTrackingIfOpen() {
    if (!FTracking)
        return;
    FTracking = false;
    FDragMode = TCellDragMode::Idle;
    if (TTrack* Owner = FSubTrack->Track()) {
        try {
            Owner->EndTracking();
        } catch (const std::exception&) {
            ReportCurrentException();
        }
    }
}

void TSubTrackFragment::DragStart(TCellDragMode Mode, int32_t PressX) {
    if (FDragMode != TCellDragMode::Idle || Mode == TCellDragMode::Idle)
        return;
    TTrack& Owner = Track();
    FBlocks = Owner.GetBlocks();
    FFirstSelected = FLastSelected = -1;
    for (int32_t I = 0; I < int32_t(FBlocks.size()); ++I)
        if (FBlocks[size_t(I)].IsSelected) {
            if (FFirstSelected < 0)
                FFirstSelected = I;
            FLastSelected = I;
        }
    if (FFirstSelected < 0)
        return;
    FContiguous = true;
    for (int32_t I = FFirstSelected; I <= FLastSelected; ++I)
        if (!FBlocks[size_t(I)].IsSelected)
            FContiguous = false;
    Owner.BeginTracking();
    FTracking = true;
    FDragMode = Mode;
    FPressX = PressX;
    FMoved = false;
    FTargetBlock = -1;
}

TVideoTime TSubTrackFragment::SnapDelta(TVideoTime Delta, const TSnapSpan& Span) const {
    const TSnapSwitches Switches{.ToObjects = Areas().IsSnapToObject(), .ToGrid = Areas().IsSnapToGrid()};
    return SnapSpanDelta(Desktop(), Track().Project(), Switches, Span, Delta);
}

void TSubTrackFragment::FindReorderTarget(TVideoTime Delta, int32_t X) {
    FTargetBlock = -1;
    const int32_t Count = int32_t(FBlocks.size());
    const TTrackBlock& First = FBlocks[size_t(FFirstSelected)];
    const TTrackBlock& Last = FBlocks[size_t(FLastSelected)];
    const TVideoTime Length = Last.End - First.Start;
    const TVideoTime Start = First.Start + Delta;
    const TVideoTime GapStart = FFirstSelected > 0 ? FBlocks[size_t(FFirstSelected - 1)].End : 0;
    const TVideoTime GapEnd = FLastSelected + 1 < Count ? FBlocks[size_t(FLastSelected + 1)].Start : NoLimit;
    // Inside its own gap the run's middle decides, so that it never reorders
    // there; past a neighbour the mouse does.
    const TVideoTime Reference =
        Start >= GapStart && Start + Length <= GapEnd ? Start + Length / 2 : Desktop().PixelsToTime(X);
    auto Middle = [](const TTrackBlock& Block) { return Block.Start + (Block.End - Block.Start) / 2; };
    FMovingLeft = Delta < 0;
    if (Delta < 0) {
        for (int32_t I = 0; I < FFirstSelected; ++I)
            if (Middle(FBlocks[size_t(I)]) >= Reference) {
                FTargetBlock = I;
                break;
            }
    } else if (Delta > 0) {
        for (int32_t I = Count - 1; I > FLastSelected; --I)
            if (Middle(FBlocks[size_t(I)]) <= Reference) {
                FTargetBlock = I;
                break;
            }
    }
    if (FTargetBlock < 0)
        return;
    // The run fits into the slot beside the target block.
    TVideoTime SlotStart = 0, SlotEnd = NoLimit;
    if (FMovingLeft) {
        SlotStart = FTargetBlock > 0 ? FBlocks[size_t(FTargetBlock - 1)].End : 0;
        SlotEnd = FBlocks[size_t(FTargetBlock)].Start;
    } else {
        SlotStart = FBlocks[size_t(FTargetBlock)].End;
        SlotEnd = FTargetBlock + 1 < Count ? FBlocks[size_t(FTargetBlock + 1)].Start : NoLimit;
    }
    TVideoTime NewStart = Start;
    if (SlotEnd != NoLimit && NewStart + Length > SlotEnd)
        NewStart = SlotEnd - Length;
    FNewStart = std::max(NewStart, SlotStart);
}

void TSubTrackFragment::DragStep(int32_t X, bool Snap) {
    if (FDragMode == TCellDragMode::Idle)
        return;
    TFragmentRef Self(this);
    TRefPtr<TTrack> Owner(&Track());
    const TTimelineDesktop& Desk = Desktop();
    TVideoTime Delta = Desk.PixelsToTime(X) - Desk.PixelsToTime(FPressX);
    if (X != FPressX)
        FMoved = true;
    const TTrackBlock& First = FBlocks[size_t(FFirstSelected)];
    const TTrackBlock& Last = FBlocks[size_t(FLastSelected)];
    if (Snap && FContiguous && FMoved) {
        // The selected items' outer edges, from the snapshot.
        TVideoTime Start = First.Start, End = Last.End;
        bool Found = false;
        for (int32_t I = First.First; I <= Last.Last; ++I) {
            const TTrackItem& Item = *Owner->Item(I);
            if (!Item.IsSelected())
                continue;
            TVideoTime ItemStart = Item.TrackPosition(), ItemEnd = Item.TrackPosition() + Item.TrackDuration();
            Start = Found ? std::min(Start, ItemStart) : ItemStart;
            End = Found ? std::max(End, ItemEnd) : ItemEnd;
            Found = true;
        }
        Delta = SnapDelta(Delta, {.Start = Start,
                                  .End = End,
                                  .UseStart = FDragMode != TCellDragMode::RightEdge,
                                  .UseEnd = FDragMode != TCellDragMode::LeftEdge,
                                  .OwnTrack = Owner.Get(),
                                  .FirstOwn = First.First,
                                  .LastOwn = Last.Last});
    }
    switch (FDragMode) {
    case TCellDragMode::BothEdges:
        Owner->DragSelectionEdge(TSelectionEdge::Both, Delta);
        break;
    case TCellDragMode::LeftEdge:
        Owner->DragSelectionEdge(TSelectionEdge::Left, Delta);
        break;
    case TCellDragMode::RightEdge:
        Owner->DragSelectionEdge(TSelectionEdge::Right, Delta);
        break;
    case TCellDragMode::Move:
    case TCellDragMode::Reorder:
        if (FContiguous) {
            const TCellDragMode Was = FDragMode;
            FindReorderTarget(Delta, X);
            if (FTargetBlock >= 0) {
                // Times stay at the snapshot; the drop span shows the place.
                FDragMode = TCellDragMode::Reorder;
                Owner->MoveSelection(0);
                if (Self)
                    Invalidate();
            } else {
                FDragMode = TCellDragMode::Move;
                Owner->MoveSelection(Delta);
                if (Was == TCellDragMode::Reorder && Self)
                    Invalidate();
            }
        } else {
            Owner->MoveSelection(Delta);
        }
        break;
    case TCellDragMode::Idle:
        break;
    }
}

void TSubTrackFragment::DragEnd() {
    if (FDragMode == TCellDragMode::Idle)
        return;
    TFragmentRef Self(this);
    TRefPtr<TTrack> Owner(&Track());
    const TCellDragMode Mode = std::exchange(FDragMode, TCellDragMode::Idle);
    const bool Tracking = std::exchange(FTracking, false);
    std::exception_ptr Failure;
    if (Mode == TCellDragMode::Reorder && FContiguous && FTargetBlock >= 0) {
        const TTrackBlock& First = FBlocks[size_t(FFirstSelected)];
        const TTrackBlock& Last = FBlocks[size_t(FLastSelected)];
        const TTrackBlock& Target = FBlocks[size_t(FTargetBlock)];
        const int32_t Count = Last.Last - First.First + 1;
        const int32_t To = FMovingLeft ? Target.First : Target.Last - Count + 1;
        try {
            Owner->MoveItemsTo(First.First, To, Count, FNewStart);
        } catch (...) {
            Failure = std::current_exception();
        }
    }
    if (Tracking)
        Owner->EndTracking();
    if (Self) {
        FTargetBlock = -1;
        Invalidate();
    }
    if (Failure)
        std::rethrow_exception(Failure);
}
