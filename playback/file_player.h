#pragma once

#include "render/player_object.h"

#include <memory>
#include <string>

class TMediaTimeline;
class TPreviewGraph;

// Plays one media file: a timeline of the engine holding the file's picture
// at its own size and frame rate and its sound, previewed like the render
// timeline. Keep-aspect is on. A file that cannot be read raises EMediaError
// from the constructor, with the decoder's reason.
//
//   TFilePlayer Player("/clips/a.mp4");
//   Player.OnFrame = ...;
//   Player.SetVideoVisible(true);
//   Player.PlayTo(PlayToEnd);
class TFilePlayer : public TPlayerObject {
public:
    explicit TFilePlayer(const std::string& FileName);
    ~TFilePlayer() override;

    std::string_view ClassName() const override { return "TFilePlayer"; }
    const std::string& FileName() const { return FFileName; }

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

protected:
    void FrameSizeChanged() override;

private:
    std::string FFileName;
    std::unique_ptr<TMediaTimeline> FTimeline;
    std::unique_ptr<TPreviewGraph> FPreview;
    TVideoTime FDuration = 0;
    double FFramesPerSecond = 0;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    // Kept while the preview is hidden.
    TVideoTime FPosition = 0;
};
