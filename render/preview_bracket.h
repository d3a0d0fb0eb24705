#pragma once

#include "core/exception_report.h"
#include "render/timeline.h"

// An update bracket whose failures are the caller's: Commit closes it and
// raises the first element that could not be built; a bracket left by an
// exception closes quietly (reporting, as the timeline's guard does).
// The previewers build their timelines in it, so that a picture the engine
// cannot show fails the show instead of leaving a half-built preview.
//
//   TCommittedBracket Bracket(Timeline);
//   Clip.MoveTo(Timeline.Track(1), -3, 0);
//   Bracket.Commit();
class TCommittedBracket {
public:
    explicit TCommittedBracket(TTimeline& Timeline) : FTimeline(Timeline) {
        FTimeline.BeginUpdate();
    }
    ~TCommittedBracket() {
        if (FClosed)
            return;
        try {
            FTimeline.EndUpdate();
        } catch (...) {
            ReportCurrentException();
        }
    }
    TCommittedBracket(const TCommittedBracket&) = delete;
    TCommittedBracket& operator=(const TCommittedBracket&) = delete;

    void Commit() {
        FClosed = true;
        FTimeline.Commit();
    }

private:
    TTimeline& FTimeline;
    bool FClosed = false;
};
