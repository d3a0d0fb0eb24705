#include "render/effect_previewer.h"
#include "render/transition_previewer.h"

#include "core/error.h"
#include "render/effect_element.h"
#include "render/file_clip_element.h"
#include "render/preview_pictures.h"
#include "render/transition_element.h"
#include "test_media.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr int32_t CrossFade = 1;
constexpr int32_t Wipe = 2;
constexpr int32_t Mirror = 5;
constexpr TVideoTime Frame = Second / 16; // the previewers' frame

class Previewers : public ::testing::Test {
protected:
    // The images folder as the build makes it.
    static std::string ImagesAsBuilt(const TTempFolder& In) {
        WritePreviewPictures(In.Path("Images"));
        return In.Path("Images");
    }

    TTempFolder Folder;
    std::string Images = ImagesAsBuilt(Folder);
    std::string Outgoing = EnsurePreviewPicture(Images, TPreviewPicture::TransitionOutgoing);
    std::string Incoming = EnsurePreviewPicture(Images, TPreviewPicture::TransitionIncoming);
    std::string Picture = EnsurePreviewPicture(Images, TPreviewPicture::Effect);
};

TEST_F(Previewers, SamplePicturesAreWrittenUnderTheImagesFolderAsStills) {
    EXPECT_EQ(Outgoing, Folder.Path("Images") + "/Stage/Transitions/Preview Clip1.bmp");
    EXPECT_EQ(Picture, Folder.Path("Images") + "/Stage/Effects/Preview Clip.bmp");
    TFileClipElement Clip(Incoming, true, true, -1);
    EXPECT_TRUE(Clip.IsStill());
    EXPECT_FALSE(Clip.HasAudio());
}

// An images folder without the pictures (an installed data folder that
// lacks them) is never written: the pictures go into the cache folder,
// once, and the images folder's own are taken when it has them.
TEST(PreviewPictures, AreTakenFromTheImagesFolderAndOtherwiseDrawnIntoTheCache) {
    TTempFolder Folder;
    const std::string Images = Folder.Path("Images"), Cache = Folder.Path("Cache");
    std::string Drawn = EnsurePreviewPicture(Images, TPreviewPicture::Effect, Cache);
    EXPECT_EQ(Drawn, Cache + "/Stage/Effects/Preview Clip.bmp");
    EXPECT_FALSE(std::filesystem::exists(Images));
    ASSERT_TRUE(std::filesystem::is_regular_file(Drawn));
    const auto Written = std::filesystem::last_write_time(Drawn);
    std::filesystem::last_write_time(Drawn, Written - std::chrono::hours(1));
    EXPECT_EQ(EnsurePreviewPicture(Images, TPreviewPicture::Effect, Cache), Drawn);
    EXPECT_EQ(std::filesystem::last_write_time(Drawn), Written - std::chrono::hours(1))
        << "a picture in the cache is not drawn again";

    WritePreviewPictures(Images);
    EXPECT_EQ(EnsurePreviewPicture(Images, TPreviewPicture::TransitionIncoming, Cache),
              Images + "/Stage/Transitions/Preview Clip2.bmp");
    EXPECT_FALSE(std::filesystem::exists(Cache + "/Stage/Transitions"));
    TFileClipElement Clip(Drawn, true, true, -1);
    EXPECT_TRUE(Clip.IsStill());
}

TEST_F(Previewers, ATwoSecondTransitionOverlapsTheClipsByAllButOneFrame) {
    TTransitionPreviewer Previewer(Outgoing, Incoming);
    Previewer.ShowTransition(CrossFade, false, 2 * Second);
    ASSERT_NE(Previewer.Transition(), nullptr);
    EXPECT_EQ(Previewer.OutgoingClip()->Start(), 0);
    EXPECT_EQ(Previewer.OutgoingClip()->Duration(), 19375000);
    EXPECT_EQ(Previewer.IncomingClip()->Start(), 0);
    EXPECT_EQ(Previewer.IncomingClip()->Duration(), 2 * Second);
    EXPECT_EQ(Previewer.Transition()->Start(), 0);
    EXPECT_EQ(Previewer.Transition()->Duration(), 19375000);
    EXPECT_EQ(Previewer.Transition()->Cut(), Frame);
    EXPECT_EQ(Previewer.Transition()->OutgoingClip(), Previewer.OutgoingClip());
    EXPECT_EQ(Previewer.Transition()->IncomingClip(), Previewer.IncomingClip());
    EXPECT_EQ(Previewer.GetDuration(), 2 * Second);
}

TEST_F(Previewers, ShowingATransitionAgainRebuildsNothingAndANewIndexOnlyReplacesIt) {
    TTransitionPreviewer Previewer(Outgoing, Incoming);
    Previewer.ShowTransition(CrossFade, false, 2 * Second);
    TTransitionElement* First = Previewer.Transition();
    int32_t Builds = Previewer.ElementBuildCount(), Rebuilds = Previewer.RebuildCount();
    Previewer.ShowTransition(CrossFade, false, 2 * Second);
    EXPECT_EQ(Previewer.ElementBuildCount(), Builds);
    EXPECT_EQ(Previewer.RebuildCount(), Rebuilds);

    Previewer.ShowTransition(Wipe, true, 2 * Second);
    EXPECT_EQ(Previewer.Transition(), First);
    EXPECT_EQ(Previewer.Transition()->DescriptionIndex(), Wipe);
    EXPECT_TRUE(Previewer.Transition()->Reverse());
    EXPECT_EQ(Previewer.Transition()->Duration(), 19375000);
    EXPECT_EQ(Previewer.IncomingClip()->Duration(), 2 * Second);

    // A new length reshapes the kept elements.
    Previewer.ShowTransition(Wipe, true, 3 * Second);
    EXPECT_EQ(Previewer.Transition(), First);
    EXPECT_EQ(Previewer.OutgoingClip()->Duration(), 3 * Second - Frame);
    EXPECT_EQ(Previewer.IncomingClip()->Duration(), 3 * Second);
    EXPECT_EQ(Previewer.Transition()->Duration(), 3 * Second - Frame);
    EXPECT_EQ(Previewer.GetDuration(), 3 * Second);
}

TEST_F(Previewers, AnUnknownTransitionIsRefusedBeforeAnythingIsBuilt) {
    TTransitionPreviewer Previewer(Outgoing, Incoming);
    EXPECT_THROW(Previewer.ShowTransition(9999, false, 2 * Second), EError);
    EXPECT_EQ(Previewer.Transition(), nullptr);
    EXPECT_EQ(Previewer.Track(1)->ClipCount(), 0);
    EXPECT_EQ(Previewer.ElementBuildCount(), 0);

    // Later, with elements built, an unknown index leaves them as they were.
    Previewer.ShowTransition(CrossFade, false, 2 * Second);
    EXPECT_THROW(Previewer.ShowTransition(-1, false, 2 * Second), EError);
    ASSERT_NE(Previewer.Transition(), nullptr);
    EXPECT_EQ(Previewer.Transition()->DescriptionIndex(), CrossFade);
}

TEST_F(Previewers, ATransitionFailingPartWayFreesWhatItBuiltAndStartsCleanNextTime) {
    TTransitionPreviewer Previewer(Outgoing, Folder.Path("missing.bmp"));
    for (int Attempt = 0; Attempt < 2; ++Attempt) {
        EXPECT_THROW(Previewer.ShowTransition(CrossFade, false, 2 * Second), EError);
        EXPECT_EQ(Previewer.Transition(), nullptr);
        EXPECT_EQ(Previewer.OutgoingClip(), nullptr);
        EXPECT_EQ(Previewer.IncomingClip(), nullptr);
        EXPECT_EQ(Previewer.Track(1)->ClipCount(), 0) << "attempt " << Attempt;
        EXPECT_EQ(Previewer.GetDuration(), 0);
    }
}

TEST_F(Previewers, AVeryShortTransitionKeepsAFrameOfTheOutgoingClip) {
    TTransitionPreviewer Previewer(Outgoing, Incoming);
    Previewer.ShowTransition(CrossFade, false, 1);
    EXPECT_EQ(Previewer.OutgoingClip()->Duration(), Frame);
    EXPECT_EQ(Previewer.IncomingClip()->Duration(), 2 * Frame);
    EXPECT_EQ(Previewer.Transition()->Duration(), Frame);
}

TEST_F(Previewers, AnEffectOfNoLengthIsShownForASecondOverTheBackground) {
    TEffectPreviewer Previewer(Picture);
    Previewer.SetBackgroundColor(MakeColor(10, 20, 30));
    Previewer.ShowEffect(Mirror, 0);
    ASSERT_NE(Previewer.Effect(), nullptr);
    EXPECT_EQ(Previewer.PictureClip()->Duration(), Second);
    EXPECT_EQ(Previewer.PictureClip()->Track(), Previewer.Track(2));
    EXPECT_EQ(Previewer.BackgroundClip()->Duration(), Second);
    EXPECT_EQ(Previewer.BackgroundClip()->Track(), Previewer.Track(1));
    EXPECT_EQ(Previewer.BackgroundClip()->Color(), MakeColor(10, 20, 30));
    EXPECT_EQ(Previewer.Effect()->HostClip(), Previewer.PictureClip());
    EXPECT_EQ(Previewer.Effect()->TimeMode(), TEffectTimeMode::Whole);

    Previewer.SetBackgroundColor(MakeColor(200, 0, 0));
    EXPECT_EQ(Previewer.BackgroundClip()->Color(), MakeColor(200, 0, 0));

    // The picture gets the new length; the background keeps its own.
    Previewer.ShowEffect(Mirror, 3 * Second);
    EXPECT_EQ(Previewer.PictureClip()->Duration(), 3 * Second);
    EXPECT_EQ(Previewer.BackgroundClip()->Duration(), Second);

    int32_t Builds = Previewer.ElementBuildCount();
    Previewer.ShowEffect(Mirror, 3 * Second);
    EXPECT_EQ(Previewer.ElementBuildCount(), Builds);
}

TEST_F(Previewers, AnEffectFailingPartWayFreesTheBackgroundToo) {
    TEffectPreviewer Previewer(Folder.Path("missing.bmp"));
    EXPECT_THROW(Previewer.ShowEffect(Mirror, Second), EError);
    EXPECT_EQ(Previewer.BackgroundClip(), nullptr);
    EXPECT_EQ(Previewer.PictureClip(), nullptr);
    EXPECT_EQ(Previewer.Effect(), nullptr);
    EXPECT_EQ(Previewer.Track(1)->ClipCount(), 0);

    TEffectPreviewer Good(Picture);
    EXPECT_THROW(Good.ShowEffect(9999, Second), EError);
    EXPECT_EQ(Good.BackgroundClip(), nullptr);
    EXPECT_EQ(Good.ElementBuildCount(), 0);
}

} // namespace
