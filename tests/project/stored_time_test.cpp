// Times read from a project file are untrusted: an item whose stored end lies
// beyond the unlimited time is damaged and left out, while large times below
// it are brought within the project's 100 hours and keep their item.

#include "item_test_fixture.h"
#include "project/file_clip.h"
#include "project/project.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr TVideoTime Hour = 3600 * Second;

struct TStoredTimeCase {
    const char* Name;
    TVideoTime Position;
    TVideoTime Duration;
    bool Kept;
    TVideoTime LoadedPosition; // when kept
    TVideoTime LoadedDuration;
};

void PrintTo(const TStoredTimeCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class StoredTimes : public ItemTest, public ::testing::WithParamInterface<TStoredTimeCase> {
protected:
    // The project's text with the picture clip's Position and Duration replaced.
    std::string TextWith(TVideoTime Position, TVideoTime Duration) {
        TData Data;
        Project->SaveToData(Data);
        std::istringstream In(Data.SaveToText());
        std::string Text;
        bool InClip = false, PositionDone = false, DurationDone = false;
        for (std::string Line; std::getline(In, Line);) {
            InClip = InClip || Line.find("FileClip") != std::string::npos;
            size_t Start = Line.find_first_not_of(' ');
            std::string Indent = Line.substr(0, Start == std::string::npos ? 0 : Start);
            std::string Key = Line.substr(Indent.size());
            if (InClip && !PositionDone && Key.rfind("Position = ", 0) == 0) {
                Line = Indent + "Position = " + std::to_string(Position);
                PositionDone = true;
            } else if (InClip && !DurationDone && Key.rfind("Duration = ", 0) == 0) {
                Line = Indent + "Duration = " + std::to_string(Duration);
                DurationDone = true;
            }
            Text += Line + "\n";
        }
        EXPECT_TRUE(PositionDone && DurationDone) << Text;
        return Text;
    }
};

TEST_P(StoredTimes, ItemsEndingWithinTheUnlimitedTimeAreClampedAndOnlyThoseBeyondAreDropped) {
    const TStoredTimeCase& Case = GetParam();
    VideoTrack()->InsertItem(new TFileClip(0, Picture("still.png")), 0);
    ASSERT_EQ(VideoTrack()->ItemCount(), 1);

    TData Read;
    Read.LoadFromText(TextWith(Case.Position, Case.Duration));
    TRefPtr<TProject> Loaded{new TProject};
    Loaded->LoadFromData(Read);
    TTrack* Track = Loaded->Track(0);
    if (!Case.Kept) {
        EXPECT_EQ(Track->ItemCount(), 0);
        ASSERT_EQ(Loaded->LoadProblems().size(), 1u);
        EXPECT_NE(Loaded->LoadProblems()[0].find("FileClip"), std::string::npos)
            << Loaded->LoadProblems()[0];
        return;
    }
    ASSERT_EQ(Track->ItemCount(), 1);
    EXPECT_TRUE(Loaded->LoadProblems().empty());
    EXPECT_EQ(Track->Item(0)->Position(), Case.LoadedPosition);
    EXPECT_EQ(Track->Item(0)->Duration(), Case.LoadedDuration);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, StoredTimes,
    ::testing::Values(
        TStoredTimeCase{"Ordinary", 2 * Second, 3 * Second, true, 2 * Second, 3 * Second},
        TStoredTimeCase{"NegativePosition", -5 * Second, 3 * Second, true, 0, 3 * Second},
        TStoredTimeCase{"PositionPast100Hours", 200 * Hour, 3 * Second, true, MaxProjectPosition,
                        3 * Second},
        TStoredTimeCase{"DurationPast100Hours", Second, 150 * Hour, true, Second,
                        MaxProjectPosition},
        TStoredTimeCase{"EndingExactlyAtTheUnlimitedTime", UnlimitedVideoTime - 3 * Second,
                        3 * Second, true, MaxProjectPosition, 3 * Second},
        TStoredTimeCase{"EndingJustBeyondTheUnlimitedTime", UnlimitedVideoTime - 3 * Second + 1,
                        3 * Second, false, 0, 0},
        TStoredTimeCase{"LargestPosition", INT64_MAX, 3 * Second, false, 0, 0},
        TStoredTimeCase{"DurationBeyondTheUnlimitedTime", 0, UnlimitedVideoTime + 1, false, 0, 0}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
