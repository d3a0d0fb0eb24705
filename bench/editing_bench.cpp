// Editing large projects: 1 000, 3 000 and 10 000 clips (still pictures and
// titles, alternately) spread over five video tracks. For each size it
// prints the time of inserting a title at the front of the first track, of
// splitting the middle still of that track, of undoing and redoing each, and
// of saving and loading the project, with each time's growth against the
// smallest size. Every operation is one undo step that rebuilds the engine
// nodes it touches.
//
//   editing_bench [FOLDER]

#include "core/data.h"
#include "core/video_time.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/undo_history.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "render/timeline.h"
#include "large_project.h"
#include "test_media.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;
constexpr int32_t TrackCount = LargeProjectTrackCount;

double Milliseconds(const std::function<void()>& Work) {
    auto Start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start)
        .count();
}

int32_t TitleStyle() {
    return DescriptionRegistry().Titles().Description(1)->Index();
}

struct TTimes {
    double Insert, InsertUndo, InsertRedo, Split, SplitUndo, SplitRedo, Save, Load;
};

TTimes Measure(int32_t Clips, const std::string& Folder, const std::string& Picture) {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    FillLargeProject(*Project, Clips, Picture);
    TTrack* First = Project->Track(0);
    TUndoHistory& History = UndoHistory();
    TTimes Times{};
    Times.Insert = Milliseconds(
        [&] { First->InsertTitle(TKeepTransitions::Neither, {}, {}, "Front", TitleStyle(), Second, 0); });
    Times.InsertUndo = Milliseconds([&] { History.Undo(); });
    Times.InsertRedo = Milliseconds([&] { History.Redo(); });
    int32_t Middle = First->ItemCount() / 2;
    while (!dynamic_cast<TFileClip*>(First->Item(Middle)))
        ++Middle;
    auto* Still = static_cast<TFileClip*>(First->Item(Middle));
    Times.Split = Milliseconds([&] { First->SplitClip(Still, Still->Position() + Second); });
    Times.SplitUndo = Milliseconds([&] { History.Undo(); });
    Times.SplitRedo = Milliseconds([&] { History.Redo(); });
    std::string File = Folder + "/bench.qmp";
    Times.Save = Milliseconds([&] { Project->SaveToFile(File); });
    TRefPtr<TProject> Opened = MakeRef<TProject>();
    Times.Load = Milliseconds([&] { Opened->LoadFromFile(File); });
    History.ClearUndo();
    return Times;
}

} // namespace

int main(int Count, char** Arguments) {
    std::string Folder = Count > 1 ? Arguments[1] : std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(Folder);
    std::string Picture = Folder + "/bench-still.png";
    WriteTestPicture(Picture, 64, 48, 0xFF3080C0);
    ProjectDefaults().SetBuiltIn();

    const std::vector<int32_t> Sizes{1000, 3000, 10000};
    std::vector<TTimes> Results;
    for (int32_t Clips : Sizes)
        Results.push_back(Measure(Clips, Folder, Picture));

    const char* Names[] = {"insert at front", "  undo", "  redo", "split in the middle",
                           "  undo", "  redo", "save", "load"};
    std::printf("%-22s", "milliseconds");
    for (int32_t Clips : Sizes)
        std::printf("%12d", Clips);
    std::printf("%14s\n", "10000/1000");
    for (size_t Row = 0; Row < 8; ++Row) {
        std::printf("%-22s", Names[Row]);
        auto At = [&](const TTimes& T) { return (&T.Insert)[Row]; };
        for (const TTimes& T : Results)
            std::printf("%12.2f", At(T));
        std::printf("%13.1fx\n", At(Results.back()) / std::max(At(Results.front()), 1e-3));
    }
    std::filesystem::remove(Picture);
    std::filesystem::remove(Folder + "/bench.qmp");
    return 0;
}
