#include "project/effect.h"

#include "item_test_fixture.h"
#include "platform/media/media_renderer.h"
#include "platform/media/video_frame.h"
#include "project/file_clip.h"
#include "render/effect_element.h"
#include "render/timeline.h"
#include "render/timeline_track.h"

#include <algorithm>

namespace {

constexpr int32_t EmbossIndex = 1;
constexpr int32_t PixelateIndex = 3;

class EffectTest : public ItemTest {
protected:
    TTrack* EffectsTrack() const { return Project->Track(4); }
};

TEST_F(EffectTest, EffectIsPlacedOnTheEffectsRenderTrackAndFollowsItsTimes) {
    ASSERT_EQ(EffectsTrack()->Kind(), TTrackKind::Effects);
    auto* Effect = new TEffect(2 * Second, Second, EmbossIndex);
    EffectsTrack()->InsertItem(Effect, 0);
    TEffectElement* Element = Effect->EffectElement();
    TTimelineTrack* Render = EffectsTrack()->RenderTrack();
    EXPECT_EQ(Element->Track(), Render);
    EXPECT_EQ(std::count(Render->Effects().begin(), Render->Effects().end(), Element), 1);
    EXPECT_EQ(Element->Start(), Second);
    EXPECT_EQ(Element->RequestedDuration(), 2 * Second);

    Effect->SetPosition(3 * Second);
    Effect->SetDuration(4 * Second);
    EffectsTrack()->Normalize(false);
    EXPECT_EQ(Element->Start(), 3 * Second);
    EXPECT_EQ(Element->RequestedDuration(), 4 * Second);

    TRefPtr<TEffect> Held{Effect};
    EffectsTrack()->RemoveItem(Effect);
    EXPECT_EQ(Element->Track(), nullptr);
    EXPECT_TRUE(Render->Effects().empty());
}

TEST_F(EffectTest, EffectActsOnThePictureOnlyWithinItsTime) {
    VideoTrack()->InsertItem(new TFileClip(0, Video("a.avi", 100)), 0);
    VideoTrack()->Normalize(false);
    TMediaRenderer Renderer(Project->Timeline().Platform());
    TVideoFrame PlainIn, PlainOut, In, Out;
    Renderer.RenderVideo(Second / 2, PlainIn);
    Renderer.RenderVideo(3 * Second, PlainOut);
    EffectsTrack()->InsertItem(new TEffect(Second, 0, EmbossIndex), 0);
    Renderer.RenderVideo(Second / 2, In);
    Renderer.RenderVideo(3 * Second, Out);
    ASSERT_FALSE(PlainIn.IsEmpty());
    int Changed = 0;
    for (int32_t Y = 0; Y < In.Height(); ++Y)
        for (int32_t X = 0; X < In.Width(); ++X)
            Changed += In.Pixel(X, Y) != PlainIn.Pixel(X, Y);
    EXPECT_GT(Changed, In.Width() * In.Height() / 4);
    for (int32_t Y = 0; Y < Out.Height(); ++Y)
        for (int32_t X = 0; X < Out.Width(); ++X)
            ASSERT_EQ(Out.Pixel(X, Y), PlainOut.Pixel(X, Y)) << X << "," << Y;
}

TEST_F(EffectTest, ProjectWithEffectsSavesLoadsAndSavesTheSameText) {
    EffectsTrack()->InsertItem(new TEffect(2 * Second, Second, EmbossIndex), 0);
    EffectsTrack()->InsertItem(new TEffect(Second, 5 * Second, PixelateIndex), 1);
    EffectsTrack()->Item(1)->SetSelected(true);
    TRefPtr<TProject> Copy = Reloaded();
    EXPECT_EQ(ProjectText(*Copy), ProjectText(*Project));
    TTrack* Loaded = Copy->Track(4);
    ASSERT_EQ(Loaded->ItemCount(), 2);
    auto* Second_ = dynamic_cast<TEffect*>(Loaded->Item(1));
    ASSERT_NE(Second_, nullptr);
    EXPECT_EQ(Second_->DescriptionIndex(), PixelateIndex);
    EXPECT_EQ(Second_->Position(), 5 * Second);
    EXPECT_EQ(Second_->EffectElement()->RequestedDuration(), Second);
    EXPECT_EQ(Second_->EffectElement()->Track(), Loaded->RenderTrack());
    EXPECT_TRUE(Second_->IsSelected());
}

TEST_F(EffectTest, EffectRecordOfAnUnknownDescriptionIsDropped) {
    EffectsTrack()->InsertItem(new TEffect(2 * Second, Second, EmbossIndex), 0);
    EffectsTrack()->InsertItem(new TEffect(Second, 5 * Second, PixelateIndex), 1);
    std::string Text = ProjectText(*Project);
    const std::string Eol = Text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    size_t At = Text.find("Id = 1" + Eol);
    ASSERT_NE(At, std::string::npos);
    Text.replace(At, 6, "Id = 4711");
    TData Read;
    Read.LoadFromText(Text);
    TRefPtr<TProject> Copy{new TProject};
    Copy->LoadFromData(Read);
    ASSERT_EQ(Copy->Track(4)->ItemCount(), 1);
    EXPECT_EQ(static_cast<TEffect*>(Copy->Track(4)->Item(0))->DescriptionIndex(), PixelateIndex);
}

} // namespace
