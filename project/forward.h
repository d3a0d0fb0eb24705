#pragma once

class TClip;
class TClipEffect;
class TEffect;
class TItem;
class TItemSetting;
class TProject;
class TProjectChanges;
class TProjectDefaults;
class TSubTrack;
class TTrack;
class TTrackItem;
