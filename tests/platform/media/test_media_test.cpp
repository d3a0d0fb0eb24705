#include "test_media.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

// The media the test support library writes, opened again with libavformat
// and decoded to the last frame, as an engine would see it.
namespace {

struct TDecodedStream {
    AVMediaType Type = AVMEDIA_TYPE_UNKNOWN;
    std::string Codec;
    int Width = 0;
    int Height = 0;
    AVPixelFormat PixelFormat = AV_PIX_FMT_NONE;
    AVRational FrameRate = {0, 1};
    int VideoDelay = 0;
    int SampleRate = 0;
    int Channels = 0;
    double Duration = -1; // seconds; -1 when the container does not say
    int KeyPackets = 0;
    bool HasReorderedPackets = false;  // presentation order differs from decoding order
    int FrameCount = 0;                // decoded video frames
    std::vector<int> FrameNumbers;     // ReadFrameNumber of each decoded frame
    std::vector<double> FrameTimes;    // seconds
    std::vector<uint8_t> FirstPicture; // BGRA, Width * 4 bytes a row
    std::vector<double> Samples;       // the first channel, -1..1
};

struct TDecodedFile {
    std::string Container;
    double Duration = -1; // seconds
    std::vector<TDecodedStream> Streams;
};

void Check(int Code, const char* What) {
    if (Code >= 0)
        return;
    char Text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(Code, Text, sizeof Text);
    throw std::runtime_error(std::string(What) + ": " + Text);
}

struct TInputDeleter {
    void operator()(AVFormatContext* Format) const { avformat_close_input(&Format); }
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

double SampleAt(const AVFrame& Frame, int Index) {
    const auto Format = static_cast<AVSampleFormat>(Frame.format);
    const int Bytes = av_get_bytes_per_sample(Format);
    const uint8_t* Where =
        av_sample_fmt_is_planar(Format)
            ? Frame.extended_data[0] + Index * Bytes
            : Frame.extended_data[0] + Index * Frame.ch_layout.nb_channels * Bytes;
    switch (av_get_packed_sample_fmt(Format)) {
    case AV_SAMPLE_FMT_S16: {
        int16_t Value;
        std::memcpy(&Value, Where, sizeof Value);
        return Value / 32768.0;
    }
    case AV_SAMPLE_FMT_S32: {
        int32_t Value;
        std::memcpy(&Value, Where, sizeof Value);
        return Value / 2147483648.0;
    }
    case AV_SAMPLE_FMT_FLT: {
        float Value;
        std::memcpy(&Value, Where, sizeof Value);
        return Value;
    }
    case AV_SAMPLE_FMT_DBL: {
        double Value;
        std::memcpy(&Value, Where, sizeof Value);
        return Value;
    }
    default:
        throw std::runtime_error(std::string("unexpected sample format ") +
                                 av_get_sample_fmt_name(Format));
    }
}

class TDecoder {
public:
    TDecoder(const AVStream& Stream, TDecodedStream& Result) : FResult(Result) {
        const AVCodec* Codec = avcodec_find_decoder(Stream.codecpar->codec_id);
        if (!Codec)
            throw std::runtime_error("no decoder");
        FCodec.reset(avcodec_alloc_context3(Codec));
        Check(avcodec_parameters_to_context(FCodec.get(), Stream.codecpar),
              "avcodec_parameters_to_context");
        FCodec->pkt_timebase = Stream.time_base;
        Check(avcodec_open2(FCodec.get(), Codec, nullptr), "avcodec_open2");
        FTimeBase = Stream.time_base;
        FFrame.reset(av_frame_alloc());
    }

    void Decode(const AVPacket* Packet) {
        Check(avcodec_send_packet(FCodec.get(), Packet), "avcodec_send_packet");
        for (;;) {
            int Result = avcodec_receive_frame(FCodec.get(), FFrame.get());
            if (Result == AVERROR(EAGAIN) || Result == AVERROR_EOF)
                return;
            Check(Result, "avcodec_receive_frame");
            if (FCodec->codec_type == AVMEDIA_TYPE_VIDEO)
                TakePicture(*FFrame);
            else
                for (int Index = 0; Index < FFrame->nb_samples; ++Index)
                    FResult.Samples.push_back(SampleAt(*FFrame, Index));
            av_frame_unref(FFrame.get());
        }
    }

private:
    void TakePicture(const AVFrame& Frame) {
        const int Width = Frame.width;
        const int Height = Frame.height;
        std::vector<uint8_t> Bgra(static_cast<size_t>(Width) * Height * 4);
        // JPEG decoders deliver the yuvj formats swscale calls deprecated:
        // name the same layout and say full range instead.
        auto Format = static_cast<AVPixelFormat>(Frame.format);
        bool IsFullRange = Frame.color_range == AVCOL_RANGE_JPEG;
        for (auto [Old, New] : {std::pair{AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV420P},
                                {AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUV422P},
                                {AV_PIX_FMT_YUVJ444P, AV_PIX_FMT_YUV444P}})
            if (Format == Old) {
                Format = New;
                IsFullRange = true;
            }
        FScale.reset(sws_getCachedContext(FScale.release(), Width, Height, Format, Width, Height,
                                          AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr,
                                          nullptr));
        const int* Coefficients = sws_getCoefficients(SWS_CS_ITU601);
        sws_setColorspaceDetails(FScale.get(), Coefficients, IsFullRange ? 1 : 0, Coefficients, 1,
                                 0, 1 << 16, 1 << 16);
        uint8_t* Planes[4] = {Bgra.data(), nullptr, nullptr, nullptr};
        int Strides[4] = {Width * 4, 0, 0, 0};
        sws_scale(FScale.get(), Frame.data, Frame.linesize, 0, Height, Planes, Strides);
        FResult.FrameNumbers.push_back(ReadFrameNumber(Bgra.data(), Width, Height, Width * 4));
        FResult.FrameTimes.push_back(Frame.best_effort_timestamp == AV_NOPTS_VALUE
                                         ? -1
                                         : Frame.best_effort_timestamp * av_q2d(FTimeBase));
        if (FResult.FrameCount == 0)
            FResult.FirstPicture = std::move(Bgra);
        ++FResult.FrameCount;
    }

    TDecodedStream& FResult;
    std::unique_ptr<AVCodecContext, TCodecDeleter> FCodec;
    std::unique_ptr<AVFrame, TFrameDeleter> FFrame;
    std::unique_ptr<SwsContext, TScaleDeleter> FScale;
    AVRational FTimeBase = {1, 1};
};

TDecodedFile Decode(const std::string& Path) {
    AVFormatContext* Opened = nullptr;
    Check(avformat_open_input(&Opened, Path.c_str(), nullptr, nullptr), "avformat_open_input");
    std::unique_ptr<AVFormatContext, TInputDeleter> Format(Opened);
    Check(avformat_find_stream_info(Format.get(), nullptr), "avformat_find_stream_info");

    TDecodedFile File;
    File.Container = Format->iformat->name;
    if (Format->duration != AV_NOPTS_VALUE)
        File.Duration = Format->duration / static_cast<double>(AV_TIME_BASE);
    File.Streams.resize(Format->nb_streams);
    std::vector<std::unique_ptr<TDecoder>> Decoders;
    for (unsigned Index = 0; Index < Format->nb_streams; ++Index) {
        const AVStream& Stream = *Format->streams[Index];
        TDecodedStream& Result = File.Streams[Index];
        const AVCodecParameters& Parameters = *Stream.codecpar;
        Result.Type = Parameters.codec_type;
        Result.Codec = avcodec_get_name(Parameters.codec_id);
        Result.Width = Parameters.width;
        Result.Height = Parameters.height;
        Result.PixelFormat = static_cast<AVPixelFormat>(Parameters.format);
        Result.FrameRate = Stream.avg_frame_rate;
        Result.VideoDelay = Parameters.video_delay;
        Result.SampleRate = Parameters.sample_rate;
        Result.Channels = Parameters.ch_layout.nb_channels;
        if (Stream.duration != AV_NOPTS_VALUE)
            Result.Duration = Stream.duration * av_q2d(Stream.time_base);
        Decoders.push_back(std::make_unique<TDecoder>(Stream, Result));
    }

    std::unique_ptr<AVPacket, TPacketDeleter> Packet(av_packet_alloc());
    std::vector<int64_t> LastPts(Format->nb_streams, AV_NOPTS_VALUE);
    while (av_read_frame(Format.get(), Packet.get()) >= 0) {
        const int Index = Packet->stream_index;
        TDecodedStream& Result = File.Streams[Index];
        if (Packet->flags & AV_PKT_FLAG_KEY)
            ++Result.KeyPackets;
        if (Packet->pts != AV_NOPTS_VALUE) {
            if (LastPts[Index] != AV_NOPTS_VALUE && Packet->pts < LastPts[Index])
                Result.HasReorderedPackets = true;
            LastPts[Index] = Packet->pts;
        }
        Decoders[Index]->Decode(Packet.get());
        av_packet_unref(Packet.get());
    }
    for (auto& Decoder : Decoders)
        Decoder->Decode(nullptr);
    return File;
}

// Frame i shown at i / Rate from 0, with no gaps.
std::vector<double> FrameTimes(int Count, double Rate) {
    std::vector<double> Times(Count);
    for (int Index = 0; Index < Count; ++Index)
        Times[Index] = std::round(Index / Rate * 1000) / 1000;
    return Times;
}

// Decoded times to the millisecond, as Matroska stores them.
std::vector<double> Rounded(const std::vector<double>& Times) {
    std::vector<double> Result;
    for (double Time : Times)
        Result.push_back(std::round(Time * 1000) / 1000);
    return Result;
}

std::vector<int> Range(int Count) {
    std::vector<int> Numbers(Count);
    for (int Index = 0; Index < Count; ++Index)
        Numbers[Index] = Index;
    return Numbers;
}

// The pitch of a tone from its rising zero crossings, away from both ends
// where encoders ramp in and out.
double MeasureHz(const std::vector<double>& Samples, int SampleRate) {
    const size_t Begin = Samples.size() / 10;
    const size_t End = Samples.size() - Samples.size() / 10;
    size_t First = 0;
    size_t Last = 0;
    int Crossings = 0;
    for (size_t Index = Begin + 1; Index < End; ++Index)
        if (Samples[Index - 1] < 0 && Samples[Index] >= 0) {
            if (Crossings == 0)
                First = Index;
            Last = Index;
            ++Crossings;
        }
    if (Crossings < 2)
        return 0;
    return (Crossings - 1) * SampleRate / static_cast<double>(Last - First);
}

double MeasurePeak(const std::vector<double>& Samples) {
    double Peak = 0;
    for (size_t Index = Samples.size() / 10; Index < Samples.size() - Samples.size() / 10; ++Index)
        Peak = std::max(Peak, std::abs(Samples[Index]));
    return Peak;
}

struct TPixel {
    int B, G, R, A;
};

TPixel PixelAt(const std::vector<uint8_t>& Bgra, int Width, int X, int Y) {
    const uint8_t* Pixel = Bgra.data() + (static_cast<size_t>(Y) * Width + X) * 4;
    return {Pixel[0], Pixel[1], Pixel[2], Pixel[3]};
}

std::vector<char> ReadBytes(const std::string& Path) {
    std::ifstream File(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()};
}

TTestVideoOptions NumberedClip(const std::string& Codec, int FrameCount) {
    TTestVideoOptions Options;
    Options.Codec = Codec;
    Options.Width = 160;
    Options.Height = 120;
    Options.FrameCount = FrameCount;
    Options.Painter = NumberedFrames();
    return Options;
}

std::vector<uint8_t> Paint(const TFramePainter& Painter, int Index, int Width, int Height,
                           int Stride) {
    std::vector<uint8_t> Bgra(static_cast<size_t>(Stride) * Height, 0x5A);
    Painter(Index, Bgra.data(), Width, Height, Stride);
    return Bgra;
}

} // namespace

TEST(TestMedia, SolidColorFillsEveryPixelAndLeavesRowPaddingAlone) {
    const auto Bgra = Paint(SolidColor(10, 20, 30), 0, 3, 2, 16);
    for (int Y = 0; Y < 2; ++Y) {
        for (int X = 0; X < 3; ++X) {
            const uint8_t* Pixel = Bgra.data() + Y * 16 + X * 4;
            EXPECT_EQ(Pixel[0], 30);
            EXPECT_EQ(Pixel[1], 20);
            EXPECT_EQ(Pixel[2], 10);
            EXPECT_EQ(Pixel[3], 255);
        }
        for (int Byte = 12; Byte < 16; ++Byte)
            EXPECT_EQ(Bgra[Y * 16 + Byte], 0x5A);
    }
}

TEST(TestMedia, NumberedFramesReadBackAtEveryIndexAndSize) {
    const TFramePainter Painter = NumberedFrames();
    for (int Index : {0, 1, 2, 341, 511, 512, 682, 1023})
        for (auto [Width, Height] : {std::pair{320, 240}, {720, 576}, {20, 4}, {33, 17}}) {
            const int Stride = Width * 4 + 12;
            const auto Bgra = Paint(Painter, Index, Width, Height, Stride);
            EXPECT_EQ(ReadFrameNumber(Bgra.data(), Width, Height, Stride), Index)
                << Width << " x " << Height;
        }
}

TEST(TestMedia, NumberedFramesWrapAfter1023) {
    const auto Bgra = Paint(NumberedFrames(), 1024 + 7, 64, 48, 64 * 4);
    EXPECT_EQ(ReadFrameNumber(Bgra.data(), 64, 48, 64 * 4), 7);
}

TEST(TestMedia, ReadFrameNumberFindsNoneInPlainPictures) {
    for (auto [R, G, B] : {std::tuple{0, 0, 0}, {255, 255, 255}, {128, 128, 128}, {191, 0, 0}}) {
        const auto Bgra = Paint(
            SolidColor(static_cast<uint8_t>(R), static_cast<uint8_t>(G), static_cast<uint8_t>(B)),
            0, 64, 48, 64 * 4);
        EXPECT_EQ(ReadFrameNumber(Bgra.data(), 64, 48, 64 * 4), -1) << R << " " << G << " " << B;
    }
}

TEST(TestMedia, ReadFrameNumberRejectsBarsOverTheWrongColour) {
    // Frame 5's bars over frame 6's colour: a decoder mixing two frames.
    auto Bgra = Paint(NumberedFrames(), 5, 64, 48, 64 * 4);
    const auto Other = Paint(NumberedFrames(), 6, 64, 48, 64 * 4);
    std::copy(Other.begin() + 24 * 64 * 4, Other.end(), Bgra.begin() + 24 * 64 * 4);
    EXPECT_EQ(ReadFrameNumber(Bgra.data(), 64, 48, 64 * 4), -1);
}

TEST(TestMedia, Mpeg4AviDeliversEveryNumberedFrameInOrder) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("mpeg4", 20);
    WriteTestVideo(Folder.Path("clip.avi"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.avi"));
    EXPECT_EQ(File.Container, "avi");
    ASSERT_EQ(File.Streams.size(), 1u);
    const TDecodedStream& Video = File.Streams[0];
    EXPECT_EQ(Video.Codec, "mpeg4");
    EXPECT_EQ(Video.Width, 160);
    EXPECT_EQ(Video.Height, 120);
    EXPECT_EQ(Video.FrameRate.num, 25);
    EXPECT_EQ(Video.FrameRate.den, 1);
    EXPECT_EQ(Video.FrameCount, 20);
    EXPECT_EQ(Video.FrameNumbers, Range(20));
    EXPECT_EQ(Rounded(Video.FrameTimes), FrameTimes(20, 25));
    EXPECT_EQ(Video.KeyPackets, 2); // frames 0 and 12
    EXPECT_NEAR(File.Duration, 0.8, 1e-6);
    EXPECT_NEAR(Video.Duration, 0.8, 1e-6);
}

TEST(TestMedia, H264WithBFramesDecodesNumberedFramesInDisplayOrder) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("libx264", 30);
    Options.GopSize = 10;
    Options.MaxBFrames = 2;
    WriteTestVideo(Folder.Path("clip.mp4"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.mp4"));
    ASSERT_EQ(File.Streams.size(), 1u);
    const TDecodedStream& Video = File.Streams[0];
    EXPECT_EQ(Video.Codec, "h264");
    EXPECT_EQ(Video.PixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_GT(Video.VideoDelay, 0);
    EXPECT_TRUE(Video.HasReorderedPackets);
    EXPECT_EQ(Video.KeyPackets, 3);
    EXPECT_EQ(Video.FrameCount, 30);
    EXPECT_EQ(Video.FrameNumbers, Range(30));
    EXPECT_EQ(Rounded(Video.FrameTimes), FrameTimes(30, 25));
    EXPECT_NEAR(File.Duration, 1.2, 1e-3);
}

TEST(TestMedia, H264WithoutBFramesKeepsDecodingOrder) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("libx264", 12);
    WriteTestVideo(Folder.Path("clip.mkv"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.mkv"));
    ASSERT_EQ(File.Streams.size(), 1u);
    EXPECT_EQ(File.Container, "matroska,webm");
    EXPECT_FALSE(File.Streams[0].HasReorderedPackets);
    EXPECT_EQ(File.Streams[0].FrameNumbers, Range(12));
    EXPECT_NEAR(File.Duration, 12 / 25.0, 1e-3);
}

TEST(TestMedia, FrameRateAndCountSetTheDuration) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("mpeg4", 9);
    Options.FramesPerSecondNum = 30000;
    Options.FramesPerSecondDen = 1001;
    WriteTestVideo(Folder.Path("clip.mov"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.mov"));
    ASSERT_EQ(File.Streams.size(), 1u);
    EXPECT_EQ(File.Streams[0].FrameRate.num * 1001, File.Streams[0].FrameRate.den * 30000);
    EXPECT_EQ(File.Streams[0].FrameNumbers, Range(9));
    EXPECT_EQ(Rounded(File.Streams[0].FrameTimes), FrameTimes(9, 30000 / 1001.0));
    EXPECT_NEAR(File.Duration, 9 * 1001 / 30000.0, 1e-3);
}

TEST(TestMedia, MjpegKeepsASolidColourClose) {
    TTempFolder Folder;
    TTestVideoOptions Options;
    Options.Codec = "mjpeg";
    Options.Width = 64;
    Options.Height = 48;
    Options.FrameCount = 5;
    Options.Painter = SolidColor(200, 40, 90);
    WriteTestVideo(Folder.Path("clip.avi"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.avi"));
    ASSERT_EQ(File.Streams.size(), 1u);
    const TDecodedStream& Video = File.Streams[0];
    EXPECT_EQ(Video.Codec, "mjpeg");
    EXPECT_EQ(Video.FrameCount, 5);
    EXPECT_EQ(Video.KeyPackets, 5);
    const TPixel Pixel = PixelAt(Video.FirstPicture, 64, 32, 24);
    EXPECT_NEAR(Pixel.R, 200, 6);
    EXPECT_NEAR(Pixel.G, 40, 6);
    EXPECT_NEAR(Pixel.B, 90, 6);
}

TEST(TestMedia, ClipsWithoutPainterAreMidGrey) {
    TTempFolder Folder;
    TTestVideoOptions Options;
    Options.Codec = "rawvideo";
    Options.Width = 16;
    Options.Height = 8;
    Options.FrameCount = 2;
    WriteTestVideo(Folder.Path("grey.avi"), Options);

    const TDecodedFile File = Decode(Folder.Path("grey.avi"));
    ASSERT_EQ(File.Streams.size(), 1u);
    EXPECT_EQ(File.Streams[0].FrameCount, 2);
    const TPixel Pixel = PixelAt(File.Streams[0].FirstPicture, 16, 5, 3);
    EXPECT_NEAR(Pixel.R, 128, 2);
    EXPECT_NEAR(Pixel.G, 128, 2);
    EXPECT_NEAR(Pixel.B, 128, 2);
}

TEST(TestMedia, RawVideoCarriesNumberedFramesInEveryContainer) {
    TTempFolder Folder;
    for (const char* Extension : {"avi", "mkv", "mov"}) {
        const std::string Path = Folder.Path(std::string("clip.") + Extension);
        WriteTestVideo(Path, NumberedClip("rawvideo", 6));
        const TDecodedFile File = Decode(Path);
        ASSERT_EQ(File.Streams.size(), 1u) << Extension;
        EXPECT_EQ(File.Streams[0].Codec, "rawvideo") << Extension;
        EXPECT_EQ(File.Streams[0].FrameNumbers, Range(6)) << Extension;
        EXPECT_NEAR(File.Duration, 6 / 25.0, 1e-3) << Extension;
    }
}

TEST(TestMedia, DvIsPalWhateverSizeWasAskedWithLockedAudio) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("dvvideo", 5);
    Options.FramesPerSecondNum = 30;
    Options.WithAudio = true;
    Options.SampleRate = 48000;
    WriteTestVideo(Folder.Path("clip.dv"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.dv"));
    EXPECT_EQ(File.Container, "dv");
    ASSERT_EQ(File.Streams.size(), 2u);
    const TDecodedStream& Video = File.Streams[0];
    EXPECT_EQ(Video.Codec, "dvvideo");
    EXPECT_EQ(Video.Width, 720);
    EXPECT_EQ(Video.Height, 576);
    EXPECT_EQ(Video.PixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(Video.FrameNumbers, Range(5));
    const TDecodedStream& Audio = File.Streams[1];
    EXPECT_EQ(Audio.Codec, "pcm_s16le");
    EXPECT_EQ(Audio.SampleRate, 48000);
    EXPECT_EQ(Audio.Samples.size(), 5u * 1920);
    EXPECT_NEAR(File.Duration, 0.2, 1e-6);
}

TEST(TestMedia, PcmToneInMovHasTheVideosLengthPitchAndLevel) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("mpeg4", 20);
    Options.WithAudio = true;
    Options.ToneHz = 1000;
    Options.ToneAmplitude = 0.25;
    WriteTestVideo(Folder.Path("clip.mov"), Options);

    const TDecodedFile File = Decode(Folder.Path("clip.mov"));
    ASSERT_EQ(File.Streams.size(), 2u);
    const TDecodedStream& Audio = File.Streams[1];
    EXPECT_EQ(Audio.Codec, "pcm_s16le");
    EXPECT_EQ(Audio.SampleRate, 44100);
    EXPECT_EQ(Audio.Channels, 2);
    EXPECT_EQ(Audio.Samples.size(), 35280u); // 0.8 s
    EXPECT_NEAR(MeasureHz(Audio.Samples, 44100), 1000, 2);
    EXPECT_NEAR(MeasurePeak(Audio.Samples), 0.25, 0.001);
    EXPECT_EQ(File.Streams[0].FrameNumbers, Range(20));
    EXPECT_NEAR(File.Duration, 0.8, 1e-3);
}

TEST(TestMedia, LossyToneKeepsPitchLevelAndLength) {
    TTempFolder Folder;
    struct TCase {
        const char* Codec;
        const char* Extension;
        const char* Decoded;
    };
    for (const TCase& Case : {TCase{"aac", "mp4", "aac"}, TCase{"aac", "mkv", "aac"},
                              TCase{"libmp3lame", "avi", "mp3"}, TCase{"mp2", "mkv", "mp2"}}) {
        const std::string Path = Folder.Path(std::string(Case.Codec) + "." + Case.Extension);
        TTestVideoOptions Options = NumberedClip("mpeg4", 20);
        Options.WithAudio = true;
        Options.AudioCodec = Case.Codec;
        WriteTestVideo(Path, Options);

        const TDecodedFile File = Decode(Path);
        ASSERT_EQ(File.Streams.size(), 2u) << Path;
        const TDecodedStream& Audio = File.Streams[1];
        EXPECT_EQ(Audio.Codec, Case.Decoded) << Path;
        EXPECT_EQ(Audio.Channels, 2) << Path;
        // Encoders add their delay and fill up their last frame.
        EXPECT_GE(Audio.Samples.size(), 35280u) << Path;
        EXPECT_LE(Audio.Samples.size(), 35280u + 2 * 1152 + 1105) << Path;
        EXPECT_NEAR(MeasureHz(Audio.Samples, 44100), 440, 2) << Path;
        EXPECT_NEAR(MeasurePeak(Audio.Samples), 0.5, 0.05) << Path;
        // The audio's delay must not push the video off 0 (AVI and Matroska cannot mark it).
        const TDecodedStream& Video = File.Streams[0];
        EXPECT_EQ(Rounded(Video.FrameTimes), FrameTimes(20, 25)) << Path;
        EXPECT_EQ(Video.FrameNumbers, Range(20)) << Path;
        EXPECT_NEAR(File.Duration, 0.8, 0.05) << Path;
    }
}

TEST(TestMedia, WavToneHasExactLengthPitchAndLevel) {
    TTempFolder Folder;
    WriteTestTone(Folder.Path("tone.wav"), 1000, 0.5, 0.25, 48000, 1);

    const TDecodedFile File = Decode(Folder.Path("tone.wav"));
    EXPECT_EQ(File.Container, "wav");
    ASSERT_EQ(File.Streams.size(), 1u);
    const TDecodedStream& Audio = File.Streams[0];
    EXPECT_EQ(Audio.Codec, "pcm_s16le");
    EXPECT_EQ(Audio.SampleRate, 48000);
    EXPECT_EQ(Audio.Channels, 1);
    EXPECT_EQ(Audio.Samples.size(), 12000u);
    EXPECT_NEAR(MeasureHz(Audio.Samples, 48000), 1000, 1);
    EXPECT_NEAR(MeasurePeak(Audio.Samples), 0.5, 0.001);
    EXPECT_NEAR(Audio.Samples[0], 0.0, 1e-4); // a sine starts at 0
    EXPECT_NEAR(File.Duration, 0.25, 1e-6);
}

TEST(TestMedia, PngKeepsExactColourAndAlpha) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("still.png"), 33, 17, 0x80FF4010u);

    const TDecodedFile File = Decode(Folder.Path("still.png"));
    ASSERT_EQ(File.Streams.size(), 1u);
    const TDecodedStream& Picture = File.Streams[0];
    EXPECT_EQ(Picture.Codec, "png");
    EXPECT_EQ(Picture.Width, 33);
    EXPECT_EQ(Picture.Height, 17);
    EXPECT_EQ(Picture.FrameCount, 1);
    for (auto [X, Y] : {std::pair{0, 0}, {32, 16}, {16, 8}}) {
        const TPixel Pixel = PixelAt(Picture.FirstPicture, 33, X, Y);
        EXPECT_EQ(Pixel.R, 0xFF);
        EXPECT_EQ(Pixel.G, 0x40);
        EXPECT_EQ(Pixel.B, 0x10);
        EXPECT_EQ(Pixel.A, 0x80);
    }
}

TEST(TestMedia, PicturesArePaintedTopDown) {
    TTempFolder Folder;
    const TFramePainter RedOverBlue = [](int, uint8_t* Bgra, int Width, int Height, int Stride) {
        SolidColor(255, 0, 0)(0, Bgra, Width, Height / 2, Stride);
        SolidColor(0, 0, 255)(0, Bgra + (Height / 2) * Stride, Width, Height - Height / 2, Stride);
    };
    for (const char* Name : {"still.png", "still.jpg"}) {
        WriteTestPicture(Folder.Path(Name), 32, 32, RedOverBlue);
        const TDecodedFile File = Decode(Folder.Path(Name));
        ASSERT_EQ(File.Streams.size(), 1u) << Name;
        const TPixel Top = PixelAt(File.Streams[0].FirstPicture, 32, 16, 4);
        const TPixel Bottom = PixelAt(File.Streams[0].FirstPicture, 32, 16, 28);
        EXPECT_GT(Top.R, 230) << Name;
        EXPECT_LT(Top.B, 25) << Name;
        EXPECT_GT(Bottom.B, 230) << Name;
        EXPECT_LT(Bottom.R, 25) << Name;
    }
}

TEST(TestMedia, JpegKeepsColourClose) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("still.jpg"), 40, 30, 0xFF2080C0u);

    const TDecodedFile File = Decode(Folder.Path("still.jpg"));
    ASSERT_EQ(File.Streams.size(), 1u);
    EXPECT_EQ(File.Streams[0].Codec, "mjpeg");
    const TPixel Pixel = PixelAt(File.Streams[0].FirstPicture, 40, 20, 15);
    EXPECT_NEAR(Pixel.R, 0x20, 4);
    EXPECT_NEAR(Pixel.G, 0x80, 4);
    EXPECT_NEAR(Pixel.B, 0xC0, 4);
}

TEST(TestMedia, GarbageIsTheSameForTheSameSeed) {
    TTempFolder Folder;
    WriteGarbageFile(Folder.Path("a"), 5000, 7);
    WriteGarbageFile(Folder.Path("b"), 5000, 7);
    WriteGarbageFile(Folder.Path("c"), 5000, 8);
    const auto A = ReadBytes(Folder.Path("a"));
    EXPECT_EQ(A.size(), 5000u);
    EXPECT_EQ(A, ReadBytes(Folder.Path("b")));
    EXPECT_NE(A, ReadBytes(Folder.Path("c")));
    EXPECT_GT(std::count(A.begin(), A.end(), A[0]), 0);
    EXPECT_LT(std::count(A.begin(), A.end(), A[0]), 200); // not one repeated byte
}

TEST(TestMedia, TruncatedCopyKeepsTheLeadingFraction) {
    TTempFolder Folder;
    WriteTestVideo(Folder.Path("clip.avi"), NumberedClip("mpeg4", 10));
    WriteTruncatedCopy(Folder.Path("clip.avi"), Folder.Path("cut.avi"), 0.5);

    const auto Whole = ReadBytes(Folder.Path("clip.avi"));
    const auto Cut = ReadBytes(Folder.Path("cut.avi"));
    ASSERT_GT(Whole.size(), 1000u);
    EXPECT_EQ(Cut.size(), Whole.size() / 2);
    EXPECT_TRUE(std::equal(Cut.begin(), Cut.end(), Whole.begin()));
    EXPECT_THROW(WriteTruncatedCopy(Folder.Path("clip.avi"), Folder.Path("x"), 1.5),
                 std::runtime_error);
    EXPECT_THROW(WriteTruncatedCopy(Folder.Path("missing"), Folder.Path("x"), 0.5),
                 std::runtime_error);
}

TEST(TestMedia, TempFolderIsRemovedWithItsFiles) {
    std::string Root;
    {
        TTempFolder Folder;
        Root = Folder.Root();
        EXPECT_TRUE(std::filesystem::is_directory(Root));
        EXPECT_EQ(Folder.Path("a.wav"), Root + "/a.wav");
        WriteGarbageFile(Folder.Path("a.wav"), 10, 1);
        std::filesystem::create_directory(Folder.Path("sub"));
        WriteGarbageFile(Folder.Path("sub/b"), 10, 1);
        TTempFolder Other;
        EXPECT_NE(Other.Root(), Root);
    }
    EXPECT_FALSE(std::filesystem::exists(Root));
}

TEST(TestMedia, FailuresCarryTheLibrarysReason) {
    TTempFolder Folder;
    TTestVideoOptions Options = NumberedClip("mpeg4", 2);
    auto MessageOf = [](auto Write) -> std::string {
        try {
            Write();
        } catch (const std::runtime_error& Error) {
            return Error.what();
        }
        return "";
    };
    EXPECT_NE(MessageOf([&] {
                  WriteTestVideo(Folder.Path("no/such/folder/clip.avi"), Options);
              }).find("No such file or directory"),
              std::string::npos);
    EXPECT_NE(MessageOf([&] { WriteTestVideo(Folder.Path("clip.nosuchformat"), Options); }), "");

    TTestVideoOptions Unknown = Options;
    Unknown.Codec = "nosuchcodec";
    EXPECT_NE(
        MessageOf([&] { WriteTestVideo(Folder.Path("clip.avi"), Unknown); }).find("nosuchcodec"),
        std::string::npos);

    TTestVideoOptions PcmInMp4 = Options;
    PcmInMp4.WithAudio = true;
    EXPECT_NE(
        MessageOf([&] { WriteTestVideo(Folder.Path("clip.mp4"), PcmInMp4); }).find("pcm_s16le"),
        std::string::npos);

    // MPEG-4 part 2 allows no time base finer than 1/65535 s; the encoder refuses it.
    TTestVideoOptions FineRate = Options;
    FineRate.FramesPerSecondNum = 100000;
    EXPECT_NE(MessageOf([&] {
                  WriteTestVideo(Folder.Path("fine.avi"), FineRate);
              }).find("Invalid argument"),
              std::string::npos);
}
