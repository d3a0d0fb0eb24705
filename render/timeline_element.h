#pragma once

#include "core/object.h"
#include "core/video_time.h"

#include <vector>

class TMediaLayer;
class TMediaNode;
class TTimeline;
class TTimelineTrack;

// The base of everything a project item places on the render timeline: a
// start and a duration on a track, and the engine objects it made there.
// A change while the timeline is inside an update bracket only marks the
// element pending; it rebuilds once when the outermost bracket ends.
class TTimelineElement : public TObject {
public:
    ~TTimelineElement() override;
    std::string_view ClassName() const override { return "TTimelineElement"; }

    // The track the element belongs to, none while detached.
    TTimelineTrack* Track() const { return FTrack; }
    TTimeline* Timeline() const;
    TVideoTime Start() const { return FStart; }
    TVideoTime Duration() const { return FDuration; }
    TVideoTime End() const { return FStart + FDuration; }
    bool Pending() const { return FPendingIn != nullptr; }
    // Whether the last build failed (the media could not be opened): the
    // element then has nothing on the engine's timeline until a later build
    // succeeds.
    bool Unavailable() const { return FUnavailable; }
    bool Enabled() const { return FEnabled; }

    virtual bool CanSetDuration() const { return true; }
    // Raises the cannot-set-duration error when the element's length is its
    // media's.
    void SetDuration(TVideoTime Duration);
    void SetStart(TVideoTime Start);

    // Rebuilds the engine objects now, or when the bracket ends.
    void Update();
    // Builds the element's engine objects on its track (the timeline calls
    // this while flushing).
    virtual void Rebuild() = 0;
    // Takes every engine object the element made off the timeline.
    virtual void RemoveFromGraph();

protected:
    TTimelineElement() = default;
    // A copy starts as unavailable as its original, so that a failure
    // already reported is not reported again for the copy.
    void CopyAvailability(const TTimelineElement& From) { FUnavailable = From.FUnavailable; }
    void SetTrackField(TTimelineTrack* Track) { FTrack = Track; }
    void SetStartField(TVideoTime Start) { FStart = Start; }
    void SetDurationField(TVideoTime Duration) { FDuration = Duration; }
    // Engine objects made for the element, removed again by RemoveFromGraph.
    void Keep(TMediaLayer* Parent, TMediaNode* Node);

private:
    friend class TTimeline;
    struct TKept {
        TMediaLayer* Parent;
        TMediaNode* Node;
    };
    TTimelineTrack* FTrack = nullptr;
    TVideoTime FStart = 0;
    TVideoTime FDuration = 0;
    // The timeline whose pending list holds the element: it may have left
    // its track since (and so that timeline) and must still be taken off
    // the list before it is freed.
    TTimeline* FPendingIn = nullptr;
    size_t FPendingSlot = 0; // its place in that list
    bool FEnabled = true;
    bool FUnavailable = false;
    std::vector<TKept> FKept;
};
