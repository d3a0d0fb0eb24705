#include "platform/media/encoder_setup.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/av_support.h"
#include "platform/media/media_error.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>

namespace {

AVPixelFormat ChoosePixelFormat(const AVCodec* Codec, AVPixelFormat Preferred) {
    if (!Codec->pix_fmts)
        return Preferred;
    for (const AVPixelFormat* P = Codec->pix_fmts; *P != AV_PIX_FMT_NONE; ++P)
        if (*P == Preferred)
            return Preferred;
    return Codec->pix_fmts[0];
}

int ChooseSampleRate(const AVCodec* Codec, int Wanted) {
    if (!Codec->supported_samplerates)
        return Wanted;
    int Best = 0;
    for (const int* R = Codec->supported_samplerates; *R; ++R) {
        if (*R == Wanted)
            return Wanted;
        if (!Best || std::abs(*R - Wanted) < std::abs(Best - Wanted))
            Best = *R;
    }
    return Best;
}

AVSampleFormat ChooseSampleFormat(const AVCodec* Codec) {
    return Codec->sample_fmts ? Codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
}

int32_t AudioShare(const TEncoderRates& Rates) {
    const TMediaWriterProfile& Profile = Rates.Profile;
    if (Profile.AudioBitRate > 0)
        return Profile.AudioBitRate;
    int32_t Channels = std::max(Rates.AudioChannels, 1);
    double PerChannel = std::round(double(Profile.TotalBitRate) * 0.1 / Channels);
    return Channels * int32_t(std::max(128.0, std::min(2560000.0, PerChannel)));
}

void ConfigureVideoRate(AVCodecContext* Context, TVideoPath Path, const TEncoderRates& Rates) {
    const TMediaWriterProfile& Profile = Rates.Profile;
    int32_t Quality = std::clamp(Profile.Quality, 0, 100);
    int64_t Rate = Profile.VideoBitRate > 0
                       ? Profile.VideoBitRate
                       : int64_t(Profile.TotalBitRate) - (Rates.HasAudio ? AudioShare(Rates) : 0);
    Rate = std::max<int64_t>(Rate, 16000);
    switch (Path) {
    case TVideoPath::Raw:
    case TVideoPath::Dv:
        return;
    case TVideoPath::H264:
        av_opt_set(Context->priv_data, "preset", "veryfast", 0);
        if (Profile.BitRateMode) {
            // H.264 keeps to the rate within its buffer.
            double Window = Profile.BufferWindowMs > 0 ? Profile.BufferWindowMs / 1000.0 : 2.0;
            Context->bit_rate = Rate;
            Context->rc_buffer_size =
                static_cast<int>(std::min<double>(double(Rate) * Window, 1e9));
            Context->rc_max_rate = Rate;
        } else {
            av_opt_set_double(Context->priv_data, "crf", 40.0 - 0.22 * Quality, 0);
        }
        return;
    case TVideoPath::Quantized:
        if (Profile.BitRateMode) {
            // The MPEG-4 family aims at the average rate.
            Context->bit_rate = Rate;
            return;
        }
        int32_t Quantizer = Profile.VideoQuantizer > 0
                                ? std::clamp(Profile.VideoQuantizer, 1, 31)
                                : std::clamp(int32_t(std::lround(31 - 0.3 * Quality)), 1, 31);
        Context->flags |= AV_CODEC_FLAG_QSCALE;
        Context->global_quality = Quantizer * FF_QP2LAMBDA;
        return;
    }
}

void ConfigureAudioRate(AVCodecContext* Context, const TEncoderRates& Rates) {
    const TMediaWriterProfile& Profile = Rates.Profile;
    std::string Name = Context->codec->name;
    if (Name.rfind("pcm_", 0) == 0)
        return;
    int32_t Channels = Context->ch_layout.nb_channels;
    if (Profile.AudioCutoff > 0)
        Context->cutoff = Profile.AudioCutoff;
    if (Profile.AudioBitRate > 0 && !Profile.BitRateMode) {
        Context->bit_rate = Profile.AudioBitRate; // an explicit audio rate holds in both modes
        return;
    }
    if (Profile.BitRateMode) {
        int64_t Rate =
            Rates.HasVideo || Profile.AudioBitRate > 0 ? AudioShare(Rates) : Profile.TotalBitRate;
        // Below 16 kbit/s per channel lossy encoders refuse to start (WMA)
        // or sound broken.
        Context->bit_rate = std::max<int64_t>(Rate, 16000 * int64_t(Channels));
        return;
    }
    int32_t Quality =
        std::clamp(Profile.AudioQuality > 0 ? Profile.AudioQuality : Profile.Quality, 0, 100);
    if (Name == "libmp3lame") {
        Context->flags |= AV_CODEC_FLAG_QSCALE;
        Context->global_quality = int(std::lround(9 - 0.09 * Quality)) * FF_QP2LAMBDA;
        return;
    }
    Context->bit_rate = int64_t(Channels) * int64_t(32000 + 640 * Quality);
}

} // namespace

TEncoderChoice ChooseEncoders(const TMediaWriterProfile& Profile, int32_t BitsPerSample) {
    const char* Pcm = BitsPerSample <= 8    ? "pcm_u8"
                      : BitsPerSample <= 16 ? "pcm_s16le"
                      : BitsPerSample <= 24 ? "pcm_s24le"
                                            : "pcm_s32le";
    switch (Profile.Format) {
    case TMediaOutputFormat::WindowsMediaVideo:
        return {"asf", "wmv2", "wmav2"};
    case TMediaOutputFormat::WindowsMediaAudio:
        return {"asf", nullptr, "wmav2"};
    case TMediaOutputFormat::Mp4:
        return {"mp4", Profile.Mp4UsesH264 ? "libx264" : "mpeg4", "aac"};
    case TMediaOutputFormat::DvAvi:
        return {"avi", "dvvideo", "pcm_s16le"};
    case TMediaOutputFormat::UncompressedAvi:
        return {"avi", "rawvideo", Pcm};
    case TMediaOutputFormat::CompressedAvi:
        return {"avi", "mpeg4", "libmp3lame"};
    case TMediaOutputFormat::Mp3:
        return {"mp3", nullptr, "libmp3lame"};
    case TMediaOutputFormat::Wav:
        return {"wav", nullptr, Pcm};
    case TMediaOutputFormat::Mp4Advanced:
    case TMediaOutputFormat::AviAdvanced:
        break;
    }
    bool Mp4 = Profile.Format == TMediaOutputFormat::Mp4Advanced;
    return {Mp4 ? (Profile.Container.empty() ? "mp4" : Profile.Container.c_str()) : "avi",
            Profile.VideoEncoder.empty() ? nullptr : Profile.VideoEncoder.c_str(),
            Profile.AudioEncoder.empty() ? nullptr : Profile.AudioEncoder.c_str()};
}

const AVCodec* FindMediaEncoder(const char* Name, const std::string& FileName) {
    const AVCodec* Codec = avcodec_find_encoder_by_name(Name);
    if (!Codec)
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::MissingMediaEncoder), Name), FileName);
    return Codec;
}

void OpenMediaEncoder(AVCodecContext* Context, const AVCodec* Codec) {
    int Result = avcodec_open2(Context, Codec, nullptr);
    if (Result < 0)
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::CannotOpenMediaEncoder), Codec->name),
                        AvErrorText(Result));
}

TVideoPath VideoPathOf(const AVCodec* Codec) {
    std::string_view Name = Codec->name;
    if (Name == "rawvideo")
        return TVideoPath::Raw;
    if (Name == "dvvideo")
        return TVideoPath::Dv;
    if (Name == "libx264")
        return TVideoPath::H264;
    return TVideoPath::Quantized;
}

AVRational SetUpVideoEncoder(AVCodecContext* C, const AVCodec* Codec, const AVFormatContext* Output,
                             int32_t Width, int32_t Height, AVRational Rate,
                             const TEncoderRates& Rates) {
    TVideoPath Path = VideoPathOf(Codec);
    bool Dv = Path == TVideoPath::Dv;
    bool Raw = Path == TVideoPath::Raw;
    AVPixelFormat PixelFormat =
        ChoosePixelFormat(Codec, Raw ? AV_PIX_FMT_BGRA : AV_PIX_FMT_YUV420P);
    if (Dv) {
        bool Ntsc = Height == 480;
        Width = 720;
        Height = Ntsc ? 480 : 576;
        Rate = Ntsc ? AVRational{30000, 1001} : AVRational{25, 1};
        PixelFormat = Ntsc ? AV_PIX_FMT_YUV411P : AV_PIX_FMT_YUV420P;
    } else if (!Raw) {
        Width = std::max(2, Width & ~1);
        Height = std::max(2, Height & ~1);
    }
    C->width = Width;
    C->height = Height;
    C->pix_fmt = PixelFormat;
    C->time_base = av_inv_q(Rate);
    C->framerate = Rate;
    C->sample_aspect_ratio = {1, 1};
    // Let the encoder use every core (the library default is one thread).
    C->thread_count = 0;
    if (Dv) // DV frames carry the 4:3 picture shape of their standard
        C->sample_aspect_ratio = Height == 480 ? AVRational{10, 11} : AVRational{16, 15};
    if (!Raw && !Dv)
        C->gop_size = std::max(1, int(std::lround(av_q2d(Rate) * 2)));
    if (Output->oformat->flags & AVFMT_GLOBALHEADER)
        C->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Players show the colours the preview shows only when the stream says
    // which matrix and range its pixels were made with.
    if (!Raw)
        TagVideoColours(*C);
    ConfigureVideoRate(C, Path, Rates);
    if (std::string_view(Codec->name) == "mpeg4" &&
        Output->oformat == av_guess_format("avi", nullptr, nullptr))
        C->codec_tag = MKTAG('X', 'V', 'I', 'D');
    return Rate;
}

void SetUpAudioEncoder(AVCodecContext* C, const AVCodec* Codec, const AVFormatContext* Output,
                       int32_t Channels, int32_t SamplesPerSecond, const TEncoderRates& Rates) {
    std::string_view Name = Codec->name;
    if (Rates.Profile.Format == TMediaOutputFormat::DvAvi) {
        Channels = 2; // DV carries 48 kHz stereo
        SamplesPerSecond = 48000;
    }
    if (Name == "libmp3lame" || Name == "wmav2")
        Channels = std::min(Channels, 2);
    av_channel_layout_default(&C->ch_layout, Channels);
    C->sample_rate = ChooseSampleRate(Codec, SamplesPerSecond);
    C->sample_fmt = ChooseSampleFormat(Codec);
    C->time_base = {1, C->sample_rate};
    if (Output->oformat->flags & AVFMT_GLOBALHEADER)
        C->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ConfigureAudioRate(C, Rates);
}

TSwrPtr MakeEncoderResampler(AVCodecContext* C, int32_t Channels, int32_t SamplesPerSecond,
                             const std::string& FileName) {
    AVChannelLayout InLayout;
    av_channel_layout_default(&InLayout, Channels);
    SwrContext* Raw = nullptr;
    int Result = swr_alloc_set_opts2(&Raw, &C->ch_layout, C->sample_fmt, C->sample_rate, &InLayout,
                                     AV_SAMPLE_FMT_FLT, SamplesPerSecond, 0, nullptr);
    av_channel_layout_uninit(&InLayout);
    if (Result < 0 || (Result = swr_init(Raw)) < 0) {
        swr_free(&Raw);
        RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, Result);
    }
    return TSwrPtr(Raw);
}

void CheckWrite(int Result, const std::string& FileName) {
    if (Result < 0)
        RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, Result);
}

void EncodeAndWrite(AVCodecContext* Context, AVStream* Stream, AVFormatContext* Output,
                    const AVFrame* Frame, const std::string& FileName) {
    CheckWrite(avcodec_send_frame(Context, Frame), FileName);
    TPacketPtr Packet(av_packet_alloc());
    for (;;) {
        int Result = avcodec_receive_packet(Context, Packet.get());
        if (Result == AVERROR(EAGAIN) || Result == AVERROR_EOF)
            return;
        CheckWrite(Result, FileName);
        av_packet_rescale_ts(Packet.get(), Context->time_base, Stream->time_base);
        Packet->stream_index = Stream->index;
        CheckWrite(av_interleaved_write_frame(Output, Packet.get()), FileName);
    }
}
