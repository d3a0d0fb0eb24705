#include "render/property_variant.h"

#include "render_test_support.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(PropertyVariantTest, TextsAreTheFormsTheEngineReads) {
    EXPECT_EQ(PropertyVariantText(TPropertyVariant()), "");
    EXPECT_EQ(PropertyVariantText(true), "1");
    EXPECT_EQ(PropertyVariantText(false), "0");
    EXPECT_EQ(PropertyVariantText(int32_t(-32)), "-32");
    EXPECT_EQ(PropertyVariantText(0.25), "0.25");
    EXPECT_EQ(PropertyVariantText(2.0), "2");
    EXPECT_EQ(PropertyVariantText(std::string("hide")), "hide");
}

TEST(PropertyVariantTest, FloatsReadBackExactly) {
    for (double Value : {0.1, 1.0 / 3.0, 1e-9, 123456789.125, -0.06}) {
        double Back = 0;
        ASSERT_TRUE(VariantToNumber(PropertyVariantText(Value), Back));
        EXPECT_EQ(Back, Value);
    }
}

TEST(PropertyVariantTest, FloatsAreWrittenWithoutAnExponent) {
    EXPECT_EQ(PropertyFloatText(1e-7), "0.0000001");
    EXPECT_EQ(PropertyFloatText(1.5e10), "15000000000");
    EXPECT_EQ(PropertyFloatText(-0.06), "-0.06");
    double Back = 0;
    ASSERT_TRUE(VariantToNumber(PropertyFloatText(1e300), Back));
    EXPECT_EQ(Back, 1e300);
}

TEST(PropertyVariantTest, NumbersIgnoreTheLocale) {
    TCommaLocale Locale;
    if (!Locale.Active())
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    EXPECT_EQ(PropertyVariantText(0.5), "0.5");
    EXPECT_EQ(PropertyFloatText(1.5), "1.5");
    EXPECT_EQ(PropertyIntegerText(1234567), "1234567");
    double Back = 0;
    ASSERT_TRUE(VariantToNumber(std::string("0.75"), Back));
    EXPECT_EQ(Back, 0.75);
}

TEST(PropertyVariantTest, NumbersCompareByValueAcrossAlternatives) {
    EXPECT_TRUE(SameVariant(int32_t(25), 25.0));
    EXPECT_TRUE(SameVariant(true, int32_t(1)));
    EXPECT_FALSE(SameVariant(int32_t(25), 25.5));
    EXPECT_FALSE(SameVariant(std::string("25"), int32_t(25)));
    EXPECT_FALSE(SameVariant(TPropertyVariant(), int32_t(0)));
    EXPECT_TRUE(SameVariant(TPropertyVariant(), TPropertyVariant()));
}

TEST(PropertyVariantTest, UnreadableValuesGiveTheDefault) {
    EXPECT_EQ(VariantToInteger(std::string("soft"), 7), 7);
    EXPECT_EQ(VariantToInteger(TPropertyVariant(), 7), 7);
    EXPECT_EQ(VariantToFloat(std::numeric_limits<double>::quiet_NaN(), 0.5), 0.5);
    EXPECT_TRUE(VariantToBool(std::string("x"), true));
}

TEST(PropertyVariantTest, IntegerReadingsRoundAndStayInRange) {
    EXPECT_EQ(VariantToInteger(2.5, 0), 3);
    EXPECT_EQ(VariantToInteger(-2.4, 0), -2);
    EXPECT_EQ(VariantToInteger(1e12, 0), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(VariantToInteger(std::string("$10"), 0), 16);
}

} // namespace
