#include "platform/media/media_renderer.h"

#include "platform/media/audio_file_reader.h"
#include "platform/media/compositing.h"
#include "platform/media/media_guid.h"
#include "platform/media/media_components.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <deque>
#include <filesystem>
#include <list>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

// Open decoders beyond these counts are closed, least recently used first,
// so memory stays bounded however many clips a timeline has.
constexpr size_t MaxVideoReaders = 12;
constexpr size_t MaxAudioReaders = 16;

// Things made from nodes, keyed by node serial and remade when the node's
// version changes; the least recently used go beyond a limit.
template <class T>
class TNodeCache {
public:
    explicit TNodeCache(size_t Limit) : FLimit(Limit) {}

    template <class TMake>
    T& Get(const TMediaNode& Node, TMake&& Make) {
        auto It = FEntries.find(Node.Serial());
        if (It != FEntries.end() && It->second.Version == Node.Version()) {
            FOrder.splice(FOrder.begin(), FOrder, It->second.Position);
            return *It->second.Value;
        }
        std::unique_ptr<T> Value = Make();
        if (It != FEntries.end()) {
            It->second.Value = std::move(Value);
            It->second.Version = Node.Version();
            FOrder.splice(FOrder.begin(), FOrder, It->second.Position);
            return *It->second.Value;
        }
        FOrder.push_front(Node.Serial());
        auto& Entry = FEntries[Node.Serial()];
        Entry = {Node.Version(), std::move(Value), FOrder.begin()};
        T& Result = *Entry.Value;
        while (FEntries.size() > FLimit) {
            FEntries.erase(FOrder.back());
            FOrder.pop_back();
        }
        return Result;
    }
    // The value made for an earlier version of Node, taken out of the
    // cache; none when there is none.
    std::unique_ptr<T> TakeStale(const TMediaNode& Node) {
        auto It = FEntries.find(Node.Serial());
        if (It == FEntries.end() || It->second.Version == Node.Version())
            return nullptr;
        std::unique_ptr<T> Value = std::move(It->second.Value);
        FOrder.erase(It->second.Position);
        FEntries.erase(It);
        return Value;
    }
    // Takes out the values of nodes not in Live and hands each, with its
    // node's serial, to Dropped.
    template <class TDropped>
    void Sweep(const std::set<uint64_t>& Live, TDropped&& Dropped) {
        for (auto It = FEntries.begin(); It != FEntries.end();) {
            if (Live.count(It->first)) {
                ++It;
                continue;
            }
            FOrder.erase(It->second.Position);
            Dropped(It->first, std::move(It->second.Value));
            It = FEntries.erase(It);
        }
    }
    void Clear() {
        FEntries.clear();
        FOrder.clear();
    }
    size_t Size() const { return FEntries.size(); }

private:
    struct TEntry {
        uint64_t Version;
        std::unique_ptr<T> Value;
        std::list<uint64_t>::iterator Position;
    };
    size_t FLimit;
    std::map<uint64_t, TEntry> FEntries;
    std::list<uint64_t> FOrder;
};

// Decoders that lost their node, waiting for a new node that reads the same
// stream: an edit builds new nodes for the clips it touched, and their media
// is still there. The newest wait at the back; the oldest go beyond a limit.
template <class TReader, class TKey>
class TSpareReaders {
public:
    explicit TSpareReaders(size_t Limit) : FLimit(Limit) {}

    void Keep(TKey Key, std::unique_ptr<TReader> Reader) {
        FSpares.emplace_back(std::move(Key), std::move(Reader));
        while (FSpares.size() > FLimit)
            FSpares.pop_front();
    }
    std::unique_ptr<TReader> Take(const TKey& Key) {
        for (auto It = FSpares.rbegin(); It != FSpares.rend(); ++It)
            if (It->first == Key) {
                std::unique_ptr<TReader> Reader = std::move(It->second);
                FSpares.erase(std::next(It).base());
                return Reader;
            }
        return nullptr;
    }
    void Clear() { FSpares.clear(); }

private:
    size_t FLimit;
    std::deque<std::pair<TKey, std::unique_ptr<TReader>>> FSpares;
};

// The size and modification time of a file: a file written again under the
// same name is other media, whose decoder is not the old one's.
struct TFileStamp {
    uintmax_t Size = 0;
    std::filesystem::file_time_type Modified{};
    bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const std::string& FileName) {
    std::error_code Error;
    TFileStamp Stamp;
    Stamp.Size = std::filesystem::file_size(FileName, Error);
    Stamp.Modified = std::filesystem::last_write_time(FileName, Error);
    return Stamp;
}

// What makes a decoder reusable for another node: the same stream of the
// same file (and, for sound, the same output format).
struct TVideoStreamKey {
    std::string MediaName;
    TFileStamp Stamp;
    int32_t StreamNumber = 0;
    bool operator==(const TVideoStreamKey&) const = default;
};
struct TAudioStreamKey {
    std::string MediaName;
    TFileStamp Stamp;
    int32_t StreamNumber = 0;
    int32_t Channels = 0;
    int32_t SamplesPerSecond = 0;
    bool operator==(const TAudioStreamKey&) const = default;
};

void CollectSerials(const TMediaLayer& Layer, std::set<uint64_t>& Live) {
    Live.insert(Layer.Serial());
    for (const auto& Effect : Layer.Effects())
        Live.insert(Effect->Serial());
    for (const auto& Transition : Layer.Transitions())
        Live.insert(Transition->Serial());
    if (Layer.Type() == TMediaNodeType::Track) {
        for (const auto& Source : static_cast<const TMediaTrack&>(Layer).Sources())
            Live.insert(Source->Serial());
        return;
    }
    for (const auto& Child : static_cast<const TMediaComposition&>(Layer).Layers())
        CollectSerials(*Child, Live);
}

TComponentTime WhenAt(const TMediaNode& Node, TVideoTime Time) {
    return {Time, Node.Start(), Node.Stop()};
}

} // namespace

struct TMediaRenderer::TState {
    const TMediaTimeline& Timeline;
    TNodeCache<TVideoFileReader> VideoReaders{MaxVideoReaders};
    TNodeCache<TAudioFileReader> AudioReaders{MaxAudioReaders};
    TNodeCache<TVideoSourceComponent> Sources{256};
    TNodeCache<TVideoEffectComponent> VideoEffects{256};
    TNodeCache<TVideoTransitionComponent> Transitions{256};
    TNodeCache<TAudioEffectComponent> AudioEffects{256};
    TSpareReaders<TVideoFileReader, TVideoStreamKey> SpareVideoReaders{MaxVideoReaders};
    TSpareReaders<TAudioFileReader, TAudioStreamKey> SpareAudioReaders{MaxAudioReaders};
    // The stream each cached decoder reads, by node serial, for when its
    // node goes.
    std::map<uint64_t, TVideoStreamKey> VideoKeys;
    std::map<uint64_t, TAudioStreamKey> AudioKeys;
    // Scratch frames per depth of the layer tree: the layer's own picture
    // and a transition's output.
    // A deque, so that frames handed out stay put while deeper layers add more.
    std::deque<TVideoFrame> Scratch;
    // Read by other threads for statistics.
    std::atomic<int32_t> DecodersOpened{0};
    // Converted frames each decoder keeps; 0 leaves the decoder's own count.
    size_t FramesKept = 0;
    // The format the components in the caches were made for.
    TMediaVideoFormat ComponentFormat;

    explicit TState(const TMediaTimeline& T) : Timeline(T) {}

    TVideoFileReader& VideoReader(const TMediaSource& Source);
    TAudioFileReader& AudioReader(const TMediaSource& Source, const TMediaAudioFormat& Format);

    TVideoFrame& ScratchFrame(size_t Slot, const TMediaVideoFormat& Format);
    bool RenderLayer(const TMediaLayer& Layer, TVideoTime Time, const TMediaVideoFormat& Format,
                     size_t Depth, TVideoFrame& Out);
    bool RenderTrack(const TMediaTrack& Track, TVideoTime Time, const TMediaVideoFormat& Format,
                     TVideoFrame& Out);
    bool RenderComposition(const TMediaComposition& Composition, TVideoTime Time,
                           const TMediaVideoFormat& Format, size_t Depth, TVideoFrame& Out);
    void RenderSource(const TMediaSource& Source, TVideoTime Time, const TMediaVideoFormat& Format,
                      TVideoFrame& Out);
    // What shows at Time in Layer: nothing, one plain file source alone,
    // or something that needs compositing.
    enum class TShows { Nothing, Source, Composited };
    TShows ShownAt(const TMediaLayer& Layer, TVideoTime Time, const TMediaSource*& Source) const;
    void ApplyVideoEffects(const TMediaLayer& Layer, TVideoTime Time,
                           const TMediaVideoFormat& Format, TVideoFrame& Frame);

    void MixLayer(const TMediaLayer& Layer, TVideoTime BlockStart, int32_t Frames,
                  const TMediaAudioFormat& Format, float* Out);
    void MixSource(const TMediaSource& Source, TVideoTime BlockStart, int32_t Frames,
                   const TMediaAudioFormat& Format, float* Out);
    void ApplyAudioEffects(const TMediaLayer& Layer, TVideoTime BlockStart, int32_t Frames,
                           const TMediaAudioFormat& Format, float* Samples);
};

TMediaRenderer::TMediaRenderer(const TMediaTimeline& Timeline, TReading Reading)
    : F(std::make_unique<TState>(Timeline)) {
    if (Reading == TReading::Forward)
        F->FramesKept = 2;
}

TVideoFileReader& TMediaRenderer::TState::VideoReader(const TMediaSource& Source) {
    if (auto Stale = VideoReaders.TakeStale(Source))
        SpareVideoReaders.Keep(VideoKeys[Source.Serial()], std::move(Stale));
    return VideoReaders.Get(Source, [&] {
        TVideoStreamKey Key{Source.MediaName(), StampOf(Source.MediaName()), Source.StreamNumber()};
        VideoKeys[Source.Serial()] = Key;
        if (auto Spare = SpareVideoReaders.Take(Key))
            return Spare;
        ++DecodersOpened;
        auto Reader = std::make_unique<TVideoFileReader>(Source.MediaName(), Source.StreamNumber());
        if (FramesKept > 0)
            Reader->SetFramesKept(FramesKept);
        return Reader;
    });
}

TAudioFileReader& TMediaRenderer::TState::AudioReader(const TMediaSource& Source,
                                                      const TMediaAudioFormat& Format) {
    if (auto Stale = AudioReaders.TakeStale(Source))
        SpareAudioReaders.Keep(AudioKeys[Source.Serial()], std::move(Stale));
    return AudioReaders.Get(Source, [&] {
        TAudioStreamKey Key{Source.MediaName(), StampOf(Source.MediaName()), Source.StreamNumber(),
                            Format.Channels, Format.SamplesPerSecond};
        AudioKeys[Source.Serial()] = Key;
        if (auto Spare = SpareAudioReaders.Take(Key))
            return Spare;
        ++DecodersOpened;
        return std::make_unique<TAudioFileReader>(Source.MediaName(), Source.StreamNumber(),
                                                  Format);
    });
}

TMediaRenderer::~TMediaRenderer() = default;

int32_t TMediaRenderer::OpenedDecoderCount() const {
    return F->DecodersOpened;
}

void TMediaRenderer::TimelineEdited() {
    std::set<uint64_t> Live;
    for (const auto& Group : F->Timeline.Groups())
        CollectSerials(*Group, Live);
    F->VideoReaders.Sweep(Live, [&](uint64_t Serial, std::unique_ptr<TVideoFileReader> Reader) {
        F->SpareVideoReaders.Keep(F->VideoKeys[Serial], std::move(Reader));
    });
    F->AudioReaders.Sweep(Live, [&](uint64_t Serial, std::unique_ptr<TAudioFileReader> Reader) {
        F->SpareAudioReaders.Keep(F->AudioKeys[Serial], std::move(Reader));
    });
    std::erase_if(F->VideoKeys, [&](const auto& Entry) { return !Live.count(Entry.first); });
    std::erase_if(F->AudioKeys, [&](const auto& Entry) { return !Live.count(Entry.first); });
    auto Forget = [](uint64_t, auto&&) {};
    F->Sources.Sweep(Live, Forget);
    F->VideoEffects.Sweep(Live, Forget);
    F->Transitions.Sweep(Live, Forget);
    F->AudioEffects.Sweep(Live, Forget);
}

void TMediaRenderer::Reset() {
    F->VideoReaders.Clear();
    F->AudioReaders.Clear();
    F->SpareVideoReaders.Clear();
    F->SpareAudioReaders.Clear();
    F->VideoKeys.clear();
    F->AudioKeys.clear();
    F->Sources.Clear();
    F->VideoEffects.Clear();
    F->Transitions.Clear();
    F->AudioEffects.Clear();
}

TVideoFrame& TMediaRenderer::TState::ScratchFrame(size_t Slot, const TMediaVideoFormat& Format) {
    if (Scratch.size() <= Slot)
        Scratch.resize(Slot + 1);
    TVideoFrame& Frame = Scratch[Slot];
    if (Frame.Width() != Format.Width || Frame.Height() != Format.Height)
        Frame.Resize(Format.Width, Format.Height);
    return Frame;
}

void TMediaRenderer::TState::RenderSource(const TMediaSource& Source, TVideoTime Time,
                                          const TMediaVideoFormat& Format, TVideoFrame& Out) {
    if (Out.Width() != Format.Width || Out.Height() != Format.Height)
        Out.Resize(Format.Width, Format.Height);
    if (!Source.IsPlainSource()) {
        auto& Component =
            Sources.Get(Source, [&] { return MediaComponents().MakeSource(Source, Format); });
        Component.Render(WhenAt(Source, Time), Out);
        return;
    }
    TVideoFileReader& Reader = VideoReader(Source);
    auto Fit = Source.StretchMode() == TMediaSource::PreserveAspectRatio
                   ? TVideoFileReader::TFit::KeepAspectRatio
                   : TVideoFileReader::TFit::Stretch;
    auto Frame = Reader.FrameAt(Source.MediaTimeAt(Time), Format.Width, Format.Height, Fit);
    std::memcpy(Out.Data(), Frame->Data(), size_t(Out.Stride()) * size_t(Out.Height()));
}

void TMediaRenderer::TState::ApplyVideoEffects(const TMediaLayer& Layer, TVideoTime Time,
                                               const TMediaVideoFormat& Format,
                                               TVideoFrame& Frame) {
    for (const auto& Effect : Layer.Effects()) {
        if (!Effect->Covers(Time))
            continue;
        auto& Component = VideoEffects.Get(
            *Effect, [&] { return MediaComponents().MakeVideoEffect(*Effect, Format); });
        Component.Apply(WhenAt(*Effect, Time), Frame);
    }
}

bool TMediaRenderer::TState::RenderTrack(const TMediaTrack& Track, TVideoTime Time,
                                         const TMediaVideoFormat& Format, TVideoFrame& Out) {
    const TMediaSource* Source = Track.SourceAt(Time);
    if (!Source || Track.Muted())
        return false;
    RenderSource(*Source, Time, Format, Out);
    return true;
}

bool TMediaRenderer::TState::RenderComposition(const TMediaComposition& Composition,
                                               TVideoTime Time, const TMediaVideoFormat& Format,
                                               size_t Depth, TVideoFrame& Out) {
    bool Any = false;
    for (const auto& Layer : Composition.Layers()) {
        TVideoFrame& Own = ScratchFrame(Depth * 2, Format);
        bool Has = RenderLayer(*Layer, Time, Format, Depth + 1, Own);
        const TMediaTransition* Transition = Layer->TransitionAt(Time);
        if (Transition) {
            // What lies beneath (A) and the layer itself (B); a missing side
            // is transparent.
            if (!Any)
                Out.Fill(0);
            if (!Has)
                Own.Fill(0);
            const TVideoFrame* A = &Out;
            const TVideoFrame* B = &Own;
            if (Transition->SwapInputs())
                std::swap(A, B);
            TVideoFrame& Combined = ScratchFrame(Depth * 2 + 1, Format);
            auto& Component = Transitions.Get(
                *Transition, [&] { return MediaComponents().MakeTransition(*Transition, Format); });
            Component.Combine(WhenAt(*Transition, Time), *A, *B, Combined);
            std::swap(Out, Combined);
            Any = true;
        } else if (Has) {
            // Without a transition a layer covers what lies beneath it.
            std::swap(Out, Own);
            Any = true;
        }
    }
    return Any;
}

bool TMediaRenderer::TState::RenderLayer(const TMediaLayer& Layer, TVideoTime Time,
                                         const TMediaVideoFormat& Format, size_t Depth,
                                         TVideoFrame& Out) {
    bool Has = Layer.Type() == TMediaNodeType::Track
                   ? RenderTrack(static_cast<const TMediaTrack&>(Layer), Time, Format, Out)
                   : RenderComposition(static_cast<const TMediaComposition&>(Layer), Time, Format,
                                       Depth, Out);
    if (Has)
        ApplyVideoEffects(Layer, Time, Format, Out);
    return Has;
}

TMediaRenderer::TState::TShows
TMediaRenderer::TState::ShownAt(const TMediaLayer& Layer, TVideoTime Time,
                                const TMediaSource*& Source) const {
    // Mirrors RenderLayer and RenderComposition: effects apply to whatever
    // the layer shows, and the last layer showing something covers those
    // before it. A key transition lays its layer over what lies beneath by
    // the layer's alpha, so an opaque picture covers it and an empty layer
    // leaves it showing: the same as no transition. Any other transition
    // combines.
    const TMediaTransition* Transition = Layer.TransitionAt(Time);
    if (Transition &&
        (Transition->SubObjectClassId() != MediaClassIds::KeyTransition() ||
         Transition->SwapInputs()))
        return TShows::Composited;
    TShows Shows = TShows::Nothing;
    if (Layer.Type() == TMediaNodeType::Track) {
        const auto& Track = static_cast<const TMediaTrack&>(Layer);
        const TMediaSource* Found = Track.Muted() ? nullptr : Track.SourceAt(Time);
        if (!Found)
            return TShows::Nothing;
        if (!Found->IsPlainSource())
            return TShows::Composited;
        Source = Found;
        Shows = TShows::Source;
    } else {
        const auto& Layers = static_cast<const TMediaComposition&>(Layer).Layers();
        for (auto It = Layers.rbegin(); It != Layers.rend() && Shows == TShows::Nothing; ++It)
            Shows = ShownAt(**It, Time, Source);
        if (Shows != TShows::Source)
            return Shows;
    }
    for (const auto& Effect : Layer.Effects())
        if (Effect->Covers(Time))
            return TShows::Composited;
    return Shows;
}

bool TMediaRenderer::PlainPictureAt(TVideoTime Time, AVFrame* Into) {
    const TMediaGroup* Group = F->Timeline.VideoGroup();
    const TMediaSource* Source = nullptr;
    if (!Group || F->ShownAt(*Group, Time, Source) != TState::TShows::Source)
        return false;
    TMediaVideoFormat Format = Group->VideoFormat();
    TVideoFileReader& Reader = F->VideoReader(*Source);
    auto Fit = Source->StretchMode() == TMediaSource::PreserveAspectRatio
                   ? TVideoFileReader::TFit::KeepAspectRatio
                   : TVideoFileReader::TFit::Stretch;
    return Reader.DecodedFrameAt(Source->MediaTimeAt(Time), Format.Width, Format.Height, Fit,
                                 Into);
}

void TMediaRenderer::RenderVideo(TVideoTime Time, TVideoFrame& Frame) {
    RenderVideo(Time, Frame, 0, 0);
}

void TMediaRenderer::RenderVideo(TVideoTime Time, TVideoFrame& Frame, int32_t Width,
                                 int32_t Height) {
    const TMediaGroup* Group = F->Timeline.VideoGroup();
    if (!Group) {
        Frame.Resize(0, 0);
        return;
    }
    TMediaVideoFormat Format = Group->VideoFormat();
    if (Width > 0 && Height > 0) {
        Format.Width = Width;
        Format.Height = Height;
    }
    if (!(Format == F->ComponentFormat)) {
        // Titles, pictures, effects and transitions lay themselves out for
        // the size they were made at; decoders scale to any size asked.
        F->Sources.Clear();
        F->VideoEffects.Clear();
        F->Transitions.Clear();
        F->ComponentFormat = Format;
    }
    if (Frame.Width() != Format.Width || Frame.Height() != Format.Height)
        Frame.Resize(Format.Width, Format.Height);
    if (F->RenderLayer(*Group, Time, Format, 0, Frame))
        FlattenOverBlack(Frame);
    else
        Frame.Fill(MakeColor(0, 0, 0));
}

void TMediaRenderer::TState::MixSource(const TMediaSource& Source, TVideoTime BlockStart,
                                       int32_t Frames, const TMediaAudioFormat& Format,
                                       float* Out) {
    int32_t Rate = Format.SamplesPerSecond;
    int64_t First = TimeToSample(BlockStart, Rate);
    int64_t From = std::max(First, TimeToSample(Source.Start(), Rate));
    int64_t To = std::min(First + Frames, TimeToSample(Source.Stop(), Rate));
    if (To <= From)
        return;
    TAudioFileReader& Reader = AudioReader(Source, Format);
    // The media sample that plays at the first sample of the overlap.
    int64_t MediaSample = TimeToSample(Source.MediaTimeAt(SampleToTime(From, Rate)), Rate);
    Reader.MixInto(MediaSample, static_cast<int32_t>(To - From), 1.0f,
                   Out + (From - First) * Format.Channels);
}

void TMediaRenderer::TState::ApplyAudioEffects(const TMediaLayer& Layer, TVideoTime BlockStart,
                                               int32_t Frames, const TMediaAudioFormat& Format,
                                               float* Samples) {
    TVideoTime BlockEnd = BlockStart + SampleToTime(Frames, Format.SamplesPerSecond);
    for (const auto& Effect : Layer.Effects()) {
        if (Effect->Stop() <= BlockStart || Effect->Start() >= BlockEnd)
            continue;
        auto& Component =
            AudioEffects.Get(*Effect, [&] { return MediaComponents().MakeAudioEffect(*Effect); });
        Component.Apply(BlockStart, Effect->Start(), Effect->Stop(), Format, Samples, Frames);
    }
}

void TMediaRenderer::TState::MixLayer(const TMediaLayer& Layer, TVideoTime BlockStart,
                                      int32_t Frames, const TMediaAudioFormat& Format, float* Out) {
    if (Layer.Muted())
        return;
    std::vector<float> Own(size_t(Frames) * size_t(Format.Channels), 0.0f);
    if (Layer.Type() == TMediaNodeType::Track) {
        for (const auto& Source : static_cast<const TMediaTrack&>(Layer).Sources())
            if (Source->IsPlainSource())
                MixSource(*Source, BlockStart, Frames, Format, Own.data());
    } else {
        for (const auto& Child : static_cast<const TMediaComposition&>(Layer).Layers())
            MixLayer(*Child, BlockStart, Frames, Format, Own.data());
    }
    ApplyAudioEffects(Layer, BlockStart, Frames, Format, Own.data());
    for (size_t I = 0; I < Own.size(); ++I)
        Out[I] += Own[I];
}

void TMediaRenderer::RenderAudio(TVideoTime Time, int32_t Frames, std::vector<float>& Samples) {
    const TMediaGroup* Group = F->Timeline.AudioGroup();
    int32_t Channels = Group ? Group->AudioFormat().Channels : 2;
    Samples.assign(size_t(std::max(Frames, 0)) * size_t(Channels), 0.0f);
    if (!Group || Frames <= 0)
        return;
    F->MixLayer(*Group, Time, Frames, Group->AudioFormat(), Samples.data());
}

void FloatToPcm(const std::vector<float>& Samples, int32_t BitsPerSample,
                std::vector<uint8_t>& Bytes) {
    int32_t Width = std::clamp(BitsPerSample / 8, 1, 4);
    Bytes.resize(Samples.size() * size_t(Width));
    uint8_t* Out = Bytes.data();
    double Scale = std::ldexp(1.0, Width * 8 - 1);
    for (float Sample : Samples) {
        double Clipped = std::clamp(double(Sample), -1.0, 1.0);
        auto Value = static_cast<int64_t>(std::lround(Clipped * Scale));
        Value = std::clamp<int64_t>(Value, -int64_t(Scale), int64_t(Scale) - 1);
        if (Width == 1) {
            *Out++ = uint8_t(Value + 128); // 8-bit PCM is unsigned
            continue;
        }
        for (int32_t B = 0; B < Width; ++B)
            *Out++ = uint8_t(uint64_t(Value) >> (8 * B));
    }
}
