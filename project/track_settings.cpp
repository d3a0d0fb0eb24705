#include "project/track_settings.h"

#include "core/text_table.h"
#include "project/project_changes.h"
#include "project/track.h"
#include "render/timeline_track.h"

namespace {

TTimelineTrack* RenderTrackOf(TItem* Owner) { return static_cast<TTrack*>(Owner)->RenderTrack(); }

void Signal(TProjectChanges* Changes, TProjectChangeFlags Flags) {
    if (Changes)
        Changes->Change(Flags);
}

} // namespace

TMuteTrackSetting::TMuteTrackSetting(TItem* Owner)
    : TBoolItemSetting(Owner, "Mute", GetText(TTextSlot::MuteCaption), false) {}

void TMuteTrackSetting::Apply() {
    if (TTimelineTrack* RenderTrack = RenderTrackOf(Owner()))
        RenderTrack->SetMuted(FValue);
    Signal(Changes(), ProjectChangeTrackAudio);
}

TVolumeTrackSetting::TVolumeTrackSetting(TItem* Owner)
    : TVolumeItemSetting(Owner, "Volume", GetText(TTextSlot::VolumeCaption), 100.0) {}

void TVolumeTrackSetting::Apply() {
    if (TTimelineTrack* RenderTrack = RenderTrackOf(Owner()))
        RenderTrack->SetVolume(FValue / 100.0);
    Signal(Changes(), ProjectChangeTrackAudio);
}

TBackgroundColorTrackSetting::TBackgroundColorTrackSetting(TItem* Owner)
    : TColorItemSetting(Owner, "Background.Color", GetText(TTextSlot::BackgroundColorCaption),
                        RenderTrackOf(Owner) ? RenderTrackOf(Owner)->BackgroundColor() : 0) {}

void TBackgroundColorTrackSetting::Apply() {
    if (TTimelineTrack* RenderTrack = RenderTrackOf(Owner()))
        RenderTrack->SetBackgroundColor(FValue);
    Signal(Changes(), ProjectChangeSettings);
}
