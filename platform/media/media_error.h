#pragma once

#include "core/error.h"

#include <string>

// A failure of the media engine: unreadable media, an unknown component, a
// codec that cannot be opened. The message names the file or node and
// carries the library's own reason.
class EMediaError : public EError {
public:
    using EError::EError;
};

[[noreturn]] void RaiseMediaError(const std::string& What, const std::string& Reason);
