#include "project/sub_track.h"

#include "project/track.h"

TSubTrack::~TSubTrack() = default;

TProjectChanges* TSubTrack::Changes() const { return FTrack ? FTrack->Changes() : nullptr; }
