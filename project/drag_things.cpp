#include "project/drag_things.h"

#include "platform/media/media_probe.h"
#include "platform/media/picture_resize.h"
#include "project/clip_picture.h"

#include <exception>

void TVideoDragThing::SetPicture(const TVideoFrame& Source, bool PicturesShown) {
    TSize Size = FitPictureSize(Source.Width(), Source.Height(), {PictureBound, PictureBound});
    if (!PicturesShown || Source.IsEmpty() || Size.Width == 0) {
        FPicture = {};
        return;
    }
    FPicture = ResizePicture(Source, Size.Width, Size.Height);
}

TFileClipDragThing::TFacts TFileClipDragThing::FactsOf(const std::string& FileName) {
    // What the media catalogue will tell, read here from the file itself.
    TFacts Facts;
    try {
        TMediaInfo Info = ProbeMedia(FileName);
        Facts.HasAudio = Info.HasAudio();
        Facts.HasVideo = Info.HasVideo();
        if (Info.Duration > 0)
            Facts.Duration = Info.Duration;
    } catch (const std::exception&) {
        // Unreadable: dragged as the unavailable clip it makes.
    }
    return Facts;
}

TFileClipDragThing::TFileClipDragThing(std::string FileName)
    : TFileClipDragThing(FileName, FactsOf(FileName)) {}

TFileClipDragThing::TFileClipDragThing(std::string FileName, const TFacts& Facts)
    : TClipDragThing(Facts.Duration, Facts.HasAudio, Facts.HasVideo),
      FFileName(std::move(FileName)) {}
