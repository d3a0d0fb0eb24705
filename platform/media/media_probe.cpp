#include "platform/media/media_probe.h"

#include "core/file_io.h"
#include "platform/media/av_support.h"
#include "platform/media/media_error.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

int32_t TMediaInfo::StreamCount(TStreamMajorType Type) const {
    return static_cast<int32_t>(std::count_if(Streams.begin(), Streams.end(),
                                              [&](const auto& S) { return S.MajorType == Type; }));
}

namespace {

// Demuxers that read single pictures: such files have no length of their own.
bool IsPictureFormat(const AVFormatContext* Context) {
    const char* Name = Context->iformat ? Context->iformat->name : "";
    size_t Length = std::strlen(Name);
    return std::strstr(Name, "image2") != nullptr ||
           (Length > 5 && std::strcmp(Name + Length - 5, "_pipe") == 0);
}

double RateOf(const AVStream* Stream) {
    AVRational Rate =
        Stream->avg_frame_rate.num > 0 ? Stream->avg_frame_rate : Stream->r_frame_rate;
    return Rate.num > 0 && Rate.den > 0 ? av_q2d(Rate) : 0;
}

TMediaStreamInfo StreamInfo(const AVStream* Stream) {
    TMediaStreamInfo Info;
    const AVCodecParameters* Parameters = Stream->codecpar;
    Info.SubType = avcodec_get_name(Parameters->codec_id);
    if (Stream->duration != AV_NOPTS_VALUE && Stream->duration > 0)
        Info.Duration = StreamToVideoTime(Stream->duration, Stream->time_base);
    if (Parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
        Info.MajorType = TStreamMajorType::Video;
        // The size as shown: a phone's portrait clip is stored sideways
        // with a turn beside it.
        Info.Width = Parameters->width;
        Info.Height = Parameters->height;
        if (SwapsSides(StreamDisplayTurn(Stream)))
            std::swap(Info.Width, Info.Height);
        Info.FrameRate = RateOf(Stream);
        auto Name = [](const char* Text) { return std::string(Text ? Text : ""); };
        if (Parameters->color_space != AVCOL_SPC_UNSPECIFIED)
            Info.ColourMatrix = Name(av_color_space_name(Parameters->color_space));
        if (Parameters->color_primaries != AVCOL_PRI_UNSPECIFIED)
            Info.ColourPrimaries = Name(av_color_primaries_name(Parameters->color_primaries));
        if (Parameters->color_trc != AVCOL_TRC_UNSPECIFIED)
            Info.ColourTransfer = Name(av_color_transfer_name(Parameters->color_trc));
        if (Parameters->color_range != AVCOL_RANGE_UNSPECIFIED)
            Info.ColourRange = Name(av_color_range_name(Parameters->color_range));
    } else if (Parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
        Info.MajorType = TStreamMajorType::Audio;
        Info.Channels = Parameters->ch_layout.nb_channels;
        Info.SamplesPerSecond = Parameters->sample_rate;
    }
    return Info;
}

bool IsUsable(const TMediaStreamInfo& S) {
    if (S.MajorType == TStreamMajorType::Video)
        return S.Width > 0 && S.Height > 0;
    if (S.MajorType == TStreamMajorType::Audio)
        return S.Channels > 0 && S.SamplesPerSecond > 0;
    return false;
}

// The end (100-ns units, relative to the file's start) of a stretch of
// Stream that starts at Time (stream units) and lasts Duration; -1 without a
// time, or for times a damaged file puts beyond what 64 bits hold.
TVideoTime EndTime(int64_t Time, int64_t Duration, const AVStream* Stream, TVideoTime StartTime) {
    int64_t End = 0;
    if (Time == AV_NOPTS_VALUE || __builtin_add_overflow(Time, std::max<int64_t>(Duration, 0), &End))
        return -1;
    TVideoTime Result = StreamToVideoTime(End, Stream->time_base);
    if (Result == AV_NOPTS_VALUE || __builtin_sub_overflow(Result, StartTime, &Result))
        return -1;
    return Result;
}

// The end of a packet of Stream, as EndTime.
TVideoTime PacketEnd(const AVPacket* Packet, const AVStream* Stream, TVideoTime StartTime) {
    int64_t Time = Packet->pts != AV_NOPTS_VALUE ? Packet->pts : Packet->dts;
    return EndTime(Time, Packet->duration, Stream, StartTime);
}

// Reads stream Index from the current read position and returns the end time
// (100-ns units, relative to the file's start) of what it holds, or -1 when no
// frame decodes. The first frame is decoded, proving the data there is the
// stream's; with StopAtFirst that frame's end is returned. Otherwise the
// packets after it are only read (those without a time are decoded), to the
// end or to Limit packets of the stream: a file cut short ends where its
// packets end, and decoding a whole group of pictures to learn that cost
// more than the rest of the probe.
TVideoTime DecodeSome(AVFormatContext* Context, AVCodecContext* Decoder, int Index,
                      TVideoTime StartTime, int Limit, bool StopAtFirst) {
    TPacketPtr Packet(av_packet_alloc());
    TFramePtr Frame(av_frame_alloc());
    AVStream* Stream = Context->streams[Index];
    TVideoTime LastEnd = -1;
    TVideoTime LastPacketEnd = -1;
    int Packets = 0;
    auto Drain = [&] {
        while (avcodec_receive_frame(Decoder, Frame.get()) == 0) {
            // A frame without a time still shows that the data decodes.
            TVideoTime End =
                EndTime(Frame->best_effort_timestamp, Frame->pkt_duration, Stream, StartTime);
            LastEnd = std::max<TVideoTime>(LastEnd, std::max<TVideoTime>(End, 0));
            av_frame_unref(Frame.get());
        }
    };
    while (Packets < Limit && av_read_frame(Context, Packet.get()) >= 0) {
        if (Packet->stream_index == Index) {
            ++Packets;
            TVideoTime End = PacketEnd(Packet.get(), Stream, StartTime);
            if (!(Packet->flags & AV_PKT_FLAG_CORRUPT))
                LastPacketEnd = std::max(LastPacketEnd, End);
            // A packet without a time is measured by decoding it.
            if ((LastEnd < 0 || End < 0) && avcodec_send_packet(Decoder, Packet.get()) >= 0)
                Drain();
        }
        av_packet_unref(Packet.get());
        if (StopAtFirst && LastEnd >= 0)
            return LastEnd;
    }
    if (LastEnd < 0) {
        avcodec_send_packet(Decoder, nullptr);
        Drain();
    }
    if (LastEnd < 0 || StopAtFirst)
        return LastEnd;
    return std::max(LastEnd, LastPacketEnd);
}

// Decodes the beginning and the end of the main stream: a file whose first
// picture does not decode, or whose data stops well before its stated
// length, is damaged.
void VerifyDecodes(const std::string& FileName, AVFormatContext* Context, TMediaInfo& Info,
                   bool Picture) {
    int Index = av_find_best_stream(Context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (Index < 0)
        Index = av_find_best_stream(Context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (Index < 0)
        RaiseMediaFileError(TTextSlot::NoPlayableStream, FileName, 0);
    AVStream* Stream = Context->streams[Index];
    TVideoTime StartTime = Context->start_time != AV_NOPTS_VALUE
                               ? StreamToVideoTime(Context->start_time, AVRational{1, AV_TIME_BASE})
                               : 0;
    TCodecContextPtr Decoder = OpenStreamDecoder(FileName, Stream, 1);
    if (DecodeSome(Context, Decoder.get(), Index, StartTime, 64, true) < 0)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, 0);
    if (Picture || Info.Duration <= 0)
        return;
    TVideoTime Allowance = std::max<TVideoTime>(20000000, Info.Duration / 10);

    // A container whose header counts more frames than its data holds was
    // cut short (AVI files lose their index at the end and are measured by
    // the packets that remain).
    double Rate = RateOf(Stream);
    if (Stream->nb_frames > 0 && Rate > 0) {
        auto Stated = static_cast<TVideoTime>(double(Stream->nb_frames) / Rate * 1e7);
        if (Info.Duration < Stated - std::max<TVideoTime>(20000000, Stated / 10))
            RaiseMediaFileError(TTextSlot::TruncatedMedia, FileName, 0);
    }

    TVideoTime Tail = std::max<TVideoTime>(0, Info.Duration - 15000000);
    int64_t Target = av_rescale_q(Tail + StartTime, AVRational{1, int(VideoTimeUnitsPerSecond)},
                                  AVRational{1, AV_TIME_BASE});
    if (avformat_seek_file(Context, -1, INT64_MIN, Target, Target, 0) < 0 &&
        av_seek_frame(Context, -1, Target, AVSEEK_FLAG_BACKWARD) < 0)
        RaiseMediaFileError(TTextSlot::TruncatedMedia, FileName, 0);
    avcodec_flush_buffers(Decoder.get());
    TVideoTime LastEnd = DecodeSome(Context, Decoder.get(), Index, StartTime, 4096, false);
    if (LastEnd < 0 || LastEnd < Info.Duration - Allowance)
        RaiseMediaFileError(TTextSlot::TruncatedMedia, FileName, 0);
}

} // namespace

TMediaInfo ProbeMedia(const std::string& FileName) {
    TFormatContextPtr Context = OpenMediaFile(FileName);
    TMediaInfo Info;
    for (unsigned I = 0; I < Context->nb_streams; ++I)
        Info.Streams.push_back(StreamInfo(Context->streams[I]));
    if (std::none_of(Info.Streams.begin(), Info.Streams.end(), IsUsable))
        RaiseMediaFileError(TTextSlot::NoPlayableStream, FileName, 0);

    bool Picture = IsPictureFormat(Context.get());
    if (!Picture) {
        if (Context->duration != AV_NOPTS_VALUE && Context->duration > 0)
            Info.Duration = StreamToVideoTime(Context->duration, AVRational{1, AV_TIME_BASE});
        for (const auto& S : Info.Streams)
            Info.Duration = std::max(Info.Duration, S.Duration);
    } else {
        for (auto& S : Info.Streams)
            S.Duration = 0;
    }
    for (const auto& S : Info.Streams)
        if (S.MajorType == TStreamMajorType::Video && IsUsable(S)) {
            Info.Width = S.Width;
            Info.Height = S.Height;
            Info.FrameRate = S.FrameRate;
            break;
        }
    VerifyDecodes(FileName, Context.get(), Info, Picture);
    return Info;
}

namespace {

struct TProbeEntry {
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    int64_t ChangedNs = 0;
    TMediaInfo Info;
};

} // namespace

TMediaInfo CheckPlayableMedia(const std::string& FileName, TMediaKind Kind, int32_t Number) {
    static std::mutex Lock;
    static std::map<std::string, TProbeEntry> Cache;

    TFileStatus Status = QueryFileStatus(FileName);
    if (Status.Error != 0)
        RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, AVERROR(Status.Error));
    int64_t Modified = Status.ModifiedNs;
    // A file made unreadable keeps its size and modification time; its
    // change time moves, so it is probed again.
    int64_t Changed = Status.ChangedNs;

    std::unique_lock Guard(Lock);
    auto It = Cache.find(FileName);
    if (It == Cache.end() || It->second.Size != Status.Size ||
        It->second.ModifiedNs != Modified || It->second.ChangedNs != Changed) {
        Guard.unlock();
        TProbeEntry Entry{Status.Size, Modified, Changed, ProbeMedia(FileName)};
        Guard.lock();
        It = Cache.insert_or_assign(FileName, std::move(Entry)).first;
    }
    TMediaInfo Info = It->second.Info;
    Guard.unlock();
    if (Kind != TMediaKind::Any) {
        TStreamMajorType Type =
            Kind == TMediaKind::Video ? TStreamMajorType::Video : TStreamMajorType::Audio;
        if (Number >= Info.StreamCount(Type))
            RaiseMediaFileError(TTextSlot::MediaStreamMissing, FileName, 0);
    } else if (!Info.HasVideo() && !Info.HasAudio()) {
        RaiseMediaFileError(TTextSlot::NoPlayableStream, FileName, 0);
    }
    return Info;
}
