#pragma once

#include "playback/engine_player_object.h"

#include <memory>
#include <string>

class TTextClipDescriptor;

// Shows what a title looks like: the engine's text source playing one title
// on opaque black, at a size and frame rate of its own, like a media file
// whose name is the text source's name for the title.
//
//   TTextPreviewer Previewer(320, 240, 15);
//   Previewer.SetTitle(Descriptor, 4 * VideoTimeUnitsPerSecond);
//   Window.ShowObject(Previewer, 0, TPlayerWindow::TStartPlaying::Yes);
class TTextPreviewer : public TEnginePlayerObject {
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

private:
    void BuildTimeline(TVideoTime Duration);

    std::unique_ptr<TTextClipDescriptor> FDescriptor;
    int32_t FWidth;
    int32_t FHeight;
    double FFramesPerSecond;
    std::string FSourceName;
};
