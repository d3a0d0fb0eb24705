#pragma once

#include "platform/forward.h"

// Registers the engine's own components: sources, effects and transitions
// addressed by class id.
void RegisterBuiltInComponents(TMediaComponents& Registry);

void RegisterColorSource(TMediaComponents& Registry);
void RegisterKeyTransition(TMediaComponents& Registry);
void RegisterCrossFadeTransition(TMediaComponents& Registry);
void RegisterAudioVolumeEnvelope(TMediaComponents& Registry);
// The transforms: wipes, slides, stretches, pixelation, image effects and
// the audio effects.
void RegisterTransformComponents(TMediaComponents& Registry);
// The picture source (stills with zoom and pan) and the text source (titles).
void RegisterPictureAndTextSources(TMediaComponents& Registry);
