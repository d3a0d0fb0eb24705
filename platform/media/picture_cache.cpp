#include "platform/media/picture_cache.h"

#include "platform/media/picture_file.h"

#include <list>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <tuple>

namespace {

constexpr size_t BudgetBytes = size_t(384) << 20;

struct TKey {
    std::string FileName;
    int32_t EnoughWidth;
    int32_t EnoughHeight;
    int64_t Size;
    int64_t ModifiedNs;
    bool operator<(const TKey& Other) const {
        return std::tie(FileName, EnoughWidth, EnoughHeight, Size, ModifiedNs) <
               std::tie(Other.FileName, Other.EnoughWidth, Other.EnoughHeight, Other.Size,
                        Other.ModifiedNs);
    }
};

struct TCache {
    std::mutex Lock;
    std::list<TKey> Order; // most recently used first
    struct TEntry {
        std::shared_ptr<const TCachedPicture> Picture;
        std::list<TKey>::iterator Position;
    };
    std::map<TKey, TEntry> Entries;
    size_t Bytes = 0;

    void Trim() {
        // The entry just used stays even when it alone is over the budget.
        while (Bytes > BudgetBytes && Entries.size() > 1) {
            auto It = Entries.find(Order.back());
            Bytes -= It->second.Picture->Pyramid.Bytes();
            Entries.erase(It);
            Order.pop_back();
        }
    }
};

TCache& Cache() {
    static auto* Instance = new TCache;
    return *Instance;
}

} // namespace

std::shared_ptr<const TCachedPicture> CachedPicture(const std::string& FileName, TSize Enough) {
    struct stat Status {};
    int64_t Size = -1, Modified = 0;
    if (::stat(FileName.c_str(), &Status) == 0) {
        Size = Status.st_size;
        Modified = int64_t(Status.st_mtim.tv_sec) * 1000000000 + Status.st_mtim.tv_nsec;
    }
    TKey Key{FileName, Enough.Width, Enough.Height, Size, Modified};
    TCache& C = Cache();
    {
        std::lock_guard Guard(C.Lock);
        auto It = C.Entries.find(Key);
        if (It != C.Entries.end()) {
            C.Order.splice(C.Order.begin(), C.Order, It->second.Position);
            return It->second.Picture;
        }
    }
    // Decoding takes long: other sources go on meanwhile.
    TLoadedPicture Loaded = LoadPicture(FileName, Enough);
    auto Picture = std::make_shared<const TCachedPicture>(
        TCachedPicture{TPicturePyramid(Loaded.Picture), Loaded.FullWidth, Loaded.FullHeight});
    std::lock_guard Guard(C.Lock);
    auto It = C.Entries.find(Key);
    if (It != C.Entries.end()) {
        C.Order.splice(C.Order.begin(), C.Order, It->second.Position);
        return It->second.Picture;
    }
    C.Order.push_front(Key);
    C.Entries.emplace(Key, TCache::TEntry{Picture, C.Order.begin()});
    C.Bytes += Picture->Pyramid.Bytes();
    C.Trim();
    return Picture;
}
