#include "render/clip_element.h"

#include "core/error.h"
#include "core/numbers.h"
#include "core/text_table.h"
#include "platform/media/media_timeline.h"
#include "render/effect_element.h"
#include "render/engine_objects.h"
#include "render/timeline.h"
#include "render/transition_element.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const TGuid& ColorAdjustId() {
    static const TGuid Id = GuidFromText("{3EAEFC96-D6DE-4983-9C12-4FD78FC6BD4C}");
    return Id;
}

const TGuid& ClipVolumeId() {
    static const TGuid Id = GuidFromText("{5A9C79CA-D283-4114-8BD0-1E6694727052}");
    return Id;
}

} // namespace

TClipElement::~TClipElement() {
    while (!FClipEffects.empty())
        FClipEffects.back()->AttachToClip(nullptr);
    if (FIncomingTransition)
        FIncomingTransition->SetIncomingClip(nullptr);
    if (FOutgoingTransition)
        FOutgoingTransition->SetOutgoingClip(nullptr);
    if (TTimelineTrack* Owner = Track()) {
        Owner->Timeline()->RemovePending(this);
        Owner->RemoveClip(this);
        SetTrackField(nullptr);
    }
}

void TClipElement::MoveTo(TTimelineTrack* NewTrack, TVideoTime PreviousDuration,
                          TVideoTime NewStart) {
    if (PreviousDuration != -3 && (Track() != NewTrack || Start() != NewStart || !NewTrack))
        RaiseError(GetText(TTextSlot::InvalidTimelineMove));
    // One bracket on each timeline involved: the clip is rebuilt once, when
    // the move is complete.
    TTimeline* OldTimeline = Timeline();
    TTimeline* NewTimeline = NewTrack ? NewTrack->Timeline() : nullptr;
    std::optional<TTimelineUpdateGuard> OldBracket, NewBracket;
    if (OldTimeline)
        OldBracket.emplace(*OldTimeline);
    if (NewTimeline && NewTimeline != OldTimeline)
        NewBracket.emplace(*NewTimeline);

    if (TTimelineTrack* Old = Track()) {
        Old->RemoveClip(this);
        SetTrackField(nullptr);
    }
    if (!NewTrack)
        return;
    SetStartField(NewStart < 0 ? NewTrack->GetDuration() : NewStart);
    SetTrackField(NewTrack);
    NewTrack->InsertClip(this);
}

void TClipElement::Detach() {
    MoveTo(nullptr, -3, Start());
}

void TClipElement::Rebuild() {
    RemoveFromGraph();
    TTimelineTrack* Owner = Track();
    if (!Owner)
        return;
    int32_t Position = Owner->PositionOf(this);
    FSubTrackIndex = Owner->ABTrack() ? (Position - 1) % 2 : 0;
    TTimeline* Timeline = Owner->Timeline();
    if (Owner->HasVideo() && HasVideo()) {
        TVideoTime From = Timeline->RoundToVideoFrame(Start());
        TVideoTime To = Timeline->RoundToVideoFrame(End());
        if (To > From) {
            TMediaTrack* SubTrack = Owner->VideoSubTrack(FSubTrackIndex);
            BuildVideo(SubTrack, From, To);
            BuildColorAdjust(SubTrack, From, To);
        }
    }
    if (Owner->HasAudio() && HasAudio()) {
        TVideoTime From = Owner->HasVideo() ? Timeline->RoundToVideoFrame(Start())
                                            : TTimeline::RoundToAudioFrame(Start());
        TVideoTime To = Owner->HasVideo() ? Timeline->RoundToVideoFrame(End())
                                          : TTimeline::RoundToAudioFrame(End());
        if (To > From) {
            TMediaTrack* SubTrack = Owner->AudioSubTrack(FSubTrackIndex);
            BuildAudio(SubTrack, From, To);
            BuildVolume(SubTrack, From, To);
        }
    }
    // Its effects and the transitions at its ends follow its sub-track.
    for (TEffectElement* Effect : FClipEffects) {
        Effect->SetTrackOf(Owner);
        Effect->Update();
    }
    if (FIncomingTransition)
        FIncomingTransition->Update();
    if (FOutgoingTransition)
        FOutgoingTransition->Update();
    Owner->Changed();
}

void TClipElement::BuildAudio(TMediaTrack*, TVideoTime, TVideoTime) {}

void TClipElement::RemoveFromGraph() {
    TTimelineElement::RemoveFromGraph();
    FVideoSource = FAudioSource = nullptr;
    FColorAdjust = FVolumeEffect = nullptr;
    for (TEffectElement* Effect : FClipEffects) {
        Effect->RemoveFromGraph();
        Effect->SetTrackOf(nullptr);
    }
}

void TClipElement::BuildColorAdjust(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) {
    if (FBrightness == 0 && FContrast == 0 && FSaturation == 0 && FGamma == 10000)
        return;
    TPropertySetter Properties;
    Properties.SetValue("brightness", std::to_string(FBrightness));
    Properties.SetValue("contrast", std::to_string(FContrast));
    Properties.SetValue("saturation", std::to_string(FSaturation));
    Properties.SetValue("gamma", FormatDecimal(FGamma / 10000.0));
    FColorAdjust = AddEffect(SubTrack, ColorAdjustId(), Start, Stop, std::move(Properties));
    Keep(SubTrack, FColorAdjust);
}

void TClipElement::BuildVolume(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) {
    // The clip's volume, and its fades across the transitions at its ends;
    // when the two transitions overlap, both fade points meet and the
    // volume is lowered by the overlap's share.
    TVideoTime D = Stop - Start;
    double V = FMuted ? 0.0 : FVolume;
    TVideoTime R = FIncomingTransition ? FIncomingTransition->Duration() : FIncomingLength;
    TVideoTime Q = D - (FOutgoingTransition ? FOutgoingTransition->Duration() : FOutgoingLength);
    if (R > Q && D > 0) {
        double K = double(R - Q) / double(D);
        V = V / (K + 1);
        R = Q = std::min(D, std::max<TVideoTime>(0, std::llround(double(R) / (K + 1))));
    }
    if (V == 1.0 && R <= 0 && Q >= D)
        return;
    TPropertySetter Properties;
    if (FMuted || (R <= 0 && Q >= D)) {
        Properties.SetValue("Vol", FormatDecimal(V));
    } else {
        std::string Envelope = std::to_string(Start + R) + " " + std::to_string(Start + Q) + " " +
                               FormatDecimal(V) + " " + FormatDecimal(V) + " " +
                               std::to_string(Start + D) + " " + std::to_string(Start);
        Properties.SetValue("multivol", Envelope);
    }
    FVolumeEffect = AddEffect(SubTrack, ClipVolumeId(), Start, Stop, std::move(Properties));
    Keep(SubTrack, FVolumeEffect);
}

void TClipElement::ParameterChanged() {
    Update();
}

void TClipElement::SetBrightness(int32_t Value) {
    if (Value != FBrightness) {
        FBrightness = Value;
        ParameterChanged();
    }
}

void TClipElement::SetContrast(int32_t Value) {
    if (Value != FContrast) {
        FContrast = Value;
        ParameterChanged();
    }
}

void TClipElement::SetSaturation(int32_t Value) {
    if (Value != FSaturation) {
        FSaturation = Value;
        ParameterChanged();
    }
}

void TClipElement::SetGamma(double Value) {
    auto Stored = static_cast<int32_t>(std::lround(Value * 10000.0));
    if (Stored != FGamma) {
        FGamma = Stored;
        ParameterChanged();
    }
}

void TClipElement::SetVolume(double Value) {
    if (Value != FVolume) {
        FVolume = Value;
        ParameterChanged();
    }
}

void TClipElement::SetMuted(bool Value) {
    if (Value != FMuted) {
        FMuted = Value;
        ParameterChanged();
    }
}

void TClipElement::SetBackgroundColor(TColor Value) {
    if (Value == FBackgroundColor)
        return;
    FBackgroundColor = Value;
    if (KeepsBackgroundColor())
        ParameterChanged();
}

void TClipElement::SetTransitionLengths(TVideoTime Incoming, TVideoTime Outgoing) {
    if (Incoming != FIncomingLength || Outgoing != FOutgoingLength) {
        FIncomingLength = Incoming;
        FOutgoingLength = Outgoing;
        ParameterChanged();
    }
}

void TClipElement::CollectFormat(TVideoFormat&, TAudioFormat&) const {}

void TClipElement::CopyParametersTo(TClipElement& Clone) const {
    Clone.SetStartField(Start());
    Clone.SetDurationField(Duration());
    Clone.CopyAvailability(*this);
    Clone.FBrightness = FBrightness;
    Clone.FContrast = FContrast;
    Clone.FSaturation = FSaturation;
    Clone.FGamma = FGamma;
    Clone.FVolume = FVolume;
    Clone.FMuted = FMuted;
    Clone.FBackgroundColor = FBackgroundColor;
    Clone.FIncomingLength = FIncomingLength;
    Clone.FOutgoingLength = FOutgoingLength;
}
