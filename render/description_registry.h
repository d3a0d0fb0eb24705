#pragma once

#include "core/object.h"
#include "render/category_description.h"
#include "render/descriptions.h"

#include <memory>

// Every transition, effect and title style the system offers, with their
// categories, registered once in a fixed order; the project stores their
// description indexes and the catalogues are built from these lists.
//
//   const TTransitionDescription* Wipe = DescriptionRegistry().Transitions().TransitionByIndex(2);
class TDescriptionRegistry : public TObject {
public:
    TDescriptionRegistry();
    ~TDescriptionRegistry() override;
    TDescriptionRegistry(const TDescriptionRegistry&) = delete;
    TDescriptionRegistry& operator=(const TDescriptionRegistry&) = delete;

    std::string_view ClassName() const override { return "TDescriptionRegistry"; }

    const TCategoryDescriptions& TransitionCategories() const { return *FTransitionCategories; }
    const TCategoryDescriptions& EffectCategories() const { return *FEffectCategories; }
    const TCategoryDescriptions& TitleCategories() const { return *FTitleCategories; }
    const TTransitionDescriptions& Transitions() const { return *FTransitions; }
    const TEffectDescriptions& Effects() const { return *FEffects; }
    const TTextDescriptions& Titles() const { return *FTitles; }

private:
    std::unique_ptr<TCategoryDescriptions> FTransitionCategories;
    std::unique_ptr<TCategoryDescriptions> FEffectCategories;
    std::unique_ptr<TTransitionDescriptions> FTransitions;
    std::unique_ptr<TEffectDescriptions> FEffects;
    std::unique_ptr<TCategoryDescriptions> FTitleCategories;
    std::unique_ptr<TTextDescriptions> FTitles;
};

// The program's registry: built on first use (start-up asks for it once) and
// freed when the program ends.
const TDescriptionRegistry& DescriptionRegistry();
