#include "toolkit/widgets/every.h"

#include "platform/window/window_system.h"

#include <algorithm>

TEvery::TEvery(std::chrono::milliseconds Interval)
    : FInterval(Interval) {}

TEvery::~TEvery() {
    Attach(nullptr);
}

void TEvery::Attach(TWindowSystem* System) {
    if (System == FSystem)
        return;
    if (FSystem && FTimer)
        FSystem->StopTimer(FTimer);
    FTimer = 0;
    FSystem = System;
    UpdateTimer();
}

TEvery::THandlerId TEvery::Add(THandler Handler) {
    THandlerId Id = FNextId++;
    FHandlers.push_back({Id, std::move(Handler)});
    UpdateTimer();
    return Id;
}

void TEvery::Remove(THandlerId Id) {
    auto It = std::find_if(FHandlers.begin(), FHandlers.end(),
                           [&](const TEntry& Entry) { return Entry.Id == Id; });
    if (It == FHandlers.end())
        return;
    auto Index = int32_t(It - FHandlers.begin());
    FHandlers.erase(It);
    if (FIsWalking && Index <= FWalk)
        --FWalk;
    UpdateTimer();
}

void TEvery::UpdateTimer() {
    bool Wanted = FSystem && !FHandlers.empty();
    if (Wanted && !FTimer)
        FTimer = FSystem->StartTimer(FInterval, TTimerRepeat::Repeat, [this] { Tick(); });
    else if (!Wanted && FTimer) {
        FSystem->StopTimer(FTimer);
        FTimer = 0;
    }
}

void TEvery::Tick() {
    // A handler running a nested loop lets the timer fire again: that tick
    // is dropped, so no handler runs twice at once and ticks never pile up.
    if (FIsWalking)
        return;
    TWeakPtr Life(this);
    // Ends the walk however the tick ends (a handler may throw, or destroy
    // this ticker).
    struct TWalkGuard {
        TEvery* Every;
        TWeakPtr<TEvery> Life;
        ~TWalkGuard() {
            if (!Life.IsExpired())
                Every->FIsWalking = false;
        }
    } Guard{this, Life};
    FIsWalking = true;
    for (FWalk = 0; FWalk < int32_t(FHandlers.size()); ++FWalk) {
        // A copy: the handler may remove itself.
        THandler Handler = FHandlers[size_t(FWalk)].Handler;
        Handler(FWalk, int32_t(FHandlers.size()));
        if (Life.IsExpired())
            return;
    }
}

TEvery& Every10ms() {
    static TEvery Ticker(std::chrono::milliseconds(10));
    return Ticker;
}

TEvery& Every50ms() {
    static TEvery Ticker(std::chrono::milliseconds(50));
    return Ticker;
}

TTickerBinding::TTickerBinding(TWindowSystem& System) {
    Every10ms().Attach(&System);
    Every50ms().Attach(&System);
}

TTickerBinding::~TTickerBinding() {
    Every10ms().Attach(nullptr);
    Every50ms().Attach(nullptr);
}
