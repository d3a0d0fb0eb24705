#include "platform/media/audio_file_reader.h"

#include "platform/media/av_support.h"

#include <algorithm>
#include <vector>

namespace {

// Samples kept before the read position, for short backward steps.
constexpr int64_t KeptSeconds = 1;
// Past this gap ahead a seek is cheaper than decoding forward.
constexpr int64_t ForwardDecodeSeconds = 3;

} // namespace

struct TAudioFileReader::TState {
    std::string FileName;
    TMediaAudioFormat Output;
    TFormatContextPtr Format;
    TCodecContextPtr Decoder;
    AVStream* Stream = nullptr;
    int Index = -1;
    TVideoTime StartTime = 0;
    TSwrPtr Resampler;
    TPacketPtr Packet{av_packet_alloc()};
    TFramePtr Frame{av_frame_alloc()};
    bool EndOfStream = false;
    bool DecoderDrained = false;

    // Decoded samples [WindowStart, WindowStart + Window.size() / channels).
    std::vector<float> Window;
    int64_t WindowStart = 0;
    bool Positioned = false;
    int32_t Seeks = 0;

    int64_t WindowEnd() const { return WindowStart + int64_t(Window.size()) / Output.Channels; }
    void MakeResampler();
    void SeekTo(int64_t Position);
    // Decodes one more frame onto the end of the window; false at the end.
    bool DecodeMore();
    void Append(const uint8_t* const* Data, int Count);
    void Trim(int64_t KeepFrom);
};

TAudioFileReader::TAudioFileReader(const std::string& FileName, int32_t StreamNumber,
                                   const TMediaAudioFormat& Output)
    : F(std::make_unique<TState>()) {
    F->FileName = FileName;
    F->Output = Output;
    TOpenedStream Opened = OpenFileStream(FileName, AVMEDIA_TYPE_AUDIO, StreamNumber, 1);
    F->Format = std::move(Opened.Format);
    F->Index = Opened.Index;
    F->Stream = Opened.Stream;
    F->Decoder = std::move(Opened.Decoder);
    F->StartTime = Opened.StartTime;
    F->MakeResampler();
}

TAudioFileReader::~TAudioFileReader() = default;

int32_t TAudioFileReader::SeekCount() const {
    return F->Seeks;
}

void TAudioFileReader::TState::MakeResampler() {
    AVChannelLayout OutLayout;
    av_channel_layout_default(&OutLayout, Output.Channels);
    AVChannelLayout InLayout;
    if (av_channel_layout_copy(&InLayout, &Decoder->ch_layout) < 0 ||
        InLayout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&InLayout, std::max(Decoder->ch_layout.nb_channels, 1));
    SwrContext* Raw = nullptr;
    int Result =
        swr_alloc_set_opts2(&Raw, &OutLayout, AV_SAMPLE_FMT_FLT, Output.SamplesPerSecond, &InLayout,
                            Decoder->sample_fmt, Decoder->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&InLayout);
    av_channel_layout_uninit(&OutLayout);
    if (Result < 0 || (Result = swr_init(Raw)) < 0) {
        swr_free(&Raw);
        RaiseMediaFileError(TTextSlot::CannotDecodeMedia, FileName, Result);
    }
    Resampler.reset(Raw);
}

void TAudioFileReader::TState::SeekTo(int64_t Position) {
    ++Seeks;
    TVideoTime Time = SampleToTime(std::max<int64_t>(Position, 0), Output.SamplesPerSecond);
    int64_t Target = VideoTimeToStream(Time + StartTime, Stream->time_base);
    av_seek_frame(Format.get(), Index, Target, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(Decoder.get());
    MakeResampler();
    EndOfStream = DecoderDrained = false;
    Window.clear();
    Positioned = false; // the first decoded frame's timestamp places the window
}

void TAudioFileReader::TState::Append(const uint8_t* const* Data, int Count) {
    int Capacity = swr_get_out_samples(Resampler.get(), Count);
    if (Capacity <= 0)
        return;
    size_t Old = Window.size();
    Window.resize(Old + size_t(Capacity) * size_t(Output.Channels));
    auto* Out = reinterpret_cast<uint8_t*>(Window.data() + Old);
    int Made =
        swr_convert(Resampler.get(), &Out, Capacity, const_cast<const uint8_t**>(Data), Count);
    Window.resize(Old + size_t(std::max(Made, 0)) * size_t(Output.Channels));
}

bool TAudioFileReader::TState::DecodeMore() {
    if (DecodeNextFrame(Format.get(), Index, Decoder.get(), Packet.get(), Frame.get(),
                        EndOfStream)) {
        if (!Positioned) {
            int64_t Pts = Frame->best_effort_timestamp;
            TVideoTime Time =
                Pts == AV_NOPTS_VALUE ? 0 : StreamToVideoTime(Pts, Stream->time_base) - StartTime;
            WindowStart = TimeToSample(Time, Output.SamplesPerSecond);
            Positioned = true;
        }
        Append(Frame->extended_data, Frame->nb_samples);
        av_frame_unref(Frame.get());
        return true;
    }
    if (DecoderDrained)
        return false;
    // The decoder is empty: take what the resampler still holds.
    DecoderDrained = true;
    size_t Before = Window.size();
    Append(nullptr, 0);
    return Window.size() > Before;
}

void TAudioFileReader::TState::Trim(int64_t KeepFrom) {
    int64_t Drop = std::clamp<int64_t>(KeepFrom - WindowStart, 0, WindowEnd() - WindowStart);
    if (Drop <= 0)
        return;
    Window.erase(Window.begin(), Window.begin() + Drop * Output.Channels);
    WindowStart += Drop;
}

void TAudioFileReader::MixInto(int64_t Position, int32_t Frames, float Gain, float* Samples) {
    TState& S = *F;
    int64_t End = Position + Frames;
    int64_t Rate = S.Output.SamplesPerSecond;
    bool Before = S.Positioned && Position < S.WindowStart;
    bool FarAhead = S.Positioned && Position > S.WindowEnd() + ForwardDecodeSeconds * Rate;
    if (!S.Positioned || Before || FarAhead) {
        S.SeekTo(Position);
        if (!S.DecodeMore())
            return;
        // A seek that lands after the target starts over from the beginning.
        if (S.WindowStart > Position && Position > 0) {
            S.SeekTo(0);
            if (!S.DecodeMore())
                return;
        }
    }
    while (S.WindowEnd() < End && S.DecodeMore())
        S.Trim(Position - KeptSeconds * Rate);

    int64_t From = std::max(Position, S.WindowStart), To = std::min(End, S.WindowEnd());
    int32_t Channels = S.Output.Channels;
    for (int64_t I = From; I < To; ++I) {
        const float* In = S.Window.data() + (I - S.WindowStart) * Channels;
        float* Out = Samples + (I - Position) * Channels;
        for (int32_t C = 0; C < Channels; ++C)
            Out[C] += In[C] * Gain;
    }
    S.Trim(End - KeptSeconds * Rate);
}
