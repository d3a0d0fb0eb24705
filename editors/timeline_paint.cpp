#include "editors/timeline_paint.h"

#include "canvas/blend_tables.h"
#include "canvas/over_rule.h"

#include <cstdlib>

TColor ColorOver(TColor Top, TColor Below) {
    const TPixel Result = ComposePixel(BlendTables(), ColorToPixel(Top), ColorToPixel(AlphaColor(Below, 255)));
    return PixelToColor(Result);
}

namespace {

std::string StampKey(std::string_view Text, const TTextAttr& Font, TColor Color) {
    std::string Key;
    Key.reserve(Text.size() + Font.FontName.size() + 24);
    Key.append(Font.FontName);
    Key.push_back('\0');
    Key.append(std::to_string(Font.Height));
    Key.push_back(char('0' + (Font.Bold ? 1 : 0) + (Font.Italic ? 2 : 0) + (Font.Underline ? 4 : 0)));
    Key.append(std::to_string(Color));
    Key.push_back('\0');
    Key.append(Text);
    return Key;
}

} // namespace

const TLabelStamp& TLabelStamps::Get(std::string_view Text, const TTextAttr& Font, TColor Color) {
    std::string Key = StampKey(Text, Font, Color);
    if (auto Found = FStamps.find(Key); Found != FStamps.end())
        return Found->second;
    if (FStamps.size() >= MaxEntries)
        FStamps.clear();
    TLabelStamp Stamp;
    Stamp.Ink = TextExtent(Text, Font);
    if (!Stamp.Ink.IsEmpty()) {
        // The smoothed glyphs can reach past the measured ink box: a
        // margin keeps them whole.
        Stamp.Margin = std::abs(Font.Height) / 2 + 2;
        Stamp.Picture = TPixels(Stamp.Ink.Width() + 2 * Stamp.Margin, Stamp.Ink.Height() + 2 * Stamp.Margin);
        Stamp.Picture.FillAll(0);
        Stamp.Picture.DrawText(Stamp.Margin - Stamp.Ink.Left, Stamp.Margin - Stamp.Ink.Top, TSmooth::Yes, Color, Font,
                               Text);
    }
    return FStamps.emplace(std::move(Key), std::move(Stamp)).first->second;
}

void TLabelStamps::Draw(TPixels& Pixels, int32_t X, int32_t Y, const TLabelStamp& Stamp) {
    if (!Stamp.Picture.IsEmpty())
        Pixels.BlendFrom(X + Stamp.Ink.Left - Stamp.Margin, Y + Stamp.Ink.Top - Stamp.Margin, Stamp.Picture);
}

TLabelStamps& TimelineLabelStamps() {
    static TLabelStamps Stamps;
    return Stamps;
}
