#pragma once

#include "core/geometry.h"
#include "core/ref_object.h"
#include "core/video_time.h"
#include "platform/media/video_frame.h"

#include <optional>
#include <string>

struct TFileStatus;

// The catalogue's thumbnails fit within this, in the shape of their media.
inline constexpr TSize ClipInfoPictureBounds{320, 240};

// What the media catalogue knows of one media file: its length (0 for a
// still), its picture size, which streams it has and a thumbnail. Entries
// are shared (the catalogue, browsers and drags hold them by TRefPtr), so
// one outlives the catalogue's reset and stays valid; a fresh one comes
// from the catalogue again.
class TClipInfo : public TRefObject {
public:
    TClipInfo() = default;
    explicit TClipInfo(std::string FileName) : FFileName(std::move(FileName)) {}
    std::string_view ClassName() const override { return "TClipInfo"; }

    const std::string& FileName() const { return FFileName; }
    TVideoTime Duration() const { return FDuration; }
    TSize FrameSize() const { return FFrameSize; }
    bool HasAudio() const { return FHasAudio; }
    bool HasVideo() const { return FHasVideo; }
    // Empty for media without video.
    const TVideoFrame& Picture() const { return FPicture; }
    // The picture came from a cache that no longer matches its file and
    // could not be rewritten; it carries the red frame.
    bool IsStale() const { return FIsStale; }

protected:
    ~TClipInfo() override = default;

private:
    friend class TClipInfos;

    std::string FFileName;
    TVideoTime FDuration = 0;
    TSize FFrameSize;
    bool FHasAudio = false;
    bool FHasVideo = false;
    TVideoFrame FPicture;
    bool FIsStale = false;
};

// The thumbnail cache file of a media file: beside it, hidden (a leading
// "."), the media file's name followed by ".tmb". Its layout, little-endian:
// "Thmb", the media file's modification time and size (int64 each, the time
// in 100 ns units), the duration (int64), the frame width and height (int32
// each), a byte each for audio and video, and the picture as PNG.
std::string ThumbnailCacheName(const std::string& MediaFile);
// Whether Name (without folder) is a thumbnail cache or one being written.
bool IsThumbnailCacheName(std::string_view Name);

struct TThumbnailCache {
    TVideoTime Duration = 0;
    TSize FrameSize;
    bool HasAudio = false;
    bool HasVideo = false;
    TVideoFrame Picture;
    // Not current, but read-only, so used all the same.
    bool IsStale = false;
};

// The cache of MediaFile (whose status is Media), when it is current: its
// stored time within 2 s of the file's and its stored size the file's.
// A cache that is not current is used only when it is read-only, marked
// stale. A missing, damaged or hostile cache (a wrong magic, a truncated
// record, a negative or huge length or size, a flag byte other than 0 and 1,
// a picture larger than ClipInfoPictureBounds or a PNG that does not decode)
// gives none.
std::optional<TThumbnailCache> ReadThumbnailCache(const std::string& MediaFile,
                                                  const TFileStatus& Media);
// Writes the cache of MediaFile from Info, atomically, unless a read-only
// cache is in its place. Failures are ignored: a folder the user cannot
// write simply keeps no caches.
void WriteThumbnailCache(const std::string& MediaFile, const TFileStatus& Media,
                         const TClipInfo& Info);
// Draws the stale mark: a 2-pixel opaque red frame at the edge and a
// 2-pixel transparent band inside it.
void MarkStalePicture(TVideoFrame& Picture);
