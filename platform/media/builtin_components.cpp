#include "platform/media/builtin_components.h"

void RegisterBuiltInComponents(TMediaComponents& Registry) {
    RegisterColorSource(Registry);
    RegisterKeyTransition(Registry);
    RegisterCrossFadeTransition(Registry);
    RegisterAudioVolumeEnvelope(Registry);
    RegisterTransformComponents(Registry);
    RegisterPictureAndTextSources(Registry);
}
