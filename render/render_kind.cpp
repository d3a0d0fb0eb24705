#include "render/render_kind.h"

#include "core/text.h"
#include "platform/media/media_writer.h"

namespace {

struct TKindInfo {
    std::string_view Name;
    TMediaOutputFormat Format;
    bool BitRate;
    bool AudioOnly;
};

constexpr TKindInfo Kinds[RenderKindCount] = {
    {"AVI", TMediaOutputFormat::UncompressedAvi, false, false},
    {"AVICompressed", TMediaOutputFormat::CompressedAvi, false, false},
    {"DV", TMediaOutputFormat::DvAvi, false, false},
    {"MP3", TMediaOutputFormat::Mp3, false, true},
    {"MP4BitRate", TMediaOutputFormat::Mp4, true, false},
    {"MP4Quality", TMediaOutputFormat::Mp4, false, false},
    {"WMABitRate", TMediaOutputFormat::WindowsMediaAudio, true, true},
    {"WMAQuality", TMediaOutputFormat::WindowsMediaAudio, false, true},
    {"WMVBitRate", TMediaOutputFormat::WindowsMediaVideo, true, false},
    {"WMVQuality", TMediaOutputFormat::WindowsMediaVideo, false, false},
};

// The kind each extension asks for when the current kind writes another.
struct TExtensionKind {
    std::string_view Extension;
    TRenderKind Kind;
};
constexpr TExtensionKind ExtensionKinds[] = {
    {"avi", TRenderKind::AVICompressed}, {"dv", TRenderKind::DV},
    {"mp3", TRenderKind::MP3},           {"mp4", TRenderKind::MP4Quality},
    {"wma", TRenderKind::WMAQuality},    {"wmv", TRenderKind::WMVQuality},
};

const TKindInfo& Info(TRenderKind Kind) {
    return Kinds[static_cast<uint8_t>(Kind) % RenderKindCount];
}

} // namespace

std::string_view RenderKindName(TRenderKind Kind) {
    return Info(Kind).Name;
}

bool FindRenderKind(std::string_view Name, TRenderKind& Kind) {
    for (int32_t I = 0; I < RenderKindCount; ++I)
        if (SameTextAscii(Kinds[I].Name, Name)) {
            Kind = static_cast<TRenderKind>(I);
            return true;
        }
    return false;
}

TMediaOutputFormat RenderKindOutputFormat(TRenderKind Kind) {
    return Info(Kind).Format;
}

bool RenderKindUsesBitRate(TRenderKind Kind) {
    return Info(Kind).BitRate;
}

bool RenderKindIsAudioOnly(TRenderKind Kind) {
    return Info(Kind).AudioOnly;
}

bool RenderKindForExtension(std::string_view Extension, TRenderKind Current, TRenderKind& Kind) {
    if (!Extension.empty() && Extension.front() == '.')
        Extension.remove_prefix(1);
    if (Extension.empty())
        return false;
    if (SameTextAscii(Extension, MediaOutputExtension(RenderKindOutputFormat(Current)))) {
        Kind = Current;
        return true;
    }
    for (const TExtensionKind& Entry : ExtensionKinds)
        if (SameTextAscii(Entry.Extension, Extension)) {
            Kind = Entry.Kind;
            return true;
        }
    return false;
}

std::string RenderExtensionList() {
    std::string List;
    for (const TExtensionKind& Entry : ExtensionKinds) {
        if (!List.empty())
            List += ", ";
        List += ".";
        List += Entry.Extension;
    }
    return List;
}
