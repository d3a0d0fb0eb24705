#include "platform/capture/dv_tape_output.h"

#include "platform/capture/test_capture_devices.h"
#include "platform/capture/test_dv_deck.h"
#include "platform/media/av_support.h"
#include "platform/media/media_error.h"

#include <libiec61883/iec61883.h>
#include <libraw1394/raw1394.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <poll.h>
#include <thread>

namespace {

using TClock = std::chrono::steady_clock;

bool IsAviInput(const AVFormatContext* Input) {
    return std::string_view(Input->iformat->name).find("avi") != std::string_view::npos;
}

bool IsRawDvInput(const AVFormatContext* Input) {
    return std::string_view(Input->iformat->name) == "dv";
}

struct TDvStreams {
    int Video = -1;
    int Audio = -1; // a separate PCM stream of an AVI, muxed into the frames
    TDvFileCheck Check = TDvFileCheck::NotDv;
};

TDvStreams FindDvStreams(AVFormatContext* Input) {
    TDvStreams Found;
    bool RawDv = IsRawDvInput(Input);
    if (!RawDv && !IsAviInput(Input))
        return Found;
    int AudioStreams = 0;
    for (unsigned I = 0; I < Input->nb_streams; ++I) {
        const AVCodecParameters* Codec = Input->streams[I]->codecpar;
        if (Codec->codec_type == AVMEDIA_TYPE_VIDEO && Found.Video < 0) {
            if (Codec->codec_id != AV_CODEC_ID_DVVIDEO)
                return Found;
            Found.Video = int(I);
        } else if (Codec->codec_type == AVMEDIA_TYPE_AUDIO && !RawDv) {
            ++AudioStreams;
            if (!av_codec_is_decoder(avcodec_find_decoder(Codec->codec_id)) ||
                std::string_view(avcodec_get_name(Codec->codec_id)).rfind("pcm_", 0) != 0)
                return Found; // compressed sound beside DV is not an accepted kind
            Found.Audio = int(I);
        }
    }
    if (Found.Video < 0 || AudioStreams > 1)
        return Found;
    Found.Check = TDvFileCheck::Accepted;
    if (Found.Audio >= 0) {
        // DV frames carry 16-bit stereo at 48, 44.1 or 32 kHz.
        const AVCodecParameters* Sound = Input->streams[Found.Audio]->codecpar;
        int Rate = Sound->sample_rate;
        if (Sound->codec_id != AV_CODEC_ID_PCM_S16LE || Sound->ch_layout.nb_channels != 2 ||
            (Rate != 48000 && Rate != 44100 && Rate != 32000))
            Found.Check = TDvFileCheck::CannotConnect;
    }
    return Found;
}

bool IsPal(const AVFormatContext* Input, int Video) {
    return Input->streams[Video]->codecpar->height != 480;
}

} // namespace

TDvFileInfo CheckDvFile(const std::string& FileName) {
    QuietMediaLibraries();
    TDvFileInfo Info;
    TFormatContextPtr Input;
    try {
        Input = OpenMediaFile(FileName);
    } catch (const EMediaError& Error) {
        Info.Error = Error.what();
        return Info;
    }
    TDvStreams Streams = FindDvStreams(Input.get());
    Info.Check = Streams.Check;
    if (Streams.Video < 0)
        return Info;
    Info.Pal = IsPal(Input.get(), Streams.Video);
    if (Input->duration > 0)
        Info.Duration = StreamToVideoTime(Input->duration, AV_TIME_BASE_Q);
    else {
        const AVStream* Video = Input->streams[Streams.Video];
        Info.Duration = StreamToVideoTime(Video->duration, Video->time_base);
    }
    return Info;
}

struct TDvFrameReader::TState {
    std::string FileName;
    TFormatContextPtr Input;
    TDvStreams Streams;
    bool Pal = true;
    TPacketPtr Packet{av_packet_alloc()};
    // With a separate sound stream, both go through libavformat's DV muxer
    // into memory, which puts the sound into the frames' audio blocks.
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> Muxer{
        nullptr, [](AVFormatContext* C) {
            if (!C)
                return;
            if (C->pb) {
                av_freep(&C->pb->buffer);
                avio_context_free(&C->pb);
            }
            avformat_free_context(C);
        }};
    std::vector<uint8_t> Pending;
    bool Ended = false;

    size_t FrameBytes() const { return Pal ? DvPalFrameBytes : DvNtscFrameBytes; }

    static int Collect(void* Opaque, uint8_t* Data, int Size) {
        auto* Self = static_cast<TState*>(Opaque);
        Self->Pending.insert(Self->Pending.end(), Data, Data + Size);
        return Size;
    }

    void OpenMuxer() {
        AVFormatContext* Raw = nullptr;
        int Result = avformat_alloc_output_context2(&Raw, nullptr, "dv", nullptr);
        if (Result < 0)
            RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, Result);
        Muxer.reset(Raw);
        for (int Index : {Streams.Video, Streams.Audio}) {
            AVStream* Out = avformat_new_stream(Raw, nullptr);
            if (!Out)
                RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, AVERROR(ENOMEM));
            avcodec_parameters_copy(Out->codecpar, Input->streams[Index]->codecpar);
            Out->codecpar->codec_tag = 0;
            Out->time_base = Input->streams[Index]->time_base;
        }
        constexpr int BufferBytes = 64 * 1024;
        auto* Buffer = static_cast<unsigned char*>(av_malloc(BufferBytes));
        Raw->pb = avio_alloc_context(Buffer, BufferBytes, 1, this, nullptr, &TState::Collect, nullptr);
        if (!Raw->pb) {
            av_free(Buffer);
            RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, AVERROR(ENOMEM));
        }
        Result = avformat_write_header(Raw, nullptr);
        if (Result < 0)
            RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, Result);
    }

    // Adds what the next packet gives to Pending; false at the end.
    bool ReadMore() {
        if (Ended)
            return false;
        for (;;) {
            int Result = av_read_frame(Input.get(), Packet.get());
            if (Result == AVERROR_EOF) {
                Ended = true;
                return false;
            }
            if (Result < 0)
                RaiseMediaFileError(TTextSlot::CannotOpenMedia, FileName, Result);
            int Index = Packet->stream_index;
            if (!Muxer) {
                if (Index == Streams.Video) {
                    // A whole DV frame, its sound inside; a short one is padded.
                    size_t Start = Pending.size();
                    Pending.insert(Pending.end(), Packet->data, Packet->data + Packet->size);
                    Pending.resize(Start + FrameBytes(), 0);
                    av_packet_unref(Packet.get());
                    return true;
                }
                av_packet_unref(Packet.get());
                continue;
            }
            if (Index != Streams.Video && Index != Streams.Audio) {
                av_packet_unref(Packet.get());
                continue;
            }
            Packet->stream_index = Index == Streams.Video ? 0 : 1;
            Result = av_write_frame(Muxer.get(), Packet.get());
            av_packet_unref(Packet.get());
            if (Result < 0)
                RaiseMediaFileError(TTextSlot::CannotWriteMedia, FileName, Result);
            avio_flush(Muxer->pb);
            return true;
        }
    }
};

TDvFrameReader::TDvFrameReader(const std::string& FileName) : F(std::make_unique<TState>()) {
    QuietMediaLibraries();
    F->FileName = FileName;
    F->Input = OpenMediaFile(FileName);
    F->Streams = FindDvStreams(F->Input.get());
    if (F->Streams.Check != TDvFileCheck::Accepted)
        RaiseMediaError(FileName, "not a DV file that a tape takes");
    F->Pal = IsPal(F->Input.get(), F->Streams.Video);
    if (F->Streams.Audio >= 0)
        F->OpenMuxer();
}

TDvFrameReader::~TDvFrameReader() = default;

bool TDvFrameReader::Pal() const {
    return F->Pal;
}

size_t TDvFrameReader::FrameBytes() const {
    return F->FrameBytes();
}

bool TDvFrameReader::Next(std::vector<uint8_t>& Frame) {
    size_t Size = F->FrameBytes();
    while (F->Pending.size() < Size)
        if (!F->ReadMore())
            return false;
    Frame.assign(F->Pending.begin(), F->Pending.begin() + ptrdiff_t(Size));
    F->Pending.erase(F->Pending.begin(), F->Pending.begin() + ptrdiff_t(Size));
    return true;
}

namespace {

// The test deck takes frames at the tape's speed.
class TTestDeckOutput : public TDvFrameOutput {
public:
    explicit TTestDeckOutput(bool Pal) : FFrameTime(Pal ? 1.0 / 25 : 1001.0 / 30000) {}
    bool Send(const uint8_t* Frame, size_t Size) override {
        if (!TestCaptureDevices().DeckPlugged())
            return false;
        if (FSent == 0)
            FStart = TClock::now();
        std::this_thread::sleep_until(
            FStart + std::chrono::duration_cast<TClock::duration>(
                         std::chrono::duration<double>(FFrameTime * double(FSent))));
        TestDvDeck().RecordFrame(Frame, Size);
        ++FSent;
        return true;
    }
    void Drain() override {}

private:
    double FFrameTime;
    int64_t FSent = 0;
    TClock::time_point FStart;
};

// A FireWire unit: libiec61883 asks for the stream packet by packet (a few
// DIF blocks each) on its own thread; frames wait in a short queue.
class TFireWireOutput : public TDvFrameOutput {
public:
    TFireWireOutput(raw1394handle_t Handle, int32_t Node, bool Pal) : FHandle(Handle) {
        FUnit = nodeid_t(0xffc0 | Node);
        int OutputPlug = -1, InputPlug = -1;
        FBandwidth = 1;
        FChannel = iec61883_cmp_connect(Handle, raw1394_get_local_id(Handle), &OutputPlug, FUnit,
                                        &InputPlug, &FBandwidth);
        FOutputPlug = OutputPlug;
        FInputPlug = InputPlug;
        if (FChannel < 0)
            FChannel = 63; // a broadcast connection: the unit listens on 63
        FStream = iec61883_dv_xmit_init(Handle, Pal ? 1 : 0, &TFireWireOutput::Fill, this);
        if (FStream && iec61883_dv_xmit_start(FStream, FChannel) == 0)
            FLoop = std::thread([this] { Run(); });
    }
    ~TFireWireOutput() override {
        {
            std::lock_guard Guard(FLock);
            FStopping = true;
        }
        FChanged.notify_all();
        if (FLoop.joinable())
            FLoop.join();
        if (FStream)
            iec61883_dv_close(FStream);
        if (FOutputPlug >= 0 || FInputPlug >= 0)
            iec61883_cmp_disconnect(FHandle, raw1394_get_local_id(FHandle), FOutputPlug, FUnit,
                                    FInputPlug, unsigned(FChannel), unsigned(FBandwidth));
        raw1394_destroy_handle(FHandle);
    }
    bool Started() const { return FLoop.joinable(); }

    bool Send(const uint8_t* Frame, size_t Size) override {
        std::unique_lock Guard(FLock);
        if (!FChanged.wait_for(Guard, std::chrono::seconds(2),
                               [&] { return FFailed || FQueue.size() < 8; }) ||
            FFailed)
            return false;
        FQueue.emplace_back(Frame, Frame + Size);
        return true;
    }
    void Drain() override {
        std::unique_lock Guard(FLock);
        FChanged.wait_for(Guard, std::chrono::seconds(2), [&] { return FFailed || FQueue.empty(); });
    }

private:
    void Run() {
        while (true) {
            {
                std::lock_guard Guard(FLock);
                if (FStopping)
                    return;
            }
            pollfd Wait{raw1394_get_fd(FHandle), POLLIN, 0};
            if (::poll(&Wait, 1, 100) > 0 && raw1394_loop_iterate(FHandle) < 0) {
                std::lock_guard Guard(FLock);
                FFailed = true;
                FChanged.notify_all();
                return;
            }
        }
    }

    // Copies the next DifBlocks blocks of 80 bytes; the last frame repeats
    // while no new one has come, as a deck expects a steady stream.
    static int Fill(unsigned char* Data, int DifBlocks, unsigned int, void* Self) {
        auto* Output = static_cast<TFireWireOutput*>(Self);
        std::lock_guard Guard(Output->FLock);
        size_t Bytes = size_t(DifBlocks) * 80;
        if (Output->FOffset >= Output->FCurrent.size() && !Output->FQueue.empty()) {
            Output->FCurrent = std::move(Output->FQueue.front());
            Output->FQueue.pop_front();
            Output->FOffset = 0;
            Output->FChanged.notify_all();
        } else if (Output->FOffset >= Output->FCurrent.size()) {
            Output->FOffset = 0;
        }
        if (Output->FCurrent.empty()) {
            std::memset(Data, 0, Bytes);
            return 0;
        }
        size_t Count = std::min(Bytes, Output->FCurrent.size() - Output->FOffset);
        std::memcpy(Data, Output->FCurrent.data() + Output->FOffset, Count);
        std::memset(Data + Count, 0, Bytes - Count);
        Output->FOffset += Count;
        return 0;
    }

    raw1394handle_t FHandle;
    nodeid_t FUnit = 0;
    int FOutputPlug = -1, FInputPlug = -1, FChannel = -1, FBandwidth = 0;
    iec61883_dv_t FStream = nullptr;
    std::thread FLoop;
    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<std::vector<uint8_t>> FQueue;
    std::vector<uint8_t> FCurrent;
    size_t FOffset = 0;
    bool FStopping = false;
    bool FFailed = false;
};

} // namespace

std::unique_ptr<TDvFrameOutput> OpenDvFrameOutput(const TCaptureEndpoint& Device, bool Pal,
                                                  std::string& Error) {
    if (Device.InputFormat == "lavfi" && Device.Url == "qmtest-deck")
        return std::make_unique<TTestDeckOutput>(Pal);
    if (Device.InputFormat != "iec61883" || Device.FireWireNode < 0) {
        Error = "not a FireWire unit";
        return nullptr;
    }
    raw1394handle_t Handle = raw1394_new_handle_on_port(Device.FireWirePort);
    if (!Handle) {
        Error = std::strerror(errno);
        return nullptr;
    }
    auto Output = std::make_unique<TFireWireOutput>(Handle, Device.FireWireNode, Pal);
    if (!Output->Started()) {
        Error = "the DV stream to the unit could not be started";
        return nullptr;
    }
    return Output;
}
