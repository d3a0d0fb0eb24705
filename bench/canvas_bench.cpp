// The canvas's hot paths on a 1920x1080 raster: composing a full-raster
// translucent picture, stretching a 1280x720 picture to the whole raster,
// and drawing 1000 lines of text, each reported in megapixels per second.
// The blend is then compared with a plain memcpy of the same bytes, the
// floor no blend can go below.

#include "canvas/pixels.h"
#include "canvas/text_attr.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t Width = 1920, Height = 1080;

TPixels Picture(int32_t W, int32_t H, bool Translucent) {
    TPixels Pixels(W, H);
    for (int32_t Y = 0; Y < H; ++Y) {
        TPixel* Row = Pixels.RowPixels(Y);
        for (int32_t X = 0; X < W; ++X)
            Row[X] = uint32_t(X * 7 + Y) | uint32_t(Y * 3) << 8 | uint32_t(X ^ Y) << 16 |
                     uint32_t(Translucent ? (X + Y) & 255 : 255) << 24;
    }
    return Pixels;
}

void SetRate(benchmark::State& State, double PixelsPerIteration) {
    State.counters["MPix/s"] =
        benchmark::Counter(PixelsPerIteration / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ComposeFullRaster(benchmark::State& State) {
    TPixels Target = Picture(Width, Height, false);
    TPixels Source = Picture(Width, Height, true);
    for (auto _ : State) {
        Target.Compose(0, 0, Source);
        benchmark::DoNotOptimize(Target.TopRow());
    }
    SetRate(State, double(Width) * Height);
}
BENCHMARK(BM_ComposeFullRaster)->Unit(benchmark::kMillisecond);

void BM_MemcpyFullRaster(benchmark::State& State) {
    TPixels Target = Picture(Width, Height, false);
    TPixels Source = Picture(Width, Height, true);
    for (auto _ : State) {
        std::memcpy(Target.Buffer(), Source.Buffer(), Source.BufferSize());
        benchmark::DoNotOptimize(Target.TopRow());
    }
    SetRate(State, double(Width) * Height);
}
BENCHMARK(BM_MemcpyFullRaster)->Unit(benchmark::kMillisecond);

void BM_Stretch720To1080(benchmark::State& State) {
    TPixels Target(Width, Height);
    TPixels Source = Picture(1280, 720, State.range(1) != 0);
    auto Smooth = State.range(0) ? TSmooth::Yes : TSmooth::No;
    for (auto _ : State) {
        Target.StretchFrom({0, 0, Width, Height}, Source, Smooth);
        benchmark::DoNotOptimize(Target.TopRow());
    }
    SetRate(State, double(Width) * Height);
}
BENCHMARK(BM_Stretch720To1080)->ArgNames({"smooth", "translucent"})->Args({0, 0})->Args({1, 0})->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

void BM_ThousandLinesOfText(benchmark::State& State) {
    TPixels Target(Width, Height);
    Target.FillAll(AlphaColor(0xFFFFFF, 255));
    TTextAttr Attr;
    Attr.FontName = "Arial";
    Attr.Height = -13;
    auto Smooth = State.range(0) ? TSmooth::Yes : TSmooth::No;
    std::vector<std::string> Lines;
    for (int I = 0; I < 1000; ++I)
        Lines.push_back("Line " + std::to_string(I) + ": the quick brown fox jumps over the lazy dog, 0123456789");
    TTextInfo Info;
    MeasureText(Lines[0], Attr, TTextMode::Plain, Info);
    int32_t LineHeight = Info.LineHeight;
    double Area = 0;
    for (const auto& Line : Lines)
        Area += double(TextExtent(Line, Attr).Width()) * LineHeight;
    for (auto _ : State) {
        for (int I = 0; I < 1000; ++I)
            Target.DrawText((I / 70) * 130 % 1400, (I % 70) * 15, Smooth, AlphaColor(0x202020, 255), Attr, Lines[size_t(I)]);
        benchmark::DoNotOptimize(Target.TopRow());
    }
    SetRate(State, Area);
}
BENCHMARK(BM_ThousandLinesOfText)->ArgName("smooth")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Best of a few runs, in seconds.
template <class TWork>
double BestTime(TWork&& Work) {
    double Best = 1e9;
    for (int Run = 0; Run < 15; ++Run) {
        auto Start = std::chrono::steady_clock::now();
        Work();
        Best = std::min(Best, std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count());
    }
    return Best;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    TPixels Target = Picture(Width, Height, false);
    TPixels Source = Picture(Width, Height, true);
    double Blend = BestTime([&] { Target.Compose(0, 0, Source); });
    double Copy = BestTime([&] { std::memcpy(Target.Buffer(), Source.Buffer(), Source.BufferSize()); });
    std::printf("full-raster compose: %.1f MPix/s, memcpy: %.1f MPix/s, compose takes %.1f x memcpy's time\n",
                Width * Height / Blend / 1e6, Width * Height / Copy / 1e6, Blend / Copy);
    return 0;
}
