// Writes the large project the start-up benchmark opens: Clips clips (still
// pictures and titles, alternately, 2 s each) over five video tracks, with
// the still picture beside it.
//
//   startup_project FOLDER [CLIPS]     prints the project file's path

#include "core/video_time.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "render/timeline.h"
#include "test_media.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int Count, char** Arguments) {
    if (Count < 2) {
        std::fprintf(stderr, "usage: startup_project FOLDER [CLIPS]\n");
        return 2;
    }
    const std::string Folder = Arguments[1];
    const int32_t Clips = Count > 2 ? std::atoi(Arguments[2]) : 1000;
    constexpr int32_t TrackCount = 5;
    constexpr TVideoTime Second = VideoTimeUnitsPerSecond;
    std::filesystem::create_directories(Folder);
    const std::string Picture = Folder + "/still.png";
    WriteTestPicture(Picture, 64, 48, 0xFF3080C0);
    ProjectDefaults().SetBuiltIn();
    const int32_t TitleStyle = DescriptionRegistry().Titles().Description(1)->Index();

    TRefPtr<TProject> Project = MakeRef<TProject>();
    {
        TTimelineUpdateGuard Bracket(Project->Timeline());
        for (int32_t T = 0; T < TrackCount; ++T) {
            TRefPtr<TTrack> Track = MakeRef<TTrack>(TTrackKind::Video);
            Project->InsertTrack(Track.Get(), T);
            for (int32_t I = 0; I < Clips / TrackCount; ++I) {
                TVideoTime At = I * 2 * Second;
                TRefPtr<TTrackItem> Item = I % 2 == 0 ? TRefPtr<TTrackItem>(MakeRef<TFileClip>(At, Picture))
                                                      : MakeRef<TTitleClip>(2 * Second, At, TitleStyle);
                Item->SetDuration(2 * Second);
                Track->InsertItem(Item.Get(), Track->ItemCount());
            }
            Track->Normalize(false);
        }
    }
    const std::string File = Folder + "/large.qmp";
    Project->SaveToFile(File);
    std::printf("%s\n", File.c_str());
    return 0;
}
