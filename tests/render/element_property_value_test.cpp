#include "render/element_property_value.h"

#include "core/error.h"
#include "platform/media/property_setter.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr TVideoTime Second = 10000000;

TEST(ElementPropertyValueTest, FractionKeyTimesResolveAgainstTheDuration) {
    EXPECT_EQ(KeyTimeOffset(-KeyTimeFractionUnit, 4 * Second), 4 * Second);
    EXPECT_EQ(KeyTimeOffset(-KeyTimeFractionUnit / 2, 3 * Second), 15000000);
    // A third of ten units is 3.33..., two thirds 6.66...: to the nearest unit.
    EXPECT_EQ(KeyTimeOffset(-3333333, 10), 3);
    EXPECT_EQ(KeyTimeOffset(-6666667, 10), 7);
    EXPECT_EQ(KeyTimeOffset(2 * Second, 4 * Second), 2 * Second);
    EXPECT_EQ(KeyTimeOffset(0, 4 * Second), 0);
}

TEST(ElementPropertyValueTest, DamagedKeyTimesDoNotOverflow) {
    EXPECT_GE(KeyTimeOffset(std::numeric_limits<TVideoTime>::min(), 0), 0);
}

TEST(ElementPropertyValueTest, TheEndKeyOfAFourSecondEffectIsWrittenAtFourSeconds) {
    TElementPropertyValue Ramp;
    Ramp.AddKey(0, 0.0);
    Ramp.AddKey(-KeyTimeFractionUnit, 1.0);
    Ramp.SetInterpolation(TPropertyInterpolation::Interpolate);
    TPropertySetter Setter;
    Ramp.WriteTo(Setter, "AlphaRamp", 7 * Second, 4 * Second);
    const auto* Keys = Setter.Keys("AlphaRamp");
    ASSERT_NE(Keys, nullptr);
    ASSERT_EQ(Keys->size(), 2u);
    EXPECT_EQ((*Keys)[0].Time, 0);
    EXPECT_EQ((*Keys)[1].Time, 40000000);
    EXPECT_EQ((*Keys)[0].Value, "0");
    EXPECT_EQ((*Keys)[1].Value, "1");
}

TEST(ElementPropertyValueTest, TheFirstKeyIsJumpedToAndLaterOnesFollowTheInterpolation) {
    TElementPropertyValue Value;
    Value.AddKey(0, 1.0);
    Value.AddKey(Second, 2.0);
    Value.AddKey(2 * Second, 3.0);
    Value.SetInterpolation(TPropertyInterpolation::Interpolate);
    TPropertySetter Setter;
    Value.WriteTo(Setter, "Progress", 0, 4 * Second);
    const auto& Keys = *Setter.Keys("Progress");
    EXPECT_EQ(Keys[0].Blend, TKeyBlend::Jump);
    EXPECT_EQ(Keys[1].Blend, TKeyBlend::Interpolate);
    EXPECT_EQ(Keys[2].Blend, TKeyBlend::Interpolate);

    Value.SetInterpolation(TPropertyInterpolation::Jump);
    TPropertySetter Stepped;
    Value.WriteTo(Stepped, "Progress", 0, 4 * Second);
    for (const TKeyValue& Key : *Stepped.Keys("Progress"))
        EXPECT_EQ(Key.Blend, TKeyBlend::Jump);
}

TEST(ElementPropertyValueTest, KeysOutOfOrderRaiseAndWriteNothing) {
    TElementPropertyValue Value;
    Value.AddKey(0, 0.0);
    Value.AddKey(3 * Second, 1.0);
    Value.AddKey(-KeyTimeFractionUnit / 2, 0.5); // the middle of 4 s: 2 s, before 3 s
    TPropertySetter Setter;
    EXPECT_THROW(Value.WriteTo(Setter, "Progress", 0, 4 * Second), EError);
    EXPECT_FALSE(Setter.Has("Progress"));
    // Equal times are in order.
    TElementPropertyValue Cut;
    Cut.AddKey(Second, 0.0);
    Cut.AddKey(-KeyTimeFractionUnit / 4, 1.0);
    EXPECT_NO_THROW(Cut.WriteTo(Setter, "Progress", 0, 4 * Second));
    EXPECT_EQ(Setter.Keys("Progress")->size(), 2u);
}

TEST(ElementPropertyValueTest, InternalKeysAndEmptyValuesAreNotWritten) {
    TPropertySetter Setter;
    TElementPropertyValue(1.5).WriteTo(Setter, "*FirstLastTime", 0, Second);
    TElementPropertyValue().WriteTo(Setter, "Vol", 0, Second);
    EXPECT_TRUE(Setter.Names().empty());
}

TEST(ElementPropertyValueTest, SoftnessIsWrittenOnTheEngineScale) {
    struct TCase {
        TPropertyVariant Stored;
        const char* Written;
    };
    const TCase Cases[] = {
        {int32_t(0), "0"},     {int32_t(100), "255"}, {int32_t(50), "128"},    {int32_t(25), "64"},
        {int32_t(150), "255"}, {int32_t(-10), "0"},   {std::string("x"), "0"},
    };
    for (const TCase& Case : Cases) {
        TSoftnessPropertyValue Value(Case.Stored);
        TPropertySetter Setter;
        Value.WriteTo(Setter, "BorderSoftness", 0, Second);
        EXPECT_EQ(Setter.TextAt("BorderSoftness", 0), Case.Written)
            << PropertyVariantText(Case.Stored);
    }
}

TEST(ElementPropertyValueTest, ATwoKeyVolumeIsOneTextOnTheTimeline) {
    // The audio fade-in over a clip at 10 s lasting 1.5 s.
    TVolumePropertyValue Fade;
    Fade.AddKey(0, 0.0);
    Fade.AddKey(-KeyTimeFractionUnit, 1.0);
    Fade.SetInterpolation(TPropertyInterpolation::Interpolate);
    TPropertySetter Setter;
    Fade.WriteTo(Setter, "multivol", 10 * Second, 15000000);
    const auto* Keys = Setter.Keys("multivol");
    ASSERT_NE(Keys, nullptr);
    ASSERT_EQ(Keys->size(), 1u);
    EXPECT_EQ((*Keys)[0].Time, 0);
    EXPECT_EQ((*Keys)[0].Blend, TKeyBlend::Jump);
    EXPECT_EQ((*Keys)[0].Value, "100000000 115000000 0 1");
}

TEST(ElementPropertyValueTest, OtherVolumesAreWrittenAsTheyAre) {
    TPropertySetter Setter;
    TVolumePropertyValue(0.25).WriteTo(Setter, "Vol", 10 * Second, Second);
    EXPECT_EQ(Setter.TextAt("Vol", 0), "0.25");

    TVolumePropertyValue Three;
    Three.AddKey(0, 0.0);
    Three.AddKey(Second, 1.0);
    Three.AddKey(2 * Second, 0.5);
    Three.WriteTo(Setter, "multivol", 10 * Second, 4 * Second);
    EXPECT_EQ(Setter.Keys("multivol")->size(), 3u);
}

TEST(ElementPropertyValueTest, VolumeNumbersIgnoreTheLocale) {
    TCommaLocale Locale;
    if (!Locale.Active())
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    TVolumePropertyValue Fade;
    Fade.AddKey(0, 0.5);
    Fade.AddKey(Second, 0.25);
    TPropertySetter Setter;
    Fade.WriteTo(Setter, "multivol", 0, 2 * Second);
    EXPECT_EQ(Setter.TextAt("multivol", 0), "0 10000000 0.5 0.25");
}

TEST(ElementPropertyValueTest, ClonesKeepTheirClassAndKeys) {
    TSoftnessPropertyValue Softness(int32_t(40));
    auto Copy = Softness.Clone();
    EXPECT_EQ(Copy->ValueClass(), TPropertyValueClass::Softness);
    EXPECT_TRUE(Copy->IsConstant(int32_t(40)));
    EXPECT_TRUE(Copy->SameKeys(Softness));
}

TEST(ElementPropertyValueTest, TransitionsScaleOnlyTheBorderSoftness) {
    EXPECT_EQ(TransitionPropertyValueClass("bordersoftness"), TPropertyValueClass::Softness);
    EXPECT_EQ(TransitionPropertyValueClass("BorderSoftness"), TPropertyValueClass::Softness);
    EXPECT_EQ(TransitionPropertyValueClass("MaskNum"), TPropertyValueClass::Plain);
}

} // namespace
