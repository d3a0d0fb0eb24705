#include "project/title_clip.h"

#include "item_test_fixture.h"
#include "platform/media/title_painter.h"
#include "platform/media/title_text.h"
#include "render/text_clip_element.h"
#include "render/text_descriptor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using TitleFontTest = ItemTest;

// The title as the text source draws it, halfway into the clip.
std::vector<uint8_t> DrawnTitle(const TTitleClip& Clip) {
    TTitleText Title;
    EXPECT_TRUE(ParseTitleText(Clip.TextElement()->Descriptor().TextForm(0), Title));
    TTitlePainter Painter(Title, 160, 120);
    TVideoFrame Frame;
    const double Length = VideoTimeToSeconds(Clip.Duration());
    Painter.Draw(Length * 0.5, Length, Frame);
    return {Frame.Data(), Frame.Data() + size_t(Frame.Stride()) * size_t(Frame.Height())};
}

const TTitleClip* OnlyTitle(const TProject& Project) {
    return dynamic_cast<const TTitleClip*>(Project.Track(0)->Item(0));
}

TEST_F(TitleFontTest, SavedTitleLoadsAndDrawsAsItWas) {
    auto* Title = new TTitleClip(3 * Second, 0, FirstTitleStyle());
    VideoTrack()->InsertItem(Title, 0);
    TTitleFont Main{"DejaVu Sans", 0.2, FontStyleBold | FontStyleUnderlined,
                    MakeColor(250, 200, 10)};
    TTitleFont Caption{"DejaVu Serif", 0.11, FontStyleItalic, MakeColor(20, 90, 255)};
    Title->ApplyContent("Large\nsmaller", Main, Caption);
    // The engine draws what the clip holds, the same value and unit.
    EXPECT_EQ(Title->TextElement()->Descriptor().MainFont().Font(), Main);
    EXPECT_EQ(Title->TextElement()->Descriptor().CaptionFont().Font(), Caption);
    std::vector<uint8_t> Before = DrawnTitle(*Title);
    ASSERT_TRUE(std::any_of(Before.begin(), Before.end(), [](uint8_t B) { return B != 0; }));

    TRefPtr<TProject> Copy = Reloaded();
    const TTitleClip* Loaded = OnlyTitle(*Copy);
    ASSERT_NE(Loaded, nullptr);
    EXPECT_EQ(Loaded->MainFont().Font(), Main);
    EXPECT_EQ(Loaded->CaptionFont().Font(), Caption);
    EXPECT_EQ(Loaded->TextElement()->Descriptor().TextForm(0),
              Title->TextElement()->Descriptor().TextForm(0));
    EXPECT_EQ(DrawnTitle(*Loaded), Before);
}

TEST_F(TitleFontTest, ProjectFileKeepsTheSizeInWholeHundredths) {
    auto* Title = new TTitleClip(3 * Second, 0, FirstTitleStyle());
    VideoTrack()->InsertItem(Title, 0);
    TTitleFont Main{"Tahoma", 0.12, FontStyleItalic, MakeColor(1, 2, 3)};
    Title->ApplyContent("x", Main, {});
    TData Data;
    Project->SaveToData(Data);
    TData Read;
    Read.LoadFromText(Data.SaveToText());
    TDataSection ProjectSection(Read, "Project");
    TDataSection Tracks(Read, "Tracks");
    TDataSection Track(Read, "Track[0]");
    TDataSection Items(Read, "Items");
    TDataSection Item(Read, "Item[0]");
    TDataSection Font(Read, "MainFont");
    EXPECT_EQ(Read.ReadInteger("Size", 0), 12);
    EXPECT_TRUE(Read.ReadBool("IsItalic", false));
    EXPECT_FALSE(Read.ReadBool("IsBold", true));
    EXPECT_EQ(Read.ReadString("Name", ""), "Tahoma");
}

// Whatever a caller hands a title, the clip holds only what its file can
// keep, so that saving and loading never changes how it looks.
TEST_F(TitleFontTest, ClipHoldsOnlyWhatItsFileKeeps) {
    struct TCase {
        TTitleFont Given;
        TTitleFont Held;
    };
    const TColor Edge = MakeColor(9, 9, 9, 255);
    const TCase Cases[] = {
        {{"A", 0.065, 0, MakeColor(1, 1, 1)}, {"A", 0.07, 0, MakeColor(1, 1, 1)}},
        {{"A", 0.0, FontStyleBold, MakeColor(1, 1, 1)}, {"A", 0.01, FontStyleBold, MakeColor(1, 1, 1)}},
        {{"A", 1e300, 0, 0}, {"A", 100.0, 0, 0}},
        {{"A", std::nan(""), 0, 0}, {"A", TTitleFont().Size, 0, 0}},
        {{"", 0.05, 0xFF, 0, Edge}, {"Tahoma", 0.05, 7, 0}},
    };
    for (const TCase& Case : Cases) {
        auto* Title = new TTitleClip(3 * Second, 0, FirstTitleStyle());
        VideoTrack()->InsertItem(Title, 0);
        Title->ApplyContent("x", Case.Given, Case.Given);
        EXPECT_EQ(Title->MainFont().Font(), Case.Held) << Case.Given.Size;
        EXPECT_EQ(Title->TextElement()->Descriptor().CaptionFont().Font(), Case.Held);
        TRefPtr<TProject> Copy = Reloaded();
        ASSERT_NE(OnlyTitle(*Copy), nullptr);
        EXPECT_EQ(OnlyTitle(*Copy)->MainFont().Font(), Case.Held) << Case.Given.Size;
        VideoTrack()->RemoveItem(VideoTrack()->Item(0));
    }
}

} // namespace
