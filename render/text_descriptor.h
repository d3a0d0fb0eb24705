#pragma once

#include "core/delegate.h"
#include "core/geometry.h"
#include "core/object.h"
#include "render/font_descriptor.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class TTextDescription;

// Both factors of a title are fixed at this value.
constexpr double TitleTextFactor = 0.1;

// Everything the text source needs to draw a title, as it travels in the
// text source name.
struct TTitleTextForm {
    int32_t StyleCode = 0;
    TTitleFont MainFont;
    TTitleFont CaptionFont;
    TColor TextColor = 0;
    TColor BackgroundColor = 0;
    std::array<uint8_t, 4> P{}; // p1 .. p4 of the style
    double Factor1 = TitleTextFactor;
    double Factor2 = TitleTextFactor;
    std::string Text;

    bool operator==(const TTitleTextForm&) const = default;
};

// "code/main font/caption font/text colour/background/p1/p2/factor 1/
// factor 2/p3/p4/text": the text last and as it is, "/" and line breaks
// included; fonts and colours as WriteFontTextForm writes them.
std::string WriteTitleTextForm(const TTitleTextForm& Form);
// False, leaving Form alone, when Text is not a title's text form. A font
// name may hold "/" as well; the name ends at the first four fields that
// read as a font's numbers.
bool ReadTitleTextForm(std::string_view Text, TTitleTextForm& Form);

// A title clip's text: its style, text, fonts and colour. Every setter, and a
// change of either font, fires OnChange(this) only on a real change; Assign
// fires at most once.
//
//   TTextClipDescriptor Title;           // the first style, default fonts
//   Title.SetText("Summer 2024");
//   Title.MainFont().SetName("DejaVu Sans");
//   Source.SetValue("filename", Prefix + Title.TextForm(0));
class TTextClipDescriptor : public TObject {
public:
    TTextClipDescriptor();
    TTextClipDescriptor(const TTextClipDescriptor&) = delete;
    TTextClipDescriptor& operator=(const TTextClipDescriptor&) = delete;

    std::string_view ClassName() const override { return "TTextClipDescriptor"; }

    int32_t StyleIndex() const { return FStyleIndex; }
    const TTextDescription& Style() const { return *FStyle; }
    // Raises the unknown-title-style error for an index no style has.
    void SetStyle(int32_t Index);

    const std::string& Text() const { return FText; }
    void SetText(std::string_view Value);

    // The colour the title is drawn in: the main font's for styles that take
    // it from there, else the descriptor's own text colour.
    TColor Color() const;
    // Sets the colour where Color reads it: the main font's (and for styles
    // that also mark bit 0, the caption font's), or the own text colour.
    void SetColor(TColor Value);
    TColor TextColor() const { return FTextColor; }

    TTextClipFontDescriptor& MainFont() { return FMainFont; }
    const TTextClipFontDescriptor& MainFont() const { return FMainFont; }
    TTextClipFontDescriptor& CaptionFont() { return FCaptionFont; }
    const TTextClipFontDescriptor& CaptionFont() const { return FCaptionFont; }

    double Factor1() const { return TitleTextFactor; }
    double Factor2() const { return TitleTextFactor; }

    void Assign(const TTextClipDescriptor& Source);

    // The title as the text source receives it, on Background (transparent
    // for the timeline's title clips, opaque black in previews).
    TTitleTextForm TitleForm(TColor Background) const;
    std::string TextForm(TColor Background) const {
        return WriteTitleTextForm(TitleForm(Background));
    }

    TNotifyHandler OnChange;

private:
    // Collects the changes of a compound edit into one event.
    class TChangeBatch;

    void FontChanged(TObject* Sender);
    void Changed();

    int32_t FStyleIndex;
    const TTextDescription* FStyle; // in the program's registry
    std::string FText;
    TTextClipFontDescriptor FMainFont;
    TTextClipFontDescriptor FCaptionFont;
    TColor FTextColor;
    int32_t FBatchDepth = 0;
    bool FBatchChanged = false;
};
