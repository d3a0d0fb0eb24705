#include "project/clip_effect.h"

#include "item_test_fixture.h"
#include "platform/media/media_renderer.h"
#include "platform/media/video_frame.h"
#include "project/file_clip.h"
#include "project/sub_track.h"
#include "project/title_clip.h"
#include "render/clip_element.h"
#include "render/effect_element.h"
#include "render/timeline.h"

#include <stdexcept>

namespace {

constexpr int32_t EmbossIndex = 1;
constexpr int32_t TransparencyIndex = 8;

class ClipEffectTest : public ItemTest {
protected:
    // Two numbered video clips side by side: A over 0..2 s, B over 2..4 s,
    // and one effect sub-track.
    void SetUp() override {
        ItemTest::SetUp();
        A = new TFileClip(0, Video("a.avi"));
        B = new TFileClip(2 * Second, Video("b.avi"));
        VideoTrack()->InsertItem(A, 0);
        VideoTrack()->InsertItem(B, 1);
        VideoTrack()->Normalize(false);
        VideoTrack()->AddEffectSubTrack(1);
    }

    int ChangedPixels(const TVideoFrame& Before, const TVideoFrame& After) const {
        int Changed = 0;
        for (int32_t Y = 0; Y < Before.Height(); ++Y)
            for (int32_t X = 0; X < Before.Width(); ++X)
                Changed += Before.Pixel(X, Y) != After.Pixel(X, Y);
        return Changed;
    }

    TFileClip* A = nullptr;
    TFileClip* B = nullptr;
};

TEST_F(ClipEffectTest, InsertedEffectTakesItsSubTrackAndReachesTheClipElement) {
    auto* Effect = new TClipEffect(EmbossIndex);
    A->InsertClipEffect(Effect, 1);
    EXPECT_EQ(Effect->Clip(), A);
    EXPECT_EQ(Effect->SubTrack(), VideoTrack()->SubTrack(1));
    EXPECT_EQ(A->EffectSlot(1), Effect);
    EXPECT_EQ(Effect->Element()->HostClip(), A->ClipElement());
    ASSERT_EQ(A->ClipElement()->ClipEffects().size(), 1u);
    EXPECT_THROW(B->InsertClipEffect(Effect, 1), std::exception);
    EXPECT_THROW(B->RemoveClipEffect(Effect), std::exception);
    EXPECT_EQ(A->ClipEffectCount(), 1);
}

TEST_F(ClipEffectTest, EmbossChangesItsClipOnlyWhenRendered) {
    TMediaRenderer Renderer(Project->Timeline().Platform());
    TVideoFrame PlainA, PlainB, EffectA, EffectB;
    Renderer.RenderVideo(Second, PlainA);
    Renderer.RenderVideo(3 * Second, PlainB);

    A->InsertClipEffect(new TClipEffect(EmbossIndex), 1);
    Renderer.RenderVideo(Second, EffectA);
    Renderer.RenderVideo(3 * Second, EffectB);

    ASSERT_FALSE(PlainA.IsEmpty());
    ASSERT_EQ(EffectA.Width(), PlainA.Width());
    EXPECT_GT(ChangedPixels(PlainA, EffectA), PlainA.Width() * PlainA.Height() / 4);
    EXPECT_EQ(ChangedPixels(PlainB, EffectB), 0);
}

TEST_F(ClipEffectTest, RemovedEffectNoLongerActsOnTheClip) {
    TMediaRenderer Renderer(Project->Timeline().Platform());
    TVideoFrame Plain, Removed;
    Renderer.RenderVideo(Second, Plain);
    TRefPtr<TClipEffect> Effect{new TClipEffect(EmbossIndex)};
    A->InsertClipEffect(Effect.Get(), 1);
    A->RemoveClipEffect(Effect.Get());
    EXPECT_EQ(Effect->Clip(), nullptr);
    EXPECT_EQ(Effect->SubTrack(), nullptr);
    EXPECT_EQ(Effect->Element()->HostClip(), nullptr);
    EXPECT_EQ(Effect->RefCount(), 1);
    Renderer.RenderVideo(Second, Removed);
    EXPECT_EQ(ChangedPixels(Plain, Removed), 0);
}

TEST_F(ClipEffectTest, DeletingTheEffectSubTrackRemovesTheClipEffectsOnIt) {
    VideoTrack()->AddEffectSubTrack(2);
    TRefPtr<TClipEffect> OnFirst{new TClipEffect(EmbossIndex)};
    TRefPtr<TClipEffect> OnSecond{new TClipEffect(TransparencyIndex)};
    A->InsertClipEffect(OnFirst.Get(), 1);
    A->InsertClipEffect(OnSecond.Get(), 2);
    B->InsertClipEffect(new TClipEffect(EmbossIndex), 1);

    VideoTrack()->DeleteEffectSubTrack(1);

    EXPECT_EQ(A->ClipEffectCount(), 1);
    EXPECT_EQ(A->ClipEffect(0), OnSecond.Get());
    EXPECT_EQ(OnFirst->Clip(), nullptr);
    EXPECT_EQ(B->ClipEffectCount(), 0);
    // The remaining effect follows its sub-track to its new index.
    EXPECT_EQ(OnSecond->SubIndex(), 1);
    EXPECT_EQ(A->EffectSlot(1), OnSecond.Get());
    EXPECT_EQ(A->ClipElement()->ClipEffects().size(), 1u);
}

TEST_F(ClipEffectTest, EffectBeyondTheSubTracksWaitsForItsSubTrack) {
    auto* Effect = new TClipEffect(EmbossIndex);
    A->InsertClipEffect(Effect, 3);
    EXPECT_EQ(Effect->SubIndex(), 3);
    EXPECT_EQ(Effect->SubTrack(), nullptr);
    EXPECT_EQ(Effect->Element()->HostClip(), nullptr);
    VideoTrack()->AddEffectSubTrack(2);
    EXPECT_EQ(Effect->SubTrack(), nullptr);
    VideoTrack()->AddEffectSubTrack(3);
    EXPECT_EQ(Effect->SubTrack(), VideoTrack()->SubTrack(3));
    EXPECT_EQ(A->EffectSlot(3), Effect);
    EXPECT_EQ(Effect->Element()->HostClip(), A->ClipElement());
}

TEST_F(ClipEffectTest, ClipLeavingItsTrackTakesItsEffectsAlongAndBack) {
    auto* Effect = new TClipEffect(EmbossIndex);
    A->InsertClipEffect(Effect, 1);
    TRefPtr<TFileClip> Held{A};
    VideoTrack()->RemoveItem(A);
    EXPECT_EQ(Effect->SubTrack(), nullptr);
    EXPECT_EQ(Effect->Element()->HostClip(), nullptr);
    EXPECT_EQ(Effect->Clip(), A);
    VideoTrack()->InsertItem(A, 0);
    EXPECT_EQ(Effect->SubTrack(), VideoTrack()->SubTrack(1));
    EXPECT_EQ(Effect->Element()->HostClip(), A->ClipElement());
}

TEST_F(ClipEffectTest, ProjectWithClipEffectsSavesLoadsAndSavesTheSameText) {
    VideoTrack()->AddEffectSubTrack(2);
    A->InsertClipEffect(new TClipEffect(EmbossIndex), 2);
    A->InsertClipEffect(new TClipEffect(TransparencyIndex), 1);
    B->InsertClipEffect(new TClipEffect(EmbossIndex), 1);
    A->ClipEffect(0)->SetSelected(true);

    TRefPtr<TProject> Copy = Reloaded();
    EXPECT_EQ(ProjectText(*Copy), ProjectText(*Project));
    auto* LoadedA = static_cast<TClip*>(Copy->Track(0)->Item(0));
    ASSERT_EQ(LoadedA->ClipEffectCount(), 2);
    EXPECT_EQ(LoadedA->ClipEffect(0)->DescriptionIndex(), EmbossIndex);
    EXPECT_EQ(LoadedA->ClipEffect(0)->SubIndex(), 2);
    EXPECT_TRUE(LoadedA->ClipEffect(0)->IsSelected());
    EXPECT_EQ(LoadedA->EffectSlot(1), LoadedA->ClipEffect(1));
    EXPECT_EQ(LoadedA->ClipEffect(1)->Element()->HostClip(), LoadedA->ClipElement());
}

// Edits a stored project text: the clip effect records of the first clip.
std::string Replaced(std::string Text, const std::string& From, const std::string& To) {
    size_t At = Text.find(From);
    EXPECT_NE(At, std::string::npos) << From;
    if (At != std::string::npos)
        Text.replace(At, From.size(), To);
    return Text;
}

TEST_F(ClipEffectTest, RecordsOfUnknownEffectsAreDroppedAndSubIndexesValidated) {
    A->InsertClipEffect(new TClipEffect(EmbossIndex), 1);
    A->InsertClipEffect(new TClipEffect(TransparencyIndex), 1);
    std::string Text = ProjectText(*Project);
    const std::string Eol = Text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    Text = Replaced(Text, "Id = 1" + Eol, "Id = 999" + Eol);
    Text = Replaced(Text, "SubIndex = 1" + Eol, "SubIndex = -4" + Eol);
    // The first effect record is now unknown; the second one follows.
    Text = Replaced(Text, "SubIndex = 1" + Eol, "SubIndex = -4" + Eol);
    TData Read;
    Read.LoadFromText(Text);
    TRefPtr<TProject> Copy{new TProject};
    Copy->LoadFromData(Read);
    auto* LoadedA = static_cast<TClip*>(Copy->Track(0)->Item(0));
    ASSERT_EQ(LoadedA->ClipEffectCount(), 1);
    EXPECT_EQ(LoadedA->ClipEffect(0)->DescriptionIndex(), TransparencyIndex);
    EXPECT_EQ(LoadedA->ClipEffect(0)->SubIndex(), 1);
}

} // namespace
