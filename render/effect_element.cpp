#include "render/effect_element.h"

#include "core/changes.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_timeline.h"
#include "render/clip_element.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/effect_description.h"
#include "render/timeline.h"

#include <algorithm>

const TEffectDescription& TEffectElement::Find(int32_t Index) {
    const TEffectDescription* Description = DescriptionRegistry().Effects().EffectByIndex(Index);
    if (!Description)
        RaiseError(
            FormatMessageText(GetText(TTextSlot::UnknownEffectDescription), std::to_string(Index)));
    if (Description->IsVideoEffect() && Description->IsAudioEffect())
        RaiseError(GetText(TTextSlot::EffectForVideoAndAudio));
    return *Description;
}

TEffectElement::TEffectElement(int32_t DescriptionIndex, TEffectTimeMode Mode,
                               TVideoTime RequestedDuration, TVideoTime RelativeStart,
                               TVideoTime RelativeEnd)
    : FIndex(DescriptionIndex), FDescription(&Find(DescriptionIndex)), FMode(Mode),
      FRequested(RequestedDuration), FRelativeStart(RelativeStart), FRelativeEnd(RelativeEnd) {
    SetDurationField(RequestedDuration);
    FProps.OnChange = MakeDelegate<&TEffectElement::PropsChanged>(this);
}

void TEffectElement::PropsChanged(TObject*) {
    if (Track())
        Update();
}

TEffectElement::~TEffectElement() {
    if (FClip)
        AttachToClip(nullptr);
    else if (Track())
        MoveTo(nullptr, Start());
}

std::vector<TEffectElement*>* TEffectElement::Siblings() const {
    if (FClip)
        return &FClip->ClipEffects();
    return Track() ? &Track()->Effects() : nullptr;
}

void TEffectElement::SetFirstLastTime(TVideoTime Time) {
    if (Time != FFirstLastTime) {
        FFirstLastTime = Time;
        Update();
    }
}

void TEffectElement::Change(int32_t DescriptionIndex, TEffectTimeMode Mode,
                            TVideoTime RelativeStart, TVideoTime RelativeEnd,
                            TVideoTime RequestedDuration) {
    FDescription = &Find(DescriptionIndex);
    FIndex = DescriptionIndex;
    FMode = Mode;
    FRelativeStart = RelativeStart;
    FRelativeEnd = RelativeEnd;
    FRequested = RequestedDuration;
    SetDurationField(RequestedDuration);
    Update();
}

namespace {

// Puts Element into List at order number Order (-1: last).
void InsertOrdered(std::vector<TEffectElement*>& List, TEffectElement* Element, int32_t Order) {
    if (Order < 0 || Order > int32_t(List.size()))
        List.push_back(Element);
    else
        List.insert(List.begin() + Order, Element);
}

void Erase(std::vector<TEffectElement*>& List, TEffectElement* Element) {
    List.erase(std::remove(List.begin(), List.end(), Element), List.end());
}

} // namespace

void TEffectElement::MoveTo(TTimelineTrack* NewTrack, TVideoTime NewStart, int32_t Order) {
    if (FClip)
        AttachToClip(nullptr);
    if (TTimelineTrack* Old = Track()) {
        TTimelineUpdateGuard Bracket(*Old->Timeline());
        Old->Timeline()->RemovePending(this);
        RemoveFromGraph();
        Erase(Old->Effects(), this);
        SetTrackField(nullptr);
    }
    SetStartField(NewStart);
    if (!NewTrack)
        return;
    TTimelineUpdateGuard Bracket(*NewTrack->Timeline());
    FScope = NewTrack->Kind() == TTimelineTrackKind::Effects ? TEffectScope::Timeline
                                                             : TEffectScope::Track;
    SetTrackField(NewTrack);
    InsertOrdered(NewTrack->Effects(), this, Order);
    for (TEffectElement* Sibling : NewTrack->Effects())
        Sibling->Update(); // the engine's order follows the list
}

void TEffectElement::AttachToClip(TClipElement* Clip, int32_t Order) {
    if (FClip) {
        Erase(FClip->ClipEffects(), this);
        if (TTimeline* Owner = Timeline())
            Owner->RemovePending(this);
        RemoveFromGraph();
        FClip = nullptr;
        SetTrackField(nullptr);
    }
    if (!Clip)
        return;
    FScope = TEffectScope::Clip;
    FClip = Clip;
    InsertOrdered(Clip->ClipEffects(), this, Order);
    SetTrackField(Clip->Track());
    if (Clip->Track()) {
        TTimelineUpdateGuard Bracket(*Clip->Track()->Timeline());
        for (TEffectElement* Sibling : Clip->ClipEffects())
            Sibling->Update();
    }
}

void TEffectElement::ComputeRange(TVideoTime& From, TVideoTime& To) const {
    TVideoTime S = 0, H = 0;
    if (FScope == TEffectScope::Clip && FClip) {
        S = FClip->Start();
        H = FClip->Duration();
    } else if (FScope == TEffectScope::Timeline && Track()) {
        H = Track()->Timeline()->GetDuration();
    } else if (Track()) {
        H = Track()->GetDuration();
    }
    uint8_t Flags = FDescription->TimeFlags();
    From = To = 0;
    if (Flags & EffectTimeNeverBuilt)
        return;
    auto LastPart = [&] {
        TVideoTime D = std::min(FFirstLastTime, H);
        From = S + H - D;
        To = S + H;
    };
    switch (FMode) {
    case TEffectTimeMode::Own: {
        TVideoTime D = std::max<TVideoTime>(0, std::min(FRequested, H - (Start() - S)));
        From = Start();
        To = Start() + D;
        break;
    }
    case TEffectTimeMode::FromStart:
        From = S;
        To = S + std::min(FRequested, H);
        break;
    case TEffectTimeMode::LastPart:
        LastPart();
        break;
    case TEffectTimeMode::Whole:
        if (Flags & EffectTimeLastPart) {
            LastPart();
        } else {
            From = S;
            To = S + ((Flags & EffectTimeFirstPart) ? std::min(FFirstLastTime, H) : H);
        }
        break;
    case TEffectTimeMode::Relative: {
        // A negative value stands for a share of the host's length.
        auto Resolve = [&](TVideoTime X) {
            return X < 0 ? TVideoTime(double(-X) / 10000000.0 * double(H) + 0.5) : X;
        };
        TVideoTime A = Resolve(FRelativeStart), B = Resolve(FRelativeEnd);
        if (std::min(A, B) >= H || A == B)
            return;
        From = S + std::min(A, B);
        To = S + std::max(A, B);
        break;
    }
    }
}

void TEffectElement::Build(TMediaLayer* Layer, TVideoTime From, TVideoTime To, bool Video) {
    if (!Layer)
        return;
    TPropertySetter Setter;
    FDescription->ApplyDefaults(Setter, 0, To - From, &FProps);
    FProps.Apply(Setter, 0, To - From);
    // The engine applies a layer's effects in priority order: this one goes
    // after every sibling before it in the list that is built on the layer.
    int32_t Priority = 0;
    if (auto* List = Siblings())
        for (TEffectElement* Sibling : *List) {
            if (Sibling == this)
                break;
            Priority += (Video ? Sibling->FVideoLayer : Sibling->FAudioLayer) == Layer &&
                        (Video ? Sibling->FVideo : Sibling->FAudio) != nullptr;
        }
    auto Effect = std::make_unique<TMediaEffect>();
    Effect->SetSubObjectClassId(FDescription->ClassId());
    Effect->SetStartStop(From, To);
    Effect->SetProperties(std::move(Setter));
    TMediaEffect* Placed = Layer->EffectInsBefore(std::move(Effect), Priority);
    Keep(Layer, Placed);
    (Video ? FVideo : FAudio) = Placed;
    (Video ? FVideoLayer : FAudioLayer) = Layer;
}

std::unique_ptr<TEffectElement> TEffectElement::Clone() const {
    auto Copy =
        std::make_unique<TEffectElement>(FIndex, FMode, FRequested, FRelativeStart, FRelativeEnd);
    Copy->FFirstLastTime = FFirstLastTime;
    Copy->Props().Assign(FProps);
    return Copy;
}

void TEffectElement::RemoveFromGraph() {
    TTimelineElement::RemoveFromGraph();
    FVideo = FAudio = nullptr;
    FVideoLayer = FAudioLayer = nullptr;
}

void TEffectElement::Rebuild() {
    RemoveFromGraph();
    TTimelineTrack* Owner = Track();
    if (!Owner)
        return;
    TVideoTime From = 0, To = 0;
    ComputeRange(From, To);
    TTimeline* Timeline = Owner->Timeline();
    From = Timeline->RoundToVideoFrame(From);
    To = Timeline->RoundToVideoFrame(To);
    if (To <= From)
        return;
    TMediaLayer* VideoLayer = nullptr;
    TMediaLayer* AudioLayer = nullptr;
    switch (FScope) {
    case TEffectScope::Clip:
        if (FClip->SubTrackIndex() >= 0) {
            VideoLayer = Owner->VideoSubTrack(FClip->SubTrackIndex());
            AudioLayer = Owner->AudioSubTrack(FClip->SubTrackIndex());
        }
        break;
    case TEffectScope::Track:
        VideoLayer = Owner->VideoComposition();
        AudioLayer = Owner->AudioComposition();
        break;
    case TEffectScope::Timeline:
        VideoLayer = Timeline->TracksComposition();
        AudioLayer = Timeline->AudioComposition();
        break;
    }
    if (FDescription->IsVideoEffect())
        Build(VideoLayer, From, To, true);
    if (FDescription->IsAudioEffect())
        Build(AudioLayer, From, To, false);
}
