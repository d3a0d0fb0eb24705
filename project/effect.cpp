#include "project/effect.h"

#include "core/data.h"
#include "render/effect_description.h"
#include "render/effect_element.h"

TEffect::TEffect(TVideoTime Duration, TVideoTime Position, int32_t DescriptionIndex)
    : FDescriptionIndex(DescriptionIndex) {
    auto Element =
        std::make_unique<TEffectElement>(DescriptionIndex, TEffectTimeMode::Own, Duration);
    SetPosition(Position);
    SetDuration(Duration);
    AddElementSettings(Element->Props(), Element->Description());
    SetElement(std::move(Element));
}

TEffect::~TEffect() = default;

TEffectElement* TEffect::EffectElement() const {
    return static_cast<TEffectElement*>(Element());
}

const TEffectDescription& TEffect::Description() const {
    return EffectElement()->Description();
}

void TEffect::SaveIdentity(TData& Data) const {
    Data.WriteString("Type", "Effect");
    Data.WriteInteger("Id", FDescriptionIndex);
}

void TEffect::Attach() {
    SetJoined(false);
    UpdateElement();
}

void TEffect::Detach() {
    SetJoined(false);
    EffectElement()->MoveTo(nullptr, Position());
}

void TEffect::UpdateElement() {
    TEffectElement* Element = EffectElement();
    // The element's range in its own-time mode comes from the requested
    // duration, not from the plain duration field.
    if (Element->RequestedDuration() != Duration())
        Element->Change(FDescriptionIndex, TEffectTimeMode::Own, 0, 0, Duration());
    TTimelineTrack* Target = RenderTrack();
    if (Element->Track() != Target)
        Element->MoveTo(Target, Position(), -1);
    else if (Element->Start() != Position())
        Element->SetStart(Position());
}
