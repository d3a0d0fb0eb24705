// Pushed pictures and sound into a media file.

#include "platform/media/stream_writer.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/graphics/pixel_view.h"
#include "platform/media/av_support.h"
#include "platform/media/encoder_setup.h"
#include "platform/media/media_error.h"
#include "platform/media/media_format.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct TFifoFreer {
    void operator()(AVAudioFifo* Fifo) const { av_audio_fifo_free(Fifo); }
};

} // namespace

struct TMediaStreamWriter::TState {
    std::string FileName;
    TMediaWriterProfile Profile;
    TStreamWriterFormat Format;
    TFormatContextPtr Output;
    bool HeaderWritten = false;
    bool Finished = false;

    AVStream* VideoStream = nullptr;
    TCodecContextPtr VideoEncoder;
    TFramePtr VideoFrame;
    TSwsPtr Scaler;
    int32_t ScalerWidth = 0, ScalerHeight = 0;
    AVRational FrameRate{25, 1};
    int64_t NextSlot = 0;
    bool HasLastFrame = false;

    AVStream* AudioStream = nullptr;
    TCodecContextPtr AudioEncoder;
    TSwrPtr Resampler;
    std::unique_ptr<AVAudioFifo, TFifoFreer> Fifo;
    int64_t SamplesIn = 0;  // at the input rate
    int64_t SamplesOut = 0; // at the encoder's rate

    // Which streams the file gets, known before either encoder is set up
    // (each takes its share of the bit rate).
    bool WantVideo = false, WantAudio = false;
    TEncoderRates Rates() const { return {Profile, WantVideo, WantAudio, Format.Channels}; }
    void OpenVideo(const char* Name);
    void OpenAudio(const char* Name);
    void Encode(AVCodecContext* Context, AVStream* Stream, const AVFrame* Frame);
    void EncodeSlot();
    void DrainAudio(bool Final);
};

void TMediaStreamWriter::TState::OpenVideo(const char* Name) {
    const AVCodec* Codec = FindMediaEncoder(Name, FileName);
    VideoStream = avformat_new_stream(Output.get(), nullptr);
    if (!VideoStream)
        CheckWrite(AVERROR(ENOMEM), FileName);
    VideoEncoder.reset(avcodec_alloc_context3(Codec));
    AVCodecContext* C = VideoEncoder.get();
    FrameRate = SetUpVideoEncoder(C, Codec, Output.get(), Format.Width, Format.Height,
                                  av_d2q(Format.FramesPerSecond, 1001000), Rates());
    OpenMediaEncoder(C, Codec);
    CheckWrite(avcodec_parameters_from_context(VideoStream->codecpar, C), FileName);
    VideoStream->time_base = C->time_base;
    VideoStream->avg_frame_rate = FrameRate;
    VideoStream->sample_aspect_ratio = C->sample_aspect_ratio;
    VideoFrame.reset(av_frame_alloc());
    VideoFrame->format = C->pix_fmt;
    VideoFrame->width = C->width;
    VideoFrame->height = C->height;
    CheckWrite(av_frame_get_buffer(VideoFrame.get(), 0), FileName);
    // Until the first picture, the frame is black.
    ptrdiff_t Strides[4] = {VideoFrame->linesize[0], VideoFrame->linesize[1],
                            VideoFrame->linesize[2], VideoFrame->linesize[3]};
    av_image_fill_black(VideoFrame->data, Strides, C->pix_fmt, AVCOL_RANGE_MPEG, C->width,
                        C->height);
}

void TMediaStreamWriter::TState::OpenAudio(const char* Name) {
    const AVCodec* Codec = FindMediaEncoder(Name, FileName);
    AudioStream = avformat_new_stream(Output.get(), nullptr);
    if (!AudioStream)
        CheckWrite(AVERROR(ENOMEM), FileName);
    AudioEncoder.reset(avcodec_alloc_context3(Codec));
    AVCodecContext* C = AudioEncoder.get();
    SetUpAudioEncoder(C, Codec, Output.get(), Format.Channels, Format.SamplesPerSecond, Rates());
    OpenMediaEncoder(C, Codec);
    CheckWrite(avcodec_parameters_from_context(AudioStream->codecpar, C), FileName);
    AudioStream->time_base = C->time_base;
    Resampler = MakeEncoderResampler(C, Format.Channels, Format.SamplesPerSecond, FileName);
    Fifo.reset(av_audio_fifo_alloc(C->sample_fmt, C->ch_layout.nb_channels, 4096));
}

void TMediaStreamWriter::TState::Encode(AVCodecContext* Context, AVStream* Stream,
                                        const AVFrame* Frame) {
    EncodeAndWrite(Context, Stream, Output.get(), Frame, FileName);
}

void TMediaStreamWriter::TState::EncodeSlot() {
    VideoFrame->pts = NextSlot++;
    Encode(VideoEncoder.get(), VideoStream, VideoFrame.get());
}

void TMediaStreamWriter::TState::DrainAudio(bool Final) {
    AVCodecContext* C = AudioEncoder.get();
    bool Variable = C->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    int FrameSize = (C->frame_size > 0 && !Variable) ? C->frame_size : 1024;
    while (av_audio_fifo_size(Fifo.get()) >= FrameSize ||
           (Final && av_audio_fifo_size(Fifo.get()) > 0)) {
        int Count = std::min(FrameSize, av_audio_fifo_size(Fifo.get()));
        TFramePtr Out(av_frame_alloc());
        bool Pad = Count < FrameSize && !Variable &&
                   !(C->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
        Out->nb_samples = Pad ? FrameSize : Count;
        Out->format = C->sample_fmt;
        Out->sample_rate = C->sample_rate;
        CheckWrite(av_channel_layout_copy(&Out->ch_layout, &C->ch_layout), FileName);
        CheckWrite(av_frame_get_buffer(Out.get(), 0), FileName);
        if (Pad)
            av_samples_set_silence(Out->extended_data, 0, FrameSize, C->ch_layout.nb_channels,
                                   C->sample_fmt);
        av_audio_fifo_read(Fifo.get(), reinterpret_cast<void**>(Out->extended_data), Count);
        Out->pts = SamplesOut;
        SamplesOut += Out->nb_samples;
        Encode(C, AudioStream, Out.get());
    }
}

TMediaStreamWriter::TMediaStreamWriter(std::string FileName, const TMediaWriterProfile& Profile,
                                       TStreamWriterFormat Format)
    : F(std::make_unique<TState>()) {
    QuietMediaLibraries();
    F->FileName = std::move(FileName);
    F->Profile = Profile;
    Format.Width = Format.Width > 0 ? std::clamp(Format.Width, 1, 4096) : 0;
    Format.Height = std::clamp(Format.Height, 1, 4096);
    if (!std::isfinite(Format.FramesPerSecond) || Format.FramesPerSecond <= 0)
        Format.FramesPerSecond = 25;
    Format.FramesPerSecond = std::clamp(Format.FramesPerSecond, 1.0, 200.0);
    Format.Channels = std::clamp(Format.Channels, 0, 8);
    Format.SamplesPerSecond = std::clamp(Format.SamplesPerSecond, 8000, 192000);
    F->Format = Format;

    TEncoderChoice Choice = ChooseEncoders(Profile, 16);
    bool WantVideo = Choice.VideoEncoder && Format.Width > 0 && Profile.WithVideo;
    bool WantAudio = Choice.AudioEncoder && Format.Channels > 0 && Profile.WithAudio;
    F->WantVideo = WantVideo;
    F->WantAudio = WantAudio;
    if (!WantVideo && !WantAudio)
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::NothingToRender), F->FileName), "");
    AVFormatContext* Raw = nullptr;
    CheckWrite(avformat_alloc_output_context2(&Raw, nullptr, Choice.Container, F->FileName.c_str()),
               F->FileName);
    F->Output.reset(Raw);
    if (WantVideo)
        F->OpenVideo(Choice.VideoEncoder);
    if (WantAudio)
        F->OpenAudio(Choice.AudioEncoder);
    CheckWrite(avio_open(&F->Output->pb, F->FileName.c_str(), AVIO_FLAG_WRITE), F->FileName);
    int Result = avformat_write_header(F->Output.get(), nullptr);
    if (Result < 0) {
        avio_closep(&F->Output->pb);
        std::remove(F->FileName.c_str());
        CheckWrite(Result, F->FileName);
    }
    F->HeaderWritten = true;
}

TMediaStreamWriter::~TMediaStreamWriter() {
    if (F->Finished)
        return;
    if (F->Output && F->Output->pb)
        avio_closep(&F->Output->pb);
    std::remove(F->FileName.c_str());
}

bool TMediaStreamWriter::HasVideo() const {
    return F->VideoStream != nullptr;
}
bool TMediaStreamWriter::HasAudio() const {
    return F->AudioStream != nullptr;
}
int32_t TMediaStreamWriter::Width() const {
    return F->VideoEncoder ? F->VideoEncoder->width : 0;
}
int32_t TMediaStreamWriter::Height() const {
    return F->VideoEncoder ? F->VideoEncoder->height : 0;
}
double TMediaStreamWriter::FramesPerSecond() const {
    return av_q2d(F->FrameRate);
}
int64_t TMediaStreamWriter::VideoFramesWritten() const {
    return F->NextSlot;
}
TVideoTime TMediaStreamWriter::AudioTime() const {
    return SampleToTime(F->SamplesIn, F->Format.SamplesPerSecond);
}

void TMediaStreamWriter::WriteVideo(const TPixelView& Bgra, TVideoTime Time) {
    if (!F->VideoStream || Bgra.IsEmpty() || F->Finished)
        return;
    int64_t Slot = av_rescale_q(std::max<TVideoTime>(Time, 0), {1, int(VideoTimeUnitsPerSecond)},
                                av_inv_q(F->FrameRate));
    if (Slot < F->NextSlot)
        return; // its slot is written already: dropped
    AVFrame* Out = F->VideoFrame.get();
    CheckWrite(av_frame_make_writable(Out), F->FileName);
    if (!F->Scaler || F->ScalerWidth != Bgra.Width || F->ScalerHeight != Bgra.Height) {
        F->Scaler.reset(sws_getContext(Bgra.Width, Bgra.Height, AV_PIX_FMT_BGRA, Out->width,
                                       Out->height, AVPixelFormat(Out->format), SWS_BICUBIC,
                                       nullptr, nullptr, nullptr));
        if (!F->Scaler)
            CheckWrite(AVERROR(EINVAL), F->FileName);
        const AVCodecContext* C = F->VideoEncoder.get();
        SetScalerColours(F->Scaler.get(), AV_PIX_FMT_BGRA, AVCOL_SPC_RGB, AVCOL_RANGE_JPEG,
                         C->pix_fmt, C->colorspace, C->color_range);
        F->ScalerWidth = Bgra.Width;
        F->ScalerHeight = Bgra.Height;
    }
    const uint8_t* Planes[1] = {Bgra.Pixels};
    int Strides[1] = {Bgra.Stride};
    CheckWrite(
        sws_scale(F->Scaler.get(), Planes, Strides, 0, Bgra.Height, Out->data, Out->linesize),
        F->FileName);
    // A gap since the last picture is filled with this one.
    while (F->NextSlot <= Slot)
        F->EncodeSlot();
    F->HasLastFrame = true;
}

void TMediaStreamWriter::WriteAudio(const float* Samples, int32_t Frames) {
    if (!F->AudioStream || Frames <= 0 || F->Finished)
        return;
    AVCodecContext* C = F->AudioEncoder.get();
    int Capacity = swr_get_out_samples(F->Resampler.get(), Frames);
    uint8_t** Out = nullptr;
    CheckWrite(av_samples_alloc_array_and_samples(&Out, nullptr, C->ch_layout.nb_channels,
                                                  std::max(Capacity, 1), C->sample_fmt, 0),
               F->FileName);
    const uint8_t* In[1] = {reinterpret_cast<const uint8_t*>(Samples)};
    int Made = swr_convert(F->Resampler.get(), Out, std::max(Capacity, 1), In, Frames);
    int Stored =
        Made > 0 ? av_audio_fifo_write(F->Fifo.get(), reinterpret_cast<void**>(Out), Made) : 0;
    av_freep(&Out[0]);
    av_freep(&Out);
    CheckWrite(Made, F->FileName);
    CheckWrite(Stored, F->FileName);
    F->SamplesIn += Frames;
    F->DrainAudio(false);
}

void TMediaStreamWriter::Finish() {
    if (F->Finished)
        return;
    if (F->VideoStream) {
        // The picture runs as long as the sound.
        if (F->AudioStream) {
            int64_t Last = av_rescale_q(AudioTime(), {1, int(VideoTimeUnitsPerSecond)},
                                        av_inv_q(F->FrameRate));
            while (F->NextSlot < Last)
                F->EncodeSlot();
        }
        F->Encode(F->VideoEncoder.get(), F->VideoStream, nullptr);
    }
    if (F->AudioStream) {
        F->DrainAudio(true);
        F->Encode(F->AudioEncoder.get(), F->AudioStream, nullptr);
    }
    CheckWrite(av_write_trailer(F->Output.get()), F->FileName);
    CheckWrite(avio_closep(&F->Output->pb), F->FileName);
    F->Finished = true;
}

void TMediaStreamWriter::FinishQuietly() noexcept {
    try {
        Finish();
    } catch (...) {
        // What was written stays: the caller reported the first failure.
        if (F->Output && F->Output->pb)
            avio_closep(&F->Output->pb);
        F->Finished = true;
    }
}
