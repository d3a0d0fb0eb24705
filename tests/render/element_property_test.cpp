#include "render/element_property.h"

#include "render/description_registry.h"
#include "render/effect_description.h"
#include "render/element_property_description.h"
#include "render/element_props.h"
#include "render/transition_description.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

struct THost : TPropertyHost {
    TVideoTime Duration = 0;
    TVideoTime HostDuration() const override { return Duration; }
};

const TEffectDescription& Effect(int32_t Index) {
    const TEffectDescription* Result = DescriptionRegistry().Effects().EffectByIndex(Index);
    EXPECT_NE(Result, nullptr);
    return *Result;
}

int32_t PositionOf(const TTransformDescription& Description, std::string_view Key) {
    for (int32_t Position = 1; Position <= Description.PropertyCount(); ++Position)
        if (Description.Property(Position)->Key() == Key)
            return Position;
    return 0;
}

TEST(ElementPropertyTest, TheValueIsTheDefaultUntilTheElementHasItsOwn) {
    const TTransitionDescription& Wipe = *DescriptionRegistry().Transitions().TransitionByIndex(2);
    TElementProps Props;
    TElementProperty Softness(Props, Wipe, PositionOf(Wipe, "BorderSoftness"));
    EXPECT_EQ(VariantToInteger(Softness.CurrentValue(), -1), 25);

    Softness.SetValue(int32_t(70));
    EXPECT_EQ(VariantToInteger(Softness.CurrentValue(), -1), 70);
    ASSERT_NE(Props.Value("BorderSoftness"), nullptr);

    Softness.SetValue(TPropertyVariant());
    EXPECT_EQ(Props.Value("BorderSoftness"), nullptr);
    EXPECT_EQ(VariantToInteger(Softness.CurrentValue(), -1), 25);
}

TEST(ElementPropertyTest, EditableNamedParametersAreOffered) {
    TElementProps Props;
    auto Wipe =
        MakeElementProperties(Props, *DescriptionRegistry().Transitions().TransitionByIndex(2));
    ASSERT_EQ(Wipe.size(), 1u);
    EXPECT_EQ(Wipe[0]->Description().Key(), "BorderSoftness");
    EXPECT_EQ(Wipe[0]->Position(), 2);

    EXPECT_TRUE(MakeElementProperties(Props, Effect(5)).empty()); // a fixed mirror

    // The fade length of a fade is the user's to choose.
    auto FadeIn = MakeElementProperties(Props, Effect(16));
    ASSERT_EQ(FadeIn.size(), 1u);
    EXPECT_EQ(FadeIn[0]->Description().Key(), "*FirstLastTime");
}

TEST(ElementPropertyTest, ClipEffectLengthsAreLimitedByTheHostClip) {
    TElementProps Props;
    THost Host;
    Host.Duration = 2 * Second;
    auto FadeIn = MakeElementProperties(Props, Effect(16), &Host);
    ASSERT_EQ(FadeIn.size(), 1u);
    const TElementPropertyDescription& Length = FadeIn[0]->Description();
    EXPECT_EQ(Length.ClipEffect(), &Host);
    EXPECT_EQ(FadeIn[0]->Position(), 0);
    EXPECT_DOUBLE_EQ(Length.FloatMax(), 2.0);
    Host.Duration = 60 * Second;
    EXPECT_DOUBLE_EQ(Length.FloatMax(), 5.0);
    // A host shorter than the shortest fade leaves the shortest fade possible.
    Host.Duration = Second / 100;
    EXPECT_DOUBLE_EQ(Length.FloatMax(), Length.FloatMin());
    // The registry's own description stays unbound.
    const TElementPropertyDescription* Registered =
        Effect(16).Property(PositionOf(Effect(16), "*FirstLastTime"));
    EXPECT_EQ(Registered->ClipEffect(), nullptr);
    EXPECT_DOUBLE_EQ(Registered->FloatMax(), 5.0);
}

TEST(ElementPropertyTest, OtherFloatsOfClipEffectsKeepTheirRange) {
    TElementProps Props;
    THost Host;
    Host.Duration = Second / 2;
    auto Transparency = MakeElementProperties(Props, Effect(8), &Host);
    ASSERT_EQ(Transparency.size(), 1u);
    EXPECT_EQ(Transparency[0]->Description().Key(), "AlphaRamp");
    EXPECT_DOUBLE_EQ(Transparency[0]->Description().FloatMax(), 1.0);
}

TEST(ElementPropertyTest, SettingABoundLengthReachesTheElement) {
    TElementProps Props;
    THost Host;
    Host.Duration = 3 * Second;
    auto FadeOut = MakeElementProperties(Props, Effect(17), &Host);
    ASSERT_EQ(FadeOut.size(), 1u);
    EXPECT_DOUBLE_EQ(VariantToFloat(FadeOut[0]->CurrentValue(), 0), 1.5);
    FadeOut[0]->SetValue(2.0);
    ASSERT_NE(Props.Value("*FirstLastTime"), nullptr);
    EXPECT_TRUE(Props.Value("*FirstLastTime")->IsConstant(2.0));
}

} // namespace
