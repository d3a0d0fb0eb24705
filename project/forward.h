#pragma once

class TItem;
class TItemSetting;
class TProject;
class TProjectChanges;
class TProjectDefaults;
class TSubTrack;
class TTrack;
class TTrackItem;
