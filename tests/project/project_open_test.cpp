#include "core/file_io.h"
#include "editing_fixture.h"

namespace {

class ProjectOpenTest : public EditingTest {
protected:
    // A stored project of three titles joined by two transitions, its
    // middle title squeezed so that the transitions overlap: it reads, but
    // the engine refuses to build it.
    std::string DamagedProjectFile() {
        TRefPtr<TProject> Source{new TProject};
        Source->New();
        TTrack* Track = Source->Track(0);
        auto Title = [&](TVideoTime At) {
            Track->InsertItem(new TTitleClip(3 * Second, At, FirstTitleStyle()),
                              Track->ItemCount());
            Track->Normalize(false);
        };
        Title(0);
        Title(3 * Second);
        JoinLast(Track, Second);
        Title(5 * Second);
        JoinLast(Track, Second);
        std::string Text = ProjectText(*Source);
        for (auto [From, To] : {std::pair<std::string, std::string>{"Duration = 30000000",
                                                                    "Duration = 15000000"},
                                {"Position = 40000000", "Position = 25000000"},
                                {"Position = 40000000", "Position = 25000000"}}) {
            size_t At = Text.find(From, Text.find("Item[2]"));
            EXPECT_NE(At, std::string::npos) << From;
            if (At != std::string::npos)
                Text.replace(At, From.size(), To);
        }
        std::string File = Folder.Path("damaged.qmp");
        WriteFileAtomically(File, Text);
        return File;
    }
};

TEST_F(ProjectOpenTest, AProjectThatCannotBeBuiltLeavesTheOpenOneAsItWas) {
    std::string Damaged = DamagedProjectFile();
    PlaceTitle(VideoTrack(), 0, 2 * Second)->ApplyContent("Mine", {}, {});
    std::string Saved = Folder.Path("mine.qmp");
    Project->SaveToFile(Saved);
    VideoTrack()->InsertTitle(TKeepTransitions::Neither, {}, {}, "Later", FirstTitleStyle(), Second,
                              5 * Second);
    std::string Before = ProjectText(*Project);
    std::string Engine = EngineText(Project->Timeline());
    int32_t Steps = UndoHistory().Count();
    EXPECT_ANY_THROW(Project->LoadFromFile(Damaged));
    EXPECT_EQ(ProjectText(*Project), Before);
    EXPECT_EQ(EngineText(Project->Timeline()), Engine);
    EXPECT_EQ(Project->FileName(), Saved);
    EXPECT_TRUE(Project->Modified());
    EXPECT_EQ(UndoHistory().Count(), Steps);
    // The edit can still be undone.
    UndoHistory().Undo();
    EXPECT_EQ(VideoTrack()->ItemCount(), 1);
}

TEST_F(ProjectOpenTest, OpeningReplacesTheProjectWithWhatTheFileHolds) {
    PlaceTitle(VideoTrack(), 0, 2 * Second)->ApplyContent("Stored", {}, {});
    PlaceFile(VideoTrack(), Picture("p.png"), 3 * Second);
    Project->SetPosition(Second);
    std::string File = Folder.Path("stored.qmp");
    Project->SaveToFile(File);
    std::string Stored = ProjectText(*Project);
    std::string Engine = EngineText(Project->Timeline());
    Project->New();
    Project->Track(1)->InsertTitle(TKeepTransitions::Neither, {}, {}, "Other", FirstTitleStyle(), Second, 0);
    Project->LoadFromFile(File);
    EXPECT_EQ(ProjectText(*Project), Stored);
    EXPECT_EQ(EngineText(Project->Timeline()), Engine);
    EXPECT_EQ(Project->Position(), Second);
    EXPECT_EQ(Project->FileName(), File);
    EXPECT_FALSE(Project->Modified());
    EXPECT_EQ(UndoHistory().Count(), 0);
    EXPECT_TRUE(EngineMatchesFresh());
}

} // namespace
