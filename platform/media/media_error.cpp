#include "platform/media/media_error.h"

void RaiseMediaError(const std::string& What, const std::string& Reason) {
    throw EMediaError(Reason.empty() ? What : What + ": " + Reason);
}
