#pragma once

#include "core/error.h"

// A failure of the canvas: a picture that cannot be read or written, or a
// raster that cannot be made. The message comes from the text table.
class ECanvasError : public EError {
public:
    using EError::EError;
};

[[noreturn]] void RaiseUnreadableBitmap();
[[noreturn]] void RaiseCanvasError(const std::string& Message);
