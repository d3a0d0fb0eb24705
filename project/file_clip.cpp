#include "project/file_clip.h"

#include "core/data.h"
#include "core/file_io.h"
#include "core/text_table.h"
#include "project/item_setting.h"
#include "project/item_undo.h"
#include "project/media_paths.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/transition.h"
#include "project/undo_history.h"
#include "render/file_clip_element.h"
#include "render/timeline.h"

#include <algorithm>
#include <cmath>

namespace {

// What a stored movement value is read as when it is absent or unusable.
constexpr double StoredZoomPanDefault = 0.5;
// Zooms beyond this show the picture as a speck in a sea of border.
constexpr double MaxZoom = 100.0;

std::unique_ptr<TFileClipElement> OpenElement(const std::string& FileName) {
    if (!QueryFileStatus(FileName).IsRegular)
        return nullptr;
    try {
        return std::make_unique<TFileClipElement>(FileName, true, true, -1);
    } catch (const std::exception&) {
        // A file that cannot be decoded is shown as an unavailable clip, as a
        // missing one is: the project must still open, and the mark on the
        // clip is what tells the user.
        return nullptr;
    }
}

double ReadCentre(const TData& Data, std::string_view Key) {
    double Value = Data.ReadFloat(Key, StoredZoomPanDefault);
    return std::isfinite(Value) ? std::clamp(Value, 0.0, 1.0) : StoredZoomPanDefault;
}

double ReadZoom(const TData& Data, std::string_view Key) {
    double Value = Data.ReadFloat(Key, StoredZoomPanDefault);
    if (!std::isfinite(Value) || Value <= 0)
        return StoredZoomPanDefault;
    return std::min(Value, MaxZoom);
}

} // namespace

TFileClip::TFileClip(TVideoTime Position, std::string FileName)
    : FFileName(AbsoluteMediaFileName(FileName)) {
    SetPosition(Position);
    std::unique_ptr<TFileClipElement> Element = OpenElement(FFileName);
    if (Element) {
        FHasAudio = Element->HasAudio();
        FHasVideo = Element->HasVideo();
        FIsStill = Element->IsStill();
        FIsStretchable = FIsStill;
        FMediaDuration = Element->MediaLength();
        SetDuration(Element->Duration());
        FTrimEnd = FIsStretchable ? Duration() : FMediaDuration;
        FCanZoomPan = FIsStill;
        TakeFrameSize(*Element);
        SetElement(std::move(Element));
    } else {
        FHasAudio = FHasVideo = true;
        FIsStretchable = true;
        SetDuration(UnavailableDuration);
    }
    CreateSettings();
}

TFileClip::TFileClip(TVideoTime Position, const TFileClip& Like) : FFileName(Like.FFileName) {
    SetPosition(Position);
    FHasAudio = Like.FHasAudio;
    FHasVideo = Like.FHasVideo;
    FIsStill = Like.FIsStill;
    FIsStretchable = Like.FIsStretchable;
    FMediaDuration = Like.FMediaDuration;
    FFrameWidth = Like.FFrameWidth;
    FFrameHeight = Like.FFrameHeight;
    FCanZoomPan = Like.FCanZoomPan;
    if (TFileClipElement* Source = Like.FileElement()) {
        SetDuration(FIsStill ? TFileClipElement::DefaultPictureDuration : FMediaDuration);
        SetElement(Source->Clone());
    } else {
        SetDuration(UnavailableDuration);
    }
    FTrimEnd = FIsStretchable ? Duration() : FMediaDuration;
    CreateSettings();
}

void TFileClip::TakeFrameSize(const TFileClipElement& Element) {
    TVideoFormat Video{};
    TAudioFormat Audio{};
    Element.CollectFormat(Video, Audio);
    if (Video.Width > 0 && Video.Height > 0) {
        FFrameWidth = Video.Width;
        FFrameHeight = Video.Height;
    }
}

bool TFileClip::IsAvailable() const {
    return Element() && !Element()->Unavailable();
}

TFileClipElement* TFileClip::FileElement() const {
    return static_cast<TFileClipElement*>(Element());
}

bool TFileClip::OpenAgain() {
    if (Element())
        return true;
    std::unique_ptr<TFileClipElement> Opened = OpenElement(FFileName);
    if (!Opened)
        return false;
    const bool Still = Opened->IsStill();
    const TVideoTime Length = Opened->MediaLength();
    // Another file under the name (a still for a video, a shorter video)
    // would not show what the project keeps: the clip stays unavailable.
    if (Still != FIsStill ||
        (!Still && (FTrimEnd > Length || FTrimBegin >= FTrimEnd || FTrimEnd - FTrimBegin != Duration())))
        return false;
    // The streams stay those the clip stored, as loading does: its settings
    // were kept by them.
    FIsStretchable = Still;
    FCanZoomPan = Still;
    FMediaDuration = Length;
    TakeFrameSize(*Opened);
    SetElement(std::move(Opened));
    InvalidatePicture();
    PushTrim();
    PushZoomPan();
    // The clip's own settings (adjustments, colour, volume, mute) reach the
    // new element as loading gives them to it.
    for (int32_t I = 0; I < SettingCount(); ++I)
        Setting(I)->Apply();
    if (Track()) {
        // Onto the render track, then the clip effects onto the element and
        // the transitions joined to it.
        UpdateElement();
        SubTracksChanged();
    }
    if (TTransition* Leading = LeadingTransition())
        LinkTo(Leading, this);
    if (TTransition* Trailing = TrailingTransition())
        LinkFrom(Trailing, this);
    return true;
}

void TFileClip::ClampTrim(TVideoTime& Begin, TVideoTime& End) const {
    Begin = std::max<TVideoTime>(Begin, 0);
    if (FIsStretchable)
        End = std::max(End, Begin);
    else
        End = std::min(End, FMediaDuration);
}

void TFileClip::SetTrim(TVideoTime Begin, TVideoTime End) {
    ClampTrim(Begin, End);
    if (Begin >= End || (Begin == FTrimBegin && End == FTrimEnd))
        return;
    FTrimBegin = Begin;
    FTrimEnd = End;
    SetDuration(End - Begin);
    // A still shows the same picture whatever part of its time is used.
    if (!FIsStill)
        InvalidatePicture();
    PushTrim();
    if (TClipElement* Clip = ClipElement(); Clip && Clip->CanSetDuration())
        Clip->SetDuration(Duration());
}

void TFileClip::PushTrim() {
    if (TFileClipElement* File = FileElement(); File && FMediaDuration > 0)
        File->SetTrim(FTrimBegin, FTrimEnd);
}

void TFileClip::PushZoomPan() {
    if (TFileClipElement* File = FileElement())
        File->SetZoomPan(FZoomPanBegin, FZoomPanEnd);
}

void TFileClip::SetZoomPanRaw(const TZoomPanValue& Begin, const TZoomPanValue& End,
                              bool IsEqualSize, bool IsCommonCenter) {
    FZoomPanBegin = Begin;
    FZoomPanEnd = End;
    FIsEqualSize = IsEqualSize;
    FIsCommonCenter = IsCommonCenter;
    PushZoomPan();
}

void TFileClip::SetZoomPan(const TZoomPanValue& Begin, const TZoomPanValue& End, bool IsEqualSize,
                           bool IsCommonCenter) {
    if (Begin == FZoomPanBegin && End == FZoomPanEnd && IsEqualSize == FIsEqualSize &&
        IsCommonCenter == FIsCommonCenter)
        return;
    TUpdateGuard Guard(Changes());
    UndoHistory().Add(
        std::make_unique<TFileClipZoomPanUndo>(this, GetText(TTextSlot::UndoZoomPanText)));
    SetZoomPanRaw(Begin, End, IsEqualSize, IsCommonCenter);
    if (TProjectChanges* Notifier = Changes())
        Notifier->Change(ProjectChangeZoomPan);
}

void TFileClip::Place(bool KeepJoined, TVideoTime RunningEnd) {
    TClip::Place(KeepJoined, RunningEnd);
    FollowDuration();
}

void TFileClip::FollowDuration() {
    if (FIsStretchable)
        FTrimEnd = FTrimBegin + Duration();
}

void TFileClip::Attach() {
    TClip::Attach();
    PushZoomPan();
}

void TFileClip::UpdateElement() {
    PushTrim();
    TClip::UpdateElement();
}

void TFileClip::SaveIdentity(TData& Data) const {
    Data.WriteString("Type", "FileClip");
    Data.WriteString("FileName", StoredMediaFileName(FFileName, MediaFolders()));
}

void TFileClip::Save(TData& Data) const {
    TClip::Save(Data);
    Data.WriteInt64("TrimBegin", FTrimBegin);
    Data.WriteInt64("TrimEnd", FTrimEnd);
    if (!FIsStill)
        return;
    TDataSection Section(Data, "ZoomPan");
    Data.WriteFloat("Begin.MidX", FZoomPanBegin.MidX);
    Data.WriteFloat("Begin.MidY", FZoomPanBegin.MidY);
    Data.WriteFloat("Begin.Zoom", FZoomPanBegin.Zoom);
    Data.WriteFloat("End.MidX", FZoomPanEnd.MidX);
    Data.WriteFloat("End.MidY", FZoomPanEnd.MidY);
    Data.WriteFloat("End.Zoom", FZoomPanEnd.Zoom);
    Data.WriteBool("IsCommonCenter", FIsCommonCenter);
    Data.WriteBool("IsEqualSize", FIsEqualSize);
}

void TFileClip::Load(TData& Data) {
    if (!Element()) {
        KeepStoredSettings(Data);
        // A still whose file is missing keeps its movement for when the
        // file is back.
        FIsStill = Data.Exists("ZoomPan");
    }
    TClip::Load(Data);
    // Trims beyond twice the project's length are damage; keeping them that
    // small also keeps every sum of times far from overflowing.
    constexpr TVideoTime TrimLimit = 2 * MaxProjectPosition;
    TVideoTime Begin = std::clamp<TVideoTime>(Data.ReadInt64("TrimBegin", 0), 0, TrimLimit);
    TVideoTime End = std::clamp<TVideoTime>(Data.ReadInt64("TrimEnd", Duration()), 0, TrimLimit);
    ClampTrim(Begin, End);
    if (Begin > End || (!FIsStretchable && Begin == End)) {
        Begin = 0;
        End = FIsStretchable ? Duration() : std::min(Duration(), FMediaDuration);
    }
    FTrimBegin = Begin;
    FTrimEnd = End;
    if (!FIsStretchable)
        SetDuration(End - Begin);
    if (FIsStill) {
        TDataSection Section(Data, "ZoomPan");
        FZoomPanBegin = {ReadCentre(Data, "Begin.MidX"), ReadCentre(Data, "Begin.MidY"),
                         ReadZoom(Data, "Begin.Zoom")};
        FZoomPanEnd = {ReadCentre(Data, "End.MidX"), ReadCentre(Data, "End.MidY"),
                       ReadZoom(Data, "End.Zoom")};
        FIsCommonCenter = Data.ReadBool("IsCommonCenter", false);
        FIsEqualSize = Data.ReadBool("IsEqualSize", false);
    }
    PushTrim();
    PushZoomPan();
}
