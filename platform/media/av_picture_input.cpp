#include "platform/media/av_picture_input.h"

#include "core/text.h"
#include "platform/media/media_error.h"
#include "platform/media/picture_file.h"
#include "platform/media/video_frame.h"

#include <cerrno>

namespace {

constexpr int IoBufferSize = 64 * 1024;
// A picture file holds its picture in its first packets; garbage that
// probes as a picture stops here.
constexpr int MaxPacketsToFirstPicture = 256;

int ReadFile(void* Opaque, uint8_t* Buffer, int Size) {
    FILE* File = static_cast<FILE*>(Opaque);
    size_t Read = std::fread(Buffer, 1, size_t(Size), File);
    if (Read == 0)
        return std::ferror(File) ? AVERROR(EIO) : AVERROR_EOF;
    return int(Read);
}

int64_t SeekFile(void* Opaque, int64_t Offset, int Whence) {
    FILE* File = static_cast<FILE*>(Opaque);
    if (Whence == AVSEEK_SIZE) {
        off_t Here = ftello(File);
        if (fseeko(File, 0, SEEK_END) != 0)
            return AVERROR(errno);
        off_t Size = ftello(File);
        fseeko(File, Here, SEEK_SET);
        return Size;
    }
    if (fseeko(File, off_t(Offset), Whence & ~AVSEEK_FORCE) != 0)
        return AVERROR(errno);
    return ftello(File);
}

} // namespace

TAvPictureInput::TAvPictureInput(const std::string& FileName) : FFileName(FileName) {
    FFile = std::fopen(FileName.c_str(), "rb");
    if (!FFile)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(errno));
    auto* Buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
    FIo = Buffer ? avio_alloc_context(Buffer, IoBufferSize, 0, FFile, ReadFile, nullptr, SeekFile)
                 : nullptr;
    if (!FIo) {
        av_free(Buffer);
        std::fclose(FFile);
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(ENOMEM));
    }
    AVFormatContext* Raw = avformat_alloc_context();
    if (!Raw) {
        Close();
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(ENOMEM));
    }
    Raw->pb = FIo;
    Raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    Raw->probesize = 8 << 20;
    // No name: the kind is probed from the bytes alone.
    int Result = avformat_open_input(&Raw, "", nullptr, nullptr);
    if (Result >= 0) {
        FFormat.reset(Raw);
        Result = avformat_find_stream_info(Raw, nullptr);
    }
    // An icon holds one stream per size: the largest shows best.
    int Index = Result < 0 ? Result : AVERROR_STREAM_NOT_FOUND;
    for (unsigned I = 0; Result >= 0 && I < Raw->nb_streams; ++I) {
        const AVCodecParameters* Parameters = Raw->streams[I]->codecpar;
        if (Parameters->codec_type != AVMEDIA_TYPE_VIDEO)
            continue;
        if (Index < 0 || int64_t(Parameters->width) * Parameters->height >
                             int64_t(Raw->streams[Index]->codecpar->width) *
                                 Raw->streams[Index]->codecpar->height)
            Index = int(I);
    }
    if (Index < 0 || Raw->streams[Index]->codecpar->width <= 0 ||
        Raw->streams[Index]->codecpar->height <= 0) {
        Close();
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName,
                            Index < 0 ? Index : AVERROR_INVALIDDATA);
    }
    FStream = Raw->streams[Index];
    for (unsigned I = 0; I < Raw->nb_streams; ++I)
        if (int(I) != Index)
            Raw->streams[I]->discard = AVDISCARD_ALL;
}

TAvPictureInput::~TAvPictureInput() {
    Close();
}

void TAvPictureInput::Close() {
    FFormat.reset();
    if (FIo) {
        av_freep(&FIo->buffer);
        avio_context_free(&FIo);
    }
    if (FFile) {
        std::fclose(FFile);
        FFile = nullptr;
    }
}

TVideoFrame TAvPictureInput::DecodeFirst() {
    CheckPictureSize(FFileName, Width(), Height());
    TCodecContextPtr Decoder = OpenStreamDecoder(FFileName, FStream, 1);
    TPacketPtr Packet(av_packet_alloc());
    TFramePtr Frame(av_frame_alloc());
    if (!Packet || !Frame)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FFileName, AVERROR(ENOMEM));
    bool Got = false;
    int LastError = 0;
    for (int Packets = 0; !Got && Packets < MaxPacketsToFirstPicture;) {
        int Result = av_read_frame(FFormat.get(), Packet.get());
        if (Result < 0) {
            avcodec_send_packet(Decoder.get(), nullptr);
            Got = avcodec_receive_frame(Decoder.get(), Frame.get()) == 0;
            if (!Got)
                LastError = Result == AVERROR_EOF ? AVERROR_INVALIDDATA : Result;
            break;
        }
        if (Packet->stream_index == FStream->index) {
            ++Packets;
            Result = avcodec_send_packet(Decoder.get(), Packet.get());
            if (Result < 0)
                LastError = Result;
            Got = avcodec_receive_frame(Decoder.get(), Frame.get()) == 0;
        }
        av_packet_unref(Packet.get());
    }
    if (!Got)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FFileName,
                            LastError ? LastError : AVERROR_INVALIDDATA);
    CheckPictureSize(FFileName, Frame->width, Frame->height);

    TVideoFrame Picture(Frame->width, Frame->height);
    TSwsPtr Scaler(sws_getContext(Frame->width, Frame->height, AVPixelFormat(Frame->format),
                                  Frame->width, Frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr,
                                  nullptr, nullptr));
    if (!Scaler)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FFileName, AVERROR(EINVAL));
    uint8_t* Planes[4] = {Picture.Data(), nullptr, nullptr, nullptr};
    int Strides[4] = {Picture.Stride(), 0, 0, 0};
    sws_scale(Scaler.get(), Frame->data, Frame->linesize, 0, Frame->height, Planes, Strides);
    const AVPixFmtDescriptor* Descriptor = av_pix_fmt_desc_get(AVPixelFormat(Frame->format));
    bool Opaque = !Descriptor || !(Descriptor->flags & AV_PIX_FMT_FLAG_ALPHA);
    if (!Opaque) {
        // Old 32-bit bitmaps leave the fourth byte 0: a picture with no
        // visible pixel at all is not what anyone means to show.
        Opaque = true;
        for (int32_t Y = 0; Opaque && Y < Picture.Height(); ++Y) {
            const uint8_t* P = Picture.Row(Y) + 3;
            for (int32_t X = 0; X < Picture.Width(); ++X, P += 4)
                if (*P) {
                    Opaque = false;
                    break;
                }
        }
    }
    if (Opaque)
        for (int32_t Y = 0; Y < Picture.Height(); ++Y) {
            uint8_t* P = Picture.Row(Y) + 3;
            for (int32_t X = 0; X < Picture.Width(); ++X, P += 4)
                *P = 255;
        }
    return Picture;
}
