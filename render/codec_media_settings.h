#pragma once

#include "render/media_settings.h"

#include <string>

// An encoder or multiplexer of the formats with advanced options: the
// libavcodec encoder (or libavformat container) it stands for. These have no
// settings dialog of their own, and the node stores nothing.
class TCodecMediaSettings : public TMediaSettings {
public:
    TCodecMediaSettings(TMediaSettings& Parent, std::string Name, std::string CodecName)
        : TMediaSettings(Parent, std::move(Name)), FCodecName(std::move(CodecName)) {}
    std::string_view ClassName() const override { return "TCodecMediaSettings"; }

    const std::string& CodecName() const { return FCodecName; }
    bool HasConfiguration() const { return false; }

private:
    std::string FCodecName;
};
