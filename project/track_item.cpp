#include "project/track_item.h"

#include "project/track.h"

TTrackItem::~TTrackItem() = default;

TProjectChanges* TTrackItem::Changes() const { return FTrack ? FTrack->Changes() : nullptr; }
