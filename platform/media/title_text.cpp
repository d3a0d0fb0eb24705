#include "platform/media/title_text.h"

#include "platform/media/source_name_fields.h"

namespace {

std::string FormatFont(const TTitleFont& Font) {
    return Font.Name + "/" + FormatDecimal(Font.Size) + "/" + FormatDecimal(int64_t(Font.Style)) +
           "/" + FormatColorField(Font.Color) + "/" + FormatColorField(Font.SecondColor);
}

bool TakeColor(std::string_view& Rest, TColor& Color) {
    std::string_view Field;
    return TakeField(Rest, Field) && ParseColorField(Field, Color);
}

bool TakeInteger(std::string_view& Rest, int32_t& Value) {
    std::string_view Field;
    return TakeField(Rest, Field) && ParseDecimal(Field, Value);
}

bool TakeNumber(std::string_view& Rest, double& Value) {
    std::string_view Field;
    return TakeField(Rest, Field) && ParseDecimal(Field, Value);
}

bool TakeFontNumbers(std::string_view& Rest, TTitleFont& Font) {
    TTitleFont Parsed = Font;
    int32_t Style = 0;
    if (!TakeNumber(Rest, Parsed.Size) || !TakeInteger(Rest, Style) || Style < 0 || Style > 255 ||
        !TakeColor(Rest, Parsed.Color) || !TakeColor(Rest, Parsed.SecondColor))
        return false;
    Parsed.Style = uint8_t(Style);
    Font = std::move(Parsed);
    return true;
}

// A font's name may itself hold "/": it ends at the first piece after which
// its four numbers follow.
bool TakeFont(std::string_view& Rest, TTitleFont& Font) {
    constexpr int MaxNamePieces = 8;
    std::string_view Start = Rest;
    std::string_view Piece;
    for (int Pieces = 1; Pieces <= MaxNamePieces && TakeField(Rest, Piece); ++Pieces) {
        std::string_view Numbers = Rest;
        if (TakeFontNumbers(Numbers, Font)) {
            Font.Name =
                std::string(Start.substr(0, size_t(Piece.data() + Piece.size() - Start.data())));
            Rest = Numbers;
            return true;
        }
    }
    return false;
}

} // namespace

std::string FormatTitleText(const TTitleText& Title) {
    std::string Text = FormatDecimal(int64_t(Title.StyleCode));
    AppendField(Text, FormatFont(Title.MainFont));
    AppendField(Text, FormatFont(Title.CaptionFont));
    AppendField(Text, FormatColorField(Title.TextColor));
    AppendField(Text, FormatColorField(Title.BackgroundColor));
    AppendField(Text, FormatDecimal(int64_t(Title.P1)));
    AppendField(Text, FormatDecimal(int64_t(Title.P2)));
    AppendField(Text, FormatDecimal(Title.Factor1));
    AppendField(Text, FormatDecimal(Title.Factor2));
    AppendField(Text, FormatDecimal(int64_t(Title.P3)));
    AppendField(Text, FormatDecimal(int64_t(Title.P4)));
    AppendField(Text, Title.Text);
    return Text;
}

bool ParseTitleText(std::string_view Text, TTitleText& Title) {
    TTitleText Parsed;
    std::string_view Rest = Text;
    if (!TakeInteger(Rest, Parsed.StyleCode) || !TakeFont(Rest, Parsed.MainFont) ||
        !TakeFont(Rest, Parsed.CaptionFont) || !TakeColor(Rest, Parsed.TextColor) ||
        !TakeColor(Rest, Parsed.BackgroundColor) || !TakeInteger(Rest, Parsed.P1) ||
        !TakeInteger(Rest, Parsed.P2) || !TakeNumber(Rest, Parsed.Factor1) ||
        !TakeNumber(Rest, Parsed.Factor2) || !TakeInteger(Rest, Parsed.P3) ||
        !TakeInteger(Rest, Parsed.P4))
        return false;
    Parsed.Text = std::string(Rest);
    Title = std::move(Parsed);
    return true;
}
