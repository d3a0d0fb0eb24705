#include "project/drag_things.h"

#include "item_test_fixture.h"

namespace {

class DragThingTest : public ItemTest {};

TEST_F(DragThingTest, FileThingsTakeLengthAndStreamsFromTheFile) {
    TTestVideoOptions Options;
    Options.FrameCount = 75;
    Options.WithAudio = true;
    std::string Movie = Folder.Path("m.avi");
    WriteTestVideo(Movie, Options);
    TFileClipDragThing Clip(Movie);
    EXPECT_NEAR(double(Clip.Duration()), double(3 * Second), double(Second) / 10);
    EXPECT_TRUE(Clip.HasAudio());
    EXPECT_TRUE(Clip.HasVideo());
    EXPECT_EQ(Clip.FileName(), Movie);

    std::string Tone = Folder.Path("t.wav");
    WriteTestTone(Tone, 440, 0.5, 2);
    TFileClipDragThing Sound(Tone);
    EXPECT_TRUE(Sound.HasAudio());
    EXPECT_FALSE(Sound.HasVideo());

    // A picture has no length: 5 s, as the clip it makes.
    TFileClipDragThing Still(Picture("p.png"));
    EXPECT_EQ(Still.Duration(), TFileClipDragThing::DefaultDuration);
    EXPECT_FALSE(Still.HasAudio());
    EXPECT_TRUE(Still.HasVideo());

    std::string Garbage = Folder.Path("g.mp4");
    WriteGarbageFile(Garbage, 4096, 7);
    TFileClipDragThing Broken(Garbage);
    EXPECT_EQ(Broken.Duration(), TFileClipDragThing::DefaultDuration);
    EXPECT_TRUE(Broken.HasVideo());
}

TEST_F(DragThingTest, PicturesFitThirtyTwoSquareInTheirShape) {
    TTitleClipDragThing Title(FirstTitleStyle(), 4 * Second);
    EXPECT_FALSE(Title.HasAudio());
    EXPECT_TRUE(Title.HasVideo());
    TVideoFrame Wide;
    Wide.Resize(640, 160);
    Title.SetPicture(Wide);
    EXPECT_EQ(Title.Picture().Width(), 32);
    EXPECT_EQ(Title.Picture().Height(), 8);
    TVideoFrame Thin;
    Thin.Resize(1, 400);
    Title.SetPicture(Thin);
    EXPECT_EQ(Title.Picture().Width(), 1);
    EXPECT_EQ(Title.Picture().Height(), 32);
    Title.SetPicture(Wide, false);
    EXPECT_TRUE(Title.Picture().IsEmpty());
    TTransitionDragThing Transition(TransitionIndex(true), Second, 3);
    EXPECT_EQ(Transition.Flags(), 3);
    EXPECT_TRUE(Transition.Picture().IsEmpty());
}

} // namespace
