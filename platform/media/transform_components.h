#pragma once

#include "platform/forward.h"
#include "platform/media/media_guid.h"

// The transforms of the engine: transitions, video effects and audio effects
// addressed by class id. RegisterTransformComponents (builtin_components.h)
// registers all of them; each component file registers its own.

namespace TransformClassIds {
const TGuid& Wipe();
const TGuid& Slide();
const TGuid& Stretch();
// Used both as a transition and as a video effect.
const TGuid& Pixelate();
const TGuid& Emboss();
const TGuid& Engrave();
const TGuid& BasicImage();
const TGuid& AlphaRamp();
const TGuid& ColourFade();
const TGuid& ColourAdjust();
const TGuid& Modulation();
const TGuid& ClipVolume();
} // namespace TransformClassIds

void RegisterWipeTransition(TMediaComponents& Registry);
void RegisterSlideTransition(TMediaComponents& Registry);
void RegisterStretchTransition(TMediaComponents& Registry);
void RegisterPixelate(TMediaComponents& Registry);
void RegisterEmbossEffects(TMediaComponents& Registry);
void RegisterBasicImageEffect(TMediaComponents& Registry);
void RegisterAlphaRampEffect(TMediaComponents& Registry);
void RegisterColourFadeEffect(TMediaComponents& Registry);
void RegisterColourAdjustEffect(TMediaComponents& Registry);
void RegisterModulationEffect(TMediaComponents& Registry);
void RegisterClipVolumeEffect(TMediaComponents& Registry);
