#pragma once

#include "project/track_item.h"

#include <cstdint>

class TEffectDescription;
class TEffectElement;

// An effect lying on an effects track: its element acts on the whole
// timeline from the item's start for the item's duration.
class TEffect : public TTrackItem {
public:
    // Raises for a description index the registry does not have.
    TEffect(TVideoTime Duration, TVideoTime Position, int32_t DescriptionIndex);
    std::string_view ClassName() const override { return "TEffect"; }

    int32_t DescriptionIndex() const { return FDescriptionIndex; }
    const TEffectDescription& Description() const;
    TEffectElement* EffectElement() const;

    void Attach() override;
    void Detach() override;
    void UpdateElement() override;

protected:
    ~TEffect() override;
    void SaveIdentity(TData& Data) const override;

private:
    int32_t FDescriptionIndex;
};
