// The media engine on a 1280x720, 30 frames per second timeline of three
// H.264 clips joined by two one-second cross-fades: frames per second of
// sequential playback, and the time of a random seek.

#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"
#include "test_media.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr TVideoTime FrameDuration = Second / 30;

struct TBenchTimeline {
    TTempFolder Folder;
    TMediaTimeline Timeline;
    TVideoTime Duration = 13 * Second;

    TBenchTimeline() {
        TTestVideoOptions Options;
        Options.Codec = "libx264";
        Options.Width = 1280;
        Options.Height = 720;
        Options.FramesPerSecondNum = 30;
        Options.FrameCount = 150; // 5 s
        Options.GopSize = 60;
        Options.MaxBFrames = 2;
        Options.Painter = NumberedFrames();
        for (const char* Name : {"a.mp4", "b.mp4", "c.mp4"})
            WriteTestVideo(Folder.Path(Name), Options);

        TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({1280, 720, FrameDuration}));
        auto* Composition = Video->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
        TMediaTrack* A = Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        TMediaTrack* B = Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        // A/B layout: the middle clip overlaps both neighbours by one second.
        Add(A, "a.mp4", 0);
        Add(B, "b.mp4", 4 * Second);
        Add(A, "c.mp4", 8 * Second);
        AddFade(B, 4 * Second, false);
        AddFade(B, 8 * Second, true); // fades from B back to A
    }

    void Add(TMediaTrack* Track, const char* Name, TVideoTime Start) {
        auto Source = std::make_unique<TMediaSource>();
        Source->SetMediaName(Folder.Path(Name));
        Source->SetStartStop(Start, Start + 5 * Second);
        Source->SetMediaTimes(0, 5 * Second);
        Track->SrcAdd(std::move(Source));
    }
    void AddFade(TMediaTrack* Track, TVideoTime Start, bool Swap) {
        auto Fade = std::make_unique<TMediaTransition>();
        Fade->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
        Fade->SetStartStop(Start, Start + Second);
        Fade->SetSwapInputs(Swap);
        Track->TransAdd(std::move(Fade));
    }
};

TBenchTimeline& Shared() {
    static TBenchTimeline Timeline;
    return Timeline;
}

void BM_SequentialPlayback(benchmark::State& State) {
    TBenchTimeline& Bench = Shared();
    TMediaRenderer Renderer(Bench.Timeline);
    TVideoFrame Frame;
    int64_t Frames = 0;
    for (auto _ : State) {
        for (TVideoTime T = 0; T < Bench.Duration; T += FrameDuration) {
            Renderer.RenderVideo(T, Frame);
            ++Frames;
        }
        benchmark::DoNotOptimize(Frame.Data());
    }
    State.counters["frames/s"] = benchmark::Counter(double(Frames), benchmark::Counter::kIsRate);
}

void BM_RandomSeek(benchmark::State& State) {
    TBenchTimeline& Bench = Shared();
    TMediaRenderer Renderer(Bench.Timeline);
    TVideoFrame Frame;
    std::mt19937 Random(7);
    int64_t FrameCount = Bench.Duration / FrameDuration;
    for (auto _ : State) {
        TVideoTime T = TVideoTime(Random() % uint32_t(FrameCount)) * FrameDuration;
        Renderer.RenderVideo(T, Frame);
        benchmark::DoNotOptimize(Frame.Data());
    }
    State.counters["seeks/s"] =
        benchmark::Counter(double(State.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_SequentialPlayback)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_RandomSeek)->Unit(benchmark::kMillisecond)->Iterations(40)->UseRealTime();

BENCHMARK_MAIN();
