#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class TMediaOutputFormat : uint8_t;

// What the user renders to, in the order of the render commands. The stored
// and typed names are "AVI", "AVICompressed", "DV", "MP3", "MP4BitRate",
// "MP4Quality", "WMABitRate", "WMAQuality", "WMVBitRate" and "WMVQuality".
enum class TRenderKind : uint8_t {
    AVI = 0,
    AVICompressed = 1,
    DV = 2,
    MP3 = 3,
    MP4BitRate = 4,
    MP4Quality = 5,
    WMABitRate = 6,
    WMAQuality = 7,
    WMVBitRate = 8,
    WMVQuality = 9,
};

constexpr int32_t RenderKindCount = 10;

std::string_view RenderKindName(TRenderKind Kind);
// The kind of that name, compared without regard to ASCII case; false when
// there is none.
bool FindRenderKind(std::string_view Name, TRenderKind& Kind);

TMediaOutputFormat RenderKindOutputFormat(TRenderKind Kind);
// The kind a file-name extension (".mp4", "MP4"; the dot is optional, case is
// ignored) asks for: Current when it writes such files, else the usual kind
// for them (".mp4" MP4Quality, ".avi" AVICompressed, ".dv" DV, ".mp3" MP3,
// ".wma" WMAQuality, ".wmv" WMVQuality). False when no kind writes them.
bool RenderKindForExtension(std::string_view Extension, TRenderKind Current, TRenderKind& Kind);
// The extensions RenderKindForExtension knows, for a message: ".avi, .dv, …".
std::string RenderExtensionList();
// Bit-rate rather than quality compression.
bool RenderKindUsesBitRate(TRenderKind Kind);
// Kinds of audio only need audible clips to render; the others video clips.
bool RenderKindIsAudioOnly(TRenderKind Kind);
