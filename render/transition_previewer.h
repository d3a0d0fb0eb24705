#pragma once

#include "render/timeline.h"

#include <memory>
#include <string>

class TFileClipElement;
class TTransitionElement;

// Shows what a transition looks like: a small render timeline of its own
// (320 x 240 at 16 frames per second, one A/B track) where an outgoing
// sample picture gives way to an incoming one through the transition. The
// elements are made on the first show and kept; later shows change only
// what differs. A player window plays it like any other player object.
//
//   TTransitionPreviewer Previewer(Clip1, Clip2);
//   Previewer.ShowTransition(CrossFadeIndex, false, 2 * VideoTimeUnitsPerSecond);
//   Window.ShowObject(Previewer, 0, TPlayerWindow::TStartPlaying::Yes);
class TTransitionPreviewer : public TTimeline {
public:
    TTransitionPreviewer(std::string OutgoingPicture, std::string IncomingPicture);
    ~TTransitionPreviewer() override;
    std::string_view ClassName() const override { return "TTransitionPreviewer"; }

    // Shows the transition of description Index over Duration (at least two
    // frames: the outgoing clip lasts one frame less). An unknown index
    // raises the unknown-transition error before anything is built; any
    // other failure frees the elements built so far, so that the next call
    // starts afresh, and propagates.
    void ShowTransition(int32_t Index, bool Reverse, TVideoTime Duration);

    const std::string& OutgoingPicture() const { return FOutgoingPicture; }
    const std::string& IncomingPicture() const { return FIncomingPicture; }
    TTransitionElement* Transition() const { return FTransition.get(); }
    TFileClipElement* OutgoingClip() const { return FOutgoing.get(); }
    TFileClipElement* IncomingClip() const { return FIncoming.get(); }

private:
    void Build(int32_t Index, bool Reverse, TVideoTime Duration);
    void Change(int32_t Index, bool Reverse, TVideoTime Duration);
    void FreeElements();

    std::string FOutgoingPicture;
    std::string FIncomingPicture;
    // The transition goes before the clips it joins.
    std::unique_ptr<TFileClipElement> FOutgoing;
    std::unique_ptr<TFileClipElement> FIncoming;
    std::unique_ptr<TTransitionElement> FTransition;
    TVideoTime FShownDuration = 0;
};
