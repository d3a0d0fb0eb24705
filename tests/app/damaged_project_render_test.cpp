#include "app/application.h"
#include "app/command_line_render.h"
#include "app/demo_project.h"
#include "core/ref_object.h"
#include "platform/media/media_probe.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/track.h"
#include "test_media.h"
#include "render/render.h"
#include "render/timeline.h"
#include "tests/core/temp_directory.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr TVideoTime Second = 10000000;
// The demo runs 10 s; no mutated copy of it may render for longer than this.
constexpr TVideoTime LongestSaneRender = 15 * Second;

struct TProjectWithRender {
    TRefPtr<TProject> Project{new TProject};
    TRender Render{Project->Timeline()};
    TProjectWithRender() { Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering); }
};

struct TOutput {
    int Code;
    std::string Errors;
};

TOutput RenderFromCommandLine(const std::vector<std::string>& Arguments) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int Code = RunApplication(Arguments);
    testing::internal::GetCapturedStdout();
    return {Code, testing::internal::GetCapturedStderr()};
}

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::istringstream In(Text);
    for (std::string Line; std::getline(In, Line);)
        Result.push_back(Line);
    return Result;
}

void WriteLines(const std::string& FileName, const std::vector<std::string>& Lines) {
    std::ofstream Out(FileName, std::ios::binary);
    for (const std::string& Line : Lines)
        Out << Line << '\n';
}

bool Contains(const std::string& Line, const std::string& Part) {
    return Line.find(Part) != std::string::npos;
}

// The demo's media and its project file, made once for every test here.
class DamagedProject : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Media = new TTempDirectory;
        MakeDemoMedia(Media->Path());
        TProjectWithRender Saved;
        BuildDemoProject(*Saved.Project, Media->Path());
        Saved.Project->SaveToFile(Media->File("Demo.qmp"));
        std::ifstream In(Media->File("Demo.qmp"), std::ios::binary);
        std::ostringstream Text;
        Text << In.rdbuf();
        ProjectLines = new std::vector<std::string>(Lines(Text.str()));
    }
    static void TearDownTestSuite() {
        delete ProjectLines;
        delete Media;
    }

    static TTempDirectory* Media;
    static std::vector<std::string>* ProjectLines;
    TTempDirectory Folder;
};

TTempDirectory* DamagedProject::Media = nullptr;
std::vector<std::string>* DamagedProject::ProjectLines = nullptr;

// Regression: the second transition stored at the largest 64-bit time and the
// next clip's position missing loaded as a 100-hour project, and an MP3
// render of it was still at 10 % after two minutes.
TEST_F(DamagedProject, AnItemBeyondTheUnlimitedTimeIsLeftOutAndTheRenderEndsWithTheClips) {
    std::vector<std::string> Mutated = *ProjectLines;
    size_t Transitions = 0;
    size_t Line = 0;
    for (; Line < Mutated.size(); ++Line)
        if (Contains(Mutated[Line], "Type = Transition") && ++Transitions == 2)
            break;
    ASSERT_EQ(Transitions, 2u);
    for (; !Contains(Mutated[Line], "Position = "); ++Line) {}
    Mutated[Line] = "          Position = 9223372036854775807";
    for (; !Contains(Mutated[Line], "Type = FileClip"); ++Line) {}
    for (; !Contains(Mutated[Line], "Position = "); ++Line) {}
    Mutated.erase(Mutated.begin() + std::ptrdiff_t(Line));
    const std::string ProjectFile = Folder.File("damaged.qmp");
    WriteLines(ProjectFile, Mutated);

    TProjectWithRender Loaded;
    Loaded.Project->LoadFromFile(ProjectFile);
    ASSERT_EQ(Loaded.Project->LoadProblems().size(), 1u);
    EXPECT_TRUE(Contains(Loaded.Project->LoadProblems()[0], "Transition"))
        << Loaded.Project->LoadProblems()[0];
    ASSERT_LE(Loaded.Project->Timeline().GetDuration(), LongestSaneRender);

    const std::string Output = Folder.File("damaged.mp3");
    TOutput Run = RenderFromCommandLine({ProjectFile, "/RENDER:" + Output, "/KIND:MP3"});
    ASSERT_EQ(Run.Code, RenderExitWritten) << Run.Errors;
    EXPECT_TRUE(Contains(Run.Errors, Loaded.Project->LoadProblems()[0])) << Run.Errors;
    TMediaInfo Info = ProbeMedia(Output);
    EXPECT_GT(Info.Duration, 5 * Second);
    EXPECT_LE(Info.Duration, LongestSaneRender);
}

// Mutated copies of the demo's project (lines lost, doubled or cut short,
// numbers replaced by extremes) load, and render from the command line in a
// bounded time: written, or failed with a reason and no file left.
TEST_F(DamagedProject, MutatedProjectsLoadAndRenderOrFailCleanly) {
    const std::vector<std::string> Extremes = {
        "9223372036854775807", "-9223372036854775808", "576460752303423488", "-1", "0",
        "1", "4611686018427387904", "nan", "1e308", "'", ""};
    std::mt19937 Random(25);
    for (int Round = 0; Round < 12; ++Round) {
        std::vector<std::string> Mutated = *ProjectLines;
        for (int Change = 0; Change < 4; ++Change) {
            size_t Line = Random() % Mutated.size();
            switch (Random() % 4) {
            case 0:
                Mutated.erase(Mutated.begin() + std::ptrdiff_t(Line));
                break;
            case 1:
                Mutated.insert(Mutated.begin() + std::ptrdiff_t(Line), Mutated[Line]);
                break;
            case 2:
                if (size_t Equals = Mutated[Line].find(" = "); Equals != std::string::npos)
                    Mutated[Line] = Mutated[Line].substr(0, Equals + 3) +
                                    Extremes[Random() % Extremes.size()];
                break;
            default:
                Mutated[Line] = Mutated[Line].substr(0, Random() % (Mutated[Line].size() + 1));
                break;
            }
        }
        const std::string Name = "mutated" + std::to_string(Round);
        const std::string ProjectFile = Folder.File(Name + ".qmp");
        const std::string Output = Folder.File(Name + ".mp3");
        WriteLines(ProjectFile, Mutated);
        SCOPED_TRACE(ProjectFile);

        TProjectWithRender Loaded;
        try {
            Loaded.Project->LoadFromFile(ProjectFile);
        } catch (const std::exception&) {
            continue; // refused with a reason: nothing to render
        }
        ASSERT_LE(Loaded.Project->Timeline().GetDuration(), LongestSaneRender);
        TOutput Run = RenderFromCommandLine({ProjectFile, "/RENDER:" + Output, "/KIND:MP3"});
        if (Run.Code == RenderExitWritten) {
            EXPECT_LE(ProbeMedia(Output).Duration, LongestSaneRender);
        } else {
            EXPECT_EQ(Run.Code, RenderExitFailed);
            EXPECT_FALSE(Run.Errors.empty());
            EXPECT_FALSE(std::filesystem::exists(Output));
        }
    }
}

// Media that cannot be used do not stop a render, but each file is named with
// its reason: in a warning before the render, and in the error when nothing
// renderable is left.
TEST_F(DamagedProject, UnavailableMediaAreNamedWithTheirReason) {
    const std::string Missing = Folder.File("missing.wav");
    const std::string Empty = Folder.File("empty.wav");
    const std::string Garbage = Folder.File("garbage.mp4");
    const std::string Truncated = Folder.File("truncated.wav");
    std::ofstream(Empty).close();
    WriteGarbageFile(Garbage, 4096, 7);
    // Cut inside the header: what is left names no stream.
    WriteTruncatedCopy(Media->File("tone.wav"), Truncated,
                       20.0 / double(std::filesystem::file_size(Media->File("tone.wav"))));

    auto SaveWith = [&](const std::vector<std::string>& Files, const std::string& Name) {
        TProjectWithRender Saved;
        Saved.Project->New();
        TTrack* Sound = nullptr;
        for (int32_t I = 0; I < Saved.Project->TrackCount(); ++I)
            if (Saved.Project->Track(I)->Kind() == TTrackKind::Music)
                Sound = Saved.Project->Track(I);
        EXPECT_NE(Sound, nullptr);
        TVideoTime Position = 0;
        for (const std::string& File : Files)
            Position = Sound->InsertFile(TKeepTransitions::Neither, File, Position)->End();
        Saved.Project->SaveToFile(Folder.File(Name));
        return Folder.File(Name);
    };

    TOutput Nothing = RenderFromCommandLine(
        {SaveWith({Missing, Empty, Garbage, Truncated}, "nothing.qmp"),
         "/RENDER:" + Folder.File("nothing.mp3"), "/KIND:MP3"});
    EXPECT_EQ(Nothing.Code, RenderExitFailed);
    EXPECT_TRUE(Contains(Nothing.Errors, "\"" + Missing + "\": not found")) << Nothing.Errors;
    EXPECT_TRUE(Contains(Nothing.Errors, "\"" + Empty + "\": not a media file")) << Nothing.Errors;
    EXPECT_TRUE(Contains(Nothing.Errors, "\"" + Garbage + "\": not a media file"))
        << Nothing.Errors;
    EXPECT_TRUE(Contains(Nothing.Errors, "\"" + Truncated + "\": not a media file"))
        << Nothing.Errors;
    EXPECT_FALSE(std::filesystem::exists(Folder.File("nothing.mp3")));

    TOutput Gap = RenderFromCommandLine(
        {SaveWith({Media->File("tone.wav"), Missing}, "gap.qmp"),
         "/RENDER:" + Folder.File("gap.mp3"), "/KIND:MP3"});
    EXPECT_EQ(Gap.Code, RenderExitWritten) << Gap.Errors;
    EXPECT_TRUE(Contains(Gap.Errors, "\"" + Missing + "\": not found")) << Gap.Errors;
    EXPECT_FALSE(Contains(Gap.Errors, "tone.wav")) << Gap.Errors;
}

} // namespace
