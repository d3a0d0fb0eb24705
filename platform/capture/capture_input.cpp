#include "platform/capture/capture_input.h"

#include "core/text.h"
#include "platform/capture/device_library.h"
#include "platform/capture/test_capture_devices.h"
#include "platform/graphics/pixel_view.h"
#include "platform/media/av_support.h"
#include "platform/media/media_error.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

// The test camera's picture: the frame number as ten bars across the top
// half (most significant bit left, white for 1), a colour that turns by 47
// degrees of hue per frame below. Drawn at 40 x 24 and scaled up without
// smoothing, so the expression runs on few pixels.
std::string NumberedPattern(int Offset) {
    std::string N = "(mod(N+" + std::to_string(Offset) + "\\,1024))";
    std::string Hue = "mod(" + N + "*47\\,360)";
    std::string Sector = "floor(" + Hue + "/60)";
    std::string Rising = "floor(191*mod(" + Hue + "\\,60)/60)";
    std::string Falling = "(191-" + Rising + ")";
    std::string Bit = "255*mod(floor(" + N + "/pow(2\\,9-floor(X/4)))\\,2)";
    auto Channel = [&](int Full1, int Full2, int RiseAt, int FallAt) {
        std::string Below = "if(eq(" + Sector + "\\," + std::to_string(Full1) + ")+eq(" + Sector +
                            "\\," + std::to_string(Full2) + ")\\,191\\,if(eq(" + Sector + "\\," +
                            std::to_string(RiseAt) + ")\\," + Rising + "\\,if(eq(" + Sector +
                            "\\," + std::to_string(FallAt) + ")\\," + Falling + "\\,0)))";
        return "if(lt(Y\\,12)\\," + Bit + "\\," + Below + ")";
    };
    return "color=c=black:s=40x24:r=25,format=gbrp,geq=r='" + Channel(0, 5, 4, 1) + "':g='" +
           Channel(1, 2, 0, 3) + "':b='" + Channel(3, 4, 2, 5) +
           "',scale=320:240:flags=neighbor";
}

} // namespace

std::string TestDeviceGraph(const std::string& Url, const std::string& AudioPin) {
    if (Url == "qmtest-camera-1")
        return NumberedPattern(0) + ",realtime";
    if (Url == "qmtest-camera-2")
        return NumberedPattern(512) + ",realtime";
    if (Url == "qmtest-microphone") {
        int Pin = TestCaptureDevices().EnabledMicrophonePin();
        if (AudioPin == TestMicrophonePinNames[0])
            Pin = 0;
        else if (AudioPin == TestMicrophonePinNames[1])
            Pin = 1;
        return "sine=frequency=" + std::to_string(TestMicrophonePinTones[Pin]) +
               ":sample_rate=48000,volume=0.5,arealtime";
    }
    // Picture only: libavdevice's lavfi input with a second (sound) output
    // keeps a frame of its graph after closing (FFmpeg 5.1), which the leak
    // checker reports.
    if (Url == "qmtest-deck")
        return NumberedPattern(0) + ",realtime";
    return {};
}

struct TCaptureInput::TState {
    TFormatContextPtr Input;
    int VideoIndex = -1, AudioIndex = -1;
    TCodecContextPtr VideoDecoder, AudioDecoder;
    TSwsPtr Scaler;
    TSwrPtr Resampler;
    int32_t Width = 0, Height = 0;
    double Rate = 0;
    int32_t Channels = 2, SamplesPerSecond = 48000;
    std::vector<uint8_t> Picture;
    std::vector<float> Samples;
    int64_t FirstPts = AV_NOPTS_VALUE;
    TCaptureInputHandlers Handlers;
    std::atomic<bool> Stopping{false};
    std::atomic<bool> IsRunning{false};
    std::thread Reader;
    std::string TestUrl; // a test device's address: its plug and stall switches apply

    void Run();
    void DeliverVideo(AVFrame* Frame);
    void DeliverAudio(AVFrame* Frame);
};

TCaptureInput::TCaptureInput(const TCaptureEndpoint& Device, const TCaptureInputRequest& Request)
    : F(std::make_unique<TState>()) {
    LoadDeviceInputs();
    QuietMediaLibraries();
    std::string Url = Device.Url;
    if (Device.InputFormat == "lavfi") {
        F->TestUrl = Device.Url;
        Url = TestDeviceGraph(Device.Url, Request.AudioPin);
        if (Url.empty())
            RaiseMediaError(Device.FriendlyName, "not a test device");
    }
    const AVInputFormat* Format = av_find_input_format(Device.InputFormat.c_str());
    if (!Format)
        RaiseMediaError(Device.FriendlyName, "no input \"" + Device.InputFormat + "\"");
    AVDictionary* Options = nullptr;
    if (Device.InputFormat == "video4linux2") {
        if (Request.Width > 0 && Request.Height > 0)
            av_dict_set(&Options, "video_size",
                        (std::to_string(std::clamp(Request.Width, 1, 4096)) + "x" +
                         std::to_string(std::clamp(Request.Height, 1, 4096)))
                            .c_str(),
                        0);
        if (Request.FramesPerSecond > 0)
            av_dict_set(&Options, "framerate",
                        std::to_string(std::clamp(Request.FramesPerSecond, 1.0, 200.0)).c_str(),
                        0);
    } else if (Device.InputFormat == "alsa" || Device.InputFormat == "pulse") {
        av_dict_set_int(&Options, "sample_rate", std::clamp(Request.SamplesPerSecond, 8000, 192000), 0);
        av_dict_set_int(&Options, "channels", std::clamp(Request.Channels, 1, 8), 0);
    }
    AVFormatContext* Raw = nullptr;
    int Result = avformat_open_input(&Raw, Url.c_str(), Format, &Options);
    av_dict_free(&Options);
    if (Result < 0)
        RaiseMediaError(Device.FriendlyName, AvErrorText(Result));
    F->Input.reset(Raw);
    // Devices deliver at once; probing would wait for seconds of input.
    F->Input->probesize = 32;
    Result = avformat_find_stream_info(F->Input.get(), nullptr);
    if (Result < 0)
        RaiseMediaError(Device.FriendlyName, AvErrorText(Result));
    for (unsigned I = 0; I < F->Input->nb_streams; ++I) {
        AVStream* Stream = F->Input->streams[I];
        AVMediaType Type = Stream->codecpar->codec_type;
        if (Type == AVMEDIA_TYPE_VIDEO && F->VideoIndex < 0) {
            F->VideoIndex = int(I);
            F->VideoDecoder = OpenStreamDecoder(Device.FriendlyName, Stream, 1);
            // Sizes come from the decoder's own parameters, clamped, never
            // from a header that came with the data.
            F->Width = std::clamp(F->VideoDecoder->width, 1, 4096);
            F->Height = std::clamp(F->VideoDecoder->height, 1, 4096);
            AVRational Rate = Stream->avg_frame_rate.num ? Stream->avg_frame_rate : Stream->r_frame_rate;
            F->Rate = Rate.num && Rate.den ? av_q2d(Rate) : 25.0;
            F->Rate = std::clamp(std::isfinite(F->Rate) ? F->Rate : 25.0, 1.0, 200.0);
        } else if (Type == AVMEDIA_TYPE_AUDIO && F->AudioIndex < 0) {
            F->AudioIndex = int(I);
            F->AudioDecoder = OpenStreamDecoder(Device.FriendlyName, Stream, 1);
            F->Channels = std::clamp(Request.Channels, 1, 8);
            F->SamplesPerSecond = std::clamp(Request.SamplesPerSecond, 8000, 192000);
        }
    }
    if (F->VideoIndex < 0 && F->AudioIndex < 0)
        RaiseMediaError(Device.FriendlyName, "no picture and no sound");
}

TCaptureInput::~TCaptureInput() {
    Stop();
}

bool TCaptureInput::HasVideo() const { return F->VideoIndex >= 0; }
bool TCaptureInput::HasAudio() const { return F->AudioIndex >= 0; }
int32_t TCaptureInput::Width() const { return F->Width; }
int32_t TCaptureInput::Height() const { return F->Height; }
double TCaptureInput::FramesPerSecond() const { return F->Rate; }
int32_t TCaptureInput::Channels() const { return F->Channels; }
int32_t TCaptureInput::SamplesPerSecond() const { return F->SamplesPerSecond; }
bool TCaptureInput::Running() const { return F->IsRunning; }

void TCaptureInput::Start(TCaptureInputHandlers Handlers) {
    if (F->Reader.joinable())
        return;
    F->Handlers = std::move(Handlers);
    F->Stopping = false;
    F->IsRunning = true;
    F->Reader = std::thread([State = F.get()] { State->Run(); });
}

void TCaptureInput::Stop() {
    F->Stopping = true;
    if (F->Reader.joinable())
        F->Reader.join();
}

void TCaptureInput::TState::DeliverVideo(AVFrame* Frame) {
    int W = std::clamp(Frame->width, 1, 4096), H = std::clamp(Frame->height, 1, 4096);
    if (Frame->width != W || Frame->height != H)
        return; // a picture of a size the decoder should not give: dropped
    Scaler.reset(sws_getCachedContext(Scaler.release(), W, H, AVPixelFormat(Frame->format), W, H,
                                      AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!Scaler)
        return;
    Picture.resize(size_t(W) * size_t(H) * 4);
    uint8_t* Planes[1] = {Picture.data()};
    int Strides[1] = {W * 4};
    sws_scale(Scaler.get(), Frame->data, Frame->linesize, 0, H, Planes, Strides);
    AVRational TimeBase = Input->streams[VideoIndex]->time_base;
    int64_t Pts = Frame->best_effort_timestamp;
    if (Pts == AV_NOPTS_VALUE)
        Pts = 0;
    if (FirstPts == AV_NOPTS_VALUE)
        FirstPts = Pts;
    TVideoTime Time = StreamToVideoTime(Pts - FirstPts, TimeBase);
    if (Handlers.OnVideo)
        Handlers.OnVideo(TPixelView{Picture.data(), W, H, W * 4}, Time);
}

void TCaptureInput::TState::DeliverAudio(AVFrame* Frame) {
    if (!Resampler) {
        AVChannelLayout Out;
        av_channel_layout_default(&Out, Channels);
        SwrContext* Raw = nullptr;
        int Result = swr_alloc_set_opts2(&Raw, &Out, AV_SAMPLE_FMT_FLT, SamplesPerSecond,
                                         &Frame->ch_layout, AVSampleFormat(Frame->format),
                                         Frame->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&Out);
        if (Result < 0 || swr_init(Raw) < 0) {
            swr_free(&Raw);
            throw EMediaError("the sound cannot be converted");
        }
        Resampler.reset(Raw);
    }
    int Capacity = swr_get_out_samples(Resampler.get(), Frame->nb_samples);
    Samples.resize(size_t(std::max(Capacity, 1)) * size_t(Channels));
    uint8_t* Out[1] = {reinterpret_cast<uint8_t*>(Samples.data())};
    int Made = swr_convert(Resampler.get(), Out, Capacity,
                           const_cast<const uint8_t**>(Frame->extended_data), Frame->nb_samples);
    if (Made > 0 && Handlers.OnAudio)
        Handlers.OnAudio(Samples.data(), Made);
}

void TCaptureInput::TState::Run() {
    std::string Error;
    try {
        TPacketPtr Packet(av_packet_alloc());
        TFramePtr Frame(av_frame_alloc());
        while (!Stopping) {
            if (!TestUrl.empty()) {
                TTestCaptureDevices& Test = TestCaptureDevices();
                if (!Test.Plugged(TestUrl)) {
                    Error = "the device was unplugged";
                    break;
                }
                if (TestUrl == "qmtest-camera-1" && Test.CameraStalled()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    continue;
                }
            }
            int Result = av_read_frame(Input.get(), Packet.get());
            if (Result == AVERROR(EAGAIN)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            if (Result < 0) {
                Error = Result == AVERROR_EOF ? "the device stopped delivering" : AvErrorText(Result);
                break;
            }
            AVCodecContext* Decoder = Packet->stream_index == VideoIndex   ? VideoDecoder.get()
                                      : Packet->stream_index == AudioIndex ? AudioDecoder.get()
                                                                           : nullptr;
            if (Decoder && avcodec_send_packet(Decoder, Packet.get()) >= 0)
                while (avcodec_receive_frame(Decoder, Frame.get()) >= 0) {
                    if (Decoder == VideoDecoder.get())
                        DeliverVideo(Frame.get());
                    else
                        DeliverAudio(Frame.get());
                    av_frame_unref(Frame.get());
                }
            av_packet_unref(Packet.get());
        }
    } catch (const std::exception& Failure) {
        Error = Failure.what();
    }
    IsRunning = false;
    if (Handlers.OnEnd)
        Handlers.OnEnd(Stopping ? std::string() : Error);
}
