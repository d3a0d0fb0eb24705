#include "canvas/canvas_error.h"

#include "core/text.h"
#include "core/text_table.h"

void RaiseUnreadableBitmap() {
    throw ECanvasError(GetText(TTextSlot::CanvasUnreadableBitmap));
}

void RaiseCanvasError(const std::string& Message) {
    throw ECanvasError(Message);
}
