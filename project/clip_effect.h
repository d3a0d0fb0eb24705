#pragma once

#include "core/ref_object.h"
#include "project/item.h"
#include "render/element_property_description.h"

#include <cstdint>
#include <memory>

class TClip;
class TEffectDescription;
class TEffectElement;
class TSubTrack;

// An effect attached to a clip, shown on one of the effect sub-tracks of the
// clip's track. A clip holds one reference on each of its clip effects; the
// effect holds one on its sub-track. Its element acts on the clip's element
// alone, and only while the clip is on a track and the effect has its
// sub-track. As the host of its parameters, lengths in seconds are limited
// by the clip's duration.
class TClipEffect : public TItem, public TPropertyHost {
public:
    // Raises for a description index the registry does not have.
    explicit TClipEffect(int32_t DescriptionIndex);
    std::string_view ClassName() const override { return "TClipEffect"; }

    int32_t DescriptionIndex() const { return FDescriptionIndex; }
    const TEffectDescription& Description() const;
    TEffectElement* Element() const { return FElement.get(); }
    TProjectChanges* Changes() const override;

    TClip* Clip() const { return FClip; }
    TSubTrack* SubTrack() const { return FSubTrack.Get(); }
    // The index of the sub-track it is (or will be) on, at least 1.
    int32_t SubIndex() const { return FSubIndex; }

    TVideoTime HostDuration() const override;

    // "Id", the TItem part, then "SubIndex".
    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    ~TClipEffect() override;

private:
    friend class TClip;
    // Holds SubTrack instead of the previous one.
    void SetSubTrack(TSubTrack* SubTrack);
    // Gives the element to the clip's element, or takes it back.
    void AttachElement();
    void DetachElement();

    int32_t FDescriptionIndex;
    TClip* FClip = nullptr;
    TRefPtr<TSubTrack> FSubTrack;
    int32_t FSubIndex = 1;
    std::unique_ptr<TEffectElement> FElement;
};
