#pragma once

#include "platform/media/media_guid.h"
#include "render/element_props.h"
#include "render/timeline_element.h"

#include <cstdint>
#include <memory>

class TClipElement;
class TMediaTransition;
class TPropertySetter;
class TTransitionDescription;

// A transition on the render timeline: it joins the clip that ends
// (outgoing) with the clip that starts (incoming) over their overlap. On an
// A/B track it sits on the second sub-track, its inputs swapped as the two
// clips' sub-tracks and its reverse flag say; a missing clip is replaced by
// black. The clips' volumes fade across it.
class TBaseTransitionElement : public TTimelineElement {
public:
    ~TBaseTransitionElement() override;
    std::string_view ClassName() const override { return "TBaseTransitionElement"; }

    TClipElement* OutgoingClip() const { return FOutgoing; }
    TClipElement* IncomingClip() const { return FIncoming; }
    void SetOutgoingClip(TClipElement* Clip);
    void SetIncomingClip(TClipElement* Clip);
    bool Reverse() const { return FReverse; }
    void SetReverse(bool Value);
    // Taken off the end of the engine transition's range.
    TVideoTime Cut() const { return FCut; }
    void SetCut(TVideoTime Cut);
    // Start and duration; the clips' volume fades follow.
    void SetRange(TVideoTime Start, TVideoTime Duration);

    // Places the transition on Track (none: detached).
    void MoveTo(TTimelineTrack* Track);
    void Detach() { MoveTo(nullptr); }

    TElementProps& Props() { return FProps; }
    const TElementProps& Props() const { return FProps; }
    // The engine component; an empty class id marks an audio-only transition.
    virtual const TGuid& TransitionClassId() const = 0;
    // The engine transition made by the last build, or none.
    TMediaTransition* EngineTransition() const { return FEngine; }

    void Rebuild() override;

protected:
    TBaseTransitionElement(TClipElement* Outgoing, bool Reverse, TVideoTime Duration,
                           TVideoTime Start, TClipElement* Incoming);
    virtual void WriteProperties(TPropertySetter& Setter, TVideoTime Start,
                                 TVideoTime Duration) const;

private:
    void ClipsChanged();
    // Values the user sets keep the class the description gives their key
    // (a softness is stored in percent and built in the engine's range).
    TPropertyValueClass ValueClassOf(std::string_view Key) const;
    // A value the user changed is built into the engine at once (or when
    // the timeline's bracket ends).
    void PropsChanged(TObject* Sender);

    TClipElement* FOutgoing = nullptr;
    TClipElement* FIncoming = nullptr;
    bool FReverse = false;
    TVideoTime FCut = 0;
    TElementProps FProps;
    TMediaTransition* FEngine = nullptr;
};

// A transition from the description registry.
class TTransitionElement : public TBaseTransitionElement {
public:
    // Raises the unknown-transition error for an index no description has.
    TTransitionElement(TClipElement* Outgoing, bool Reverse, TVideoTime Duration, TVideoTime Start,
                       TClipElement* Incoming, int32_t DescriptionIndex);
    std::string_view ClassName() const override { return "TTransitionElement"; }

    int32_t DescriptionIndex() const { return FIndex; }
    const TTransitionDescription& Description() const { return *FDescription; }
    // Re-applies only when something differs.
    void Change(int32_t DescriptionIndex, bool Reverse, TVideoTime Duration, TVideoTime Start);
    const TGuid& TransitionClassId() const override;
    // A copy joining the given clips (the clones of this one's), on no track.
    std::unique_ptr<TTransitionElement> Clone(TClipElement* Outgoing, TClipElement* Incoming) const;

protected:
    void WriteProperties(TPropertySetter& Setter, TVideoTime Start,
                         TVideoTime Duration) const override;

private:
    static const TTransitionDescription& Find(int32_t Index);
    int32_t FIndex;
    const TTransitionDescription* FDescription;
};
