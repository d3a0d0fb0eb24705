#include "platform/media/media_components.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/builtin_components.h"
#include "platform/media/media_error.h"
#include "platform/media/media_timeline.h"

#include <algorithm>

double TComponentTime::Progress() const {
    if (Stop <= Start)
        return 1;
    return std::clamp(double(Time - Start) / double(Stop - Start), 0.0, 1.0);
}

namespace {

template <class TMap>
const typename TMap::mapped_type& Lookup(const TMap& Map, const TGuid& Id) {
    auto It = Map.find(Id);
    if (It == Map.end())
        RaiseMediaError(FormatMessageText(GetText(TTextSlot::UnknownMediaComponent), Id.ToString()),
                        "");
    return It->second;
}

} // namespace

void TMediaComponents::RegisterSource(const TGuid& Id, TSourceFactory Factory) {
    FSources[Id] = std::move(Factory);
}

void TMediaComponents::RegisterVideoEffect(const TGuid& Id, TVideoEffectFactory Factory) {
    FVideoEffects[Id] = std::move(Factory);
}

void TMediaComponents::RegisterTransition(const TGuid& Id, TTransitionFactory Factory) {
    FTransitions[Id] = std::move(Factory);
}

void TMediaComponents::RegisterAudioEffect(const TGuid& Id, TAudioEffectFactory Factory) {
    FAudioEffects[Id] = std::move(Factory);
}

std::unique_ptr<TVideoSourceComponent>
TMediaComponents::MakeSource(const TMediaSource& Source, const TMediaVideoFormat& Format) const {
    return Lookup(FSources, Source.SubObjectClassId())(Source, Format);
}

std::unique_ptr<TVideoEffectComponent>
TMediaComponents::MakeVideoEffect(const TMediaNode& Node, const TMediaVideoFormat& Format) const {
    return Lookup(FVideoEffects, Node.SubObjectClassId())(Node.Properties(), Format);
}

std::unique_ptr<TVideoTransitionComponent>
TMediaComponents::MakeTransition(const TMediaNode& Node, const TMediaVideoFormat& Format) const {
    return Lookup(FTransitions, Node.SubObjectClassId())(Node.Properties(), Format);
}

std::unique_ptr<TAudioEffectComponent>
TMediaComponents::MakeAudioEffect(const TMediaNode& Node) const {
    return Lookup(FAudioEffects, Node.SubObjectClassId())(Node.Properties());
}

TMediaComponents& MediaComponents() {
    static TMediaComponents Components = [] {
        TMediaComponents Registry;
        RegisterBuiltInComponents(Registry);
        return Registry;
    }();
    return Components;
}
