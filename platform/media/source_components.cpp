#include "platform/media/builtin_components.h"

void RegisterPictureAndTextSources(TMediaComponents&) {}
