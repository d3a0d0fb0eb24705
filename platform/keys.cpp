#include "platform/keys.h"
