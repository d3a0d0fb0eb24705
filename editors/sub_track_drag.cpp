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
    FRun = FindSelectedRun(FBlocks);
    if (FRun.IsEmpty())
        return;
    Owner.BeginTracking();
    FTracking = true;
    FDragMode = Mode;
    FPressX = PressX;
    FMoved = false;
    FReorder = {};
}

TVideoTime TSubTrackFragment::SnapDelta(TVideoTime Delta, const TSnapSpan& Span) const {
    const TSnapSwitches Switches{.ToObjects = Areas().IsSnapToObject(), .ToGrid = Areas().IsSnapToGrid()};
    return SnapSpanDelta(Desktop(), Track().Project(), Switches, Span, Delta);
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
    const TTrackBlock& First = FBlocks[size_t(FRun.First)];
    const TTrackBlock& Last = FBlocks[size_t(FRun.Last)];
    if (Snap && FRun.IsContiguous && FMoved) {
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
        if (FRun.IsContiguous) {
            const TCellDragMode Was = FDragMode;
            FReorder = FindReorder(FBlocks, FRun, Delta, Desk.PixelsToTime(X));
            if (FReorder.IsFound()) {
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
    if (Mode == TCellDragMode::Reorder && FRun.IsContiguous && FReorder.IsFound()) {
        try {
            Owner->MoveItemsTo(FBlocks[size_t(FRun.First)].First, ReorderTargetIndex(FBlocks, FRun, FReorder),
                               RunItemCount(FBlocks, FRun), FReorder.NewStart);
        } catch (...) {
            Failure = std::current_exception();
        }
    }
    if (Tracking)
        Owner->EndTracking();
    if (Self) {
        FReorder = {};
        Invalidate();
    }
    if (Failure)
        std::rethrow_exception(Failure);
}
