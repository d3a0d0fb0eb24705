// Drags on a track: the tracking bracket that spans a drag, moving the
// selected blocks, reordering items, and closing gaps.

#include "project/edit_support.h"
#include "project/list_undo.h"

#include <algorithm>

namespace {

void MoveItems(TTrack& Track, int32_t First, int32_t Last, TVideoTime Delta) {
    for (int32_t I = First; I <= Last; ++I)
        Track.Item(I)->SetPosition(Track.Item(I)->Position() + Delta);
}

} // namespace

void TTrack::RestoreTrackingSnapshot() {
    for (const TRefPtr<TTrackItem>& Item : FItems) {
        Item->SetPosition(Item->TrackPosition());
        Item->SetDuration(Item->TrackDuration());
    }
}

bool TTrack::DiffersFromSnapshot() const {
    return std::any_of(FItems.begin(), FItems.end(), [](const TRefPtr<TTrackItem>& Item) {
        return Item->Position() != Item->TrackPosition() ||
               Item->Duration() != Item->TrackDuration();
    });
}

std::unique_ptr<TTrackItemsUndo> TTrack::StartDragStep() {
    if (FTrackingActive) {
        RestoreTrackingSnapshot();
        return nullptr;
    }
    return std::make_unique<TTrackItemsUndo>(this, GetText(TTextSlot::UndoMoveText));
}

void TTrack::BeginTracking() {
    if (FTrackingDepth++ > 0)
        return;
    if (FProject)
        FProject->BeginTracking();
    FTrackingActive = true;
    FTrackingDirty = false;
    for (const TRefPtr<TTrackItem>& Item : FItems)
        Item->TakeTrackingSnapshot();
}

void TTrack::EndTracking() {
    if (FTrackingDepth <= 0 || --FTrackingDepth > 0)
        return;
    // A drag that ended where it began leaves no step; one that reordered
    // items has its step open already.
    bool Dirty = FTrackingDirty && (DiffersFromSnapshot() || FTrackingGroupOpen);
    {
        TEditBrackets Brackets(*this);
        if (Dirty)
            Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoMoveText));
        if (FTrackingGroupOpen) {
            FTrackingGroupOpen = false;
            UndoHistory().EndGroup();
        }
        FTrackingActive = false;
        if (FTrackingDirty) {
            FTrackingDirty = false;
            UpdateRenderElements();
        }
    }
    if (FProject)
        FProject->EndTracking();
}

void TTrack::MoveSelection(TVideoTime Delta) {
    if (Delta == 0 && !FTrackingActive)
        return;
    TEditBrackets Brackets(*this);
    if (Delta == 0) {
        if (DiffersFromSnapshot()) {
            RestoreTrackingSnapshot();
            Normalize(false);
        }
        return;
    }
    std::unique_ptr<TTrackItemsUndo> Undo = StartDragStep();
    std::vector<TTrackBlock> Blocks = GetBlocks();
    auto Count = static_cast<int32_t>(Blocks.size());
    auto MoveBlock = [&](int32_t B) {
        TTrackBlock& Block = Blocks[static_cast<size_t>(B)];
        if (!Block.IsSelected)
            return;
        TVideoTime Move = Delta;
        if (Delta < 0)
            Move = std::min<TVideoTime>(
                std::max(Move, (B > 0 ? Blocks[static_cast<size_t>(B - 1)].End : 0) - Block.Start),
                0);
        else
            Move = std::max<TVideoTime>(
                std::min(Move, (B + 1 < Count ? Blocks[static_cast<size_t>(B + 1)].Start
                                              : UnlimitedVideoTime) -
                                   Block.End),
                0);
        if (Move == 0)
            return;
        MoveItems(*this, Block.First, Block.Last, Move);
        Block.Start += Move;
        Block.End += Move;
    };
    if (Delta < 0)
        for (int32_t B = 0; B < Count; ++B)
            MoveBlock(B);
    else
        for (int32_t B = Count - 1; B >= 0; --B)
            MoveBlock(B);
    Signal(ProjectChangeTiming);
    Normalize(false);
    if (Undo && !Undo->IsCurrent())
        UndoHistory().Add(std::move(Undo));
}

void TTrack::MoveItemsTo(int32_t First, int32_t Target, int32_t Count, TVideoTime NewStart) {
    if (Count <= 0 || First < 0 || First + Count > ItemCount() || Target < 0 ||
        Target > ItemCount() - Count)
        return;
    int32_t Last = First + Count - 1;
    if (HasLeadingLink(Item(First)) || HasTrailingLink(Item(Last)))
        return;
    // The items the run lands between, counted without the run: they must
    // not be a transition and its clip.
    std::vector<TTrackItem*> Rest;
    for (int32_t I = 0; I < ItemCount(); ++I)
        if (I < First || I > Last)
            Rest.push_back(Item(I));
    if (Target > 0 && HasTrailingLink(Rest[static_cast<size_t>(Target - 1)]))
        return;
    if (Target < static_cast<int32_t>(Rest.size()) &&
        HasLeadingLink(Rest[static_cast<size_t>(Target)]))
        return;
    TEditBrackets Brackets(*this);
    if (FTrackingActive && !FTrackingGroupOpen) {
        UndoHistory().BeginGroup(GetText(TTextSlot::UndoMoveText));
        FTrackingGroupOpen = true;
    }
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoMoveText));
    std::vector<TRefPtr<TTrackItem>> Run;
    for (int32_t I = First; I <= Last; ++I)
        Run.emplace_back(Item(I));
    for (auto& Moved : Run)
        RemoveItem(Moved.Get());
    for (int32_t K = 0; K < Count; ++K)
        InsertItem(Run[static_cast<size_t>(K)].Get(), Target + K);
    if (FTrackingActive)
        RestoreTrackingSnapshot();
    TVideoTime Shift = NewStart - Run.front()->Position();
    MoveItems(*this, Target, Target + Count - 1, Shift);
    Signal(ProjectChangeTiming);
    Normalize(false);
}

void TTrack::CloseGapAt(TVideoTime Time) {
    std::vector<TTrackBlock> Blocks = GetBlocks();
    for (size_t B = 0; B < Blocks.size(); ++B) {
        if (Blocks[B].End <= Time)
            continue;
        TVideoTime GapStart = B > 0 ? Blocks[B - 1].End : 0;
        TVideoTime Gap = Blocks[B].Start - GapStart;
        if (Gap <= 0)
            return;
        TEditBrackets Brackets(*this);
        Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoCloseGapText));
        MoveItems(*this, Blocks[B].First, ItemCount() - 1, -Gap);
        Signal(ProjectChangeTiming);
        Normalize(false);
        return;
    }
}

void TTrack::CloseGapsFrom(TVideoTime Time) {
    std::vector<TTrackBlock> Blocks = GetBlocks();
    size_t From = 0;
    while (From < Blocks.size() && Blocks[From].End <= Time)
        ++From;
    if (From == Blocks.size())
        return;
    TEditBrackets Brackets(*this);
    auto Undo = std::make_unique<TTrackItemsUndo>(this, GetText(TTextSlot::UndoCloseGapText));
    TVideoTime RunningEnd = From > 0 ? Blocks[From - 1].End : 0;
    bool Moved = false;
    for (size_t B = From; B < Blocks.size(); ++B) {
        TVideoTime Shift = RunningEnd - Blocks[B].Start;
        if (Shift != 0) {
            MoveItems(*this, Blocks[B].First, Blocks[B].Last, Shift);
            Moved = true;
        }
        RunningEnd = Blocks[B].End + Shift;
    }
    if (!Moved)
        return;
    UndoHistory().Add(std::move(Undo));
    Signal(ProjectChangeTiming);
    Normalize(false);
}
