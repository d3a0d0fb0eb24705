#include "platform/capture/device_monitor.h"

#include "platform/message_queue.h"

#include <libudev.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace {

// Device nodes whose coming and going can change a capture list.
bool IsCaptureNodeName(const char* Name) {
    return std::strncmp(Name, "video", 5) == 0 || std::strncmp(Name, "pcmC", 4) == 0 ||
           std::strncmp(Name, "controlC", 8) == 0 || std::strncmp(Name, "fw", 2) == 0 ||
           std::strcmp(Name, "snd") == 0;
}

} // namespace

struct TCaptureDeviceMonitor::TState : std::enable_shared_from_this<TState> {
    TMessageQueue& Messages;
    std::function<void()> OnChanged;
    TCaptureMonitorOptions Options;
    udev* Udev = nullptr;
    udev_monitor* UdevMonitor = nullptr;
    int Inotify = -1;
    int Wake = -1; // an eventfd: Notify and shutdown
    std::atomic<bool> Stopping{false};
    std::atomic<int> Notified{0};
    std::thread Worker;

    TState(TMessageQueue& M, std::function<void()> Handler, TCaptureMonitorOptions O)
        : Messages(M), OnChanged(std::move(Handler)), Options(std::move(O)) {}
    ~TState() {
        if (UdevMonitor)
            udev_monitor_unref(UdevMonitor);
        if (Udev)
            udev_unref(Udev);
        if (Inotify >= 0)
            ::close(Inotify);
        if (Wake >= 0)
            ::close(Wake);
    }

    void OpenUdev();
    void OpenInotify();
    int EventDescriptor() const {
        return UdevMonitor ? udev_monitor_get_fd(UdevMonitor) : Inotify;
    }
    // Reads what is pending; true when something of ours changed.
    bool Drain();
    void Run();
};

void TCaptureDeviceMonitor::TState::OpenUdev() {
    // A udev library without a running daemon opens fine and never reports:
    // only a daemon's control socket says events will come.
    std::error_code Error;
    if (!std::filesystem::exists("/run/udev/control", Error))
        return;
    Udev = udev_new();
    if (!Udev)
        return;
    UdevMonitor = udev_monitor_new_from_netlink(Udev, "udev");
    if (UdevMonitor) {
        udev_monitor_filter_add_match_subsystem_devtype(UdevMonitor, "video4linux", nullptr);
        udev_monitor_filter_add_match_subsystem_devtype(UdevMonitor, "sound", nullptr);
        udev_monitor_filter_add_match_subsystem_devtype(UdevMonitor, "firewire", nullptr);
        if (udev_monitor_enable_receiving(UdevMonitor) == 0)
            return;
        udev_monitor_unref(UdevMonitor);
        UdevMonitor = nullptr;
    }
    udev_unref(Udev);
    Udev = nullptr;
}

void TCaptureDeviceMonitor::TState::OpenInotify() {
    Inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Inotify < 0)
        return;
    uint32_t Mask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB;
    if (inotify_add_watch(Inotify, Options.DeviceFolder.c_str(), Mask) < 0) {
        ::close(Inotify);
        Inotify = -1;
        return;
    }
    // Sound nodes live one folder down; the folder may come later, with
    // the first card, and is then seen as "snd" appearing.
    inotify_add_watch(Inotify, (Options.DeviceFolder + "/snd").c_str(), Mask);
}

bool TCaptureDeviceMonitor::TState::Drain() {
    bool Changed = false;
    if (UdevMonitor) {
        while (udev_device* Device = udev_monitor_receive_device(UdevMonitor)) {
            Changed = true;
            udev_device_unref(Device);
        }
    } else if (Inotify >= 0) {
        alignas(inotify_event) char Buffer[4096];
        for (;;) {
            ssize_t Length = ::read(Inotify, Buffer, sizeof Buffer);
            if (Length <= 0)
                break;
            for (ssize_t Offset = 0; Offset < Length;) {
                auto* Event = reinterpret_cast<inotify_event*>(Buffer + Offset);
                if (Event->len > 0 && IsCaptureNodeName(Event->name))
                    Changed = true;
                if (Event->len > 0 && std::strcmp(Event->name, "snd") == 0 &&
                    (Event->mask & IN_CREATE))
                    inotify_add_watch(Inotify, (Options.DeviceFolder + "/snd").c_str(),
                                      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                          IN_ATTRIB);
                Offset += ssize_t(sizeof(inotify_event) + Event->len);
            }
        }
    }
    uint64_t Count = 0;
    if (::read(Wake, &Count, sizeof Count) == sizeof Count && Notified.exchange(0) > 0)
        Changed = true;
    return Changed;
}

void TCaptureDeviceMonitor::TState::Run() {
    pollfd Descriptors[2] = {{Wake, POLLIN, 0}, {EventDescriptor(), POLLIN, 0}};
    nfds_t Count = Descriptors[1].fd >= 0 ? 2 : 1;
    bool InBurst = false;
    while (!Stopping) {
        int Timeout = InBurst ? int(Options.Quiet.count()) : -1;
        int Ready = ::poll(Descriptors, Count, Timeout);
        if (Stopping)
            break;
        if (Ready < 0)
            continue; // EINTR
        if (Ready == 0) {
            // The burst is over: one refresh for all of it.
            InBurst = false;
            Messages.Post([Self = weak_from_this()] {
                if (auto State = Self.lock(); State && !State->Stopping)
                    State->OnChanged();
            });
            continue;
        }
        if (Drain())
            InBurst = true;
    }
}

TCaptureDeviceMonitor::TCaptureDeviceMonitor(TMessageQueue& Messages,
                                             std::function<void()> OnChanged,
                                             TCaptureMonitorOptions Options)
    : F(std::make_shared<TState>(Messages, std::move(OnChanged), std::move(Options))) {
    F->Wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (F->Options.UseUdev)
        F->OpenUdev();
    if (!F->UdevMonitor)
        F->OpenInotify();
    F->Worker = std::thread([State = F.get()] { State->Run(); });
}

TCaptureDeviceMonitor::~TCaptureDeviceMonitor() {
    F->Stopping = true;
    uint64_t One = 1;
    [[maybe_unused]] ssize_t Written = ::write(F->Wake, &One, sizeof One);
    F->Worker.join();
}

void TCaptureDeviceMonitor::Notify() {
    F->Notified.fetch_add(1);
    uint64_t One = 1;
    [[maybe_unused]] ssize_t Written = ::write(F->Wake, &One, sizeof One);
}

bool TCaptureDeviceMonitor::UsesUdev() const {
    return F->UdevMonitor != nullptr;
}
bool TCaptureDeviceMonitor::Watching() const {
    return F->UdevMonitor || F->Inotify >= 0;
}
