#include "platform/folder_monitor.h"

#include "platform/message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <thread>
#include <utility>

namespace {

using TClock = std::chrono::steady_clock;

// What changes a file's presence, name or content; reading and opening do not.
constexpr uint32_t WatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;

} // namespace

struct TFolderMonitor::TState {
    TMessageQueue& Queue;
    TOptions Options;
    // Lives as long as the monitor: a posted report runs OnChange only while
    // it can still be locked. Reports run on the thread that destroys the
    // monitor, so the check and the destruction never overlap.
    std::shared_ptr<std::function<void()>> OnChange;
    int Notify = -1;
    int Stop = -1;
    bool Watching = false;
    std::thread Worker;

    TState(TMessageQueue& QueueIn, TOptions OptionsIn, std::function<void()> Handler)
        : Queue(QueueIn), Options(std::move(OptionsIn)),
          OnChange(std::make_shared<std::function<void()>>(std::move(Handler))) {}

    ~TState() {
        if (Worker.joinable()) {
            uint64_t One = 1;
            // The worker sleeps in poll on this descriptor; a failed write
            // cannot happen on an eventfd below its limit.
            [[maybe_unused]] ssize_t Written = ::write(Stop, &One, sizeof One);
            Worker.join();
        }
        if (Notify >= 0)
            ::close(Notify);
        if (Stop >= 0)
            ::close(Stop);
    }

    // Reads what the kernel queued; true when any of it is reported.
    bool ReadEvents() {
        alignas(inotify_event) char Buffer[16 * 1024];
        bool Relevant = false;
        for (;;) {
            ssize_t Length = ::read(Notify, Buffer, sizeof Buffer);
            if (Length <= 0)
                return Relevant;
            for (ssize_t At = 0; At + ssize_t(sizeof(inotify_event)) <= Length;) {
                const auto* Event = reinterpret_cast<const inotify_event*>(Buffer + At);
                At += ssize_t(sizeof(inotify_event)) + Event->len;
                if (Event->mask & IN_IGNORED)
                    continue;
                std::string_view Name;
                if (Event->len > 0)
                    Name = std::string_view(Event->name);
                if (!Name.empty() && Options.Ignore && Options.Ignore(Name))
                    continue;
                Relevant = true;
            }
        }
    }

    void Post() {
        std::weak_ptr<std::function<void()>> Handler = OnChange;
        Queue.Post([Handler] {
            if (auto Live = Handler.lock(); Live && *Live)
                (*Live)();
        });
    }

    void Run() {
        std::optional<TClock::time_point> First, Last;
        for (;;) {
            int Timeout = -1;
            if (First) {
                auto Now = TClock::now();
                auto Due = std::min(*Last + Options.Quiet, *First + Options.MaxDelay);
                Timeout = Due <= Now ? 0
                                     : int(std::chrono::ceil<std::chrono::milliseconds>(Due - Now)
                                               .count());
            }
            pollfd Fds[2] = {{Notify, POLLIN, 0}, {Stop, POLLIN, 0}};
            int Ready = ::poll(Fds, 2, Timeout);
            if (Ready < 0 && errno == EINTR)
                continue;
            if (Ready < 0 || (Fds[1].revents & POLLIN))
                return;
            if (Fds[0].revents & POLLIN) {
                if (ReadEvents()) {
                    Last = TClock::now();
                    if (!First)
                        First = Last;
                }
                continue;
            }
            if (First) {
                auto Now = TClock::now();
                if (Now >= *Last + Options.Quiet || Now >= *First + Options.MaxDelay) {
                    Post();
                    First.reset();
                    Last.reset();
                }
            }
        }
    }
};

TFolderMonitor::TFolderMonitor(const std::string& Folder, std::function<void()> OnChange,
                               TMessageQueue& Queue)
    : TFolderMonitor(Folder, std::move(OnChange), Queue, TOptions{}) {}

TFolderMonitor::TFolderMonitor(const std::string& Folder, std::function<void()> OnChange,
                               TMessageQueue& Queue, TOptions Options)
    : FFolder(Folder), F(std::make_unique<TState>(Queue, std::move(Options), std::move(OnChange))) {
    if (Folder.empty())
        return;
    F->Notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    F->Stop = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (F->Notify < 0 || F->Stop < 0)
        return;
    if (::inotify_add_watch(F->Notify, Folder.c_str(), WatchedEvents | IN_ONLYDIR) < 0)
        return;
    F->Watching = true;
    F->Worker = std::thread([State = F.get()] { State->Run(); });
}

TFolderMonitor::~TFolderMonitor() = default;

bool TFolderMonitor::IsWatching() const {
    return F->Watching;
}
