// Reading booleans, colours and stepped values of transform properties.

#include "platform/media/transform_values.h"

#include <gtest/gtest.h>

namespace {

TEST(TransformValues, BooleansInEverySpelling) {
    for (const char* Yes : {"True", "true", "TRUE", " True ", "1", "-1", "2"})
        EXPECT_EQ(ParsePropertyBool(Yes), std::optional<bool>(true)) << Yes;
    for (const char* No : {"False", "false", "FALSE", "0", "0.0"})
        EXPECT_EQ(ParsePropertyBool(No), std::optional<bool>(false)) << No;
    for (const char* Neither : {"", "yes", "Truth"})
        EXPECT_EQ(ParsePropertyBool(Neither), std::nullopt) << Neither;
}

TEST(TransformValues, ColoursAreTheLow32BitsOfAnInteger) {
    EXPECT_EQ(ParsePropertyColor("-1"), std::optional<TColor>(0xFFFFFFFFu));
    EXPECT_EQ(ParsePropertyColor("255"), std::optional<TColor>(0xFFu));
    EXPECT_EQ(ParsePropertyColor("0xFF00FF00"), std::optional<TColor>(0xFF00FF00u));
    EXPECT_EQ(ParsePropertyColor("4278190080"), std::optional<TColor>(0xFF000000u));
    EXPECT_EQ(ParsePropertyColor("red"), std::nullopt);
}

TEST(TransformValues, SteppedKeysHoldUntilTheNextKey) {
    TPropertySetter Setter;
    Setter.AddValue("Mirror", 100, "True");
    Setter.AddValue("mirror", 200, "nonsense");
    Setter.AddValue("MIRROR", 300, "0");
    TSteppedKeys<bool> Mirror = BoolKeys(Setter, "Mirror", false);
    EXPECT_TRUE(Mirror.At(0)); // before the first key its value holds
    EXPECT_TRUE(Mirror.At(250));
    EXPECT_FALSE(Mirror.At(300));
    EXPECT_FALSE(Mirror.IsConstant());
    EXPECT_TRUE(BoolKeys(Setter, "Other", true).At(50));
    EXPECT_EQ(ParsePropertyInteger("2.6"), std::optional<int32_t>(3));
    EXPECT_EQ(ParsePropertyInteger("-2.5"), std::optional<int32_t>(-3));
}

} // namespace
