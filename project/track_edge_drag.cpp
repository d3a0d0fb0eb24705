// Dragging the edges of the selected items of a track. A block (a run of
// items joined by transitions) that is selected as a whole is resized or
// moved; a block of which only a run is selected is reshaped by one of four
// shifts, which move one end of the block and let an item at the run's edge,
// or the transition next to it, take up the change.

#include "project/edit_support.h"
#include "project/list_undo.h"

#include <algorithm>

namespace {

constexpr TVideoTime NoNextStart = 576460752303423487;

class TEdgeDrag {
public:
    TEdgeDrag(TTrack& Track, std::vector<TTrackBlock>& Blocks, int32_t Mode, TVideoTime Delta)
        : FTrack(Track), FBlocks(Blocks), FMode(Mode), FDelta(Delta) {}

    void DragBlock(int32_t B);

private:
    // Item access and the quantities the shifts are written in.
    TTrackItem* At(int32_t K) const { return FTrack.Item(K); }
    static TVideoTime P(const TTrackItem* X) { return X->Position(); }
    static TVideoTime L(const TTrackItem* X) { return X ? X->Duration() : 0; }
    static TVideoTime E(const TTrackItem* X) { return X->End(); }
    static TVideoTime Q(const TTrackItem* X) { return X->Duration() / 4; }
    static TTransition* LT(TTrackItem* X) { return AsClip(X)->LeadingTransition(); }
    static TTransition* TT(TTrackItem* X) { return AsClip(X)->TrailingTransition(); }
    static TVideoTime AnchorBefore(TClip* Clip) {
        return P(Clip) + L(Clip->LeadingTransition()) + Q(Clip);
    }
    static TVideoTime AnchorAfter(TClip* Clip) {
        return E(Clip) - L(Clip->TrailingTransition()) - Q(Clip);
    }
    TVideoTime EndBefore(int32_t K) const { return K > 0 ? E(At(K - 1)) : 0; }

    static void Grow(TTrackItem* X, TVideoTime By) { X->SetDuration(X->Duration() + By); }
    static void Shift(TTrackItem* X, TVideoTime By) { X->SetPosition(X->Position() + By); }
    // Moves the start and keeps the end.
    static void MoveStart(TTrackItem* X, TVideoTime By) {
        Shift(X, By);
        Grow(X, -By);
    }
    void MoveRange(int32_t First, int32_t Last, TVideoTime By) const {
        for (int32_t K = First; K <= Last; ++K)
            Shift(At(K), By);
    }

    // The limits: each reduces the shift's magnitude so that the bound
    // holds, and tells whether any movement in the wanted direction is left.
    bool AtLeast(TVideoTime Value, TVideoTime Bound) {
        D = std::max(D, Bound - Value);
        return D < 0;
    }
    bool AtMost(TVideoTime Value, TVideoTime Bound) {
        D = std::min(D, Bound - Value);
        return D > 0;
    }

    void DragWholeBlock();
    void DragPartOfBlock(int32_t J, int32_t I);
    void ShiftHeadLeft(int32_t K);
    void ShiftTailLeft(int32_t K);
    void ShiftHeadRight(int32_t K);
    void ShiftTailRight(int32_t K);

    TTrack& FTrack;
    std::vector<TTrackBlock>& FBlocks;
    int32_t FMode;
    TVideoTime FDelta;
    // The block being dragged and its surroundings.
    TTrackBlock* Block = nullptr;
    int32_t F = 0, Lst = 0;
    TVideoTime PrevEnd = 0, NextStart = NoNextStart;
    // The shift in progress.
    TVideoTime D = 0;
};

void TEdgeDrag::DragBlock(int32_t B) {
    Block = &FBlocks[static_cast<size_t>(B)];
    if (!Block->IsSelected)
        return;
    F = Block->First;
    Lst = Block->Last;
    PrevEnd = B > 0 ? FBlocks[static_cast<size_t>(B - 1)].End : 0;
    NextStart = B + 1 < static_cast<int32_t>(FBlocks.size())
                    ? FBlocks[static_cast<size_t>(B + 1)].Start
                    : NoNextStart;
    int32_t J = -1, I = -1;
    for (int32_t K = F; K <= Lst; ++K)
        if (At(K)->IsSelected()) {
            if (J < 0)
                J = K;
            I = K;
        }
    D = FDelta;
    if (J == F && I == Lst)
        DragWholeBlock();
    else
        DragPartOfBlock(J, I);
}

void TEdgeDrag::DragWholeBlock() {
    TTrackItem* Single = F == Lst ? At(F) : nullptr;
    // A block of one item that is not bound to its media is resized; a clip
    // that is, or a longer block, moves.
    bool Resizable = Single && (!AsClip(Single) || IsStretchableClip(Single));
    if (Resizable && FMode == 1) {
        if (D < 0 ? !AtLeast(Block->Start, PrevEnd)
                  : !AtMost(P(Single), E(Single) - MinimumItemDuration))
            return;
        MoveStart(Single, D);
        Block->Start += D;
    } else if (Resizable && FMode == 2) {
        if (D < 0 ? !AtLeast(L(Single), MinimumItemDuration) : !AtMost(Block->End, NextStart))
            return;
        Grow(Single, D);
        Block->End += D;
    } else {
        if (D < 0 ? !AtLeast(Block->Start, PrevEnd) : !AtMost(Block->End, NextStart))
            return;
        MoveRange(F, Lst, D);
        Block->Start += D;
        Block->End += D;
    }
}

void TEdgeDrag::DragPartOfBlock(int32_t J, int32_t I) {
    bool Head = J == F;
    bool SJ = IsStretchableClip(At(J)), SI = IsStretchableClip(At(I));
    bool TJ = AsTransition(At(J)) != nullptr, TI = AsTransition(At(I)) != nullptr;
    bool Left = D < 0;
    auto HeadShift = [&](int32_t K) { Left ? ShiftHeadLeft(K) : ShiftHeadRight(K); };
    auto TailShift = [&](int32_t K) { Left ? ShiftTailLeft(K) : ShiftTailRight(K); };
    if (Head && FMode != 2) {
        // The left edge of a run at the block's head.
        if (SJ)
            HeadShift(I);
        else if (TJ)
            TailShift(J);
        else
            HeadShift(I);
    } else if (!Head && FMode != 1) {
        // The right edge of a run at the block's tail or in its middle.
        if (SI)
            TailShift(J);
        else if (TI)
            HeadShift(I);
        else
            TailShift(J);
    } else if (!Head) {
        // The left edge of a run at the tail or in the middle.
        if (SJ)
            HeadShift(I);
        else if (TJ)
            TailShift(I);
        else
            TailShift(J);
    } else {
        // The right edge of a run at the head.
        if (SI)
            TailShift(J);
        else if (TI)
            HeadShift(I);
        else
            HeadShift(J);
    }
}

void TEdgeDrag::ShiftHeadLeft(int32_t K) {
    TTrackItem* X = At(K);
    if (TTransition* T = AsTransition(X)) {
        TClip* PC = T->FromClip();
        if (PC && PC->IsStretchable()) {
            if (L(T) < MinimumItemDuration || !AtLeast(E(T), P(T) + MinimumItemDuration))
                return;
            Grow(PC, D);
            Grow(T, D);
            return;
        }
        if (F < K && !AtLeast(Block->Start, PrevEnd))
            return;
        if (L(T) < MinimumItemDuration || !AtLeast(E(T), P(T) + MinimumItemDuration))
            return;
        MoveRange(F, K - 1, D);
        Grow(T, D);
        if (F < K)
            Block->Start += D;
        if (K == Lst)
            Block->End += D;
        return;
    }
    if (!AtLeast(Block->Start, PrevEnd))
        return;
    if (IsStretchableClip(X)) {
        MoveStart(X, D);
        MoveRange(F, K - 1, D);
        Block->Start += D;
        return;
    }
    TTransition* Trailing = AsClip(X) ? TT(X) : nullptr;
    if (Trailing && (L(Trailing) < MinimumItemDuration ||
                     !AtLeast(E(Trailing), P(Trailing) + MinimumItemDuration)))
        return;
    MoveRange(F, K, D);
    if (Trailing)
        Grow(Trailing, D);
    Block->Start += D;
    if (K == Lst)
        Block->End += D;
}

void TEdgeDrag::ShiftTailLeft(int32_t K) {
    TTrackItem* X = At(K);
    if (TTransition* T = AsTransition(X)) {
        TClip* PC = T->FromClip();
        TClip* NC = T->ToClip();
        TVideoTime W = PC ? AnchorBefore(PC) : EndBefore(K);
        if (!AtLeast(P(T), W))
            return;
        if (NC && NC->IsStretchable()) {
            MoveStart(T, D);
            MoveStart(NC, D);
            return;
        }
        if (NC && !AtLeast(E(NC), E(T) + Q(NC) + L(NC->TrailingTransition())))
            return;
        MoveStart(T, D);
        MoveRange(K + 1, Lst, D);
        if (K == F)
            Block->Start += D;
        if (K < Lst)
            Block->End += D;
        return;
    }
    TClip* Clip = AsClip(X);
    TTransition* Leading = Clip ? LT(X) : nullptr;
    TTransition* Trailing = Clip ? TT(X) : nullptr;
    if (IsStretchableClip(X)) {
        if (!AtLeast(E(X), P(X) + L(Leading) + MinimumItemDuration + L(Trailing)))
            return;
        Grow(X, D);
        MoveRange(K + 1, Lst, D);
        Block->End += D;
        return;
    }
    TVideoTime U = Leading ? E(Leading) + Q(X) + L(Trailing) : EndBefore(K);
    TVideoTime V = Leading && Leading->FromClip() ? AnchorBefore(Leading->FromClip()) : PrevEnd;
    if (!AtLeast(E(X), U) || !AtLeast(P(X), V))
        return;
    if (Leading)
        MoveStart(Leading, D);
    MoveRange(K, Lst, D);
    if (K == F || (Leading && K == F + 1))
        Block->Start += D;
    Block->End += D;
}

void TEdgeDrag::ShiftHeadRight(int32_t K) {
    TTrackItem* X = At(K);
    if (TTransition* T = AsTransition(X)) {
        TClip* PC = T->FromClip();
        TClip* NC = T->ToClip();
        TVideoTime Bound = NC ? AnchorAfter(NC) : NextStart;
        if (PC && PC->IsStretchable()) {
            if (!AtMost(E(T), Bound))
                return;
            Grow(PC, D);
            Grow(T, D);
            return;
        }
        if (PC && !AtMost(P(PC), P(T) - Q(PC) - L(PC->LeadingTransition())))
            return;
        if (!AtMost(E(T), Bound))
            return;
        MoveRange(F, K - 1, D);
        Grow(T, D);
        Block->Start += D;
        if (K == Lst)
            Block->End += D;
        return;
    }
    TClip* Clip = AsClip(X);
    TTransition* Leading = Clip ? LT(X) : nullptr;
    TTransition* Trailing = Clip ? TT(X) : nullptr;
    if (IsStretchableClip(X)) {
        if (!AtMost(P(X), E(X) - L(Trailing) - MinimumItemDuration - L(Leading)))
            return;
        MoveStart(X, D);
        MoveRange(F, K - 1, D);
        Block->Start += D;
        return;
    }
    if (Trailing) {
        if (!AtMost(P(X), P(Trailing) - Q(X) - L(Leading)))
            return;
    } else if (K + 1 < FTrack.ItemCount() && !AtMost(P(X), P(At(K + 1)))) {
        return;
    }
    TVideoTime Y = Trailing && Trailing->ToClip() ? AnchorAfter(Trailing->ToClip()) : NextStart;
    if (!AtMost(E(X), Y))
        return;
    MoveRange(F, K, D);
    if (Trailing)
        Grow(Trailing, D);
    Block->Start += D;
    if (K == Lst || (Trailing && K + 1 == Lst))
        Block->End += D;
}

void TEdgeDrag::ShiftTailRight(int32_t K) {
    TTrackItem* X = At(K);
    if (TTransition* T = AsTransition(X)) {
        TClip* NC = T->ToClip();
        if (NC && NC->IsStretchable()) {
            if (L(T) < MinimumItemDuration || !AtMost(P(T), E(T) - MinimumItemDuration))
                return;
            MoveStart(T, D);
            MoveStart(NC, D);
            return;
        }
        if (K < Lst && !AtMost(Block->End, NextStart))
            return;
        if (L(T) < MinimumItemDuration || !AtMost(P(T), E(T) - MinimumItemDuration))
            return;
        MoveStart(T, D);
        MoveRange(K + 1, Lst, D);
        if (K == F)
            Block->Start += D;
        if (K < Lst)
            Block->End += D;
        return;
    }
    if (!AtMost(Block->End, NextStart))
        return;
    if (IsStretchableClip(X)) {
        Grow(X, D);
        MoveRange(K + 1, Lst, D);
        Block->End += D;
        return;
    }
    TTransition* Leading = AsClip(X) ? LT(X) : nullptr;
    if (Leading && (L(Leading) < MinimumItemDuration ||
                    !AtMost(P(X), E(Leading) - MinimumItemDuration)))
        return;
    if (Leading)
        MoveStart(Leading, D);
    MoveRange(K, Lst, D);
    if (K == F || (Leading && K == F + 1))
        Block->Start += D;
    Block->End += D;
}

} // namespace

void TTrack::DragSelectionEdge(int32_t Mode, TVideoTime Delta) {
    if (Delta == 0 && !FTrackingActive)
        return;
    TEditBrackets Brackets(*this);
    std::unique_ptr<TTrackItemsUndo> Undo = StartDragStep();
    std::vector<TTrackBlock> Blocks = GetBlocks();
    TEdgeDrag Drag(*this, Blocks, Mode, Delta);
    auto Count = static_cast<int32_t>(Blocks.size());
    if (Delta != 0) {
        if (Delta < 0)
            for (int32_t B = 0; B < Count; ++B)
                Drag.DragBlock(B);
        else
            for (int32_t B = Count - 1; B >= 0; --B)
                Drag.DragBlock(B);
    }
    Signal(ProjectChangeTiming);
    Normalize(false);
    if (Undo && !Undo->IsCurrent())
        UndoHistory().Add(std::move(Undo));
}
