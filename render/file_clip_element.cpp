#include "render/file_clip_element.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_error.h"
#include "platform/media/media_probe.h"
#include "platform/media/media_timeline.h"
#include "render/engine_objects.h"
#include "render/output_presets.h"

#include <algorithm>

TVideoTime TFileClipElement::DefaultPictureDuration = 50000000;

namespace {

const TGuid& PictureSourceId() {
    static const TGuid Id = GuidFromText("{CBA84307-036B-4A74-9E98-8F32405FF48D}");
    return Id;
}

std::string ExtensionOf(const std::string& FileName) {
    size_t Dot = FileName.rfind('.');
    size_t Slash = FileName.rfind('/');
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash))
        return "";
    return UpperCaseAscii(FileName.substr(Dot));
}

} // namespace

bool TFileClipElement::IsPictureFile(const std::string& FileName) {
    static const char* const Extensions[] = {".BMP", ".JPG", ".JPE", ".JPEG", ".DIB",
                                             ".RLE", ".LGF", ".LGW", ".RNA",  ".GIF",
                                             ".WMF", ".EMF", ".PNG", ".ICO"};
    std::string Extension = ExtensionOf(FileName);
    return std::any_of(std::begin(Extensions), std::end(Extensions),
                       [&](const char* E) { return Extension == E; });
}

TFileClipElement::TFileClipElement(std::string FileName, bool WantAudio, bool WantVideo,
                                   TVideoTime Duration)
    : FFileName(std::move(FileName)) {
    TMediaInfo Info;
    try {
        Info = CheckPlayableMedia(FFileName, TMediaKind::Any, 0);
    } catch (const EMediaError& Error) {
        RaiseError(FormatMessageText(GetText(TTextSlot::CannotOpenClipFile), FFileName) + ": " +
                   Error.what());
    }
    FIsStill = IsPictureFile(FFileName) || (Info.HasVideo() && Info.Duration == 0);
    FHasVideo = WantVideo && Info.HasVideo();
    FHasAudio = WantAudio && Info.HasAudio() && !FIsStill;
    if (!FHasVideo && !FHasAudio)
        RaiseError(FormatMessageText(GetText(TTextSlot::CannotOpenClipFile), FFileName));
    FMediaLength = FIsStill ? 0 : Info.Duration;
    FMediaVideo = {VideoPresetCustom, Info.Width, Info.Height, Info.FrameRate};
    for (const auto& Stream : Info.Streams)
        if (Stream.MajorType == TStreamMajorType::Audio) {
            FMediaAudio = {AudioPresetCustom, uint16_t(Stream.Channels), 16,
                           uint32_t(Stream.SamplesPerSecond)};
            break;
        }
    if (FIsStill) {
        SetDurationField(Duration > 0 ? Duration : DefaultPictureDuration);
    } else {
        FMediaStart = 0;
        FMediaStop = FMediaLength;
        SetDurationField(Duration > 0 ? Duration : FMediaLength);
        if (Duration > 0 && !FLoops)
            FMediaStop = std::min(FMediaLength, Duration);
    }
}

void TFileClipElement::SetLoops(bool Value) {
    if (Value != FLoops) {
        FLoops = Value;
        Update();
    }
}

void TFileClipElement::SetKeepsAspectRatio(bool Value) {
    if (Value != FKeepsAspectRatio) {
        FKeepsAspectRatio = Value;
        Update();
    }
}

void TFileClipElement::SetTrim(TVideoTime MediaStart, TVideoTime MediaStop) {
    MediaStart = std::max<TVideoTime>(0, MediaStart);
    if (FMediaLength > 0)
        MediaStop = std::min(MediaStop, FMediaLength);
    MediaStop = std::max(MediaStop, MediaStart);
    if (MediaStart == FMediaStart && MediaStop == FMediaStop)
        return;
    FMediaStart = MediaStart;
    FMediaStop = MediaStop;
    Update();
}

void TFileClipElement::SetZoomPan(const TZoomPanValue& Begin, const TZoomPanValue& End) {
    auto Same = [](const TZoomPanValue& A, const TZoomPanValue& B) { return A == B; };
    if (Same(Begin, FZoomBegin) && Same(End, FZoomEnd))
        return;
    FZoomBegin = Begin;
    FZoomEnd = End;
    if (FIsStill)
        Update();
}

void TFileClipElement::CollectFormat(TVideoFormat& Video, TAudioFormat& Audio) const {
    if (FHasVideo) {
        Video.Preset = VideoPresetCustom;
        Video.Width = std::max(Video.Width, FMediaVideo.Width);
        Video.Height = std::max(Video.Height, FMediaVideo.Height);
        Video.FramesPerSecond = std::max(Video.FramesPerSecond, FMediaVideo.FramesPerSecond);
    }
    if (FHasAudio) {
        Audio.Preset = AudioPresetCustom;
        Audio.Channels = std::max(Audio.Channels, FMediaAudio.Channels);
        Audio.BitsPerSample = std::max(Audio.BitsPerSample, FMediaAudio.BitsPerSample);
        Audio.SamplesPerSecond = std::max(Audio.SamplesPerSecond, FMediaAudio.SamplesPerSecond);
    }
}

std::unique_ptr<TClipElement> TFileClipElement::Clone() const {
    std::unique_ptr<TFileClipElement> Copy(new TFileClipElement);
    CopyParametersTo(*Copy);
    Copy->FFileName = FFileName;
    Copy->FMediaLength = FMediaLength;
    Copy->FMediaStart = FMediaStart;
    Copy->FMediaStop = FMediaStop;
    Copy->FStreamNumber = FStreamNumber;
    Copy->FHasVideo = FHasVideo;
    Copy->FHasAudio = FHasAudio;
    Copy->FIsStill = FIsStill;
    Copy->FLoops = FLoops;
    Copy->FKeepsAspectRatio = FKeepsAspectRatio;
    Copy->FZoomBegin = FZoomBegin;
    Copy->FZoomEnd = FZoomEnd;
    Copy->FMediaVideo = FMediaVideo;
    Copy->FMediaAudio = FMediaAudio;
    return Copy;
}

std::string TFileClipElement::PictureSourceName() const {
    const TTimeline* Owner = Timeline();
    TPictureSourceName Name;
    if (Owner) {
        Name.ZoomPanCallback = Owner->ZoomPanHandle();
        Name.RenderMode = Owner->RenderMode();
        Name.OutputWidth = Owner->OutputWidth();
        Name.OutputHeight = Owner->OutputHeight();
        Name.FramesPerSecond = Owner->FramesPerSecond();
    }
    Name.ClipColor = BackgroundColor();
    Name.MediaStop = FMediaStop;
    Name.ZoomPanBegin = FZoomBegin;
    Name.ZoomPanEnd = FZoomEnd;
    Name.KeepAspectRatio = FKeepsAspectRatio;
    Name.FileName = FFileName;
    return BuildPictureSourceName(Name);
}

TMediaSource* TFileClipElement::LayDown(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop,
                                        bool Video) {
    auto MakeSource = [&](TVideoTime From, TVideoTime To, TVideoTime MediaFrom,
                          TVideoTime MediaTo) {
        auto Source = std::make_unique<TMediaSource>();
        Source->SetStartStop(From, To);
        Source->SetMediaTimes(MediaFrom, MediaTo);
        Source->SetMediaLength(FMediaLength);
        if (Video && FIsStill) {
            Source->SetSubObjectClassId(PictureSourceId());
            Source->SetStretchMode(TMediaSource::Crop);
            TPropertySetter Properties;
            Properties.SetValue("filename", PictureSourceName());
            Source->SetProperties(std::move(Properties));
        } else {
            Source->SetMediaName(FFileName);
            Source->SetStreamNumber(FStreamNumber);
            Source->SetStretchMode(FKeepsAspectRatio ? TMediaSource::PreserveAspectRatio
                                                     : TMediaSource::Stretch);
        }
        TMediaSource* Placed = SubTrack->SrcAdd(std::move(Source));
        Keep(SubTrack, Placed);
        return Placed;
    };

    if (FIsStill || FMediaLength <= 0)
        return MakeSource(Start, Stop, 0, Stop - Start);
    TVideoTime Remaining = FMediaLength - FMediaStart % FMediaLength;
    if (Stop - Start <= Remaining || FMediaStop - FMediaStart >= Stop - Start)
        return MakeSource(Start, Stop, FMediaStart, FMediaStart + (Stop - Start));
    // A looping clip: the rest of the media from MediaStart, then whole
    // repetitions, the last one cut to what is left of the clip.
    TVideoTime MediaFrom = FMediaStart % FMediaLength;
    TMediaSource* First = nullptr;
    for (TVideoTime At = Start; At < Stop;) {
        TVideoTime Piece = std::min(FMediaLength - MediaFrom, Stop - At);
        TMediaSource* Placed = MakeSource(At, At + Piece, MediaFrom, MediaFrom + Piece);
        if (!First)
            First = Placed;
        At += Piece;
        MediaFrom = 0;
    }
    return First;
}

void TFileClipElement::BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) {
    SetVideoSource(LayDown(SubTrack, Start, Stop, true));
}

void TFileClipElement::BuildAudio(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) {
    SetAudioSource(LayDown(SubTrack, Start, Stop, false));
}

TColorClipElement::TColorClipElement(TColor Color, TVideoTime Duration) : FColor(Color) {
    SetDurationField(Duration);
}

std::unique_ptr<TClipElement> TColorClipElement::Clone() const {
    auto Copy = std::make_unique<TColorClipElement>(FColor, Duration());
    CopyParametersTo(*Copy);
    return Copy;
}

void TColorClipElement::SetColor(TColor Color) {
    if (Color != FColor) {
        FColor = Color;
        Update();
    }
}

void TColorClipElement::BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) {
    TMediaSource* Source = AddColorSource(SubTrack, Start, Stop, ArgbOf(FColor) | 0xFF000000u);
    Keep(SubTrack, Source);
    SetVideoSource(Source);
}
