#include "render/title_styles.h"

#include "core/text_table.h"
#include "render/category_description.h"
#include "render/descriptions.h"
#include "render/text_description.h"

#include <memory>

namespace {

struct TTitleStyleEntry {
    int32_t Index;
    int32_t Category;
    TTextSlot Name;
    TTextStyleParameters Parameters; // style code, p1..p4, flags, factor
};

// clang-format off
const TTitleStyleEntry TitleStyles[] = {
    {1,  1, TTextSlot::TitleNameCentred1,   {1,   {1, 1, 1, 3},  4,  0.5}},
    {2,  1, TTextSlot::TitleNameCentred2,   {100, {1, 1, 1, 0},  15, 0.25}},
    {3,  1, TTextSlot::TitleNameCentred3,   {104, {1, 1, 1, 0},  7,  0.5}},
    {4,  1, TTextSlot::TitleNameCentred4,   {105, {1, 1, 1, 0},  7,  0.5}},
    {5,  1, TTextSlot::TitleNameCentred5,   {106, {1, 1, 1, 0},  7,  0.5}},
    {6,  2, TTextSlot::TitleNameEdged1,     {3,   {1, 1, 1, 6},  68, 0.5}},
    {7,  2, TTextSlot::TitleNameEdged2,     {3,   {1, 1, 1, 8},  68, 0.5}},
    {8,  2, TTextSlot::TitleNameEdged3,     {3,   {1, 1, 1, 7},  68, 0.5}},
    {9,  2, TTextSlot::TitleNameEdged4,     {3,   {1, 1, 1, 9},  68, 0.5}},
    {10, 2, TTextSlot::TitleNameEdged5,     {3,   {1, 1, 1, 11}, 68, 0.5}},
    {11, 2, TTextSlot::TitleNameEdged6,     {3,   {1, 1, 1, 10}, 68, 0.5}},
    {12, 3, TTextSlot::TitleNameFlyin1,     {100, {2, 1, 1, 0},  47, 0.02}},
    {13, 3, TTextSlot::TitleNameFlyin2,     {100, {4, 1, 1, 0},  47, 0.02}},
    {14, 3, TTextSlot::TitleNameFlyin3,     {1,   {2, 3, 1, 3},  36, 0.5}},
    {15, 3, TTextSlot::TitleNameFlyin4,     {1,   {3, 2, 1, 3},  36, 0.5}},
    {16, 3, TTextSlot::TitleNameFlyin5,     {1,   {5, 4, 1, 3},  36, 0.5}},
    {17, 3, TTextSlot::TitleNameFlyin6,     {1,   {4, 5, 1, 3},  36, 0.5}},
    {18, 4, TTextSlot::TitleNameScrolling1, {2,   {1, 1, 1, 5},  64, 0.5}},
    {19, 4, TTextSlot::TitleNameScrolling2, {2,   {1, 1, 1, 4},  64, 0.48}},
    {20, 4, TTextSlot::TitleNameScrolling3, {101, {0, 0, 1, 0},  23, 0.5}},
    {21, 4, TTextSlot::TitleNameScrolling4, {102, {0, 0, 1, 0},  23, 0.5}},
    {22, 4, TTextSlot::TitleNameScrolling5, {103, {0, 0, 1, 0},  23, 0.5}},
};
// clang-format on

} // namespace

void RegisterTitleCategories(TCategoryDescriptions& Categories) {
    Categories.Add("Centred", GetText(TTextSlot::TitleCategoryCentred));
    Categories.Add("Edged", GetText(TTextSlot::TitleCategoryEdged));
    Categories.Add("Flyins", GetText(TTextSlot::TitleCategoryFlyins));
    Categories.Add("Scrolling", GetText(TTextSlot::TitleCategoryScrolling));
}

void RegisterTitleStyles(TTextDescriptions& Titles) {
    for (const TTitleStyleEntry& Entry : TitleStyles)
        Titles.Add(std::make_unique<TTextDescription>(Entry.Index, GetText(Entry.Name),
                                                      Entry.Category, Entry.Parameters));
}
