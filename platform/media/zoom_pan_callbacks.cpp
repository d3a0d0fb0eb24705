#include "platform/media/zoom_pan_callbacks.h"

#include <cassert>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct TTable {
    std::mutex Lock;
    uint64_t Last = 0;
    std::map<uint64_t, std::shared_ptr<const TZoomPanCallback>> Callbacks;
};

TTable& Table() {
    static auto* Instance = new TTable;
    return *Instance;
}

} // namespace

uint64_t RegisterZoomPanCallback(TZoomPanCallback Callback) {
    assert(Callback && "a zoom-and-pan callback must be callable");
    auto Shared = std::make_shared<const TZoomPanCallback>(std::move(Callback));
    TTable& T = Table();
    std::lock_guard Guard(T.Lock);
    uint64_t Handle = ++T.Last;
    T.Callbacks.emplace(Handle, std::move(Shared));
    return Handle;
}

void UnregisterZoomPanCallback(uint64_t Handle) {
    std::shared_ptr<const TZoomPanCallback> Released;
    TTable& T = Table();
    {
        std::lock_guard Guard(T.Lock);
        auto It = T.Callbacks.find(Handle);
        if (It == T.Callbacks.end())
            return;
        Released = std::move(It->second);
        T.Callbacks.erase(It);
    }
    // What the callback captured is released here, outside the lock.
}

bool CallZoomPanCallback(uint64_t Handle, const TZoomPanQuery& Query, TZoomPanRect& Rect) {
    if (Handle == 0)
        return false;
    std::shared_ptr<const TZoomPanCallback> Callback;
    {
        TTable& T = Table();
        std::lock_guard Guard(T.Lock);
        auto It = T.Callbacks.find(Handle);
        if (It == T.Callbacks.end())
            return false;
        Callback = It->second;
    }
    if (!*Callback)
        return false;
    Rect = (*Callback)(Query);
    return true;
}
