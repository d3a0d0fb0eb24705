#include "platform/media/source_name_fields.h"

#include "platform/graphics/color.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

template <class T>
bool ParseInteger(std::string_view Text, T& Value) {
    if (Text.empty())
        return false;
    if (Text.front() == '+')
        Text.remove_prefix(1);
    T Parsed{};
    auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Parsed);
    if (Error != std::errc() || End != Text.data() + Text.size())
        return false;
    Value = Parsed;
    return true;
}

} // namespace

bool ParseDecimal(std::string_view Text, double& Value) {
    if (Text.empty() || Text.size() > 400)
        return false;
    std::string Copy(Text);
    if (Copy.front() == '+')
        Copy.erase(0, 1);
    for (char& C : Copy)
        if (C == ',')
            C = '.';
    double Parsed = 0;
    auto [End, Error] =
        std::from_chars(Copy.data(), Copy.data() + Copy.size(), Parsed, std::chars_format::general);
    if (Error != std::errc() || End != Copy.data() + Copy.size() || !std::isfinite(Parsed))
        return false;
    Value = Parsed;
    return true;
}

bool ParseDecimal(std::string_view Text, int64_t& Value) {
    return ParseInteger(Text, Value);
}

bool ParseDecimal(std::string_view Text, uint64_t& Value) {
    return ParseInteger(Text, Value);
}

bool ParseDecimal(std::string_view Text, int32_t& Value) {
    return ParseInteger(Text, Value);
}

std::string FormatColorField(TColor Color) {
    return FormatDecimal(int64_t(ColorToBgraWord(Color)));
}

bool ParseColorField(std::string_view Text, TColor& Color) {
    int64_t Value = 0;
    if (!ParseDecimal(Text, Value) || Value < std::numeric_limits<int32_t>::min() ||
        Value > int64_t(std::numeric_limits<uint32_t>::max()))
        return false;
    Color = BgraWordToColor(static_cast<uint32_t>(Value));
    return true;
}

bool TakeField(std::string_view& Rest, std::string_view& Field) {
    size_t Slash = Rest.find('/');
    if (Slash == std::string_view::npos)
        return false;
    Field = Rest.substr(0, Slash);
    Rest.remove_prefix(Slash + 1);
    return true;
}
