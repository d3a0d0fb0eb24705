#include "editors/header_icons.h"
#include "project/sub_track.h"
#include "timeline_fixture.h"

#include <gtest/gtest.h>

#include <vector>
#include <tuple>

namespace {

struct TIconCase {
    TTrackKind Track;
    TSubTrackKind Row;
    THeaderIcon Icon;
};

class HeaderIcons : public testing::TestWithParam<TIconCase> {};

// Which pixels of a header's icon area are dark ink.
struct TIconArea {
    std::vector<bool> Values; // ink or not, row by row
    bool HasInk = false;
};

bool IsInk(uint32_t Pixel) {
    return (Pixel & 0xFF) < 80 && ((Pixel >> 8) & 0xFF) < 80 && ((Pixel >> 16) & 0xFF) < 80;
}

// Collects the pixels of the header's columns [Left, Right).
TIconArea Columns(const TTimelineFixture& F, const TRect& Box, int32_t Left, int32_t Right) {
    TIconArea Area;
    for (int32_t Y = Box.Top + 2; Y < Box.Bottom - 2; ++Y)
        for (int32_t X = Box.Left + Left; X < Box.Left + Right; ++X) {
            const uint32_t Pixel = F.PixelAt(X, Y);
            Area.Values.push_back(IsInk(Pixel));
            Area.HasInk = Area.HasInk || IsInk(Pixel);
        }
    return Area;
}

// The icon's pixels: a tall row has it above the caption; a short row at
// the left before the caption, or alone in the middle when the caption
// does not fit. Without ink where the icon belongs, HasInk is false.
TIconArea IconArea(const TTimelineFixture& F, const TSubTrackHeaderFragment& Header) {
    const TRect Box = Header.AreaRect();
    if (Box.Height() >= 40)
        return Columns(F, {Box.Left, Box.Top, Box.Right, Box.Top + Box.Height() / 2}, 2, Box.Width() - 2);
    TIconArea Left = Columns(F, Box, 2, 16);
    if (Left.HasInk)
        return Left;
    const int32_t Middle = Box.Width() / 2;
    // Icon alone: nothing at either side of the middle.
    if (Columns(F, Box, Middle + 8, Box.Width() - 2).HasInk)
        return Left;
    return Columns(F, Box, Middle - 7, Middle + 7);
}

} // namespace

TEST_P(HeaderIcons, EachRowKindHasItsIcon) {
    EXPECT_EQ(HeaderIconOf(GetParam().Track, GetParam().Row), GetParam().Icon);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeaderIcons,
    testing::Values(TIconCase{TTrackKind::Any, TSubTrackKind::Audio, THeaderIcon::Audio},
                    TIconCase{TTrackKind::Video, TSubTrackKind::Audio, THeaderIcon::Audio},
                    TIconCase{TTrackKind::Video, TSubTrackKind::Video, THeaderIcon::Video},
                    TIconCase{TTrackKind::Video, TSubTrackKind::Effect, THeaderIcon::Effect},
                    TIconCase{TTrackKind::Sound, TSubTrackKind::Audio, THeaderIcon::SoundAudio},
                    TIconCase{TTrackKind::Sound, TSubTrackKind::Video, THeaderIcon::None},
                    TIconCase{TTrackKind::Music, TSubTrackKind::Audio, THeaderIcon::MusicAudio},
                    TIconCase{TTrackKind::Music, TSubTrackKind::Effect, THeaderIcon::Effect},
                    TIconCase{TTrackKind::Overlay, TSubTrackKind::Video, THeaderIcon::VideoOverlay},
                    TIconCase{TTrackKind::Overlay, TSubTrackKind::Audio, THeaderIcon::None},
                    TIconCase{TTrackKind::Effects, TSubTrackKind::Effect, THeaderIcon::Effect},
                    TIconCase{TTrackKind::Effects, TSubTrackKind::Video, THeaderIcon::None}));

TEST(TimelineHeaders, EveryRowHeaderDrawsItsOwnIconInInk) {
    TTimelineFixture F;
    std::vector<std::vector<bool>> Drawn;
    for (TTrackFragment* Band : F.Desktop().Tracks().Bands())
        for (const TTrackFragment::TRow& Row : Band->Rows()) {
            if (Row.Header->AreaRect().Bottom > TTimelineFixture::Height)
                continue;
            TIconArea Area = IconArea(F, *Row.Header);
            EXPECT_TRUE(Area.HasInk) << "track " << int(Band->Track().Kind()) << " row "
                                     << int(Row.Header->SubTrack().Kind());
            Drawn.push_back(std::move(Area.Values));
        }
    ASSERT_GE(Drawn.size(), 4u);
    // Not one picture for all: the rows (video, sound, music, overlay...)
    // differ from each other.
    for (size_t I = 1; I < Drawn.size(); ++I)
        EXPECT_NE(Drawn[I - 1], Drawn[I]) << "rows " << I - 1 << " and " << I;
}

TEST(TimelineHeaders, ASelectedTrackTintsItsHeadersAndCells) {
    TTimelineFixture F;
    const TSubTrackHeaderFragment& Header = *F.Desktop().Tracks().Bands()[1]->Rows()[0].Header;
    const TRect Box = Header.AreaRect();
    const TPoint Probe{Box.Right - 3, Box.Top + 2};
    const TPoint CellProbe = {F.Cell(1).AreaRect().Left + 300, F.Cell(1).AreaRect().Top + 2};
    const uint32_t Plain = F.PixelAt(Probe.X, Probe.Y), PlainCell = F.PixelAt(CellProbe.X, CellProbe.Y);
    F.System.ScriptClick(F.Screen(Probe.X, Probe.Y));
    F.System.ScriptMouseMove(F.Screen(400, 5));
    F.Run();
    EXPECT_TRUE(F.Track(1).IsSelected());
    const uint32_t Selected = F.PixelAt(Probe.X, Probe.Y);
    EXPECT_NE(Selected, Plain);
    // Blue gains on the others.
    EXPECT_GT(int(Selected & 0xFF) - int((Selected >> 16) & 0xFF), int(Plain & 0xFF) - int((Plain >> 16) & 0xFF));
    EXPECT_NE(F.PixelAt(CellProbe.X, CellProbe.Y), PlainCell);
}

TEST(TimelineCursorLine, IsHighlightedOverAClipNearTheCursorAndKeepsItOnARightPress) {
    TTimelineFixture F;
    TTrackItem* Title = F.Title(2 * Second, 8 * Second);
    ASSERT_NE(Title, nullptr);
    F.Project->Select(nullptr, false);
    F.Project->SetPosition(5 * Second);
    F.Settle();
    TItemFragment* Box = F.FragmentOf(Title, 0);
    ASSERT_NE(Box, nullptr);
    const int32_t CursorX = F.Desktop().TimeToX(5 * Second);
    const int32_t Y = Box->AreaRect().Bottom - 4;
    const uint32_t Plain = F.PixelAt(CursorX, Y);

    // Five pixels off: no highlight.
    F.System.ScriptMouseMove(F.Screen(CursorX + 5, Y));
    F.Run();
    EXPECT_FALSE(Box->CursorLineHot());
    EXPECT_EQ(F.PixelAt(CursorX, Y), Plain);

    // Three pixels off: the column at the cursor turns blue.
    F.System.ScriptMouseMove(F.Screen(CursorX + 3, Y));
    F.Run();
    EXPECT_TRUE(Box->CursorLineHot());
    const uint32_t Lit = F.PixelAt(CursorX, Y);
    EXPECT_NE(Lit, Plain);
    // Blue well over red (the cursor's own faint line darkens it a little).
    EXPECT_GT(int(Lit & 0xFF), int((Lit >> 16) & 0xFF) + 100);
    // Only that column.
    EXPECT_EQ(F.PixelAt(CursorX + 2, Y), F.PixelAt(CursorX + 6, Y));

    // The cursor moving away (playback, a key) takes the highlight with it:
    // the old column shows the clip again, as its neighbours do.
    F.Project->SetPosition(6 * Second);
    F.Run();
    EXPECT_FALSE(Box->CursorLineHot());
    EXPECT_EQ(F.PixelAt(CursorX, Y), F.PixelAt(CursorX + 2, Y));
    // Back under the mouse, the next move finds the line again.
    F.Project->SetPosition(5 * Second);
    F.System.ScriptMouseMove(F.Screen(CursorX + 2, Y));
    F.Run();
    EXPECT_TRUE(Box->CursorLineHot());

    // A right press there leaves the cursor where it is.
    F.System.ScriptMouseDown(F.Screen(CursorX + 3, Y), TMouseButton::Right);
    F.System.ScriptMouseUp(F.Screen(CursorX + 3, Y), TMouseButton::Right);
    F.Run();
    EXPECT_EQ(F.Project->Position(), 5 * Second);

    // Away from the line a right press moves the cursor to the press time.
    const int32_t Far = F.Desktop().TimeToX(8 * Second);
    F.System.ScriptMouseMove(F.Screen(Far, Y));
    F.System.ScriptMouseDown(F.Screen(Far, Y), TMouseButton::Right);
    F.System.ScriptMouseUp(F.Screen(Far, Y), TMouseButton::Right);
    F.Run();
    EXPECT_EQ(F.Project->Position(), 8 * Second);

    // Leaving the clip clears the highlight.
    F.System.ScriptMouseMove(F.Screen(CursorX, 5));
    F.Run();
    EXPECT_FALSE(Box->CursorLineHot());
}
