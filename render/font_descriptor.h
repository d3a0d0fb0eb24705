#pragma once

#include "core/delegate.h"
#include "core/geometry.h"
#include "core/object.h"
#include "platform/media/title_font.h"

#include <cstdint>
#include <string>
#include <string_view>

// The title's main font: 0.06 of the frame, Tahoma, white, bold, with a
// transparent black second colour.
TTitleFont DefaultMainFont();
// The caption font: as the main font at 0.05 of the frame, not bold.
TTitleFont DefaultCaptionFont();

// The font's part of a title's text form: "name/size/style/colour/second
// colour", colours as decimal integers 0xAARRGGBB (red and blue exchanged
// from TColor). The name may hold "/": a reader takes the last four fields as
// the numbers.
std::string WriteFontTextForm(const TTitleFont& Font);
// False, leaving Font alone, when Text is not a font's text form (a size that
// is not a positive number, a style beyond a byte, a colour beyond 32 bits).
bool ReadFontTextForm(std::string_view Text, TTitleFont& Font);

// A colour as the text forms write it: red and blue exchanged, as a signed
// 32-bit decimal. The reader takes signed and unsigned forms.
std::string WriteTextFormColor(TColor Color);
bool ReadTextFormColor(std::string_view Text, TColor& Color);

// A title font that announces its changes. Every setter fires OnChange(this)
// only when the value really changes.
class TTextClipFontDescriptor : public TObject {
public:
    explicit TTextClipFontDescriptor(const TTitleFont& Font = DefaultMainFont());
    TTextClipFontDescriptor(const TTextClipFontDescriptor&) = delete;
    TTextClipFontDescriptor& operator=(const TTextClipFontDescriptor&) = delete;

    std::string_view ClassName() const override { return "TTextClipFontDescriptor"; }

    const TTitleFont& Font() const { return FFont; }
    double Size() const { return FFont.Size; }
    const std::string& Name() const { return FFont.Name; }
    TColor Color() const { return FFont.Color; }
    TColor SecondColor() const { return FFont.SecondColor; }
    uint8_t Style() const { return FFont.Style; }

    // A size that is not a positive number is ignored.
    void SetSize(double Value);
    void SetName(std::string_view Value);
    void SetColor(TColor Value);
    void SetSecondColor(TColor Value);
    void SetStyle(uint8_t Value);
    // Takes every value; fires once when anything differs.
    void Assign(const TTitleFont& Font);
    void Assign(const TTextClipFontDescriptor& Source) { Assign(Source.FFont); }

    std::string TextForm() const { return WriteFontTextForm(FFont); }

    TNotifyHandler OnChange;

private:
    void Changed();

    TTitleFont FFont;
};
