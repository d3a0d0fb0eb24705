#pragma once

#include "render/element_props.h"
#include "render/timeline_element.h"

#include <cstdint>
#include <vector>

class TClipElement;
class TEffectDescription;
class TMediaEffect;
class TMediaLayer;

// How an effect's range follows its host (a clip, a track or the whole
// timeline): 0 its own start for the requested length, 1 from the host's
// start, 2 the host's last part, 3 the whole host (or its first or last
// part as the description says), 4 between a relative start and end.
enum class TEffectTimeMode : uint8_t {
    Own = 0,
    FromStart = 1,
    LastPart = 2,
    Whole = 3,
    Relative = 4
};

// Where an effect sits: on a clip, on a track, or over the whole timeline.
enum class TEffectScope : uint8_t { Clip = 0, Track = 1, Timeline = 2 };

// An effect from the description registry on the render timeline. Placed on
// a track it acts on the track's picture and sound; placed on the effects
// track, on the whole timeline; attached to a clip, on the clip alone.
// Effects of one host are kept in the order of their order numbers, which
// is the order the engine applies them in.
class TEffectElement : public TTimelineElement {
public:
    // Raises for an unknown description, or one acting on both video and audio.
    TEffectElement(int32_t DescriptionIndex, TEffectTimeMode Mode, TVideoTime RequestedDuration,
                   TVideoTime RelativeStart = 0, TVideoTime RelativeEnd = 0);
    ~TEffectElement() override;
    std::string_view ClassName() const override { return "TEffectElement"; }

    const TEffectDescription& Description() const { return *FDescription; }
    int32_t DescriptionIndex() const { return FIndex; }
    TEffectTimeMode TimeMode() const { return FMode; }
    TEffectScope Scope() const { return FScope; }
    TVideoTime RequestedDuration() const { return FRequested; }
    TVideoTime FirstLastTime() const { return FFirstLastTime; }
    void SetFirstLastTime(TVideoTime Time);
    TElementProps& Props() { return FProps; }

    void Change(int32_t DescriptionIndex, TEffectTimeMode Mode, TVideoTime RelativeStart,
                TVideoTime RelativeEnd, TVideoTime RequestedDuration);

    // Places the effect on Track at Start with order number Order (-1:
    // last); none detaches it.
    void MoveTo(TTimelineTrack* Track, TVideoTime Start, int32_t Order = -1);
    // Attaches the effect to Clip (none: detaches it) as a clip effect.
    void AttachToClip(TClipElement* Clip, int32_t Order = -1);
    TClipElement* HostClip() const { return FClip; }
    // A clip effect lives on its clip's track; the clip tells it where that is.
    void SetTrackOf(TTimelineTrack* Track) { SetTrackField(Track); }

    // The range the effect covers on the timeline by its mode and host;
    // an empty range builds nothing.
    void ComputeRange(TVideoTime& From, TVideoTime& To) const;
    TMediaEffect* VideoEffect() const { return FVideo; }
    TMediaEffect* AudioEffect() const { return FAudio; }

    void Rebuild() override;
    void RemoveFromGraph() override;
    // A copy with the same description, times and values, on no host.
    std::unique_ptr<TEffectElement> Clone() const;

private:
    // A value the user changed is built into the engine at once (or when
    // the timeline's bracket ends).
    void PropsChanged(TObject* Sender);
    static const TEffectDescription& Find(int32_t Index);
    void Build(TMediaLayer* Layer, TVideoTime From, TVideoTime To, bool Video);
    std::vector<TEffectElement*>* Siblings() const;

    int32_t FIndex;
    const TEffectDescription* FDescription;
    TEffectTimeMode FMode;
    TEffectScope FScope = TEffectScope::Track;
    TVideoTime FRequested;
    TVideoTime FRelativeStart;
    TVideoTime FRelativeEnd;
    TVideoTime FFirstLastTime = 15000000;
    TClipElement* FClip = nullptr;
    TElementProps FProps;
    TMediaEffect* FVideo = nullptr;
    TMediaEffect* FAudio = nullptr;
    TMediaLayer* FVideoLayer = nullptr;
    TMediaLayer* FAudioLayer = nullptr;
};
