#include "project/clip_effect.h"

#include "core/data.h"
#include "project/clip.h"
#include "project/sub_track.h"
#include "render/clip_element.h"
#include "render/effect_description.h"
#include "render/effect_element.h"

#include <algorithm>

TClipEffect::TClipEffect(int32_t DescriptionIndex)
    : FDescriptionIndex(DescriptionIndex),
      FElement(std::make_unique<TEffectElement>(DescriptionIndex, TEffectTimeMode::Whole, 0)) {
    AddElementSettings(FElement->Props(), FElement->Description(), this);
}

TClipEffect::~TClipEffect() {
    BeginDestroying();
    DetachElement();
    SetSubTrack(nullptr);
}

const TEffectDescription& TClipEffect::Description() const {
    return FElement->Description();
}

TProjectChanges* TClipEffect::Changes() const {
    return FClip ? FClip->Changes() : nullptr;
}

TVideoTime TClipEffect::HostDuration() const {
    return FClip ? FClip->Duration() : 0;
}

void TClipEffect::SetSubTrack(TSubTrack* SubTrack) {
    if (SubTrack != FSubTrack.Get())
        FSubTrack = TRefPtr<TSubTrack>(SubTrack);
}

void TClipEffect::AttachElement() {
    TClipElement* Host = FClip && FSubTrack ? FClip->ClipElement() : nullptr;
    if (FElement->HostClip() != Host)
        FElement->AttachToClip(Host);
}

void TClipEffect::DetachElement() {
    if (FElement->HostClip())
        FElement->AttachToClip(nullptr);
}

void TClipEffect::Save(TData& Data) const {
    Data.WriteInteger("Id", FDescriptionIndex);
    TItem::Save(Data);
    Data.WriteInteger("SubIndex", FSubIndex);
}

void TClipEffect::Load(TData& Data) {
    TItem::Load(Data);
    FSubIndex = std::max(Data.ReadInteger("SubIndex", 0), 1);
}
