// Rendering a timeline into a file.
//
// How the render settings reach the encoders:
// - Frame size and rate: the video group's size and frame duration. Encoders
//   of planar YUV get even sizes; DV is always 720 x 576 at 25 frames per
//   second (PAL), or 720 x 480 at 30000/1001 (NTSC) when the group has 480
//   lines; the picture is scaled to that size.
// - Bit-rate mode: the video encoder's bit_rate gets VideoBitRate, or what
//   is left of TotalBitRate after the audio share; the audio share is
//   channels x max(128, min(2560000, total x 0.1 / channels)) unless
//   AudioBitRate gives it. rc_max_rate and rc_buffer_size follow from the
//   bit rate and BufferWindowMs (two seconds when not given).
// - Quality mode, 0..100: H.264 gets CRF 40 - 0.22 x quality (75 gives the
//   encoder's usual 23.5, 100 gives 18); MPEG-4 part 2 and WMV get the
//   fixed quantizer VideoQuantizer, or 31 - 0.3 x quality; MP3 gets the
//   variable-rate level 9 - 0.09 x AudioQuality (0 is the best); AAC and
//   WMA get channels x (32 + 0.64 x quality) kbit/s.
// - AudioBitRate, when given, is the audio encoder's bit_rate in either mode.
// - AudioCutoff sets the audio encoder's low-pass cut-off.
// - H.264 uses the x264 preset "veryfast".

#include "platform/media/media_writer.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/av_support.h"
#include "platform/media/encoder_setup.h"
#include "platform/media/media_error.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"
#include "platform/media/yuv_matrix.h"
#include "platform/message_queue.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace {

[[noreturn]] void RaiseWriteError(const std::string& FileName, int Code) {
    RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, Code);
}

// A bounded queue between the compositing thread and the encoding thread.
template <class T>
class TBoundedQueue {
public:
    explicit TBoundedQueue(size_t Capacity) : FCapacity(Capacity) {}

    // False when the queue was closed before there was room.
    bool Push(T Item) {
        std::unique_lock Guard(FLock);
        FChanged.wait(Guard, [&] { return FClosed || FItems.size() < FCapacity; });
        if (FClosed)
            return false;
        FItems.push_back(std::move(Item));
        FChanged.notify_all();
        return true;
    }
    // Nothing when the queue is closed and empty.
    std::optional<T> Pop() {
        std::unique_lock Guard(FLock);
        FChanged.wait(Guard, [&] { return FClosed || !FItems.empty(); });
        if (FItems.empty())
            return std::nullopt;
        T Item = std::move(FItems.front());
        FItems.pop_front();
        FChanged.notify_all();
        return Item;
    }
    void Close() {
        std::lock_guard Guard(FLock);
        FClosed = true;
        FChanged.notify_all();
    }
    // Without waiting: nothing when empty, dropped when full.
    std::optional<T> TryPop() {
        std::lock_guard Guard(FLock);
        if (FItems.empty())
            return std::nullopt;
        T Item = std::move(FItems.front());
        FItems.pop_front();
        return Item;
    }
    void TryPush(T Item) {
        std::lock_guard Guard(FLock);
        if (FItems.size() < FCapacity)
            FItems.push_back(std::move(Item));
    }

private:
    size_t FCapacity;
    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<T> FItems;
    bool FClosed = false;
};

// One frame on its way to the encoder: composited in BGRA, or a decoded
// picture already in the encoder's own format.
struct TQueuedPicture {
    std::unique_ptr<TVideoFrame> Composited;
    TFramePtr Ready;
};

struct TAudioFifoFreer {
    void operator()(AVAudioFifo* Fifo) const { av_audio_fifo_free(Fifo); }
};

} // namespace

struct TMediaFileWriter::TState : std::enable_shared_from_this<TState> {
    const TMediaTimeline& Timeline;
    TMessageQueue& Messages;
    std::string FileName;
    std::string TemporaryName;
    TMediaWriterProfile Profile;

    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> Output{
        nullptr, [](AVFormatContext* C) {
            if (!C)
                return;
            if (C->pb)
                avio_closep(&C->pb);
            avformat_free_context(C);
        }};
    // Video
    AVStream* VideoStream = nullptr;
    TVideoPath VideoPath = TVideoPath::Quantized;
    TCodecContextPtr VideoEncoder;
    TSwsPtr Scaler;
    TFramePtr VideoFrame;
    TMediaVideoFormat VideoFormat;
    int64_t FrameCount = 0;
    bool FlipRows = false; // raw RGB in AVI is stored bottom-up
    // Audio
    AVStream* AudioStream = nullptr;
    TCodecContextPtr AudioEncoder;
    TSwrPtr Resampler;
    std::unique_ptr<AVAudioFifo, TAudioFifoFreer> Fifo;
    TFramePtr AudioFrame;
    TMediaAudioFormat AudioFormat;
    int64_t TotalSamples = 0; // at the group's rate
    int64_t SamplesRendered = 0;
    int64_t SamplesEncoded = 0; // at the encoder's rate

    // Which streams the file gets, known before either encoder is set up
    // (each takes its share of the bit rate).
    bool HasVideo = false;
    bool HasAudio = false;
    TVideoTime Duration = 0;
    std::atomic<TVideoTime> Position{0};
    std::atomic<bool> Cancelled{false};
    std::atomic<bool> IsRunning{false};
    TBoundedQueue<TQueuedPicture> Frames{6};
    // Encoded frames go back to the compositor to be drawn into again.
    TBoundedQueue<std::unique_ptr<TVideoFrame>> SpareFrames{8};
    std::thread Compositor;
    std::thread Encoder;
    std::mutex ResultLock;
    std::condition_variable Ended;
    bool HasEnded = false;
    TRenderResult EndResult;
    std::string CompositorError;
    std::function<void(const TRenderResult&)> OnEnded;

    TState(const TMediaTimeline& T, TMessageQueue& M, std::string Name, TMediaWriterProfile P)
        : Timeline(T), Messages(M), FileName(std::move(Name)), Profile(std::move(P)) {}

    void Open();
    void OpenVideo(const char* EncoderName);
    void OpenAudio(const char* EncoderName);
    TEncoderRates Rates() const { return {Profile, HasVideo, HasAudio, AudioFormat.Channels}; }
    void RunCompositor();
    bool TakesDecodedPictures() const;
    TFramePtr EncoderPicture(const AVFrame& Decoded) const;
    void RunEncoder();
    void EncodeVideo(const TVideoFrame& Frame, int64_t Index);
    void EncodeAudioBlock(TMediaRenderer& Renderer);
    void DrainAudio(bool Final);
    void Encode(AVCodecContext* Context, AVStream* Stream, const AVFrame* Frame);
    void Finish(TRenderOutcome Outcome, std::string Error);
};

void TMediaFileWriter::TState::OpenVideo(const char* EncoderName) {
    const AVCodec* Codec = FindMediaEncoder(EncoderName, FileName);
    VideoStream = avformat_new_stream(Output.get(), nullptr);
    if (!VideoStream)
        RaiseWriteError(FileName, AVERROR(ENOMEM));
    VideoEncoder.reset(avcodec_alloc_context3(Codec));
    AVCodecContext* C = VideoEncoder.get();
    VideoPath = VideoPathOf(Codec);
    bool Dv = VideoPath == TVideoPath::Dv;
    bool Raw = VideoPath == TVideoPath::Raw;
    AVRational Rate = SetUpVideoEncoder(
        C, Codec, Output.get(), VideoFormat.Width, VideoFormat.Height,
        av_d2q(double(VideoTimeUnitsPerSecond) / double(VideoFormat.FrameDuration), 65535),
        Rates());
    OpenMediaEncoder(C, Codec);
    CheckWrite(avcodec_parameters_from_context(VideoStream->codecpar, C), FileName);
    VideoStream->time_base = C->time_base;
    VideoStream->avg_frame_rate = Rate;
    VideoStream->sample_aspect_ratio = C->sample_aspect_ratio;
    FlipRows = Raw && Output->oformat == av_guess_format("avi", nullptr, nullptr);

    VideoFrame.reset(av_frame_alloc());
    VideoFrame->format = C->pix_fmt;
    VideoFrame->width = C->width;
    VideoFrame->height = C->height;
    if (!Raw)
        CheckWrite(av_frame_get_buffer(VideoFrame.get(), 0), FileName);
    Scaler.reset(sws_getContext(
        VideoFormat.Width, VideoFormat.Height, AV_PIX_FMT_BGRA, C->width, C->height, C->pix_fmt,
        // Same size: only the pixel format changes, on the fast path.
        (C->width == VideoFormat.Width && C->height == VideoFormat.Height) ? SWS_FAST_BILINEAR
                                                                           : SWS_BICUBIC,
        nullptr, nullptr, nullptr));
    if (!Raw && !Scaler)
        RaiseWriteError(FileName, AVERROR(EINVAL));
    // The pictures are converted with the matrix the stream is tagged with.
    if (Scaler)
        SetScalerColours(Scaler.get(), AV_PIX_FMT_BGRA, AVCOL_SPC_RGB, AVCOL_RANGE_JPEG, C->pix_fmt,
                         C->colorspace, C->color_range);
    // As many frames as cover the duration, the last one when at least half
    // of it is covered: a frame of 30 a second lasts 333333 units, and
    // rounding up made 28 s 841 frames.
    FrameCount = Duration <= 0 ? 0
                               : std::max<int64_t>(1, (Duration + VideoFormat.FrameDuration / 2) /
                                                          VideoFormat.FrameDuration);
    // DV runs at its own rate: as many frames as cover the duration.
    if (Dv)
        FrameCount = av_rescale_q_rnd(Duration, {1, int(VideoTimeUnitsPerSecond)}, C->time_base,
                                      AV_ROUND_UP);
}

void TMediaFileWriter::TState::OpenAudio(const char* EncoderName) {
    const AVCodec* Codec = FindMediaEncoder(EncoderName, FileName);
    AudioStream = avformat_new_stream(Output.get(), nullptr);
    if (!AudioStream)
        RaiseWriteError(FileName, AVERROR(ENOMEM));
    AudioEncoder.reset(avcodec_alloc_context3(Codec));
    AVCodecContext* C = AudioEncoder.get();
    SetUpAudioEncoder(C, Codec, Output.get(), AudioFormat.Channels, AudioFormat.SamplesPerSecond,
                      Rates());
    OpenMediaEncoder(C, Codec);
    CheckWrite(avcodec_parameters_from_context(AudioStream->codecpar, C), FileName);
    AudioStream->time_base = C->time_base;

    Resampler =
        MakeEncoderResampler(C, AudioFormat.Channels, AudioFormat.SamplesPerSecond, FileName);
    Fifo.reset(av_audio_fifo_alloc(C->sample_fmt, C->ch_layout.nb_channels, 4096));
    AudioFrame.reset(av_frame_alloc());
    TotalSamples = TimeToSample(Duration, AudioFormat.SamplesPerSecond);
}

void TMediaFileWriter::TState::Open() {
    QuietMediaLibraries();
    Duration = Timeline.Duration();
    const TMediaGroup* Video = Timeline.VideoGroup();
    const TMediaGroup* Audio = Timeline.AudioGroup();
    if (Video)
        VideoFormat = Video->VideoFormat();
    if (Audio)
        AudioFormat = Audio->AudioFormat();
    TEncoderChoice Choice = ChooseEncoders(Profile, AudioFormat.BitsPerSample);
    bool WantVideo = Choice.VideoEncoder && Video && Profile.WithVideo;
    bool WantAudio = Choice.AudioEncoder && Audio && Profile.WithAudio;
    if ((!WantVideo && !WantAudio) || Duration <= 0)
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::NothingToRender), FileName), "");

    HasVideo = WantVideo;
    HasAudio = WantAudio;
    TemporaryName = FileName + ".partial";
    AVFormatContext* Raw = nullptr;
    CheckWrite(
        avformat_alloc_output_context2(&Raw, nullptr, Choice.Container, TemporaryName.c_str()),
        FileName);
    Output.reset(Raw);
    if (WantVideo)
        OpenVideo(Choice.VideoEncoder);
    if (WantAudio)
        OpenAudio(Choice.AudioEncoder);
    if (WantVideo && WantAudio && std::string(Choice.Container) == "avi")
        av_dict_set(&Output->metadata, "encoder", "Quillmoor", 0);
    int Result = avio_open(&Output->pb, TemporaryName.c_str(), AVIO_FLAG_WRITE);
    if (Result < 0)
        RaiseWriteError(FileName, Result);
    Result = avformat_write_header(Output.get(), nullptr);
    if (Result < 0) {
        Output.reset();
        std::remove(TemporaryName.c_str());
        RaiseWriteError(FileName, Result);
    }
}

void TMediaFileWriter::TState::Encode(AVCodecContext* Context, AVStream* Stream,
                                      const AVFrame* Frame) {
    EncodeAndWrite(Context, Stream, Output.get(), Frame, FileName);
}

void TMediaFileWriter::TState::EncodeVideo(const TVideoFrame& Frame, int64_t Index) {
    AVFrame* Out = VideoFrame.get();
    switch (VideoPath) {
    case TVideoPath::Raw:
        // The frame is handed over as it is; AVI wants the rows bottom-up.
        Out->data[0] =
            const_cast<uint8_t*>(FlipRows ? Frame.Row(Frame.Height() - 1) : Frame.Data());
        Out->linesize[0] = FlipRows ? -Frame.Stride() : Frame.Stride();
        break;
    case TVideoPath::Dv:
    case TVideoPath::H264:
    case TVideoPath::Quantized: {
        CheckWrite(av_frame_make_writable(Out), FileName);
        const uint8_t* Planes[1] = {Frame.Data()};
        int Strides[1] = {Frame.Stride()};
        CheckWrite(
            sws_scale(Scaler.get(), Planes, Strides, 0, Frame.Height(), Out->data, Out->linesize),
            FileName);
        break;
    }
    }
    Out->pts = Index;
    Encode(VideoEncoder.get(), VideoStream, Out);
}

void TMediaFileWriter::TState::DrainAudio(bool Final) {
    AVCodecContext* C = AudioEncoder.get();
    bool Variable = C->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    int FrameSize = (C->frame_size > 0 && !Variable) ? C->frame_size : 1024;
    while (av_audio_fifo_size(Fifo.get()) >= FrameSize ||
           (Final && av_audio_fifo_size(Fifo.get()) > 0)) {
        int Count = std::min(FrameSize, av_audio_fifo_size(Fifo.get()));
        AVFrame* Out = AudioFrame.get();
        av_frame_unref(Out);
        Out->nb_samples = Count;
        bool PadLast = Count < FrameSize && !Variable &&
                       !(C->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
        if (PadLast) // an encoder that takes whole frames only: pad with silence
            Out->nb_samples = FrameSize;
        Out->format = C->sample_fmt;
        Out->sample_rate = C->sample_rate;
        CheckWrite(av_channel_layout_copy(&Out->ch_layout, &C->ch_layout), FileName);
        CheckWrite(av_frame_get_buffer(Out, 0), FileName);
        if (PadLast)
            av_samples_set_silence(Out->extended_data, 0, FrameSize, C->ch_layout.nb_channels,
                                   C->sample_fmt);
        av_audio_fifo_read(Fifo.get(), reinterpret_cast<void**>(Out->extended_data), Count);
        Out->pts = SamplesEncoded;
        SamplesEncoded += Out->nb_samples;
        Encode(C, AudioStream, Out);
    }
}

void TMediaFileWriter::TState::EncodeAudioBlock(TMediaRenderer& Renderer) {
    constexpr int64_t BlockFrames = 4096;
    int64_t Count = std::min(BlockFrames, TotalSamples - SamplesRendered);
    std::vector<float> Samples;
    if (Count > 0)
        Renderer.RenderAudio(SampleToTime(SamplesRendered, AudioFormat.SamplesPerSecond),
                             static_cast<int32_t>(Count), Samples);
    const uint8_t* In[1] = {reinterpret_cast<const uint8_t*>(Samples.data())};
    bool Final = Count <= 0;
    int Capacity = swr_get_out_samples(Resampler.get(), int(std::max<int64_t>(Count, 0)));
    AVCodecContext* C = AudioEncoder.get();
    uint8_t** Out = nullptr;
    CheckWrite(av_samples_alloc_array_and_samples(&Out, nullptr, C->ch_layout.nb_channels,
                                                  std::max(Capacity, 1), C->sample_fmt, 0),
               FileName);
    int Made = swr_convert(Resampler.get(), Out, std::max(Capacity, 1), Final ? nullptr : In,
                           int(std::max<int64_t>(Count, 0)));
    int Stored =
        Made > 0 ? av_audio_fifo_write(Fifo.get(), reinterpret_cast<void**>(Out), Made) : 0;
    av_freep(&Out[0]);
    av_freep(&Out);
    CheckWrite(Made, FileName);
    CheckWrite(Stored, FileName);
    SamplesRendered += std::max<int64_t>(Count, 0);
    DrainAudio(Final);
}

bool TMediaFileWriter::TState::TakesDecodedPictures() const {
    // Decoded pictures suit encoders of 4:2:0 YUV at the group's own size
    // and rate; DV and raw RGB keep to the composited frames.
    const AVCodecContext* C = VideoEncoder.get();
    return (VideoPath == TVideoPath::H264 || VideoPath == TVideoPath::Quantized) &&
           C->pix_fmt == AV_PIX_FMT_YUV420P && C->width == VideoFormat.Width &&
           C->height == VideoFormat.Height;
}

TFramePtr TMediaFileWriter::TState::EncoderPicture(const AVFrame& Decoded) const {
    const AVCodecContext* C = VideoEncoder.get();
    TYuvMatrixChange Change = YuvMatrixChange(
        Decoded.format, PictureColourSpace(Decoded.colorspace, Decoded.width, Decoded.height),
        Decoded.color_range, C->colorspace, C->color_range);
    TFramePtr Out(av_frame_alloc());
    if (!Out)
        RaiseWriteError(FileName, AVERROR(ENOMEM));
    if (Change.IsIdentity) {
        // The decoder's pixels are the encoder's: handed over by reference.
        CheckWrite(av_frame_ref(Out.get(), &Decoded), FileName);
        while (Out->nb_side_data > 0)
            av_frame_remove_side_data(Out.get(), Out->side_data[0]->type);
    } else {
        // Another matrix or range: the colours the composited path would
        // give, in one pass over the planes.
        Out->format = AV_PIX_FMT_YUV420P;
        Out->width = Decoded.width;
        Out->height = Decoded.height;
        CheckWrite(av_frame_get_buffer(Out.get(), 0), FileName);
        ChangeYuvMatrix(Decoded, Change, *Out);
    }
    // Nothing of the source's coding may steer the encoder: the encoder
    // picks its own frame types, and the picture carries the output's tags.
    Out->format = AV_PIX_FMT_YUV420P;
    Out->pict_type = AV_PICTURE_TYPE_NONE;
    Out->key_frame = 0;
    Out->interlaced_frame = 0;
    Out->top_field_first = 0;
    Out->sample_aspect_ratio = C->sample_aspect_ratio;
    Out->colorspace = C->colorspace;
    Out->color_range = C->color_range;
    Out->color_primaries = C->color_primaries;
    Out->color_trc = C->color_trc;
    return Out;
}

void TMediaFileWriter::TState::RunCompositor() {
    try {
        TMediaRenderer Renderer(Timeline, TMediaRenderer::TReading::Forward);
        bool Dv = VideoPath == TVideoPath::Dv;
        bool Direct = TakesDecodedPictures();
        TFramePtr Decoded(av_frame_alloc());
        for (int64_t I = 0; I < FrameCount && !Cancelled; ++I) {
            TVideoTime Time =
                Dv ? av_rescale_q(I, VideoEncoder->time_base, {1, int(VideoTimeUnitsPerSecond)})
                   : I * VideoFormat.FrameDuration;
            TQueuedPicture Picture;
            if (Direct && Renderer.PlainPictureAt(Time, Decoded.get())) {
                Picture.Ready = EncoderPicture(*Decoded);
                av_frame_unref(Decoded.get());
            } else {
                Picture.Composited = SpareFrames.TryPop().value_or(nullptr);
                if (!Picture.Composited)
                    Picture.Composited = std::make_unique<TVideoFrame>();
                Renderer.RenderVideo(Time, *Picture.Composited);
            }
            if (!Frames.Push(std::move(Picture)))
                break;
        }
    } catch (const std::exception& Error) {
        std::lock_guard Guard(ResultLock);
        CompositorError = Error.what();
    }
    Frames.Close();
}

void TMediaFileWriter::TState::RunEncoder() {
    TRenderOutcome Outcome = TRenderOutcome::Completed;
    std::string Error;
    try {
        std::unique_ptr<TMediaRenderer> AudioRenderer;
        if (AudioStream)
            AudioRenderer = std::make_unique<TMediaRenderer>(Timeline);
        int64_t FramesDone = 0;
        bool AudioDone = !AudioStream;
        bool VideoDone = !VideoStream;
        while (!VideoDone || !AudioDone) {
            if (Cancelled)
                break;
            TVideoTime VideoTime = VideoDone ? UnlimitedVideoTime
                                             : av_rescale_q(FramesDone, VideoEncoder->time_base,
                                                            {1, int(VideoTimeUnitsPerSecond)});
            TVideoTime AudioTime =
                AudioDone ? UnlimitedVideoTime
                          : SampleToTime(SamplesRendered, AudioFormat.SamplesPerSecond);
            if (!VideoDone && VideoTime <= AudioTime) {
                std::optional<TQueuedPicture> Picture = Frames.Pop();
                if (!Picture) {
                    std::lock_guard Guard(ResultLock);
                    if (!CompositorError.empty())
                        throw EMediaError(CompositorError);
                    VideoDone = true; // cancelled while waiting
                    continue;
                }
                if (Picture->Ready) {
                    Picture->Ready->pts = FramesDone++;
                    Encode(VideoEncoder.get(), VideoStream, Picture->Ready.get());
                } else {
                    EncodeVideo(*Picture->Composited, FramesDone++);
                    SpareFrames.TryPush(std::move(Picture->Composited));
                }
                VideoDone = FramesDone >= FrameCount;
            } else {
                bool Last = SamplesRendered >= TotalSamples;
                EncodeAudioBlock(*AudioRenderer);
                AudioDone = Last;
            }
            Position = std::min({VideoTime, AudioTime, Duration});
        }
        if (Cancelled) {
            Outcome = TRenderOutcome::Cancelled;
        } else {
            if (VideoStream)
                Encode(VideoEncoder.get(), VideoStream, nullptr);
            if (AudioStream)
                Encode(AudioEncoder.get(), AudioStream, nullptr);
            CheckWrite(av_write_trailer(Output.get()), FileName);
            CheckWrite(avio_closep(&Output->pb), FileName);
            if (std::rename(TemporaryName.c_str(), FileName.c_str()) != 0)
                RaiseWriteError(FileName, AVERROR(errno));
            Position = Duration;
        }
    } catch (const std::exception& Failure) {
        Outcome = TRenderOutcome::Failed;
        Error = Failure.what();
    }
    Cancelled = true; // stops the compositor when the encoder ended first
    Frames.Close();
    if (Outcome != TRenderOutcome::Completed) {
        if (Output && Output->pb)
            avio_closep(&Output->pb);
        std::remove(TemporaryName.c_str());
    }
    Finish(Outcome, std::move(Error));
}

void TMediaFileWriter::TState::Finish(TRenderOutcome Outcome, std::string Error) {
    if (Compositor.joinable())
        Compositor.join();
    TRenderResult Result{Outcome, std::move(Error)};
    // The end is posted before Wait returns, so whoever waits and then runs
    // the queue sees the callback too. A writer gone by the time the message
    // runs has nobody left to tell.
    if (OnEnded)
        Messages.Post([Self = weak_from_this(), Result] {
            if (auto State = Self.lock())
                State->OnEnded(Result);
        });
    {
        std::lock_guard Guard(ResultLock);
        EndResult = std::move(Result);
        HasEnded = true;
    }
    IsRunning = false;
    Ended.notify_all();
}

TMediaFileWriter::TMediaFileWriter(const TMediaTimeline& Timeline, TMessageQueue& Messages,
                                   std::string FileName, TMediaWriterProfile Profile)
    : F(std::make_shared<TState>(Timeline, Messages, std::move(FileName), std::move(Profile))) {}

TMediaFileWriter::~TMediaFileWriter() {
    Cancel();
    if (F->Encoder.joinable())
        F->Encoder.join();
    if (F->Compositor.joinable())
        F->Compositor.join();
}

void TMediaFileWriter::Start(std::function<void(const TRenderResult&)> OnEnded) {
    if (F->IsRunning || F->Encoder.joinable())
        return;
    F->Open();
    F->OnEnded = std::move(OnEnded);
    F->IsRunning = true;
    if (F->VideoStream)
        F->Compositor = std::thread([this] { F->RunCompositor(); });
    else
        F->Frames.Close();
    F->Encoder = std::thread([this] { F->RunEncoder(); });
}

void TMediaFileWriter::Cancel() {
    F->Cancelled = true;
    F->Frames.Close();
}

TRenderResult TMediaFileWriter::Wait() {
    std::unique_lock Guard(F->ResultLock);
    F->Ended.wait(Guard, [&] { return F->HasEnded || !F->Encoder.joinable(); });
    return F->EndResult;
}

bool TMediaFileWriter::Running() const {
    return F->IsRunning;
}
TVideoTime TMediaFileWriter::Position() const {
    return F->Position;
}
TVideoTime TMediaFileWriter::Duration() const {
    return F->Duration;
}

const char* MediaOutputExtension(TMediaOutputFormat Format) {
    switch (Format) {
    case TMediaOutputFormat::WindowsMediaVideo:
        return "wmv";
    case TMediaOutputFormat::WindowsMediaAudio:
        return "wma";
    case TMediaOutputFormat::Mp4:
    case TMediaOutputFormat::Mp4Advanced:
        return "mp4";
    case TMediaOutputFormat::Mp3:
        return "mp3";
    case TMediaOutputFormat::Wav:
        return "wav";
    case TMediaOutputFormat::DvAvi:
    case TMediaOutputFormat::UncompressedAvi:
    case TMediaOutputFormat::CompressedAvi:
    case TMediaOutputFormat::AviAdvanced:
        return "avi";
    }
    return "avi";
}
