#pragma once

#include "render/player_object.h"

#include <memory>
#include <string>

class TMediaTimeline;
class TPreviewGraph;
class TTextClipDescriptor;

// Shows what a title looks like: the engine's text source playing one title
// on opaque black, at a size and frame rate of its own, like a media file
// whose name is the text source's name for the title.
//
//   TTextPreviewer Previewer(320, 240, 15);
//   Previewer.SetTitle(Descriptor, 4 * VideoTimeUnitsPerSecond);
//   Window.ShowObject(Previewer, 0, TPlayerWindow::TStartPlaying::Yes);
class TTextPreviewer : public TPlayerObject {
public:
    static constexpr TVideoTime DefaultDuration = 40000000;

    // Starts with the default title (the first style) for DefaultDuration.
    TTextPreviewer(int32_t Width, int32_t Height, double FramesPerSecond);
    ~TTextPreviewer() override;
    std::string_view ClassName() const override { return "TTextPreviewer"; }

    // Shows Descriptor's title (copied) for Duration from its start.
    void SetTitle(const TTextClipDescriptor& Descriptor, TVideoTime Duration);
    const TTextClipDescriptor& Descriptor() const { return *FDescriptor; }
    // The name the text source is given for the current title.
    const std::string& SourceName() const { return FSourceName; }

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
    void FrameSizeChanged() override;

private:
    void BuildTimeline();

    std::unique_ptr<TTextClipDescriptor> FDescriptor;
    int32_t FWidth;
    int32_t FHeight;
    double FFramesPerSecond;
    TVideoTime FDuration = DefaultDuration;
    std::string FSourceName;
    std::unique_ptr<TMediaTimeline> FTimeline;
    std::unique_ptr<TPreviewGraph> FPreview;
    // Kept while the preview is hidden.
    TVideoTime FPosition = 0;
};
