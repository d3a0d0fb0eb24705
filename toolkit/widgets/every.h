#pragma once

#include "core/weak_ptr.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWindowSystem;

// A shared ticker: every handler added runs once per Interval on the user-
// interface thread, in the order added, with its index and the count of
// handlers. Ticks come from a repeating timer of the window system's loop,
// which runs only while there are handlers; a handler slower than the
// interval delays the next tick instead of piling ticks up, and nothing
// runs on another thread, so nothing waits for the loop at shut-down.
// Handlers may add and remove handlers, themselves included, during a tick
// without another being skipped.
//
//   TTickerBinding Tickers(System); // once, for the application's loop
//   auto Id = Every50ms().Add([&](int32_t, int32_t) { Blink(); });
//   ...
//   Every50ms().Remove(Id);
class TEvery {
public:
    using THandler = std::function<void(int32_t Index, int32_t Count)>;
    using THandlerId = uint64_t;

    explicit TEvery(std::chrono::milliseconds Interval);
    ~TEvery();
    const TLifeFlag& LifeFlag() const { return FLife; }
    TEvery(const TEvery&) = delete;
    TEvery& operator=(const TEvery&) = delete;

    std::chrono::milliseconds Interval() const { return FInterval; }

    // The loop whose timer drives the ticks; null stops them (the handlers
    // stay and tick again once a loop is attached).
    void Attach(TWindowSystem* System);
    TWindowSystem* System() const { return FSystem; }

    // Adds a handler; the id removes it.
    THandlerId Add(THandler Handler);
    // Removes a handler; an unknown id is ignored.
    void Remove(THandlerId Id);
    int32_t Count() const { return int32_t(FHandlers.size()); }
    // Whether the loop timer is running.
    bool IsTicking() const { return FTimer != 0; }

    // Runs one tick now (the timer calls this).
    void Tick();

private:
    struct TEntry {
        THandlerId Id;
        THandler Handler;
    };
    void UpdateTimer();

    std::chrono::milliseconds FInterval;
    TWindowSystem* FSystem = nullptr;
    uint64_t FTimer = 0;
    std::vector<TEntry> FHandlers;
    THandlerId FNextId = 1;
    // The walk of the tick in progress: the index of the handler running,
    // moved back when a handler at or before it is removed.
    int32_t FWalk = 0;
    bool FIsWalking = false;
    TLifeFlag FLife;
};

// The two shared tickers of the toolkit.
TEvery& Every10ms();
TEvery& Every50ms();

// Drives the shared tickers from System's loop while it lives.
class TTickerBinding {
public:
    explicit TTickerBinding(TWindowSystem& System);
    ~TTickerBinding();
    TTickerBinding(const TTickerBinding&) = delete;
    TTickerBinding& operator=(const TTickerBinding&) = delete;
};
