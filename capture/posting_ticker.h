#pragma once

#include "platform/forward.h"

#include <chrono>
#include <functional>
#include <memory>

// Runs OnTick on the thread that processes Messages, every Interval, until
// the ticker is destroyed. The thread only waits and posts; a tick that is
// still queued when the ticker goes does not run.
//
//   TPostingTicker Poll(UiMessages(), 100ms, [this] { PollTransport(); });
class TPostingTicker {
public:
    TPostingTicker(TMessageQueue& Messages, std::chrono::milliseconds Interval,
                   std::function<void()> OnTick);
    ~TPostingTicker();
    TPostingTicker(const TPostingTicker&) = delete;
    TPostingTicker& operator=(const TPostingTicker&) = delete;

private:
    struct TState;
    std::shared_ptr<TState> F;
};
