// The render timeline as a player object: its preview on the engine, and the
// holds that keep the engine's threads off it while it changes.
#include "render/timeline.h"

#include "core/exception_report.h"
#include "platform/media/media_timeline.h"
#include "render/preview_graph.h"

void TTimeline::HoldPreview() {
    if (FPreviewHolds++ == 0 && FPreview)
        FPreview->Suspend();
}

void TTimeline::ReleasePreview() {
    if (FPreviewHolds <= 0 || --FPreviewHolds > 0 || !FPreview)
        return;
    // Called from bracket guards: a preview that cannot start again (no
    // sound device any more, say) is reported, never thrown from here.
    try {
        FPreview->Resume();
    } catch (...) {
        ReportCurrentException();
    }
}

TPlayState TTimeline::GetState() const {
    return FPreview ? FPreview->State() : TPlayState::Stopped;
}

TVideoTime TTimeline::GetPosition() const {
    return FPreview ? FPreview->Position() : 0;
}

void TTimeline::Seek(TVideoTime Time) {
    if (FPreview)
        FPreview->Seek(Time);
}

void TTimeline::SetVideoVisible(bool Visible) {
    if (Visible == IsVideoVisible())
        return;
    if (!Visible) {
        FPreview.reset();
        return;
    }
    FPreview = std::make_unique<TPreviewGraph>(Platform(), *this);
    if (FPreviewHolds > 0)
        FPreview->Suspend();
}

bool TTimeline::GetVideoSize(int32_t& Width, int32_t& Height) const {
    Width = FVideoFormat.Width;
    Height = FVideoFormat.Height;
    return Width > 0 && Height > 0;
}

void TTimeline::PlayTo(TVideoTime Stop) {
    if (!FPreview)
        return;
    FirePlayStarted();
    FPreview->PlayTo(Stop);
}

void TTimeline::Pause() {
    if (FPreview)
        FPreview->Pause();
}

void TTimeline::Stop() {
    if (FPreview)
        FPreview->Stop();
}

void TTimeline::Poll() {
    if (FPreview)
        FPreview->Poll();
}

void TTimeline::FrameSizeChanged() {
    if (FPreview)
        FPreview->FrameSizeChanged();
}
