// Decoding still pictures for the picture source: PNG through libpng, JPEG
// through libjpeg, the other kinds through FFmpeg, and the failures.

#include "picture_test_files.h"
#include "platform/media/media_error.h"
#include "platform/media/picture_file.h"
#include "test_media.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestPictures;

namespace {

// A decoded pixel against an expected colour, per channel within Tolerance.
::testing::AssertionResult IsColour(const TVideoFrame& Picture, int32_t X, int32_t Y, TRgb C,
                                    int Tolerance = 0, uint8_t Alpha = 255) {
    const uint8_t* P = Picture.Row(Y) + X * 4;
    if (std::abs(P[2] - C.R) <= Tolerance && std::abs(P[1] - C.G) <= Tolerance &&
        std::abs(P[0] - C.B) <= Tolerance && P[3] == Alpha)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << X << ", " << Y << ") is R" << int(P[2]) << " G" << int(P[1]) << " B"
           << int(P[0]) << " A" << int(P[3]) << ", expected R" << int(C.R) << " G" << int(C.G)
           << " B" << int(C.B) << " A" << int(Alpha);
}

void ExpectQuadrants(const TVideoFrame& Picture, int Tolerance) {
    int32_t W = Picture.Width(), H = Picture.Height();
    EXPECT_TRUE(IsColour(Picture, W / 4, H / 4, Red, Tolerance));
    EXPECT_TRUE(IsColour(Picture, W * 3 / 4, H / 4, Green, Tolerance));
    EXPECT_TRUE(IsColour(Picture, W / 4, H * 3 / 4, Blue, Tolerance));
    EXPECT_TRUE(IsColour(Picture, W * 3 / 4, H * 3 / 4, White, Tolerance));
}

std::string MessageOf(const std::string& FileName) {
    try {
        LoadPicture(FileName);
    } catch (const EMediaError& Error) {
        return Error.what();
    }
    return "";
}

} // namespace

TEST(PictureFile, PngKeepsItsStraightAlpha) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("half.png"), 6, 4, 0x80FF0000u); // red at alpha 128
    TLoadedPicture Loaded = LoadPicture(Folder.Path("half.png"));
    ASSERT_EQ(Loaded.Picture.Width(), 6);
    ASSERT_EQ(Loaded.Picture.Height(), 4);
    EXPECT_EQ(Loaded.FullWidth, 6);
    EXPECT_EQ(Loaded.FullHeight, 4);
    EXPECT_TRUE(IsColour(Loaded.Picture, 5, 3, Red, 0, 128));
}

TEST(PictureFile, PngDecodesExactly) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("q.png"), 20, 10, Quadrants());
    TLoadedPicture Loaded = LoadPicture(Folder.Path("q.png"));
    ExpectQuadrants(Loaded.Picture, 0);
    EXPECT_TRUE(IsColour(Loaded.Picture, 9, 4, Red));
    EXPECT_TRUE(IsColour(Loaded.Picture, 10, 4, Green));
}

TEST(PictureFile, JpegDecodesOpaqueWithinTheCodecsLoss) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("q.jpg"), 64, 48, Quadrants());
    TLoadedPicture Loaded = LoadPicture(Folder.Path("q.jpg"));
    ASSERT_EQ(Loaded.Picture.Width(), 64);
    ASSERT_EQ(Loaded.Picture.Height(), 48);
    ExpectQuadrants(Loaded.Picture, 24);
}

TEST(PictureFile, BmpDecodesItsBottomUpPaddedRows) {
    TTempFolder Folder;
    // 5 pixels of 3 bytes: each row carries one byte of padding.
    WriteBmp(Folder.Path("q.bmp"), 10, 6, QuadrantAt);
    TLoadedPicture Loaded = LoadPicture(Folder.Path("q.bmp"));
    ASSERT_EQ(Loaded.Picture.Width(), 10);
    ASSERT_EQ(Loaded.Picture.Height(), 6);
    for (int32_t Y = 0; Y < 6; ++Y)
        for (int32_t X = 0; X < 10; ++X)
            ASSERT_TRUE(IsColour(Loaded.Picture, X, Y, QuadrantAt(X, Y, 10, 6)));
}

TEST(PictureFile, ThirtyTwoBitBmpWithoutAlphaIsOpaque) {
    TTempFolder Folder;
    WriteBmp(Folder.Path("q32.bmp"), 8, 4, QuadrantAt, 32);
    TLoadedPicture Loaded = LoadPicture(Folder.Path("q32.bmp"));
    ASSERT_EQ(Loaded.Picture.Width(), 8);
    for (int32_t Y = 0; Y < 4; ++Y)
        for (int32_t X = 0; X < 8; ++X)
            ASSERT_TRUE(IsColour(Loaded.Picture, X, Y, QuadrantAt(X, Y, 8, 4)));
}

TEST(PictureFile, GifShowsItsFirstFrame) {
    TTempFolder Folder;
    WriteAnimation(Folder.Path("a.gif"), 8, 6, {Red, Green, Blue}, 10);
    TLoadedPicture Loaded = LoadPicture(Folder.Path("a.gif"));
    ASSERT_EQ(Loaded.Picture.Width(), 8);
    ASSERT_EQ(Loaded.Picture.Height(), 6);
    EXPECT_TRUE(IsColour(Loaded.Picture, 4, 3, Red, 8));
}

TEST(PictureFile, KindComesFromTheBytesNotTheName) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("green.png"), 4, 4, 0xFF00FF00u);
    std::filesystem::rename(Folder.Path("green.png"), Folder.Path("really-a-png.jpg"));
    WriteBmp(Folder.Path("frame%d.png"), 4, 4, QuadrantAt);
    EXPECT_EQ(DetectPictureKind(Folder.Path("really-a-png.jpg")), TPictureKind::Png);
    EXPECT_TRUE(IsColour(LoadPicture(Folder.Path("really-a-png.jpg")).Picture, 1, 1, Green));
    // A "%d" in a name is no frame-number pattern here.
    EXPECT_TRUE(IsColour(LoadPicture(Folder.Path("frame%d.png")).Picture, 3, 3, White));
}

TEST(PictureFile, LargePicturesComeReducedButNeverBelowWhatIsNeeded) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("big.png"), 400, 200, Quadrants());
    WriteTestPicture(Folder.Path("big.jpg"), 400, 200, Quadrants());
    for (const char* Name : {"big.png", "big.jpg"}) {
        TLoadedPicture Loaded = LoadPicture(Folder.Path(Name), {50, 50});
        EXPECT_EQ(Loaded.FullWidth, 400) << Name;
        EXPECT_EQ(Loaded.FullHeight, 200) << Name;
        EXPECT_GE(Loaded.Picture.Height(), 50) << Name;
        EXPECT_GE(Loaded.Picture.Width(), 100) << Name;
        EXPECT_LT(Loaded.Picture.Width(), 200) << Name;
        EXPECT_EQ(Loaded.Picture.Width() * 200, Loaded.Picture.Height() * 400) << Name;
        ExpectQuadrants(Loaded.Picture, 24);
    }
    // Asking for more than the picture has keeps it whole.
    EXPECT_EQ(LoadPicture(Folder.Path("big.png"), {800, 800}).Picture.Width(), 400);
}

TEST(PictureFile, MetafilesCannotBeShownHere) {
    TTempFolder Folder;
    WriteMetafile(Folder.Path("clipart.wmf"));
    WriteMetafile(Folder.Path("clipart-without-extension"));
    WriteBytes(Folder.Path("drawing.EMF"), std::string(100, 'x'));
    for (const char* Name : {"clipart.wmf", "clipart-without-extension", "drawing.EMF"}) {
        EXPECT_EQ(DetectPictureKind(Folder.Path(Name)), TPictureKind::Metafile) << Name;
        std::string Message = MessageOf(Folder.Path(Name));
        EXPECT_NE(Message.find(Folder.Path(Name)), std::string::npos) << Message;
        EXPECT_NE(Message.find("cannot be shown"), std::string::npos) << Message;
    }
}

TEST(PictureFile, DamagedOrMissingPicturesRaiseTheCannotOpenError) {
    TTempFolder Folder;
    WriteTestPicture(Folder.Path("whole.png"), 64, 64, Quadrants());
    WriteTruncatedCopy(Folder.Path("whole.png"), Folder.Path("cut.png"), 0.5);
    WriteGarbageFile(Folder.Path("garbage.png"), 5000, 7);
    WriteBytes(Folder.Path("empty.bmp"), "");
    WriteBytes(Folder.Path("broken.jpg"),
               std::string("\xFF\xD8\xFF\xE0", 4) + std::string(300, 'z'));
    WriteBytes(Folder.Path("broken.png"),
               std::string("\x89PNG\r\n\x1A\n", 8) + std::string(40, 'q'));
    for (const char* Name :
         {"cut.png", "garbage.png", "empty.bmp", "broken.jpg", "broken.png", "missing.jpg"}) {
        std::string Message = MessageOf(Folder.Path(Name));
        EXPECT_NE(Message.find("Cannot open the media file"), std::string::npos)
            << Name << ": " << Message;
        EXPECT_NE(Message.find(Name), std::string::npos) << Message;
    }
}

TEST(PictureFile, SizesBeyondTheLimitAreRefused) {
    EXPECT_NO_THROW(CheckPictureSize("a.png", 8000, 6000));
    EXPECT_THROW(CheckPictureSize("a.png", 70000, 10), EMediaError);
    EXPECT_THROW(CheckPictureSize("a.png", 20000, 20000), EMediaError);
    EXPECT_THROW(CheckPictureSize("a.png", 0, 10), EMediaError);
}
