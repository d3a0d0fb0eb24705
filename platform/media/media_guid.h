#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A 16-byte class id, written "{0CFDD070-581A-11D2-9EE6-006008039E37}".
// Sources, effects and transitions of the engine are addressed by these.
struct TGuid {
    std::array<uint8_t, 16> Bytes{};

    bool operator==(const TGuid&) const = default;
    bool operator<(const TGuid& Other) const { return Bytes < Other.Bytes; }
    bool IsEmpty() const { return *this == TGuid{}; }
    std::string ToString() const;
};

// Reads the braced text form (either case, braces optional); false when the
// text is not a class id.
bool ParseGuid(std::string_view Text, TGuid& Result);
// For constants written in the code; a malformed text is a programming error.
TGuid GuidFromText(std::string_view Text);

// The built-in components of the engine.
namespace MediaClassIds {
// A plain media source reading a file through the demuxers and decoders.
inline const TGuid& PlainSource() {
    static const TGuid Id{};
    return Id;
}
const TGuid& ColorSource();
const TGuid& KeyTransition();
const TGuid& CrossFadeTransition();
const TGuid& AudioVolumeEnvelope();
} // namespace MediaClassIds
