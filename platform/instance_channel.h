#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The local channel between a running instance of the program and a second
// start of it: a Unix-domain stream socket. The sender connects, writes one
// block, shuts its side down and waits (with a time limit) for a 32-bit
// little-endian answer; the receiver reads the block, asks its handler for
// the answer and writes it back. The channel carries bytes only: what a
// block means is its users' business.
//
//   auto Server = TInstanceServer::Listen(Path, [](std::string_view Block) { return Check(Block); });
//   if (!Server) { /* another instance listens there */ }
//   TInstanceAnswer Answer = SendToInstance(Path, Block, std::chrono::seconds(2));

// The largest block a receiver reads; a longer one is answered 0 unread.
constexpr size_t MaxInstanceBlock = 256 * 1024;

// Where the running instance listens: Name + ".sock" in $XDG_RUNTIME_DIR
// when that is an absolute path, else in a folder of the user's own under
// the temporary folder ("Name-UID", created with mode 0700). Empty when no
// such folder can be made or the one found is not private (another owner,
// a symbolic link, open to others), or the path is too long for a socket.
std::string InstanceSocketPath(std::string_view Name);

// The receiving side. A thread of its own waits for connections, reads one
// block per connection (bounded by MaxInstanceBlock and a time limit of its
// own for each sender, many senders at once),
// calls the handler on that thread and writes its answer. Connections from
// another user are closed unanswered. The handler must be safe to call from
// that thread: it should check the block and post whatever the user
// interface must do to the UI thread's message queue.
class TInstanceServer {
public:
    using THandler = std::function<int32_t(std::string_view Block)>;

    // Listens at SocketPath. A socket file left there by an instance that
    // ended without removing it (nobody accepts on it) is removed first.
    // Null when another instance is listening there, or when the socket
    // cannot be made (the program then simply runs without the channel).
    static std::unique_ptr<TInstanceServer> Listen(const std::string& SocketPath, THandler Handler);

    // Stops the thread and removes the socket file if it is still ours.
    ~TInstanceServer();
    TInstanceServer(const TInstanceServer&) = delete;
    TInstanceServer& operator=(const TInstanceServer&) = delete;

    const std::string& SocketPath() const { return FPath; }

private:
    struct TState;
    explicit TInstanceServer(std::unique_ptr<TState> State, std::string Path);

    std::unique_ptr<TState> FState;
    std::string FPath;
};

enum class TInstanceSendStatus : uint8_t {
    NoInstance, // nobody listens at the path (no socket file, or a stale one)
    Answered,   // Answer holds the receiver's answer
    NoAnswer,   // connected, but no complete answer came within the time limit
    ForeignListener, // another user's process listens there: nothing was sent
};

struct TInstanceAnswer {
    TInstanceSendStatus Status = TInstanceSendStatus::NoInstance;
    int32_t Answer = 0;
};

// Sends Block to the instance listening at SocketPath and waits at most
// Timeout in all for its answer.
TInstanceAnswer SendToInstance(const std::string& SocketPath, std::string_view Block,
                               std::chrono::milliseconds Timeout);
