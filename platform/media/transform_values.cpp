#include "platform/media/transform_values.h"

#include "core/text.h"

#include <cmath>
#include <cstdint>

namespace {

std::string_view Trimmed(std::string_view Text) {
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t'))
        Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t'))
        Text.remove_suffix(1);
    return Text;
}

} // namespace

std::optional<bool> ParsePropertyBool(std::string_view Text) {
    Text = Trimmed(Text);
    if (SameTextAscii(Text, "true"))
        return true;
    if (SameTextAscii(Text, "false"))
        return false;
    double Value = 0;
    if (!ParsePropertyNumber(Text, Value))
        return std::nullopt;
    return Value != 0;
}

std::optional<TColor> ParsePropertyColor(std::string_view Text) {
    double Value = 0;
    if (!ParsePropertyNumber(Text, Value) || std::fabs(Value) >= 9.2e18)
        return std::nullopt;
    // Negative values are the signed reading of the same 32 bits (-1 is white).
    return static_cast<TColor>(static_cast<uint64_t>(static_cast<int64_t>(Value)));
}

std::optional<int32_t> ParsePropertyInteger(std::string_view Text) {
    double Value = 0;
    if (!ParsePropertyNumber(Text, Value) || std::fabs(Value) > 2e9)
        return std::nullopt;
    return static_cast<int32_t>(std::lround(Value));
}

TSteppedKeys<bool> BoolKeys(const TPropertySetter& Setter, std::string_view Name, bool Default) {
    return TSteppedKeys<bool>(Setter, Name, Default, ParsePropertyBool);
}

TSteppedKeys<TColor> ColorKeys(const TPropertySetter& Setter, std::string_view Name,
                               TColor Default) {
    return TSteppedKeys<TColor>(Setter, Name, Default, ParsePropertyColor);
}
