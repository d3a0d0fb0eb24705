#pragma once

// What the editing operations of a track share; used by their .cpp files
// only.

#include "core/changes.h"
#include "core/text_table.h"
#include "project/clip.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/track.h"
#include "project/transition.h"
#include "project/undo_history.h"
#include "render/timeline.h"

#include <memory>
#include <optional>
#include <utility>

// The brackets every editing operation of a track runs in: the project's
// notifier, so that listeners see one change, and its render timeline, so
// that the engine rebuilds once. The timeline's closes first.
class TEditBrackets {
public:
    explicit TEditBrackets(TTrack& Track) : FChanges(Track.Changes()) {
        if (TProject* Project = Track.Project())
            FTimeline.emplace(Project->Timeline());
    }
    TEditBrackets(const TEditBrackets&) = delete;
    TEditBrackets& operator=(const TEditBrackets&) = delete;

private:
    TUpdateGuard FChanges;
    std::optional<TTimelineUpdateGuard> FTimeline;
};

// Files a new record of type TRecord with the undo history (into the open
// group, if any).
template <class TRecord, class... TArgs>
void Record(TArgs&&... Args) {
    UndoHistory().Add(std::make_unique<TRecord>(std::forward<TArgs>(Args)...));
}

inline TClip* AsClip(TTrackItem* Item) {
    return dynamic_cast<TClip*>(Item);
}
inline TTransition* AsTransition(TTrackItem* Item) {
    return dynamic_cast<TTransition*>(Item);
}
inline bool IsStretchableClip(const TTrackItem* Item) {
    const auto* Clip = dynamic_cast<const TClip*>(Item);
    return Clip && Clip->IsStretchable();
}
// The length of an item that may be missing.
inline TVideoTime LengthOf(const TTrackItem* Item) {
    return Item ? Item->Duration() : 0;
}

// A clip with a leading / trailing transition; a transition with a from- /
// to-clip.
inline bool HasLeadingLink(const TTrackItem* Item) {
    if (const auto* Clip = dynamic_cast<const TClip*>(Item))
        return Clip->LeadingTransition() != nullptr;
    if (const auto* Transition = dynamic_cast<const TTransition*>(Item))
        return Transition->FromClip() != nullptr;
    return false;
}
inline bool HasTrailingLink(const TTrackItem* Item) {
    if (const auto* Clip = dynamic_cast<const TClip*>(Item))
        return Clip->TrailingTransition() != nullptr;
    if (const auto* Transition = dynamic_cast<const TTransition*>(Item))
        return Transition->ToClip() != nullptr;
    return false;
}
