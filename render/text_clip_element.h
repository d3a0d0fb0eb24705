#pragma once

#include "render/clip_element.h"
#include "render/text_descriptor.h"

// A title on the render timeline: the text source draws the descriptor's
// text in its style over a transparent background.
class TTextClipElement : public TClipElement {
public:
    TTextClipElement(const TTextClipDescriptor& Descriptor, TVideoTime Duration);
    std::string_view ClassName() const override { return "TTextClipElement"; }

    TTextClipDescriptor& Descriptor() { return FDescriptor; }
    const TTextClipDescriptor& Descriptor() const { return FDescriptor; }
    // Takes over the descriptor's content and rebuilds.
    void SetDescriptor(const TTextClipDescriptor& Descriptor);

    bool HasVideo() const override { return true; }
    bool HasAudio() const override { return false; }
    std::unique_ptr<TClipElement> Clone() const override;
    // The source name the text source receives.
    std::string SourceName(TVideoTime Duration) const;

protected:
    void BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) override;

private:
    TTextClipDescriptor FDescriptor;
};
