#include "platform/media/av_support.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_error.h"

#include <cstring>

void QuietMediaLibraries() {
    static const bool Quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)Quiet;
}

std::string AvErrorText(int Code) {
    char Text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(Code, Text, sizeof Text);
    return Text;
}

void RaiseMediaFileError(TTextSlot Slot, const std::string& FileName, int Code) {
    RaiseMediaError(FormatMessageText(GetText(Slot), FileName),
                    Code != 0 ? AvErrorText(Code) : std::string());
}

TFormatContextPtr OpenMediaFile(const std::string& FileName) {
    QuietMediaLibraries();
    AVFormatContext* Raw = avformat_alloc_context();
    if (!Raw)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(ENOMEM));
    // Bound the probing so that large garbage files fail quickly.
    Raw->probesize = 8 << 20;
    Raw->max_analyze_duration = 10 * AV_TIME_BASE;
    int Result = avformat_open_input(&Raw, FileName.c_str(), nullptr, nullptr);
    if (Result < 0)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, Result);
    TFormatContextPtr Context(Raw);
    Result = avformat_find_stream_info(Context.get(), nullptr);
    if (Result < 0)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, Result);
    return Context;
}

TCodecContextPtr OpenStreamDecoder(const std::string& FileName, AVStream* Stream, int Threads) {
    const AVCodec* Codec = avcodec_find_decoder(Stream->codecpar->codec_id);
    if (!Codec)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, AVERROR_DECODER_NOT_FOUND);
    TCodecContextPtr Context(avcodec_alloc_context3(Codec));
    if (!Context)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, AVERROR(ENOMEM));
    int Result = avcodec_parameters_to_context(Context.get(), Stream->codecpar);
    if (Result < 0)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, Result);
    Context->pkt_timebase = Stream->time_base;
    Context->thread_count = Threads;
    Result = avcodec_open2(Context.get(), Codec, nullptr);
    if (Result < 0)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, Result);
    return Context;
}

int FindStream(AVFormatContext* Context, AVMediaType Type, int Number) {
    int Seen = 0;
    for (unsigned I = 0; I < Context->nb_streams; ++I) {
        if (Context->streams[I]->codecpar->codec_type != Type)
            continue;
        if (Seen++ == Number)
            return static_cast<int>(I);
    }
    return -1;
}

TVideoTime StreamToVideoTime(int64_t Timestamp, AVRational TimeBase) {
    return av_rescale_q(Timestamp, TimeBase, AVRational{1, int(VideoTimeUnitsPerSecond)});
}

int64_t VideoTimeToStream(TVideoTime Time, AVRational TimeBase) {
    return av_rescale_q(Time, AVRational{1, int(VideoTimeUnitsPerSecond)}, TimeBase);
}

TOpenedStream OpenFileStream(const std::string& FileName, AVMediaType Type, int Number,
                             int Threads) {
    TOpenedStream Opened;
    Opened.Format = OpenMediaFile(FileName);
    Opened.Index = FindStream(Opened.Format.get(), Type, Number);
    if (Opened.Index < 0)
        RaiseMediaFileError(TTextSlot::MediaStreamMissing, FileName, 0);
    Opened.Stream = Opened.Format->streams[Opened.Index];
    for (unsigned I = 0; I < Opened.Format->nb_streams; ++I)
        if (int(I) != Opened.Index)
            Opened.Format->streams[I]->discard = AVDISCARD_ALL;
    Opened.Decoder = OpenStreamDecoder(FileName, Opened.Stream, Threads);
    if (Opened.Stream->start_time != AV_NOPTS_VALUE)
        Opened.StartTime = StreamToVideoTime(Opened.Stream->start_time, Opened.Stream->time_base);
    return Opened;
}

bool DecodeNextFrame(AVFormatContext* Format, int StreamIndex, AVCodecContext* Decoder,
                     AVPacket* Packet, AVFrame* Frame, bool& EndOfStream) {
    for (;;) {
        int Result = avcodec_receive_frame(Decoder, Frame);
        if (Result == 0)
            return true;
        if (Result == AVERROR_EOF || EndOfStream)
            return false;
        if (av_read_frame(Format, Packet) < 0) {
            EndOfStream = true;
            avcodec_send_packet(Decoder, nullptr);
            continue;
        }
        if (Packet->stream_index == StreamIndex)
            avcodec_send_packet(Decoder, Packet); // a damaged packet is skipped
        av_packet_unref(Packet);
    }
}

TDisplayTurn StreamDisplayTurn(const AVStream* Stream) {
    size_t Size = 0;
    const uint8_t* Data = av_stream_get_side_data(Stream, AV_PKT_DATA_DISPLAYMATRIX, &Size);
    if (!Data || Size < 9 * sizeof(int32_t))
        return TDisplayTurn::None;
    int32_t Matrix[9];
    std::memcpy(Matrix, Data, sizeof(Matrix));
    return DisplayTurnFromMatrix(Matrix);
}

namespace {

const int* CoefficientsOf(AVColorSpace Space) {
    switch (Space) {
    case AVCOL_SPC_BT709:
        return sws_getCoefficients(SWS_CS_ITU709);
    case AVCOL_SPC_FCC:
        return sws_getCoefficients(SWS_CS_FCC);
    case AVCOL_SPC_SMPTE240M:
        return sws_getCoefficients(SWS_CS_SMPTE240M);
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
        return sws_getCoefficients(SWS_CS_BT2020);
    default:
        return sws_getCoefficients(SWS_CS_ITU601);
    }
}

bool IsYuv(int Format) {
    const AVPixFmtDescriptor* Descriptor = av_pix_fmt_desc_get(AVPixelFormat(Format));
    return Descriptor && !(Descriptor->flags & AV_PIX_FMT_FLAG_RGB) &&
           !(Descriptor->flags & AV_PIX_FMT_FLAG_PAL) && Descriptor->nb_components >= 3;
}

bool IsFullRangeFormat(int Format) {
    return Format == AV_PIX_FMT_YUVJ420P || Format == AV_PIX_FMT_YUVJ422P ||
           Format == AV_PIX_FMT_YUVJ444P || Format == AV_PIX_FMT_YUVJ440P ||
           Format == AV_PIX_FMT_YUVJ411P;
}

} // namespace

void SetScalerColours(SwsContext* Scaler, int InFormat, AVColorSpace InSpace, AVColorRange InRange,
                      int OutFormat, AVColorSpace OutSpace, AVColorRange OutRange) {
    // Packed RGB is always full range; the matrix only means something on
    // the YUV side.
    auto Full = [](int Format, AVColorRange Range) {
        return !IsYuv(Format) || Range == AVCOL_RANGE_JPEG || IsFullRangeFormat(Format) ? 1 : 0;
    };
    sws_setColorspaceDetails(Scaler, CoefficientsOf(InSpace), Full(InFormat, InRange),
                             CoefficientsOf(OutSpace), Full(OutFormat, OutRange), 0, 1 << 16,
                             1 << 16);
}

namespace {

bool IsHdSize(int Width, int Height) {
    return Height >= 720 || Width > 1024;
}

} // namespace

AVColorSpace PictureColourSpace(AVColorSpace Tagged, int Width, int Height) {
    if (Tagged != AVCOL_SPC_UNSPECIFIED && Tagged != AVCOL_SPC_RESERVED)
        return Tagged;
    return IsHdSize(Width, Height) ? AVCOL_SPC_BT709 : AVCOL_SPC_SMPTE170M;
}

void TagVideoColours(AVCodecContext& Encoder) {
    // HD sizes follow BT.709; standard definition BT.601, with the PAL
    // primaries for 576 lines.
    Encoder.color_range = AVCOL_RANGE_MPEG;
    if (IsHdSize(Encoder.width, Encoder.height)) {
        Encoder.colorspace = AVCOL_SPC_BT709;
        Encoder.color_primaries = AVCOL_PRI_BT709;
        Encoder.color_trc = AVCOL_TRC_BT709;
        return;
    }
    bool Pal = Encoder.height == 576 || Encoder.height == 288;
    Encoder.colorspace = Pal ? AVCOL_SPC_BT470BG : AVCOL_SPC_SMPTE170M;
    Encoder.color_primaries = Pal ? AVCOL_PRI_BT470BG : AVCOL_PRI_SMPTE170M;
    Encoder.color_trc = AVCOL_TRC_SMPTE170M;
}
