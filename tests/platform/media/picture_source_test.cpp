// The still-picture source on the engine's timeline: the zoom-and-pan
// callback chooses what each frame shows, the clip colour fills the rest.

#include "picture_test_files.h"
#include "platform/media/media_components.h"
#include "platform/media/media_error.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/picture_source.h"
#include "platform/media/picture_source_name.h"
#include "platform/media/video_frame.h"
#include "platform/media/zoom_pan_callbacks.h"
#include "test_media.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace TestPictures;

namespace {

constexpr TVideoTime Second = 10000000;
constexpr TVideoTime Frame = 400000; // 25 frames per second

TColor ColourOf(TRgb C) {
    return MakeColor(C.R, C.G, C.B);
}

class PictureSource : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestPicture(Folder.Path("q.png"), 64, 48, Quadrants());
        Name.FileName = Folder.Path("q.png");
        Name.OutputWidth = 16;
        Name.OutputHeight = 12;
        Name.FramesPerSecond = 25;
        Name.KeepAspectRatio = false;
    }

    TMediaSource* AddPicture(TVideoTime Start, TVideoTime Stop) {
        Name.MediaStop = Stop - Start;
        auto Source = std::make_unique<TMediaSource>();
        Source->SetSubObjectClassId(PictureSourceClassId());
        Source->SetStretchMode(TMediaSource::Crop);
        Source->SetStartStop(Start, Stop);
        Source->SetMediaTimes(0, Stop - Start);
        TPropertySetter Properties;
        Properties.SetValue("filename", BuildPictureSourceName(Name));
        Source->SetProperties(std::move(Properties));
        return Track->SrcAdd(std::move(Source));
    }

    const TVideoFrame& At(TVideoTime Time) {
        Renderer.RenderVideo(Time, Picture);
        return Picture;
    }

    // Every pixel of the frame is Colour.
    ::testing::AssertionResult IsAll(const TVideoFrame& F, TColor Colour) {
        for (int32_t Y = 0; Y < F.Height(); ++Y)
            for (int32_t X = 0; X < F.Width(); ++X)
                if (F.Pixel(X, Y) != Colour)
                    return ::testing::AssertionFailure()
                           << "pixel (" << X << ", " << Y << ") is 0x" << std::hex << F.Pixel(X, Y);
        return ::testing::AssertionSuccess();
    }

    TTempFolder Folder;
    TPictureSourceName Name;
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({16, 12, Frame}));
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaRenderer Renderer{Timeline};
    TVideoFrame Picture;
};

} // namespace

TEST_F(PictureSource, RectangleFromTheCallbackIsWhatTheFrameShows) {
    TZoomPanRect Asked{32, 0, 64, 24}; // the top-right quadrant
    TZoomPanRegistration Callback([&](const TZoomPanQuery&) { return Asked; });
    Name.ZoomPanCallback = Callback.Handle();
    AddPicture(0, Second);
    EXPECT_TRUE(IsAll(At(0), ColourOf(Green)));
    Asked = {0, 24, 32, 48}; // the bottom-left one
    EXPECT_TRUE(IsAll(At(Frame), ColourOf(Blue)));
}

TEST_F(PictureSource, CallbackIsAskedOncePerFrameWithThePictureSizeAndTheProgress) {
    std::vector<TZoomPanQuery> Calls;
    TZoomPanRegistration Callback([&](const TZoomPanQuery& Query) {
        Calls.push_back(Query);
        return TZoomPanRect{0, 0, double(Query.PictureWidth), double(Query.PictureHeight)};
    });
    Name.ZoomPanCallback = Callback.Handle();
    AddPicture(2 * Second, 3 * Second);
    for (TVideoTime Time = 2 * Second; Time < 3 * Second; Time += Frame)
        At(Time);
    ASSERT_EQ(Calls.size(), 25u);
    for (const TZoomPanQuery& Call : Calls) {
        EXPECT_EQ(Call.PictureWidth, 64);
        EXPECT_EQ(Call.PictureHeight, 48);
    }
    EXPECT_DOUBLE_EQ(Calls.front().Progress, 0);
    EXPECT_DOUBLE_EQ(Calls.back().Progress, 1);
    EXPECT_DOUBLE_EQ(Calls[12].Progress, 0.5);
    for (size_t I = 1; I < Calls.size(); ++I)
        EXPECT_GT(Calls[I].Progress, Calls[I - 1].Progress);
}

// The callback holds no movement of its own: what it is to compute from
// comes from the source name.
TEST_F(PictureSource, CallbackReceivesTheMovementAndOutputSizeOfTheSourceName) {
    Name.ZoomPanBegin = {0.25, 0.75, 0.5};
    Name.ZoomPanEnd = {0.125, 0.375, 2};
    Name.OutputWidth = 720;
    Name.OutputHeight = 576;
    TZoomPanQuery Seen;
    TZoomPanRegistration Callback([&](const TZoomPanQuery& Query) {
        Seen = Query;
        return TZoomPanRect{0, 0, double(Query.PictureWidth), double(Query.PictureHeight)};
    });
    Name.ZoomPanCallback = Callback.Handle();
    AddPicture(0, Second);
    At(0);
    EXPECT_EQ(Seen.Begin, Name.ZoomPanBegin);
    EXPECT_EQ(Seen.End, Name.ZoomPanEnd);
    EXPECT_EQ(Seen.OutputWidth, 720);
    EXPECT_EQ(Seen.OutputHeight, 576);
}

TEST_F(PictureSource, UnknownOrNoCallbackShowsTheWholePicture) {
    for (uint64_t Handle : {uint64_t(0), uint64_t(0x7FFFFFFFFFFFFFF1ull)}) {
        Name.ZoomPanCallback = Handle;
        if (const TMediaSource* Old = Track->SourceAt(0))
            Track->RemoveSource(const_cast<TMediaSource*>(Old));
        AddPicture(0, Second);
        const TVideoFrame& F = At(0);
        EXPECT_EQ(F.Pixel(0, 0), ColourOf(Red)) << Handle;
        EXPECT_EQ(F.Pixel(15, 0), ColourOf(Green)) << Handle;
        EXPECT_EQ(F.Pixel(0, 11), ColourOf(Blue)) << Handle;
        EXPECT_EQ(F.Pixel(15, 11), ColourOf(White)) << Handle;
    }
}

TEST_F(PictureSource, UnregisteredCallbackFallsBackToTheWholePicture) {
    uint64_t Handle = RegisterZoomPanCallback([](const TZoomPanQuery&) {
        return TZoomPanRect{32, 0, 64, 24};
    });
    Name.ZoomPanCallback = Handle;
    AddPicture(0, Second);
    EXPECT_TRUE(IsAll(At(0), ColourOf(Green)));
    UnregisterZoomPanCallback(Handle);
    EXPECT_EQ(At(Frame).Pixel(0, 0), ColourOf(Red));
}

TEST_F(PictureSource, UnusableRectanglesShowTheWholePicture) {
    TZoomPanRect Asked{10, 10, 10, 30}; // no width
    TZoomPanRegistration Callback([&](const TZoomPanQuery&) { return Asked; });
    Name.ZoomPanCallback = Callback.Handle();
    AddPicture(0, Second);
    EXPECT_EQ(At(0).Pixel(15, 11), ColourOf(White));
    Asked = {0, 0, std::nan(""), 10};
    EXPECT_EQ(At(Frame).Pixel(15, 11), ColourOf(White));
}

TEST_F(PictureSource, ZoomBeyondThePictureShowsTheClipColourAround) {
    Name.ClipColor = MakeColor(255, 255, 0);
    TZoomPanRegistration Callback([](const TZoomPanQuery& Query) {
        double W = Query.PictureWidth, H = Query.PictureHeight;
        return TZoomPanRect{-W / 2, -H / 2, W * 1.5, H * 1.5};
    });
    Name.ZoomPanCallback = Callback.Handle();
    AddPicture(0, Second);
    const TVideoFrame& F = At(0);
    // The picture fills the middle half of the frame.
    EXPECT_EQ(F.Pixel(0, 0), MakeColor(255, 255, 0));
    EXPECT_EQ(F.Pixel(15, 11), MakeColor(255, 255, 0));
    EXPECT_EQ(F.Pixel(3, 2), MakeColor(255, 255, 0));
    EXPECT_EQ(F.Pixel(5, 4), ColourOf(Red));
    EXPECT_EQ(F.Pixel(10, 7), ColourOf(White));
    EXPECT_EQ(F.Pixel(12, 9), MakeColor(255, 255, 0));
}

TEST_F(PictureSource, KeepingTheAspectRatioFramesThePictureInTheClipColour) {
    WriteTestPicture(Folder.Path("wide.png"), 64, 24, Quadrants());
    Name.FileName = Folder.Path("wide.png");
    Name.ClipColor = MakeColor(0, 0, 0);
    Name.KeepAspectRatio = true;
    AddPicture(0, Second);
    const TVideoFrame& F = At(0);
    // 64 x 24 fitted into 16 x 12 is 16 x 6, rows 3 to 8.
    for (int32_t X = 0; X < 16; ++X) {
        EXPECT_EQ(F.Pixel(X, 2), MakeColor(0, 0, 0));
        EXPECT_EQ(F.Pixel(X, 9), MakeColor(0, 0, 0));
    }
    EXPECT_EQ(F.Pixel(0, 3), ColourOf(Red));
    EXPECT_EQ(F.Pixel(15, 8), ColourOf(White));

    Name.KeepAspectRatio = false;
    Track->RemoveSource(const_cast<TMediaSource*>(Track->SourceAt(0)));
    AddPicture(0, Second);
    EXPECT_EQ(At(0).Pixel(0, 0), ColourOf(Red));
    EXPECT_EQ(At(0).Pixel(15, 11), ColourOf(White));
}

TEST_F(PictureSource, TransparentPartsKeepTheirAlphaOverAClearClipColour) {
    WriteTestPicture(Folder.Path("half.png"), 8, 6, 0x80FF0000u);
    Name.FileName = Folder.Path("half.png");
    TMediaSource Source;
    Source.SetSubObjectClassId(PictureSourceClassId());
    Source.SetStartStop(0, Second);
    TPropertySetter Properties;
    Properties.SetValue("filename", BuildPictureSourceName(Name));
    Source.SetProperties(std::move(Properties));
    auto Component = MediaComponents().MakeSource(Source, {16, 12, Frame});
    TVideoFrame Out(16, 12);
    Component->Render({0, 0, Second}, Out);
    EXPECT_EQ(Out.Pixel(8, 6), MakeColor(255, 0, 0, 128));

    // Over an opaque clip colour the picture is laid by its alpha.
    Name.ClipColor = MakeColor(0, 0, 255);
    Properties.SetValue("filename", BuildPictureSourceName(Name));
    Source.SetProperties(std::move(Properties));
    Component = MediaComponents().MakeSource(Source, {16, 12, Frame});
    Component->Render({0, 0, Second}, Out);
    TColor P = Out.Pixel(8, 6);
    EXPECT_NEAR(int(P & 0xFF), 128, 1);
    EXPECT_NEAR(int((P >> 16) & 0xFF), 127, 1);
    EXPECT_EQ(P >> 24, 255u);
}

TEST_F(PictureSource, LargePictureTellsTheCallbackItsOwnSize) {
    WriteTestPicture(Folder.Path("big.png"), 400, 300, Quadrants());
    Name.FileName = Folder.Path("big.png");
    int32_t SeenWidth = 0;
    TZoomPanRegistration Callback([&](const TZoomPanQuery& Query) {
        SeenWidth = Query.PictureWidth;
        return TZoomPanRect{200, 150, 400, 300};
    });
    Name.ZoomPanCallback = Callback.Handle();
    AddPicture(0, Second);
    EXPECT_TRUE(IsAll(At(0), ColourOf(White)));
    EXPECT_EQ(SeenWidth, 400);
}

TEST_F(PictureSource, PicturesThatCannotBeShownRaiseWhenTheSourceIsMade) {
    WriteMetafile(Folder.Path("clipart.wmf"));
    Name.FileName = Folder.Path("clipart.wmf");
    TMediaSource Source;
    Source.SetSubObjectClassId(PictureSourceClassId());
    Source.SetStartStop(0, Second);
    TPropertySetter Properties;
    Properties.SetValue("filename", BuildPictureSourceName(Name));
    Source.SetProperties(Properties);
    EXPECT_THROW(MediaComponents().MakeSource(Source, {16, 12, Frame}), EMediaError);

    Name.FileName = Folder.Path("no-such-picture.png");
    Properties.SetValue("filename", BuildPictureSourceName(Name));
    Source.SetProperties(Properties);
    EXPECT_THROW(MediaComponents().MakeSource(Source, {16, 12, Frame}), EMediaError);

    // Through the renderer the error reaches whoever renders.
    Name.FileName = Folder.Path("clipart.wmf");
    AddPicture(0, Second);
    EXPECT_THROW(At(0), EMediaError);
}

TEST_F(PictureSource, NameThatIsNoPictureSourceNameRaises) {
    TMediaSource Source;
    Source.SetSubObjectClassId(PictureSourceClassId());
    TPropertySetter Properties;
    Properties.SetValue("filename", Folder.Path("q.png"));
    Source.SetProperties(std::move(Properties));
    try {
        MediaComponents().MakeSource(Source, {16, 12, Frame});
        FAIL() << "no error";
    } catch (const EMediaError& Error) {
        EXPECT_NE(std::string(Error.what()).find("q.png"), std::string::npos) << Error.what();
    }
}
