#pragma once

#include "core/video_time.h"
#include "platform/forward.h"
#include "platform/media/media_format.h"
#include "platform/media/media_guid.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

// Where a component is asked to work: the node's own range and the time.
struct TComponentTime {
    TVideoTime Time = 0;  // on the timeline
    TVideoTime Start = 0; // the node's range on the timeline
    TVideoTime Stop = 0;

    TVideoTime Relative() const { return Time - Start; }
    // 0 at the start of the range, 1 at its end.
    double Progress() const;
};

// A generated picture source (colour, title, still picture): it draws the
// frame for a time into a frame of the group's size.
class TVideoSourceComponent {
public:
    virtual ~TVideoSourceComponent() = default;
    virtual void Render(const TComponentTime& When, TVideoFrame& Frame) = 0;
};

// A video effect changes a frame in place.
class TVideoEffectComponent {
public:
    virtual ~TVideoEffectComponent() = default;
    virtual void Apply(const TComponentTime& When, TVideoFrame& Frame) = 0;
};

// A transition combines A (what lies beneath) with B (its own track) into
// Output, all three of the group's size.
class TVideoTransitionComponent {
public:
    virtual ~TVideoTransitionComponent() = default;
    virtual void Combine(const TComponentTime& When, const TVideoFrame& A, const TVideoFrame& B,
                         TVideoFrame& Output) = 0;
};

// An audio effect changes interleaved float samples of a block that starts
// at BlockStart on the timeline.
class TAudioEffectComponent {
public:
    virtual ~TAudioEffectComponent() = default;
    virtual void Apply(TVideoTime BlockStart, TVideoTime EffectStart, TVideoTime EffectStop,
                       const TMediaAudioFormat& Format, float* Samples, int32_t Frames) = 0;
};

// The registry of components by class id. Each factory parses the node's
// properties once, into typed values, when the component is made.
class TMediaComponents {
public:
    using TSourceFactory = std::function<std::unique_ptr<TVideoSourceComponent>(
        const TMediaSource&, const TMediaVideoFormat&)>;
    using TVideoEffectFactory = std::function<std::unique_ptr<TVideoEffectComponent>(
        const TPropertySetter&, const TMediaVideoFormat&)>;
    using TTransitionFactory = std::function<std::unique_ptr<TVideoTransitionComponent>(
        const TPropertySetter&, const TMediaVideoFormat&)>;
    using TAudioEffectFactory =
        std::function<std::unique_ptr<TAudioEffectComponent>(const TPropertySetter&)>;

    void RegisterSource(const TGuid& Id, TSourceFactory Factory);
    void RegisterVideoEffect(const TGuid& Id, TVideoEffectFactory Factory);
    void RegisterTransition(const TGuid& Id, TTransitionFactory Factory);
    void RegisterAudioEffect(const TGuid& Id, TAudioEffectFactory Factory);

    bool HasSource(const TGuid& Id) const { return FSources.count(Id) > 0; }
    bool HasVideoEffect(const TGuid& Id) const { return FVideoEffects.count(Id) > 0; }
    bool HasTransition(const TGuid& Id) const { return FTransitions.count(Id) > 0; }
    bool HasAudioEffect(const TGuid& Id) const { return FAudioEffects.count(Id) > 0; }

    // Each raises EMediaError for an unknown class id.
    std::unique_ptr<TVideoSourceComponent> MakeSource(const TMediaSource& Source,
                                                      const TMediaVideoFormat& Format) const;
    std::unique_ptr<TVideoEffectComponent> MakeVideoEffect(const TMediaNode& Node,
                                                           const TMediaVideoFormat& Format) const;
    std::unique_ptr<TVideoTransitionComponent>
    MakeTransition(const TMediaNode& Node, const TMediaVideoFormat& Format) const;
    std::unique_ptr<TAudioEffectComponent> MakeAudioEffect(const TMediaNode& Node) const;

private:
    std::map<TGuid, TSourceFactory> FSources;
    std::map<TGuid, TVideoEffectFactory> FVideoEffects;
    std::map<TGuid, TTransitionFactory> FTransitions;
    std::map<TGuid, TAudioEffectFactory> FAudioEffects;
};

// The engine's registry, with the built-in components registered: the
// colour source, the key transition and the audio volume envelope.
TMediaComponents& MediaComponents();
