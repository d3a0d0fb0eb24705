#include "render/transition_element.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_timeline.h"
#include "render/clip_element.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/element_property_value.h"
#include "render/engine_objects.h"
#include "render/timeline.h"
#include "render/transition_description.h"

TBaseTransitionElement::TBaseTransitionElement(TClipElement* Outgoing, bool Reverse,
                                               TVideoTime Duration, TVideoTime Start,
                                               TClipElement* Incoming)
    : FReverse(Reverse) {
    FProps.OnValueClass = MakeDelegate<&TBaseTransitionElement::ValueClassOf>(this);
    FProps.OnChange = MakeDelegate<&TBaseTransitionElement::PropsChanged>(this);
    SetStartField(Start);
    SetDurationField(Duration);
    SetOutgoingClip(Outgoing);
    SetIncomingClip(Incoming);
}

TPropertyValueClass TBaseTransitionElement::ValueClassOf(std::string_view Key) const {
    return TransitionPropertyValueClass(Key);
}

void TBaseTransitionElement::PropsChanged(TObject*) {
    if (Track())
        Update();
}

TBaseTransitionElement::~TBaseTransitionElement() {
    // No rebuilding from here: the derived part is gone already.
    if (FOutgoing)
        FOutgoing->SetOutgoingTransition(nullptr);
    if (FIncoming)
        FIncoming->SetIncomingTransition(nullptr);
    FOutgoing = FIncoming = nullptr;
    if (TTimelineTrack* Owner = Track()) {
        Owner->Timeline()->RemovePending(this);
        RemoveFromGraph();
        Owner->RemoveTransition(this);
    }
}

void TBaseTransitionElement::SetOutgoingClip(TClipElement* Clip) {
    if (Clip == FOutgoing)
        return;
    if (FOutgoing)
        FOutgoing->SetOutgoingTransition(nullptr);
    FOutgoing = Clip;
    if (FOutgoing)
        FOutgoing->SetOutgoingTransition(this);
    Update();
}

void TBaseTransitionElement::SetIncomingClip(TClipElement* Clip) {
    if (Clip == FIncoming)
        return;
    if (FIncoming)
        FIncoming->SetIncomingTransition(nullptr);
    FIncoming = Clip;
    if (FIncoming)
        FIncoming->SetIncomingTransition(this);
    Update();
}

void TBaseTransitionElement::SetReverse(bool Value) {
    if (Value != FReverse) {
        FReverse = Value;
        Update();
    }
}

void TBaseTransitionElement::SetCut(TVideoTime Cut) {
    if (Cut != FCut) {
        FCut = Cut;
        Update();
    }
}

void TBaseTransitionElement::ClipsChanged() {
    // The clips' volume envelopes fade across the transition.
    if (FOutgoing)
        FOutgoing->Update();
    if (FIncoming)
        FIncoming->Update();
}

void TBaseTransitionElement::SetRange(TVideoTime Start, TVideoTime Duration) {
    if (Start == this->Start() && Duration == this->Duration())
        return;
    SetStartField(Start);
    SetDurationField(Duration);
    Update();
    ClipsChanged();
}

void TBaseTransitionElement::MoveTo(TTimelineTrack* NewTrack) {
    if (NewTrack == Track())
        return;
    if (TTimelineTrack* Old = Track()) {
        TTimelineUpdateGuard Bracket(*Old->Timeline());
        Old->Timeline()->RemovePending(this);
        RemoveFromGraph();
        Old->RemoveTransition(this);
        SetTrackField(nullptr);
    }
    if (!NewTrack)
        return;
    TTimelineUpdateGuard Bracket(*NewTrack->Timeline());
    SetTrackField(NewTrack);
    NewTrack->AddTransition(this);
    Update();
    ClipsChanged();
}

void TBaseTransitionElement::WriteProperties(TPropertySetter& Setter, TVideoTime Start,
                                             TVideoTime Duration) const {
    FProps.Apply(Setter, Start, Duration);
}

void TBaseTransitionElement::Rebuild() {
    RemoveFromGraph();
    FEngine = nullptr;
    TTimelineTrack* Owner = Track();
    if (!Owner || (!FOutgoing && !FIncoming) || TransitionClassId().IsEmpty() ||
        !Owner->HasVideo() || !Owner->VideoSubTrack(1))
        return;
    TTimeline* Timeline = Owner->Timeline();
    TVideoTime From = Timeline->RoundToVideoFrame(Start());
    TVideoTime To = Timeline->RoundToVideoFrame(End() - FCut);
    if (To <= From)
        return;
    // Which way round the inputs come follows the sub-tracks of the clips.
    bool Parity = FIncoming ? !(FIncoming->SubTrackIndex() & 1) : (FOutgoing->SubTrackIndex() & 1);
    if (!FOutgoing || !FIncoming) {
        const TClipElement* Present = FOutgoing ? FOutgoing : FIncoming;
        TMediaTrack* Opposite = Owner->VideoSubTrack(1 - (Present->SubTrackIndex() & 1));
        Keep(Opposite, AddColorSource(Opposite, From, To, 0));
    }
    TPropertySetter Setter;
    WriteProperties(Setter, 0, To - From);
    if (!FIncoming && Duration() >= Timeline->FrameDuration() + 20) {
        Setter.AddValue("progress", 0, FReverse ? "1" : "0");
        Setter.AddValue("progress", To - From, FReverse ? "0" : "1", TKeyBlend::Interpolate);
    }
    auto Transition = std::make_unique<TMediaTransition>();
    Transition->SetSubObjectClassId(TransitionClassId());
    Transition->SetStartStop(From, To);
    Transition->SetSwapInputs(FReverse != Parity);
    Transition->SetProperties(std::move(Setter));
    TMediaTrack* Second = Owner->VideoSubTrack(1);
    FEngine = Second->TransAdd(std::move(Transition));
    Keep(Second, FEngine);
}

const TTransitionDescription& TTransitionElement::Find(int32_t Index) {
    const TTransitionDescription* Description =
        DescriptionRegistry().Transitions().TransitionByIndex(Index);
    if (!Description)
        RaiseError(FormatMessageText(GetText(TTextSlot::UnknownTransitionDescription),
                                     std::to_string(Index)));
    return *Description;
}

TTransitionElement::TTransitionElement(TClipElement* Outgoing, bool Reverse, TVideoTime Duration,
                                       TVideoTime Start, TClipElement* Incoming,
                                       int32_t DescriptionIndex)
    : TBaseTransitionElement(nullptr, Reverse, Duration, Start, nullptr), FIndex(DescriptionIndex),
      FDescription(&Find(DescriptionIndex)) {
    SetOutgoingClip(Outgoing);
    SetIncomingClip(Incoming);
}

void TTransitionElement::Change(int32_t DescriptionIndex, bool NewReverse, TVideoTime NewDuration,
                                TVideoTime NewStart) {
    if (DescriptionIndex == FIndex && NewReverse == Reverse() && NewDuration == Duration() &&
        NewStart == Start())
        return;
    FDescription = &Find(DescriptionIndex);
    FIndex = DescriptionIndex;
    SetReverse(NewReverse);
    SetRange(NewStart, NewDuration);
    Update();
}

const TGuid& TTransitionElement::TransitionClassId() const {
    return FDescription->ClassId();
}

void TTransitionElement::WriteProperties(TPropertySetter& Setter, TVideoTime Start,
                                         TVideoTime Duration) const {
    // The description's values first, the element's own in their place.
    FDescription->ApplyDefaults(Setter, Start, Duration, &Props());
    Props().Apply(Setter, Start, Duration);
}

std::unique_ptr<TTransitionElement> TTransitionElement::Clone(TClipElement* Outgoing,
                                                              TClipElement* Incoming) const {
    auto Copy = std::make_unique<TTransitionElement>(Outgoing, Reverse(), Duration(), Start(),
                                                     Incoming, FIndex);
    Copy->Props().Assign(Props());
    Copy->SetCut(Cut());
    return Copy;
}
