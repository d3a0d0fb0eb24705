#include "render/timeline_element.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_timeline.h"
#include "render/timeline.h"

TTimelineElement::~TTimelineElement() {
    if (FPendingIn)
        FPendingIn->RemovePending(this);
}

TTimeline* TTimelineElement::Timeline() const {
    return FTrack ? FTrack->Timeline() : nullptr;
}

void TTimelineElement::SetDuration(TVideoTime Duration) {
    if (!CanSetDuration())
        RaiseError(FormatMessageText(GetText(TTextSlot::CannotSetDuration), ClassName()));
    if (Duration == FDuration)
        return;
    FDuration = Duration;
    Update();
}

void TTimelineElement::SetStart(TVideoTime Start) {
    if (Start == FStart)
        return;
    FStart = Start;
    Update();
}

void TTimelineElement::Update() {
    TTimeline* Owner = Timeline();
    if (!Owner)
        return;
    // Still waiting in a timeline it has left (moved before that one was
    // built): it waits here from now on.
    if (FPendingIn && FPendingIn != Owner)
        FPendingIn->RemovePending(this);
    bool Now = Owner->Idle() || Owner->Flushing();
    // Already waiting for this bracket's end, and out of the graph since.
    if (!Now && FPendingIn == Owner)
        return;
    if (FEnabled && Now) {
        Owner->BuildElement(*this);
        return;
    }
    RemoveFromGraph();
    if (!FPendingIn)
        Owner->AddPending(this);
}

void TTimelineElement::Keep(TMediaLayer* Parent, TMediaNode* Node) {
    FKept.push_back({Parent, Node});
}

void TTimelineElement::RemoveFromGraph() {
    // Last made, first removed.
    for (auto It = FKept.rbegin(); It != FKept.rend(); ++It) {
        switch (It->Node->Type()) {
        case TMediaNodeType::Source:
            static_cast<TMediaTrack*>(It->Parent)
                ->RemoveSource(static_cast<TMediaSource*>(It->Node));
            break;
        case TMediaNodeType::Effect:
            It->Parent->RemoveEffect(static_cast<TMediaEffect*>(It->Node));
            break;
        case TMediaNodeType::Transition:
            It->Parent->RemoveTransition(static_cast<TMediaTransition*>(It->Node));
            break;
        default:
            break;
        }
    }
    FKept.clear();
}
