#pragma once

#include "platform/media/picture_source_name.h"
#include "project/clip.h"

#include <string>

class TFileClipElement;

// A clip of a video, audio or still-picture file. A file that is missing,
// or that exists but cannot be opened as media, still makes a clip: it has
// no render element, is marked unavailable, and keeps its file name and
// times so that the project is stored again unchanged.
//
//   TRefPtr<TFileClip> Clip = MakeRef<TFileClip>(0, "/home/ann/Videos/beach.mp4");
//   Track->InsertItem(Clip.Get(), 0);
class TFileClip : public TClip {
public:
    // Length and size of a clip whose media could not be opened.
    static constexpr TVideoTime UnavailableDuration = 50000000;
    static constexpr int32_t UnavailableWidth = 320;
    static constexpr int32_t UnavailableHeight = 240;

    TFileClip(TVideoTime Position, std::string FileName);
    // A new clip of Like's file at Position, with the media facts Like
    // found (and a copy of its element), as opening the file again would
    // give while the file is unchanged; but it does not open the file, so a
    // file that has gone since makes the same clip, unavailable as Like is.
    TFileClip(TVideoTime Position, const TFileClip& Like);
    std::string_view ClassName() const override { return "TFileClip"; }

    const std::string& FileName() const { return FFileName; }
    // Whether the clip's media can be shown: false when the file could not
    // be opened when the clip was made, or when a later rebuild of its
    // element failed (the file deleted, damaged or made unreadable since).
    bool IsAvailable() const;
    TFileClipElement* FileElement() const;
    // For a clip made without an element (its file missing or unreadable
    // when the clip was made or loaded): opens the file again and, when it
    // opens as media that can show the clip's stored times, gives the clip
    // its element on the render track, with its settings, movement, clip
    // effects and transitions, as loading the project now would. The clip's
    // place, length and trims stay as they are. Returns whether the clip has
    // an element now (true at once for a clip that had one).
    bool OpenAgain();

    TVideoTime MediaDuration() const { return FMediaDuration; }
    TVideoTime TrimBegin() const { return FTrimBegin; }
    TVideoTime TrimEnd() const { return FTrimEnd; }
    int32_t FrameWidth() const { return FFrameWidth; }
    int32_t FrameHeight() const { return FFrameHeight; }

    // A negative Begin becomes 0; a stretchable clip's End is raised to
    // Begin, another clip's End lowered to the media's length.
    void ClampTrim(TVideoTime& Begin, TVideoTime& End) const;
    // Clamps, then (unless empty or unchanged) takes the range as the clip's
    // duration and gives the element its media times. The caller records the
    // undo step.
    void SetTrim(TVideoTime Begin, TVideoTime End);

    // A stretchable clip's trim end follows its duration; placing the clip
    // and restoring its times call this.
    void FollowDuration();

    bool CanZoomPan() const { return FCanZoomPan; }
    const TZoomPanValue& ZoomPanBegin() const { return FZoomPanBegin; }
    const TZoomPanValue& ZoomPanEnd() const { return FZoomPanEnd; }
    bool IsEqualSize() const { return FIsEqualSize; }
    bool IsCommonCenter() const { return FIsCommonCenter; }
    // Stores the movement, pushes it to the element and signals
    // ProjectChangeZoomPan; nothing when every value is unchanged.
    void SetZoomPan(const TZoomPanValue& Begin, const TZoomPanValue& End, bool IsEqualSize,
                    bool IsCommonCenter);
    // Stores and pushes without a signal (undo records, previews).
    void SetZoomPanRaw(const TZoomPanValue& Begin, const TZoomPanValue& End, bool IsEqualSize,
                       bool IsCommonCenter);

    void Place(bool KeepJoined, TVideoTime RunningEnd) override;
    void Attach() override;
    void UpdateElement() override;

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    void SaveIdentity(TData& Data) const override;

private:
    void PushTrim();
    void PushZoomPan();
    // The picture size the opened element reports, when it has one.
    void TakeFrameSize(const TFileClipElement& Element);

    std::string FFileName;
    TVideoTime FMediaDuration = UnavailableDuration;
    TVideoTime FTrimBegin = 0;
    TVideoTime FTrimEnd = UnavailableDuration;
    int32_t FFrameWidth = UnavailableWidth;
    int32_t FFrameHeight = UnavailableHeight;
    bool FCanZoomPan = false;
    TZoomPanValue FZoomPanBegin;
    TZoomPanValue FZoomPanEnd;
    bool FIsEqualSize = false;
    bool FIsCommonCenter = false;
};
