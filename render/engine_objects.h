#pragma once

#include "core/geometry.h"
#include "core/video_time.h"

#include <cstdint>
#include <string>

class TMediaEffect;
class TMediaLayer;
class TMediaSource;
class TMediaTrack;
class TMediaTransition;
class TPropertySetter;
struct TGuid;

// Small builders of engine objects shared by the render timeline's parts.

// The engine's colour value 0xAARRGGBB of a colour with red in the low byte.
uint32_t ArgbOf(TColor Color);

TMediaSource* AddColorSource(TMediaTrack* Track, TVideoTime Start, TVideoTime Stop, uint32_t Argb);
TMediaTransition* AddKeyTransition(TMediaLayer* Layer, TVideoTime Start, TVideoTime Stop);
TMediaEffect* AddEffect(TMediaLayer* Layer, const TGuid& ClassId, TVideoTime Start, TVideoTime Stop,
                        TPropertySetter Properties);

