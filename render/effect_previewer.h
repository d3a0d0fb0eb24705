#pragma once

#include "core/geometry.h"
#include "render/timeline.h"

#include <memory>
#include <string>

class TColorClipElement;
class TEffectElement;
class TFileClipElement;

// Shows what an effect looks like: a small render timeline of its own
// (320 x 240 at 16 frames per second) with a background colour clip on the
// first track and the sample picture, carrying the effect, on a second video
// track above it. The elements are made on the first show and kept; later
// shows change only what differs.
//
//   TEffectPreviewer Previewer(Picture);
//   Previewer.ShowEffect(SepiaIndex, 0); // one second
//   Window.ShowObject(Previewer, 0, TPlayerWindow::TStartPlaying::Yes);
class TEffectPreviewer : public TTimeline {
public:
    explicit TEffectPreviewer(std::string Picture);
    ~TEffectPreviewer() override;
    std::string_view ClassName() const override { return "TEffectPreviewer"; }

    // Shows the effect of description Index over Duration (0: one second;
    // at least a frame). An unknown index raises the unknown-effect error
    // before anything is built; any other failure frees the elements built
    // so far, so that the next call starts afresh, and propagates.
    void ShowEffect(int32_t Index, TVideoTime Duration);

    TColor BackgroundColor() const { return FBackgroundColor; }
    // Also recolours the background clip when it exists.
    void SetBackgroundColor(TColor Color);

    const std::string& Picture() const { return FPicture; }
    TColorClipElement* BackgroundClip() const { return FBackground.get(); }
    TFileClipElement* PictureClip() const { return FPictureClip.get(); }
    TEffectElement* Effect() const { return FEffect.get(); }

private:
    void Build(int32_t Index, TVideoTime Duration);
    void Change(int32_t Index, TVideoTime Duration);
    void FreeElements();

    std::string FPicture;
    TColor FBackgroundColor = MakeColor(0, 0, 0);
    std::unique_ptr<TColorClipElement> FBackground;
    std::unique_ptr<TFileClipElement> FPictureClip;
    // The effect goes before the clip it is attached to.
    std::unique_ptr<TEffectElement> FEffect;
    TVideoTime FShownDuration = 0;
};
