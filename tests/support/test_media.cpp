#include "test_media.h"

#include <cassert>
#include <cmath>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

[[noreturn]] void Fail(const std::string& Path, const std::string& What) {
    throw std::runtime_error("cannot write test media " + Path + ": " + What);
}

void Check(int Code, const std::string& Path, const std::string& What) {
    if (Code >= 0)
        return;
    char Text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(Code, Text, sizeof Text);
    Fail(Path, What + ": " + Text);
}

struct TFormatDeleter {
    void operator()(AVFormatContext* Format) const {
        if (Format->pb && !(Format->oformat->flags & AVFMT_NOFILE))
            avio_closep(&Format->pb);
        avformat_free_context(Format);
    }
};
struct TCodecDeleter {
    void operator()(AVCodecContext* Codec) const { avcodec_free_context(&Codec); }
};
struct TFrameDeleter {
    void operator()(AVFrame* Frame) const { av_frame_free(&Frame); }
};
struct TPacketDeleter {
    void operator()(AVPacket* Packet) const { av_packet_free(&Packet); }
};
struct TScaleDeleter {
    void operator()(SwsContext* Scale) const { sws_freeContext(Scale); }
};
using TFormatPtr = std::unique_ptr<AVFormatContext, TFormatDeleter>;
using TCodecPtr = std::unique_ptr<AVCodecContext, TCodecDeleter>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameDeleter>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketDeleter>;
using TScalePtr = std::unique_ptr<SwsContext, TScaleDeleter>;

TFramePtr AllocFrame() {
    TFramePtr Frame(av_frame_alloc());
    if (!Frame)
        throw std::bad_alloc();
    return Frame;
}

TPacketPtr AllocPacket() {
    TPacketPtr Packet(av_packet_alloc());
    if (!Packet)
        throw std::bad_alloc();
    return Packet;
}

const AVCodec* FindEncoder(const std::string& Path, const std::string& Name, AVMediaType Type) {
    const AVCodec* Encoder = avcodec_find_encoder_by_name(Name.c_str());
    if (!Encoder)
        Fail(Path, "there is no encoder " + Name);
    if (Encoder->type != Type)
        Fail(Path, Name + " encodes the wrong kind of media");
    return Encoder;
}

TCodecPtr AllocCodec(const AVCodec* Encoder) {
    TCodecPtr Codec(avcodec_alloc_context3(Encoder));
    if (!Codec)
        throw std::bad_alloc();
    return Codec;
}

// The first of Preferred the encoder takes, else its own first choice.
// Encoders that list none (rawvideo) take anything.
AVPixelFormat ChoosePixelFormat(const AVCodec* Encoder,
                                std::initializer_list<AVPixelFormat> Preferred) {
    if (!Encoder->pix_fmts)
        return *Preferred.begin();
    for (AVPixelFormat Wanted : Preferred)
        for (const AVPixelFormat* Format = Encoder->pix_fmts; *Format != AV_PIX_FMT_NONE; ++Format)
            if (*Format == Wanted)
                return Wanted;
    return Encoder->pix_fmts[0];
}

// Paints BGRA pictures and converts them to the encoder's pixel format.
class TPictureSource {
public:
    TPictureSource(const std::string& Path, const AVCodecContext& Codec, TFramePainter Painter)
        : FPath(Path), FPainter(std::move(Painter)), FBgra(AllocFrame()), FOutput(AllocFrame()) {
        AllocPicture(*FBgra, AV_PIX_FMT_BGRA, Codec.width, Codec.height);
        AllocPicture(*FOutput, Codec.pix_fmt, Codec.width, Codec.height);
        FScale.reset(sws_getContext(Codec.width, Codec.height, AV_PIX_FMT_BGRA, Codec.width,
                                    Codec.height, Codec.pix_fmt, SWS_BILINEAR, nullptr, nullptr,
                                    nullptr));
        if (!FScale)
            Fail(Path, std::string("cannot convert BGRA to ") + av_get_pix_fmt_name(Codec.pix_fmt));
        // Full-range YUV (JPEG) needs telling; limited range is the default.
        // Untagged pictures get the matrix players assume for their size.
        bool Hd = Codec.height >= 720 || Codec.width > 1024;
        bool Bt709 = Codec.colorspace == AVCOL_SPC_BT709 ||
                     (Codec.colorspace == AVCOL_SPC_UNSPECIFIED && Hd);
        const int* Coefficients = sws_getCoefficients(Bt709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
        sws_setColorspaceDetails(FScale.get(), Coefficients, 1, Coefficients,
                                 Codec.color_range == AVCOL_RANGE_JPEG ? 1 : 0, 0, 1 << 16,
                                 1 << 16);
    }

    // The picture of frame FrameIndex in the encoder's format, with pts FrameIndex.
    AVFrame* Make(int FrameIndex) {
        Check(av_frame_make_writable(FOutput.get()), FPath, "av_frame_make_writable");
        FPainter(FrameIndex, FBgra->data[0], FBgra->width, FBgra->height, FBgra->linesize[0]);
        sws_scale(FScale.get(), FBgra->data, FBgra->linesize, 0, FBgra->height, FOutput->data,
                  FOutput->linesize);
        FOutput->pts = FrameIndex;
        return FOutput.get();
    }

private:
    void AllocPicture(AVFrame& Frame, AVPixelFormat Format, int Width, int Height) {
        Frame.format = Format;
        Frame.width = Width;
        Frame.height = Height;
        Check(av_frame_get_buffer(&Frame, 0), FPath, "av_frame_get_buffer");
    }

    std::string FPath;
    TFramePainter FPainter;
    TFramePtr FBgra;
    TFramePtr FOutput;
    TScalePtr FScale;
};

// What WriteTestTone and the sound of WriteTestVideo ask for.
struct TTone {
    std::string Codec;
    double Hz = 0;
    double Amplitude = 0;
    int SampleRate = 0;
    int Channels = 0;
    int64_t SampleCount = 0;
};

void StoreSample(AVSampleFormat Format, uint8_t* Where, double Value) {
    switch (av_get_packed_sample_fmt(Format)) {
    case AV_SAMPLE_FMT_U8:
        *Where = static_cast<uint8_t>(std::lrint(128 + Value * 127));
        break;
    case AV_SAMPLE_FMT_S16: {
        auto Sample = static_cast<int16_t>(std::lrint(Value * 32767));
        std::memcpy(Where, &Sample, sizeof Sample);
        break;
    }
    case AV_SAMPLE_FMT_S32: {
        auto Sample = static_cast<int32_t>(std::lrint(Value * 2147483647.0));
        std::memcpy(Where, &Sample, sizeof Sample);
        break;
    }
    case AV_SAMPLE_FMT_FLT: {
        auto Sample = static_cast<float>(Value);
        std::memcpy(Where, &Sample, sizeof Sample);
        break;
    }
    case AV_SAMPLE_FMT_DBL:
        std::memcpy(Where, &Value, sizeof Value);
        break;
    default:
        assert(false && "ChooseSampleFormat let through a format StoreSample cannot write");
    }
}

AVSampleFormat ChooseSampleFormat(const std::string& Path, const AVCodec* Encoder) {
    if (Encoder->sample_fmts)
        for (const AVSampleFormat* Format = Encoder->sample_fmts; *Format != AV_SAMPLE_FMT_NONE;
             ++Format)
            switch (av_get_packed_sample_fmt(*Format)) {
            case AV_SAMPLE_FMT_U8:
            case AV_SAMPLE_FMT_S16:
            case AV_SAMPLE_FMT_S32:
            case AV_SAMPLE_FMT_FLT:
            case AV_SAMPLE_FMT_DBL:
                return *Format;
            default:
                break;
            }
    Fail(Path, std::string(Encoder->name) + " takes no sample format written here");
}

// Encoder options by name, as avcodec_open2 takes them.
using TOptions = std::vector<std::pair<const char*, const char*>>;

// One encoder feeding one stream of the file.
struct TOutputStream {
    TCodecPtr Codec;
    AVStream* Stream = nullptr;
    int64_t NextPts = 0; // in the codec's time base
    int64_t EndPts = 0;  // in the codec's time base
    bool HasPackets = false;
    int64_t Shift = 0; // added to packet times, in the codec's time base
    bool IsDone() const { return NextPts >= EndPts; }
};

// Writes one file of an optional video stream and an optional tone stream,
// interleaved by time as the muxers want them.
class TMediaWriter {
public:
    explicit TMediaWriter(const std::string& Path) : FPath(Path), FPacket(AllocPacket()) {
        AVFormatContext* Format = nullptr;
        Check(avformat_alloc_output_context2(&Format, nullptr, nullptr, Path.c_str()), Path,
              "no container for this extension");
        FFormat.reset(Format);
    }

    void AddVideo(const TTestVideoOptions& Clip) {
        const AVCodec* Encoder = FindEncoder(FPath, Clip.Codec, AVMEDIA_TYPE_VIDEO);
        CheckContainerTakes(Encoder);
        FVideo.Codec = AllocCodec(Encoder);
        AVCodecContext& Codec = *FVideo.Codec;
        Codec.width = Clip.Width;
        Codec.height = Clip.Height;
        Codec.framerate = AVRational{Clip.FramesPerSecondNum, Clip.FramesPerSecondDen};
        Codec.pix_fmt = ChoosePixelFormat(Encoder, {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUVJ420P});
        // QuickTime has no tag for planar raw YUV.
        if (Encoder->id == AV_CODEC_ID_RAWVIDEO && std::strcmp(FFormat->oformat->name, "mov") == 0)
            Codec.pix_fmt = AV_PIX_FMT_UYVY422;
        if (Encoder->id == AV_CODEC_ID_DVVIDEO) {
            // PAL DV25: the encoder finds its profile from size, rate and format.
            Codec.width = 720;
            Codec.height = 576;
            Codec.framerate = AVRational{25, 1};
            Codec.pix_fmt = AV_PIX_FMT_YUV420P;
        }
        if (Codec.width <= 0 || Codec.height <= 0 || Codec.framerate.num <= 0 ||
            Codec.framerate.den <= 0 || Clip.FrameCount < 0)
            Fail(FPath, "the size, frame rate or frame count is out of range");
        Codec.time_base = av_inv_q(Codec.framerate);
        Codec.gop_size = Clip.GopSize;
        Codec.max_b_frames = Clip.MaxBFrames;
        if (Encoder->id == AV_CODEC_ID_MJPEG || Clip.FullRange)
            Codec.color_range = AVCOL_RANGE_JPEG;
        if (Clip.Colours == TTestColours::Bt709) {
            Codec.colorspace = AVCOL_SPC_BT709;
            Codec.color_primaries = AVCOL_PRI_BT709;
            Codec.color_trc = AVCOL_TRC_BT709;
        } else if (Clip.Colours == TTestColours::Bt601) {
            Codec.colorspace = AVCOL_SPC_SMPTE170M;
            Codec.color_primaries = AVCOL_PRI_SMPTE170M;
            Codec.color_trc = AVCOL_TRC_SMPTE170M;
        }
        if (!Clip.FullRange && Clip.Colours != TTestColours::Untagged &&
            Codec.color_range != AVCOL_RANGE_JPEG)
            Codec.color_range = AVCOL_RANGE_MPEG;
        if (Encoder->id == AV_CODEC_ID_MPEG4 || Encoder->id == AV_CODEC_ID_MJPEG) {
            // The default 200 kbit/s smears the frame number's bars at larger sizes.
            Codec.flags |= AV_CODEC_FLAG_QSCALE;
            Codec.global_quality = FF_QP2LAMBDA * 3;
        }
        TOptions EncoderOptions;
        if (Encoder->id == AV_CODEC_ID_H264) {
            EncoderOptions.push_back({"preset", "veryfast"});
            // Keyframes exactly every GopSize frames, and B-frames even where
            // the encoder would find them not worth it (numbered frames
            // change colour every frame): tests count on both.
            EncoderOptions.push_back({"sc_threshold", "0"});
            if (Clip.MaxBFrames > 0)
                EncoderOptions.push_back({"b_strategy", "0"});
        }
        FVideo.Stream = OpenStream(Codec, EncoderOptions);
        FVideo.Stream->avg_frame_rate = Codec.framerate;
        if (!Clip.DisplayMatrix.empty()) {
            if (Clip.DisplayMatrix.size() != 9)
                Fail(FPath, "a display matrix has nine numbers");
            uint8_t* Side = av_stream_new_side_data(FVideo.Stream, AV_PKT_DATA_DISPLAYMATRIX,
                                                    9 * sizeof(int32_t));
            if (!Side)
                throw std::bad_alloc();
            std::memcpy(Side, Clip.DisplayMatrix.data(), 9 * sizeof(int32_t));
        }
        FVideo.EndPts = Clip.FrameCount;
        FPainter = Clip.Painter ? Clip.Painter : SolidColor(128, 128, 128);
    }

    void AddTone(const TTone& Tone) {
        const AVCodec* Encoder = FindEncoder(FPath, Tone.Codec, AVMEDIA_TYPE_AUDIO);
        CheckContainerTakes(Encoder);
        if (Tone.SampleRate <= 0 || Tone.Channels <= 0 || Tone.SampleCount < 0)
            Fail(FPath, "the sample rate, channel count or length is out of range");
        FAudio.Codec = AllocCodec(Encoder);
        AVCodecContext& Codec = *FAudio.Codec;
        Codec.sample_fmt = ChooseSampleFormat(FPath, Encoder);
        Codec.sample_rate = Tone.SampleRate;
        Codec.time_base = AVRational{1, Tone.SampleRate};
        av_channel_layout_default(&Codec.ch_layout, Tone.Channels);
        FAudio.Stream = OpenStream(Codec, {});
        FAudio.EndPts = Tone.SampleCount;
        FTone = Tone;
    }

    void Write() {
        if (!(FFormat->oformat->flags & AVFMT_NOFILE))
            Check(avio_open(&FFormat->pb, FPath.c_str(), AVIO_FLAG_WRITE), FPath, "avio_open");
        Check(avformat_write_header(FFormat.get(), nullptr), FPath, "avformat_write_header");

        std::unique_ptr<TPictureSource> Pictures;
        if (FVideo.Codec)
            Pictures = std::make_unique<TPictureSource>(FPath, *FVideo.Codec, FPainter);
        TFramePtr Sound;
        if (FAudio.Codec)
            Sound = AllocSoundFrame();

        bool HasVideo = FVideo.Codec && !FVideo.IsDone();
        bool HasAudio = FAudio.Codec && !FAudio.IsDone();
        while (HasVideo || HasAudio) {
            if (HasVideo &&
                (!HasAudio || av_compare_ts(FVideo.NextPts, FVideo.Codec->time_base, FAudio.NextPts,
                                            FAudio.Codec->time_base) <= 0)) {
                Encode(FVideo, Pictures->Make(static_cast<int>(FVideo.NextPts)));
                ++FVideo.NextPts;
                HasVideo = !FVideo.IsDone();
            } else {
                FillTone(*Sound);
                Encode(FAudio, Sound.get());
                FAudio.NextPts += Sound->nb_samples;
                HasAudio = !FAudio.IsDone();
            }
        }
        if (FVideo.Codec)
            Encode(FVideo, nullptr);
        if (FAudio.Codec)
            Encode(FAudio, nullptr);
        Check(av_write_trailer(FFormat.get()), FPath, "av_write_trailer");
        if (FFormat->pb && !(FFormat->oformat->flags & AVFMT_NOFILE))
            Check(avio_closep(&FFormat->pb), FPath, "avio_closep");
    }

private:
    void CheckContainerTakes(const AVCodec* Encoder) {
        // 0 is a firm no; a negative answer means the muxer cannot tell in advance.
        if (avformat_query_codec(FFormat->oformat, Encoder->id, FF_COMPLIANCE_NORMAL) == 0)
            Fail(FPath, std::string("the ") + FFormat->oformat->name + " container cannot hold " +
                            Encoder->name);
    }

    AVStream* OpenStream(AVCodecContext& Codec, const TOptions& Options) {
        const AVCodec* Encoder = Codec.codec; // a failed avcodec_open2 clears it
        if (FFormat->oformat->flags & AVFMT_GLOBALHEADER)
            Codec.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* Dictionary = nullptr;
        for (const auto& [Name, Value] : Options)
            av_dict_set(&Dictionary, Name, Value, 0);
        int Result = avcodec_open2(&Codec, Encoder, &Dictionary);
        // Whatever is left was not taken: a misspelt option must not pass unnoticed.
        const AVDictionaryEntry* Unused =
            av_dict_get(Dictionary, "", nullptr, AV_DICT_IGNORE_SUFFIX);
        const std::string UnusedName = Unused ? Unused->key : "";
        av_dict_free(&Dictionary);
        Check(Result, FPath, std::string("cannot open the encoder ") + Encoder->name);
        if (!UnusedName.empty())
            Fail(FPath, std::string(Encoder->name) + " has no option " + UnusedName);
        AVStream* Stream = avformat_new_stream(FFormat.get(), nullptr);
        if (!Stream)
            throw std::bad_alloc();
        Stream->time_base = Codec.time_base; // a hint: the muxer may choose another
        Check(avcodec_parameters_from_context(Stream->codecpar, &Codec), FPath,
              "avcodec_parameters_from_context");
        return Stream;
    }

    TFramePtr AllocSoundFrame() {
        const AVCodecContext& Codec = *FAudio.Codec;
        TFramePtr Frame = AllocFrame();
        Frame->format = Codec.sample_fmt;
        Frame->sample_rate = Codec.sample_rate;
        Check(av_channel_layout_copy(&Frame->ch_layout, &Codec.ch_layout), FPath,
              "av_channel_layout_copy");
        // PCM encoders take frames of any size and report 0.
        Frame->nb_samples = Codec.frame_size > 0 ? Codec.frame_size : 1024;
        Check(av_frame_get_buffer(Frame.get(), 0), FPath, "av_frame_get_buffer");
        return Frame;
    }

    // The next piece of the tone; the encoder takes a short last frame only
    // when it says so, otherwise the tone ends in silence.
    void FillTone(AVFrame& Frame) {
        Check(av_frame_make_writable(&Frame), FPath, "av_frame_make_writable");
        const AVCodecContext& Codec = *FAudio.Codec;
        const int FullSize = Codec.frame_size > 0 ? Codec.frame_size : 1024;
        const int64_t Left = FAudio.EndPts - FAudio.NextPts;
        const bool TakesShort = Codec.codec->capabilities &
                                (AV_CODEC_CAP_VARIABLE_FRAME_SIZE | AV_CODEC_CAP_SMALL_LAST_FRAME);
        Frame.nb_samples = Left < FullSize && TakesShort ? static_cast<int>(Left) : FullSize;
        Frame.pts = FAudio.NextPts;

        const auto Format = static_cast<AVSampleFormat>(Frame.format);
        const int Bytes = av_get_bytes_per_sample(Format);
        const bool IsPlanar = av_sample_fmt_is_planar(Format);
        const int Channels = Frame.ch_layout.nb_channels;
        for (int Index = 0; Index < Frame.nb_samples; ++Index) {
            const int64_t Sample = FAudio.NextPts + Index;
            const double Value =
                Sample < FAudio.EndPts
                    ? FTone.Amplitude * std::sin(2 * std::numbers::pi * FTone.Hz *
                                                 static_cast<double>(Sample) / FTone.SampleRate)
                    : 0.0;
            for (int Channel = 0; Channel < Channels; ++Channel) {
                uint8_t* Where =
                    IsPlanar ? Frame.extended_data[Channel] + Index * Bytes
                             : Frame.extended_data[0] + (Index * Channels + Channel) * Bytes;
                StoreSample(Format, Where, Value);
            }
        }
    }

    // Sends Frame (nullptr: the end, to drain the encoder) and writes what comes out.
    void Encode(TOutputStream& Out, const AVFrame* Frame) {
        Check(avcodec_send_frame(Out.Codec.get(), Frame), FPath, "avcodec_send_frame");
        for (;;) {
            int Result = avcodec_receive_packet(Out.Codec.get(), FPacket.get());
            if (Result == AVERROR(EAGAIN) || Result == AVERROR_EOF)
                return;
            Check(Result, FPath, "avcodec_receive_packet");
            if (!Out.HasPackets) {
                Out.HasPackets = true;
                // Audio encoders start before 0 by their delay. MP4 and MOV
                // mark that in an edit list; AVI and Matroska cannot, and the
                // muxer would then move everything, so that the video no
                // longer starts at 0. Start the audio at 0 instead.
                if (Out.Codec->codec_type == AVMEDIA_TYPE_AUDIO &&
                    !(FFormat->oformat->flags & AVFMT_TS_NEGATIVE) &&
                    FPacket->pts != AV_NOPTS_VALUE && FPacket->pts < 0)
                    Out.Shift = -FPacket->pts;
            }
            if (FPacket->pts != AV_NOPTS_VALUE)
                FPacket->pts += Out.Shift;
            if (FPacket->dts != AV_NOPTS_VALUE)
                FPacket->dts += Out.Shift;
            // Video encoders here leave the duration open; every packet is one frame.
            if (FPacket->duration == 0 && Out.Codec->codec_type == AVMEDIA_TYPE_VIDEO)
                FPacket->duration = 1;
            av_packet_rescale_ts(FPacket.get(), Out.Codec->time_base, Out.Stream->time_base);
            FPacket->stream_index = Out.Stream->index;
            Check(av_interleaved_write_frame(FFormat.get(), FPacket.get()), FPath,
                  "av_interleaved_write_frame");
        }
    }

    std::string FPath;
    TFormatPtr FFormat;
    TPacketPtr FPacket;
    TOutputStream FVideo;
    TOutputStream FAudio;
    TFramePainter FPainter;
    TTone FTone;
};

} // namespace

void WriteTestVideo(const std::string& Path, const TTestVideoOptions& Options) {
    av_log_set_level(AV_LOG_ERROR);
    TMediaWriter Writer(Path);
    Writer.AddVideo(Options);
    if (Options.WithAudio) {
        const int Num = Options.Codec == "dvvideo" ? 25 : Options.FramesPerSecondNum;
        const int Den = Options.Codec == "dvvideo" ? 1 : Options.FramesPerSecondDen;
        TTone Tone{
            Options.AudioCodec,
            Options.ToneHz,
            Options.ToneAmplitude,
            Options.SampleRate,
            Options.Channels,
            av_rescale(Options.FrameCount, static_cast<int64_t>(Options.SampleRate) * Den, Num)};
        Writer.AddTone(Tone);
    }
    Writer.Write();
}

void WriteTestTone(const std::string& Path, double Hz, double Amplitude, double Seconds,
                   int SampleRate, int Channels) {
    TMediaWriter Writer(Path);
    Writer.AddTone(TTone{"pcm_s16le", Hz, Amplitude, SampleRate, Channels,
                         std::llround(Seconds * SampleRate)});
    Writer.Write();
}

void WriteTestPicture(const std::string& Path, int Width, int Height, uint32_t Bgra) {
    WriteTestPicture(Path, Width, Height, [Bgra](int, uint8_t* Pixels, int W, int H, int Stride) {
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                uint8_t* Pixel = Pixels + Y * Stride + X * 4;
                Pixel[0] = static_cast<uint8_t>(Bgra);
                Pixel[1] = static_cast<uint8_t>(Bgra >> 8);
                Pixel[2] = static_cast<uint8_t>(Bgra >> 16);
                Pixel[3] = static_cast<uint8_t>(Bgra >> 24);
            }
    });
}

void WriteTestPicture(const std::string& Path, int Width, int Height,
                      const TFramePainter& Painter) {
    const std::string Extension = Path.substr(Path.find_last_of('.') + 1);
    std::string Name;
    if (Extension == "png")
        Name = "png";
    else if (Extension == "jpg" || Extension == "jpeg")
        Name = "mjpeg";
    else
        Fail(Path, "still pictures are .png or .jpg");
    if (Width <= 0 || Height <= 0)
        Fail(Path, "the size is out of range");

    // Both encoders make a whole image file of one packet, so no muxer is needed.
    const AVCodec* Encoder = FindEncoder(Path, Name, AVMEDIA_TYPE_VIDEO);
    TCodecPtr Codec = AllocCodec(Encoder);
    Codec->width = Width;
    Codec->height = Height;
    Codec->time_base = AVRational{1, 25};
    Codec->pix_fmt = ChoosePixelFormat(Encoder, {AV_PIX_FMT_RGBA, AV_PIX_FMT_YUV444P});
    if (Encoder->id == AV_CODEC_ID_MJPEG) {
        Codec->color_range = AVCOL_RANGE_JPEG;
        Codec->flags |= AV_CODEC_FLAG_QSCALE;
        Codec->global_quality = FF_QP2LAMBDA * 2;
    }
    Check(avcodec_open2(Codec.get(), Encoder, nullptr), Path,
          std::string("cannot open the encoder ") + Name);

    TPictureSource Picture(Path, *Codec, Painter);
    Check(avcodec_send_frame(Codec.get(), Picture.Make(0)), Path, "avcodec_send_frame");
    Check(avcodec_send_frame(Codec.get(), nullptr), Path, "avcodec_send_frame");
    std::vector<char> Bytes;
    TPacketPtr Packet = AllocPacket();
    for (;;) {
        int Result = avcodec_receive_packet(Codec.get(), Packet.get());
        if (Result == AVERROR_EOF)
            break;
        Check(Result, Path, "avcodec_receive_packet");
        Bytes.insert(Bytes.end(), Packet->data, Packet->data + Packet->size);
        av_packet_unref(Packet.get());
    }
    std::ofstream File(Path, std::ios::binary);
    File.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    File.close();
    if (!File)
        Fail(Path, "the file cannot be written");
}
