#pragma once

// Picture files made at run time for the picture source and animation
// helper tests: hand-written BMP, metafile headers, and animated GIFs from
// FFmpeg's own GIF encoder and muxer.

#include "test_media.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace TestPictures {

struct TRgb {
    uint8_t R, G, B;
};

constexpr TRgb Red{255, 0, 0}, Green{0, 255, 0}, Blue{0, 0, 255}, White{255, 255, 255};

// Top-left red, top-right green, bottom-left blue, bottom-right white.
inline TRgb QuadrantAt(int X, int Y, int Width, int Height) {
    bool Right = X >= Width / 2, Bottom = Y >= Height / 2;
    return Bottom ? (Right ? White : Blue) : (Right ? Green : Red);
}

inline TFramePainter Quadrants() {
    return [](int, uint8_t* Bgra, int Width, int Height, int Stride) {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                TRgb C = QuadrantAt(X, Y, Width, Height);
                uint8_t* P = Bgra + Y * Stride + X * 4;
                P[0] = C.B, P[1] = C.G, P[2] = C.R, P[3] = 255;
            }
    };
}

// A Windows bitmap of 24 bits, or of 32 with the fourth byte 0 as old
// programs write it; rows stored bottom-up and padded to 4 bytes.
inline void WriteBmp(const std::string& Path, int Width, int Height,
                     TRgb (*Colour)(int X, int Y, int W, int H), int Bits = 24) {
    int PixelSize = Bits / 8;
    int RowBytes = (Width * PixelSize + 3) / 4 * 4;
    uint32_t PixelBytes = uint32_t(RowBytes * Height);
    std::vector<uint8_t> File(54 + PixelBytes, 0);
    auto Put16 = [&](size_t At, uint32_t V) {
        File[At] = uint8_t(V), File[At + 1] = uint8_t(V >> 8);
    };
    auto Put32 = [&](size_t At, uint32_t V) {
        Put16(At, V & 0xFFFF);
        Put16(At + 2, V >> 16);
    };
    File[0] = 'B', File[1] = 'M';
    Put32(2, uint32_t(File.size()));
    Put32(10, 54);
    Put32(14, 40);
    Put32(18, uint32_t(Width));
    Put32(22, uint32_t(Height));
    Put16(26, 1);
    Put16(28, uint32_t(Bits));
    Put32(34, PixelBytes);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) {
            TRgb C = Colour(X, Y, Width, Height);
            size_t At = 54 + size_t(Height - 1 - Y) * size_t(RowBytes) + size_t(X * PixelSize);
            File[At] = C.B, File[At + 1] = C.G, File[At + 2] = C.R;
        }
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(File.data()), std::streamsize(File.size()));
}

inline void WriteBytes(const std::string& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary).write(Bytes.data(), std::streamsize(Bytes.size()));
}

// The start of a placeable Windows metafile (its key 0x9AC6CDD7) and some
// records: enough to be recognised, nothing this system could draw.
inline void WriteMetafile(const std::string& Path) {
    WriteBytes(Path, std::string("\xD7\xCD\xC6\x9A\x00\x00\x00\x00\x00\x00\x40\x01\xF0\x00"
                                 "\x60\x00\x00\x00\x00\x00\x31\x2D\x01\x00\x09\x00\x00\x03",
                                 28) +
                         std::string(64, '\0'));
}

inline void Check(int Result, const char* What) {
    if (Result < 0)
        throw std::runtime_error(std::string("cannot write the test animation: ") + What);
}

// An animated GIF (or, with Png, an animated PNG) of Width x Height whose
// frames are solid colours, each shown DelayCentiseconds.
enum class TAnimationKind { Gif, Png };
inline void WriteAnimation(const std::string& Path, int Width, int Height,
                           const std::vector<TRgb>& Frames, int DelayCentiseconds,
                           TAnimationKind Kind = TAnimationKind::Gif) {
    bool Gif = Kind == TAnimationKind::Gif;
    const AVCodec* Encoder = avcodec_find_encoder(Gif ? AV_CODEC_ID_GIF : AV_CODEC_ID_APNG);
    if (!Encoder)
        throw std::runtime_error("no animation encoder");
    AVFormatContext* Out = nullptr;
    Check(avformat_alloc_output_context2(&Out, nullptr, Gif ? "gif" : "apng", Path.c_str()),
          "muxer");
    AVStream* Stream = avformat_new_stream(Out, nullptr);
    AVCodecContext* Codec = avcodec_alloc_context3(Encoder);
    Codec->width = Width;
    Codec->height = Height;
    Codec->pix_fmt = Gif ? AV_PIX_FMT_RGB8 : AV_PIX_FMT_RGB24; // RGB8: 3 bits red, 3 green, 2 blue
    Codec->time_base = AVRational{1, 100};
    Check(avcodec_open2(Codec, Encoder, nullptr), "encoder");
    Check(avcodec_parameters_from_context(Stream->codecpar, Codec), "parameters");
    Stream->time_base = AVRational{1, 100};
    Check(avio_open(&Out->pb, Path.c_str(), AVIO_FLAG_WRITE), "file");
    Check(avformat_write_header(Out, nullptr), "header");
    AVFrame* Frame = av_frame_alloc();
    Frame->format = Codec->pix_fmt;
    Frame->width = Width;
    Frame->height = Height;
    Check(av_frame_get_buffer(Frame, 0), "frame");
    AVPacket* Packet = av_packet_alloc();
    auto Drain = [&] {
        while (avcodec_receive_packet(Codec, Packet) == 0) {
            Packet->duration = DelayCentiseconds;
            av_packet_rescale_ts(Packet, Codec->time_base, Stream->time_base);
            Packet->stream_index = Stream->index;
            Check(av_interleaved_write_frame(Out, Packet), "packet");
        }
    };
    for (size_t I = 0; I < Frames.size(); ++I) {
        Check(av_frame_make_writable(Frame), "frame");
        const TRgb& C = Frames[I];
        uint8_t Value = uint8_t((C.R & 0xE0) | ((C.G >> 3) & 0x1C) | (C.B >> 6));
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                uint8_t* P = Frame->data[0] + Y * Frame->linesize[0];
                if (Gif) {
                    P[X] = Value;
                } else {
                    P[X * 3] = C.R, P[X * 3 + 1] = C.G, P[X * 3 + 2] = C.B;
                }
            }
        Frame->pts = int64_t(I) * DelayCentiseconds;
        Check(avcodec_send_frame(Codec, Frame), "send");
        Drain();
    }
    avcodec_send_frame(Codec, nullptr);
    Drain();
    Check(av_write_trailer(Out), "trailer");
    av_packet_free(&Packet);
    av_frame_free(&Frame);
    avcodec_free_context(&Codec);
    avio_closep(&Out->pb);
    avformat_free_context(Out);
}

} // namespace TestPictures
