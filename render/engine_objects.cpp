#include "render/engine_objects.h"

#include "platform/media/media_timeline.h"

#include <charconv>
#include <cstdio>

uint32_t ArgbOf(TColor Color) {
    return (Color & 0xFF000000u) | (Color & 0xFF) << 16 | (Color & 0xFF00) | (Color >> 16 & 0xFF);
}

TMediaSource* AddColorSource(TMediaTrack* Track, TVideoTime Start, TVideoTime Stop, uint32_t Argb) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(MediaClassIds::ColorSource());
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue("color", std::to_string(Argb));
    Source->SetProperties(std::move(Properties));
    return Track->SrcAdd(std::move(Source));
}

TMediaTransition* AddKeyTransition(TMediaLayer* Layer, TVideoTime Start, TVideoTime Stop) {
    auto Transition = std::make_unique<TMediaTransition>();
    Transition->SetSubObjectClassId(MediaClassIds::KeyTransition());
    Transition->SetStartStop(Start, Stop);
    return Layer->TransAdd(std::move(Transition));
}

TMediaEffect* AddEffect(TMediaLayer* Layer, const TGuid& ClassId, TVideoTime Start, TVideoTime Stop,
                        TPropertySetter Properties) {
    auto Effect = std::make_unique<TMediaEffect>();
    Effect->SetSubObjectClassId(ClassId);
    Effect->SetStartStop(Start, Stop);
    Effect->SetProperties(std::move(Properties));
    return Layer->EffectInsBefore(std::move(Effect), -1);
}
