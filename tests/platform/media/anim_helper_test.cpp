// The animation helper: frame counts and running times of animated
// pictures, thumbnails of any picture.

#include "picture_test_files.h"
#include "platform/media/anim_helper.h"
#include "platform/media/media_error.h"
#include "test_media.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestPictures;

namespace {

// GIF keeps 3 bits of red and green and 2 of blue: colours come back near.
::testing::AssertionResult IsNear(TColor Pixel, TRgb C) {
    int R = int(Pixel & 0xFF), G = int((Pixel >> 8) & 0xFF), B = int((Pixel >> 16) & 0xFF);
    if (std::abs(R - C.R) <= 8 && std::abs(G - C.G) <= 8 && std::abs(B - C.B) <= 8 &&
        (Pixel >> 24) == 255)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "R" << R << " G" << G << " B" << B << " A" << (Pixel >> 24);
}

} // namespace

TEST(AnimHelper, AnimatedGifReportsItsFramesAndRunningTime) {
    TTempFolder Folder;
    WriteAnimation(Folder.Path("a.gif"), 12, 8, {Red, Green, Blue}, 20);
    TAnimationInfo Info = AnimHelper::GetInfo(Folder.Path("a.gif"));
    EXPECT_EQ(Info.Width, 12);
    EXPECT_EQ(Info.Height, 8);
    EXPECT_EQ(Info.FrameCount, 3);
    EXPECT_TRUE(Info.IsAnimated);
    EXPECT_EQ(Info.DurationMs, 600);
}

TEST(AnimHelper, AnimatedPngReportsItsFramesAndRunningTime) {
    TTempFolder Folder;
    WriteAnimation(Folder.Path("a.png"), 9, 5, {Red, Green}, 25, TAnimationKind::Png);
    TAnimationInfo Info = AnimHelper::GetInfo(Folder.Path("a.png"));
    EXPECT_EQ(Info.Width, 9);
    EXPECT_EQ(Info.Height, 5);
    EXPECT_EQ(Info.FrameCount, 2);
    EXPECT_TRUE(Info.IsAnimated);
    EXPECT_EQ(Info.DurationMs, 500);
    TVideoFrame Preview = AnimHelper::GetPreviewBitmap(Folder.Path("a.png"), 9, 5);
    EXPECT_EQ(Preview.Pixel(4, 2), MakeColor(255, 0, 0));
}

TEST(AnimHelper, StillPicturesHaveOneFrameAndNoRunningTime) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("s.png"), 10, 7, Quadrants());
    WriteTestPicture(Folder.Path("s.jpg"), 10, 7, Quadrants());
    WriteBmp(Folder.Path("s.bmp"), 10, 7, QuadrantAt);
    WriteAnimation(Folder.Path("s.gif"), 10, 7, {Green}, 50);
    for (const char* Name : {"s.png", "s.jpg", "s.bmp", "s.gif"}) {
        TAnimationInfo Info = AnimHelper::GetInfo(Folder.Path(Name));
        EXPECT_EQ(Info.Width, 10) << Name;
        EXPECT_EQ(Info.Height, 7) << Name;
        EXPECT_EQ(Info.FrameCount, 1) << Name;
        EXPECT_FALSE(Info.IsAnimated) << Name;
        EXPECT_EQ(Info.DurationMs, 0) << Name;
    }
}

TEST(AnimHelper, PathsOfAnyLengthWork) {
    TTempFolder Folder;
    std::string Path = Folder.Root();
    for (char Letter : {'a', 'b', 'c'})
        Path += "/" + std::string(120, Letter);
    std::filesystem::create_directories(Path);
    Path += "/animation with blanks and ümlauts.gif";
    ASSERT_GT(Path.size(), 380u);
    WriteAnimation(Path, 6, 6, {Red, Blue}, 10);
    TAnimationInfo Info = AnimHelper::GetInfo(Path);
    EXPECT_EQ(Info.FrameCount, 2);
    EXPECT_EQ(Info.DurationMs, 200);
    TVideoFrame Preview = AnimHelper::GetPreviewBitmap(Path, 6, 6);
    EXPECT_TRUE(IsNear(Preview.Pixel(3, 3), Red));
}

TEST(AnimHelper, PreviewFitsThePictureWholeAndLeavesTheRestClear) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("wide.png"), 40, 20, 0xFF0000FFu); // opaque blue
    TVideoFrame Preview = AnimHelper::GetPreviewBitmap(Folder.Path("wide.png"), 32, 32);
    ASSERT_EQ(Preview.Width(), 32);
    ASSERT_EQ(Preview.Height(), 32);
    // 40 x 20 fitted into 32 x 32 is 32 x 16, rows 8 to 23.
    for (int32_t X = 0; X < 32; ++X) {
        EXPECT_EQ(Preview.Pixel(X, 7) >> 24, 0u) << X;
        EXPECT_EQ(Preview.Pixel(X, 8), MakeColor(0, 0, 255)) << X;
        EXPECT_EQ(Preview.Pixel(X, 23), MakeColor(0, 0, 255)) << X;
        EXPECT_EQ(Preview.Pixel(X, 24) >> 24, 0u) << X;
    }
}

TEST(AnimHelper, PreviewKeepsThePicturesLayoutWhenReducing) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("q.jpg"), 200, 100, Quadrants());
    TVideoFrame Preview = AnimHelper::GetPreviewBitmap(Folder.Path("q.jpg"), 20, 10);
    auto Near = [&](int32_t X, int32_t Y, TRgb C) {
        TColor P = Preview.Pixel(X, Y);
        return std::abs(int(P & 0xFF) - C.R) < 40 && std::abs(int((P >> 8) & 0xFF) - C.G) < 40 &&
               std::abs(int((P >> 16) & 0xFF) - C.B) < 40;
    };
    EXPECT_TRUE(Near(4, 2, Red));
    EXPECT_TRUE(Near(15, 2, Green));
    EXPECT_TRUE(Near(4, 7, Blue));
    EXPECT_TRUE(Near(15, 7, White));
}

TEST(AnimHelper, PreviewOfAnAnimationShowsItsFirstFrame) {
    TTempFolder Folder;
    WriteAnimation(Folder.Path("a.gif"), 8, 8, {Green, Red}, 10);
    TVideoFrame Preview = AnimHelper::GetPreviewBitmap(Folder.Path("a.gif"), 4, 4);
    EXPECT_TRUE(IsNear(Preview.Pixel(2, 2), Green));
}

TEST(AnimHelper, PreviewOfNoSizeIsEmpty) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("p.png"), 4, 4, 0xFFFFFFFFu);
    EXPECT_TRUE(AnimHelper::GetPreviewBitmap(Folder.Path("p.png"), 0, 10).IsEmpty());
    EXPECT_TRUE(AnimHelper::GetPreviewBitmap(Folder.Path("p.png"), 10, -1).IsEmpty());
}

TEST(AnimHelper, MetafilesAndUnreadableFilesRaise) {
    TTempFolder Folder;
    WriteMetafile(Folder.Path("m.wmf"));
    WriteGarbageFile(Folder.Path("g.gif"), 3000, 3);
    for (const char* Name : {"m.wmf", "g.gif", "missing.gif"}) {
        EXPECT_THROW(AnimHelper::GetInfo(Folder.Path(Name)), EMediaError) << Name;
        EXPECT_THROW(AnimHelper::GetPreviewBitmap(Folder.Path(Name), 8, 8), EMediaError) << Name;
    }
}
