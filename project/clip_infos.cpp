#include "project/clip_infos.h"

#include "core/file_io.h"
#include "platform/folder_monitor.h"
#include "platform/media/media_probe.h"
#include "platform/media/picture_file.h"
#include "platform/media/picture_resize.h"
#include "platform/media/video_file_reader.h"
#include "platform/message_queue.h"
#include "project/clip_picture.h"
#include "project/media_paths.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

// Stands in for the thumbnail while the frame is grabbed: a grey tile with
// a darker rim.
TVideoFrame PlaceholderPicture() {
    TVideoFrame Picture(16, 16);
    Picture.Fill(MakeColor(160, 160, 160));
    for (int32_t I = 0; I < 16; ++I) {
        constexpr TColor Rim = MakeColor(96, 96, 96);
        Picture.SetPixel(I, 0, Rim);
        Picture.SetPixel(I, 15, Rim);
        Picture.SetPixel(0, I, Rim);
        Picture.SetPixel(15, I, Rim);
    }
    return Picture;
}

// The frame a third into the media, fitted into ClipInfoPictureBounds in its
// own shape; a still's picture likewise.
TVideoFrame GrabThumbnail(const std::string& FileName, TVideoTime Duration, TSize FrameSize) {
    if (Duration == 0) {
        TLoadedPicture Loaded = LoadPicture(FileName, ClipInfoPictureBounds);
        TSize Fit = FitPictureSize(Loaded.FullWidth, Loaded.FullHeight, ClipInfoPictureBounds);
        if (Fit.Width == 0)
            return {};
        return ResizePicture(Loaded.Picture, Fit.Width, Fit.Height);
    }
    TSize Fit = FitPictureSize(FrameSize.Width, FrameSize.Height, ClipInfoPictureBounds);
    if (Fit.Width == 0)
        return {};
    TVideoFileReader Reader(FileName, 0);
    return *Reader.FrameAt(Duration / 3, Fit.Width, Fit.Height, TVideoFileReader::TFit::Stretch);
}

// The path entries are keyed by: links and "." / ".." resolved, so that one
// file has one entry whatever way it is named.
std::string CanonicalName(const std::string& FileName) {
    std::error_code Error;
    std::filesystem::path Canonical = std::filesystem::weakly_canonical(FileName, Error);
    return Error ? FileName : Canonical.string();
}

} // namespace

TClipInfos::TClipInfos(TMessageQueue& Queue)
    : FQueue(Queue), FDefault(MakeRef<TClipInfo>()), FAlive(std::make_shared<TClipInfos*>(this)) {}

TClipInfos::~TClipInfos() {
    // The monitors' threads end before the entries go.
    FMonitors.clear();
}

void TClipInfos::WatchFolders(const TMediaFolders& Folders) {
    FMonitors.clear();
    TFolderMonitor::TOptions Options;
    Options.Ignore = IsThumbnailCacheName;
    auto Watch = [&](const std::string& Folder, TClipInfoChangeFlags Flags) {
        if (Folder.empty())
            return;
        std::weak_ptr<TClipInfos*> Alive = FAlive;
        FMonitors.push_back(std::make_unique<TFolderMonitor>(
            Folder,
            [Alive, Flags] {
                if (auto Live = Alive.lock())
                    (*Live)->FolderChanged(Flags);
            },
            FQueue, Options));
    };
    Watch(Folders.CommonVideo, ClipInfoChangeVideo);
    Watch(Folders.CommonAudio, ClipInfoChangeAudio);
    Watch(Folders.UserVideo, ClipInfoChangeVideo);
    Watch(Folders.UserAudio, ClipInfoChangeAudio);
}

TRefPtr<TClipInfo> TClipInfos::GetInfo(const std::string& FileName) {
    if (FileName.empty())
        return FDefault;
    std::string Key = CanonicalName(FileName);
    if (auto Found = FInfos.find(Key); Found != FInfos.end())
        return Found->second;
    TFileStatus Status = QueryFileStatus(Key);
    if (Status.Error != 0 || !Status.IsRegular)
        return FDefault;
    TRefPtr<TClipInfo> Info = Build(Key, Status);
    FInfos.emplace(Key, Info);
    return Info;
}

TRefPtr<TClipInfo> TClipInfos::FindInfo(const std::string& FileName) const {
    if (FileName.empty())
        return FDefault;
    auto Found = FInfos.find(CanonicalName(FileName));
    return Found != FInfos.end() ? Found->second : TRefPtr<TClipInfo>();
}

void TClipInfos::RequestInfo(const std::string& FileName) {
    if (FileName.empty() || std::find(FRequests.begin(), FRequests.end(), FileName) != FRequests.end())
        return;
    FRequests.push_back(FileName);
    if (FRequests.size() > 1)
        return;
    std::weak_ptr<TClipInfos*> Alive = FAlive;
    FQueue.Post([Alive] {
        if (auto Live = Alive.lock())
            (*Live)->BuildRequested();
    });
}

void TClipInfos::BuildRequested() {
    if (FRequests.empty())
        return;
    const std::string FileName = FRequests.front();
    TRefPtr<TClipInfo> Info = GetInfo(FileName);
    FRequests.erase(FRequests.begin());
    if (!FRequests.empty()) {
        std::weak_ptr<TClipInfos*> Alive = FAlive;
        FQueue.Post([Alive] {
            if (auto Live = Alive.lock())
                (*Live)->BuildRequested();
        });
    }
    // A name that is no regular file gets the shared default entry, which
    // is not kept: there is nothing new to announce.
    if (Info.Get() == FDefault.Get())
        return;
    TUpdateGuard Guard(FChanges);
    FChanges.Change(Info->HasVideo() ? ClipInfoChangeVideo : ClipInfoChangeAudio);
}

TRefPtr<TClipInfo> TClipInfos::Build(const std::string& FileName, const TFileStatus& Status) {
    TRefPtr<TClipInfo> Info = MakeRef<TClipInfo>(FileName);
    std::optional<TThumbnailCache> Cache = ReadThumbnailCache(FileName, Status);
    if (Cache && !Cache->IsStale) {
        Info->FDuration = Cache->Duration;
        Info->FFrameSize = Cache->FrameSize;
        Info->FHasAudio = Cache->HasAudio;
        Info->FHasVideo = Cache->HasVideo;
        Info->FPicture = std::move(Cache->Picture);
        return Info;
    }
    // A stale cache is never trusted for the media's own values: those come
    // from the file.
    ++FProbeCount;
    try {
        TMediaInfo Media = ProbeMedia(FileName);
        Info->FDuration = std::max<TVideoTime>(Media.Duration, 0);
        Info->FFrameSize = {Media.Width, Media.Height};
        Info->FHasAudio = Media.HasAudio();
        Info->FHasVideo = Media.HasVideo();
    } catch (const std::exception&) {
        // Unreadable media: an entry without streams, as for a missing file.
    }
    if (Cache) {
        Info->FPicture = std::move(Cache->Picture);
        Info->FIsStale = true;
        return Info;
    }
    if (!Info->FHasVideo)
        return Info;
    // The placeholder is on disk before decoding starts, so a file that
    // brings the decoder down is not tried again on every start.
    Info->FPicture = PlaceholderPicture();
    WriteThumbnailCache(FileName, Status, *Info);
    try {
        TVideoFrame Picture = GrabThumbnail(FileName, Info->FDuration, Info->FFrameSize);
        if (!Picture.IsEmpty()) {
            Info->FPicture = std::move(Picture);
            WriteThumbnailCache(FileName, Status, *Info);
        }
    } catch (const std::exception&) {
        // The placeholder stays.
    }
    return Info;
}

void TClipInfos::BeginBusy() {
    ++FBusyCount;
}

void TClipInfos::EndBusy() {
    if (FBusyCount > 0 && --FBusyCount == 0 && Any(FPending))
        PostApply();
}

void TClipInfos::Invalidate() {
    FPending = ClipInfoChangeAll;
    PostApply();
}

void TClipInfos::FolderChanged(TClipInfoChangeFlags Flags) {
    FPending |= Flags;
    if (FBusyCount == 0)
        PostApply();
}

void TClipInfos::PostApply() {
    if (FPosted)
        return;
    FPosted = true;
    std::weak_ptr<TClipInfos*> Alive = FAlive;
    FQueue.Post([Alive] {
        if (auto Live = Alive.lock())
            (*Live)->Apply();
    });
}

void TClipInfos::Apply() {
    FPosted = false;
    if (FBusyCount > 0 || !Any(FPending))
        return;
    TClipInfoChangeFlags Flags = std::exchange(FPending, TClipInfoChangeFlags{});
    TUpdateGuard Guard(FChanges);
    FChanges.Change(Flags);
    FInfos.clear();
}

TClipInfos& ClipInfos() {
    static TClipInfos Catalogue(UiMessages());
    return Catalogue;
}
