// Loading and saving data documents the size of very large projects.
// Each run reports entries per second; the complexity fit over 10k, 100k
// and 1M entries shows that the cost grows linearly with the size.

#include "core/data.h"
#include "core/global_memory_stream.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// A document shaped like a project: items of ten entries each, in lists.
void FillDocument(TData& Data, int64_t Entries) {
    int64_t Items = Entries / 10;
    TDataSection Project(Data, "Project");
    TDataSection Tracks(Data, "Items");
    Data.WriteInteger("Count", static_cast<int32_t>(Items));
    for (int64_t I = 0; I < Items; ++I) {
        TDataSection Item(Data, ListItemName("Item[", static_cast<int32_t>(I)));
        Data.WriteInteger("Type", 1);
        Data.WriteInt64("Start", I * 50000000);
        Data.WriteInt64("Duration", 50000000);
        Data.WriteString("FileName", "<My Video>\\holiday/clip " + std::to_string(I) + ".avi");
        Data.WriteBool("IsSelected", false);
        Data.WriteFloat("Volume", 100.0);
        Data.WriteColor("Color", 0xFF204080);
    }
}

std::string DocumentText(int64_t Entries) {
    TData Data;
    FillDocument(Data, Entries);
    return Data.SaveToText();
}

void SetEntryCounters(benchmark::State& State) {
    State.counters["entries/s"] =
        benchmark::Counter(double(State.range(0)), benchmark::Counter::kIsIterationInvariantRate);
    State.SetComplexityN(State.range(0));
}

void BM_LoadText(benchmark::State& State) {
    std::string Text = DocumentText(State.range(0));
    for (auto _ : State) {
        TData Data;
        Data.LoadFromText(Text);
        benchmark::DoNotOptimize(Data.Root());
    }
    SetEntryCounters(State);
}

void BM_SaveText(benchmark::State& State) {
    TData Data;
    FillDocument(Data, State.range(0));
    for (auto _ : State) {
        std::string Text = Data.SaveToText();
        benchmark::DoNotOptimize(Text.data());
    }
    SetEntryCounters(State);
}

void BM_SaveAndLoadFile(benchmark::State& State) {
    TData Data;
    FillDocument(Data, State.range(0));
    std::string File = "/tmp/quillmoor-bench-" + std::to_string(::getpid()) + ".qmp";
    for (auto _ : State) {
        Data.SaveToFile(File);
        TData Loaded;
        Loaded.LoadFromFile(File);
        benchmark::DoNotOptimize(Loaded.Root());
    }
    std::remove(File.c_str());
    SetEntryCounters(State);
}

void BM_BinaryRoundTrip(benchmark::State& State) {
    TData Data;
    FillDocument(Data, State.range(0));
    for (auto _ : State) {
        TGlobalMemoryStream Stream;
        Data.SaveToStream(Stream);
        Stream.Seek(0, TSeekOrigin::Beginning);
        TData Loaded;
        Loaded.LoadFromStream(Stream);
        benchmark::DoNotOptimize(Loaded.Root());
    }
    SetEntryCounters(State);
}

} // namespace

BENCHMARK(BM_LoadText)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SaveText)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SaveAndLoadFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_BinaryRoundTrip)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
