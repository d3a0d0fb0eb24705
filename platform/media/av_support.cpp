#include "platform/media/av_support.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_error.h"

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
