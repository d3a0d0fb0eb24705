#include "render/descriptions.h"

#include "render/effect_description.h"
#include "render/text_description.h"
#include "render/transition_description.h"

#include <cassert>

TDescriptions::TDescriptions() = default;
TDescriptions::~TDescriptions() = default;

const TBaseDescription* TDescriptions::Description(int32_t Position) const {
    if (Position < 1 || Position > Count())
        return nullptr;
    return FItems[static_cast<size_t>(Position - 1)].get();
}

const TBaseDescription* TDescriptions::DescriptionByIndex(int32_t Index) const {
    auto It = FPositions.find(Index);
    return It == FPositions.end() ? nullptr : FItems[static_cast<size_t>(It->second)].get();
}

void TDescriptions::AddDescription(std::unique_ptr<TBaseDescription> Description) {
    assert(Description && "a registry holds descriptions, not nothing");
    bool IsNew = FPositions.emplace(Description->Index(), Count()).second;
    assert(IsNew && "description indexes are unique within their registry");
    (void)IsNew;
    FItems.push_back(std::move(Description));
}

// The typed registries only ever add their own kind, so the casts back hold.

const TTransitionDescription&
TTransitionDescriptions::Add(std::unique_ptr<TTransitionDescription> Description) {
    const TTransitionDescription& Added = *Description;
    AddDescription(std::move(Description));
    return Added;
}

const TTransitionDescription* TTransitionDescriptions::Transition(int32_t Position) const {
    return static_cast<const TTransitionDescription*>(Description(Position));
}

const TTransitionDescription* TTransitionDescriptions::TransitionByIndex(int32_t Index) const {
    return static_cast<const TTransitionDescription*>(DescriptionByIndex(Index));
}

const TEffectDescription&
TEffectDescriptions::Add(std::unique_ptr<TEffectDescription> Description) {
    const TEffectDescription& Added = *Description;
    AddDescription(std::move(Description));
    return Added;
}

const TEffectDescription* TEffectDescriptions::Effect(int32_t Position) const {
    return static_cast<const TEffectDescription*>(Description(Position));
}

const TEffectDescription* TEffectDescriptions::EffectByIndex(int32_t Index) const {
    return static_cast<const TEffectDescription*>(DescriptionByIndex(Index));
}

const TTextDescription& TTextDescriptions::Add(std::unique_ptr<TTextDescription> Description) {
    const TTextDescription& Added = *Description;
    AddDescription(std::move(Description));
    return Added;
}

const TTextDescription* TTextDescriptions::Title(int32_t Position) const {
    return static_cast<const TTextDescription*>(Description(Position));
}

const TTextDescription* TTextDescriptions::TitleByIndex(int32_t Index) const {
    return static_cast<const TTextDescription*>(DescriptionByIndex(Index));
}
