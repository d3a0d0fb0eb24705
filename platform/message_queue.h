#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// Messages posted from worker threads to the user-interface thread. Workers
// Post; the UI thread runs what was posted, in order, from its message loop
// (ProcessPending) or while it waits for something (WaitAndProcess). The
// window system's backend installs a waker so that a post also wakes its
// event loop.
//
//   Writer.OnEnded = [&](TRenderResult R) { Messages.Post([R] { ShowResult(R); }); };
class TMessageQueue {
public:
    using TMessage = std::function<void()>;

    void Post(TMessage Message);
    // Runs every message posted so far; returns how many ran.
    int ProcessPending();
    // Runs messages as they arrive until Done() is true or Timeout passes;
    // true when Done() became true.
    bool WaitAndProcess(const std::function<bool()>& Done, std::chrono::milliseconds Timeout);

    void SetWaker(std::function<void()> Waker);

private:
    std::mutex FLock;
    std::condition_variable FPosted;
    std::deque<TMessage> FMessages;
    std::function<void()> FWaker;
};

// The application's queue for the user-interface thread.
TMessageQueue& UiMessages();
