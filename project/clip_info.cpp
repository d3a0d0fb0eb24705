#include "project/clip_info.h"

#include "core/file_io.h"
#include "platform/media/png_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <exception>

namespace {

constexpr char Magic[4] = {'T', 'h', 'm', 'b'};
constexpr size_t HeaderSize = 38;
// A 320 x 240 PNG at its worst (no compression at all) stays well below this;
// a larger file is not ours.
constexpr int64_t MaxCacheSize = 1 << 20;
// Caches within this of the media file's time are current: copies between
// file systems round the time.
constexpr int64_t TimeTolerance = 20000000;
// Longer than any media (about 1000 days); a larger stored length is damage.
constexpr int64_t MaxDuration = int64_t(1000) * 24 * 3600 * 10000000;
constexpr int32_t MaxFrameSide = 65535;

constexpr TColor StaleFrame = MakeColor(255, 0, 0, 255);
constexpr TColor Transparent = MakeColor(0, 0, 0, 0);

int64_t FileTime(const TFileStatus& Status) {
    return Status.ModifiedNs / 100;
}

template <class T>
T ReadLittle(const char* At) {
    T Value = 0;
    for (size_t I = sizeof(T); I-- > 0;)
        Value = T((uint64_t(Value) << 8) | uint8_t(At[I]));
    return Value;
}

template <class T>
void WriteLittle(std::string& To, T Value) {
    auto Bits = uint64_t(Value);
    for (size_t I = 0; I < sizeof(T); ++I)
        To.push_back(char(uint8_t(Bits >> (8 * I))));
}

// A file the user cannot write, or one without any write permission (which
// the superuser could still write, but which was made read-only on purpose).
bool IsReadOnly(const std::string& Name, const struct stat& Info) {
    return (Info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(Name.c_str(), W_OK) != 0;
}

// Reads the cache without following a planted link into somewhere else and
// without blocking on a FIFO: only a regular file of a sane size is read.
bool ReadCacheBytes(const std::string& Name, std::string& Bytes, bool& ReadOnly) {
    int Fd = ::open(Name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0)
        return false;
    struct stat Info;
    bool Ok = ::fstat(Fd, &Info) == 0 && S_ISREG(Info.st_mode) && Info.st_size >= off_t(HeaderSize) &&
              Info.st_size <= MaxCacheSize;
    if (Ok) {
        Bytes.resize(size_t(Info.st_size));
        size_t Done = 0;
        while (Done < Bytes.size()) {
            ssize_t Got = ::read(Fd, Bytes.data() + Done, Bytes.size() - Done);
            if (Got <= 0)
                break;
            Done += size_t(Got);
        }
        Ok = Done == Bytes.size();
    }
    ::close(Fd);
    ReadOnly = Ok && IsReadOnly(Name, Info);
    return Ok;
}

} // namespace

std::string ThumbnailCacheName(const std::string& MediaFile) {
    size_t Slash = MediaFile.find_last_of('/');
    size_t Start = Slash == std::string::npos ? 0 : Slash + 1;
    return MediaFile.substr(0, Start) + "." + MediaFile.substr(Start) + ".tmb";
}

bool IsThumbnailCacheName(std::string_view Name) {
    if (Name.size() > 4 && Name.substr(Name.size() - 4) == ".tmb")
        return true;
    // WriteFileAtomically's temporary file: the name, "." and six characters.
    return Name.size() > 11 && Name.substr(Name.size() - 11, 5) == ".tmb.";
}

std::optional<TThumbnailCache> ReadThumbnailCache(const std::string& MediaFile,
                                                  const TFileStatus& Media) {
    std::string Bytes;
    bool ReadOnly = false;
    if (!ReadCacheBytes(ThumbnailCacheName(MediaFile), Bytes, ReadOnly))
        return std::nullopt;
    const char* Data = Bytes.data();
    if (std::memcmp(Data, Magic, sizeof Magic) != 0)
        return std::nullopt;
    if (::access(MediaFile.c_str(), R_OK) != 0)
        return std::nullopt;
    auto StoredTime = ReadLittle<int64_t>(Data + 4);
    auto StoredSize = ReadLittle<int64_t>(Data + 12);
    TThumbnailCache Cache;
    Cache.Duration = ReadLittle<int64_t>(Data + 20);
    Cache.FrameSize = {ReadLittle<int32_t>(Data + 28), ReadLittle<int32_t>(Data + 32)};
    auto Audio = uint8_t(Data[36]), Video = uint8_t(Data[37]);
    if (Cache.Duration < 0 || Cache.Duration > MaxDuration || Cache.FrameSize.Width < 0 ||
        Cache.FrameSize.Height < 0 || Cache.FrameSize.Width > MaxFrameSide ||
        Cache.FrameSize.Height > MaxFrameSide || Audio > 1 || Video > 1)
        return std::nullopt;
    Cache.HasAudio = Audio == 1;
    Cache.HasVideo = Video == 1;
    // The difference of two arbitrary stored times can overflow; compare
    // within range only.
    int64_t Time = FileTime(Media);
    bool TimeMatches = StoredTime >= Time - TimeTolerance && StoredTime <= Time + TimeTolerance;
    if (!TimeMatches || StoredSize != Media.Size) {
        if (!ReadOnly)
            return std::nullopt;
        Cache.IsStale = true;
    }
    if (Bytes.size() > HeaderSize) {
        try {
            Cache.Picture = DecodePng(std::string_view(Bytes).substr(HeaderSize), ClipInfoPictureBounds);
        } catch (const std::exception&) {
            return std::nullopt;
        }
        if (Cache.IsStale)
            MarkStalePicture(Cache.Picture);
    }
    return Cache;
}

void WriteThumbnailCache(const std::string& MediaFile, const TFileStatus& Media,
                         const TClipInfo& Info) {
    std::string Name = ThumbnailCacheName(MediaFile);
    struct stat Existing;
    // A link planted in the cache's place is replaced, never written through.
    if (::lstat(Name.c_str(), &Existing) == 0 && S_ISREG(Existing.st_mode) &&
        IsReadOnly(Name, Existing))
        return;
    try {
        std::string Bytes(Magic, sizeof Magic);
        WriteLittle<int64_t>(Bytes, FileTime(Media));
        WriteLittle<int64_t>(Bytes, Media.Size);
        WriteLittle<int64_t>(Bytes, Info.Duration());
        WriteLittle<int32_t>(Bytes, Info.FrameSize().Width);
        WriteLittle<int32_t>(Bytes, Info.FrameSize().Height);
        Bytes.push_back(Info.HasAudio() ? 1 : 0);
        Bytes.push_back(Info.HasVideo() ? 1 : 0);
        if (!Info.Picture().IsEmpty())
            Bytes += EncodePng(Info.Picture());
        WriteFileAtomically(Name, Bytes);
    } catch (const std::exception&) {
        // A folder the user cannot write keeps no caches; the entry is
        // built again next time.
    }
}

void MarkStalePicture(TVideoFrame& Picture) {
    const int32_t Width = Picture.Width(), Height = Picture.Height();
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X) {
            int32_t Edge = std::min(std::min(X, Width - 1 - X), std::min(Y, Height - 1 - Y));
            if (Edge < 2)
                Picture.SetPixel(X, Y, StaleFrame);
            else if (Edge < 4)
                Picture.SetPixel(X, Y, Transparent);
        }
}
