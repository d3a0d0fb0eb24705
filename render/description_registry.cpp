#include "render/description_registry.h"

#include "render/builtin_effects.h"
#include "render/builtin_transitions.h"
#include "render/effect_description.h"
#include "render/text_description.h"
#include "render/title_styles.h"
#include "render/transition_description.h"

TDescriptionRegistry::TDescriptionRegistry()
    : FTransitionCategories(std::make_unique<TCategoryDescriptions>()),
      FEffectCategories(std::make_unique<TCategoryDescriptions>()),
      FTransitions(std::make_unique<TTransitionDescriptions>()),
      FEffects(std::make_unique<TEffectDescriptions>()),
      FTitleCategories(std::make_unique<TCategoryDescriptions>()),
      FTitles(std::make_unique<TTextDescriptions>()) {
    RegisterTransitionCategories(*FTransitionCategories);
    RegisterEffectCategories(*FEffectCategories);
    RegisterTitleCategories(*FTitleCategories);
    RegisterTitleStyles(*FTitles);
    RegisterTransitions(*FTransitions);
    RegisterEffects(*FEffects);
}

TDescriptionRegistry::~TDescriptionRegistry() = default;

const TDescriptionRegistry& DescriptionRegistry() {
    static const TDescriptionRegistry Registry;
    return Registry;
}
