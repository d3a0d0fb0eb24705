#pragma once

#include "core/object.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TBaseDescription;
class TEffectDescription;
class TTextDescription;
class TTransitionDescription;

// A registry of descriptions in the order they were added, looked up by
// position or by the description index the project stores.
class TDescriptions : public TObject {
public:
    TDescriptions();
    ~TDescriptions() override;
    TDescriptions(const TDescriptions&) = delete;
    TDescriptions& operator=(const TDescriptions&) = delete;

    std::string_view ClassName() const override { return "TDescriptions"; }

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    // 1-based; none when out of range.
    const TBaseDescription* Description(int32_t Position) const;
    // None when no description has Index.
    const TBaseDescription* DescriptionByIndex(int32_t Index) const;

protected:
    // Description indexes are unique within a registry: adding a second one
    // with a taken index is a programming error.
    void AddDescription(std::unique_ptr<TBaseDescription> Description);

private:
    std::vector<std::unique_ptr<TBaseDescription>> FItems;
    std::unordered_map<int32_t, int32_t> FPositions; // description index -> 0-based position
};

class TTransitionDescriptions : public TDescriptions {
public:
    std::string_view ClassName() const override { return "TTransitionDescriptions"; }
    const TTransitionDescription& Add(std::unique_ptr<TTransitionDescription> Description);
    const TTransitionDescription* Transition(int32_t Position) const;
    const TTransitionDescription* TransitionByIndex(int32_t Index) const;
};

class TEffectDescriptions : public TDescriptions {
public:
    std::string_view ClassName() const override { return "TEffectDescriptions"; }
    const TEffectDescription& Add(std::unique_ptr<TEffectDescription> Description);
    const TEffectDescription* Effect(int32_t Position) const;
    const TEffectDescription* EffectByIndex(int32_t Index) const;
};

class TTextDescriptions : public TDescriptions {
public:
    std::string_view ClassName() const override { return "TTextDescriptions"; }
    const TTextDescription& Add(std::unique_ptr<TTextDescription> Description);
    const TTextDescription* Title(int32_t Position) const;
    const TTextDescription* TitleByIndex(int32_t Index) const;
};
