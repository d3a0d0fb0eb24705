#include "platform/media/builtin_components.h"
#include "platform/media/picture_source.h"
#include "platform/media/text_source.h"

void RegisterPictureAndTextSources(TMediaComponents& Registry) {
    RegisterPictureSource(Registry);
    RegisterTextSource(Registry);
}
