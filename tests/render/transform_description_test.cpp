#include "render/transform_description.h"

#include "platform/media/property_setter.h"
#include "render/description_registry.h"
#include "render/effect_description.h"
#include "render/element_property_description.h"
#include "render/element_props.h"
#include "render/transition_description.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

const TEffectDescription& Effect(int32_t Index) {
    return *DescriptionRegistry().Effects().EffectByIndex(Index);
}

const TTransitionDescription& Transition(int32_t Index) {
    return *DescriptionRegistry().Transitions().TransitionByIndex(Index);
}

TEST(TransformDescriptionTest, PropertiesArePositionedFromOne) {
    const TEffectDescription& Mosaic = Effect(4);
    ASSERT_EQ(Mosaic.PropertyCount(), 2);
    EXPECT_EQ(Mosaic.Property(1)->Key(), "MaxSquare");
    EXPECT_EQ(Mosaic.Property(2)->Key(), "Progress");
    EXPECT_EQ(Mosaic.Property(0), nullptr);
    EXPECT_EQ(Mosaic.Property(3), nullptr);
    EXPECT_EQ(Mosaic.FindProperty("maxsquare"), Mosaic.Property(1));
    EXPECT_EQ(Mosaic.FindProperty("Mirror"), nullptr);
}

TEST(TransformDescriptionTest, DefaultsAreWrittenForTheElement) {
    TPropertySetter Setter;
    Transition(3).ApplyDefaults(Setter, 5 * Second, 2 * Second);
    EXPECT_EQ(Setter.TextAt("MaskNum", 0), "2");
    EXPECT_EQ(Setter.TextAt("BorderSoftness", 0), "64"); // 25 % of 255
    TPropertySetter Slide;
    Transition(137).ApplyDefaults(Slide, 0, Second);
    EXPECT_EQ(Slide.TextAt("slideStyle", 0), "push");
}

TEST(TransformDescriptionTest, AFadeInOfFourSecondsEndsAtFourSeconds) {
    TPropertySetter Setter;
    Effect(16).ApplyDefaults(Setter, 20 * Second, 4 * Second);
    const auto* Ramp = Setter.Keys("AlphaRamp");
    ASSERT_NE(Ramp, nullptr);
    ASSERT_EQ(Ramp->size(), 2u);
    EXPECT_EQ(Ramp->back().Time, 40000000);
    EXPECT_EQ(Ramp->back().Blend, TKeyBlend::Interpolate);
    EXPECT_DOUBLE_EQ(TNumericKeys(Setter, "AlphaRamp", -1).At(2 * Second), 0.5);
    EXPECT_FALSE(Setter.Has("*FirstLastTime"));
}

TEST(TransformDescriptionTest, AFadeToColourIsCompleteAtNineTenths) {
    TPropertySetter Setter;
    Effect(19).ApplyDefaults(Setter, 0, 10 * Second);
    TNumericKeys Progress(Setter, "Progress", -1);
    EXPECT_DOUBLE_EQ(Progress.At(0), 0.0);
    EXPECT_DOUBLE_EQ(Progress.At(9 * Second), 1.0);
    EXPECT_DOUBLE_EQ(Progress.At(95 * Second / 10), 1.0);
    EXPECT_EQ(Setter.TextAt("color", 0), "-1");
}

TEST(TransformDescriptionTest, TheAudioFadeInIsOneVolumeTextOnTheTimeline) {
    // A fade-in over a clip starting at 10 s with a length of 1.5 s.
    TPropertySetter Setter;
    Effect(20).ApplyDefaults(Setter, 10 * Second, 15000000);
    const auto* Keys = Setter.Keys("multivol");
    ASSERT_NE(Keys, nullptr);
    ASSERT_EQ(Keys->size(), 1u);
    EXPECT_EQ(Keys->front().Time, 0);
    EXPECT_EQ(Keys->front().Value, "100000000 115000000 0 1");
    TPropertySetter Out;
    Effect(21).ApplyDefaults(Out, 0, 2 * Second);
    EXPECT_EQ(Out.TextAt("multivol", 0), "0 20000000 1 0");
}

TEST(TransformDescriptionTest, TheElementsOwnValueTakesThePlaceOfTheDefault) {
    TElementProps Own;
    Own.SetValue("BorderSoftness", int32_t(100));
    TPropertySetter Setter;
    Transition(2).ApplyDefaults(Setter, 0, Second, &Own);
    Own.Apply(Setter, 0, Second);
    // Only the element's key: a default beside it would still show at the
    // first frame.
    ASSERT_EQ(Setter.Keys("BorderSoftness")->size(), 1u);
    EXPECT_EQ(Setter.TextAt("MaskNum", 0), "1");
}

TEST(TransformDescriptionTest, RemovingTheOwnValueBringsTheDefaultBack) {
    TElementProps Own;
    Own.SetValue("MaxSquare", int32_t(5));
    Own.SetValue("MaxSquare", TPropertyVariant());
    TPropertySetter Setter;
    Transition(142).ApplyDefaults(Setter, 0, Second, &Own);
    Own.Apply(Setter, 0, Second);
    EXPECT_EQ(Setter.TextAt("MaxSquare", 0), "50");
}

} // namespace
