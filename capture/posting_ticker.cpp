#include "capture/posting_ticker.h"

#include "platform/message_queue.h"

#include <condition_variable>
#include <mutex>
#include <thread>

struct TPostingTicker::TState : std::enable_shared_from_this<TState> {
    TMessageQueue& Messages;
    std::chrono::milliseconds Interval;
    std::function<void()> OnTick;
    std::mutex Lock;
    std::condition_variable Wake;
    bool Stopping = false;
    bool TickQueued = false; // one tick at a time: a busy queue is not flooded
    std::thread Worker;

    TState(TMessageQueue& M, std::chrono::milliseconds I, std::function<void()> T)
        : Messages(M), Interval(I), OnTick(std::move(T)) {}

    void Run() {
        auto Next = std::chrono::steady_clock::now() + Interval;
        std::unique_lock Guard(Lock);
        while (!Wake.wait_until(Guard, Next, [&] { return Stopping; })) {
            Next += Interval;
            auto Now = std::chrono::steady_clock::now();
            if (Next < Now)
                Next = Now + Interval;
            if (TickQueued)
                continue;
            TickQueued = true;
            Messages.Post([Self = weak_from_this()] {
                auto State = Self.lock();
                if (!State)
                    return;
                {
                    std::lock_guard Inner(State->Lock);
                    State->TickQueued = false;
                    if (State->Stopping)
                        return;
                }
                State->OnTick();
            });
        }
    }
};

TPostingTicker::TPostingTicker(TMessageQueue& Messages, std::chrono::milliseconds Interval,
                               std::function<void()> OnTick)
    : F(std::make_shared<TState>(Messages, std::max(Interval, std::chrono::milliseconds(1)),
                                 std::move(OnTick))) {
    F->Worker = std::thread([State = F.get()] { State->Run(); });
}

TPostingTicker::~TPostingTicker() {
    {
        std::lock_guard Guard(F->Lock);
        F->Stopping = true;
    }
    F->Wake.notify_all();
    F->Worker.join();
}
