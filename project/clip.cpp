#include "project/clip.h"

#include "core/data.h"
#include "core/error.h"
#include "project/clip_effect.h"
#include "project/clip_picture.h"
#include "project/clip_settings.h"
#include "project/sub_track.h"
#include "project/track.h"
#include "project/transition.h"
#include "render/clip_element.h"
#include "render/description_registry.h"
#include "render/timeline_track.h"

#include <algorithm>
#include <iterator>

TClip::TClip() = default;

TClip::~TClip() {
    // The clip effects' elements leave the clip's element while it still
    // exists; an effect held elsewhere lives on, detached.
    FEffectSlots.clear();
    while (!FClipEffects.empty()) {
        TClipEffect* Effect = FClipEffects.back().Get();
        Effect->DetachElement();
        Effect->FClip = nullptr;
        Effect->SetSubTrack(nullptr);
        FClipEffects.pop_back();
    }
    // The elements unlink each other as they go; here only the items'
    // pointers are cleared.
    if (FLeadingTransition)
        FLeadingTransition->FToClip = nullptr;
    if (FTrailingTransition)
        FTrailingTransition->FFromClip = nullptr;
}

TClipElement* TClip::ClipElement() const {
    return static_cast<TClipElement*>(Element());
}

const TVideoFrame& TClip::Picture() const {
    if (!FPictureValid) {
        FPicture = DrawClipPicture(*this);
        FPictureValid = true;
    }
    return FPicture;
}

void TClip::CreateSettings() {
    // Element settings would come first, but no clip element has editable
    // properties: the sources of files, titles and colours take none.
    const TClipElement* Element = ClipElement();
    if (FHasVideo) {
        for (int32_t Type = 0; Type < ClipVideoAdjustmentCount; ++Type)
            FAdjust[Type] =
                AddSetting<TAdjustVideoClipSetting>(static_cast<TVideoAdjustment>(Type));
        // Without an element nothing tells whether the media would keep a
        // colour; loading keeps the setting only if the record has it.
        if (!Element || Element->KeepsBackgroundColor())
            FBackgroundColor = AddSetting<TBackgroundColorClipSetting>();
    }
    if (FHasAudio) {
        FVolume = AddSetting<TVolumeClipSetting>();
        FMute = AddSetting<TMuteClipSetting>();
    }
}

namespace {

const char* const ColorSuffixes[] = {".R", ".G", ".B", ".A"};

} // namespace

void TClip::KeepStoredSettings(TData& Data) {
    TDataSection Section(Data, "Settings");
    // A colour is stored as four leaves under its key.
    auto Stored = [&](const TItemSetting* Setting) {
        if (!dynamic_cast<const TColorItemSetting*>(Setting))
            return Data.Exists(Setting->Key());
        return std::any_of(
            std::begin(ColorSuffixes), std::end(ColorSuffixes),
            [&](const char* Suffix) { return Data.Exists(Setting->Key() + Suffix); });
    };
    auto Keep = [&](auto*& Setting) {
        if (Setting && !Stored(Setting)) {
            RemoveSetting(Setting);
            Setting = nullptr;
        }
    };
    for (TAdjustVideoClipSetting*& Setting : FAdjust)
        Keep(Setting);
    Keep(FBackgroundColor);
    Keep(FVolume);
    Keep(FMute);
    FHasVideo = FAdjust[0] || FAdjust[1] || FAdjust[2] || FAdjust[3] || FBackgroundColor;
    FHasAudio = FVolume || FMute;
}

void TClip::SetLeadingTransition(TTransition* Transition) {
    if (Transition)
        LinkTo(Transition, this);
    else if (FLeadingTransition)
        LinkTo(FLeadingTransition, nullptr);
}

void TClip::SetTrailingTransition(TTransition* Transition) {
    if (Transition)
        LinkFrom(Transition, this);
    else if (FTrailingTransition)
        LinkFrom(FTrailingTransition, nullptr);
}

namespace {

TVideoTime LengthOf(const TTrackItem* Item) {
    return Item ? Item->Duration() : 0;
}

} // namespace

TItemLimits TClip::GetLimits() const {
    TItemLimits Limits = TTrackItem::GetLimits();
    const TTransition* Leading = FLeadingTransition;
    const TTransition* Trailing = FTrailingTransition;
    if (Leading && Leading->FromClip()) {
        const TClip* Before = Leading->FromClip();
        Limits.EarliestStart =
            Before->Position() + LengthOf(Before->LeadingTransition()) + MinimumItemDuration;
    }
    if (Leading)
        Limits.LatestStart = Position() + Leading->Duration() - MinimumItemDuration;
    else if (Trailing)
        Limits.LatestStart = End() - Trailing->Duration() - MinimumItemDuration;
    if (Trailing)
        Limits.EarliestEnd = End() - Trailing->Duration() + MinimumItemDuration;
    else if (Leading)
        Limits.EarliestEnd = Position() + Leading->Duration() + MinimumItemDuration;
    if (Trailing && Trailing->ToClip()) {
        const TClip* After = Trailing->ToClip();
        Limits.LatestEnd =
            After->End() - LengthOf(After->TrailingTransition()) - MinimumItemDuration;
    }
    return Limits;
}

void TClip::Place(bool KeepJoined, TVideoTime RunningEnd) {
    if (FLeadingTransition)
        SetPosition(FLeadingTransition->Position());
    else
        TTrackItem::Place(KeepJoined, RunningEnd);
}

void TClip::Attach() {
    SetJoined(false);
    UpdateElement();
    SubTracksChanged();
    if (FHasVideo && Track()) {
        TTrackKind Kind = Track()->Kind();
        bool ShowsVideo =
            Kind == TTrackKind::Any || Kind == TTrackKind::Video || Kind == TTrackKind::Overlay;
        TSettingState State = ShowsVideo ? TSettingState::Offered : TSettingState::Hidden;
        for (TAdjustVideoClipSetting* Setting : FAdjust)
            if (Setting)
                Setting->SetState(State);
    }
}

TClipEffect* TClip::EffectSlot(int32_t SubIndex) const {
    return SubIndex >= 0 && SubIndex < static_cast<int32_t>(FEffectSlots.size())
               ? FEffectSlots[static_cast<size_t>(SubIndex)]
               : nullptr;
}

void TClip::InsertClipEffect(TClipEffect* Effect, int32_t SubIndex) {
    if (Effect->FClip)
        RaiseError("Can not insert " + std::string(Effect->ClassName()) + " on this clip.");
    FClipEffects.emplace_back(Effect);
    Effect->FClip = this;
    Effect->FSubIndex = std::max(SubIndex, 1);
    if (TTrack* Owner = Track(); Owner && Effect->FSubIndex < Owner->SubTrackCount()) {
        Effect->SetSubTrack(Owner->SubTrack(Effect->FSubIndex));
        if (Effect->FSubIndex < static_cast<int32_t>(FEffectSlots.size()))
            FEffectSlots[static_cast<size_t>(Effect->FSubIndex)] = Effect;
    }
    Effect->AttachElement();
}

void TClip::RemoveClipEffect(TClipEffect* Effect) {
    auto It = std::find(FClipEffects.begin(), FClipEffects.end(), Effect);
    if (Effect->FClip != this || It == FClipEffects.end())
        RaiseError("Can not remove " + std::string(Effect->ClassName()) + " from this clip.");
    Effect->DetachElement();
    TRefPtr<TClipEffect> Holding = std::move(*It); // until it is unlinked
    FClipEffects.erase(It);
    Effect->FClip = nullptr;
    std::replace(FEffectSlots.begin(), FEffectSlots.end(), Effect,
                 static_cast<TClipEffect*>(nullptr));
    Effect->SetSubTrack(nullptr);
}

void TClip::RemoveClipEffectOn(const TSubTrack* SubTrack) {
    for (const TRefPtr<TClipEffect>& Effect : FClipEffects)
        if (Effect->FSubTrack == SubTrack) {
            RemoveClipEffect(Effect.Get());
            return;
        }
}

void TClip::SubTracksChanged() {
    TTrack* Owner = Track();
    if (!Owner) {
        FEffectSlots.clear();
        for (const TRefPtr<TClipEffect>& Effect : FClipEffects) {
            Effect->DetachElement();
            Effect->SetSubTrack(nullptr);
        }
        return;
    }
    int32_t Count = Owner->SubTrackCount();
    FEffectSlots.assign(static_cast<size_t>(Count), nullptr);
    for (const TRefPtr<TClipEffect>& Effect : FClipEffects) {
        if (TSubTrack* SubTrack = Effect->FSubTrack.Get()) {
            // A sub-track taken off the track (by an undo record that may
            // bring it back) keeps its effect, without a slot and unseen.
            if (SubTrack->Track() != Owner) {
                Effect->DetachElement();
                continue;
            }
            Effect->FSubIndex = SubTrack->Index();
        } else if (Effect->FSubIndex < Count) {
            Effect->SetSubTrack(Owner->SubTrack(Effect->FSubIndex));
        } else {
            continue;
        }
        FEffectSlots[static_cast<size_t>(Effect->FSubIndex)] = Effect.Get();
        Effect->AttachElement();
    }
}

void TClip::ApplySettings() {
    TTrackItem::ApplySettings();
    for (const TRefPtr<TClipEffect>& Effect : FClipEffects)
        Effect->ApplySettings();
}

void TClip::Detach() {
    SetJoined(false);
    // Off the track the effects have no sub-tracks; attaching again gives
    // them the sub-tracks at their indexes.
    FEffectSlots.clear();
    for (const TRefPtr<TClipEffect>& Effect : FClipEffects) {
        Effect->DetachElement();
        Effect->SetSubTrack(nullptr);
    }
    if (TClipElement* Element = ClipElement())
        Element->Detach();
}

void TClip::UpdateElement() {
    TClipElement* Element = ClipElement();
    if (!Element)
        return;
    if (Element->CanSetDuration())
        Element->SetDuration(Duration());
    TTimelineTrack* Target = RenderTrack();
    if (!Target)
        return;
    // A clip keeps its render track's clips in start order, so a new start
    // is a move.
    if (Element->Track() != Target || Element->Start() != Position())
        Element->MoveTo(Target, -3, Position());
}

void TClip::Save(TData& Data) const {
    TTrackItem::Save(Data);
    TDataSection Effects(Data, "Effects");
    Data.WriteInteger("Count", ClipEffectCount());
    for (int32_t K = 0; K < ClipEffectCount(); ++K) {
        TDataSection Record(Data, ListItemName("Effect[", K));
        ClipEffect(K)->Save(Data);
    }
}

void TClip::Load(TData& Data) {
    TTrackItem::Load(Data);
    TDataSection Effects(Data, "Effects");
    int32_t Count = Data.ReadListCount("Effect[");
    for (int32_t K = 0; K < Count; ++K) {
        TDataSection Record(Data, ListItemName("Effect[", K));
        int32_t Id = Data.ReadInteger("Id", -1);
        if (!DescriptionRegistry().Effects().EffectByIndex(Id))
            continue;
        TRefPtr<TClipEffect> Effect = MakeRef<TClipEffect>(Id);
        Effect->Load(Data);
        InsertClipEffect(Effect.Get(), Effect->SubIndex());
    }
}
