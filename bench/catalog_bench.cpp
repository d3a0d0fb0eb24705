// The media catalogue over a folder of 200 short generated clips (2 s of 1280 x 720): files per
// second when every entry is built cold (probe, frame grab, cache write) and
// warm (from the thumbnail caches the cold pass wrote). The warm pass should
// be at least 20 times faster.

#include "platform/message_queue.h"
#include "project/clip_infos.h"
#include "test_media.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double FilesPerSecond(const std::vector<std::string>& Files, int32_t& Probes) {
    TMessageQueue Queue;
    TClipInfos Infos(Queue);
    auto Start = std::chrono::steady_clock::now();
    for (const std::string& File : Files)
        Infos.GetInfo(File);
    std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
    Probes = Infos.ProbeCount();
    return double(Files.size()) / Took.count();
}

} // namespace

int main() {
    TTempFolder Folder;
    TTestVideoOptions Options;
    // Two seconds of 720p with a keyframe a second, the smallest of what a
    // camera gives.
    Options.FrameCount = 50;
    Options.GopSize = 25;
    Options.Width = 1280;
    Options.Height = 720;
    Options.Painter = NumberedFrames();
    std::string First = Folder.Path("clip000.avi");
    WriteTestVideo(First, Options);
    std::vector<std::string> Files{First};
    for (int I = 1; I < 200; ++I) {
        char Name[32];
        std::snprintf(Name, sizeof Name, "clip%03d.avi", I);
        Options.Painter = SolidColor(uint8_t(I), uint8_t(255 - I), 128);
        WriteTestVideo(Folder.Path(Name), Options);
        Files.push_back(Folder.Path(Name));
    }
    int32_t ColdProbes = 0, WarmProbes = 0;
    double Cold = FilesPerSecond(Files, ColdProbes);
    double Warm = FilesPerSecond(Files, WarmProbes);
    std::printf("catalogue of %zu clips: cold %.1f files/s (%d probed), warm %.1f files/s (%d probed), "
                "warm/cold %.1fx\n",
                Files.size(), Cold, ColdProbes, Warm, WarmProbes, Warm / Cold);
    return Warm >= 20 * Cold ? 0 : 1;
}
