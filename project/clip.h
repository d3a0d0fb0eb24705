#pragma once

#include "core/ref_object.h"
#include "platform/media/video_frame.h"
#include "project/track_item.h"

#include <cstdint>
#include <iterator>
#include <vector>

class TAdjustVideoClipSetting;
enum class TVideoAdjustment : uint8_t;
class TBackgroundColorClipSetting;
class TClipEffect;
class TClipElement;
class TSubTrack;
class TMuteClipSetting;
class TTransition;
class TVolumeClipSetting;

// A clip on a track: a file clip or a title. Its transitions overlap its
// beginning (leading) and its end (trailing); its settings adjust the
// picture and the sound of its render element.
class TClip : public TTrackItem {
public:
    std::string_view ClassName() const override { return "TClip"; }

    // None for a file clip whose media could not be opened.
    TClipElement* ClipElement() const;

    bool HasAudio() const { return FHasAudio; }
    bool HasVideo() const { return FHasVideo; }
    // A still picture: no media length, the only clips with zoom and pan.
    bool IsStill() const { return FIsStill; }
    // May be longer than its media; the trim end then follows the duration.
    bool IsStretchable() const { return FIsStretchable; }
    bool IsTrimmable() const { return FIsTrimmable; }

    // Gamma, brightness, contrast and saturation, for a clip with video;
    // none otherwise (and for hue).
    TAdjustVideoClipSetting* AdjustSetting(TVideoAdjustment Type) const {
        auto Index = static_cast<size_t>(Type);
        return Index < std::size(FAdjust) ? FAdjust[Index] : nullptr;
    }
    // For a clip whose element keeps a background colour; none otherwise.
    TBackgroundColorClipSetting* BackgroundColorSetting() const { return FBackgroundColor; }
    TVolumeClipSetting* VolumeSetting() const { return FVolume; }
    TMuteClipSetting* MuteSetting() const { return FMute; }

    TTransition* LeadingTransition() const { return FLeadingTransition; }
    TTransition* TrailingTransition() const { return FTrailingTransition; }
    // Links Transition (none: unlinks the present one) from this clip's side.
    void SetLeadingTransition(TTransition* Transition);
    void SetTrailingTransition(TTransition* Transition);

    // The clip effects in the order they were inserted.
    int32_t ClipEffectCount() const { return static_cast<int32_t>(FClipEffects.size()); }
    TClipEffect* ClipEffect(int32_t Index) const {
        return FClipEffects[static_cast<size_t>(Index)].Get();
    }
    // The clip effect placed on the sub-track at SubIndex, or none.
    TClipEffect* EffectSlot(int32_t SubIndex) const;
    // Appends Effect with the sub-track index it is meant for (at least 1);
    // it takes that sub-track when the clip's track has it. Raises when the
    // effect already belongs to a clip.
    void InsertClipEffect(TClipEffect* Effect, int32_t SubIndex);
    // Raises unless Effect belongs to this clip; the effect may be freed.
    void RemoveClipEffect(TClipEffect* Effect);
    // Removes the clip effect placed on SubTrack, if any.
    void RemoveClipEffectOn(const TSubTrack* SubTrack);
    void SubTracksChanged() override;
    // Also refreshes the settings of the clip effects.
    void ApplySettings() override;

    // The small picture the timeline editor shows (clip_picture.h), drawn
    // when asked for while the mark is cleared; empty when it cannot be.
    const TVideoFrame& Picture() const;
    bool PictureValid() const { return FPictureValid; }
    // The media or the content changed: the next Picture draws afresh.
    void InvalidatePicture() { FPictureValid = false; }

    TItemLimits GetLimits() const override;
    void Place(bool KeepJoined, TVideoTime RunningEnd) override;
    void Attach() override;
    void Detach() override;
    void UpdateElement() override;

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    TClip();
    ~TClip() override;

    // Creates the settings the clip's kind has, in their stored order, once
    // the element and the flags are known.
    void CreateSettings();
    // Drops the fixed settings the record's "Settings" section lacks, and
    // with them the stream kinds they stand for: a clip without media takes
    // its kinds from what it stored.
    void KeepStoredSettings(TData& Data);

    bool FHasAudio = false;
    bool FHasVideo = false;
    bool FIsStill = false;
    bool FIsStretchable = false;
    bool FIsTrimmable = true;

private:
    friend class TTransition;
    friend void LinkFrom(TTransition* Transition, TClip* Clip);
    friend void LinkTo(TTransition* Transition, TClip* Clip);

    TAdjustVideoClipSetting* FAdjust[4] = {nullptr, nullptr, nullptr, nullptr};
    TBackgroundColorClipSetting* FBackgroundColor = nullptr;
    TVolumeClipSetting* FVolume = nullptr;
    TMuteClipSetting* FMute = nullptr;
    TTransition* FLeadingTransition = nullptr; // the transition's own link holds it
    TTransition* FTrailingTransition = nullptr;
    std::vector<TRefPtr<TClipEffect>> FClipEffects;
    std::vector<TClipEffect*> FEffectSlots; // by sub-track index, held in FClipEffects
    // A cache, drawn on demand by the const getter.
    mutable TVideoFrame FPicture;
    mutable bool FPictureValid = false;
};
