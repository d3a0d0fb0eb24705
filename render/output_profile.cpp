// What a render's settings become for the file writer.
//
// Windows Media: in quality mode the video gets the quality and the audio
// the variable-rate level that is the lowest one not below the quality
// (at most 98); in bit-rate mode the audio gets a tenth of the total (all of
// it without video), fitted to the constant-rate formats of the codec, and
// the video the rest.
// MP4 and compressed AVI: the MPEG-4 quantizer follows the position of the
// quality on the 30-step quality slider, the audio quality the nearest of
// the 19 audio steps (at least 30 with video) with a low-pass cut-off for
// each step; in bit-rate mode the audio gets channels x max(128, min(2560000,
// total x 0.1 / channels)), the video the rest.

#include "render/output_profile.h"

#include "platform/media/media_writer.h"
#include "render/compression_media_settings.h"
#include "render/output_presets.h"
#include "render/output_settings.h"
#include "render/timeline.h"
#include "render/video_media_settings.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

bool IsWindowsMedia(TMediaOutputFormat Format) {
    return Format == TMediaOutputFormat::WindowsMediaVideo ||
           Format == TMediaOutputFormat::WindowsMediaAudio;
}

TVideoFormat ResolveVideo(const TTimeline& Timeline, const TOutputSettings& Settings) {
    if (!OutputFormatHasVideo(Settings.OutputFormat))
        return {};
    TVideoFormat Video = Settings.Video;
    if (Video.Preset == VideoPresetOptimal) {
        TAudioFormat Audio;
        GetOptimalFormat(Timeline, Settings.OutputFormat, Settings.BitRateMode, Video, Audio);
    } else if (Video.Preset != VideoPresetNone && Video.Preset != VideoPresetCustom) {
        Video = VideoPresetFormat(Video.Preset);
    }
    if (Video.Preset == VideoPresetNone)
        return {};
    Video.Width = std::clamp(Video.Width, 1, MaxVideoSize);
    Video.Height = std::clamp(Video.Height, 1, MaxVideoSize);
    if (!(Video.FramesPerSecond >= 1))
        Video.FramesPerSecond = Video.FramesPerSecond > 0 ? 1 : 25;
    Video.FramesPerSecond = std::min<double>(Video.FramesPerSecond, MaxFramesPerSecond);
    if (Settings.OutputFormat == TMediaOutputFormat::WindowsMediaVideo) {
        // The Windows Media video codecs work on blocks of 4 x 4.
        Video.Width = (Video.Width + 3) / 4 * 4;
        Video.Height = (Video.Height + 3) / 4 * 4;
    }
    return Video;
}

TAudioFormat ResolveAudio(const TTimeline& Timeline, const TOutputSettings& Settings) {
    TAudioFormat Audio = Settings.Audio;
    uint8_t Asked = Audio.Preset;
    if (IsWindowsMedia(Settings.OutputFormat) && !Settings.BitRateMode &&
        (Asked == AudioPresetAmRadio || Asked == AudioPresetFmRadio))
        Asked = AudioPresetCd; // no variable-rate formats below CD quality
    if (Asked == AudioPresetOptimal) {
        TVideoFormat Video;
        GetOptimalFormat(Timeline, Settings.OutputFormat, Settings.BitRateMode, Video, Audio);
    } else if (Asked != AudioPresetNone && Asked != AudioPresetCustom) {
        Audio = AudioPresetFormat(Asked);
    }
    if (Audio.Preset == AudioPresetNone)
        return {};
    Audio.Channels = std::clamp<uint16_t>(Audio.Channels, 1, 8);
    Audio.BitsPerSample = Audio.BitsPerSample == 0    ? 16
                          : Audio.BitsPerSample <= 8  ? 8
                          : Audio.BitsPerSample <= 16 ? 16
                          : Audio.BitsPerSample <= 24 ? 24
                                                      : 32;
    if (Audio.SamplesPerSecond == 0)
        Audio.SamplesPerSecond = 44100;
    Audio.SamplesPerSecond = std::clamp<uint32_t>(Audio.SamplesPerSecond, 8000, 192000);
    bool Free =
        Settings.Audio.Preset == AudioPresetOptimal || Settings.Audio.Preset == AudioPresetCustom;
    if (IsWindowsMedia(Settings.OutputFormat) && Free) {
        Audio.BitsPerSample = 16;
        if (Settings.BitRateMode) {
            if (Audio.Channels == 1 && Audio.SamplesPerSecond == 48000)
                Audio.SamplesPerSecond = 44100;
        } else {
            Audio.Channels = 2;
            if (Audio.SamplesPerSecond != 48000)
                Audio.SamplesPerSecond = 44100;
        }
    }
    return Audio;
}

// The writer leaves out the stream the output has no use for.
void LeaveOutStreams(TMediaWriterProfile& Profile, bool WantVideo, bool WantAudio, uint16_t) {
    Profile.WithVideo = WantVideo;
    Profile.WithAudio = WantAudio;
}

// The constant-rate formats of the Windows Media audio codec, in bits per second.
constexpr int32_t WindowsMediaAudioRates[] = {24000, 32000,  40000,  48000,  64000,  80000,
                                              96000, 128000, 160000, 192000, 256000, 320000};

// The constant-rate format for an audio share: the highest rate not above
// it, or else the lowest one the codec takes for the channels.
int32_t WindowsMediaAudioRate(int32_t Share, uint16_t Channels) {
    int32_t Lowest = std::max(MinWindowsMediaAudioBitRate, MinAudioBitRatePerChannel * Channels);
    int32_t Highest = Channels == 1 ? 160000 : 320000;
    int32_t Choice = 0;
    for (int32_t Rate : WindowsMediaAudioRates)
        if (Rate >= Lowest && Rate <= std::min(Share, Highest))
            Choice = Rate;
    if (Choice == 0)
        for (int32_t Rate : WindowsMediaAudioRates)
            if (Rate >= Lowest) {
                Choice = Rate;
                break;
            }
    return Choice > 0 ? Choice : Lowest;
}

int32_t IndexOf(const TSliderDefinition& Slider, int32_t Number) {
    auto It = std::find(Slider.Numbers.begin(), Slider.Numbers.end(), Number);
    return static_cast<int32_t>(It - Slider.Numbers.begin());
}

// The low-pass cut-off of each of the 19 audio quality steps, in Hz.
constexpr int32_t AudioCutoffs[] = {5000,  6000,  7000,  8000,  9000,  10000, 11000,
                                    12000, 13000, 14000, 15000, 16000, 16500, 17000,
                                    17500, 18000, 18500, 19000, 20000};

void SetWindowsMedia(TMediaWriterProfile& Profile, const TOutputSettings& Settings,
                     const TRenderFormats& Formats, bool WantVideo, bool WantAudio) {
    if (!Settings.BitRateMode) {
        Profile.Quality = std::clamp(Settings.CompressionValue, 0, 100);
        // The lowest variable-rate level of the audio codec not below the quality.
        TSliderDefinition Levels =
            QualitySliderDefinition(TMediaOutputFormat::WindowsMediaAudio, false, AudioPresetCd);
        int32_t Wanted = std::min(98, Profile.Quality);
        auto Level = std::find_if(Levels.Numbers.begin(), Levels.Numbers.end(),
                                  [&](int32_t L) { return L >= Wanted; });
        Profile.AudioQuality = Level != Levels.Numbers.end() ? *Level : Levels.Maximum;
        return;
    }
    int32_t Total = std::max(Settings.CompressionValue, 1);
    Profile.BitRateMode = true;
    Profile.TotalBitRate = Total;
    if (WantAudio) {
        int32_t Share = WantVideo ? Total / 10 : Total;
        Profile.AudioBitRate = WindowsMediaAudioRate(Share, Formats.Audio.Channels);
    }
    if (WantVideo)
        Profile.VideoBitRate = std::max(MinVideoBitRate, Total - Profile.AudioBitRate);
}

void SetMpeg4(TMediaWriterProfile& Profile, const TOutputSettings& Settings,
              const TRenderFormats& Formats, bool WantVideo, bool WantAudio) {
    int32_t Channels = std::max<int32_t>(Formats.Audio.Channels, 1);
    // Compressed AVI is always made in quality mode.
    if (Settings.BitRateMode && Profile.Format != TMediaOutputFormat::CompressedAvi) {
        int32_t Total = std::max(Settings.CompressionValue, 1);
        Profile.BitRateMode = true;
        Profile.TotalBitRate = Total;
        if (WantAudio) {
            int64_t PerChannel = std::llround(double(Total) * 0.1 / Channels);
            int64_t Share =
                int64_t(Channels) * std::max<int64_t>(128, std::min<int64_t>(2560000, PerChannel));
            if (!WantVideo)
                Share = Total;
            Profile.AudioBitRate = static_cast<int32_t>(
                std::max<int64_t>(Share, int64_t(MinAudioBitRatePerChannel) * Channels));
        }
        if (WantVideo)
            Profile.VideoBitRate = std::max(MinVideoBitRate, Total - Profile.AudioBitRate);
        return;
    }
    int32_t Quality = std::clamp(Settings.CompressionValue, 0, 100);
    Profile.Quality = Quality;
    TSliderDefinition VideoSteps = QualitySliderDefinition(TMediaOutputFormat::Mp4, true, 0);
    Profile.VideoQuantizer = 31 - IndexOf(VideoSteps, SnapToSlider(VideoSteps, Quality));
    if (!WantAudio)
        return;
    int32_t AudioQuality = WantVideo && Quality > 1 ? std::max(Quality, 30) : Quality;
    TSliderDefinition AudioSteps = QualitySliderDefinition(TMediaOutputFormat::Mp4, false, 0);
    int32_t Step = SnapToSlider(AudioSteps, AudioQuality);
    Profile.AudioQuality = Step;
    if (Profile.Format != TMediaOutputFormat::CompressedAvi)
        Profile.AudioCutoff = std::min<int32_t>(AudioCutoffs[IndexOf(AudioSteps, Step)],
                                                int32_t(Formats.Audio.SamplesPerSecond / 2));
}

} // namespace

TRenderFormats ResolveRenderFormats(const TTimeline& Timeline, const TOutputSettings& Settings) {
    return {ResolveVideo(Timeline, Settings), ResolveAudio(Timeline, Settings)};
}

TMediaWriterProfile MakeWriterProfile(const TOutputSettings& Settings,
                                      const TRenderFormats& Formats) {
    TMediaWriterProfile Profile;
    Profile.Format = Settings.OutputFormat;
    Profile.BufferWindowMs = -1;
    Profile.VideoEncoder = Settings.VideoEncoder;
    Profile.AudioEncoder = Settings.AudioEncoder;
    Profile.Container = Settings.Muxer;
    bool WantVideo =
        OutputFormatHasVideo(Settings.OutputFormat) && Formats.Video.Preset != VideoPresetNone;
    bool WantAudio = Formats.Audio.Preset != AudioPresetNone;
    switch (Settings.OutputFormat) {
    case TMediaOutputFormat::WindowsMediaVideo:
    case TMediaOutputFormat::WindowsMediaAudio:
        SetWindowsMedia(Profile, Settings, Formats, WantVideo, WantAudio);
        break;
    case TMediaOutputFormat::Mp4:
    case TMediaOutputFormat::CompressedAvi:
    case TMediaOutputFormat::Mp4Advanced:
    case TMediaOutputFormat::AviAdvanced:
        SetMpeg4(Profile, Settings, Formats, WantVideo, WantAudio);
        break;
    default:
        // DV, uncompressed AVI, MP3 and WAV take no compression settings.
        break;
    }
    LeaveOutStreams(Profile, WantVideo, WantAudio, Formats.Audio.BitsPerSample);
    return Profile;
}
