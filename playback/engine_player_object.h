#pragma once

#include "render/player_object.h"

#include <memory>

class TMediaTimeline;
class TPreviewGraph;

// A player object over an engine timeline of its own: the file player and
// the title previewer build the timeline, and this plays, pauses and seeks
// it through a preview graph that exists while the video is visible. The
// position is kept while the preview is hidden.
class TEnginePlayerObject : public TPlayerObject {
public:
    ~TEnginePlayerObject() override;

    TVideoTime GetDuration() const override { return FDuration; }
    TPlayState GetState() const override;
    TVideoTime GetPosition() const override;
    void Seek(TVideoTime Time) override;
    bool IsVideoVisible() const override { return FPreview != nullptr; }
    void SetVideoVisible(bool Visible) override;
    bool GetVideoSize(int32_t& Width, int32_t& Height) const override;
    double FramesPerSecond() const override { return FFramesPerSecond; }
    void PlayTo(TVideoTime Stop) override;
    void Pause() override;
    void Stop() override;
    void Poll() override;
    TPreviewGraph* Preview() const { return FPreview.get(); }

protected:
    TEnginePlayerObject();
    void FrameSizeChanged() override;

    // Plays Timeline from now on, from its start: the engine's threads let
    // go of the old timeline first and come back on the new one, visible
    // and playing as before. Width x Height is the picture's size (0 x 0:
    // none); FramesPerSecond 0 when unknown.
    void SetTimeline(std::unique_ptr<TMediaTimeline> Timeline, TVideoTime Duration,
                     int32_t Width, int32_t Height, double FramesPerSecond);

private:
    std::unique_ptr<TMediaTimeline> FTimeline;
    std::unique_ptr<TPreviewGraph> FPreview;
    TVideoTime FDuration = 0;
    double FFramesPerSecond = 0;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    TVideoTime FPosition = 0;
    bool FStarting = false; // play-started is being announced
};
