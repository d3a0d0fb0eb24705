#include "platform/media/text_source_name.h"

#include "platform/media/source_name_fields.h"

std::string BuildTextSourceName(const TTextSourceName& Name) {
    std::string Text(TextSourceScheme);
    Text += FormatDecimal(int64_t(Name.Mode));
    AppendField(Text, FormatDecimal(int64_t(Name.Width)));
    AppendField(Text, FormatDecimal(int64_t(Name.Height)));
    AppendField(Text, FormatDecimal(int64_t(Name.Duration)));
    AppendField(Text, FormatDecimal(Name.FramesPerSecond));
    AppendField(Text, FormatTitleText(Name.Title));
    return Text;
}

bool ParseTextSourceName(std::string_view Text, TTextSourceName& Name) {
    if (Text.substr(0, TextSourceScheme.size()) != TextSourceScheme)
        return false;
    std::string_view Rest = Text.substr(TextSourceScheme.size());
    TTextSourceName Parsed;
    std::string_view Mode, Width, Height, Duration, Rate;
    if (!TakeField(Rest, Mode) || !ParseDecimal(Mode, Parsed.Mode) || !TakeField(Rest, Width) ||
        !ParseDecimal(Width, Parsed.Width) || !TakeField(Rest, Height) ||
        !ParseDecimal(Height, Parsed.Height) || !TakeField(Rest, Duration) ||
        !ParseDecimal(Duration, Parsed.Duration) || !TakeField(Rest, Rate) ||
        !ParseDecimal(Rate, Parsed.FramesPerSecond) || !ParseTitleText(Rest, Parsed.Title))
        return false;
    Name = std::move(Parsed);
    return true;
}
