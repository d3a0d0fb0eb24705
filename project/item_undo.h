#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "platform/media/picture_source_name.h"
#include "project/title_clip.h"
#include "project/undo_brackets.h"
#include "project/undo_record.h"

#include <string>

class TFileClip;

// Restores a file clip's trim together with its place on the track. While
// the clip's track is tracking, the times are those of the tracking
// snapshot, so that the record returns to the state before the drag.
class TFileClipTrimUndo : public TBracketedUndo {
public:
    explicit TFileClipTrimUndo(TFileClip* Clip, std::string Text = {});
    ~TFileClipTrimUndo() override;
    std::string_view ClassName() const override { return "TFileClipTrimUndo"; }

protected:
    void Exchange() override;
    // Also gives the track's elements the restored times and content.
    void Finish(TUndoState& State) override;
    TProject* Project() const override;

private:
    TRefPtr<TFileClip> FClip;
    TVideoTime FTrimBegin;
    TVideoTime FTrimEnd;
    TVideoTime FPosition;
    TVideoTime FDuration;
};

// Restores a still clip's zoom-and-pan movement and the chooser's two flags.
class TFileClipZoomPanUndo : public TUndo {
public:
    explicit TFileClipZoomPanUndo(TFileClip* Clip, std::string Text = {});
    ~TFileClipZoomPanUndo() override;
    std::string_view ClassName() const override { return "TFileClipZoomPanUndo"; }

protected:
    void Exchange() override;

private:
    TRefPtr<TFileClip> FClip;
    TZoomPanValue FBegin;
    TZoomPanValue FEnd;
    bool FIsEqualSize;
    bool FIsCommonCenter;
};

// Restores a title's text and both of its fonts.
class TTitleClipUndo : public TBracketedUndo {
public:
    explicit TTitleClipUndo(TTitleClip* Clip, std::string Text = {});
    ~TTitleClipUndo() override;
    std::string_view ClassName() const override { return "TTitleClipUndo"; }

protected:
    void Exchange() override;
    // Also gives the track's elements the restored times and content.
    void Finish(TUndoState& State) override;
    TProject* Project() const override;

private:
    TRefPtr<TTitleClip> FClip;
    std::string FText;
    TTitleFont FMainFont;
    TTitleFont FCaptionFont;
};
