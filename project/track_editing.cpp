// The editing operations of a track that change its structure: effect
// sub-tracks, clip effects, deleting the selection, and the fitting of
// transitions that every insertion uses.

#include "project/clip_effect.h"
#include "project/edit_support.h"
#include "project/list_undo.h"
#include "project/sub_track.h"
#include "render/description_registry.h"

#include <algorithm>

TVideoTime MaxTransitionLength(const TClip* FromClip, const TClip* ToClip, TVideoTime Wanted) {
    TVideoTime Result = Wanted;
    auto Allow = [&](const TClip* Clip, const TTransition* Other) {
        TVideoTime Length = Clip->Duration();
        TVideoTime Allowance =
            Other ? Length - Other->Duration() - Length / 8 : Length - Length / 4;
        if (Allowance < 0)
            return false;
        Result = std::min(Result, Allowance);
        return true;
    };
    if (FromClip && !Allow(FromClip, FromClip->LeadingTransition()))
        return 0;
    if (ToClip && !Allow(ToClip, ToClip->TrailingTransition()))
        return 0;
    return std::min(Result, Wanted);
}

void FitBetween(TClip* Clip, TTransition* Leading, TTransition* Trailing) {
    TVideoTime W = 0, S = 0;
    if (Leading && Trailing) {
        TVideoTime Shortest =
            std::min({Clip->Duration(), Leading->Duration(), Trailing->Duration()});
        W = MaxTransitionLength(Leading->FromClip(), Clip, Shortest);
        S = MaxTransitionLength(Clip, Trailing->ToClip(), Shortest);
        TVideoTime Excess = W + Clip->Duration() / 4 + S - Clip->Duration();
        if (Excess > 0) {
            W -= Excess / 2;
            S -= Excess - Excess / 2;
        }
    } else if (Leading) {
        W = MaxTransitionLength(Leading->FromClip(), Clip,
                                std::min(Clip->Duration(), Leading->Duration()));
    } else if (Trailing) {
        S = MaxTransitionLength(Clip, Trailing->ToClip(),
                                std::min(Clip->Duration(), Trailing->Duration()));
    }
    // A transition the clips leave no room for is not joined to the clip,
    // and lets go of the clip on its far side too: it would otherwise lie
    // between that clip and the new one with no length at all.
    if (Leading && W <= 0) {
        LinkTo(Leading, nullptr);
        Leading = nullptr;
    }
    if (Trailing && S <= 0) {
        LinkFrom(Trailing, nullptr);
        Trailing = nullptr;
    }
    if (Leading) {
        Leading->SetDuration(W);
        Leading->SetPosition(Clip->Position());
        Clip->SetLeadingTransition(Leading);
    }
    if (Trailing) {
        Trailing->SetDuration(S);
        Trailing->SetPosition(Clip->End() - S);
        Clip->SetTrailingTransition(Trailing);
    }
}

void TTrack::InsertNewItem(TTrackItem* Item, int32_t Index) {
    // Held across the insertion, so that a failure frees the new item.
    TRefPtr<TTrackItem> Hold{Item};
    InsertItem(Item, Index);
    Signal(ProjectChangeItems);
}

void TTrack::RemoveLinkedItem(TTrackItem* Item) {
    if (TClip* Clip = AsClip(Item)) {
        Clip->SetLeadingTransition(nullptr);
        Clip->SetTrailingTransition(nullptr);
    } else if (TTransition* Transition = AsTransition(Item)) {
        LinkFrom(Transition, nullptr);
        LinkTo(Transition, nullptr);
    }
    RemoveItem(Item);
    Signal(ProjectChangeItems);
}

void TTrack::FinishInsertion(TTrackItem* Item, bool KeepJoined) {
    Normalize(KeepJoined);
    if (FProject) {
        FProject->MoveCursorIntoItem(Item);
        FProject->Select(Item, false);
    }
}

TSubTrack* TTrack::AddEffectSubTrack(int32_t Index) {
    TEditBrackets Brackets(*this);
    Record<TSubTracksUndo>(this, GetText(TTextSlot::UndoAddSubTrackText));
    TRefPtr<TSubTrack> SubTrack = MakeRef<TSubTrack>(TSubTrackKind::Effect);
    InsertSubTrack(SubTrack.Get(), std::max(Index, 1));
    Signal(ProjectChangeSubTracks);
    return SubTrack.Get();
}

void TTrack::DeleteEffectSubTrack(int32_t Index) {
    if (Index < 0 || Index >= SubTrackCount() || SubTrack(Index)->Kind() != TSubTrackKind::Effect)
        return;
    TEditBrackets Brackets(*this);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoDeleteSubTrackText));
    TSubTrack* Doomed = SubTrack(Index);
    for (const TRefPtr<TTrackItem>& Item : FItems)
        if (TClip* Clip = AsClip(Item.Get()); Clip && Clip->EffectSlot(Index)) {
            Record<TClipEffectsUndo>(Clip);
            Clip->RemoveClipEffectOn(Doomed);
            Signal(ProjectChangeItems);
        }
    Record<TSubTracksUndo>(this);
    RemoveSubTrack(Doomed);
    Signal(ProjectChangeSubTracks);
}

namespace {

bool HoldsEffectOf(const TClip& Clip, int32_t SubIndex) {
    return Clip.EffectSlot(SubIndex) != nullptr;
}

} // namespace

TClipEffect* TTrack::AddClipEffect(TClip* Clip, TSubTrack* Target, int32_t EffectIndex) {
    if (!DescriptionRegistry().Effects().EffectByIndex(EffectIndex))
        return nullptr;
    if (Target && (Target->Track() != this || Target->Kind() != TSubTrackKind::Effect))
        Target = nullptr;
    TEditBrackets Brackets(*this);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoAddEffectText));
    if (Target) {
        Record<TClipEffectsUndo>(Clip);
        Clip->RemoveClipEffectOn(Target);
    } else {
        int32_t Last = 0;
        for (int32_t S = 1; S < SubTrackCount(); ++S)
            if (HoldsEffectOf(*Clip, S))
                Last = S;
        for (int32_t S = Last + 1; S < SubTrackCount() && !Target; ++S)
            if (SubTrack(S)->Kind() == TSubTrackKind::Effect && !HoldsEffectOf(*Clip, S))
                Target = SubTrack(S);
        if (!Target) {
            Record<TSubTracksUndo>(this);
            TRefPtr<TSubTrack> Added = MakeRef<TSubTrack>(TSubTrackKind::Effect);
            InsertSubTrack(Added.Get(), SubTrackCount());
            Target = Added.Get();
            Signal(ProjectChangeSubTracks);
        }
        Record<TClipEffectsUndo>(Clip);
    }
    TRefPtr<TClipEffect> Effect = MakeRef<TClipEffect>(EffectIndex);
    Clip->InsertClipEffect(Effect.Get(), Target->Index());
    Signal(ProjectChangeItems);
    if (FProject) {
        FProject->MoveCursorIntoItem(Clip);
        FProject->Select(Effect.Get(), false);
    }
    return Effect.Get();
}

namespace {

// Removes the selected clip effects of Clip, with one record for the clip.
void RemoveSelectedClipEffects(TClip& Clip) {
    bool Any = false;
    for (int32_t K = 0; K < Clip.ClipEffectCount() && !Any; ++K)
        Any = Clip.ClipEffect(K)->IsSelected();
    if (!Any)
        return;
    Record<TClipEffectsUndo>(&Clip);
    for (int32_t K = Clip.ClipEffectCount() - 1; K >= 0; --K)
        if (TClipEffect* Effect = Clip.ClipEffect(K); Effect->IsSelected()) {
            Clip.RemoveClipEffect(Effect);
            if (TProjectChanges* Changes = Clip.Changes())
                Changes->Change(ProjectChangeItems);
        }
}

bool IsOrphanTransition(TTrackItem* Item) {
    TTransition* Transition = AsTransition(Item);
    return Transition && !Transition->FromClip() && !Transition->ToClip();
}

} // namespace

void TTrack::DeleteSelectedItems() {
    TEditBrackets Brackets(*this);
    TUndoGroupGuard Group(UndoHistory(), GetText(TTextSlot::UndoDeleteText));
    bool AnySelected =
        std::any_of(FItems.begin(), FItems.end(),
                    [](const TRefPtr<TTrackItem>& Item) { return Item->IsSelected(); });
    if (AnySelected) {
        Record<TTrackItemsUndo>(this);
        for (int32_t I = ItemCount() - 1; I >= 0; --I)
            if (Item(I)->IsSelected())
                RemoveLinkedItem(Item(I));
    }
    for (const TRefPtr<TTrackItem>& Item : FItems)
        if (TClip* Clip = AsClip(Item.Get()))
            RemoveSelectedClipEffects(*Clip);
    if (AnySelected) {
        for (int32_t I = ItemCount() - 1; I >= 0; --I)
            if (IsOrphanTransition(Item(I)))
                RemoveLinkedItem(Item(I));
        Normalize(false);
    }
}
