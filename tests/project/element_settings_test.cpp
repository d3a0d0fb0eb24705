#include "project/element_settings.h"

#include "item_test_fixture.h"
#include "project/clip_effect.h"
#include "project/clip_settings.h"
#include "project/effect.h"
#include "project/file_clip.h"
#include "project/transition.h"
#include "render/effect_element.h"
#include "render/element_property.h"
#include "render/element_property_description.h"
#include "render/element_property_value.h"
#include "render/transition_element.h"

namespace {

constexpr int32_t PixelateIndex = 3;
constexpr int32_t TransparencyIndex = 8;
constexpr int32_t TremoloIndex = 15;
constexpr int32_t FadeInFromColorIndex = 18;

class ElementSettingsTest : public ItemTest {
protected:
    TTrack* EffectsTrack() const { return Project->Track(4); }

    // The value the element's property list holds for Key, or nothing.
    static TPropertyVariant PropValue(TElementProps& Props, std::string_view Key) {
        const TElementPropertyValue* Value = Props.Value(Key);
        return Value ? Value->FirstValue() : TPropertyVariant();
    }
};

TEST_F(ElementSettingsTest, SettingIsStoredUnderTheQuotedPropertyNameAndReachesTheProperty) {
    auto* Effect = new TEffect(2 * Second, 0, PixelateIndex);
    EffectsTrack()->InsertItem(Effect, 0);
    ASSERT_EQ(Effect->SettingCount(), 1);
    auto* Setting = dynamic_cast<TIntegerElementSetting*>(Effect->Setting(0));
    ASSERT_NE(Setting, nullptr);
    EXPECT_EQ(Setting->Key(), "'MaxSquare'");
    EXPECT_EQ(Setting->Caption(), Setting->Property().Description().DisplayName());
    EXPECT_FALSE(Setting->Caption().empty());
    EXPECT_EQ(Setting->Min(), 2);
    EXPECT_EQ(Setting->Max(), 50);
    EXPECT_EQ(Setting->Value(), 50);
    EXPECT_EQ(Setting->Default(), 50);

    TChangeRecorder Recorder(*Project);
    Setting->SetValue(12);
    EXPECT_EQ(Recorder.Flags(), (std::vector<TProjectChangeFlags>{ProjectChangeSettings}));
    TElementProps& Props = Effect->EffectElement()->Props();
    EXPECT_EQ(VariantToInteger(PropValue(Props, "MaxSquare"), 0), 12);
    // Clamped to the description's range.
    Setting->SetValue(500);
    EXPECT_EQ(VariantToInteger(PropValue(Props, "MaxSquare"), 0), 50);

    TData Data;
    Setting->Save(Data);
    EXPECT_TRUE(Data.Exists("'MaxSquare'"));
    EXPECT_FALSE(Data.Exists("MaxSquare"));
}

TEST_F(ElementSettingsTest, EachOfferedPropertyGetsASettingOfItsTypeInOrder) {
    TRefPtr<TClipEffect> Tremolo{new TClipEffect(TremoloIndex)};
    ASSERT_EQ(Tremolo->SettingCount(), 2);
    EXPECT_NE(dynamic_cast<TIntegerElementSetting*>(Tremolo->Setting(0)), nullptr);
    auto* Form = dynamic_cast<TEnumElementSetting*>(Tremolo->Setting(1));
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->Key(), "'form'");
    EXPECT_EQ(Form->Names().size(), 2u);
    Form->SetValue(1);
    EXPECT_EQ(VariantToInteger(PropValue(Tremolo->Element()->Props(), "form"), 0), 1);

    TRefPtr<TClipEffect> Fade{new TClipEffect(FadeInFromColorIndex)};
    ASSERT_EQ(Fade->SettingCount(), 2);
    auto* Color = dynamic_cast<TColorElementSetting*>(Fade->Setting(0));
    ASSERT_NE(Color, nullptr);
    EXPECT_EQ(Color->Key(), "'color'");
    EXPECT_NE(dynamic_cast<TFloatElementSetting*>(Fade->Setting(1)), nullptr);

    // Fixed and unnamed parameters get none.
    EXPECT_EQ(
        TRefPtr<TClipEffect> { new TClipEffect(1) } -> SettingCount(), 0);
}

TEST_F(ElementSettingsTest, RangeDefaultNamesAndCaptionComeFromTheDescription) {
    auto* Effect = new TEffect(2 * Second, 0, TransparencyIndex);
    EffectsTrack()->InsertItem(Effect, 0);
    auto* Ratio = dynamic_cast<TFloatElementSetting*>(Effect->Setting(0));
    ASSERT_NE(Ratio, nullptr);
    const TElementPropertyDescription& Float = Ratio->Property().Description();
    EXPECT_EQ(Ratio->Key(), QuoteKey(Float.Key()));
    EXPECT_EQ(Ratio->Caption(), Float.DisplayName());
    EXPECT_EQ(Ratio->Min(), Float.FloatMin());
    EXPECT_EQ(Ratio->Max(), Float.FloatMax());
    EXPECT_EQ(Ratio->Default(), VariantToFloat(Float.Default().FirstValue(), -1));
    EXPECT_EQ(Ratio->Value(), VariantToFloat(Ratio->Property().CurrentValue(), -1));
    EXPECT_LT(Ratio->Min(), Ratio->Max());

    TRefPtr<TClipEffect> Tremolo{new TClipEffect(TremoloIndex)};
    auto* Form = dynamic_cast<TEnumElementSetting*>(Tremolo->Setting(1));
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Form->Names(), Form->Property().Description().OptionNames());
    EXPECT_EQ(Form->Caption(), Form->Property().Description().DisplayName());
    EXPECT_EQ(Form->Value(), VariantToInteger(Form->Property().CurrentValue(), -1));

    TRefPtr<TClipEffect> Fade{new TClipEffect(FadeInFromColorIndex)};
    auto* Color = dynamic_cast<TColorElementSetting*>(Fade->Setting(0));
    ASSERT_NE(Color, nullptr);
    EXPECT_EQ(Color->Caption(), Color->Property().Description().DisplayName());
    EXPECT_EQ(Color->Value(),
              static_cast<TColor>(VariantToInteger(Color->Property().CurrentValue(), 0)));
    Color->SetValue(MakeColor(9, 8, 7, 6));
    EXPECT_EQ(
        static_cast<TColor>(VariantToInteger(PropValue(Fade->Element()->Props(), "color"), 0)),
        MakeColor(9, 8, 7, 6));
}

TEST_F(ElementSettingsTest, LengthOfAClipEffectIsLimitedByItsClip) {
    auto* Clip = new TFileClip(0, Video("a.avi"));
    VideoTrack()->InsertItem(Clip, 0);
    VideoTrack()->AddEffectSubTrack(1);
    auto* Fade = new TClipEffect(FadeInFromColorIndex);
    Clip->InsertClipEffect(Fade, 1);
    VideoTrack()->Normalize(false);
    auto* Length = dynamic_cast<TFloatElementSetting*>(Fade->Setting(1));
    ASSERT_NE(Length, nullptr);
    // The description allows five seconds; the clip lasts two.
    EXPECT_DOUBLE_EQ(Length->Max(), 2.0);
    Length->SetValue(4.0);
    EXPECT_DOUBLE_EQ(Length->Value(), 2.0);
}

TEST_F(ElementSettingsTest, ApplyingATracksSettingsRereadsEveryElementProperty) {
    auto* Effect = new TEffect(2 * Second, 0, PixelateIndex);
    EffectsTrack()->InsertItem(Effect, 0);
    auto* Squares = static_cast<TIntegerElementSetting*>(Effect->Setting(0));
    auto* Clip = new TFileClip(0, Video("a.avi"));
    VideoTrack()->InsertItem(Clip, 0);
    VideoTrack()->AddEffectSubTrack(1);
    auto* Fade = new TClipEffect(FadeInFromColorIndex);
    Clip->InsertClipEffect(Fade, 1);
    auto* Length = static_cast<TFloatElementSetting*>(Fade->Setting(1));
    const int32_t Steps = UndoHistory().Count();

    // The element's values change behind the settings' backs.
    Squares->Property().SetValue(TPropertyVariant(int32_t(20)));
    Length->Property().SetValue(TPropertyVariant(0.75));
    EXPECT_EQ(Squares->Value(), 50);
    EffectsTrack()->ApplySettings();
    VideoTrack()->ApplySettings();
    EXPECT_EQ(Squares->Value(), 20);
    EXPECT_DOUBLE_EQ(Length->Value(), 0.75);
    EXPECT_EQ(UndoHistory().Count(), Steps);
}

TEST_F(ElementSettingsTest, TransitionSettingsComeBeforeTheReverseSetting) {
    const auto& Transitions = DescriptionRegistry().Transitions();
    int32_t Wipe = -1;
    for (int32_t P = 1; P <= Transitions.Count() && Wipe < 0; ++P) {
        auto* Description = static_cast<const TTransitionDescription*>(Transitions.Description(P));
        for (int32_t K = 1; K <= Description->PropertyCount(); ++K)
            if (Description->Property(K)->Key() == "BorderSoftness" && Description->IsReversible())
                Wipe = Description->Index();
    }
    ASSERT_GE(Wipe, 0);
    TRefPtr<TTransition> Transition{new TTransition(Second, 0, Wipe)};
    ASSERT_EQ(Transition->SettingCount(), 2);
    EXPECT_EQ(Transition->Setting(0)->Key(), "'BorderSoftness'");
    EXPECT_EQ(Transition->Setting(1), Transition->ReverseSetting());
    static_cast<TIntegerElementSetting*>(Transition->Setting(0))->SetValue(60);
    EXPECT_EQ(
        VariantToInteger(PropValue(Transition->TransitionElement()->Props(), "BorderSoftness"), 0),
        60);
}

TEST_F(ElementSettingsTest, StoredValuesAreClampedWhenLoadedAndReachTheElement) {
    auto* Effect = new TEffect(2 * Second, 0, TransparencyIndex);
    EffectsTrack()->InsertItem(Effect, 0);
    static_cast<TFloatElementSetting*>(Effect->Setting(0))->SetValue(0.25);
    TRefPtr<TProject> Copy = Reloaded();
    EXPECT_EQ(ProjectText(*Copy), ProjectText(*Project));
    auto* Loaded = static_cast<TEffect*>(Copy->Track(4)->Item(0));
    EXPECT_DOUBLE_EQ(VariantToFloat(PropValue(Loaded->EffectElement()->Props(), "AlphaRamp"), 0),
                     0.25);

    std::string Text = ProjectText(*Project);
    size_t At = Text.find("'AlphaRamp' = ");
    ASSERT_NE(At, std::string::npos);
    size_t End = Text.find_first_of("\r\n", At);
    Text.replace(At, End - At, "'AlphaRamp' = 7.5");
    TData Read;
    Read.LoadFromText(Text);
    TRefPtr<TProject> Damaged{new TProject};
    Damaged->LoadFromData(Read);
    auto* Clamped = static_cast<TEffect*>(Damaged->Track(4)->Item(0));
    EXPECT_DOUBLE_EQ(static_cast<TFloatElementSetting*>(Clamped->Setting(0))->Value(), 1.0);
    EXPECT_DOUBLE_EQ(VariantToFloat(PropValue(Clamped->EffectElement()->Props(), "AlphaRamp"), 0),
                     1.0);
}

TEST_F(ElementSettingsTest, ChangingAnElementSettingIsUndoneAndRedone) {
    auto* Effect = new TEffect(2 * Second, 0, PixelateIndex);
    EffectsTrack()->InsertItem(Effect, 0);
    auto* Setting = static_cast<TIntegerElementSetting*>(Effect->Setting(0));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Setting->SetValue(7); }));
    TElementProps& Props = Effect->EffectElement()->Props();
    EXPECT_EQ(VariantToInteger(PropValue(Props, "MaxSquare"), 0), 7);
    UndoHistory().Undo();
    EXPECT_EQ(Setting->Value(), 50);
    EXPECT_EQ(VariantToInteger(PropValue(Props, "MaxSquare"), 0), 50);
}

TEST_F(ElementSettingsTest, ClipEffectSettingIsUndoneThroughTheStoredProject) {
    auto* Clip = new TFileClip(0, Video("a.avi"));
    VideoTrack()->InsertItem(Clip, 0);
    VideoTrack()->AddEffectSubTrack(1);
    auto* Effect = new TClipEffect(TransparencyIndex);
    Clip->InsertClipEffect(Effect, 1);
    auto* Setting = static_cast<TFloatElementSetting*>(Effect->Setting(0));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Setting->SetValue(0.75); }));
}

} // namespace
