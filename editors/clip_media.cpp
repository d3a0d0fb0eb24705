#include "editors/clip_media.h"

#include "canvas/pixels.h"
#include "platform/media/audio_file_reader.h"
#include "platform/message_queue.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>

namespace {

// Outlines are read at a low rate in one channel: enough for a level per
// bucket and much cheaper to resample.
constexpr TMediaAudioFormat OutlineFormat{1, 8000, 16};
constexpr int32_t ReadFrames = 4000;

} // namespace

uint8_t TAudioPeaks::PeakIn(TVideoTime From, TVideoTime To) const {
    if (Levels.empty() || BucketDuration <= 0 || To <= From)
        return 0;
    const int64_t First = std::max<int64_t>(0, From / BucketDuration);
    const int64_t Last = std::min<int64_t>(int64_t(Levels.size()) - 1, (To - 1) / BucketDuration);
    uint8_t Peak = 0;
    for (int64_t I = First; I <= Last; ++I)
        Peak = std::max(Peak, Levels[size_t(I)]);
    return Peak;
}

TAudioPeaks ComputeAudioPeaks(const std::string& File, TVideoTime Duration, const std::atomic<bool>* Cancel) {
    TAudioPeaks Peaks;
    Duration = std::max<TVideoTime>(Duration, 0);
    Peaks.BucketDuration = std::max(TAudioPeaks::ShortestBucket,
                                    (Duration + TAudioPeaks::MaxBuckets - 1) / TAudioPeaks::MaxBuckets);
    const int64_t BucketCount = (Duration + Peaks.BucketDuration - 1) / Peaks.BucketDuration;
    Peaks.Levels.assign(size_t(BucketCount), 0);
    TAudioFileReader Reader(File, 0, OutlineFormat);
    const int64_t TotalFrames = TimeToSample(Duration, OutlineFormat.SamplesPerSecond);
    std::vector<float> Samples(ReadFrames);
    for (int64_t Position = 0; Position < TotalFrames; Position += ReadFrames) {
        if (Cancel && Cancel->load())
            break;
        const int32_t Frames = int32_t(std::min<int64_t>(ReadFrames, TotalFrames - Position));
        std::fill(Samples.begin(), Samples.end(), 0.0f);
        Reader.MixInto(Position, Frames, 1.0f, Samples.data());
        for (int32_t I = 0; I < Frames; ++I) {
            const TVideoTime Time = SampleToTime(Position + I, OutlineFormat.SamplesPerSecond);
            const size_t Bucket = size_t(std::min<int64_t>(BucketCount - 1, Time / Peaks.BucketDuration));
            const auto Level = uint8_t(std::lround(std::min(1.0f, std::fabs(Samples[size_t(I)])) * 255.0f));
            Peaks.Levels[Bucket] = std::max(Peaks.Levels[Bucket], Level);
        }
    }
    return Peaks;
}

TClipMedia::TClipMedia(TClipInfos& Catalogue, TMessageQueue& Queue)
    : FCatalogue(Catalogue), FQueue(Queue) {
    FCatalogue.Changes().AddChangeHandler(MakeDelegate<&TClipMedia::CatalogueChanged>(this));
}

TClipMedia::~TClipMedia() {
    FCatalogue.Changes().RemoveChangeHandler(MakeDelegate<&TClipMedia::CatalogueChanged>(this));
    {
        std::lock_guard Guard(FLock);
        FStop = true;
    }
    FWake.notify_all();
    if (FWorker.joinable())
        FWorker.join();
}

const TPixels* TClipMedia::Thumbnail(const std::string& File, int32_t Height) {
    if (File.empty() || Height <= 0)
        return nullptr;
    auto Key = std::make_pair(File, Height);
    if (auto Found = FThumbnails.find(Key); Found != FThumbnails.end())
        return Found->second.get();
    auto Known = FInfos.find(File);
    if (Known == FInfos.end()) {
        if (FRequested.contains(File))
            return nullptr;
        TRefPtr<TClipInfo> Info = FCatalogue.FindInfo(File);
        if (!Info) {
            FRequested.insert(File);
            FCatalogue.RequestInfo(File);
            return nullptr;
        }
        Known = FInfos.emplace(File, std::move(Info)).first;
    }
    const TVideoFrame& Picture = Known->second->Picture();
    if (Picture.IsEmpty())
        return nullptr;
    if (FThumbnails.size() >= MaxThumbnails)
        FThumbnails.clear();
    TPixels Source(Picture.Width(), Picture.Height());
    for (int32_t Y = 0; Y < Picture.Height(); ++Y)
        std::memcpy(Source.Row(Y), Picture.Row(Y), size_t(Picture.Width()) * 4);
    const int32_t Width = std::max(1, int32_t(int64_t(Picture.Width()) * Height / Picture.Height()));
    auto Tile = std::make_unique<TPixels>(Width, Height);
    Tile->StretchFrom(Tile->Bounds(), Source, TSmooth::Yes);
    return FThumbnails.emplace(Key, std::move(Tile)).first->second.get();
}

const TAudioPeaks* TClipMedia::Peaks(const std::string& File, TVideoTime Duration) {
    if (File.empty())
        return nullptr;
    if (auto Found = FOutlines.find(File); Found != FOutlines.end())
        return Found->second.Ready && !Found->second.Failed ? &Found->second.Peaks : nullptr;
    if (FOutlines.size() >= MaxOutlines) {
        // Outlines still being computed stay, so their results have a home.
        std::erase_if(FOutlines, [](const auto& Entry) { return Entry.second.Ready; });
    }
    FOutlines.emplace(File, TOutline{});
    {
        std::lock_guard Guard(FLock);
        FJobs.push_back({File, Duration});
        if (!FWorker.joinable())
            FWorker = std::thread([this] { Work(); });
    }
    FWake.notify_one();
    return nullptr;
}

void TClipMedia::Work() {
    for (;;) {
        TJob Job;
        {
            std::unique_lock Guard(FLock);
            FWake.wait(Guard, [&] { return FStop.load() || !FJobs.empty(); });
            if (FStop)
                return;
            Job = std::move(FJobs.front());
            FJobs.erase(FJobs.begin());
        }
        TAudioPeaks Peaks;
        bool Failed = false;
        try {
            Peaks = ComputeAudioPeaks(Job.File, Job.Duration, &FStop);
        } catch (const std::exception&) {
            // A file without readable sound simply has no outline.
            Failed = true;
        }
        if (FStop)
            return;
        FQueue.Post([Self = TWeakPtr(this), File = std::move(Job.File), Failed, Peaks = std::move(Peaks)]() mutable {
            if (TClipMedia* Live = Self.Get())
                Live->Delivered(File, Failed, std::move(Peaks));
        });
    }
}

void TClipMedia::Delivered(const std::string& File, bool Failed, TAudioPeaks Peaks) {
    TOutline& Outline = FOutlines[File];
    Outline.Ready = true;
    Outline.Failed = Failed;
    Outline.Peaks = std::move(Peaks);
    if (OnChange)
        OnChange(ClipInfoChangeAudio);
}

void TClipMedia::CatalogueChanged(TObject* /*Sender*/, TClipInfoChangeFlags Flags) {
    // Entries may have been rebuilt: look them up again and scale afresh.
    FInfos.clear();
    FThumbnails.clear();
    FRequested.clear();
    if (OnChange)
        OnChange(Flags);
}
