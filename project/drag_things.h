#pragma once

#include "core/video_time.h"
#include "platform/media/video_frame.h"

#include <cstdint>
#include <string>

// What a browser hands the timeline editor when the user drags a new item
// onto it: enough to decide where it may drop and to make the item there.
// The toolkit's drag object will carry one of these with its picture.
class TVideoDragThing {
public:
    // The picture drawn under the mouse fits within this, in its shape.
    static constexpr int32_t PictureBound = 32;

    virtual ~TVideoDragThing() = default;

    TVideoTime Duration() const { return FDuration; }
    const TVideoFrame& Picture() const { return FPicture; }
    // Takes Source scaled to fit 32 x 32 (at least 1 x 1); none when the
    // user switched pictures off.
    void SetPicture(const TVideoFrame& Source, bool PicturesShown = true);

protected:
    explicit TVideoDragThing(TVideoTime Duration) : FDuration(Duration) {}
    TVideoTime FDuration;

private:
    TVideoFrame FPicture;
};

// A clip: the timeline editor takes it only on tracks of a matching kind.
class TClipDragThing : public TVideoDragThing {
public:
    bool HasAudio() const { return FHasAudio; }
    bool HasVideo() const { return FHasVideo; }

protected:
    TClipDragThing(TVideoTime Duration, bool HasAudio, bool HasVideo)
        : TVideoDragThing(Duration), FHasAudio(HasAudio), FHasVideo(HasVideo) {}

private:
    bool FHasAudio;
    bool FHasVideo;
};

// A media file. Its length and streams come from the file; a file without a
// length (a picture) or one that cannot be read is dragged as 5 s with both
// kinds, as the clip it makes would be.
class TFileClipDragThing : public TClipDragThing {
public:
    static constexpr TVideoTime DefaultDuration = 50000000;

    explicit TFileClipDragThing(std::string FileName);
    const std::string& FileName() const { return FFileName; }

private:
    struct TFacts {
        TVideoTime Duration = DefaultDuration;
        bool HasAudio = true;
        bool HasVideo = true;
    };
    static TFacts FactsOf(const std::string& FileName);
    TFileClipDragThing(std::string FileName, const TFacts& Facts);
    std::string FFileName;
};

// A title of a title style: video only.
class TTitleClipDragThing : public TClipDragThing {
public:
    TTitleClipDragThing(int32_t StyleIndex, TVideoTime Duration)
        : TClipDragThing(Duration, false, true), FStyleIndex(StyleIndex) {}
    int32_t StyleIndex() const { return FStyleIndex; }

private:
    int32_t FStyleIndex;
};

// A transition or an effect of the catalogue, with the flags the browser
// gives (which neighbours to join, reversal).
class TTransitionDragThing : public TVideoDragThing {
public:
    TTransitionDragThing(int32_t TransitionIndex, TVideoTime Duration, uint8_t Flags)
        : TVideoDragThing(Duration), FTransitionIndex(TransitionIndex), FFlags(Flags) {}
    int32_t TransitionIndex() const { return FTransitionIndex; }
    uint8_t Flags() const { return FFlags; }

private:
    int32_t FTransitionIndex;
    uint8_t FFlags;
};

class TEffectDragThing : public TVideoDragThing {
public:
    TEffectDragThing(int32_t EffectIndex, TVideoTime Duration, uint8_t Flags)
        : TVideoDragThing(Duration), FEffectIndex(EffectIndex), FFlags(Flags) {}
    int32_t EffectIndex() const { return FEffectIndex; }
    uint8_t Flags() const { return FFlags; }

private:
    int32_t FEffectIndex;
    uint8_t FFlags;
};
