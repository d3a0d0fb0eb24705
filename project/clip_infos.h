#pragma once

#include "core/changes.h"
#include "core/ref_object.h"
#include "project/clip_info.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TFolderMonitor;
class TMessageQueue;
struct TMediaFolders;

// What changed in the media folders: any video folder, any audio folder.
enum class TClipInfoChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TClipInfoChangeFlags> = true;
constexpr TClipInfoChangeFlags ClipInfoChangeVideo{0xFFFF0000};
constexpr TClipInfoChangeFlags ClipInfoChangeAudio{0x0000FFFF};
constexpr TClipInfoChangeFlags ClipInfoChangeAll{0xFFFFFFFF};

class TClipInfoChanges : public TFlagChanges<TClipInfoChangeFlags> {
public:
    using TFlagChanges::TFlagChanges;
    std::string_view ClassName() const override { return "TClipInfoChanges"; }
};

// The media catalogue: one entry per media file, built on first request
// from the file's thumbnail cache when that is current, otherwise by probing
// the file and grabbing its picture a third into it (which also writes the
// cache). Entries are keyed by the file's canonical path, compared exactly.
//
// The catalogue watches the media folders. A change there empties it (the
// entries are built again when next asked for) and is announced on Changes,
// once per burst of changes and never in the middle of work bracketed by
// BeginBusy / EndBusy: a change reported while busy waits for the last
// EndBusy, which posts one message that applies it.
//
//   TRefPtr<TClipInfo> Info = ClipInfos.GetInfo(FileName);
//   Drag.Duration = Info->Duration();
class TClipInfos : public TObject {
public:
    // Posted messages go to Queue.
    explicit TClipInfos(TMessageQueue& Queue);
    ~TClipInfos() override;
    std::string_view ClassName() const override { return "TClipInfos"; }

    // Watches the four media folders (the empty ones not).
    void WatchFolders(const TMediaFolders& Folders);

    // The entry of FileName; the shared default entry (no streams, no
    // picture) for an empty name or one that is not a regular file (a
    // folder, a device or a FIFO is never opened), which is not cached.
    TRefPtr<TClipInfo> GetInfo(const std::string& FileName);
    const TRefPtr<TClipInfo>& DefaultInfo() const { return FDefault; }
    // The entry of FileName when it is built already, else null: never
    // touches the file, so painting may ask.
    TRefPtr<TClipInfo> FindInfo(const std::string& FileName) const;
    // Builds the entry of FileName later, from a posted message (one file
    // per message, so the user-interface thread keeps answering between
    // files), and announces it on Changes with the video flags when it has
    // video, else the audio flags; a name that is no regular file is not
    // announced. Asking again before then does nothing.
    void RequestInfo(const std::string& FileName);

    void BeginBusy();
    void EndBusy();
    bool IsBusy() const { return FBusyCount > 0; }
    // Every entry is built again: all flags are pending and applied by a
    // posted message.
    void Invalidate();
    // A folder reported changes: Flags are applied (now posted, or after the
    // last EndBusy).
    void FolderChanged(TClipInfoChangeFlags Flags);

    TClipInfoChanges& Changes() { return FChanges; }
    int32_t Count() const { return int32_t(FInfos.size()); }
    // How many files were probed: for tests and benchmarks.
    int32_t ProbeCount() const { return FProbeCount; }

private:
    TRefPtr<TClipInfo> Build(const std::string& FileName, const TFileStatus& Status);
    void PostApply();
    void Apply();
    void BuildRequested();

    TMessageQueue& FQueue;
    std::unordered_map<std::string, TRefPtr<TClipInfo>> FInfos;
    TRefPtr<TClipInfo> FDefault;
    std::vector<std::unique_ptr<TFolderMonitor>> FMonitors;
    int32_t FBusyCount = 0;
    TClipInfoChangeFlags FPending{};
    bool FPosted = false;
    std::vector<std::string> FRequests;
    TClipInfoChanges FChanges{this};
    int32_t FProbeCount = 0;
    // Posted messages hold this weakly and do nothing once it is gone.
    std::shared_ptr<TClipInfos*> FAlive;
};

// The application's catalogue, posting to the user-interface queue.
TClipInfos& ClipInfos();
