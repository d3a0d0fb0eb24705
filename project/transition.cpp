#include "project/transition.h"

#include "core/data.h"
#include "project/clip.h"
#include "project/clip_settings.h"
#include "render/clip_element.h"
#include "render/transition_description.h"
#include "render/transition_element.h"

TTransition::TTransition(TVideoTime Duration, TVideoTime Position, int32_t DescriptionIndex)
    : FDescriptionIndex(DescriptionIndex) {
    auto Element = std::make_unique<TTransitionElement>(nullptr, false, Duration, Position, nullptr,
                                                        DescriptionIndex);
    SetPosition(Position);
    SetDuration(Element->Duration());
    bool Reversible = Element->Description().IsReversible();
    AddElementSettings(Element->Props(), Element->Description());
    SetElement(std::move(Element));
    if (Reversible)
        FReverse = AddSetting<TReverseTransitionSetting>();
}

TTransition::~TTransition() {
    if (FFromClip)
        FFromClip->FTrailingTransition = nullptr;
    if (FToClip)
        FToClip->FLeadingTransition = nullptr;
}

TTransitionElement* TTransition::TransitionElement() const {
    return static_cast<TTransitionElement*>(Element());
}

const TTransitionDescription& TTransition::Description() const {
    return TransitionElement()->Description();
}

void TTransition::SaveIdentity(TData& Data) const {
    Data.WriteString("Type", "Transition");
    Data.WriteInteger("Id", FDescriptionIndex);
}

TItemLimits TTransition::GetLimits() const {
    TItemLimits Limits = TTrackItem::GetLimits();
    if (FFromClip) {
        const TTransition* Before = FFromClip->LeadingTransition();
        Limits.EarliestStart =
            FFromClip->Position() + (Before ? Before->Duration() : 0) + MinimumItemDuration;
    }
    Limits.EarliestEnd = Position() + MinimumItemDuration;
    Limits.LatestStart = End() - MinimumItemDuration;
    if (FToClip) {
        const TTransition* After = FToClip->TrailingTransition();
        Limits.LatestEnd = FToClip->End() - (After ? After->Duration() : 0) - MinimumItemDuration;
    }
    return Limits;
}

void TTransition::Place(bool KeepJoined, TVideoTime RunningEnd) {
    // It ends exactly where the clip it leaves ends.
    if (FFromClip)
        SetPosition(FFromClip->End() - Duration());
    else
        TTrackItem::Place(KeepJoined, RunningEnd);
}

void TTransition::Attach() {
    SetJoined(false);
    UpdateElement();
}

void TTransition::Detach() {
    SetJoined(false);
    TransitionElement()->Detach();
}

void TTransition::UpdateElement() {
    TTransitionElement* Element = TransitionElement();
    Element->SetRange(Position(), Duration());
    Element->MoveTo(RenderTrack());
}

namespace {

TClipElement* ClipElementOf(const TClip* Clip) {
    return Clip ? Clip->ClipElement() : nullptr;
}

} // namespace

void LinkFrom(TTransition* Transition, TClip* Clip) {
    if (Clip && Clip->FTrailingTransition && Clip->FTrailingTransition != Transition) {
        TTransition* Previous = Clip->FTrailingTransition;
        Previous->FFromClip = nullptr;
        Previous->TransitionElement()->SetOutgoingClip(nullptr);
    }
    if (Transition->FFromClip && Transition->FFromClip != Clip)
        Transition->FFromClip->FTrailingTransition = nullptr;
    Transition->FFromClip = Clip;
    if (Clip)
        Clip->FTrailingTransition = Transition;
    Transition->TransitionElement()->SetOutgoingClip(ClipElementOf(Clip));
}

void LinkTo(TTransition* Transition, TClip* Clip) {
    if (Clip && Clip->FLeadingTransition && Clip->FLeadingTransition != Transition) {
        TTransition* Previous = Clip->FLeadingTransition;
        Previous->FToClip = nullptr;
        Previous->TransitionElement()->SetIncomingClip(nullptr);
    }
    if (Transition->FToClip && Transition->FToClip != Clip)
        Transition->FToClip->FLeadingTransition = nullptr;
    Transition->FToClip = Clip;
    if (Clip)
        Clip->FLeadingTransition = Transition;
    Transition->TransitionElement()->SetIncomingClip(ClipElementOf(Clip));
}
