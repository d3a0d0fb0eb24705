#include "platform/media/picture_source_name.h"

#include "platform/media/source_name_fields.h"

#include <charconv>

namespace {

void AppendZoomPan(std::string& Text, const TZoomPanValue& Value) {
    AppendField(Text, FormatDecimal(Value.MidX));
    AppendField(Text, FormatDecimal(Value.MidY));
    AppendField(Text, FormatDecimal(Value.Zoom));
}

bool TakeNumber(std::string_view& Rest, double& Value) {
    std::string_view Field;
    return TakeField(Rest, Field) && ParseDecimal(Field, Value);
}

template <class T>
bool TakeInteger(std::string_view& Rest, T& Value) {
    std::string_view Field;
    return TakeField(Rest, Field) && ParseDecimal(Field, Value);
}

bool TakeZoomPan(std::string_view& Rest, TZoomPanValue& Value) {
    return TakeNumber(Rest, Value.MidX) && TakeNumber(Rest, Value.MidY) &&
           TakeNumber(Rest, Value.Zoom);
}

} // namespace

std::string BuildPictureSourceName(const TPictureSourceName& Name) {
    std::string Text(PictureSourceScheme);
    char Handle[24];
    auto Written = std::to_chars(Handle, Handle + sizeof Handle, Name.ZoomPanCallback);
    Text.append(Handle, Written.ptr);
    AppendField(Text, FormatDecimal(int64_t(Name.RenderMode)));
    Text += "/0";
    AppendField(Text, FormatColorField(Name.ClipColor));
    Text += "/0";
    AppendField(Text, FormatDecimal(int64_t(Name.OutputWidth)));
    AppendField(Text, FormatDecimal(int64_t(Name.OutputHeight)));
    AppendField(Text, FormatDecimal(int64_t(Name.MediaStop)));
    AppendField(Text, FormatDecimal(Name.FramesPerSecond));
    AppendZoomPan(Text, Name.ZoomPanBegin);
    AppendZoomPan(Text, Name.ZoomPanEnd);
    Text += "/";
    Text += Name.KeepAspectRatio ? "1" : "0";
    Text += "/0/";
    Text += Name.FileName;
    return Text;
}

bool ParsePictureSourceName(std::string_view Text, TPictureSourceName& Name) {
    if (Text.substr(0, PictureSourceScheme.size()) != PictureSourceScheme)
        return false;
    std::string_view Rest = Text.substr(PictureSourceScheme.size());
    TPictureSourceName Parsed;
    int64_t Ignored = 0;
    std::string_view ColorField;
    int32_t KeepAspectRatio = 1;
    bool Good = TakeInteger(Rest, Parsed.ZoomPanCallback) && TakeInteger(Rest, Parsed.RenderMode) &&
                TakeInteger(Rest, Ignored) && TakeField(Rest, ColorField) &&
                ParseColorField(ColorField, Parsed.ClipColor) && TakeInteger(Rest, Ignored) &&
                TakeInteger(Rest, Parsed.OutputWidth) && TakeInteger(Rest, Parsed.OutputHeight) &&
                TakeInteger(Rest, Parsed.MediaStop) && TakeNumber(Rest, Parsed.FramesPerSecond) &&
                TakeZoomPan(Rest, Parsed.ZoomPanBegin) && TakeZoomPan(Rest, Parsed.ZoomPanEnd) &&
                TakeInteger(Rest, KeepAspectRatio) && TakeInteger(Rest, Ignored);
    if (!Good || Rest.empty())
        return false;
    Parsed.KeepAspectRatio = KeepAspectRatio != 0;
    Parsed.FileName = std::string(Rest);
    Name = std::move(Parsed);
    return true;
}
