#include "playback/text_previewer.h"

#include "core/numbers.h"
#include "platform/media/media_guid.h"
#include "platform/media/media_timeline.h"
#include "platform/media/property_setter.h"
#include "render/text_descriptor.h"

#include <algorithm>
#include <cmath>

namespace {

const TGuid& TextSourceId() {
    static const TGuid Id = GuidFromText("{BD656B83-0729-4E11-967A-1FA34B5724F7}");
    return Id;
}

} // namespace

TTextPreviewer::TTextPreviewer(int32_t Width, int32_t Height, double FramesPerSecond)
    : FDescriptor(std::make_unique<TTextClipDescriptor>()), FWidth(std::max(Width, 2)),
      FHeight(std::max(Height, 2)), FFramesPerSecond(FramesPerSecond > 0 ? FramesPerSecond : 15) {
    SetKeepAspect(true);
    BuildTimeline(DefaultDuration);
}

TTextPreviewer::~TTextPreviewer() = default;

void TTextPreviewer::BuildTimeline(TVideoTime Duration) {
    // Mode 1 marks a preview: the title is drawn on opaque black.
    FSourceName = "qmtextprotocol://1/" + std::to_string(FWidth) + "/" + std::to_string(FHeight) +
                  "/" + std::to_string(Duration) + "/" + FormatDecimal(FFramesPerSecond) + "/" +
                  FDescriptor->TextForm(MakeColor(0, 0, 0));
    TMediaVideoFormat Format;
    Format.Width = FWidth;
    Format.Height = FHeight;
    Format.FrameDuration = std::max<TVideoTime>(1, std::llround(1e7 / FFramesPerSecond));
    auto Timeline = std::make_unique<TMediaTimeline>();
    TMediaGroup* Group = Timeline->AddGroup(TMediaGroup::Video(Format));
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(TextSourceId());
    Source->SetStretchMode(TMediaSource::Crop);
    Source->SetStartStop(0, Duration);
    Source->SetMediaTimes(0, Duration);
    TPropertySetter Properties;
    Properties.SetValue("filename", FSourceName);
    Source->SetProperties(std::move(Properties));
    Group->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)->SrcAdd(std::move(Source));
    SetTimeline(std::move(Timeline), Duration, FWidth, FHeight, FFramesPerSecond);
}

void TTextPreviewer::SetTitle(const TTextClipDescriptor& Descriptor, TVideoTime Duration) {
    FDescriptor->Assign(Descriptor);
    BuildTimeline(std::max<TVideoTime>(Duration, 1));
}
