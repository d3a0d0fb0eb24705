// The transforms at 1280x720: frames per second of every transition kind
// and every video effect, moving through their range as in playback. The
// wipes' masks are made before timing starts, as a cache would hold them
// while a transition plays.

#include "platform/media/media_components.h"
#include "platform/media/media_timeline.h"
#include "platform/media/property_setter.h"
#include "platform/media/transform_components.h"
#include "platform/media/video_frame.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int32_t Width = 1280, Height = 720;
constexpr TVideoTime Second = 10000000;
const TMediaVideoFormat Format{Width, Height, Second / 30};

// A picture with detail and full opacity, like decoded video.
TVideoFrame Picture(uint8_t Seed) {
    TVideoFrame Frame(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y) {
        uint8_t* P = Frame.Row(Y);
        for (int32_t X = 0; X < Width; ++X, P += 4) {
            P[0] = uint8_t(X + Seed);
            P[1] = uint8_t(Y * 3 + Seed);
            P[2] = uint8_t((X ^ Y) + Seed);
            P[3] = 255;
        }
    }
    return Frame;
}

TPropertySetter Values(std::vector<std::pair<std::string, std::string>> Pairs) {
    TPropertySetter Result;
    for (const auto& [Name, Value] : Pairs)
        Result.SetValue(Name, Value);
    return Result;
}

template <class TNode>
std::unique_ptr<TNode> Node(const TGuid& Id, TPropertySetter Properties) {
    auto Result = std::make_unique<TNode>();
    Result->SetSubObjectClassId(Id);
    Result->SetStartStop(0, Second);
    Result->SetProperties(std::move(Properties));
    return Result;
}

// Successive frames of a one-second range, round and round.
TComponentTime Next(int64_t& Frame) {
    TVideoTime Time = (Frame++ % 30) * Second / 30;
    return {Time, 0, Second};
}

void Transition(benchmark::State& State, const TGuid& Id, TPropertySetter Properties) {
    auto Owner = Node<TMediaTransition>(Id, std::move(Properties));
    auto Component = MediaComponents().MakeTransition(*Owner, Format);
    TVideoFrame A = Picture(0), B = Picture(97), Output(Width, Height);
    int64_t Frame = 0;
    for (int32_t I = 0; I < 30; ++I) // warm up: masks, tables
        Component->Combine(Next(Frame), A, B, Output);
    for (auto _ : State) {
        Component->Combine(Next(Frame), A, B, Output);
        benchmark::DoNotOptimize(Output.Data());
    }
    State.counters["fps"] =
        benchmark::Counter(double(State.iterations()), benchmark::Counter::kIsRate);
}

void Effect(benchmark::State& State, const TGuid& Id, TPropertySetter Properties) {
    auto Owner = Node<TMediaEffect>(Id, std::move(Properties));
    auto Component = MediaComponents().MakeVideoEffect(*Owner, Format);
    // Effects work in place; applied to their own result over and over,
    // since their cost does not depend on the picture.
    TVideoFrame Frame = Picture(11);
    int64_t Count = 0;
    for (auto _ : State) {
        Component->Apply(Next(Count), Frame);
        benchmark::DoNotOptimize(Frame.Data());
    }
    State.counters["fps"] =
        benchmark::Counter(double(State.iterations()), benchmark::Counter::kIsRate);
}

void Wipe(benchmark::State& State) {
    auto Code = std::to_string(State.range(0));
    Transition(State, TransformClassIds::Wipe(),
               Values({{"MaskNum", Code}, {"BorderSoftness", std::to_string(State.range(1))}}));
}

void RegisterAll() {
    using namespace TransformClassIds;
    // One code of each family, hard and soft edged.
    for (int64_t Code : {1, 23, 41, 61, 119, 128, 201, 245, 301, 310, 409})
        for (int64_t Softness : {0, 64})
            benchmark::RegisterBenchmark(
                ("Wipe/" + std::to_string(Code) + "/softness:" + std::to_string(Softness)).c_str(),
                Wipe)
                ->Args({Code, Softness});
    for (const char* Style : {"hide", "push", "swap"})
        benchmark::RegisterBenchmark((std::string("Slide/") + Style).c_str(),
                                     [Style](benchmark::State& S) {
                                         Transition(S, Slide(), Values({{"slideStyle", Style}}));
                                     });
    for (const char* Style : {"spin", "hide", "push"})
        benchmark::RegisterBenchmark(
            (std::string("Stretch/") + Style).c_str(), [Style](benchmark::State& S) {
                Transition(S, Stretch(), Values({{"stretchStyle", Style}}));
            });
    benchmark::RegisterBenchmark("PixelateTransition", [](benchmark::State& S) {
        Transition(S, Pixelate(), Values({{"MaxSquare", "50"}}));
    });

    const std::pair<const char*, std::pair<const TGuid*, TPropertySetter>> Effects[] = {
        {"Emboss", {&Emboss(), {}}},
        {"Engrave", {&Engrave(), {}}},
        {"Image/Mirror", {&BasicImage(), Values({{"Mirror", "True"}})}},
        {"Image/Rotation2", {&BasicImage(), Values({{"Rotation", "2"}})}},
        {"Image/Rotation1", {&BasicImage(), Values({{"Rotation", "1"}})}},
        {"Image/Grayscale", {&BasicImage(), Values({{"Grayscale", "True"}})}},
        {"PixelateEffect/20", {&Pixelate(), Values({{"MaxSquare", "20"}, {"Progress", "1.0"}})}},
        {"PixelateEffect/50", {&Pixelate(), Values({{"MaxSquare", "50"}})}},
        {"AlphaRamp", {&AlphaRamp(), Values({{"AlphaRamp", "0.5"}})}},
        {"ColourFade", {&ColourFade(), Values({{"Progress", "0.4"}, {"color", "-1"}})}},
        {"ColourAdjust/Brightness", {&ColourAdjust(), Values({{"brightness", "32"}})}},
        {"ColourAdjust/All",
         {&ColourAdjust(), Values({{"brightness", "-32"},
                                   {"contrast", "32"},
                                   {"saturation", "32"},
                                   {"gamma", "1.2"}})}},
    };
    for (const auto& [Name, Setup] : Effects) {
        const TGuid* Id = Setup.first;
        TPropertySetter Properties = Setup.second;
        benchmark::RegisterBenchmark(
            Name, [Id, Properties](benchmark::State& S) { Effect(S, *Id, Properties); });
    }
}

} // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
