#include "project/item_undo.h"

#include "project/file_clip.h"
#include "project/project_changes.h"
#include "project/track.h"
#include "project/undo_brackets.h"

#include <utility>

namespace {

TProject* ProjectOf(const TTrackItem& Item) {
    return Item.Track() ? Item.Track()->Project() : nullptr;
}

void PushTrackElements(const TTrackItem& Item) {
    if (TTrack* Track = Item.Track())
        Track->UpdateRenderElements();
}

} // namespace

TFileClipTrimUndo::TFileClipTrimUndo(TFileClip* Clip, std::string Text)
    : TBracketedUndo(std::move(Text)), FClip(Clip), FTrimBegin(Clip->TrimBegin()),
      FTrimEnd(Clip->TrimEnd()) {
    bool Tracking = Clip->Track() && Clip->Track()->TrackingActive();
    FPosition = Tracking ? Clip->TrackPosition() : Clip->Position();
    FDuration = Tracking ? Clip->TrackDuration() : Clip->Duration();
}

TFileClipTrimUndo::~TFileClipTrimUndo() = default;

TProject* TFileClipTrimUndo::Project() const {
    return ProjectOf(*FClip);
}

void TFileClipTrimUndo::Exchange() {
    TFileClip& Clip = *FClip;
    TVideoTime Begin = Clip.TrimBegin(), End = Clip.TrimEnd();
    TVideoTime Position = Clip.Position(), Duration = Clip.Duration();
    Clip.SetPosition(FPosition);
    Clip.SetDuration(FDuration);
    Clip.TakeTrackingSnapshot();
    Clip.SetTrim(FTrimBegin, FTrimEnd);
    FTrimBegin = Begin;
    FTrimEnd = End;
    FPosition = Position;
    FDuration = Duration;
    if (TProjectChanges* Changes = Clip.Changes())
        Changes->Change(ProjectChangeTiming);
}

void TFileClipTrimUndo::Finish(TUndoState& State) {
    PushTrackElements(*FClip);
    TBracketedUndo::Finish(State);
}

TFileClipZoomPanUndo::TFileClipZoomPanUndo(TFileClip* Clip, std::string Text)
    : TUndo(std::move(Text)), FClip(Clip), FBegin(Clip->ZoomPanBegin()), FEnd(Clip->ZoomPanEnd()),
      FIsEqualSize(Clip->IsEqualSize()), FIsCommonCenter(Clip->IsCommonCenter()) {}

TFileClipZoomPanUndo::~TFileClipZoomPanUndo() = default;

void TFileClipZoomPanUndo::Exchange() {
    TFileClip& Clip = *FClip;
    TZoomPanValue Begin = Clip.ZoomPanBegin(), End = Clip.ZoomPanEnd();
    bool IsEqualSize = Clip.IsEqualSize(), IsCommonCenter = Clip.IsCommonCenter();
    Clip.SetZoomPan(FBegin, FEnd, FIsEqualSize, FIsCommonCenter);
    FBegin = Begin;
    FEnd = End;
    FIsEqualSize = IsEqualSize;
    FIsCommonCenter = IsCommonCenter;
}

TTitleClipUndo::TTitleClipUndo(TTitleClip* Clip, std::string Text)
    : TBracketedUndo(std::move(Text)), FClip(Clip), FText(Clip->Text()),
      FMainFont(Clip->MainFont().Font()), FCaptionFont(Clip->CaptionFont().Font()) {}

TTitleClipUndo::~TTitleClipUndo() = default;

TProject* TTitleClipUndo::Project() const {
    return ProjectOf(*FClip);
}

void TTitleClipUndo::Exchange() {
    TTitleClip& Clip = *FClip;
    std::string Text = Clip.Text();
    TTitleFont Main = Clip.MainFont().Font(), Caption = Clip.CaptionFont().Font();
    Clip.ApplyContent(FText, FMainFont, FCaptionFont);
    FText = std::move(Text);
    FMainFont = Main;
    FCaptionFont = Caption;
    if (TProjectChanges* Changes = Clip.Changes())
        Changes->Change(ProjectChangeSettings);
}

void TTitleClipUndo::Finish(TUndoState& State) {
    PushTrackElements(*FClip);
    TBracketedUndo::Finish(State);
}
