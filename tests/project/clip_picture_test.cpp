// The small pictures of clips for the timeline editor: what they show, their
// size, and when they are drawn afresh.

#include "project/clip_picture.h"

#include "item_test_fixture.h"
#include "project/clip_infos.h"
#include "project/file_clip.h"
#include "project/title_clip.h"

#include <filesystem>

namespace {

using ClipPictureTest = ItemTest;

constexpr uint32_t OpaqueRed = 0xFFFF0000; // as WriteTestPicture takes it: 0xAARRGGBB
constexpr uint32_t OpaqueGreen = 0xFF00FF00;

int FrameNumberOf(const TVideoFrame& Frame) {
    return ReadFrameNumber(Frame.Data(), Frame.Width(), Frame.Height(), Frame.Stride());
}

// Red, green and blue of a pixel, each within Tolerance.
::testing::AssertionResult IsNear(TColor Pixel, uint8_t R, uint8_t G, uint8_t B,
                                  int Tolerance = 8) {
    int Got[3] = {int(Pixel & 0xFF), int((Pixel >> 8) & 0xFF), int((Pixel >> 16) & 0xFF)};
    int Want[3] = {R, G, B};
    for (int I = 0; I < 3; ++I)
        if (std::abs(Got[I] - Want[I]) > Tolerance)
            return ::testing::AssertionFailure() << "pixel 0x" << std::hex << Pixel;
    return ::testing::AssertionSuccess();
}

TEST(ClipPictureSize, FitsTheBoundsInTheSourceShape) {
    // Wide sources are limited by the width, tall ones by the height.
    EXPECT_EQ(ClipPictureSize(320, 240), (TSize{48, 36}));
    EXPECT_EQ(ClipPictureSize(720, 576), (TSize{48, 38}));
    EXPECT_EQ(ClipPictureSize(1000, 100), (TSize{48, 5}));
    EXPECT_EQ(ClipPictureSize(240, 320), (TSize{29, 38})); // 28.5 rounds up
    EXPECT_EQ(ClipPictureSize(100, 1000), (TSize{4, 38}));
    // Small sources are enlarged to the bounds.
    EXPECT_EQ(ClipPictureSize(24, 19), (TSize{48, 38}));
    EXPECT_EQ(ClipPictureSize(1, 1), (TSize{38, 38}));
}

TEST(ClipPictureSize, ExtremeShapesKeepAtLeastOnePixelAndEmptyOnesGiveNone) {
    EXPECT_EQ(ClipPictureSize(100000, 1), (TSize{48, 1}));
    EXPECT_EQ(ClipPictureSize(1, 100000), (TSize{1, 38}));
    EXPECT_EQ(ClipPictureSize(0, 240), (TSize{0, 0}));
    EXPECT_EQ(ClipPictureSize(320, 0), (TSize{0, 0}));
    EXPECT_EQ(ClipPictureSize(-320, 240), (TSize{0, 0}));
}

// 50 frames over 2 s: a third into the whole clip is 0.67 s, frame 16; into
// the trimmed range 1 s .. 2 s it is 1.33 s, frame 33.
TEST_F(ClipPictureTest, VideoClipShowsTheFrameAThirdIntoItsTrimmedRange) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Video("n.avi"))};
    TVideoFrame Frame = GrabFileClipFrame(*Clip);
    EXPECT_EQ(Frame.Width(), 320);
    EXPECT_EQ(Frame.Height(), 240);
    EXPECT_EQ(FrameNumberOf(Frame), 16);
    Clip->SetTrim(Second, 2 * Second);
    EXPECT_EQ(FrameNumberOf(GrabFileClipFrame(*Clip)), 33);

    const TVideoFrame& Picture = Clip->Picture();
    EXPECT_EQ(Picture.Width(), 48);
    EXPECT_EQ(Picture.Height(), 36);
    EXPECT_EQ(FrameNumberOf(Picture), 33);
}

TEST_F(ClipPictureTest, StillClipShowsItsPictureInItsShape) {
    std::string File = Folder.Path("tall.png");
    WriteTestPicture(File, 300, 400, OpaqueRed);
    TRefPtr<TFileClip> Clip{new TFileClip(0, File)};
    const TVideoFrame& Picture = Clip->Picture();
    ASSERT_EQ(Picture.Width(), 29); // 300 x 400 within 48 x 38
    ASSERT_EQ(Picture.Height(), 38);
    EXPECT_TRUE(IsNear(Picture.Pixel(0, 0), 255, 0, 0));
    EXPECT_TRUE(IsNear(Picture.Pixel(28, 37), 255, 0, 0));
}

TEST_F(ClipPictureTest, ClipsWithoutUsableMediaHaveEmptyPicturesWithoutFailing) {
    TRefPtr<TFileClip> Missing{new TFileClip(0, Folder.Path("missing.avi"))};
    EXPECT_TRUE(Missing->Picture().IsEmpty());
    EXPECT_TRUE(Missing->PictureValid());

    std::string Garbage = Folder.Path("garbage.avi");
    WriteGarbageFile(Garbage, 4096, 7);
    TRefPtr<TFileClip> Undecodable{new TFileClip(0, Garbage)};
    EXPECT_TRUE(Undecodable->Picture().IsEmpty());

    // The file goes away after the clip was made: drawing fails quietly.
    std::string Gone = Video("gone.avi");
    TRefPtr<TFileClip> Orphan{new TFileClip(0, Gone)};
    std::filesystem::remove(Gone);
    TVideoFrame Picture;
    EXPECT_NO_THROW(Picture = Orphan->Picture());
    EXPECT_TRUE(Picture.IsEmpty());
}

TEST_F(ClipPictureTest, PictureIsKeptUntilInvalidatedAndThenDrawnAfresh) {
    std::string File = Folder.Path("p.png");
    WriteTestPicture(File, 64, 48, OpaqueRed);
    TRefPtr<TFileClip> Clip{new TFileClip(0, File)};
    EXPECT_FALSE(Clip->PictureValid());
    EXPECT_TRUE(IsNear(Clip->Picture().Pixel(10, 10), 255, 0, 0));
    EXPECT_TRUE(Clip->PictureValid());

    WriteTestPicture(File, 64, 48, OpaqueGreen);
    EXPECT_TRUE(IsNear(Clip->Picture().Pixel(10, 10), 255, 0, 0)) << "kept";
    Clip->InvalidatePicture();
    EXPECT_FALSE(Clip->PictureValid());
    EXPECT_TRUE(IsNear(Clip->Picture().Pixel(10, 10), 0, 255, 0)) << "drawn afresh";
}

TEST_F(ClipPictureTest, TrimmingInvalidatesAVideoPictureButNotAStillOne) {
    auto* Moving = new TFileClip(0, Video("n.avi"));
    auto* Still = new TFileClip(0, Picture("p.png"));
    VideoTrack()->InsertItem(Moving, 0);
    VideoTrack()->InsertItem(Still, 1);
    Moving->Picture();
    Still->Picture();
    Moving->SetTrim(Second / 2, 2 * Second);
    Still->SetTrim(0, 2 * Second);
    EXPECT_FALSE(Moving->PictureValid());
    EXPECT_TRUE(Still->PictureValid());
}

// The catalogue reports changes in its video folders from 0x10000 up;
// changes in its audio folders alone leave the pictures alone.
TEST_F(ClipPictureTest, CatalogueChangesInVideoFoldersInvalidateEveryClipPicture) {
    auto* First = new TFileClip(0, Picture("a.png"));
    auto* Other = new TFileClip(0, Picture("b.png"));
    auto* Title = new TTitleClip(2 * Second, 0, FirstTitleStyle());
    VideoTrack()->InsertItem(First, 0);
    AudioTrack()->InsertItem(Other, 0);
    Project->Track(3)->InsertItem(Title, 0);
    auto AllValid = [&] {
        return First->PictureValid() && Other->PictureValid() && Title->PictureValid();
    };
    auto AnyValid = [&] {
        return First->PictureValid() || Other->PictureValid() || Title->PictureValid();
    };
    First->Picture();
    Other->Picture();
    Title->Picture();
    ASSERT_TRUE(AllValid());

    Project->OnClipInfosChanged(ClipInfoChangeAudio);
    EXPECT_TRUE(AllValid());
    Project->OnClipInfosChanged(ClipInfoChangeVideo);
    EXPECT_FALSE(AnyValid());
}

// Counts the pixels whose red is below Level.
int DarkerThan(const TVideoFrame& Frame, uint32_t Level) {
    int Dark = 0;
    for (int32_t Y = 0; Y < Frame.Height(); ++Y)
        for (int32_t X = 0; X < Frame.Width(); ++X)
            Dark += (Frame.Pixel(X, Y) & 0xFF) < Level;
    return Dark;
}

// The title's own colours are white letters; its picture has black ones on
// opaque white.
TEST_F(ClipPictureTest, TitleIsDrawnInBlackOnWhiteAtTheTitleFrameSize) {
    TRefPtr<TTitleClip> Title{new TTitleClip(4 * Second, 0, FirstTitleStyle())};
    TVideoFrame Blank = RenderTitleClipFrame(*Title);
    ASSERT_EQ(Blank.Width(), 320);
    ASSERT_EQ(Blank.Height(), 240);
    EXPECT_EQ(DarkerThan(Blank, 255), 0);
    EXPECT_EQ(Blank.Pixel(0, 0), MakeColor(255, 255, 255));

    Title->SetText("HELLO WORLD");
    TVideoFrame Lettered = RenderTitleClipFrame(*Title);
    EXPECT_GT(DarkerThan(Lettered, 32), 50) << "black letters";
    EXPECT_EQ(Lettered.Pixel(0, 0), MakeColor(255, 255, 255));
}

TEST_F(ClipPictureTest, TitlePictureIsTheTitleFrameScaledDown) {
    TRefPtr<TTitleClip> Title{new TTitleClip(4 * Second, 0, FirstTitleStyle())};
    const TVideoFrame& Blank = Title->Picture();
    ASSERT_EQ(Blank.Width(), 48);
    ASSERT_EQ(Blank.Height(), 36);
    EXPECT_EQ(DarkerThan(Blank, 255), 0);

    Title->SetText("HELLO WORLD");
    Title->InvalidatePicture();
    const TVideoFrame& Lettered = Title->Picture();
    // Letters of 12 pixels shrunk sevenfold are grey smudges.
    EXPECT_GT(DarkerThan(Lettered, 224), 0);
    EXPECT_EQ(Lettered.Pixel(0, 0), MakeColor(255, 255, 255));
}

} // namespace
