#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "project/drop_placement.h"
#include "project/reorder_search.h"
#include "project/track.h"
#include "toolkit/areas/fragment.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TItemFragment;
struct TSnapSpan;
class TSubTrack;
class TTimelineDesktop;
class TTrack;
class TVideoDragThing;

// How a content cell's drag moves the selection.
enum class TCellDragMode : uint8_t {
    Idle = 0,
    BothEdges = 1,
    LeftEdge = 2,
    RightEdge = 3,
    Move = 4,
    Reorder = 5,
};

// The content cell of a row: the items of its sub-track as fragments, at
// their times. It runs the drags its item fragments start (trimming an edge,
// moving, reordering, with object and grid snapping), takes drops from the
// browsers and from the file manager, and paints the drop feedback.
//
// The rules it follows are the model's: which rows take a drop and where it
// lands (project/drop_placement.h), where a reorder goes
// (project/reorder_search.h); snapping is the editor's one module
// (editors/timeline_snap.h). Its own parts lie in files by concern: the drag
// machine (sub_track_drag.cpp), browser drops (sub_track_drop.cpp), file
// drops (sub_track_file_drop.cpp) and painting (sub_track_paint.cpp).
class TSubTrackFragment : public TFragment {
public:
    TSubTrackFragment(TArea& Area, TSubTrack& SubTrack);
    ~TSubTrackFragment() override;
    std::string_view ClassName() const override { return "TSubTrackFragment"; }

    TSubTrack& SubTrack() const { return *FSubTrack; }
    TTrack& Track() const;
    TTimelineDesktop& Desktop() const;
    // The item fragments made afresh from the items shown on this row.
    void RebuildItems();
    int64_t MaxWidth() const { return FMaxWidth; }
    // The item fragment showing Item, or null.
    TItemFragment* FragmentOf(const TItem* Item) const;

    // The drag machine. X is in cell coordinates.
    void DragStart(TCellDragMode Mode, int32_t PressX);
    void DragStep(int32_t X, bool Snap);
    void DragEnd();
    TCellDragMode DragMode() const { return FDragMode; }

    // Drops of things dragged from the browsers: whether this row takes
    // Thing, where it would go with the mouse at cell x X (Shift: the
    // modifier bits: Ctrl or Alt turn snapping off), and the drop itself.
    bool AcceptsDrop(const TVideoDragThing& Thing) const;
    TDropPlacement PlaceDrop(const TVideoDragThing& Thing, int32_t X, uint16_t Shift) const;
    void DropEntered(const TVideoDragThing& Thing);
    void DropMoved(const TVideoDragThing& Thing, int32_t X, uint16_t Shift);
    void DropLeft();
    // Runs the placement last computed; false when there was none.
    bool Drop(const TVideoDragThing& Thing);
    bool DropAccepted() const { return FDropAccepted; }
    const TDropPlacement& Placement() const { return FPlacement; }

    void Measure() override;
    void Arrange() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void DropFiles(TWidgetDropEvent& Event) override;
    void DragStarted() override;
    void DragMoved() override;
    void DragEnded(bool Dropped) override;
    void Paint(TPixels& Pixels) override;
    // The item fragments lie in time order: only those whose span can reach
    // into Rect are painted.
    std::pair<size_t, size_t> ChildrenWithin(const TRect& Rect) const override;
    // The opaque colour the row shows behind its items, or none while a drop
    // or reorder span is drawn on it (then items blend over what is there).
    std::optional<TColor> PlainBackground() const;
    // The row's selection tint differs from what it last painted.
    bool SelectionShownChanged() const { return FPaintedFill != SelectionFill(); }

private:
    // The row's own colour, before the selection tint.
    TColor RowBackground() const;
    // With the tint of a selected sub-track or track over it.
    TColor SelectionFill() const;
    // Adjusts Delta so that Span's start or end meets an item edge or a
    // grid line nearby, as the user's snapping switches say.
    TVideoTime SnapDelta(TVideoTime Delta, const TSnapSpan& Span) const;
    void EndTrackingIfOpen();
    // Inserts the files dropped at cell x X and reports those refused.
    void InsertDroppedFiles(const std::vector<std::string>& Files, int32_t X);
    // The drag of the toolkit, when it carries a thing of the timeline and
    // its mouse lies over this cell: the thing and the cell x.
    const TVideoDragThing* ToolkitDragOver(int32_t& X, uint16_t& Shift) const;

    TRefPtr<TSubTrack> FSubTrack;
    int64_t FMaxWidth = 0;
    // From the last arrangement: whether the items' lefts never decrease in
    // child order, and the widest item, which bound the painting search.
    // The selection fill the row was last painted with.
    TColor FPaintedFill = 0;
    bool FChildrenInOrder = true;
    int32_t FWidestChild = 0;
    // The drag.
    TCellDragMode FDragMode = TCellDragMode::Idle;
    int32_t FPressX = 0;
    std::vector<TTrackBlock> FBlocks;
    TSelectedRun FRun;
    bool FTracking = false;
    bool FMoved = false;
    TReorder FReorder;
    // The drop.
    bool FDropAccepted = false;
    bool FDropInside = false;
    TDropPlacement FPlacement;
};
