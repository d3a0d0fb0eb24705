#pragma once

#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The status area along the foot of the main window: one line showing the
// short form of the current hint (what the control under the mouse does).
class THintLine : public TWidget {
public:
    static constexpr int32_t TextMargin = 4;
    // The most parts a hint is split into at "|".
    static constexpr int32_t MaxHintParts = 6;

    std::string_view ClassName() const override { return "THintLine"; }

    // The line's height in the skin's message font.
    static int32_t LineHeight();

    const std::string& Text() const { return FText; }
    // Shows the first "|"-part of Hint; repaints only when that changes.
    void SetHint(std::string_view Hint);

    void Paint(TPixels& Pixels) override;

private:
    std::string FText;
};

// Hint split at "|" into at most six parts (the sixth keeps any further
// bars); an empty hint has no parts.
std::vector<std::string> SplitHint(std::string_view Hint);
