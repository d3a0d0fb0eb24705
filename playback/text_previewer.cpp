#include "playback/text_previewer.h"

#include "core/numbers.h"
#include "platform/media/media_guid.h"
#include "platform/media/media_timeline.h"
#include "platform/media/property_setter.h"
#include "render/preview_graph.h"
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
    BuildTimeline();
}

TTextPreviewer::~TTextPreviewer() {
    // The engine's threads go before the timeline they read.
    FPreview.reset();
}

void TTextPreviewer::BuildTimeline() {
    // Mode 1 marks a preview: the title is drawn on opaque black.
    FSourceName = "qmtextprotocol://1/" + std::to_string(FWidth) + "/" + std::to_string(FHeight) +
                  "/" + std::to_string(FDuration) + "/" + FormatDecimal(FFramesPerSecond) + "/" +
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
    Source->SetStartStop(0, FDuration);
    Source->SetMediaTimes(0, FDuration);
    TPropertySetter Properties;
    Properties.SetValue("filename", FSourceName);
    Source->SetProperties(std::move(Properties));
    Group->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)->SrcAdd(std::move(Source));
    FTimeline = std::move(Timeline);
}

void TTextPreviewer::SetTitle(const TTextClipDescriptor& Descriptor, TVideoTime Duration) {
    // The engine reads the timeline while it plays: its threads go first,
    // and come back on the new title in the same play state.
    bool Visible = IsVideoVisible();
    bool Playing = IsPlaying();
    FPreview.reset();
    FDuration = std::max<TVideoTime>(Duration, 1);
    FDescriptor->Assign(Descriptor);
    BuildTimeline();
    FPosition = 0;
    if (Visible)
        SetVideoVisible(true);
    if (Playing)
        PlayTo(PlayToEnd);
}

TPlayState TTextPreviewer::GetState() const {
    return FPreview ? FPreview->State() : TPlayState::Stopped;
}

TVideoTime TTextPreviewer::GetPosition() const {
    return FPreview ? FPreview->Position() : FPosition;
}

void TTextPreviewer::Seek(TVideoTime Time) {
    FPosition = std::clamp<TVideoTime>(Time, 0, FDuration);
    if (FPreview)
        FPreview->Seek(FPosition);
}

void TTextPreviewer::SetVideoVisible(bool Visible) {
    if (Visible == IsVideoVisible())
        return;
    if (!Visible) {
        FPosition = FPreview->Position();
        FPreview.reset();
        return;
    }
    FPreview = std::make_unique<TPreviewGraph>(*FTimeline, *this);
    FPreview->Seek(FPosition);
}

bool TTextPreviewer::GetVideoSize(int32_t& Width, int32_t& Height) const {
    Width = FWidth;
    Height = FHeight;
    return true;
}

void TTextPreviewer::PlayTo(TVideoTime Stop) {
    if (!FPreview)
        return;
    FirePlayStarted();
    FPreview->PlayTo(Stop);
}

void TTextPreviewer::Pause() {
    if (FPreview)
        FPreview->Pause();
}

void TTextPreviewer::Stop() {
    if (FPreview)
        FPreview->Stop();
}

void TTextPreviewer::Poll() {
    if (FPreview)
        FPreview->Poll();
}

void TTextPreviewer::FrameSizeChanged() {
    if (FPreview)
        FPreview->FrameSizeChanged();
}
