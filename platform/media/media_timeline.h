#pragma once

#include "core/video_time.h"
#include "platform/forward.h"
#include "platform/media/media_format.h"
#include "platform/media/media_guid.h"
#include "platform/media/property_setter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The engine's editing-timeline model. A timeline holds groups (one video,
// one audio); a group is a composition; compositions hold tracks and further
// compositions at priorities (higher priorities lie on top); tracks hold
// sources in time order. Effects sit on tracks and compositions, transitions
// on a track combine it with what lies beneath it in its composition.
//
//   TMediaTimeline Timeline;
//   TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({640, 360, 400000}));
//   TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
//   auto Source = std::make_unique<TMediaSource>();
//   Source->SetMediaName("/clips/a.mp4");
//   Source->SetStartStop(0, 50000000);
//   Source->SetMediaTimes(0, 50000000);
//   Track->SrcAdd(std::move(Source));     // probes the file: unreadable media raises here
//
// The model is edited on one thread and only read while a renderer draws.

// The node types, numbered as the timeline callers know them.
enum class TMediaNodeType : int32_t {
    Composition = 1,
    Track = 2,
    Source = 4,
    Transition = 8,
    Effect = 16,
    Group = 128,
};

class TMediaNode {
public:
    explicit TMediaNode(TMediaNodeType Type);
    virtual ~TMediaNode();
    TMediaNode(const TMediaNode&) = delete;
    TMediaNode& operator=(const TMediaNode&) = delete;

    TMediaNodeType Type() const { return FType; }
    TMediaNode* Parent() const { return FParent; }
    // The group this node lies in, or none while it is not inserted.
    TMediaGroup* Group() const;
    // A number no other node of this process has, for caches keyed by node.
    uint64_t Serial() const { return FSerial; }
    // Grows with every change of the node's own values, so renderers know
    // when to rebuild what they made from it.
    uint64_t Version() const { return FVersion; }

    // The range on the timeline (sources, effects, transitions: relative to
    // nothing, in 100-ns units; start inclusive, stop exclusive).
    TVideoTime Start() const { return FStart; }
    TVideoTime Stop() const { return FStop; }
    void SetStartStop(TVideoTime Start, TVideoTime Stop);
    bool Covers(TVideoTime Time) const { return Time >= FStart && Time < FStop; }

    const TGuid& SubObjectClassId() const { return FClassId; }
    void SetSubObjectClassId(const TGuid& Id);

    const TPropertySetter& Properties() const { return FProperties; }
    void SetProperties(TPropertySetter Properties);

    bool Muted() const { return FMuted; }
    void SetMuted(bool Value);

protected:
    void Touch() { ++FVersion; }

private:
    friend class TMediaLayer;
    friend class TMediaComposition;
    friend class TMediaTrack;
    friend class TMediaTimeline;

    TMediaNodeType FType;
    TMediaNode* FParent = nullptr;
    uint64_t FSerial;
    uint64_t FVersion = 0;
    TVideoTime FStart = 0;
    TVideoTime FStop = 0;
    TGuid FClassId;
    TPropertySetter FProperties;
    bool FMuted = false;
};

class TMediaEffect : public TMediaNode {
public:
    TMediaEffect() : TMediaNode(TMediaNodeType::Effect) {}
    int32_t Priority() const { return FPriority; }

private:
    friend class TMediaLayer;
    int32_t FPriority = 0;
};

class TMediaTransition : public TMediaNode {
public:
    TMediaTransition() : TMediaNode(TMediaNodeType::Transition) {}
    bool SwapInputs() const { return FSwapInputs; }
    void SetSwapInputs(bool Value);

private:
    bool FSwapInputs = false;
};

// What tracks and compositions share: effects in priority order and
// transitions in time order.
class TMediaLayer : public TMediaNode {
public:
    int32_t Priority() const { return FPriority; }

    // Inserts Effect at Priority (-1 or beyond the end appends); later
    // effects move up one. Raises when no component has the effect's class id.
    TMediaEffect* EffectInsBefore(std::unique_ptr<TMediaEffect> Effect, int32_t Priority);
    // Raises when no component has the transition's class id, or when it
    // overlaps a transition already on this layer.
    TMediaTransition* TransAdd(std::unique_ptr<TMediaTransition> Transition);
    void RemoveEffect(TMediaEffect* Effect);
    void RemoveTransition(TMediaTransition* Transition);

    const std::vector<std::unique_ptr<TMediaEffect>>& Effects() const { return FEffects; }
    const std::vector<std::unique_ptr<TMediaTransition>>& Transitions() const {
        return FTransitions;
    }
    // The transition in force at Time, or none.
    const TMediaTransition* TransitionAt(TVideoTime Time) const;

    // The end of the last thing on this layer.
    virtual TVideoTime Duration() const = 0;

protected:
    explicit TMediaLayer(TMediaNodeType Type) : TMediaNode(Type) {}

private:
    friend class TMediaComposition;
    int32_t FPriority = 0;
    std::vector<std::unique_ptr<TMediaEffect>> FEffects;
    std::vector<std::unique_ptr<TMediaTransition>> FTransitions;
};

class TMediaSource : public TMediaNode {
public:
    // How a picture of another size fills the group's frame.
    enum TStretchMode : int32_t { Stretch = 0, Crop = 1, PreserveAspectRatio = 2 };

    TMediaSource() : TMediaNode(TMediaNodeType::Source) {}

    const std::string& MediaName() const { return FMediaName; }
    void SetMediaName(std::string Name);
    int32_t StreamNumber() const { return FStreamNumber; }
    void SetStreamNumber(int32_t Number);
    TVideoTime MediaStart() const { return FMediaStart; }
    TVideoTime MediaStop() const { return FMediaStop; }
    void SetMediaTimes(TVideoTime Start, TVideoTime Stop);
    // 0 for media without a length of its own (pictures, generated sources).
    TVideoTime MediaLength() const { return FMediaLength; }
    void SetMediaLength(TVideoTime Length);
    int32_t StretchMode() const { return FStretchMode; }
    void SetStretchMode(int32_t Mode);

    // The media time shown at timeline Time: the media range is spread over
    // the timeline range, so a shorter media range plays slower.
    TVideoTime MediaTimeAt(TVideoTime Time) const;
    bool IsPlainSource() const { return SubObjectClassId().IsEmpty(); }

private:
    std::string FMediaName;
    int32_t FStreamNumber = 0;
    TVideoTime FMediaStart = 0;
    TVideoTime FMediaStop = 0;
    TVideoTime FMediaLength = 0;
    int32_t FStretchMode = Stretch;
};

class TMediaTrack : public TMediaLayer {
public:
    TMediaTrack() : TMediaLayer(TMediaNodeType::Track) {}

    // Adds a source in time order. A plain source's media is opened and
    // checked here, a generated source's class id looked up: what cannot be
    // played raises now rather than while playing.
    TMediaSource* SrcAdd(std::unique_ptr<TMediaSource> Source);
    void RemoveSource(TMediaSource* Source);
    const std::vector<std::unique_ptr<TMediaSource>>& Sources() const { return FSources; }
    // The source covering Time, or none (a gap).
    const TMediaSource* SourceAt(TVideoTime Time) const;

    TVideoTime Duration() const override;

private:
    std::vector<std::unique_ptr<TMediaSource>> FSources; // in start order
};

class TMediaComposition : public TMediaLayer {
public:
    TMediaComposition() : TMediaLayer(TMediaNodeType::Composition) {}

    // Inserts a track or composition at Priority (-1 or beyond the end
    // appends); the layers from there up move one priority higher.
    template <class TLayer>
    TLayer* VTrackInsBefore(std::unique_ptr<TLayer> Layer, int32_t Priority) {
        TLayer* Raw = Layer.get();
        InsertLayer(std::move(Layer), Priority);
        return Raw;
    }
    void RemoveLayer(TMediaLayer* Layer);
    // Layers in priority order: index = priority, the highest on top.
    const std::vector<std::unique_ptr<TMediaLayer>>& Layers() const { return FLayers; }

    TVideoTime Duration() const override;

protected:
    explicit TMediaComposition(TMediaNodeType Type) : TMediaLayer(Type) {}

private:
    void InsertLayer(std::unique_ptr<TMediaLayer> Layer, int32_t Priority);
    std::vector<std::unique_ptr<TMediaLayer>> FLayers;
};

class TMediaGroup : public TMediaComposition {
public:
    static std::unique_ptr<TMediaGroup> Video(const TMediaVideoFormat& Format);
    static std::unique_ptr<TMediaGroup> Audio(const TMediaAudioFormat& Format);

    bool IsVideo() const { return FIsVideo; }
    const TMediaVideoFormat& VideoFormat() const { return FVideo; }
    const TMediaAudioFormat& AudioFormat() const { return FAudio; }
    bool PreviewMode() const { return FPreviewMode; }
    void SetPreviewMode(bool Value) { FPreviewMode = Value; }
    double OutputFPS() const { return FOutputFPS; }
    void SetOutputFPS(double Value) { FOutputFPS = Value; }
    TMediaTimeline* Timeline() const { return FTimeline; }

private:
    TMediaGroup() : TMediaComposition(TMediaNodeType::Group) {}
    friend class TMediaTimeline;
    bool FIsVideo = true;
    TMediaVideoFormat FVideo;
    TMediaAudioFormat FAudio;
    bool FPreviewMode = false;
    double FOutputFPS = 0;
    TMediaTimeline* FTimeline = nullptr;
};

class TMediaTimeline {
public:
    TMediaTimeline();
    ~TMediaTimeline();
    TMediaTimeline(const TMediaTimeline&) = delete;
    TMediaTimeline& operator=(const TMediaTimeline&) = delete;

    TMediaGroup* AddGroup(std::unique_ptr<TMediaGroup> Group);
    void RemoveGroup(TMediaGroup* Group);
    const std::vector<std::unique_ptr<TMediaGroup>>& Groups() const { return FGroups; }
    TMediaGroup* VideoGroup() const;
    TMediaGroup* AudioGroup() const;

    // The end of the last thing on the timeline.
    TVideoTime Duration() const;

private:
    std::vector<std::unique_ptr<TMediaGroup>> FGroups;
};
