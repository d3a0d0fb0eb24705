#include "platform/media/builtin_components.h"

void RegisterTransformComponents(TMediaComponents&) {}
