#pragma once

#include "core/error.h"

// A failure of the text layer that no fallback can hide: no font at all is
// installed, or the font library cannot start.
class ETextError : public EError {
public:
    using EError::EError;
};
