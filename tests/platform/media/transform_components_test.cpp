// Every transform is registered under its class id as the kind of component
// the timeline builds it as, and unknown class ids are refused.

#include "platform/media/media_renderer.h"
#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

TEST(TransformComponents, EveryClassIdIsRegisteredAsItsKind) {
    const TMediaComponents& Registry = MediaComponents();
    for (const TGuid* Id : {&TransformClassIds::Wipe(), &TransformClassIds::Slide(),
                            &TransformClassIds::Stretch(), &TransformClassIds::Pixelate()})
        EXPECT_TRUE(Registry.HasTransition(*Id)) << Id->ToString();
    for (const TGuid* Id : {&TransformClassIds::Pixelate(), &TransformClassIds::Emboss(),
                            &TransformClassIds::Engrave(), &TransformClassIds::BasicImage(),
                            &TransformClassIds::AlphaRamp(), &TransformClassIds::ColourFade(),
                            &TransformClassIds::ColourAdjust()})
        EXPECT_TRUE(Registry.HasVideoEffect(*Id)) << Id->ToString();
    for (const TGuid* Id : {&TransformClassIds::Modulation(), &TransformClassIds::ClipVolume(),
                            &MediaClassIds::AudioVolumeEnvelope()})
        EXPECT_TRUE(Registry.HasAudioEffect(*Id)) << Id->ToString();
    EXPECT_FALSE(Registry.HasVideoEffect(TransformClassIds::Wipe()));
    EXPECT_FALSE(Registry.HasTransition(TransformClassIds::ColourAdjust()));
}

TEST(TransformComponents, ClassIdsAreTheOnesTheTimelineWrites) {
    EXPECT_EQ(TransformClassIds::Wipe().ToString(), "{FF4420AA-4937-4D4A-A27F-63C4B0AF6A6B}");
    EXPECT_EQ(TransformClassIds::Slide().ToString(), "{810E402F-056B-11D2-A484-00C04F8EFB69}");
    EXPECT_EQ(TransformClassIds::Stretch().ToString(), "{7658F2A2-0A83-11D2-A484-00C04F8EFB69}");
    EXPECT_EQ(TransformClassIds::Pixelate().ToString(), "{4CCEA634-FBE0-11D1-906A-00C04FD9189D}");
    EXPECT_EQ(TransformClassIds::Emboss().ToString(), "{F515306D-0156-11D2-81EA-0000F87557DB}");
    EXPECT_EQ(TransformClassIds::Engrave().ToString(), "{F515306E-0156-11D2-81EA-0000F87557DB}");
    EXPECT_EQ(TransformClassIds::BasicImage().ToString(), "{16B280C8-EE70-11D1-9066-00C04FD9189D}");
    EXPECT_EQ(TransformClassIds::AlphaRamp().ToString(), "{506D89AE-909A-44F7-9444-ABD575896E35}");
    EXPECT_EQ(TransformClassIds::ColourFade().ToString(), "{7DC190E2-5EC1-4C34-8C20-557802F70FD7}");
    EXPECT_EQ(TransformClassIds::ColourAdjust().ToString(),
              "{3EAEFC96-D6DE-4983-9C12-4FD78FC6BD4C}");
    EXPECT_EQ(TransformClassIds::Modulation().ToString(), "{5DA2164A-15E4-410E-AF7E-70A4AED69F43}");
    EXPECT_EQ(TransformClassIds::ClipVolume().ToString(), "{5A9C79CA-D283-4114-8BD0-1E6694727052}");
}

TEST(TransformComponents, EffectsOnATrackWorkThroughTheRenderer) {
    // A red clip embossed over its second half: flat red turns mid grey.
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({Width, Height, 400000}));
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColour(Track, 0, 2 * Second, MakeColor(200, 0, 0));
    Track->EffectInsBefore(Node<TMediaEffect>(TransformClassIds::Emboss(), {}, Second, 2 * Second),
                           -1);
    TMediaRenderer Renderer(Timeline);
    TVideoFrame Picture;
    Renderer.RenderVideo(Second / 2, Picture);
    EXPECT_EQ(Picture.Pixel(5, 5), MakeColor(200, 0, 0));
    Renderer.RenderVideo(Second + Second / 2, Picture);
    EXPECT_EQ(Picture.Pixel(5, 5), MakeColor(128, 128, 128));
}

TEST(TransformComponents, EveryTransitionGoesFromBeneathToItsTrackAndSwappedTheOtherWay) {
    const TColor Red = MakeColor(255, 0, 0), Blue = MakeColor(0, 0, 255);
    const std::pair<const TGuid*, TPropertySetter> Transitions[] = {
        {&TransformClassIds::Wipe(), Properties({{"MaskNum", "119"}})},
        {&TransformClassIds::Slide(), Properties({{"slideStyle", "swap"}})},
        {&TransformClassIds::Stretch(), Properties({{"stretchStyle", "spin"}})},
        {&TransformClassIds::Pixelate(), Properties({{"MaxSquare", "8"}})}};
    for (const auto& [Id, Values] : Transitions) {
        TMediaTimeline Timeline;
        TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({Width, Height, 400000}));
        TMediaTrack* Lower = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        TMediaTrack* Upper = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        AddColour(Lower, 0, 3 * Second, Red);
        AddColour(Upper, Second, 3 * Second, Blue);
        TMediaTransition* Transition =
            Upper->TransAdd(Node<TMediaTransition>(*Id, Values, Second, 2 * Second));
        TMediaRenderer Renderer(Timeline);
        TVideoFrame Picture;
        auto Centre = [&](TVideoTime Time) {
            Renderer.RenderVideo(Time, Picture);
            return Picture.Pixel(Width / 2, Height / 2);
        };
        const TVideoTime First = Second, Last = 2 * Second - 400000;
        EXPECT_EQ(Centre(First), Red) << Id->ToString();
        EXPECT_EQ(Centre(Last), Blue) << Id->ToString();
        Transition->SetSwapInputs(true);
        EXPECT_EQ(Centre(First), Blue) << Id->ToString();
        EXPECT_EQ(Centre(Last), Red) << Id->ToString();
    }
}

} // namespace
