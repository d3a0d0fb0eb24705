#pragma once

#include "render/media_settings.h"

class TAudioMediaSettingsHandler;
class TBitRateCompressionMediaSettings;
class TCodecMediaSettings;
class TCompressionMediaSettingsHandler;
class TDVVideoMediaSettings;
class TQualityCompressionMediaSettings;
class TTimeline;
class TUsualAudioMediaSettings;
class TUsualVideoMediaSettings;
class TVideoMediaSettingsHandler;

// The handlers that link the settings of the output formats; the render
// driver owns them.
struct TMediaSettingsHandlers {
    TAudioMediaSettingsHandler& Audio;
    TVideoMediaSettingsHandler& Video;
    TCompressionMediaSettingsHandler& BitRate;
    TCompressionMediaSettingsHandler& Quality;
};

// The settings of one output format family, children of the render driver.
// Each builds its children in their stored order; the timeline (which must
// outlive them) is what "Optimal" and the sliders follow.

// "AVI": uncompressed and compressed AVI, and the audio and video that MP4 uses.
class TAVIMediaSettings : public TMediaSettings {
public:
    TAVIMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                      const TTimeline& Timeline);
    std::string_view ClassName() const override { return "TAVIMediaSettings"; }
    TUsualAudioMediaSettings& Audio() const { return *FAudio; }
    TUsualVideoMediaSettings& Video() const { return *FVideo; }
    TQualityCompressionMediaSettings& Quality() const { return *FQuality; }

private:
    TUsualAudioMediaSettings* FAudio;
    TUsualVideoMediaSettings* FVideo;
    TQualityCompressionMediaSettings* FQuality;
};

// "DV": the PAL or NTSC picture.
class TDVMediaSettings : public TMediaSettings {
public:
    TDVMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers);
    std::string_view ClassName() const override { return "TDVMediaSettings"; }
    TDVVideoMediaSettings& Video() const { return *FVideo; }

private:
    TDVVideoMediaSettings* FVideo;
};

// "MP3": nothing to choose.
class TMP3MediaSettings : public TMediaSettings {
public:
    explicit TMP3MediaSettings(TMediaSettings& Parent) : TMediaSettings(Parent, "MP3") {}
    std::string_view ClassName() const override { return "TMP3MediaSettings"; }
};

// "MP4": bit rate and quality, and the encoders of the advanced MP4 format.
class TMP4MediaSettings : public TMediaSettings {
public:
    TMP4MediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                      const TTimeline& Timeline);
    std::string_view ClassName() const override { return "TMP4MediaSettings"; }
    TUsualVideoMediaSettings& Video() const { return *FVideo; }
    TUsualAudioMediaSettings& Audio() const { return *FAudio; }
    TBitRateCompressionMediaSettings& BitRate() const { return *FBitRate; }
    TQualityCompressionMediaSettings& Quality() const { return *FQuality; }
    TCodecMediaSettings& AudioCodec() const { return *FAudioCodec; }
    TCodecMediaSettings& VideoCodec() const { return *FVideoCodec; }
    TCodecMediaSettings& MuxerCodec() const { return *FMuxerCodec; }

private:
    TUsualVideoMediaSettings* FVideo;
    TUsualAudioMediaSettings* FAudio;
    TBitRateCompressionMediaSettings* FBitRate;
    TQualityCompressionMediaSettings* FQuality;
    TCodecMediaSettings* FAudioCodec;
    TCodecMediaSettings* FVideoCodec;
    TCodecMediaSettings* FMuxerCodec;
};

// "WMA": Windows Media audio.
class TWMAMediaSettings : public TMediaSettings {
public:
    TWMAMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                      const TTimeline& Timeline);
    std::string_view ClassName() const override { return "TWMAMediaSettings"; }
    TUsualAudioMediaSettings& Audio() const { return *FAudio; }
    TBitRateCompressionMediaSettings& BitRate() const { return *FBitRate; }
    TQualityCompressionMediaSettings& Quality() const { return *FQuality; }

private:
    TUsualAudioMediaSettings* FAudio;
    TBitRateCompressionMediaSettings* FBitRate;
    TQualityCompressionMediaSettings* FQuality;
};

// "WMV": Windows Media video.
class TWMVMediaSettings : public TMediaSettings {
public:
    TWMVMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                      const TTimeline& Timeline);
    std::string_view ClassName() const override { return "TWMVMediaSettings"; }
    TUsualAudioMediaSettings& Audio() const { return *FAudio; }
    TUsualVideoMediaSettings& Video() const { return *FVideo; }
    TBitRateCompressionMediaSettings& BitRate() const { return *FBitRate; }
    TQualityCompressionMediaSettings& Quality() const { return *FQuality; }

private:
    TUsualAudioMediaSettings* FAudio;
    TUsualVideoMediaSettings* FVideo;
    TBitRateCompressionMediaSettings* FBitRate;
    TQualityCompressionMediaSettings* FQuality;
};
