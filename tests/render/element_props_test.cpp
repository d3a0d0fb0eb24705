#include "render/element_props.h"

#include "core/error.h"
#include "platform/media/property_setter.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr TVideoTime Second = 10000000;

// Stands in for an element: answers value classes like a transition and
// remembers what reaches its special-key handler.
struct TOwner {
    std::vector<std::pair<std::string, bool>> SpecialKeys; // key, removed
    void SpecialKey(TElementProps*, std::string_view Key, const TElementPropertyValue& Value) {
        SpecialKeys.emplace_back(std::string(Key), Value.IsEmpty());
    }
    TPropertyValueClass ValueClass(std::string_view Key) {
        return TransitionPropertyValueClass(Key);
    }
};

class ElementPropsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Props.OnChange = Events.Method();
        Props.OnSpecialKey = MakeDelegate<&TOwner::SpecialKey>(&Owner);
        Props.OnValueClass = MakeDelegate<&TOwner::ValueClass>(&Owner);
    }
    TElementProps Props;
    TEventCounter Events;
    TOwner Owner;
};

TEST_F(ElementPropsTest, SettingTheSameConstantChangesNothing) {
    Props.SetValue("BorderSoftness", int32_t(40));
    ASSERT_EQ(Events.Count, 1);
    EXPECT_EQ(Events.LastSender, &Props);
    Props.SetValue("bordersoftness", int32_t(40));
    Props.SetValue("BorderSoftness", 40.0);
    EXPECT_EQ(Events.Count, 1);
    Props.SetValue("BorderSoftness", int32_t(41));
    EXPECT_EQ(Events.Count, 2);
    EXPECT_EQ(Props.Count(), 1);
}

TEST_F(ElementPropsTest, AConstantReplacesKeyedValuesOfTheSameValue) {
    TElementPropertyValue Ramp;
    Ramp.AddKey(0, 1.0);
    Ramp.AddKey(Second, 2.0);
    Props.SetValue("Progress", Ramp);
    Props.SetValue("Progress", 1.0);
    EXPECT_EQ(Events.Count, 2);
    EXPECT_TRUE(Props.Value("Progress")->IsConstant(1.0));
}

TEST_F(ElementPropsTest, AnEmptyValueRemovesTheKey) {
    Props.SetValue("MaxSquare", int32_t(10));
    Props.SetValue("freq", int32_t(20));
    Props.SetValue("MaxSquare", TPropertyVariant());
    EXPECT_EQ(Props.Value("MaxSquare"), nullptr);
    EXPECT_EQ(Props.Count(), 1);
    EXPECT_EQ(Events.Count, 3);
    // Removing what is not there is no change.
    Props.SetValue("MaxSquare", TElementPropertyValue());
    EXPECT_EQ(Events.Count, 3);
}

TEST_F(ElementPropsTest, NewKeysTakeTheValueClassTheOwnerChooses) {
    Props.SetValue("BORDERSOFTNESS", int32_t(100));
    Props.SetValue("MaskNum", int32_t(3));
    EXPECT_EQ(Props.Value("BorderSoftness")->ValueClass(), TPropertyValueClass::Softness);
    EXPECT_EQ(Props.Value("MaskNum")->ValueClass(), TPropertyValueClass::Plain);
    TPropertySetter Setter;
    Props.Apply(Setter, 0, Second);
    EXPECT_EQ(Setter.TextAt("BorderSoftness", 0), "255");
}

TEST_F(ElementPropsTest, WithoutACallbackNewKeysArePlain) {
    TElementProps Plain;
    Plain.SetValue("BorderSoftness", int32_t(100));
    EXPECT_EQ(Plain.Value("BorderSoftness")->ValueClass(), TPropertyValueClass::Plain);
}

TEST_F(ElementPropsTest, StarKeysGoToTheSpecialKeyHandlerAndAreNotWritten) {
    Props.SetValue("*FirstLastTime", 2.5);
    Props.SetValue("color", int32_t(-1));
    Props.SetValue("*FirstLastTime", TPropertyVariant());
    ASSERT_EQ(Owner.SpecialKeys.size(), 2u);
    EXPECT_EQ(Owner.SpecialKeys[0], std::make_pair(std::string("*FirstLastTime"), false));
    EXPECT_EQ(Owner.SpecialKeys[1], std::make_pair(std::string("*FirstLastTime"), true));

    Props.SetValue("*FirstLastTime", 2.5);
    TPropertySetter Setter;
    Props.Apply(Setter, 0, Second);
    EXPECT_EQ(Setter.Names(), std::vector<std::string>{"color"});
}

TEST_F(ElementPropsTest, ApplyWritesEveryKeyRelativeToTheElement) {
    TElementPropertyValue Ramp;
    Ramp.AddKey(0, 0.0);
    Ramp.AddKey(-KeyTimeFractionUnit, 1.0);
    Ramp.SetInterpolation(TPropertyInterpolation::Interpolate);
    Props.SetValue("Progress", Ramp);
    Props.SetValue("MaxSquare", int32_t(8));
    TPropertySetter Setter;
    Props.Apply(Setter, 30 * Second, 2 * Second);
    EXPECT_EQ(Setter.Keys("Progress")->back().Time, 2 * Second);
    EXPECT_EQ(Setter.TextAt("MaxSquare", 0), "8");
}

TEST_F(ElementPropsTest, AKeyOutOfOrderStopsTheApply) {
    TElementPropertyValue Backwards;
    Backwards.AddKey(Second, 0.0);
    Backwards.AddKey(0, 1.0);
    Props.SetValue("Progress", Backwards);
    TPropertySetter Setter;
    EXPECT_THROW(Props.Apply(Setter, 0, Second), EError);
    EXPECT_FALSE(Setter.Has("Progress"));
}

TEST_F(ElementPropsTest, AssignCopiesValuesWithTheirClassesAndFiresOnce) {
    TElementProps Source;
    Source.OnValueClass = MakeDelegate<&TOwner::ValueClass>(&Owner);
    Source.SetValue("BorderSoftness", int32_t(60));
    Source.SetValue("*FirstLastTime", 1.0);
    Props.SetValue("MaxSquare", int32_t(4));
    Props.SetValue("*Old", 1.0);
    Owner.SpecialKeys.clear();
    Events.Count = 0;

    Props.Assign(Source);
    EXPECT_EQ(Events.Count, 1);
    ASSERT_EQ(Props.Count(), 2);
    EXPECT_EQ(Props.Key(0), "BorderSoftness");
    EXPECT_EQ(Props.ValueAt(0).ValueClass(), TPropertyValueClass::Softness);
    EXPECT_EQ(Props.Value("MaxSquare"), nullptr);
    // The copies are the list's own.
    Source.SetValue("BorderSoftness", int32_t(10));
    EXPECT_TRUE(Props.Value("BorderSoftness")->IsConstant(int32_t(60)));
    // The special keys that came, and the one that went.
    EXPECT_EQ(Owner.SpecialKeys.size(), 2u);
    EXPECT_NE(std::find(Owner.SpecialKeys.begin(), Owner.SpecialKeys.end(),
                        std::make_pair(std::string("*FirstLastTime"), false)),
              Owner.SpecialKeys.end());
    EXPECT_NE(std::find(Owner.SpecialKeys.begin(), Owner.SpecialKeys.end(),
                        std::make_pair(std::string("*Old"), true)),
              Owner.SpecialKeys.end());
}

TEST_F(ElementPropsTest, AssigningAnEqualListFiresNothing) {
    TElementProps Source;
    Source.SetValue("MaxSquare", int32_t(4));
    Props.SetValue("MaxSquare", int32_t(4));
    Events.Count = 0;
    Props.Assign(Source);
    Props.Assign(Props);
    EXPECT_EQ(Events.Count, 0);
}

TEST_F(ElementPropsTest, AssigningAnotherClassRaises) {
    Props.SetValue("MaxSquare", int32_t(4));
    TElementPropertyValue NotAList(1.0);
    EXPECT_THROW(Props.Assign(NotAList), EError);
    EXPECT_EQ(Props.Count(), 1);
}

TEST_F(ElementPropsTest, ClearFiresOnlyWhenSomethingGoes) {
    Props.Clear();
    EXPECT_EQ(Events.Count, 0);
    Props.SetValue("MaxSquare", int32_t(4));
    Props.Clear();
    EXPECT_EQ(Events.Count, 2);
    EXPECT_EQ(Props.Count(), 0);
}

} // namespace
