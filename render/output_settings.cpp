#include "render/output_settings.h"

#include "core/text_table.h"
#include "platform/media/media_writer.h"

#include <iterator>

const std::string& OutputFormatText(TMediaOutputFormat Format) {
    static constexpr TTextSlot Texts[] = {
        TTextSlot::OutputFormatWmv,         TTextSlot::OutputFormatWma,
        TTextSlot::OutputFormatMp4,         TTextSlot::OutputFormatDvAvi,
        TTextSlot::OutputFormatAvi,         TTextSlot::OutputFormatCompressedAvi,
        TTextSlot::OutputFormatMp3,         TTextSlot::OutputFormatWav,
        TTextSlot::OutputFormatMp4Advanced, TTextSlot::OutputFormatAviAdvanced};
    auto Index = static_cast<size_t>(Format);
    return GetText(Texts[Index < std::size(Texts) ? Index : 4]);
}

const char* OutputFormatExtension(TMediaOutputFormat Format) {
    return MediaOutputExtension(Format);
}

bool OutputFormatHasVideo(TMediaOutputFormat Format) {
    return Format != TMediaOutputFormat::WindowsMediaAudio && Format != TMediaOutputFormat::Mp3 &&
           Format != TMediaOutputFormat::Wav;
}
