// Dragging the edges of the selected items of a track. A block (a run of
// items joined by transitions) that is selected as a whole is resized or
// moved; a block of which only a run is selected is reshaped by one of four
// shifts, which move one end of the block and let an item at the run's edge,
// or the transition next to it, take up the change.
//
// The head shifts move the items from the block's first item up to the
// given one, the tail shifts those from the given one to the block's last.
// A shift to the left is not quite the mirror image of the opposite shift
// to the right (where a transition has no clip on one side, a left tail
// shift stops at the item before it while a right head shift stops at the
// next block; a right head shift over a transition always moves the block's
// start, while a left tail shift moves its end only when the transition is
// not last; a left head shift leaves the block's end where a trailing
// transition ends it), so the four shifts are written out. What they
// share, the limits and the choice among them, takes the direction from the
// drag once.

#include "project/edit_support.h"
#include "project/list_undo.h"

#include <algorithm>

namespace {

// Which way the drag moves things.
enum class TDirection { Left, Right };

class TEdgeDrag {
public:
    TEdgeDrag(TTrack& Track, std::vector<TTrackBlock>& Blocks, TSelectionEdge Edge,
              TVideoTime Delta)
        : FTrack(Track), FBlocks(Blocks), FEdge(Edge), FDelta(Delta),
          FDirection(Delta < 0 ? TDirection::Left : TDirection::Right) {}

    void DragBlock(int32_t BlockIndex);

private:
    // Item access and the quantities the shifts are written in.
    TTrackItem* ItemAt(int32_t Index) const { return FTrack.Item(Index); }
    static TVideoTime StartOf(const TTrackItem* Item) { return Item->Position(); }
    // A missing item (a clip without that transition) counts as length 0.
    static TVideoTime LengthOf(const TTrackItem* Item) { return Item ? Item->Duration() : 0; }
    static TVideoTime EndOf(const TTrackItem* Item) { return Item->End(); }
    // The part of a clip that its neighbour's transition must leave clear.
    static TVideoTime QuarterOf(const TTrackItem* Item) { return Item->Duration() / 4; }
    static TTransition* LeadingOf(TTrackItem* Item) { return AsClip(Item)->LeadingTransition(); }
    static TTransition* TrailingOf(TTrackItem* Item) { return AsClip(Item)->TrailingTransition(); }
    // How far a transition after Clip may reach back, and one before Clip
    // forward, while Clip keeps its quarter clear of them.
    static TVideoTime AnchorBefore(TClip* Clip) {
        return StartOf(Clip) + LengthOf(Clip->LeadingTransition()) + QuarterOf(Clip);
    }
    static TVideoTime AnchorAfter(TClip* Clip) {
        return EndOf(Clip) - LengthOf(Clip->TrailingTransition()) - QuarterOf(Clip);
    }
    TVideoTime EndBefore(int32_t Index) const { return Index > 0 ? EndOf(ItemAt(Index - 1)) : 0; }

    static void Lengthen(TTrackItem* Item, TVideoTime By) {
        Item->SetDuration(Item->Duration() + By);
    }
    static void MoveBy(TTrackItem* Item, TVideoTime By) {
        Item->SetPosition(Item->Position() + By);
    }
    static void MoveStartKeepingEnd(TTrackItem* Item, TVideoTime By) {
        MoveBy(Item, By);
        Lengthen(Item, -By);
    }
    void MoveItems(int32_t First, int32_t Last, TVideoTime By) const {
        for (int32_t Index = First; Index <= Last; ++Index)
            MoveBy(ItemAt(Index), By);
    }

    // Reduces the step so that Value moved by it does not pass Bound: a
    // lowest value when moving left, a highest when moving right. Tells
    // whether any movement in the wanted direction is left.
    bool Limit(TVideoTime Value, TVideoTime Bound) {
        if (FDirection == TDirection::Left) {
            FStep = std::max(FStep, Bound - Value);
            return FStep < 0;
        }
        FStep = std::min(FStep, Bound - Value);
        return FStep > 0;
    }
    // Keeps the block's side that leads the movement off the neighbouring
    // block.
    bool LimitByNeighbour() {
        return FDirection == TDirection::Left ? Limit(FBlock->Start, FPreviousEnd)
                                              : Limit(FBlock->End, FNextStart);
    }

    void DragWholeBlock();
    void DragPartOfBlock(int32_t FirstSelected, int32_t LastSelected);
    void ShiftHead(int32_t Index) {
        FDirection == TDirection::Left ? ShiftHeadLeft(Index) : ShiftHeadRight(Index);
    }
    void ShiftTail(int32_t Index) {
        FDirection == TDirection::Left ? ShiftTailLeft(Index) : ShiftTailRight(Index);
    }
    void ShiftHeadLeft(int32_t Index);
    void ShiftTailLeft(int32_t Index);
    void ShiftHeadRight(int32_t Index);
    void ShiftTailRight(int32_t Index);

    TTrack& FTrack;
    std::vector<TTrackBlock>& FBlocks;
    TSelectionEdge FEdge;
    TVideoTime FDelta;
    TDirection FDirection;
    // The block being dragged and its surroundings.
    TTrackBlock* FBlock = nullptr;
    int32_t FFirst = 0;
    int32_t FLast = 0;
    TVideoTime FPreviousEnd = 0;
    TVideoTime FNextStart = UnlimitedVideoTime;
    // What is left of the step of the block being dragged.
    TVideoTime FStep = 0;
};

void TEdgeDrag::DragBlock(int32_t BlockIndex) {
    FBlock = &FBlocks[static_cast<size_t>(BlockIndex)];
    if (!FBlock->IsSelected)
        return;
    FFirst = FBlock->First;
    FLast = FBlock->Last;
    FPreviousEnd = BlockIndex > 0 ? FBlocks[static_cast<size_t>(BlockIndex - 1)].End : 0;
    FNextStart = BlockIndex + 1 < static_cast<int32_t>(FBlocks.size())
                     ? FBlocks[static_cast<size_t>(BlockIndex + 1)].Start
                     : UnlimitedVideoTime;
    int32_t FirstSelected = -1, LastSelected = -1;
    for (int32_t Index = FFirst; Index <= FLast; ++Index)
        if (ItemAt(Index)->IsSelected()) {
            if (FirstSelected < 0)
                FirstSelected = Index;
            LastSelected = Index;
        }
    FStep = FDelta;
    if (FirstSelected == FFirst && LastSelected == FLast)
        DragWholeBlock();
    else
        DragPartOfBlock(FirstSelected, LastSelected);
}

void TEdgeDrag::DragWholeBlock() {
    TTrackItem* Single = FFirst == FLast ? ItemAt(FFirst) : nullptr;
    // A block of one item that is not bound to its media is resized; a clip
    // that is, or a longer block, moves.
    bool Resizable = Single && (!AsClip(Single) || IsStretchableClip(Single));
    bool Left = FDirection == TDirection::Left;
    if (Resizable && FEdge == TSelectionEdge::Left) {
        if (Left ? !LimitByNeighbour()
                 : !Limit(StartOf(Single), EndOf(Single) - MinimumItemDuration))
            return;
        MoveStartKeepingEnd(Single, FStep);
        FBlock->Start += FStep;
    } else if (Resizable && FEdge == TSelectionEdge::Right) {
        if (Left ? !Limit(LengthOf(Single), MinimumItemDuration) : !LimitByNeighbour())
            return;
        Lengthen(Single, FStep);
        FBlock->End += FStep;
    } else {
        if (!LimitByNeighbour())
            return;
        MoveItems(FFirst, FLast, FStep);
        FBlock->Start += FStep;
        FBlock->End += FStep;
    }
}

void TEdgeDrag::DragPartOfBlock(int32_t FirstSelected, int32_t LastSelected) {
    bool AtHead = FirstSelected == FFirst;
    bool FirstStretches = IsStretchableClip(ItemAt(FirstSelected));
    bool LastStretches = IsStretchableClip(ItemAt(LastSelected));
    bool FirstIsTransition = AsTransition(ItemAt(FirstSelected)) != nullptr;
    bool LastIsTransition = AsTransition(ItemAt(LastSelected)) != nullptr;
    if (AtHead && FEdge != TSelectionEdge::Right) {
        // The left edge of a run at the block's head.
        if (FirstStretches)
            ShiftHead(LastSelected);
        else if (FirstIsTransition)
            ShiftTail(FirstSelected);
        else
            ShiftHead(LastSelected);
    } else if (!AtHead && FEdge != TSelectionEdge::Left) {
        // The right edge of a run at the block's tail or in its middle.
        if (LastStretches)
            ShiftTail(FirstSelected);
        else if (LastIsTransition)
            ShiftHead(LastSelected);
        else
            ShiftTail(FirstSelected);
    } else if (!AtHead) {
        // The left edge of a run at the tail or in the middle.
        if (FirstStretches)
            ShiftHead(LastSelected);
        else if (FirstIsTransition)
            ShiftTail(LastSelected);
        else
            ShiftTail(FirstSelected);
    } else {
        // The right edge of a run at the head.
        if (LastStretches)
            ShiftTail(FirstSelected);
        else if (LastIsTransition)
            ShiftHead(LastSelected);
        else
            ShiftHead(FirstSelected);
    }
}

void TEdgeDrag::ShiftHeadLeft(int32_t Index) {
    TTrackItem* Item = ItemAt(Index);
    if (TTransition* Transition = AsTransition(Item)) {
        TClip* FromClip = Transition->FromClip();
        if (FromClip && FromClip->IsStretchable()) {
            if (LengthOf(Transition) < MinimumItemDuration ||
                !Limit(EndOf(Transition), StartOf(Transition) + MinimumItemDuration))
                return;
            Lengthen(FromClip, FStep);
            Lengthen(Transition, FStep);
            return;
        }
        if (FFirst < Index && !LimitByNeighbour())
            return;
        if (LengthOf(Transition) < MinimumItemDuration ||
            !Limit(EndOf(Transition), StartOf(Transition) + MinimumItemDuration))
            return;
        MoveItems(FFirst, Index - 1, FStep);
        Lengthen(Transition, FStep);
        if (FFirst < Index)
            FBlock->Start += FStep;
        if (Index == FLast)
            FBlock->End += FStep;
        return;
    }
    if (!LimitByNeighbour())
        return;
    if (IsStretchableClip(Item)) {
        MoveStartKeepingEnd(Item, FStep);
        MoveItems(FFirst, Index - 1, FStep);
        FBlock->Start += FStep;
        return;
    }
    TTransition* Trailing = AsClip(Item) ? TrailingOf(Item) : nullptr;
    if (Trailing && (LengthOf(Trailing) < MinimumItemDuration ||
                     !Limit(EndOf(Trailing), StartOf(Trailing) + MinimumItemDuration)))
        return;
    MoveItems(FFirst, Index, FStep);
    if (Trailing)
        Lengthen(Trailing, FStep);
    FBlock->Start += FStep;
    if (Index == FLast)
        FBlock->End += FStep;
}

void TEdgeDrag::ShiftTailLeft(int32_t Index) {
    TTrackItem* Item = ItemAt(Index);
    if (TTransition* Transition = AsTransition(Item)) {
        TClip* FromClip = Transition->FromClip();
        TClip* ToClip = Transition->ToClip();
        TVideoTime Earliest = FromClip ? AnchorBefore(FromClip) : EndBefore(Index);
        if (!Limit(StartOf(Transition), Earliest))
            return;
        if (ToClip && ToClip->IsStretchable()) {
            MoveStartKeepingEnd(Transition, FStep);
            MoveStartKeepingEnd(ToClip, FStep);
            return;
        }
        if (ToClip && !Limit(EndOf(ToClip), EndOf(Transition) + QuarterOf(ToClip) +
                                                LengthOf(ToClip->TrailingTransition())))
            return;
        MoveStartKeepingEnd(Transition, FStep);
        MoveItems(Index + 1, FLast, FStep);
        if (Index == FFirst)
            FBlock->Start += FStep;
        if (Index < FLast)
            FBlock->End += FStep;
        return;
    }
    TClip* Clip = AsClip(Item);
    TTransition* Leading = Clip ? LeadingOf(Item) : nullptr;
    TTransition* Trailing = Clip ? TrailingOf(Item) : nullptr;
    if (IsStretchableClip(Item)) {
        if (!Limit(EndOf(Item),
                   StartOf(Item) + LengthOf(Leading) + MinimumItemDuration + LengthOf(Trailing)))
            return;
        Lengthen(Item, FStep);
        MoveItems(Index + 1, FLast, FStep);
        FBlock->End += FStep;
        return;
    }
    TVideoTime EarliestEnd =
        Leading ? EndOf(Leading) + QuarterOf(Item) + LengthOf(Trailing) : EndBefore(Index);
    TVideoTime EarliestStart =
        Leading && Leading->FromClip() ? AnchorBefore(Leading->FromClip()) : FPreviousEnd;
    if (!Limit(EndOf(Item), EarliestEnd) || !Limit(StartOf(Item), EarliestStart))
        return;
    if (Leading)
        MoveStartKeepingEnd(Leading, FStep);
    MoveItems(Index, FLast, FStep);
    if (Index == FFirst || (Leading && Index == FFirst + 1))
        FBlock->Start += FStep;
    FBlock->End += FStep;
}

void TEdgeDrag::ShiftHeadRight(int32_t Index) {
    TTrackItem* Item = ItemAt(Index);
    if (TTransition* Transition = AsTransition(Item)) {
        TClip* FromClip = Transition->FromClip();
        TClip* ToClip = Transition->ToClip();
        TVideoTime Latest = ToClip ? AnchorAfter(ToClip) : FNextStart;
        if (FromClip && FromClip->IsStretchable()) {
            if (!Limit(EndOf(Transition), Latest))
                return;
            Lengthen(FromClip, FStep);
            Lengthen(Transition, FStep);
            return;
        }
        if (FromClip && !Limit(StartOf(FromClip), StartOf(Transition) - QuarterOf(FromClip) -
                                                      LengthOf(FromClip->LeadingTransition())))
            return;
        if (!Limit(EndOf(Transition), Latest))
            return;
        MoveItems(FFirst, Index - 1, FStep);
        Lengthen(Transition, FStep);
        FBlock->Start += FStep;
        if (Index == FLast)
            FBlock->End += FStep;
        return;
    }
    TClip* Clip = AsClip(Item);
    TTransition* Leading = Clip ? LeadingOf(Item) : nullptr;
    TTransition* Trailing = Clip ? TrailingOf(Item) : nullptr;
    if (IsStretchableClip(Item)) {
        if (!Limit(StartOf(Item),
                   EndOf(Item) - LengthOf(Trailing) - MinimumItemDuration - LengthOf(Leading)))
            return;
        MoveStartKeepingEnd(Item, FStep);
        MoveItems(FFirst, Index - 1, FStep);
        FBlock->Start += FStep;
        return;
    }
    if (Trailing) {
        if (!Limit(StartOf(Item), StartOf(Trailing) - QuarterOf(Item) - LengthOf(Leading)))
            return;
    } else if (Index + 1 < FTrack.ItemCount() &&
               !Limit(StartOf(Item), StartOf(ItemAt(Index + 1)))) {
        return;
    }
    TVideoTime LatestEnd =
        Trailing && Trailing->ToClip() ? AnchorAfter(Trailing->ToClip()) : FNextStart;
    if (!Limit(EndOf(Item), LatestEnd))
        return;
    MoveItems(FFirst, Index, FStep);
    if (Trailing)
        Lengthen(Trailing, FStep);
    FBlock->Start += FStep;
    if (Index == FLast || (Trailing && Index + 1 == FLast))
        FBlock->End += FStep;
}

void TEdgeDrag::ShiftTailRight(int32_t Index) {
    TTrackItem* Item = ItemAt(Index);
    if (TTransition* Transition = AsTransition(Item)) {
        TClip* ToClip = Transition->ToClip();
        if (ToClip && ToClip->IsStretchable()) {
            if (LengthOf(Transition) < MinimumItemDuration ||
                !Limit(StartOf(Transition), EndOf(Transition) - MinimumItemDuration))
                return;
            MoveStartKeepingEnd(Transition, FStep);
            MoveStartKeepingEnd(ToClip, FStep);
            return;
        }
        if (Index < FLast && !LimitByNeighbour())
            return;
        if (LengthOf(Transition) < MinimumItemDuration ||
            !Limit(StartOf(Transition), EndOf(Transition) - MinimumItemDuration))
            return;
        MoveStartKeepingEnd(Transition, FStep);
        MoveItems(Index + 1, FLast, FStep);
        if (Index == FFirst)
            FBlock->Start += FStep;
        if (Index < FLast)
            FBlock->End += FStep;
        return;
    }
    if (!LimitByNeighbour())
        return;
    if (IsStretchableClip(Item)) {
        Lengthen(Item, FStep);
        MoveItems(Index + 1, FLast, FStep);
        FBlock->End += FStep;
        return;
    }
    TTransition* Leading = AsClip(Item) ? LeadingOf(Item) : nullptr;
    if (Leading && (LengthOf(Leading) < MinimumItemDuration ||
                    !Limit(StartOf(Item), EndOf(Leading) - MinimumItemDuration)))
        return;
    if (Leading)
        MoveStartKeepingEnd(Leading, FStep);
    MoveItems(Index, FLast, FStep);
    if (Index == FFirst || (Leading && Index == FFirst + 1))
        FBlock->Start += FStep;
    FBlock->End += FStep;
}

} // namespace

void TTrack::DragSelectionEdge(TSelectionEdge Edge, TVideoTime Delta) {
    if (Delta == 0 && !FTrackingActive)
        return;
    TEditBrackets Brackets(*this);
    std::unique_ptr<TTrackItemsUndo> Undo = StartDragStep();
    std::vector<TTrackBlock> Blocks = GetBlocks();
    TEdgeDrag Drag(*this, Blocks, Edge, Delta);
    auto Count = static_cast<int32_t>(Blocks.size());
    // Blocks are dragged front first in the direction of the drag, so that
    // each sees where the block ahead of it has gone.
    if (Delta != 0)
        for (int32_t Done = 0; Done < Count; ++Done)
            Drag.DragBlock(Delta < 0 ? Done : Count - 1 - Done);
    Signal(ProjectChangeTiming);
    Normalize(false);
    if (Undo && !Undo->IsCurrent())
        UndoHistory().Add(std::move(Undo));
}
