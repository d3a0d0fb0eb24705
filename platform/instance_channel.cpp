#include "platform/instance_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

// How long the receiver gives one sender to deliver its block, and to take
// its answer.
constexpr std::chrono::milliseconds ReceiveLimit{2000};
constexpr std::chrono::milliseconds AnswerLimit{200};
// The senders read at once (the oldest gives way to a newer one); the
// kernel's queue holds a burst of starts meanwhile (the system's limit for
// a listen queue).
constexpr size_t MaxOpenSenders = 64;

// Closes a descriptor on every path.
class TFd {
public:
    TFd() = default;
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd() { Reset(); }
    TFd(TFd&& Other) noexcept : FFd(Other.Release()) {}
    TFd& operator=(TFd&& Other) noexcept {
        if (this != &Other) {
            Reset();
            FFd = Other.Release();
        }
        return *this;
    }
    int Get() const { return FFd; }
    bool IsValid() const { return FFd >= 0; }
    int Release() {
        int Fd = FFd;
        FFd = -1;
        return Fd;
    }
    void Reset() {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd = -1;
};

bool MakeAddress(const std::string& Path, sockaddr_un& Address) {
    std::memset(&Address, 0, sizeof Address);
    Address.sun_family = AF_UNIX;
    if (Path.empty() || Path.size() >= sizeof Address.sun_path)
        return false;
    std::memcpy(Address.sun_path, Path.data(), Path.size());
    return true;
}

TFd NewSocket() {
    return TFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

int RemainingMs(TClock::time_point Deadline) {
    auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now()).count();
    return Left < 0 ? 0 : int(Left);
}

// Waits until Fd is ready for Events or Deadline passes.
bool WaitFor(int Fd, short Events, TClock::time_point Deadline) {
    for (;;) {
        pollfd Poll{Fd, Events, 0};
        int Ready = ::poll(&Poll, 1, RemainingMs(Deadline));
        if (Ready > 0)
            return true;
        if (Ready == 0 || errno != EINTR)
            return false;
    }
}

bool WriteAll(int Fd, std::string_view Bytes, TClock::time_point Deadline) {
    while (!Bytes.empty()) {
        ssize_t Written = ::send(Fd, Bytes.data(), Bytes.size(), MSG_NOSIGNAL);
        if (Written > 0) {
            Bytes.remove_prefix(size_t(Written));
            continue;
        }
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(Fd, POLLOUT, Deadline))
            continue;
        return false;
    }
    return true;
}

enum class TReadEnd : uint8_t { Complete, TooLong, Failed };

// Reads until the other side shuts its end down, at most Limit bytes.
TReadEnd ReadToEnd(int Fd, size_t Limit, TClock::time_point Deadline, std::string& Out) {
    char Buffer[4096];
    for (;;) {
        ssize_t Read = ::recv(Fd, Buffer, sizeof Buffer, 0);
        if (Read == 0)
            return TReadEnd::Complete;
        if (Read > 0) {
            if (Out.size() + size_t(Read) > Limit)
                return TReadEnd::TooLong;
            Out.append(Buffer, size_t(Read));
            continue;
        }
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(Fd, POLLIN, Deadline))
            continue;
        return TReadEnd::Failed;
    }
}

std::string LittleEndian(int32_t Value) {
    uint32_t Bits = uint32_t(Value);
    std::string Out(4, '\0');
    for (int Byte = 0; Byte < 4; ++Byte)
        Out[size_t(Byte)] = char((Bits >> (8 * Byte)) & 0xFF);
    return Out;
}

// Whether something accepts connections at Path: false for a socket file
// nobody listens on any more.
bool SomeoneListens(const std::string& Path) {
    sockaddr_un Address;
    if (!MakeAddress(Path, Address))
        return false;
    TFd Fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!Fd.IsValid())
        return false;
    if (::connect(Fd.Get(), reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0)
        return true;
    return errno != ECONNREFUSED && errno != ENOENT;
}

// A folder only this user can enter, made when missing.
bool IsPrivateFolder(const std::string& Folder) {
    if (::mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat Info;
    if (::lstat(Folder.c_str(), &Info) != 0)
        return false;
    return S_ISDIR(Info.st_mode) && Info.st_uid == ::getuid() && (Info.st_mode & 077) == 0;
}

} // namespace

std::string InstanceSocketPath(std::string_view Name) {
    std::string Folder;
    const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
    if (Runtime && Runtime[0] == '/') {
        Folder = Runtime;
    } else {
        const char* Temp = std::getenv("TMPDIR");
        std::string Base = Temp && Temp[0] == '/' ? Temp : "/tmp";
        while (Base.size() > 1 && Base.back() == '/')
            Base.pop_back();
        Folder = Base + "/" + std::string(Name) + "-" + std::to_string(::getuid());
        if (!IsPrivateFolder(Folder))
            return "";
    }
    if (Folder.back() != '/')
        Folder += '/';
    std::string Path = Folder + std::string(Name) + ".sock";
    sockaddr_un Address;
    return MakeAddress(Path, Address) ? Path : "";
}

// ---- TInstanceServer

namespace {

// Whether the process at the other end of a connected socket runs as this
// user.
bool PeerIsThisUser(int Fd) {
    ucred Peer{};
    socklen_t Size = sizeof Peer;
    return ::getsockopt(Fd, SOL_SOCKET, SO_PEERCRED, &Peer, &Size) == 0 && Size == sizeof Peer &&
           Peer.uid == ::getuid();
}

// A sender being read: what it sent so far and when it must be done.
struct TPendingBlock {
    TFd Connection;
    std::string Block;
    TClock::time_point Deadline;
};

enum class TReadStep : uint8_t { More, Complete, TooLong, Failed };

// Reads what a sender has written so far without waiting.
TReadStep ReadAvailable(TPendingBlock& Pending) {
    char Buffer[4096];
    for (;;) {
        ssize_t Read = ::recv(Pending.Connection.Get(), Buffer, sizeof Buffer, 0);
        if (Read == 0)
            return TReadStep::Complete;
        if (Read > 0) {
            if (Pending.Block.size() + size_t(Read) > MaxInstanceBlock)
                return TReadStep::TooLong;
            Pending.Block.append(Buffer, size_t(Read));
            continue;
        }
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? TReadStep::More : TReadStep::Failed;
    }
}

} // namespace

// The receiver serves many senders at once, each within its own time limit,
// so that a slow or stalled sender (or a burst of starts) never keeps a
// second start waiting past its own time limit.
struct TInstanceServer::TState {
    TFd Listener;
    TFd WakeRead;
    TFd WakeWrite;
    THandler Handler;
    dev_t Device = 0;
    ino_t Inode = 0;
    std::thread Thread;

    void Answer(TPendingBlock& Pending, TReadStep Step) const {
        int32_t Answer = 0;
        if (Step == TReadStep::Complete) {
            try {
                Answer = Handler(Pending.Block);
            } catch (...) {
                // A handler that fails refuses the block; the sender then
                // starts as an instance of its own.
                Answer = 0;
            }
        }
        WriteAll(Pending.Connection.Get(), LittleEndian(Answer), TClock::now() + AnswerLimit);
    }

    // Takes every waiting connection; those of another user are closed
    // unanswered. When as many senders as are read at once are open, the
    // one waited for longest goes, so that a flood of stalled connections
    // never shuts a new start out.
    void AcceptWaiting(std::vector<TPendingBlock>& Open) const {
        for (;;) {
            TFd Connection(::accept4(Listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
            if (!Connection.IsValid())
                return;
            if (!PeerIsThisUser(Connection.Get()))
                continue;
            if (Open.size() >= MaxOpenSenders)
                Open.erase(Open.begin());
            Open.push_back({std::move(Connection), {}, TClock::now() + ReceiveLimit});
        }
    }

    // Reads from every sender with something to read; answers and drops
    // those that are done, failed or out of time.
    void ServeReady(std::vector<TPendingBlock>& Open, const std::vector<pollfd>& Polls) const {
        auto Now = TClock::now();
        std::vector<TPendingBlock> Left;
        for (size_t I = 0; I < Open.size(); ++I) {
            TPendingBlock& Pending = Open[I];
            if (Polls[I + 2].revents != 0) {
                TReadStep Step = ReadAvailable(Pending);
                if (Step == TReadStep::Complete || Step == TReadStep::TooLong) {
                    Answer(Pending, Step);
                    continue;
                }
                if (Step == TReadStep::Failed)
                    continue;
            }
            if (Pending.Deadline > Now)
                Left.push_back(std::move(Pending));
        }
        Open = std::move(Left);
    }

    void Run() const {
        std::vector<TPendingBlock> Open;
        for (;;) {
            std::vector<pollfd> Polls;
            Polls.push_back({Listener.Get(), POLLIN, 0});
            Polls.push_back({WakeRead.Get(), POLLIN, 0});
            auto Earliest = TClock::time_point::max();
            for (const TPendingBlock& Pending : Open) {
                Polls.push_back({Pending.Connection.Get(), POLLIN, 0});
                Earliest = std::min(Earliest, Pending.Deadline);
            }
            int Timeout = Open.empty() ? -1 : RemainingMs(Earliest) + 1;
            if (::poll(Polls.data(), Polls.size(), Timeout) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (Polls[1].revents != 0)
                return;
            ServeReady(Open, Polls);
            if (Polls[0].revents & POLLIN)
                AcceptWaiting(Open);
        }
    }
};

TInstanceServer::TInstanceServer(std::unique_ptr<TState> State, std::string Path)
    : FState(std::move(State)), FPath(std::move(Path)) {
    const TState* Running = FState.get();
    FState->Thread = std::thread([Running] { Running->Run(); });
}

std::unique_ptr<TInstanceServer> TInstanceServer::Listen(const std::string& SocketPath, THandler Handler) {
    sockaddr_un Address;
    if (!MakeAddress(SocketPath, Address))
        return nullptr;
    auto State = std::make_unique<TState>();
    State->Handler = std::move(Handler);
    State->Listener = NewSocket();
    if (!State->Listener.IsValid())
        return nullptr;
    auto Bind = [&] {
        return ::bind(State->Listener.Get(), reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0;
    };
    if (!Bind()) {
        if (errno != EADDRINUSE || SomeoneListens(SocketPath))
            return nullptr;
        // Left behind by an instance that crashed: only a socket file is
        // removed, never anything else found under that name.
        struct stat Info;
        if (::lstat(SocketPath.c_str(), &Info) != 0 || !S_ISSOCK(Info.st_mode))
            return nullptr;
        ::unlink(SocketPath.c_str());
        if (!Bind())
            return nullptr;
    }
    ::chmod(SocketPath.c_str(), 0600);
    struct stat Info;
    if (::stat(SocketPath.c_str(), &Info) == 0) {
        State->Device = Info.st_dev;
        State->Inode = Info.st_ino;
    }
    if (::listen(State->Listener.Get(), SOMAXCONN) != 0) {
        ::unlink(SocketPath.c_str());
        return nullptr;
    }
    int Pipe[2];
    if (::pipe2(Pipe, O_CLOEXEC) != 0) {
        ::unlink(SocketPath.c_str());
        return nullptr;
    }
    State->WakeRead = TFd(Pipe[0]);
    State->WakeWrite = TFd(Pipe[1]);
    return std::unique_ptr<TInstanceServer>(new TInstanceServer(std::move(State), SocketPath));
}

TInstanceServer::~TInstanceServer() {
    char Byte = 0;
    while (::write(FState->WakeWrite.Get(), &Byte, 1) < 0 && errno == EINTR) {
    }
    if (FState->Thread.joinable())
        FState->Thread.join();
    // Another instance may have taken the name over since (after removing
    // what it took for a stale socket): its socket stays.
    struct stat Info;
    if (::stat(FPath.c_str(), &Info) == 0 && Info.st_dev == FState->Device && Info.st_ino == FState->Inode)
        ::unlink(FPath.c_str());
}

// ---- the sender

TInstanceAnswer SendToInstance(const std::string& SocketPath, std::string_view Block,
                               std::chrono::milliseconds Timeout) {
    TInstanceAnswer Result;
    sockaddr_un Address;
    if (!MakeAddress(SocketPath, Address))
        return Result;
    TFd Fd = NewSocket();
    if (!Fd.IsValid())
        return Result;
    auto Deadline = TClock::now() + Timeout;
    if (::connect(Fd.Get(), reinterpret_cast<const sockaddr*>(&Address), sizeof Address) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED)
            return Result;
        // A listener whose queue is full: it is there but cannot take us.
        Result.Status = TInstanceSendStatus::NoAnswer;
        return Result;
    }
    // The names go only to a program of this user: another user listening
    // at this name (a shared runtime folder) learns nothing.
    if (!PeerIsThisUser(Fd.Get())) {
        Result.Status = TInstanceSendStatus::ForeignListener;
        return Result;
    }
    Result.Status = TInstanceSendStatus::NoAnswer;
    if (!WriteAll(Fd.Get(), Block, Deadline))
        return Result;
    ::shutdown(Fd.Get(), SHUT_WR);
    std::string Answer;
    if (ReadToEnd(Fd.Get(), 4, Deadline, Answer) != TReadEnd::Complete || Answer.size() != 4)
        return Result;
    uint32_t Bits = 0;
    for (int Byte = 3; Byte >= 0; --Byte)
        Bits = (Bits << 8) | uint8_t(Answer[size_t(Byte)]);
    Result.Status = TInstanceSendStatus::Answered;
    Result.Answer = int32_t(Bits);
    return Result;
}
