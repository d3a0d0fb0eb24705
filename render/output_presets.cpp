#include "render/output_presets.h"

#include "core/text_table.h"
#include "platform/media/media_writer.h"
#include "render/timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

constexpr TVideoFormat VideoTable[] = {
    {VideoPresetNone, 0, 0, 0},       {VideoPresetOptimal, 0, 0, 0},
    {VideoPresetSmall, 160, 120, 10}, {VideoPresetMedium, 320, 240, 15},
    {VideoPresetBig, 640, 480, 25},   {VideoPresetPal, 720, 576, 25},
    {VideoPresetNtsc, 720, 480, 30},  {VideoPresetHd720, 1280, 720, 30},
    {VideoPresetFullHd, 1920, 1080, 30}, {VideoPresetUhd, 3840, 2160, 30},
    {VideoPresetCustom, 0, 0, 0},
};

constexpr TAudioFormat AudioTable[] = {
    {AudioPresetNone, 0, 0, 0},        {AudioPresetOptimal, 0, 0, 0},
    {AudioPresetAmRadio, 1, 16, 8000}, {AudioPresetFmRadio, 2, 16, 22050},
    {AudioPresetCd, 2, 16, 44100},     {AudioPresetBetterThanCd, 2, 16, 48000},
    {AudioPresetCustom, 0, 0, 0},
};

bool IsWindowsMedia(TMediaOutputFormat Format) {
    return Format == TMediaOutputFormat::WindowsMediaVideo ||
           Format == TMediaOutputFormat::WindowsMediaAudio;
}

} // namespace

void FitInside(TVideoFormat& Video, int32_t LongSide, int32_t ShortSide) {
    bool Portrait = Video.Height > Video.Width;
    int32_t MaxWidth = Portrait ? ShortSide : LongSide;
    int32_t MaxHeight = Portrait ? LongSide : ShortSide;
    if (Video.Width <= MaxWidth && Video.Height <= MaxHeight)
        return;
    double Scale = std::min(double(MaxWidth) / Video.Width, double(MaxHeight) / Video.Height);
    // Even sides, as the YUV encoders want them.
    Video.Width = std::clamp(int32_t(std::lround(Video.Width * Scale / 2)) * 2, 2, MaxWidth);
    Video.Height = std::clamp(int32_t(std::lround(Video.Height * Scale / 2)) * 2, 2, MaxHeight);
}

namespace {

bool Covers(const TVideoFormat& Entry, const TVideoFormat& Wanted) {
    return Entry.Width >= Wanted.Width && Entry.Height >= Wanted.Height &&
           Entry.FramesPerSecond >= Wanted.FramesPerSecond;
}

bool Covers(const TAudioFormat& Entry, const TAudioFormat& Wanted) {
    return Entry.Channels >= Wanted.Channels && Entry.BitsPerSample >= Wanted.BitsPerSample &&
           Entry.SamplesPerSecond >= Wanted.SamplesPerSecond;
}

// The position of the nearest of the usual sampling rates; the higher of two
// equally near ones wins.
int FrequencyIndex(uint32_t Rate) {
    static constexpr int64_t Rates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
    int64_t Wanted = Rate == 0 ? 44100 : Rate;
    int Best = 0;
    for (int I = 1; I < int(std::size(Rates)); ++I)
        if (std::llabs(Rates[I] - Wanted) <= std::llabs(Rates[Best] - Wanted))
            Best = I;
    return Best;
}

void SnapVideo(TMediaOutputFormat Format, TVideoFormat& Video) {
    if (Video.Preset == VideoPresetNone)
        return;
    if (Video.Preset == VideoPresetCustom) {
        // Today's phones and cameras film HD and 4K: their size and rate
        // stay, only larger pictures are brought down to 4K in their shape.
        // DV picks between its two norms from the sizes of its own era.
        if (Format != TMediaOutputFormat::DvAvi) {
            FitInside(Video, OptimalLongSide, OptimalShortSide);
        } else {
            if (Video.Width > 640 && Video.Width != 720)
                Video.Width = 640;
            if (Video.Height > 480 && Video.Height != 576)
                Video.Height = 480;
        }
        if (Video.FramesPerSecond == 0)
            Video.FramesPerSecond = 25;
    }
    // Only DV is limited to some of the presets; every other format takes
    // custom sizes, so the values stay.
    if (Format != TMediaOutputFormat::DvAvi)
        return;
    const uint8_t Allowed[] = {VideoPresetPal, VideoPresetNtsc};
    const TVideoFormat* Choice = nullptr;
    for (uint8_t Preset : Allowed) {
        const TVideoFormat& Entry = VideoTable[Preset];
        if (Covers(Entry, Video) &&
            (!Choice || (Entry.Width <= Choice->Width && Entry.Height <= Choice->Height)))
            Choice = &Entry;
    }
    if (!Choice)
        for (uint8_t Preset : Allowed) {
            const TVideoFormat& Entry = VideoTable[Preset];
            if (!Choice ||
                int64_t(Entry.Width) * Entry.Height > int64_t(Choice->Width) * Choice->Height)
                Choice = &Entry;
        }
    Video = *Choice;
}

void SnapAudio(TMediaOutputFormat Format, bool Flag, TAudioFormat& Audio) {
    if (Audio.Preset == AudioPresetNone)
        return;
    if (!IsWindowsMedia(Format) || Flag) {
        // Any format is allowed. Windows Media in bit-rate mode has
        // constant-rate formats of 16 bits only, and none for mono at 48 kHz.
        if (IsWindowsMedia(Format) &&
            (Audio.Preset == AudioPresetOptimal || Audio.Preset == AudioPresetCustom)) {
            Audio.BitsPerSample = 16;
            if (Audio.Channels == 1 && Audio.SamplesPerSecond == 48000)
                Audio.SamplesPerSecond = 44100;
        }
        return;
    }
    const uint8_t Allowed[] = {AudioPresetCd, AudioPresetBetterThanCd};
    const TAudioFormat* Choice = nullptr;
    for (uint8_t Preset : Allowed) {
        const TAudioFormat& Entry = AudioTable[Preset];
        if (Covers(Entry, Audio) &&
            (!Choice ||
             (Entry.Channels <= Choice->Channels && Entry.BitsPerSample <= Choice->BitsPerSample &&
              Entry.SamplesPerSecond <= Choice->SamplesPerSecond)))
            Choice = &Entry;
    }
    if (!Choice) {
        int BestCost = 0;
        for (uint8_t Preset : Allowed) {
            const TAudioFormat& Entry = AudioTable[Preset];
            int Cost =
                (FrequencyIndex(Audio.SamplesPerSecond) - FrequencyIndex(Entry.SamplesPerSecond)) +
                2 * (int(Audio.Channels) - int(Entry.Channels)) +
                2 * (int(Audio.BitsPerSample) - int(Entry.BitsPerSample));
            if (!Choice || Cost < BestCost) {
                Choice = &Entry;
                BestCost = Cost;
            }
        }
    }
    Audio = *Choice;
}

} // namespace

const TVideoFormat& VideoPresetFormat(uint8_t Preset) {
    return VideoTable[Preset < std::size(VideoTable) ? Preset : VideoPresetCustom];
}

const TAudioFormat& AudioPresetFormat(uint8_t Preset) {
    return AudioTable[Preset < std::size(AudioTable) ? Preset : AudioPresetCustom];
}

const std::string& VideoPresetName(uint8_t Preset) {
    static constexpr TTextSlot Names[] = {
        TTextSlot::VideoPresetNoVideo,   TTextSlot::VideoPresetOptimalName,
        TTextSlot::VideoPresetSmallName, TTextSlot::VideoPresetMediumName,
        TTextSlot::VideoPresetBigName,   TTextSlot::VideoPresetPalName,
        TTextSlot::VideoPresetNtscName,  TTextSlot::VideoPresetHd720Name,
        TTextSlot::VideoPresetFullHdName, TTextSlot::VideoPresetUhdName,
        TTextSlot::VideoPresetCustomName};
    return GetText(Names[Preset < std::size(Names) ? Preset : VideoPresetCustom]);
}

const std::string& AudioPresetName(uint8_t Preset) {
    static constexpr TTextSlot Names[] = {
        TTextSlot::AudioPresetNoAudio,     TTextSlot::AudioPresetOptimalName,
        TTextSlot::AudioPresetAmRadioName, TTextSlot::AudioPresetFmRadioName,
        TTextSlot::AudioPresetCdName,      TTextSlot::AudioPresetBetterThanCdName,
        TTextSlot::AudioPresetCustomName};
    return GetText(Names[Preset < std::size(Names) ? Preset : AudioPresetCustom]);
}

void SnapOptimalFormat(TMediaOutputFormat Format, bool Flag, TVideoFormat& Video,
                       TAudioFormat& Audio) {
    SnapVideo(Format, Video);
    SnapAudio(Format, Flag, Audio);
}

void GetOptimalFormat(const TTimeline& Timeline, TMediaOutputFormat Format, bool Flag,
                      TVideoFormat& Video, TAudioFormat& Audio) {
    Timeline.OptimalFormat(Video, Audio);
    SnapOptimalFormat(Format, Flag, Video, Audio);
}
