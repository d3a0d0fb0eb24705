#include "render/font_descriptor.h"

#include "core/changes.h"
#include "platform/graphics/color.h"
#include "render/property_variant.h"

#include <charconv>
#include <cmath>

namespace {

bool ReadWhole(std::string_view Text, int64_t& Value) {
    const char* End = Text.data() + Text.size();
    auto Result = std::from_chars(Text.data(), End, Value);
    return Result.ec == std::errc() && Result.ptr == End;
}

bool ReadWhole(std::string_view Text, double& Value) {
    const char* End = Text.data() + Text.size();
    auto Result = std::from_chars(Text.data(), End, Value);
    return Result.ec == std::errc() && Result.ptr == End && std::isfinite(Value);
}

} // namespace

TTitleFont DefaultMainFont() {
    return {"Tahoma", 0.06, FontStyleBold, MakeColor(255, 255, 255), MakeColor(0, 0, 0, 0)};
}

TTitleFont DefaultCaptionFont() {
    return {"Tahoma", 0.05, 0, MakeColor(255, 255, 255), MakeColor(0, 0, 0, 0)};
}

std::string WriteTextFormColor(TColor Color) {
    return PropertyIntegerText(static_cast<int32_t>(ColorToBgraWord(Color)));
}

bool ReadTextFormColor(std::string_view Text, TColor& Color) {
    int64_t Value = 0;
    if (!ReadWhole(Text, Value) || Value < INT32_MIN || Value > int64_t(UINT32_MAX))
        return false;
    Color = BgraWordToColor(static_cast<uint32_t>(Value));
    return true;
}

namespace {

bool ReadFontNumbers(std::string_view Size, std::string_view Style, std::string_view Color,
                     std::string_view SecondColor, TTitleFont& Font) {
    TTitleFont Result = Font;
    int64_t StyleValue = 0;
    if (!ReadWhole(Size, Result.Size) || Result.Size <= 0 || !ReadWhole(Style, StyleValue) ||
        StyleValue < 0 || StyleValue > 255 || !ReadTextFormColor(Color, Result.Color) ||
        !ReadTextFormColor(SecondColor, Result.SecondColor))
        return false;
    Result.Style = static_cast<uint8_t>(StyleValue);
    Font = std::move(Result);
    return true;
}

} // namespace

std::string WriteFontTextForm(const TTitleFont& Font) {
    return Font.Name + "/" + PropertyFloatText(Font.Size) + "/" + PropertyIntegerText(Font.Style) +
           "/" + WriteTextFormColor(Font.Color) + "/" + WriteTextFormColor(Font.SecondColor);
}

bool ReadFontTextForm(std::string_view Text, TTitleFont& Font) {
    // The four numbers are the last four fields; the name is all before them.
    std::string_view Fields[4];
    std::string_view Rest = Text;
    for (int I = 3; I >= 0; --I) {
        size_t Slash = Rest.rfind('/');
        if (Slash == std::string_view::npos)
            return false;
        Fields[I] = Rest.substr(Slash + 1);
        Rest = Rest.substr(0, Slash);
    }
    TTitleFont Result = Font;
    if (!ReadFontNumbers(Fields[0], Fields[1], Fields[2], Fields[3], Result))
        return false;
    Result.Name = std::string(Rest);
    Font = std::move(Result);
    return true;
}

TTextClipFontDescriptor::TTextClipFontDescriptor(const TTitleFont& Font) : FFont(Font) {}

void TTextClipFontDescriptor::SetSize(double Value) {
    if (!std::isfinite(Value) || Value <= 0 || Value == FFont.Size)
        return;
    FFont.Size = Value;
    Changed();
}

void TTextClipFontDescriptor::SetName(std::string_view Value) {
    if (Value == FFont.Name)
        return;
    FFont.Name = std::string(Value);
    Changed();
}

void TTextClipFontDescriptor::SetColor(TColor Value) {
    if (Value == FFont.Color)
        return;
    FFont.Color = Value;
    Changed();
}

void TTextClipFontDescriptor::SetSecondColor(TColor Value) {
    if (Value == FFont.SecondColor)
        return;
    FFont.SecondColor = Value;
    Changed();
}

void TTextClipFontDescriptor::SetStyle(uint8_t Value) {
    if (Value == FFont.Style)
        return;
    FFont.Style = Value;
    Changed();
}

void TTextClipFontDescriptor::Assign(const TTitleFont& Font) {
    if (Font == FFont)
        return;
    FFont = Font;
    Changed();
}

void TTextClipFontDescriptor::Changed() {
    if (OnChange)
        OnChange(this);
}
