// The editing operations of a track that insert and replace items: the drops
// of the timeline editor and the insert commands.

#include "project/edit_support.h"
#include "project/effect.h"
#include "project/file_clip.h"
#include "project/item_copy.h"
#include "project/list_undo.h"
#include "project/title_clip.h"
#include "project/clip_settings.h"

#include <algorithm>

namespace {

// The transition at Index, if the item there is one.
TTransition* TransitionAt(const TTrack& Track, int32_t Index) {
    if (Index < 0 || Index >= Track.ItemCount())
        return nullptr;
    return AsTransition(Track.Item(Index));
}

TClip* ClipAt(const TTrack& Track, int32_t Index) {
    if (Index < 0 || Index >= Track.ItemCount())
        return nullptr;
    return AsClip(Track.Item(Index));
}

void AssignDirection(TTransition& Transition, TTransitionDirection Direction) {
    if (TReverseTransitionSetting* Setting = Transition.ReverseSetting())
        Setting->SetValueRaw(Direction == TTransitionDirection::Reverse);
}

TTransitionDirection DirectionOf(const TTransition& Transition) {
    return Transition.ReverseSetting() && Transition.ReverseSetting()->Value()
               ? TTransitionDirection::Reverse
               : TTransitionDirection::Forward;
}

} // namespace

void TTrack::InsertClipBetween(TClip* Clip, TKeepTransitions Keep, TVideoTime Time) {
    int32_t Index = IndexAtTime(Time);
    TTransition* Leading = TransitionAt(*this, Index - 1);
    TTransition* Trailing = TransitionAt(*this, Index);
    if (Leading && !KeepsLeading(Keep)) {
        LinkTo(Leading, nullptr);
        Leading = nullptr;
    }
    if (Trailing && !KeepsTrailing(Keep)) {
        LinkFrom(Trailing, nullptr);
        Trailing = nullptr;
    }
    Clip->SetPosition(Time);
    InsertNewItem(Clip, Index);
    FitBetween(Clip, Leading, Trailing);
}

TFileClip* TTrack::InsertFile(TKeepTransitions Keep, const std::string& FileName,
                              TVideoTime Time) {
    TRefPtr<TFileClip> Clip = MakeRef<TFileClip>(Time, FileName);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertText));
    // Over the overlay track a clip shows what lies below it around its
    // picture.
    if (FKind == TTrackKind::Overlay)
        if (TBackgroundColorClipSetting* Background = Clip->BackgroundColorSetting())
            Background->SetValueRaw(0);
    InsertClipBetween(Clip.Get(), Keep, Time);
    FinishInsertion(Clip.Get());
    return Clip.Get();
}

namespace {

TRefPtr<TTitleClip> NewTitle(int32_t StyleIndex, TVideoTime Duration, TVideoTime Time,
                             const std::string& Text, const TTitleFont& MainFont,
                             const TTitleFont& CaptionFont) {
    TRefPtr<TTitleClip> Title =
        MakeRef<TTitleClip>(std::max(Duration, MinimumItemDuration), Time, StyleIndex);
    Title->ApplyContent(Text, MainFont, CaptionFont);
    return Title;
}

} // namespace

TTitleClip* TTrack::InsertTitle(TKeepTransitions Keep, const TTitleFont& MainFont,
                                const TTitleFont& CaptionFont, const std::string& Text,
                                int32_t StyleIndex, TVideoTime Duration, TVideoTime Time) {
    TRefPtr<TTitleClip> Title = NewTitle(StyleIndex, Duration, Time, Text, MainFont, CaptionFont);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertTitleText));
    InsertClipBetween(Title.Get(), Keep, Time);
    FinishInsertion(Title.Get());
    return Title.Get();
}

TEffect* TTrack::InsertEffect(int32_t EffectIndex, TVideoTime Duration, TVideoTime Time) {
    TRefPtr<TEffect> Effect =
        MakeRef<TEffect>(std::max(Duration, MinimumItemDuration), Time, EffectIndex);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertEffectText));
    int32_t Index = IndexAtTime(Time);
    if (TTransition* Before = TransitionAt(*this, Index - 1))
        LinkTo(Before, nullptr);
    if (TTransition* After = TransitionAt(*this, Index))
        LinkFrom(After, nullptr);
    InsertNewItem(Effect.Get(), Index);
    FinishInsertion(Effect.Get());
    return Effect.Get();
}

TTransition* TTrack::InsertTransition(TJoinClips Join, TTransitionDirection Direction,
                                      TVideoTime Duration, int32_t TransitionIndex,
                                      TVideoTime Time) {
    bool JoinPrevious = JoinsPrevious(Join);
    bool JoinNext = JoinsNext(Join);
    int32_t Index = IndexAtTime(Time);
    TClip* Previous = ClipAt(*this, Index - 1);
    TClip* Following = ClipAt(*this, Index);
    TVideoTime Length = MaxTransitionLength(JoinPrevious ? Previous : nullptr,
                                            JoinNext ? Following : nullptr, Duration);
    // Clips too short to give a transition room: nothing to do, no step.
    if (Length <= 0)
        return nullptr;
    TRefPtr<TTransition> Transition = MakeRef<TTransition>(Length, Time, TransitionIndex);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertTransitionText));
    if (Previous && !JoinPrevious)
        Previous->SetTrailingTransition(nullptr);
    if (Following && !JoinNext)
        Following->SetLeadingTransition(nullptr);
    MarkJoined();
    InsertNewItem(Transition.Get(), Index);
    Transition->SetDuration(Length);
    AssignDirection(*Transition, Direction);
    if (JoinPrevious && Previous)
        LinkFrom(Transition.Get(), Previous);
    if (JoinNext && Following)
        LinkTo(Transition.Get(), Following);
    FinishInsertion(Transition.Get(), true);
    return Transition.Get();
}

void TTrack::InsertClipIntoTransition(TTransition& Leading, TClip* Clip) {
    int32_t Index = Leading.Index();
    TRefPtr<TTransition> Trailing =
        MakeRef<TTransition>(Leading.Duration(), Clip->End(), Leading.DescriptionIndex());
    Trailing->SetDuration(Leading.Duration());
    AssignDirection(*Trailing, DirectionOf(Leading));
    TClip* Following = Leading.ToClip();
    InsertNewItem(Clip, Index + 1);
    InsertNewItem(Trailing.Get(), Index + 2);
    LinkTo(Trailing.Get(), Following);
    FitBetween(Clip, &Leading, Trailing.Get());
}

TFileClip* TTrack::InsertFileIntoTransition(int32_t Index, const std::string& FileName) {
    TTransition* Leading = TransitionAt(*this, Index);
    if (!Leading)
        return nullptr;
    TRefPtr<TFileClip> Clip = MakeRef<TFileClip>(Leading->Position(), FileName);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertText));
    InsertClipIntoTransition(*Leading, Clip.Get());
    FinishInsertion(Clip.Get());
    return Clip.Get();
}

TTitleClip* TTrack::InsertTitleIntoTransition(int32_t Index, int32_t StyleIndex,
                                              const TTitleFont& MainFont,
                                              const TTitleFont& CaptionFont,
                                              const std::string& Text, TVideoTime Duration) {
    TTransition* Leading = TransitionAt(*this, Index);
    if (!Leading)
        return nullptr;
    TRefPtr<TTitleClip> Title =
        NewTitle(StyleIndex, Duration, Leading->Position(), Text, MainFont, CaptionFont);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertTitleText));
    InsertClipIntoTransition(*Leading, Title.Get());
    FinishInsertion(Title.Get());
    return Title.Get();
}

TFileClip* TTrack::InsertFileOverwrite(const std::string& FileName, TVideoTime Time) {
    TRefPtr<TFileClip> Clip = MakeRef<TFileClip>(Time, FileName);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoInsertOverwriteText));
    TVideoTime End = Time + Clip->Duration();
    for (int32_t I = ItemCount() - 1; I >= 0; --I)
        if (Item(I)->Position() < End && Item(I)->End() > Time)
            RemoveLinkedItem(Item(I));
    for (int32_t I = ItemCount() - 1; I >= 0; --I)
        if (TTransition* Transition = AsTransition(Item(I));
            Transition && !Transition->FromClip() && !Transition->ToClip())
            RemoveLinkedItem(Transition);
    int32_t Index = 0;
    while (Index < ItemCount() &&
           Item(Index)->Position() + Item(Index)->Duration() / 2 <= Time)
        ++Index;
    InsertNewItem(Clip.Get(), Index);
    FinishInsertion(Clip.Get());
    return Clip.Get();
}

void TTrack::ReplaceTransition(int32_t Index, int32_t TransitionIndex,
                               TTransitionDirection Direction) {
    TTransition* Old = TransitionAt(*this, Index);
    if (!Old)
        return;
    TRefPtr<TTransition> New =
        MakeRef<TTransition>(Old->Duration(), Old->Position(), TransitionIndex);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoReplaceTransitionText));
    TClip* From = Old->FromClip();
    TClip* To = Old->ToClip();
    InsertNewItem(New.Get(), Index);
    New->SetPosition(Old->Position());
    New->SetDuration(Old->Duration());
    AssignDirection(*New, Direction);
    RemoveLinkedItem(Old);
    LinkFrom(New.Get(), From);
    LinkTo(New.Get(), To);
    FinishInsertion(New.Get());
}

void TTrack::ReplaceEffect(int32_t Index, int32_t EffectIndex) {
    auto* Old = Index >= 0 && Index < ItemCount() ? dynamic_cast<TEffect*>(Item(Index)) : nullptr;
    if (!Old)
        return;
    TRefPtr<TEffect> New = MakeRef<TEffect>(Old->Duration(), Old->Position(), EffectIndex);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoReplaceEffectText));
    RemoveLinkedItem(Old);
    InsertNewItem(New.Get(), Index);
    FinishInsertion(New.Get());
}

void TTrack::ReplaceTitleLayout(int32_t Index, int32_t StyleIndex) {
    auto* Old =
        Index >= 0 && Index < ItemCount() ? dynamic_cast<TTitleClip*>(Item(Index)) : nullptr;
    if (!Old)
        return;
    TRefPtr<TTitleClip> New = NewTitle(StyleIndex, Old->Duration(), Old->Position(), Old->Text(),
                                       Old->MainFont().Font(), Old->CaptionFont().Font());
    // The new style keeps every value the old title had under the same key
    // (the background colour among them), and its clip effects.
    CopySettings(*Old, *New);
    CopyClipEffects(*Old, *New);
    TEditBrackets Brackets(*this);
    Record<TTrackItemsUndo>(this, GetText(TTextSlot::UndoReplaceTitleLayoutText));
    TTransition* Leading = Old->LeadingTransition();
    TTransition* Trailing = Old->TrailingTransition();
    RemoveLinkedItem(Old);
    InsertNewItem(New.Get(), Index);
    if (Leading)
        LinkTo(Leading, New.Get());
    if (Trailing)
        LinkFrom(Trailing, New.Get());
    FinishInsertion(New.Get());
}
