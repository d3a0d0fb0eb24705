#include "render/description_registry.h"

#include "render/effect_description.h"
#include "render/element_property_description.h"
#include "render/text_description.h"
#include "render/transition_description.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const TDescriptionRegistry& Registry() {
    return DescriptionRegistry();
}

int32_t MaskNum(const TTransitionDescription& Wipe) {
    const TElementPropertyDescription* Mask = Wipe.FindProperty("MaskNum");
    return Mask ? VariantToInteger(Mask->Default().FirstValue(), -1) : -1;
}

// Every description of Registry has a unique index that finds it again, a
// display name and a category of the matching list.
void ExpectWellFormed(const TDescriptions& Descriptions, const TCategoryDescriptions& Categories) {
    std::set<int32_t> Indexes;
    for (int32_t Position = 1; Position <= Descriptions.Count(); ++Position) {
        const TBaseDescription* Description = Descriptions.Description(Position);
        ASSERT_NE(Description, nullptr);
        EXPECT_TRUE(Indexes.insert(Description->Index()).second) << Description->Index();
        EXPECT_EQ(Descriptions.DescriptionByIndex(Description->Index()), Description);
        EXPECT_FALSE(Description->DisplayName().empty()) << Description->Index();
        EXPECT_NE(Categories.Category(Description->Category()), nullptr) << Description->Index();
    }
}

TEST(DescriptionRegistryTest, EveryRegistryIsWellFormed) {
    ExpectWellFormed(Registry().Transitions(), Registry().TransitionCategories());
    ExpectWellFormed(Registry().Effects(), Registry().EffectCategories());
    ExpectWellFormed(Registry().Titles(), Registry().TitleCategories());
}

TEST(DescriptionRegistryTest, CategoriesAreInTheirFixedOrder) {
    EXPECT_EQ(Registry().TitleCategories().Count(), 4);
    EXPECT_EQ(Registry().TitleCategories().PositionOf("Flyins"), 3);
    EXPECT_EQ(Registry().TransitionCategories().Count(), 8);
    EXPECT_EQ(Registry().TransitionCategories().Category(1)->Key, "Fade");
    EXPECT_EQ(Registry().TransitionCategories().PositionOf("misc"), 8);
    EXPECT_EQ(Registry().EffectCategories().Count(), 4);
    EXPECT_EQ(Registry().EffectCategories().PositionOf("Audio"), 4);
    EXPECT_EQ(Registry().EffectCategories().Category(0), nullptr);
    EXPECT_EQ(Registry().EffectCategories().Category(5), nullptr);
    EXPECT_EQ(Registry().EffectCategories().PositionOf("Video"), 0);
}

TEST(DescriptionRegistryTest, LookupsOutsideTheRegistryGiveNothing) {
    const auto& Transitions = Registry().Transitions();
    EXPECT_EQ(Transitions.Transition(0), nullptr);
    EXPECT_EQ(Transitions.Transition(Transitions.Count() + 1), nullptr);
    EXPECT_EQ(Transitions.TransitionByIndex(0), nullptr);
    EXPECT_EQ(Transitions.TransitionByIndex(143), nullptr);
    EXPECT_EQ(Registry().Effects().EffectByIndex(25), nullptr);
    EXPECT_EQ(Registry().Titles().TitleByIndex(-1), nullptr);
}

TEST(DescriptionRegistryTest, EffectPositionsAreTheOrderOfRegistrationNotOfIndexes) {
    const auto& Effects = Registry().Effects();
    ASSERT_EQ(Effects.Count(), 24);
    // The fades come right after the transparency; the colour adjustments follow.
    EXPECT_EQ(Effects.Effect(8)->Index(), 8);
    EXPECT_EQ(Effects.Effect(9)->Index(), 16);
    EXPECT_EQ(Effects.Effect(12)->Index(), 19);
    EXPECT_EQ(Effects.Effect(13)->Index(), 9);
    EXPECT_EQ(Effects.Effect(19)->Index(), 15);
    EXPECT_EQ(Effects.Effect(24)->Index(), 24);
    EXPECT_EQ(Effects.EffectByIndex(16), Effects.Effect(9));
}

TEST(DescriptionRegistryTest, TransitionsAreNumberedInRegistrationOrder) {
    const auto& Transitions = Registry().Transitions();
    ASSERT_EQ(Transitions.Count(), 142);
    for (int32_t Position = 1; Position <= Transitions.Count(); ++Position)
        EXPECT_EQ(Transitions.Transition(Position)->Index(), Position);
}

TEST(DescriptionRegistryTest, WipesTakeTheirCodesInOrder) {
    const auto& Transitions = Registry().Transitions();
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(2)), 1);
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(15)), 26);
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(16)), 41);
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(36)), 101);
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(62)), 201);
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(134)), 353);
    EXPECT_EQ(MaskNum(*Transitions.TransitionByIndex(135)), 409);
    EXPECT_EQ(Transitions.TransitionByIndex(135)->Category(), 1);

    // Codes rise within a category, and every wipe has a name of its own.
    std::set<std::string> Names;
    int32_t Previous = 0;
    int32_t PreviousCategory = 0;
    for (int32_t Index = 2; Index <= 135; ++Index) {
        const TTransitionDescription& Wipe = *Transitions.TransitionByIndex(Index);
        EXPECT_TRUE(Wipe.IsWipe());
        EXPECT_EQ(Wipe.Flags(), 15);
        if (Wipe.Category() == PreviousCategory) {
            EXPECT_GT(MaskNum(Wipe), Previous) << Index;
        }
        Previous = MaskNum(Wipe);
        PreviousCategory = Wipe.Category();
        EXPECT_TRUE(Names.insert(Wipe.DisplayName()).second) << Wipe.DisplayName();
        EXPECT_FALSE(Wipe.FindProperty("MaskNum")->Editable());
    }
    EXPECT_FALSE(Transitions.TransitionByIndex(1)->IsWipe());
    EXPECT_FALSE(Transitions.TransitionByIndex(136)->IsWipe());
}

TEST(DescriptionRegistryTest, TheSoftnessOfWipesIsScaledWhenWritten) {
    const TElementPropertyDescription* Softness =
        Registry().Transitions().TransitionByIndex(50)->FindProperty("bordersoftness");
    ASSERT_NE(Softness, nullptr);
    EXPECT_TRUE(Softness->IsOffered());
    EXPECT_EQ(Softness->Default().ValueClass(), TPropertyValueClass::Softness);
    EXPECT_TRUE(Softness->Default().IsConstant(int32_t(25)));
    EXPECT_EQ(Softness->IntegerMin(), 0);
    EXPECT_EQ(Softness->IntegerMax(), 100);
}

TEST(DescriptionRegistryTest, OnlyReversibleTransitionsOfferReversal) {
    const auto& Transitions = Registry().Transitions();
    EXPECT_FALSE(Transitions.TransitionByIndex(1)->IsReversible());
    EXPECT_TRUE(Transitions.TransitionByIndex(2)->IsReversible());
    EXPECT_TRUE(Transitions.TransitionByIndex(137)->IsReversible());
    EXPECT_FALSE(Transitions.TransitionByIndex(142)->IsReversible());
    for (int32_t Position = 1; Position <= Transitions.Count(); ++Position)
        EXPECT_EQ(Transitions.Transition(Position)->Flags() & 12, 12) << Position;
}

TEST(DescriptionRegistryTest, EffectsActOnVideoOrAudioNeverBoth) {
    const auto& Effects = Registry().Effects();
    for (int32_t Position = 1; Position <= Effects.Count(); ++Position) {
        const TEffectDescription& Effect = *Effects.Effect(Position);
        EXPECT_NE(Effect.IsVideoEffect(), Effect.IsAudioEffect()) << Effect.Index();
        EXPECT_EQ(Effect.IsAudioEffect(), Effect.Category() == 4) << Effect.Index();
    }
}

TEST(DescriptionRegistryTest, FadesCoverAPartOfTheirHostWithAnEditableLength) {
    const auto& Effects = Registry().Effects();
    for (int32_t Position = 1; Position <= Effects.Count(); ++Position) {
        const TEffectDescription& Effect = *Effects.Effect(Position);
        const TElementPropertyDescription* Length = Effect.FindProperty("*FirstLastTime");
        bool IsFade = (Effect.TimeFlags() & (EffectTimeFirstPart | EffectTimeLastPart)) != 0;
        EXPECT_EQ(Length != nullptr, IsFade) << Effect.Index();
        if (!Length)
            continue;
        EXPECT_TRUE(Length->IsOffered());
        EXPECT_EQ(Length->FloatUnit(), TFloatUnit::Seconds);
        EXPECT_DOUBLE_EQ(VariantToFloat(Length->Default().FirstValue(), 0), 1.5);
    }
}

TEST(DescriptionRegistryTest, AudioFadesWriteTheirRampAsVolume) {
    for (int32_t Index : {20, 21}) {
        const TElementPropertyDescription* Volume =
            Registry().Effects().EffectByIndex(Index)->FindProperty("multivol");
        ASSERT_NE(Volume, nullptr);
        EXPECT_EQ(Volume->Default().ValueClass(), TPropertyValueClass::Volume);
        EXPECT_EQ(Volume->Default().KeyCount(), 2);
        EXPECT_FALSE(Volume->Editable());
    }
}

TEST(DescriptionRegistryTest, EditableDefaultsLieInTheirRanges) {
    const auto& Effects = Registry().Effects();
    const auto& Transitions = Registry().Transitions();
    std::vector<const TTransformDescription*> All;
    for (int32_t Position = 1; Position <= Effects.Count(); ++Position)
        All.push_back(Effects.Effect(Position));
    for (int32_t Position = 1; Position <= Transitions.Count(); ++Position)
        All.push_back(Transitions.Transition(Position));
    for (const TTransformDescription* Description : All)
        for (int32_t Position = 1; Position <= Description->PropertyCount(); ++Position) {
            const TElementPropertyDescription& Property = *Description->Property(Position);
            EXPECT_FALSE(Property.Default().IsEmpty()) << Property.Key();
            if (!Property.Editable())
                continue;
            EXPECT_FALSE(Property.DisplayName().empty()) << Property.Key();
            TPropertyVariant Value = Property.Default().FirstValue();
            switch (Property.Type()) {
            case TPropertyType::Integer:
            case TPropertyType::Enumeration:
                EXPECT_GE(VariantToInteger(Value, INT32_MIN), Property.IntegerMin());
                EXPECT_LE(VariantToInteger(Value, INT32_MAX), Property.IntegerMax());
                break;
            case TPropertyType::Float:
                EXPECT_GE(VariantToFloat(Value, -1e300), Property.FloatMin());
                EXPECT_LE(VariantToFloat(Value, 1e300), Property.FloatMax());
                break;
            default:
                break;
            }
        }
}

TEST(DescriptionRegistryTest, TheWaveFormHasANamedOptionPerValue) {
    const TElementPropertyDescription* Form =
        Registry().Effects().EffectByIndex(15)->FindProperty("form");
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->Type(), TPropertyType::Enumeration);
    ASSERT_EQ(Form->OptionNames().size(), 2u);
    EXPECT_EQ(Form->IntegerMax(), 1);
    for (const std::string& Name : Form->OptionNames())
        EXPECT_FALSE(Name.empty());
}

TEST(DescriptionRegistryTest, TitleStylesWithoutSampleTextShowTheirName) {
    const auto& Titles = Registry().Titles();
    ASSERT_EQ(Titles.Count(), 22);
    for (int32_t Position = 1; Position <= Titles.Count(); ++Position) {
        const TTextDescription& Style = *Titles.Title(Position);
        EXPECT_EQ(Style.Index(), Position);
        EXPECT_EQ(Style.SampleText(), Style.DisplayName());
    }
    EXPECT_EQ(Titles.TitleByIndex(12)->StyleCode(), 100);
    EXPECT_EQ(Titles.TitleByIndex(12)->P1(), 2);
    EXPECT_DOUBLE_EQ(Titles.TitleByIndex(19)->Factor(), 0.48);
}

TEST(DescriptionRegistryTest, TheProgramHasOneRegistry) {
    EXPECT_EQ(&DescriptionRegistry(), &DescriptionRegistry());
    TDescriptionRegistry Own;
    EXPECT_EQ(Own.Transitions().Count(), DescriptionRegistry().Transitions().Count());
    EXPECT_NE(Own.Transitions().Transition(1), DescriptionRegistry().Transitions().Transition(1));
}

} // namespace
