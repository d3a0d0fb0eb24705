#pragma once

#include <cstdint>

class TClip;
class TClipEffect;
class TEffect;
class TItem;
class TItemSetting;
class TProject;
class TProjectChanges;
enum class TProjectChangeFlags : uint32_t;
class TProjectDefaults;
class TSubTrack;
class TTrack;
class TTrackItem;
