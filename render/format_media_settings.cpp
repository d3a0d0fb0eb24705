#include "render/format_media_settings.h"

#include "platform/media/media_writer.h"
#include "render/audio_media_settings.h"
#include "render/codec_media_settings.h"
#include "render/compression_media_settings.h"
#include "render/media_settings_handler.h"
#include "render/video_media_settings.h"

TAVIMediaSettings::TAVIMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                                     const TTimeline& Timeline)
    : TMediaSettings(Parent, "AVI") {
    FAudio = &AddChild<TUsualAudioMediaSettings>("Audio", &Handlers.Audio);
    FVideo = &AddChild<TUsualVideoMediaSettings>("Video", &Handlers.Video, Timeline,
                                                 TMediaOutputFormat::CompressedAvi, false);
    FQuality = &AddChild<TQualityCompressionMediaSettings>("Quality", &Handlers.Quality, Timeline,
                                                           TMediaOutputFormat::CompressedAvi);
}

TDVMediaSettings::TDVMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers)
    : TMediaSettings(Parent, "DV") {
    FVideo = &AddChild<TDVVideoMediaSettings>("Video", &Handlers.Video);
}

TMP4MediaSettings::TMP4MediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                                     const TTimeline& Timeline)
    : TMediaSettings(Parent, "MP4") {
    FVideo = &AddChild<TUsualVideoMediaSettings>("Video", &Handlers.Video, Timeline,
                                                 TMediaOutputFormat::Mp4, false);
    FAudio = &AddChild<TUsualAudioMediaSettings>("Audio", &Handlers.Audio);
    FBitRate = &AddChild<TBitRateCompressionMediaSettings>("BitRate", &Handlers.BitRate, Timeline,
                                                           TMediaOutputFormat::Mp4);
    FQuality = &AddChild<TQualityCompressionMediaSettings>("Quality", &Handlers.Quality, Timeline,
                                                           TMediaOutputFormat::Mp4);
    // The encoders and the container of the advanced MP4 format.
    FAudioCodec = &AddChild<TCodecMediaSettings>("AudioCodec", "aac");
    FVideoCodec = &AddChild<TCodecMediaSettings>("VideoCodec", "libx264");
    FMuxerCodec = &AddChild<TCodecMediaSettings>("MuxerCodec", "mp4");
}

TWMAMediaSettings::TWMAMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                                     const TTimeline& Timeline)
    : TMediaSettings(Parent, "WMA") {
    FAudio = &AddChild<TUsualAudioMediaSettings>("Audio", &Handlers.Audio);
    FBitRate = &AddChild<TBitRateCompressionMediaSettings>("BitRate", &Handlers.BitRate, Timeline,
                                                           TMediaOutputFormat::WindowsMediaAudio);
    FQuality = &AddChild<TQualityCompressionMediaSettings>("Quality", &Handlers.Quality, Timeline,
                                                           TMediaOutputFormat::WindowsMediaAudio);
}

TWMVMediaSettings::TWMVMediaSettings(TMediaSettings& Parent, const TMediaSettingsHandlers& Handlers,
                                     const TTimeline& Timeline)
    : TMediaSettings(Parent, "WMV") {
    FAudio = &AddChild<TUsualAudioMediaSettings>("Audio", &Handlers.Audio);
    FVideo = &AddChild<TUsualVideoMediaSettings>("Video", &Handlers.Video, Timeline,
                                                 TMediaOutputFormat::WindowsMediaVideo, false);
    FBitRate = &AddChild<TBitRateCompressionMediaSettings>("BitRate", &Handlers.BitRate, Timeline,
                                                           TMediaOutputFormat::WindowsMediaVideo);
    FQuality = &AddChild<TQualityCompressionMediaSettings>("Quality", &Handlers.Quality, Timeline,
                                                           TMediaOutputFormat::WindowsMediaVideo);
}
