#include "platform/media/media_timeline.h"

#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_components.h"
#include "platform/media/media_error.h"
#include "platform/media/media_probe.h"

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

std::atomic<uint64_t> NextSerial{1};

// Searched from the end: a timeline taken apart removes the nodes it made
// last first, so each is found at once and nothing after it moves.
template <class T>
void EraseOwned(std::vector<std::unique_ptr<T>>& List, const T* Item) {
    auto It = std::find_if(List.rbegin(), List.rend(),
                           [&](const std::unique_ptr<T>& P) { return P.get() == Item; });
    if (It != List.rend())
        List.erase(std::next(It).base());
}

[[noreturn]] void RaiseUnknownComponent(const TGuid& Id) {
    RaiseMediaError(FormatMessageText(GetText(TTextSlot::UnknownMediaComponent), Id.ToString()),
                    "");
}

} // namespace

TMediaNode::TMediaNode(TMediaNodeType Type) : FType(Type), FSerial(NextSerial++) {}

TMediaNode::~TMediaNode() = default;

TMediaGroup* TMediaNode::Group() const {
    const TMediaNode* Node = this;
    while (Node && Node->FType != TMediaNodeType::Group)
        Node = Node->FParent;
    return const_cast<TMediaGroup*>(static_cast<const TMediaGroup*>(Node));
}

void TMediaNode::SetStartStop(TVideoTime Start, TVideoTime Stop) {
    FStart = Start;
    FStop = std::max(Start, Stop);
    Touch();
}

void TMediaNode::SetSubObjectClassId(const TGuid& Id) {
    FClassId = Id;
    Touch();
}

void TMediaNode::SetProperties(TPropertySetter Properties) {
    FProperties = std::move(Properties);
    Touch();
}

void TMediaNode::SetMuted(bool Value) {
    FMuted = Value;
    Touch();
}

void TMediaTransition::SetSwapInputs(bool Value) {
    FSwapInputs = Value;
    Touch();
}

TMediaEffect* TMediaLayer::EffectInsBefore(std::unique_ptr<TMediaEffect> Effect, int32_t Priority) {
    // Outside a group the effect may be meant for either kind of media.
    TMediaGroup* Owner = Group();
    const TMediaComponents& Components = MediaComponents();
    const TGuid& Id = Effect->SubObjectClassId();
    bool Known = (!Owner || Owner->IsVideo()) && Components.HasVideoEffect(Id);
    Known = Known || ((!Owner || !Owner->IsVideo()) && Components.HasAudioEffect(Id));
    if (!Known)
        RaiseUnknownComponent(Id);
    int32_t Count = static_cast<int32_t>(FEffects.size());
    if (Priority < 0 || Priority > Count)
        Priority = Count;
    Effect->FParent = this;
    TMediaEffect* Raw = Effect.get();
    FEffects.insert(FEffects.begin() + Priority, std::move(Effect));
    for (size_t I = 0; I < FEffects.size(); ++I)
        FEffects[I]->FPriority = static_cast<int32_t>(I);
    Touch();
    return Raw;
}

TMediaTransition* TMediaLayer::TransAdd(std::unique_ptr<TMediaTransition> Transition) {
    TMediaGroup* Owner = Group();
    if ((!Owner || Owner->IsVideo()) &&
        !MediaComponents().HasTransition(Transition->SubObjectClassId()))
        RaiseUnknownComponent(Transition->SubObjectClassId());
    for (const auto& Other : FTransitions)
        if (Transition->Start() < Other->Stop() && Other->Start() < Transition->Stop())
            RaiseMediaError(GetText(TTextSlot::OverlappingMediaTransitions), "");
    Transition->FParent = this;
    TMediaTransition* Raw = Transition.get();
    auto At = std::upper_bound(FTransitions.begin(), FTransitions.end(), Raw->Start(),
                               [](TVideoTime T, const auto& P) { return T < P->Start(); });
    FTransitions.insert(At, std::move(Transition));
    Touch();
    return Raw;
}

void TMediaLayer::RemoveEffect(TMediaEffect* Effect) {
    EraseOwned(FEffects, Effect);
    for (size_t I = 0; I < FEffects.size(); ++I)
        FEffects[I]->FPriority = static_cast<int32_t>(I);
    Touch();
}

void TMediaLayer::RemoveTransition(TMediaTransition* Transition) {
    EraseOwned(FTransitions, Transition);
    Touch();
}

const TMediaTransition* TMediaLayer::TransitionAt(TVideoTime Time) const {
    for (const auto& Transition : FTransitions)
        if (Transition->Covers(Time))
            return Transition.get();
    return nullptr;
}

void TMediaSource::SetMediaName(std::string Name) {
    FMediaName = std::move(Name);
    Touch();
}

void TMediaSource::SetStreamNumber(int32_t Number) {
    FStreamNumber = std::max(Number, 0);
    Touch();
}

void TMediaSource::SetMediaTimes(TVideoTime Start, TVideoTime Stop) {
    FMediaStart = Start;
    FMediaStop = Stop;
    Touch();
}

void TMediaSource::SetMediaLength(TVideoTime Length) {
    FMediaLength = std::max<TVideoTime>(Length, 0);
    Touch();
}

void TMediaSource::SetStretchMode(int32_t Mode) {
    FStretchMode = Mode;
    Touch();
}

TVideoTime TMediaSource::MediaTimeAt(TVideoTime Time) const {
    TVideoTime Length = Stop() - Start();
    if (Length <= 0)
        return FMediaStart;
    TVideoTime Offset = Time - Start();
    TVideoTime MediaSpan = FMediaStop - FMediaStart;
    if (MediaSpan == Length)
        return FMediaStart + Offset;
    return FMediaStart +
           static_cast<TVideoTime>(static_cast<long double>(Offset) * MediaSpan / Length);
}

TMediaSource* TMediaTrack::SrcAdd(std::unique_ptr<TMediaSource> Source) {
    TMediaGroup* Owner = Group();
    if (Source->IsPlainSource()) {
        TMediaKind Kind =
            !Owner ? TMediaKind::Any : (Owner->IsVideo() ? TMediaKind::Video : TMediaKind::Audio);
        CheckPlayableMedia(Source->MediaName(), Kind, Source->StreamNumber());
    } else if (!MediaComponents().HasSource(Source->SubObjectClassId())) {
        RaiseUnknownComponent(Source->SubObjectClassId());
    }
    Source->FParent = this;
    TMediaSource* Raw = Source.get();
    auto At = std::upper_bound(FSources.begin(), FSources.end(), Raw->Start(),
                               [](TVideoTime T, const auto& P) { return T < P->Start(); });
    FSources.insert(At, std::move(Source));
    Touch();
    return Raw;
}

void TMediaTrack::RemoveSource(TMediaSource* Source) {
    EraseOwned(FSources, Source);
    Touch();
}

const TMediaSource* TMediaTrack::SourceAt(TVideoTime Time) const {
    // Sources are in start order; the last one starting at or before Time
    // is the only candidate, as sources on one track do not overlap.
    auto It = std::upper_bound(FSources.begin(), FSources.end(), Time,
                               [](TVideoTime T, const auto& P) { return T < P->Start(); });
    while (It != FSources.begin()) {
        --It;
        if ((*It)->Covers(Time))
            return It->get();
        if ((*It)->Stop() <= Time)
            break;
    }
    return nullptr;
}

TVideoTime TMediaTrack::Duration() const {
    TVideoTime End = 0;
    for (const auto& Source : FSources)
        End = std::max(End, Source->Stop());
    for (const auto& Effect : Effects())
        End = std::max(End, Effect->Stop());
    return End;
}

void TMediaComposition::InsertLayer(std::unique_ptr<TMediaLayer> Layer, int32_t Priority) {
    int32_t Count = static_cast<int32_t>(FLayers.size());
    if (Priority < 0 || Priority > Count)
        Priority = Count;
    Layer->FParent = this;
    FLayers.insert(FLayers.begin() + Priority, std::move(Layer));
    for (size_t I = 0; I < FLayers.size(); ++I)
        FLayers[I]->FPriority = static_cast<int32_t>(I);
    Touch();
}

void TMediaComposition::RemoveLayer(TMediaLayer* Layer) {
    EraseOwned(FLayers, Layer);
    for (size_t I = 0; I < FLayers.size(); ++I)
        FLayers[I]->FPriority = static_cast<int32_t>(I);
    Touch();
}

TVideoTime TMediaComposition::Duration() const {
    TVideoTime End = 0;
    for (const auto& Layer : FLayers)
        End = std::max(End, Layer->Duration());
    for (const auto& Effect : Effects())
        End = std::max(End, Effect->Stop());
    return End;
}

std::unique_ptr<TMediaGroup> TMediaGroup::Video(const TMediaVideoFormat& Format) {
    std::unique_ptr<TMediaGroup> Group(new TMediaGroup);
    Group->FIsVideo = true;
    Group->FVideo = Format;
    return Group;
}

std::unique_ptr<TMediaGroup> TMediaGroup::Audio(const TMediaAudioFormat& Format) {
    std::unique_ptr<TMediaGroup> Group(new TMediaGroup);
    Group->FIsVideo = false;
    Group->FAudio = Format;
    return Group;
}

TMediaTimeline::TMediaTimeline() = default;

TMediaTimeline::~TMediaTimeline() = default;

TMediaGroup* TMediaTimeline::AddGroup(std::unique_ptr<TMediaGroup> Group) {
    if (Group->IsVideo() && (Group->VideoFormat().Width <= 0 || Group->VideoFormat().Height <= 0 ||
                             Group->VideoFormat().FrameDuration <= 0))
        RaiseMediaError(GetText(TTextSlot::InvalidMediaFormat), "");
    if (!Group->IsVideo() &&
        (Group->AudioFormat().Channels <= 0 || Group->AudioFormat().SamplesPerSecond <= 0))
        RaiseMediaError(GetText(TTextSlot::InvalidMediaFormat), "");
    Group->FTimeline = this;
    FGroups.push_back(std::move(Group));
    return FGroups.back().get();
}

void TMediaTimeline::RemoveGroup(TMediaGroup* Group) {
    EraseOwned(FGroups, Group);
}

TMediaGroup* TMediaTimeline::VideoGroup() const {
    for (const auto& Group : FGroups)
        if (Group->IsVideo())
            return Group.get();
    return nullptr;
}

TMediaGroup* TMediaTimeline::AudioGroup() const {
    for (const auto& Group : FGroups)
        if (!Group->IsVideo())
            return Group.get();
    return nullptr;
}

TVideoTime TMediaTimeline::Duration() const {
    TVideoTime End = 0;
    for (const auto& Group : FGroups)
        End = std::max(End, Group->Duration());
    return End;
}
