#pragma once

#include "platform/media/picture_source_name.h"
#include "render/clip_element.h"
#include "render/timeline.h"

#include <string>

// A clip of a media file: video, audio or a still picture. A media file
// plays its range [MediaStart, MediaStop); a clip longer than what remains
// of the media, when looping, lays the media down again and again; a still
// shows its picture through the picture source with a zoom-and-pan movement.
class TFileClipElement : public TClipElement {
public:
    // Raises the cannot-open-file error when the file is missing or is not
    // media. Duration -1 takes the media's length (a still: the default
    // picture duration).
    TFileClipElement(std::string FileName, bool WantAudio, bool WantVideo, TVideoTime Duration);
    std::string_view ClassName() const override { return "TFileClipElement"; }

    const std::string& FileName() const { return FFileName; }
    TVideoTime MediaLength() const { return FMediaLength; }
    TVideoTime MediaStart() const { return FMediaStart; }
    TVideoTime MediaStop() const { return FMediaStop; }
    bool IsStill() const { return FIsStill; }
    bool Loops() const { return FLoops; }
    void SetLoops(bool Value);
    bool KeepsAspectRatio() const { return FKeepsAspectRatio; }
    void SetKeepsAspectRatio(bool Value);
    int32_t StreamNumber() const { return FStreamNumber; }

    // Sets the media range; with KeepPosition the clip keeps its start.
    void SetTrim(TVideoTime MediaStart, TVideoTime MediaStop);
    void SetZoomPan(const TZoomPanValue& Begin, const TZoomPanValue& End);
    const TZoomPanValue& ZoomPanBegin() const { return FZoomBegin; }
    const TZoomPanValue& ZoomPanEnd() const { return FZoomEnd; }

    bool HasVideo() const override { return FHasVideo; }
    bool HasAudio() const override { return FHasAudio; }
    // A still is drawn by the picture source, which fills the frame around
    // the picture (zoomed out, or of another shape) with the clip's colour;
    // a media file's frames fill the frame themselves.
    bool KeepsBackgroundColor() const override { return FIsStill && FHasVideo; }
    bool CanSetDuration() const override { return true; }
    void CollectFormat(TVideoFormat& Video, TAudioFormat& Audio) const override;
    std::unique_ptr<TClipElement> Clone() const override;

    // Files shown as still pictures, recognised by extension.
    static bool IsPictureFile(const std::string& FileName);
    // The default length of a still picture.
    static TVideoTime DefaultPictureDuration;

protected:
    void BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) override;
    void BuildAudio(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) override;

private:
    TFileClipElement() = default;
    // Lays the media down over [Start, Stop) as one source, or as the
    // pieces of a looping clip; returns the first.
    TMediaSource* LayDown(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop, bool Video);
    std::string PictureSourceName() const;

    std::string FFileName;
    TVideoTime FMediaLength = 0;
    TVideoTime FMediaStart = 0;
    TVideoTime FMediaStop = 0;
    int32_t FStreamNumber = 0;
    bool FHasVideo = false;
    bool FHasAudio = false;
    bool FIsStill = false;
    bool FLoops = false;
    bool FKeepsAspectRatio = true;
    TZoomPanValue FZoomBegin;
    TZoomPanValue FZoomEnd;
    TVideoFormat FMediaVideo;
    TAudioFormat FMediaAudio;
};

// A clip of one colour (red, green and blue; the alpha byte is ignored).
class TColorClipElement : public TClipElement {
public:
    TColorClipElement(TColor Color, TVideoTime Duration);
    std::string_view ClassName() const override { return "TColorClipElement"; }

    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    bool HasVideo() const override { return true; }
    bool HasAudio() const override { return false; }
    std::unique_ptr<TClipElement> Clone() const override;

protected:
    void BuildVideo(TMediaTrack* SubTrack, TVideoTime Start, TVideoTime Stop) override;

private:
    TColor FColor;
};
