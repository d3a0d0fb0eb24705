// The editing operations of a track that cut, join and trim file clips.

#include "project/edit_support.h"
#include "project/file_clip.h"
#include "project/item_copy.h"
#include "project/item_undo.h"
#include "project/list_undo.h"

#include "core/text.h"

#include <algorithm>
#include <limits>

namespace {

// The least a split leaves on either side of the cut, outside the clip's
// transitions.
constexpr TVideoTime SplitMargin = 400000;

TFileClip* AsFileClip(TTrackItem* Item) {
    return dynamic_cast<TFileClip*>(Item);
}

// A new clip of Clip's file that carries on where Clip leaves off: the same
// settings and clip effects, the same zoom and pan.
TRefPtr<TFileClip> NewClipLike(const TFileClip& Clip, TVideoTime Position) {
    TRefPtr<TFileClip> Copy = MakeRef<TFileClip>(Position, Clip);
    Copy->SetZoomPanRaw(Clip.ZoomPanBegin(), Clip.ZoomPanEnd(), Clip.IsEqualSize(),
                        Clip.IsCommonCenter());
    CopySettings(Clip, *Copy);
    CopyClipEffects(Clip, *Copy);
    return Copy;
}

} // namespace

void TTrack::SplitClip(TFileClip* Clip, TVideoTime Time) {
    if (!Clip || Clip->Track() != this)
        return;
    TVideoTime First = Clip->Position() + SplitMargin + LengthOf(Clip->LeadingTransition());
    TVideoTime Last = Clip->End() - SplitMargin - LengthOf(Clip->TrailingTransition());
    if (First > Last)
        return;
    Time = std::clamp(Time, First, Last);
    TVideoTime Cut = Time - Clip->Position();
    TRefPtr<TFileClip> Second = NewClipLike(*Clip, Time);
    TEditBrackets Brackets(*this);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoSplitText));
    Record<TFileClipTrimUndo>(Clip);
    Record<TTrackItemsUndo>(this);
    TTransition* Trailing = Clip->TrailingTransition();
    TVideoTime TrimBegin = Clip->TrimBegin(), TrimEnd = Clip->TrimEnd();
    InsertNewItem(Second.Get(), Clip->Index() + 1);
    Second->SetPosition(Time);
    Second->SetTrim(TrimBegin + Cut, TrimEnd);
    Clip->SetTrim(TrimBegin, TrimBegin + Cut);
    if (Trailing)
        LinkFrom(Trailing, Second.Get());
    if (TTransition* Leading = Clip->LeadingTransition())
        Leading->SetDuration(
            MaxTransitionLength(Leading->FromClip(), Clip, Leading->Duration()));
    if (Trailing)
        Trailing->SetDuration(
            MaxTransitionLength(Second.Get(), Trailing->ToClip(), Trailing->Duration()));
    Signal(ProjectChangeTiming);
    Normalize(false);
}

void TTrack::JoinClips(int32_t First, int32_t Last, TVideoTime Time) {
    if (First == Last || First < 0 || Last >= ItemCount() || First > Last)
        return;
    TFileClip* Head = AsFileClip(Item(First));
    TClip* Tail = AsClip(Item(Last));
    if (!Head || !Tail)
        return;
    TVideoTime TrimBegin = std::numeric_limits<TVideoTime>::max();
    TVideoTime TrimEnd = std::numeric_limits<TVideoTime>::min();
    for (int32_t I = First; I <= Last; ++I)
        if (TFileClip* File = AsFileClip(Item(I))) {
            TrimBegin = std::min(TrimBegin, File->TrimBegin());
            TrimEnd = std::max(TrimEnd, File->TrimEnd());
        }
    if (TrimBegin >= TrimEnd)
        return;
    // The joined clip keeps the settings and clip effects of the first clip.
    TRefPtr<TFileClip> Joined = NewClipLike(*Head, Time);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoJoinText));
    TTransition* Leading = Head->LeadingTransition();
    TTransition* Trailing = Tail->TrailingTransition();
    TVideoTime Span = Tail->End() - Head->Position();
    const auto* TailFile = AsFileClip(Tail);
    TZoomPanValue End = TailFile ? TailFile->ZoomPanEnd() : Head->ZoomPanEnd();
    bool IsEqualSize = Head->IsEqualSize() && TailFile && TailFile->IsEqualSize();
    bool IsCommonCenter = Head->IsCommonCenter() && TailFile && TailFile->IsCommonCenter();
    Joined->SetZoomPanRaw(Head->ZoomPanBegin(), End, IsEqualSize, IsCommonCenter);
    if (Leading)
        LinkTo(Leading, nullptr);
    if (Trailing)
        LinkFrom(Trailing, nullptr);
    InsertNewItem(Joined.Get(), Last + 1);
    for (int32_t I = Last; I >= First; --I)
        RemoveLinkedItem(Item(I));
    Joined->SetTrim(TrimBegin, TrimEnd);
    if (Joined->IsStretchable()) {
        Joined->SetDuration(Span);
        Joined->FollowDuration();
    }
    FitBetween(Joined.Get(), Leading, Trailing);
    Signal(ProjectChangeTiming);
    Normalize(false);
}

namespace {

bool SameFile(const TFileClip& A, const TFileClip& B) {
    return SameTextAscii(A.FileName(), B.FileName());
}

// The nearest item from Index on in direction Step (-1 or 1) that is not a
// transition; -1 when there is none.
int32_t NearestClipIndex(const TTrack& Track, int32_t Index, int32_t Step) {
    for (; Index >= 0 && Index < Track.ItemCount(); Index += Step)
        if (!dynamic_cast<TTransition*>(Track.Item(Index)))
            return Index;
    return -1;
}

// How far the run of clips to merge with Target reaches in direction Step:
// the index of its last clip, Target's own index when none joins.
int32_t MergeReach(const TTrack& Track, const TFileClip& Target, int32_t Step) {
    int32_t Reach = Target.Index();
    int32_t Next = NearestClipIndex(Track, Reach + Step, Step);
    auto* Neighbour = Next >= 0 ? AsFileClip(Track.Item(Next)) : nullptr;
    if (!Neighbour || !SameFile(*Neighbour, Target))
        return Reach;
    if (!Neighbour->IsSelected()) {
        bool Touches = Step < 0 ? Neighbour->End() >= Target.Position()
                                : Neighbour->Position() <= Target.End();
        return Touches ? Next : Reach;
    }
    while (Neighbour && Neighbour->IsSelected() && SameFile(*Neighbour, Target)) {
        Reach = Next;
        Next = NearestClipIndex(Track, Next + Step, Step);
        Neighbour = Next >= 0 ? AsFileClip(Track.Item(Next)) : nullptr;
    }
    return Reach;
}

} // namespace

void TTrack::MergeClip(TFileClip* Clip) {
    if (!Clip || Clip->Track() != this || !Clip->IsTrimmable())
        return;
    int32_t First = MergeReach(*this, *Clip, -1);
    int32_t Last = MergeReach(*this, *Clip, 1);
    if (First == Last)
        return;
    // The joined clip starts where the first clip of the run starts: the
    // transitions inside the run overlap the clips, so their lengths do not
    // add up to the distance.
    JoinClips(First, Last, Item(First)->Position());
}

void TTrack::TrimClipStart(TFileClip* Clip, TTrimPastTransition PastTransition,
                           TVideoTime NewTrimBegin) {
    if (!Clip || Clip->Track() != this || NewTrimBegin == Clip->TrimBegin())
        return;
    NewTrimBegin = std::max<TVideoTime>(
        std::min(NewTrimBegin, Clip->TrimEnd() - MinimumItemDuration), 0);
    TVideoTime Delta = NewTrimBegin - Clip->TrimBegin();
    if (Delta == 0)
        return;
    TEditBrackets Brackets(*this);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoTrimStartText));
    // The transition next to the trimmed edge changes its length too, and
    // may be removed: the items' record keeps both.
    Record<TFileClipTrimUndo>(Clip);
    Record<TTrackItemsUndo>(this);
    TItemLimits Limits = Clip->GetLimits();
    bool Removed = false;
    if (Delta < 0 && Clip->Position() + Delta < Limits.EarliestStart &&
        PastTransition == TTrimPastTransition::Remove &&
        Clip->LeadingTransition()) {
        RemoveLinkedItem(Clip->LeadingTransition());
        Limits = Clip->GetLimits();
        Removed = true;
    }
    if (Delta < 0)
        Delta = std::min<TVideoTime>(std::max(Delta, Limits.EarliestStart - Clip->Position()), 0);
    else
        Delta = std::max<TVideoTime>(std::min(Delta, Limits.LatestStart - Clip->Position()), 0);
    if (Delta == 0) {
        // Without its transition the clip overlaps its neighbour, which
        // normalizing moves clear.
        if (Removed)
            Normalize(false);
        return;
    }
    TVideoTime Begin = Clip->TrimBegin() + Delta, End = Clip->TrimEnd();
    Clip->SetPosition(Clip->Position() + Delta);
    if (TTransition* Leading = Clip->LeadingTransition()) {
        Leading->SetPosition(Leading->Position() + Delta);
        Leading->SetDuration(Leading->Duration() - Delta);
    }
    Clip->SetTrim(Begin, End);
    Signal(ProjectChangeTiming);
    Normalize(false);
}

void TTrack::TrimClipEnd(TFileClip* Clip, TTrimPastTransition PastTransition,
                         TVideoTime NewTrimEnd) {
    if (!Clip || Clip->Track() != this || NewTrimEnd == Clip->TrimEnd())
        return;
    NewTrimEnd = std::max(NewTrimEnd, Clip->TrimBegin() + MinimumItemDuration);
    if (!Clip->IsStretchable())
        NewTrimEnd = std::min(NewTrimEnd, Clip->MediaDuration());
    TVideoTime Delta = NewTrimEnd - Clip->TrimEnd();
    if (Delta == 0)
        return;
    TEditBrackets Brackets(*this);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoTrimEndText));
    // The transition next to the trimmed edge changes its length too, and
    // may be removed: the items' record keeps both.
    Record<TFileClipTrimUndo>(Clip);
    Record<TTrackItemsUndo>(this);
    TItemLimits Limits = Clip->GetLimits();
    bool Removed = false;
    if (Delta < 0 && Clip->End() + Delta < Limits.EarliestEnd &&
        PastTransition == TTrimPastTransition::Remove &&
        Clip->TrailingTransition()) {
        RemoveLinkedItem(Clip->TrailingTransition());
        Limits = Clip->GetLimits();
        Removed = true;
    }
    if (Delta < 0)
        Delta = std::min<TVideoTime>(std::max(Delta, Limits.EarliestEnd - Clip->End()), 0);
    else
        Delta = std::max<TVideoTime>(std::min(Delta, Limits.LatestEnd - Clip->End()), 0);
    if (Delta == 0) {
        if (Removed)
            Normalize(false);
        return;
    }
    TVideoTime Begin = Clip->TrimBegin(), End = Clip->TrimEnd() + Delta;
    if (TTransition* Trailing = Clip->TrailingTransition())
        Trailing->SetDuration(Trailing->Duration() + Delta);
    Clip->SetTrim(Begin, End);
    Signal(ProjectChangeTiming);
    Normalize(false);
}
