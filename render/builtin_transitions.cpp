#include "render/builtin_transitions.h"

#include "core/text_table.h"
#include "render/category_description.h"
#include "render/descriptions.h"
#include "render/element_property_description.h"
#include "render/transition_description.h"

#include <cassert>
#include <memory>

namespace {

// Bits 3 and 2 on every transition, 1 reversible, 0 the wipes.
constexpr uint8_t PlainTransitionFlags = 12;
constexpr uint8_t ReversibleTransitionFlags = 14;
constexpr uint8_t WipeTransitionFlags = 15;

struct TWipeName {
    int32_t Code;
    TTextSlot Name;
};

// The display name of each wipe code.
// clang-format off
const TWipeName WipeNames[] = {
    {1, TTextSlot::TransitionNameWipe1},
    {2, TTextSlot::TransitionNameWipe2},
    {3, TTextSlot::TransitionNameWipe3},
    {4, TTextSlot::TransitionNameWipe4},
    {5, TTextSlot::TransitionNameWipe5},
    {6, TTextSlot::TransitionNameWipe6},
    {7, TTextSlot::TransitionNameWipe7},
    {8, TTextSlot::TransitionNameWipe8},
    {21, TTextSlot::TransitionNameWipe21},
    {22, TTextSlot::TransitionNameWipe22},
    {23, TTextSlot::TransitionNameWipe23},
    {24, TTextSlot::TransitionNameWipe24},
    {25, TTextSlot::TransitionNameWipe25},
    {26, TTextSlot::TransitionNameWipe26},
    {41, TTextSlot::TransitionNameWipe41},
    {42, TTextSlot::TransitionNameWipe42},
    {43, TTextSlot::TransitionNameWipe43},
    {44, TTextSlot::TransitionNameWipe44},
    {45, TTextSlot::TransitionNameWipe45},
    {46, TTextSlot::TransitionNameWipe46},
    {47, TTextSlot::TransitionNameWipe47},
    {48, TTextSlot::TransitionNameWipe48},
    {61, TTextSlot::TransitionNameWipe61},
    {62, TTextSlot::TransitionNameWipe62},
    {63, TTextSlot::TransitionNameWipe63},
    {64, TTextSlot::TransitionNameWipe64},
    {65, TTextSlot::TransitionNameWipe65},
    {66, TTextSlot::TransitionNameWipe66},
    {67, TTextSlot::TransitionNameWipe67},
    {68, TTextSlot::TransitionNameWipe68},
    {71, TTextSlot::TransitionNameWipe71},
    {72, TTextSlot::TransitionNameWipe72},
    {73, TTextSlot::TransitionNameWipe73},
    {74, TTextSlot::TransitionNameWipe74},
    {101, TTextSlot::TransitionNameWipe101},
    {102, TTextSlot::TransitionNameWipe102},
    {103, TTextSlot::TransitionNameWipe103},
    {104, TTextSlot::TransitionNameWipe104},
    {105, TTextSlot::TransitionNameWipe105},
    {106, TTextSlot::TransitionNameWipe106},
    {107, TTextSlot::TransitionNameWipe107},
    {108, TTextSlot::TransitionNameWipe108},
    {109, TTextSlot::TransitionNameWipe109},
    {110, TTextSlot::TransitionNameWipe110},
    {111, TTextSlot::TransitionNameWipe111},
    {112, TTextSlot::TransitionNameWipe112},
    {113, TTextSlot::TransitionNameWipe113},
    {114, TTextSlot::TransitionNameWipe114},
    {119, TTextSlot::TransitionNameWipe119},
    {120, TTextSlot::TransitionNameWipe120},
    {121, TTextSlot::TransitionNameWipe121},
    {122, TTextSlot::TransitionNameWipe122},
    {123, TTextSlot::TransitionNameWipe123},
    {124, TTextSlot::TransitionNameWipe124},
    {125, TTextSlot::TransitionNameWipe125},
    {127, TTextSlot::TransitionNameWipe127},
    {128, TTextSlot::TransitionNameWipe128},
    {129, TTextSlot::TransitionNameWipe129},
    {130, TTextSlot::TransitionNameWipe130},
    {131, TTextSlot::TransitionNameWipe131},
    {201, TTextSlot::TransitionNameWipe201},
    {202, TTextSlot::TransitionNameWipe202},
    {203, TTextSlot::TransitionNameWipe203},
    {204, TTextSlot::TransitionNameWipe204},
    {205, TTextSlot::TransitionNameWipe205},
    {206, TTextSlot::TransitionNameWipe206},
    {207, TTextSlot::TransitionNameWipe207},
    {211, TTextSlot::TransitionNameWipe211},
    {212, TTextSlot::TransitionNameWipe212},
    {213, TTextSlot::TransitionNameWipe213},
    {214, TTextSlot::TransitionNameWipe214},
    {221, TTextSlot::TransitionNameWipe221},
    {222, TTextSlot::TransitionNameWipe222},
    {223, TTextSlot::TransitionNameWipe223},
    {224, TTextSlot::TransitionNameWipe224},
    {225, TTextSlot::TransitionNameWipe225},
    {226, TTextSlot::TransitionNameWipe226},
    {227, TTextSlot::TransitionNameWipe227},
    {228, TTextSlot::TransitionNameWipe228},
    {231, TTextSlot::TransitionNameWipe231},
    {232, TTextSlot::TransitionNameWipe232},
    {233, TTextSlot::TransitionNameWipe233},
    {234, TTextSlot::TransitionNameWipe234},
    {235, TTextSlot::TransitionNameWipe235},
    {236, TTextSlot::TransitionNameWipe236},
    {241, TTextSlot::TransitionNameWipe241},
    {242, TTextSlot::TransitionNameWipe242},
    {243, TTextSlot::TransitionNameWipe243},
    {244, TTextSlot::TransitionNameWipe244},
    {245, TTextSlot::TransitionNameWipe245},
    {246, TTextSlot::TransitionNameWipe246},
    {251, TTextSlot::TransitionNameWipe251},
    {252, TTextSlot::TransitionNameWipe252},
    {253, TTextSlot::TransitionNameWipe253},
    {254, TTextSlot::TransitionNameWipe254},
    {261, TTextSlot::TransitionNameWipe261},
    {262, TTextSlot::TransitionNameWipe262},
    {263, TTextSlot::TransitionNameWipe263},
    {264, TTextSlot::TransitionNameWipe264},
    {301, TTextSlot::TransitionNameWipe301},
    {302, TTextSlot::TransitionNameWipe302},
    {303, TTextSlot::TransitionNameWipe303},
    {304, TTextSlot::TransitionNameWipe304},
    {305, TTextSlot::TransitionNameWipe305},
    {306, TTextSlot::TransitionNameWipe306},
    {310, TTextSlot::TransitionNameWipe310},
    {311, TTextSlot::TransitionNameWipe311},
    {312, TTextSlot::TransitionNameWipe312},
    {313, TTextSlot::TransitionNameWipe313},
    {314, TTextSlot::TransitionNameWipe314},
    {315, TTextSlot::TransitionNameWipe315},
    {316, TTextSlot::TransitionNameWipe316},
    {317, TTextSlot::TransitionNameWipe317},
    {320, TTextSlot::TransitionNameWipe320},
    {321, TTextSlot::TransitionNameWipe321},
    {322, TTextSlot::TransitionNameWipe322},
    {323, TTextSlot::TransitionNameWipe323},
    {324, TTextSlot::TransitionNameWipe324},
    {325, TTextSlot::TransitionNameWipe325},
    {326, TTextSlot::TransitionNameWipe326},
    {327, TTextSlot::TransitionNameWipe327},
    {328, TTextSlot::TransitionNameWipe328},
    {329, TTextSlot::TransitionNameWipe329},
    {340, TTextSlot::TransitionNameWipe340},
    {341, TTextSlot::TransitionNameWipe341},
    {342, TTextSlot::TransitionNameWipe342},
    {343, TTextSlot::TransitionNameWipe343},
    {344, TTextSlot::TransitionNameWipe344},
    {345, TTextSlot::TransitionNameWipe345},
    {350, TTextSlot::TransitionNameWipe350},
    {351, TTextSlot::TransitionNameWipe351},
    {352, TTextSlot::TransitionNameWipe352},
    {353, TTextSlot::TransitionNameWipe353},
    {409, TTextSlot::TransitionNameWipe409},
};
// clang-format on

// The wipe codes in the order they take description indexes 2..135: per
// category, runs of consecutive codes.
struct TWipeRun {
    int32_t Category;
    int32_t First;
    int32_t Last;
};

constexpr TWipeRun WipeRuns[] = {
    {2, 1, 8},     {2, 21, 26},   {3, 41, 48},   {4, 61, 68},   {4, 71, 74},   {5, 101, 114},
    {5, 119, 125}, {5, 127, 131}, {6, 201, 207}, {6, 211, 214}, {6, 221, 228}, {6, 231, 236},
    {6, 241, 246}, {6, 251, 254}, {6, 261, 264}, {7, 301, 306}, {7, 310, 317}, {7, 320, 329},
    {7, 340, 345}, {7, 350, 353}, {1, 409, 409},
};

const std::string& WipeName(int32_t Code) {
    for (const TWipeName& Entry : WipeNames)
        if (Entry.Code == Code)
            return GetText(Entry.Name);
    static const std::string None;
    return None;
}

const TGuid& FadeClassId() {
    static const TGuid Id = GuidFromText("{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    return Id;
}

const TGuid& WipeClassId() {
    static const TGuid Id = GuidFromText("{FF4420AA-4937-4D4A-A27F-63C4B0AF6A6B}");
    return Id;
}

const TGuid& SlideClassId() {
    static const TGuid Id = GuidFromText("{810E402F-056B-11D2-A484-00C04F8EFB69}");
    return Id;
}

const TGuid& StretchClassId() {
    static const TGuid Id = GuidFromText("{7658F2A2-0A83-11D2-A484-00C04F8EFB69}");
    return Id;
}

const TGuid& PixelateClassId() {
    static const TGuid Id = GuidFromText("{4CCEA634-FBE0-11D1-906A-00C04FD9189D}");
    return Id;
}

using TStyleNames = TTextSlot[3];

void AddStyled(TTransitionDescriptions& Transitions, int32_t& Index, const TGuid& ClassId,
               const char* Key, const char* const (&Styles)[3], const TStyleNames& Names) {
    for (int I = 0; I < 3; ++I) {
        auto Transition = std::make_unique<TTransitionDescription>(
            Index++, GetText(Names[I]), 8, ClassId, ReversibleTransitionFlags);
        Transition->AddProperty(
            TElementPropertyDescription::NewText({}, Key, TPropertyAccess::Fixed, Styles[I]));
        Transitions.Add(std::move(Transition));
    }
}

} // namespace

void RegisterTransitionCategories(TCategoryDescriptions& Categories) {
    Categories.Add("Fade", GetText(TTextSlot::TransitionCategoryFade));
    Categories.Add("HorzVert", GetText(TTextSlot::TransitionCategoryHorzVert));
    Categories.Add("Diagonal", GetText(TTextSlot::TransitionCategoryDiagonal));
    Categories.Add("VW", GetText(TTextSlot::TransitionCategoryVW));
    Categories.Add("Geometric", GetText(TTextSlot::TransitionCategoryGeometric));
    Categories.Add("Radial", GetText(TTextSlot::TransitionCategoryRadial));
    Categories.Add("Snakes", GetText(TTextSlot::TransitionCategorySnakes));
    Categories.Add("Misc", GetText(TTextSlot::TransitionCategoryMisc));
}

void RegisterTransitions(TTransitionDescriptions& Transitions) {
    int32_t Index = 1;
    Transitions.Add(std::make_unique<TTransitionDescription>(
        Index++, GetText(TTextSlot::TransitionNameFade), 1, FadeClassId(), PlainTransitionFlags));

    for (const TWipeRun& Run : WipeRuns)
        for (int32_t Code = Run.First; Code <= Run.Last; ++Code) {
            auto Wipe = std::make_unique<TTransitionDescription>(
                Index++, WipeName(Code), Run.Category, WipeClassId(), WipeTransitionFlags);
            Wipe->AddProperty(TElementPropertyDescription::NewInteger(
                {}, "MaskNum", 1, 409, TPropertyAccess::Fixed, Code));
            Wipe->AddProperty(TElementPropertyDescription::NewInteger(
                GetText(TTextSlot::PropertyNameBorderSoftness), "BorderSoftness", 0, 100,
                TPropertyAccess::Editable, 25, TPropertyValueClass::Softness));
            Transitions.Add(std::move(Wipe));
        }

    AddStyled(Transitions, Index, SlideClassId(), "slideStyle", {"hide", "push", "swap"},
              {TTextSlot::TransitionNameSlideHide, TTextSlot::TransitionNameSlidePush,
               TTextSlot::TransitionNameSlideSwap});
    AddStyled(Transitions, Index, StretchClassId(), "stretchStyle", {"spin", "hide", "push"},
              {TTextSlot::TransitionNameStretchSpin, TTextSlot::TransitionNameStretchHide,
               TTextSlot::TransitionNameStretchPush});

    auto Pixelate = std::make_unique<TTransitionDescription>(
        Index++, GetText(TTextSlot::TransitionNamePixelate), 1, PixelateClassId(),
        PlainTransitionFlags);
    Pixelate->AddProperty(
        TElementPropertyDescription::NewInteger(GetText(TTextSlot::PropertyNameBlockSize),
                                                "MaxSquare", 2, 50, TPropertyAccess::Editable, 50));
    Transitions.Add(std::move(Pixelate));
    assert(Index == 143 && "the transitions take the indexes 1..142");
}
