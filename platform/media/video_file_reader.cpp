#include "platform/media/video_file_reader.h"

#include "core/numbers.h"
#include "platform/media/av_support.h"
#include "platform/media/video_frame.h"
#include "platform/media/yuv_matrix.h"

#include <algorithm>
#include <array>
#include <deque>

namespace {

// Past this distance ahead a seek is cheaper than decoding forward.
constexpr TVideoTime ForwardDecodeLimit = 20000000;
// Converted frames kept for short backward steps and repeated requests.
constexpr size_t DefaultFramesKept = 6;

struct TCachedFrame {
    TVideoTime Time;
    TVideoTime NextTime; // the following frame's time: the end of the coverage
    int32_t Width;
    int32_t Height;
    TVideoFileReader::TFit Fit;
    std::shared_ptr<const TVideoFrame> Frame;
};

// A plain conversion of the pixel format takes the converter's fast path;
// a change of size is filtered. The fast path's vector code converts whole
// blocks of 8 pixels and leaves the rest of a row unwritten: other widths
// take the exact path.
int ScalerFlags(const AVFrame* Frame, int Width, int Height) {
    int Exact = Width % 8 != 0 ? SWS_ACCURATE_RND : 0;
    return (Frame->width == Width && Frame->height == Height ? SWS_FAST_BILINEAR : SWS_BILINEAR) |
           Exact;
}

} // namespace

struct TVideoFileReader::TState {
    std::string FileName;
    TFormatContextPtr Format;
    TCodecContextPtr Decoder;
    AVStream* Stream = nullptr;
    int Index = -1;
    TVideoTime StartTime = 0; // the stream's first timestamp, in 100-ns units
    TVideoTime FrameDuration = 400000;
    TPacketPtr Packet{av_packet_alloc()};

    // The decoded frame that covers the last request and the one after it.
    TFramePtr Current{av_frame_alloc()};
    TVideoTime CurrentTime = -1;
    TFramePtr Next{av_frame_alloc()};
    TVideoTime NextTime = -1;
    bool HaveCurrent = false;
    bool HaveNext = false;
    bool EndOfStream = false;
    TVideoTime LastTime = -1;

    TSwsPtr Scaler;
    std::array<int, 7> ScalerKey{}; // what the converter was set up for
    // Pictures of a turned stream are converted here in their stored
    // orientation, then turned into the frame handed out.
    TDisplayTurn Turn = TDisplayTurn::None;
    TVideoFrame Stored;
    std::deque<TCachedFrame> Cache;
    size_t FramesKept = DefaultFramesKept;
    int32_t Seeks = 0;
    int32_t Decoded = 0;

    // Decodes the next frame into Frame; false at the end of the stream.
    bool DecodeNext(AVFrame* Frame);
    TVideoTime FrameTime(const AVFrame* Frame);
    void SeekTo(TVideoTime Time);
    void Advance();
    void PositionAt(TVideoTime Time);
    std::shared_ptr<const TVideoFrame> Convert(const AVFrame* Frame, int32_t Width, int32_t Height,
                                               TFit Fit);
};

TVideoFileReader::TVideoFileReader(const std::string& FileName, int32_t StreamNumber)
    : F(std::make_unique<TState>()) {
    F->FileName = FileName;
    TOpenedStream Opened = OpenFileStream(FileName, AVMEDIA_TYPE_VIDEO, StreamNumber, 0);
    F->Format = std::move(Opened.Format);
    F->Index = Opened.Index;
    F->Stream = Opened.Stream;
    F->Decoder = std::move(Opened.Decoder);
    F->StartTime = Opened.StartTime;
    F->Turn = StreamDisplayTurn(F->Stream);
    AVRational Rate =
        F->Stream->avg_frame_rate.num > 0 ? F->Stream->avg_frame_rate : F->Stream->r_frame_rate;
    if (Rate.num > 0 && Rate.den > 0)
        F->FrameDuration =
            std::max<TVideoTime>(1, av_rescale(VideoTimeUnitsPerSecond, Rate.den, Rate.num));
}

TVideoFileReader::~TVideoFileReader() = default;

int32_t TVideoFileReader::SeekCount() const {
    return F->Seeks;
}
int32_t TVideoFileReader::DecodedFrameCount() const {
    return F->Decoded;
}

size_t TVideoFileReader::KeptFrameCount() const {
    return F->Cache.size();
}

void TVideoFileReader::SetFramesKept(size_t Count) {
    F->FramesKept = std::max<size_t>(Count, 1);
    while (F->Cache.size() > F->FramesKept)
        F->Cache.pop_back();
}

TVideoTime TVideoFileReader::TState::FrameTime(const AVFrame* Frame) {
    int64_t Pts = Frame->best_effort_timestamp;
    TVideoTime Time = Pts == AV_NOPTS_VALUE ? LastTime + FrameDuration
                                            : StreamToVideoTime(Pts, Stream->time_base) - StartTime;
    // Timestamps only grow: a broken stream that repeats one still moves on.
    if (Time <= LastTime)
        Time = LastTime + 1;
    LastTime = Time;
    return Time;
}

bool TVideoFileReader::TState::DecodeNext(AVFrame* Frame) {
    av_frame_unref(Frame);
    if (!DecodeNextFrame(Format.get(), Index, Decoder.get(), Packet.get(), Frame, EndOfStream))
        return false;
    ++Decoded;
    return true;
}

void TVideoFileReader::TState::SeekTo(TVideoTime Time) {
    ++Seeks;
    int64_t Target =
        VideoTimeToStream(std::max<TVideoTime>(Time, 0) + StartTime, Stream->time_base);
    if (av_seek_frame(Format.get(), Index, Target, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(Format.get(), Index, Target, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    avcodec_flush_buffers(Decoder.get());
    EndOfStream = false;
    HaveCurrent = HaveNext = false;
    LastTime = -1;
}

void TVideoFileReader::TState::Advance() {
    std::swap(Current, Next);
    CurrentTime = NextTime;
    HaveCurrent = HaveNext;
    HaveNext = DecodeNext(Next.get());
    NextTime = HaveNext ? FrameTime(Next.get()) : -1;
}

void TVideoFileReader::TState::PositionAt(TVideoTime Time) {
    // Past the last frame the last frame stays.
    if (HaveCurrent && !HaveNext && Time >= CurrentTime)
        return;
    bool Behind = HaveCurrent && Time < CurrentTime;
    bool FarAhead = HaveCurrent && Time > CurrentTime + ForwardDecodeLimit;
    if (!HaveCurrent || Behind || FarAhead) {
        SeekTo(Time);
        HaveCurrent = DecodeNext(Current.get());
        CurrentTime = HaveCurrent ? FrameTime(Current.get()) : -1;
        HaveNext = HaveCurrent && DecodeNext(Next.get());
        NextTime = HaveNext ? FrameTime(Next.get()) : -1;
        // The seek may land past the target (the first keyframe of a stream
        // with a late start, or an imprecise index): start over from the
        // beginning, which always lies at or before it.
        if (HaveCurrent && CurrentTime > Time && Time > 0) {
            SeekTo(0);
            HaveCurrent = DecodeNext(Current.get());
            CurrentTime = HaveCurrent ? FrameTime(Current.get()) : -1;
            HaveNext = HaveCurrent && DecodeNext(Next.get());
            NextTime = HaveNext ? FrameTime(Next.get()) : -1;
        }
    }
    while (HaveNext && NextTime <= Time)
        Advance();
}

std::shared_ptr<const TVideoFrame>
TVideoFileReader::TState::Convert(const AVFrame* Frame, int32_t Width, int32_t Height, TFit Fit) {
    // Reuse the oldest cached frame's buffer when nobody holds it any more:
    // a fresh 1280x720 frame each time costs more than its conversion.
    std::shared_ptr<TVideoFrame> Output;
    if (Cache.size() >= FramesKept && Cache.back().Frame.use_count() == 1 &&
        Cache.back().Width == Width && Cache.back().Height == Height) {
        Output = std::const_pointer_cast<TVideoFrame>(Cache.back().Frame);
        Cache.pop_back();
    } else {
        Output = std::make_shared<TVideoFrame>(Width, Height);
    }
    TRect Target{0, 0, Width, Height};
    if (Fit == TFit::KeepAspectRatio) {
        Output->Fill(MakeColor(0, 0, 0));
        AVRational Sar =
            Frame->sample_aspect_ratio.num > 0 ? Frame->sample_aspect_ratio : AVRational{1, 1};
        int32_t DisplayWidth = static_cast<int32_t>(av_rescale(Frame->width, Sar.num, Sar.den));
        int32_t DisplayHeight = Frame->height;
        if (SwapsSides(Turn))
            std::swap(DisplayWidth, DisplayHeight);
        TSize Fitted = FitSize(DisplayWidth, DisplayHeight, Width, Height);
        Fitted.Width = std::max(Fitted.Width, 1);
        Fitted.Height = std::max(Fitted.Height, 1);
        Target.Left = (Width - Fitted.Width) / 2;
        Target.Top = (Height - Fitted.Height) / 2;
        Target.Right = Target.Left + Fitted.Width;
        Target.Bottom = Target.Top + Fitted.Height;
    }
    int32_t TargetWidth = Target.Right - Target.Left, TargetHeight = Target.Bottom - Target.Top;
    // The stored picture is scaled to the size that shows upright once turned.
    int32_t ScaledWidth = SwapsSides(Turn) ? TargetHeight : TargetWidth;
    int32_t ScaledHeight = SwapsSides(Turn) ? TargetWidth : TargetHeight;
    std::array<int, 7> Key{Frame->width, Frame->height,     Frame->format,     ScaledWidth,
                           ScaledHeight, Frame->colorspace, Frame->color_range};
    Scaler.reset(sws_getCachedContext(
        Scaler.release(), Frame->width, Frame->height, AVPixelFormat(Frame->format), ScaledWidth,
        ScaledHeight, AV_PIX_FMT_BGRA, ScalerFlags(Frame, ScaledWidth, ScaledHeight), nullptr,
        nullptr, nullptr));
    if (!Scaler)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, AVERROR(EINVAL));
    // A clip's own colour matrix (untagged, the one its size implies) and
    // range decide its colours; the tags do not change within a stream, so a
    // reused converter keeps them.
    if (Key != ScalerKey) {
        SetScalerColours(Scaler.get(), Frame->format,
                         PictureColourSpace(Frame->colorspace, Frame->width, Frame->height),
                         Frame->color_range, AV_PIX_FMT_BGRA, AVCOL_SPC_RGB, AVCOL_RANGE_JPEG);
        ScalerKey = Key;
    }
    if (Turn != TDisplayTurn::None) {
        Stored.Resize(ScaledWidth, ScaledHeight);
        uint8_t* Planes[4] = {Stored.Data(), nullptr, nullptr, nullptr};
        int Strides[4] = {Stored.Stride(), 0, 0, 0};
        sws_scale(Scaler.get(), Frame->data, Frame->linesize, 0, Frame->height, Planes, Strides);
        TurnPicture(Stored, Turn, *Output, Target.Left, Target.Top);
        return Output;
    }
    uint8_t* Planes[4] = {Output->Row(Target.Top) + Target.Left * 4, nullptr, nullptr, nullptr};
    int Strides[4] = {Output->Stride(), 0, 0, 0};
    sws_scale(Scaler.get(), Frame->data, Frame->linesize, 0, Frame->height, Planes, Strides);
    // The converter makes pictures without an alpha channel opaque.
    return Output;
}

bool TVideoFileReader::DecodedFrameAt(TVideoTime MediaTime, int32_t Width, int32_t Height, TFit Fit,
                                      AVFrame* Into) {
    // The same choice of frame as FrameAt.
    MediaTime += F->FrameDuration / 16;
    F->PositionAt(MediaTime);
    if (!F->HaveCurrent)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, F->FileName, 0);
    const AVFrame* Frame = F->Current.get();
    if (Frame->width != Width || Frame->height != Height || F->Turn != TDisplayTurn::None ||
        !IsPlanarYuv420(Frame->format))
        return false;
    // Kept in its aspect ratio, a picture of non-square pixels gets bars.
    if (Fit == TFit::KeepAspectRatio && Frame->sample_aspect_ratio.num > 0 &&
        Frame->sample_aspect_ratio.num != Frame->sample_aspect_ratio.den)
        return false;
    return av_frame_ref(Into, Frame) >= 0;
}

std::shared_ptr<const TVideoFrame> TVideoFileReader::FrameAt(TVideoTime MediaTime, int32_t Width,
                                                             int32_t Height, TFit Fit) {
    // Frame times pass through time bases that do not divide evenly (a frame
    // at 2/30 s is 666667 units, a frame grid may say 666666): a request a
    // hair before a frame's time belongs to that frame.
    MediaTime += F->FrameDuration / 16;
    for (const TCachedFrame& Entry : F->Cache)
        if (Entry.Width == Width && Entry.Height == Height && Entry.Fit == Fit &&
            MediaTime >= Entry.Time && (Entry.NextTime < 0 || MediaTime < Entry.NextTime))
            return Entry.Frame;

    F->PositionAt(MediaTime);
    if (!F->HaveCurrent)
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, F->FileName, 0);
    auto Frame = F->Convert(F->Current.get(), Width, Height, Fit);
    F->Cache.push_front(
        {F->CurrentTime, F->HaveNext ? F->NextTime : -1, Width, Height, Fit, Frame});
    if (F->Cache.size() > F->FramesKept)
        F->Cache.pop_back();
    return Frame;
}
