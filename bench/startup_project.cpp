// Writes the large project the start-up benchmark opens: Clips clips (still
// pictures and titles, alternately, 2 s each) over five video tracks, with
// the still picture beside it.
//
//   startup_project FOLDER [CLIPS]     prints the project file's path

#include "large_project.h"
#include "project/project.h"
#include "project/project_defaults.h"
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
    std::filesystem::create_directories(Folder);
    const std::string Picture = Folder + "/still.png";
    WriteTestPicture(Picture, 64, 48, 0xFF3080C0);
    ProjectDefaults().SetBuiltIn();

    TRefPtr<TProject> Project = MakeRef<TProject>();
    FillLargeProject(*Project, Clips, Picture);
    const std::string File = Folder + "/large.qmp";
    Project->SaveToFile(File);
    std::printf("%s\n", File.c_str());
    return 0;
}
