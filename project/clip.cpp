#include "project/clip.h"

#include "core/data.h"
#include "project/clip_settings.h"
#include "project/track.h"
#include "project/transition.h"
#include "render/clip_element.h"
#include "render/timeline_track.h"

TClip::~TClip() {
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

void TClip::CreateSettings() {
    if (FHasVideo)
        for (uint8_t Type = 0; Type < 4; ++Type)
            FAdjust[Type] = AddSetting<TAdjustVideoClipSetting>(Type);
    if (FHasAudio) {
        FVolume = AddSetting<TVolumeClipSetting>();
        FMute = AddSetting<TMuteClipSetting>();
    }
}

void TClip::KeepStoredSettings(TData& Data) {
    TDataSection Section(Data, "Settings");
    auto Keep = [&](auto*& Setting) {
        if (Setting && !Data.Exists(Setting->Key())) {
            RemoveSetting(Setting);
            Setting = nullptr;
        }
    };
    for (TAdjustVideoClipSetting*& Setting : FAdjust)
        Keep(Setting);
    Keep(FVolume);
    Keep(FMute);
    FHasVideo = FAdjust[0] || FAdjust[1] || FAdjust[2] || FAdjust[3];
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
        uint8_t Kind = Track()->Kind();
        uint8_t State = Kind == 0 || Kind == 1 || Kind == 4 ? 0 : 2;
        for (TAdjustVideoClipSetting* Setting : FAdjust)
            if (Setting)
                Setting->SetState(State);
    }
}

void TClip::Detach() {
    SetJoined(false);
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
    Data.WriteInteger("Count", 0);
}

void TClip::Load(TData& Data) {
    TTrackItem::Load(Data);
}
