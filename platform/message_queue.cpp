#include "platform/message_queue.h"

#include "core/exception_report.h"

void TMessageQueue::Post(TMessage Message) {
    std::function<void()> Waker;
    {
        std::lock_guard Guard(FLock);
        FMessages.push_back(std::move(Message));
        Waker = FWaker;
    }
    FPosted.notify_all();
    if (Waker)
        Waker();
}

int TMessageQueue::ProcessPending() {
    std::deque<TMessage> Batch;
    {
        std::lock_guard Guard(FLock);
        Batch.swap(FMessages);
    }
    for (TMessage& Message : Batch) {
        // A failing handler is reported like any other failure of a user
        // action; the messages after it still run.
        try {
            Message();
        } catch (...) {
            ReportCurrentException();
        }
    }
    return static_cast<int>(Batch.size());
}

bool TMessageQueue::WaitAndProcess(const std::function<bool()>& Done,
                                   std::chrono::milliseconds Timeout) {
    auto Deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        ProcessPending();
        if (Done())
            return true;
        std::unique_lock Guard(FLock);
        if (FMessages.empty() &&
            FPosted.wait_until(Guard, Deadline, [&] { return !FMessages.empty(); }) == false)
            return Done();
    }
}

void TMessageQueue::SetWaker(std::function<void()> Waker) {
    std::lock_guard Guard(FLock);
    FWaker = std::move(Waker);
}

TMessageQueue& UiMessages() {
    static TMessageQueue Queue;
    return Queue;
}
