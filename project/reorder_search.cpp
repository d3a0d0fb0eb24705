#include "project/reorder_search.h"

#include <algorithm>

namespace {

constexpr TVideoTime NoLimit = UnlimitedVideoTime;

const TTrackBlock& BlockAt(const std::vector<TTrackBlock>& Blocks, int32_t Index) {
    return Blocks[size_t(Index)];
}

TVideoTime Middle(const TTrackBlock& Block) {
    return Block.Start + (Block.End - Block.Start) / 2;
}

int32_t FindTarget(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run,
                   TVideoTime Delta, TVideoTime Reference) {
    const int32_t Count = int32_t(Blocks.size());
    if (Delta < 0) {
        for (int32_t I = 0; I < Run.First; ++I)
            if (Middle(BlockAt(Blocks, I)) >= Reference)
                return I;
    } else if (Delta > 0) {
        for (int32_t I = Count - 1; I > Run.Last; --I)
            if (Middle(BlockAt(Blocks, I)) <= Reference)
                return I;
    }
    return -1;
}

} // namespace

TSelectedRun FindSelectedRun(const std::vector<TTrackBlock>& Blocks) {
    TSelectedRun Run;
    for (int32_t I = 0; I < int32_t(Blocks.size()); ++I)
        if (BlockAt(Blocks, I).IsSelected) {
            if (Run.First < 0)
                Run.First = I;
            Run.Last = I;
        }
    if (Run.IsEmpty())
        return Run;
    Run.IsContiguous = std::all_of(Blocks.begin() + Run.First, Blocks.begin() + Run.Last + 1,
                                   [](const TTrackBlock& Block) { return Block.IsSelected; });
    return Run;
}

int32_t RunItemCount(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run) {
    if (Run.IsEmpty())
        return 0;
    return BlockAt(Blocks, Run.Last).Last - BlockAt(Blocks, Run.First).First + 1;
}

TReorder FindReorder(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run,
                     TVideoTime Delta, TVideoTime MouseTime) {
    TReorder Reorder;
    if (Run.IsEmpty() || !Run.IsContiguous)
        return Reorder;
    const int32_t Count = int32_t(Blocks.size());
    const TTrackBlock& First = BlockAt(Blocks, Run.First);
    const TTrackBlock& Last = BlockAt(Blocks, Run.Last);
    const TVideoTime Length = Last.End - First.Start;
    const TVideoTime Start = First.Start + Delta;
    const TVideoTime GapStart = Run.First > 0 ? BlockAt(Blocks, Run.First - 1).End : 0;
    const TVideoTime GapEnd = Run.Last + 1 < Count ? BlockAt(Blocks, Run.Last + 1).Start : NoLimit;
    const TVideoTime Reference =
        Start >= GapStart && Start + Length <= GapEnd ? Start + Length / 2 : MouseTime;
    Reorder.MovingLeft = Delta < 0;
    Reorder.TargetBlock = FindTarget(Blocks, Run, Delta, Reference);
    if (!Reorder.IsFound())
        return Reorder;
    // The space beside the target block, on the side the run comes from.
    const int32_t Target = Reorder.TargetBlock;
    TVideoTime SlotStart = 0, SlotEnd = NoLimit;
    if (Reorder.MovingLeft) {
        SlotStart = Target > 0 ? BlockAt(Blocks, Target - 1).End : 0;
        SlotEnd = BlockAt(Blocks, Target).Start;
    } else {
        SlotStart = BlockAt(Blocks, Target).End;
        SlotEnd = Target + 1 < Count ? BlockAt(Blocks, Target + 1).Start : NoLimit;
    }
    TVideoTime NewStart = Start;
    if (SlotEnd != NoLimit && NewStart + Length > SlotEnd)
        NewStart = SlotEnd - Length;
    Reorder.NewStart = std::max(NewStart, SlotStart);
    return Reorder;
}

int32_t ReorderTargetIndex(const std::vector<TTrackBlock>& Blocks, const TSelectedRun& Run,
                           const TReorder& Reorder) {
    const TTrackBlock& Target = BlockAt(Blocks, Reorder.TargetBlock);
    return Reorder.MovingLeft ? Target.First : Target.Last - RunItemCount(Blocks, Run) + 1;
}
