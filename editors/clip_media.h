#pragma once

#include "core/ref_object.h"
#include "core/video_time.h"
#include "core/weak_ptr.h"
#include "project/clip_infos.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TMessageQueue;
class TPixels;

// The sound outline of a media file: the loudest sample (0..255 of full
// scale) of every bucket of BucketDuration from the media's start. At most
// MaxBuckets buckets, whatever the length, so an outline stays small.
struct TAudioPeaks {
    static constexpr int32_t MaxBuckets = 8192;
    static constexpr TVideoTime ShortestBucket = VideoTimeUnitsPerSecond / 100;
    TVideoTime BucketDuration = ShortestBucket;
    std::vector<uint8_t> Levels;
    // The loudest bucket over [From, To) of media time; 0 outside.
    uint8_t PeakIn(TVideoTime From, TVideoTime To) const;
};

// Reads the first audio stream of File (Duration long) and makes its outline.
// Stops early, with what it has, when Cancel becomes true. Raises what
// opening the file raises.
TAudioPeaks ComputeAudioPeaks(const std::string& File, TVideoTime Duration,
                              const std::atomic<bool>* Cancel = nullptr);

// What the timeline draws inside clips, kept off the paint path:
// thumbnails come from the media catalogue (which is asked to build a
// missing entry later, never while painting) and are scaled once per row
// height; sound outlines are computed once per file on a worker thread.
// Painting asks and gets either the finished thing or null; when something
// arrives, OnChange tells which kind of clips to repaint. Both caches are
// bounded: past their limit they start afresh.
//
//   if (const TPixels* Tile = Media.Thumbnail(Clip.FileName(), RowHeight))
//       Pixels.CopyFrom(X, Y, *Tile);
class TClipMedia {
public:
    static constexpr size_t MaxThumbnails = 512;
    static constexpr size_t MaxOutlines = 256;

    TClipMedia(TClipInfos& Catalogue, TMessageQueue& Queue);
    ~TClipMedia();
    TClipMedia(const TClipMedia&) = delete;
    TClipMedia& operator=(const TClipMedia&) = delete;
    const TLifeFlag& LifeFlag() const { return FLife; }

    // File's thumbnail Height pixels high in the media's shape; null while
    // the catalogue has no entry (it is requested) or the file has no video.
    const TPixels* Thumbnail(const std::string& File, int32_t Height);
    // File's outline; null while it is computed (it is requested) or when
    // the file has no readable sound.
    const TAudioPeaks* Peaks(const std::string& File, TVideoTime Duration);

    // Called on the user-interface thread with the video flags when
    // pictures may have changed, the audio flags when outlines arrived.
    std::function<void(TClipInfoChangeFlags)> OnChange;

    size_t ThumbnailCount() const { return FThumbnails.size(); }
    size_t OutlineCount() const { return FOutlines.size(); }

private:
    struct TOutline {
        bool Ready = false;
        bool Failed = false;
        TAudioPeaks Peaks;
    };
    struct TJob {
        std::string File;
        TVideoTime Duration = 0;
    };
    void CatalogueChanged(TObject* Sender, TClipInfoChangeFlags Flags);
    void Work();
    void Delivered(const std::string& File, bool Failed, TAudioPeaks Peaks);

    TClipInfos& FCatalogue;
    TMessageQueue& FQueue;
    std::unordered_map<std::string, TRefPtr<TClipInfo>> FInfos;
    // Files asked of the catalogue and not announced yet: painting does
    // not look them up again (a lookup resolves the path on disk).
    std::unordered_set<std::string> FRequested;
    std::map<std::pair<std::string, int32_t>, std::unique_ptr<TPixels>> FThumbnails;
    std::unordered_map<std::string, TOutline> FOutlines;
    // The worker and its queue of files.
    std::mutex FLock;
    std::condition_variable FWake;
    std::vector<TJob> FJobs;
    std::atomic<bool> FStop{false};
    std::thread FWorker;
    // Posted results hold this weakly and are dropped once it is gone.
    TLifeFlag FLife;
};
