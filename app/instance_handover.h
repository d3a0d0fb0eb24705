#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TInstanceServer;
class TMessageQueue;

// The program runs as one instance: a second start hands its file names to
// the running one and ends. The names travel as one block: a signed 32-bit
// count N, then for each name its length as a 32-bit integer followed by
// that many bytes, no terminator, every integer little-endian. The running
// instance answers 1 when it took the block, 0 otherwise.
//
// A block comes from another process and is checked as untrusted input:
// the count and every length are checked against what is left of the block,
// at most MaxHandOverFiles names of at most MaxHandOverName bytes each, no
// bytes after the last name, and every name must be a clean absolute path
// (no NUL or other control characters, no "." or ".." parts, no doubled
// "/"). Anything else is refused whole.

constexpr int32_t MaxHandOverFiles = 64;
constexpr size_t MaxHandOverName = 4096;
// How long a second start waits for the running instance's answer.
constexpr std::chrono::milliseconds HandOverTimeout{3000};

std::string EncodeHandOverBlock(const std::vector<std::string>& Files);
// The names in Block, or none when the block is malformed.
std::optional<std::vector<std::string>> DecodeHandOverBlock(std::string_view Block);

// The file arguments as full paths, relative ones taken against the
// current folder, "." and ".." parts resolved by name.
std::vector<std::string> FullHandOverPaths(const std::vector<std::string>& Files);

enum class THandOverResult : uint8_t {
    NoInstance, // nobody runs: this process becomes the running instance
    HandedOver, // the running instance took the names: this process ends
    Refused,    // it answered something else or not in time: start anyway
    Foreign,    // another user's program listens there: start anyway, and say so
};

// Sends Files (already full paths) to the instance listening at SocketPath.
THandOverResult HandOverToRunningInstance(const std::string& SocketPath, const std::vector<std::string>& Files,
                                          std::chrono::milliseconds Timeout = HandOverTimeout);

// The running instance's side: listens at SocketPath and, for every block
// that is well formed, answers 1 and posts Received with the names to
// Messages (the UI thread runs it; an empty list asks the window to come to
// the front). Malformed blocks are answered 0 and dropped. Nothing is posted
// after this object is gone.
//
//   TRunningInstance Instance(Path, UiMessages(), [&](auto Files) { Main.Receive(Files); });
//   if (!Instance.IsListening()) { /* another instance took the name */ }
class TRunningInstance {
public:
    using TReceived = std::function<void(std::vector<std::string> Files)>;

    TRunningInstance(const std::string& SocketPath, TMessageQueue& Messages, TReceived Received);
    ~TRunningInstance();
    TRunningInstance(const TRunningInstance&) = delete;
    TRunningInstance& operator=(const TRunningInstance&) = delete;

    bool IsListening() const { return FServer != nullptr; }

private:
    // Shared with the posted messages so that they can tell whether this
    // object still exists when they run.
    std::shared_ptr<TReceived> FReceived;
    std::unique_ptr<TInstanceServer> FServer;
};
