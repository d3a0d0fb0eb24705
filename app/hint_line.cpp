#include "app/hint_line.h"

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "toolkit/skin/skin_colors.h"

std::vector<std::string> SplitHint(std::string_view Hint) {
    std::vector<std::string> Parts;
    if (Hint.empty())
        return Parts;
    size_t Start = 0;
    while (int32_t(Parts.size()) < THintLine::MaxHintParts - 1) {
        size_t Bar = Hint.find('|', Start);
        if (Bar == std::string_view::npos)
            break;
        Parts.emplace_back(Hint.substr(Start, Bar - Start));
        Start = Bar + 1;
    }
    Parts.emplace_back(Hint.substr(Start));
    return Parts;
}

int32_t THintLine::LineHeight() {
    TTextInfo Info;
    MeasureText("Ag", SkinColors().MessageFont, TTextMode::Plain, Info);
    return Info.LineHeight + 2 * TextMargin;
}

void THintLine::SetHint(std::string_view Hint) {
    std::vector<std::string> Parts = SplitHint(Hint);
    std::string Text = Parts.empty() ? std::string() : std::move(Parts.front());
    if (Text == FText)
        return;
    FText = std::move(Text);
    Invalidate();
}

void THintLine::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    Pixels.FillRect(TRect{0, 0, Width(), Height()}, AlphaColor(Skin.FaceColor, 255));
    // A line of the shadow colour parts the status area from what is above.
    Pixels.FillRect(TRect{0, 0, Width(), 1}, AlphaColor(Skin.ShadowColor, 255));
    if (!FText.empty())
        Pixels.DrawText(TextMargin, TextMargin, TSmooth::Yes, AlphaColor(Skin.TextColor, 255), Skin.MessageFont,
                        FText);
}
