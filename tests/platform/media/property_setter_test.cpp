#include "platform/media/property_setter.h"

#include <gtest/gtest.h>

namespace {

TEST(PropertySetter, KeysStayInTimeOrderAndNamesIgnoreCase) {
    TPropertySetter Setter;
    Setter.AddValue("Vol", 20, "0.2");
    Setter.AddValue("vol", 0, "1");
    Setter.AddValue("VOL", 10, "0.5");
    const auto* Keys = Setter.Keys("Vol");
    ASSERT_NE(Keys, nullptr);
    ASSERT_EQ(Keys->size(), 3u);
    EXPECT_EQ((*Keys)[0].Time, 0);
    EXPECT_EQ((*Keys)[1].Time, 10);
    EXPECT_EQ((*Keys)[2].Time, 20);
    EXPECT_EQ(Setter.TextAt("vOl", 15), "0.5");
    EXPECT_EQ(Setter.TextAt("vol", -5), "1");
    EXPECT_EQ(Setter.TextAt("missing", 0, "d"), "d");
}

TEST(PropertySetter, JumpKeysHoldAndInterpolatedKeysRamp) {
    TPropertySetter Setter;
    Setter.AddValue("Vol", 0, "0");
    Setter.AddValue("Vol", 100, "1", TKeyBlend::Interpolate);
    Setter.AddValue("Vol", 200, "0.25", TKeyBlend::Jump);
    TNumericKeys Vol(Setter, "Vol", 9);
    EXPECT_DOUBLE_EQ(Vol.At(-10), 0);
    EXPECT_DOUBLE_EQ(Vol.At(25), 0.25);
    EXPECT_DOUBLE_EQ(Vol.At(100), 1);
    EXPECT_DOUBLE_EQ(Vol.At(199), 1); // a jump key takes effect only at its time
    EXPECT_DOUBLE_EQ(Vol.At(200), 0.25);
    EXPECT_DOUBLE_EQ(Vol.At(1000), 0.25);
    EXPECT_DOUBLE_EQ(TNumericKeys(Setter, "other", 9).At(50), 9);
}

TEST(PropertySetter, NumbersReadTheSameInEveryLocaleAndInHexadecimal) {
    double Value = 0;
    EXPECT_TRUE(ParsePropertyNumber("0.5", Value));
    EXPECT_DOUBLE_EQ(Value, 0.5);
    EXPECT_TRUE(ParsePropertyNumber(" -1.25e1 ", Value));
    EXPECT_DOUBLE_EQ(Value, -12.5);
    EXPECT_TRUE(ParsePropertyNumber("0xFF000000", Value));
    EXPECT_DOUBLE_EQ(Value, 4278190080.0);
    EXPECT_TRUE(ParsePropertyNumber("$10", Value));
    EXPECT_DOUBLE_EQ(Value, 16);
    EXPECT_FALSE(ParsePropertyNumber("0,5", Value));
    EXPECT_FALSE(ParsePropertyNumber("", Value));
    EXPECT_FALSE(ParsePropertyNumber("nan", Value));
    EXPECT_FALSE(ParsePropertyNumber("0xZZ", Value));
}

} // namespace
