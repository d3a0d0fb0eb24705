#include "capture/frame_saver.h"

#include "canvas/pixels.h"
#include "platform/graphics/pixel_view.h"
#include "platform/media/media_probe.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"

#include "test_media.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TOutputSettings SaverSettings(int32_t Width, int32_t Height) {
    TOutputSettings Settings;
    Settings.Video = {7, Width, Height, 25};
    Settings.CompressionValue = 90;
    return Settings;
}

TPixels SolidBitmap(int32_t Width, int32_t Height, uint8_t Red, uint8_t Green, uint8_t Blue) {
    TPixels Bitmap(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X) {
            uint8_t* Pixel = Bitmap.Row(Y) + X * 4;
            Pixel[0] = Blue;
            Pixel[1] = Green;
            Pixel[2] = Red;
            Pixel[3] = 255;
        }
    return Bitmap;
}

TEST(PlaceInFrameTest, ABitmapSitsAtTheTopAndTheRestIsBlack) {
    struct TCase {
        int32_t BitmapWidth, BitmapHeight;
    };
    // Lower, narrower, larger in both directions, exactly the frame.
    for (TCase Case : {TCase{8, 5}, TCase{3, 7}, TCase{12, 10}, TCase{8, 7}}) {
        TPixels Bitmap = SolidBitmap(Case.BitmapWidth, Case.BitmapHeight, 200, 100, 50);
        std::vector<uint8_t> Frame;
        PlaceInFrame(Bitmap.View(), 8, 7, Frame);
        ASSERT_EQ(Frame.size(), 8u * 7u * 4u);
        for (int32_t Y = 0; Y < 7; ++Y)
            for (int32_t X = 0; X < 8; ++X) {
                const uint8_t* Pixel = Frame.data() + (Y * 8 + X) * 4;
                bool Inside = X < Case.BitmapWidth && Y < Case.BitmapHeight;
                EXPECT_EQ(Pixel[2], Inside ? 200 : 0) << X << "," << Y;
                EXPECT_EQ(Pixel[0], Inside ? 50 : 0) << X << "," << Y;
                EXPECT_EQ(Pixel[3], 255);
            }
    }
}

TEST(FrameSaverTest, ALowerBitmapLeavesBlackRowsAtTheBottomOfTheVideo) {
    TTempFolder Folder;
    std::string File = Folder.Path("animation.wmv");
    TFrameSaver Saver(File, SaverSettings(320, 240));
    EXPECT_EQ(Saver.Width(), 320);
    EXPECT_EQ(Saver.Height(), 240);
    TPixels Bitmap = SolidBitmap(320, 200, 240, 240, 240);
    for (int I = 0; I < 3; ++I)
        Saver.AddBitmap(Bitmap);
    Saver.Finish();

    TMediaInfo Info = ProbeMedia(File);
    ASSERT_EQ(Info.StreamCount(TStreamMajorType::Video), 1);
    EXPECT_EQ(Info.Streams[0].SubType, "wmv2");
    EXPECT_FALSE(Info.HasAudio());
    TVideoFileReader Reader(File, 0);
    auto Frame = Reader.FrameAt(0, 320, 240, TVideoFileReader::TFit::Stretch);
    auto Red = [&](int32_t X, int32_t Y) { return Frame->Data()[Y * Frame->Stride() + X * 4 + 2]; };
    for (int32_t X : {10, 160, 310}) {
        for (int32_t Y : {5, 100, 190})
            EXPECT_GT(Red(X, Y), 200) << X << "," << Y;
        for (int32_t Y : {205, 220, 235})
            EXPECT_LT(Red(X, Y), 30) << X << "," << Y; // the 40 black rows
    }
}

TEST(FrameSaverTest, EachPictureIsOneFrameInItsOrder) {
    TTempFolder Folder;
    std::string File = Folder.Path("series.wmv");
    std::string Picture = Folder.Path("frame.jpg");
    WriteTestPicture(Picture, 320, 240, 0xFF0000FFu); // blue
    TFrameSaver Saver(File, SaverSettings(320, 240));
    Saver.AddBitmap(SolidBitmap(320, 240, 255, 0, 0));
    Saver.AddJpeg(Picture);
    Saver.AddBitmap(SolidBitmap(320, 240, 0, 255, 0));
    EXPECT_EQ(Saver.FrameCount(), 3);
    Saver.Finish();

    TVideoFileReader Reader(File, 0);
    const int Expected[3][3] = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}};
    for (int I = 0; I < 3; ++I) {
        auto Frame = Reader.FrameAt(TVideoTime(I) * 400'000 + 1, 320, 240,
                                    TVideoFileReader::TFit::Stretch);
        const uint8_t* Middle = Frame->Data() + 120 * Frame->Stride() + 160 * 4;
        EXPECT_NEAR(Middle[2], Expected[I][0], 40) << "frame " << I;
        EXPECT_NEAR(Middle[1], Expected[I][1], 40) << "frame " << I;
        EXPECT_NEAR(Middle[0], Expected[I][2], 40) << "frame " << I;
    }
}

TEST(FrameSaverTest, ASaverDestroyedWithoutFinishLeavesNoFile) {
    TTempFolder Folder;
    std::string File = Folder.Path("dropped.wmv");
    {
        TFrameSaver Saver(File, SaverSettings(160, 120));
        Saver.AddBitmap(SolidBitmap(160, 120, 10, 20, 30));
        EXPECT_TRUE(std::filesystem::exists(File));
    }
    EXPECT_FALSE(std::filesystem::exists(File));
}

} // namespace
