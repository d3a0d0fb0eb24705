#include "render/text_clip_element.h"

#include "core/numbers.h"
#include "platform/media/media_timeline.h"
#include "render/engine_objects.h"
#include "render/timeline.h"

namespace {

const TGuid& TextSourceId() {
    static const TGuid Id = GuidFromText("{BD656B83-0729-4E11-967A-1FA34B5724F7}");
    return Id;
}

} // namespace

TTextClipElement::TTextClipElement(const TTextClipDescriptor& Descriptor, TVideoTime Duration) {
    FDescriptor.Assign(Descriptor);
    SetDurationField(Duration);
}

void TTextClipElement::SetDescriptor(const TTextClipDescriptor& Descriptor) {
    FDescriptor.Assign(Descriptor);
    Update();
}

std::unique_ptr<TClipElement> TTextClipElement::Clone() const {
    auto Copy = std::make_unique<TTextClipElement>(FDescriptor, Duration());
    CopyParametersTo(*Copy);
    return Copy;
}

std::string TTextClipElement::SourceName(TVideoTime Duration) const {
    const TTimeline* Owner = Timeline();
    std::string Name = "qmtextprotocol://0/";
    Name += std::to_string(Owner ? Owner->OutputWidth() : 0) + "/";
    Name += std::to_string(Owner ? Owner->OutputHeight() : 0) + "/";
    Name += std::to_string(Duration) + "/";
    Name += FormatDecimal(Owner ? Owner->FramesPerSecond() : 0) + "/";
    return Name + FDescriptor.TextForm(0);
}

void TTextClipElement::BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(TextSourceId());
    Source->SetStretchMode(TMediaSource::Crop);
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue("filename", SourceName(Stop - Start));
    Source->SetProperties(std::move(Properties));
    TMediaSource* Placed = SubTrack->SrcAdd(std::move(Source));
    Keep(SubTrack, Placed);
    SetVideoSource(Placed);
}
