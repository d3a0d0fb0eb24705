#include "render/transition_previewer.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/file_clip_element.h"
#include "render/preview_bracket.h"
#include "render/transition_element.h"

#include <algorithm>

TTransitionPreviewer::TTransitionPreviewer(std::string OutgoingPicture,
                                           std::string IncomingPicture)
    : FOutgoingPicture(std::move(OutgoingPicture)), FIncomingPicture(std::move(IncomingPicture)) {}

TTransitionPreviewer::~TTransitionPreviewer() {
    // The engine's threads go before the elements they read.
    SetVideoVisible(false);
    FreeElements();
}

void TTransitionPreviewer::FreeElements() {
    TTimelineUpdateGuard Bracket(*this);
    FTransition.reset();
    FIncoming.reset();
    FOutgoing.reset();
    FShownDuration = 0;
}

void TTransitionPreviewer::ShowTransition(int32_t Index, bool Reverse, TVideoTime Duration) {
    if (!DescriptionRegistry().Transitions().TransitionByIndex(Index))
        RaiseError(FormatMessageText(GetText(TTextSlot::UnknownTransitionDescription),
                                     std::to_string(Index)));
    // The outgoing clip is one frame shorter and must keep a frame.
    Duration = std::max(Duration, 2 * FrameDuration());
    try {
        if (!FTransition)
            Build(Index, Reverse, Duration);
        else
            Change(Index, Reverse, Duration);
    } catch (...) {
        FreeElements();
        throw;
    }
    FShownDuration = Duration;
}

void TTransitionPreviewer::Build(int32_t Index, bool Reverse, TVideoTime Duration) {
    TCommittedBracket Bracket(*this);
    // A provisional length until the clips are there to measure.
    FTransition = std::make_unique<TTransitionElement>(nullptr, Reverse, 2 * VideoTimeUnitsPerSecond,
                                                       0, nullptr, Index);
    // The engine's transition ends a frame early, so that the last frame
    // is the incoming picture alone.
    FTransition->SetCut(FrameDuration());
    TVideoTime Cut = FTransition->Cut();
    FOutgoing = std::make_unique<TFileClipElement>(FOutgoingPicture, true, true, Duration - Cut);
    FOutgoing->MoveTo(Track(1), -3, 0);
    FIncoming = std::make_unique<TFileClipElement>(FIncomingPicture, true, true, Duration);
    TVideoTime Overlap = std::min(FIncoming->Duration(), FOutgoing->Duration());
    TVideoTime IncomingStart = std::max<TVideoTime>(FOutgoing->Duration() - Overlap, 0);
    FIncoming->MoveTo(Track(1), -3, IncomingStart);
    FTransition->SetRange(IncomingStart, Overlap);
    FTransition->SetOutgoingClip(FOutgoing.get());
    FTransition->SetIncomingClip(FIncoming.get());
    FTransition->MoveTo(Track(1));
    Bracket.Commit();
}

void TTransitionPreviewer::Change(int32_t Index, bool Reverse, TVideoTime Duration) {
    if (Duration == FShownDuration || (!FOutgoing->IsStill() && !FIncoming->IsStill())) {
        FTransition->Change(Index, Reverse, FTransition->Duration(), FTransition->Start());
        return;
    }
    TCommittedBracket Bracket(*this);
    if (FOutgoing->IsStill())
        FOutgoing->SetDuration(Duration - FTransition->Cut());
    if (FIncoming->IsStill())
        FIncoming->SetDuration(Duration);
    TVideoTime Overlap = std::min(FIncoming->Duration(), FOutgoing->Duration());
    TVideoTime IncomingStart = std::max<TVideoTime>(FOutgoing->Duration() - Overlap, 0);
    FIncoming->MoveTo(Track(1), -3, IncomingStart);
    FTransition->Change(Index, Reverse, Overlap, IncomingStart);
    Bracket.Commit();
}
