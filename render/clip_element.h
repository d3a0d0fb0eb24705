#pragma once

#include "core/geometry.h"
#include "render/timeline_element.h"
#include "render/video_format.h"

#include <cstdint>
#include <memory>
#include <vector>

class TBaseTransitionElement;
class TEffectElement;
class TMediaEffect;
class TMediaSource;
class TMediaTrack;

// A clip on the render timeline: a picture and/or sound between a start and
// an end, with the colour adjustment and volume the clip's settings give.
// On an A/B track it sits on sub-track 0 or 1 by the parity of its position.
class TClipElement : public TTimelineElement {
public:
    // A clip freed while placed takes itself off its track.
    ~TClipElement() override;
    std::string_view ClassName() const override { return "TClipElement"; }

    virtual bool HasVideo() const = 0;
    virtual bool HasAudio() const = 0;

    // Places the clip on Track at Start (-1: at the end of the track). With
    // a PreviousDuration (not -3) the clip must already be on that track at
    // that start: a change of duration in place, which moves later clips.
    void MoveTo(TTimelineTrack* Track, TVideoTime PreviousDuration, TVideoTime Start);
    void Detach();

    int32_t SubTrackIndex() const { return FSubTrackIndex; }
    void SetSubTrackIndex(int32_t Index) { FSubTrackIndex = Index; }

    // Colour adjustment: 0 is unchanged; gamma is stored x 10000.
    int32_t Brightness() const { return FBrightness; }
    int32_t Contrast() const { return FContrast; }
    int32_t Saturation() const { return FSaturation; }
    double Gamma() const { return FGamma / 10000.0; }
    void SetBrightness(int32_t Value);
    void SetContrast(int32_t Value);
    void SetSaturation(int32_t Value);
    void SetGamma(double Value);

    double Volume() const { return FVolume; }
    void SetVolume(double Value);
    bool Muted() const { return FMuted; }
    void SetMuted(bool Value);

    // Whether the clip shows a colour of its own around its picture and
    // beneath the picture's transparent parts; the project offers the colour
    // as a setting only then. A clip's source that fills the whole frame
    // itself keeps none.
    virtual bool KeepsBackgroundColor() const { return false; }
    // That colour, R in the low byte and alpha in the high byte. Opaque
    // black by default, the bars a video of another shape than the output
    // gets too.
    TColor BackgroundColor() const { return FBackgroundColor; }
    // Rebuilds the clip when the colour changes and the clip shows it.
    void SetBackgroundColor(TColor Value);

    // The transitions at the clip's start and end (set by the transitions),
    // which its volume fades across; without them, explicit fade lengths.
    TBaseTransitionElement* IncomingTransition() const { return FIncomingTransition; }
    TBaseTransitionElement* OutgoingTransition() const { return FOutgoingTransition; }
    void SetIncomingTransition(TBaseTransitionElement* Transition) {
        FIncomingTransition = Transition;
    }
    void SetOutgoingTransition(TBaseTransitionElement* Transition) {
        FOutgoingTransition = Transition;
    }
    void SetTransitionLengths(TVideoTime Incoming, TVideoTime Outgoing);

    // The clip's own effects in their order; kept by the effects themselves.
    std::vector<TEffectElement*>& ClipEffects() { return FClipEffects; }

    // The media's own formats, for the optimal output format.
    virtual void CollectFormat(TVideoFormat& Video, TAudioFormat& Audio) const;

    void Rebuild() override;
    // Also takes the clip's own effects off the engine timeline.
    void RemoveFromGraph() override;
    // A copy with the same media and parameters, on no track (for render copies).
    virtual std::unique_ptr<TClipElement> Clone() const = 0;
    // The clip's engine source on the sub-track (the first piece of a looping clip).
    TMediaSource* VideoSource() const { return FVideoSource; }
    TMediaSource* AudioSource() const { return FAudioSource; }
    TMediaEffect* ColorAdjustEffect() const { return FColorAdjust; }
    TMediaEffect* VolumeEffect() const { return FVolumeEffect; }

protected:
    TClipElement() = default;
    // Lay the clip's sources down on a sub-track over [Start, Stop).
    virtual void BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) = 0;
    virtual void BuildAudio(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop);
    void SetVideoSource(TMediaSource* Source) { FVideoSource = Source; }
    // Copies the parameters every clip has into a clone.
    void CopyParametersTo(TClipElement& Clone) const;
    void SetAudioSource(TMediaSource* Source) { FAudioSource = Source; }

private:
    friend class TTimelineTrack;
    void BuildColorAdjust(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop);
    void BuildVolume(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop);
    void ParameterChanged();

    int32_t FSubTrackIndex = -1;
    // Where the track's list holds the clip, and whether the track still
    // has to build it there (kept by the track).
    int32_t FListIndex = -1;
    bool FNewInList = false;
    int32_t FBrightness = 0;
    int32_t FContrast = 0;
    int32_t FSaturation = 0;
    int32_t FGamma = 10000;
    double FVolume = 1.0;
    bool FMuted = false;
    TColor FBackgroundColor = 0xFF000000u;
    std::vector<TEffectElement*> FClipEffects;
    TBaseTransitionElement* FIncomingTransition = nullptr;
    TBaseTransitionElement* FOutgoingTransition = nullptr;
    TVideoTime FIncomingLength = 0;
    TVideoTime FOutgoingLength = 0;
    TMediaSource* FVideoSource = nullptr;
    TMediaSource* FAudioSource = nullptr;
    TMediaEffect* FColorAdjust = nullptr;
    TMediaEffect* FVolumeEffect = nullptr;
};
