#include "app/instance_handover.h"

#include "../support/test_media.h"
#include "platform/instance_channel.h"
#include "platform/message_queue.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Int32(uint32_t Value) {
    std::string Out;
    for (int Byte = 0; Byte < 4; ++Byte)
        Out.push_back(char((Value >> (8 * Byte)) & 0xFF));
    return Out;
}

// A running instance in this process, with its own message queue standing
// in for the UI thread's.
struct TReceiver {
    explicit TReceiver(const std::string& Path)
        : Instance(Path, Messages, [this](std::vector<std::string> Files) { Received.push_back(std::move(Files)); }) {}
    // Runs what the channel posted.
    void Deliver() { Messages.ProcessPending(); }

    TMessageQueue Messages;
    std::vector<std::vector<std::string>> Received;
    TRunningInstance Instance;
};

// A socket file with nobody listening on it, as a crashed instance leaves.
void LeaveStaleSocket(const std::string& Path) {
    int Fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    Path.copy(Address.sun_path, sizeof Address.sun_path - 1);
    ASSERT_EQ(::bind(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address), 0);
    ::close(Fd);
    ASSERT_TRUE(fs::is_socket(Path));
}

// Sets an environment variable for the life of the object.
class TEnvironment {
public:
    TEnvironment(const char* Name, const char* Value) : FName(Name) {
        if (const char* Old = std::getenv(Name))
            FOld = Old;
        if (Value)
            ::setenv(Name, Value, 1);
        else
            ::unsetenv(Name);
    }
    ~TEnvironment() {
        if (FOld)
            ::setenv(FName, FOld->c_str(), 1);
        else
            ::unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

} // namespace

TEST(HandOverBlock, HoldsTheCountThenEachPathWithItsLength) {
    std::vector<std::string> Files = {"/home/ann/Holiday.qmp", "/tmp/b c.qmp"};
    std::string Block = EncodeHandOverBlock(Files);
    EXPECT_EQ(Block, Int32(2) + Int32(21) + "/home/ann/Holiday.qmp" + Int32(12) + "/tmp/b c.qmp");
    EXPECT_EQ(DecodeHandOverBlock(Block), Files);
    EXPECT_EQ(DecodeHandOverBlock(Int32(0)), std::vector<std::string>{});
}

TEST(HandOverBlock, RelativeArgumentsBecomeFullPathsAgainstTheCurrentFolder) {
    std::string Here = fs::current_path().string();
    std::vector<std::string> Full = FullHandOverPaths({"a.qmp", "sub/../b.qmp", "/x/./y.qmp"});
    EXPECT_EQ(Full, (std::vector<std::string>{Here + "/a.qmp", Here + "/b.qmp", "/x/y.qmp"}));
    for (const std::string& Name : Full)
        EXPECT_TRUE(DecodeHandOverBlock(EncodeHandOverBlock({Name}))) << Name;
}

struct TBadBlock {
    const char* Name;
    std::string Block;
};

class MalformedHandOverBlock : public testing::TestWithParam<TBadBlock> {};

// Every malformed block is refused whole, by the decoder and by a running
// instance through the real socket, which answers 0 and posts nothing.
TEST_P(MalformedHandOverBlock, IsAnsweredZeroAndNothingIsReceived) {
    EXPECT_FALSE(DecodeHandOverBlock(GetParam().Block));
    TTempFolder Folder;
    TReceiver Receiver(Folder.Path("q.sock"));
    ASSERT_TRUE(Receiver.Instance.IsListening());
    TInstanceAnswer Answer = SendToInstance(Folder.Path("q.sock"), GetParam().Block, 5s);
    EXPECT_EQ(Answer.Status, TInstanceSendStatus::Answered);
    EXPECT_EQ(Answer.Answer, 0);
    Receiver.Deliver();
    EXPECT_TRUE(Receiver.Received.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Untrusted, MalformedHandOverBlock,
    testing::Values(TBadBlock{"Empty", ""}, TBadBlock{"ShortCount", std::string("\x01\x00\x00", 3)},
                    TBadBlock{"NegativeCount", Int32(0xFFFFFFFF)},
                    TBadBlock{"CountBeyondTheCap", Int32(MaxHandOverFiles + 1)},
                    TBadBlock{"CountBeyondTheNames", Int32(2) + Int32(6) + "/a.qmp"},
                    TBadBlock{"LengthBeyondTheBlock", Int32(1) + Int32(100) + "/a.qmp"},
                    TBadBlock{"HugeLength", Int32(1) + Int32(0x7FFFFFFF) + "/a.qmp"},
                    TBadBlock{"NegativeLength", Int32(1) + Int32(0xFFFFFFFA) + "/a.qmp"},
                    TBadBlock{"EmptyName", Int32(1) + Int32(0)},
                    TBadBlock{"NameTooLong", Int32(1) + Int32(MaxHandOverName + 1) + "/" +
                                                 std::string(MaxHandOverName, 'a')},
                    TBadBlock{"TrailingBytes", Int32(1) + Int32(6) + "/a.qmp" + "x"},
                    TBadBlock{"RelativeName", Int32(1) + Int32(5) + "a.qmp"},
                    TBadBlock{"DotDotPart", Int32(1) + Int32(12) + "/etc/../a.qm"},
                    TBadBlock{"DoubledSlash", Int32(1) + Int32(7) + "//a.qmp"},
                    TBadBlock{"NulInName", Int32(1) + Int32(6) + std::string("/a\0qmp", 6)},
                    TBadBlock{"NewlineInName", Int32(1) + Int32(6) + "/a\nqmp"},
                    TBadBlock{"EscapeInName", Int32(1) + Int32(6) + "/a\x1bqmp"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(InstanceHandOver, TwoFilesReachTheRunningInstanceInOrder) {
    TTempFolder Folder;
    TReceiver Receiver(Folder.Path("q.sock"));
    ASSERT_TRUE(Receiver.Instance.IsListening());
    std::vector<std::string> Files = {Folder.Path("one.qmp"), Folder.Path("two words.qmp")};
    EXPECT_EQ(HandOverToRunningInstance(Folder.Path("q.sock"), Files), THandOverResult::HandedOver);
    // Nothing runs on the receiver's side before its UI thread looks.
    EXPECT_TRUE(Receiver.Received.empty());
    Receiver.Deliver();
    ASSERT_EQ(Receiver.Received.size(), 1u);
    EXPECT_EQ(Receiver.Received[0], Files);
    // A start without files asks the instance to come forward.
    EXPECT_EQ(HandOverToRunningInstance(Folder.Path("q.sock"), {}), THandOverResult::HandedOver);
    Receiver.Deliver();
    ASSERT_EQ(Receiver.Received.size(), 2u);
    EXPECT_TRUE(Receiver.Received[1].empty());
}

TEST(InstanceHandOver, ABlockOverTheSizeCapIsRefusedUnread) {
    TTempFolder Folder;
    TReceiver Receiver(Folder.Path("q.sock"));
    std::string Block = Int32(1) + Int32(uint32_t(MaxInstanceBlock)) + "/" + std::string(MaxInstanceBlock - 1, 'a');
    TInstanceAnswer Answer = SendToInstance(Folder.Path("q.sock"), Block, 5s);
    // The receiver stops reading and answers 0; a sender still writing may
    // instead see the connection close: either way nothing is taken.
    EXPECT_NE(Answer.Status, TInstanceSendStatus::NoInstance);
    EXPECT_EQ(Answer.Answer, 0);
    Receiver.Deliver();
    EXPECT_TRUE(Receiver.Received.empty());
    // The instance still serves the next sender.
    EXPECT_EQ(HandOverToRunningInstance(Folder.Path("q.sock"), {"/a.qmp"}), THandOverResult::HandedOver);
}

TEST(InstanceHandOver, WithoutARunningInstanceTheStartGoesOn) {
    TTempFolder Folder;
    EXPECT_EQ(HandOverToRunningInstance(Folder.Path("q.sock"), {"/a.qmp"}), THandOverResult::NoInstance);
    LeaveStaleSocket(Folder.Path("q.sock"));
    EXPECT_EQ(HandOverToRunningInstance(Folder.Path("q.sock"), {"/a.qmp"}), THandOverResult::NoInstance);
}

TEST(InstanceHandOver, AStaleSocketIsTakenOverAndRemovedAtTheEnd) {
    TTempFolder Folder;
    std::string Path = Folder.Path("q.sock");
    LeaveStaleSocket(Path);
    {
        TReceiver Receiver(Path);
        ASSERT_TRUE(Receiver.Instance.IsListening());
        // A second instance finds the name taken.
        TReceiver Second(Path);
        EXPECT_FALSE(Second.Instance.IsListening());
        EXPECT_EQ(HandOverToRunningInstance(Path, {"/a.qmp"}), THandOverResult::HandedOver);
        struct stat Info;
        ASSERT_EQ(::stat(Path.c_str(), &Info), 0);
        EXPECT_EQ(Info.st_mode & 0777, 0600u);
    }
    EXPECT_FALSE(fs::exists(Path));
}

TEST(InstanceHandOver, AFileThatIsNotASocketIsNeverRemoved) {
    TTempFolder Folder;
    std::string Path = Folder.Path("q.sock");
    { std::ofstream(Path) << "mine"; }
    TReceiver Receiver(Path);
    EXPECT_FALSE(Receiver.Instance.IsListening());
    EXPECT_TRUE(fs::is_regular_file(Path));
}

TEST(InstanceHandOver, ASilentReceiverLeavesTheSenderWithoutAnAnswer) {
    TTempFolder Folder;
    std::string Path = Folder.Path("q.sock");
    // Listens but never accepts: the sender must give up, not hang.
    int Fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    Path.copy(Address.sun_path, sizeof Address.sun_path - 1);
    ASSERT_EQ(::bind(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address), 0);
    ASSERT_EQ(::listen(Fd, 4), 0);
    EXPECT_EQ(HandOverToRunningInstance(Path, {"/a.qmp"}, 200ms), THandOverResult::Refused);
    ::close(Fd);
}

TEST(InstanceHandOver, NothingIsDeliveredAfterTheInstanceIsGone) {
    TTempFolder Folder;
    TMessageQueue Messages;
    int Calls = 0;
    {
        TRunningInstance Instance(Folder.Path("q.sock"), Messages, [&](std::vector<std::string>) { ++Calls; });
        EXPECT_EQ(HandOverToRunningInstance(Folder.Path("q.sock"), {"/a.qmp"}), THandOverResult::HandedOver);
    }
    EXPECT_EQ(Messages.ProcessPending(), 1);
    EXPECT_EQ(Calls, 0);
}

TEST(InstanceSocketPath, LivesInTheRuntimeFolderElseInAPrivateFolderOfTheUser) {
    TTempFolder Folder;
    {
        TEnvironment Runtime("XDG_RUNTIME_DIR", Folder.Root().c_str());
        EXPECT_EQ(InstanceSocketPath("qm-test"), Folder.Path("qm-test.sock"));
    }
    TEnvironment Runtime("XDG_RUNTIME_DIR", nullptr);
    TEnvironment Temp("TMPDIR", Folder.Root().c_str());
    std::string Private = Folder.Path("qm-test-" + std::to_string(::getuid()));
    EXPECT_EQ(InstanceSocketPath("qm-test"), Private + "/qm-test.sock");
    struct stat Info;
    ASSERT_EQ(::lstat(Private.c_str(), &Info), 0);
    EXPECT_TRUE(S_ISDIR(Info.st_mode));
    EXPECT_EQ(Info.st_mode & 0777, 0700u);
    // A folder of that name that others may enter is not used, nor a link.
    ::chmod(Private.c_str(), 0755);
    EXPECT_EQ(InstanceSocketPath("qm-test"), "");
    fs::create_directory(Folder.Path("elsewhere"));
    ::chmod(Folder.Path("elsewhere").c_str(), 0700);
    fs::create_directory_symlink(Folder.Path("elsewhere"), Folder.Path("qm-link-" + std::to_string(::getuid())));
    EXPECT_EQ(InstanceSocketPath("qm-link"), "");
}

TEST(InstanceHandOver, ASecondStartOfTheProgramHandsItsFilesToTheRunningOneAndEnds) {
    TTempFolder Folder;
    std::string Root = fs::canonical(Folder.Root()).string();
    // The running instance of display ":4242" (which does not exist: the
    // second start must not need it).
    TReceiver Receiver(Root + "/quillmoor-_4242.sock");
    ASSERT_TRUE(Receiver.Instance.IsListening());
    std::string Command = "cd '" + Root + "' && XDG_RUNTIME_DIR='" + Root + "' DISPLAY=:4242 '" QM_PROGRAM +
                          "' one.qmp 'sub/../two words.qmp' >/dev/null 2>&1";
    int Status = std::system(Command.c_str());
    EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;
    Receiver.Deliver();
    ASSERT_EQ(Receiver.Received.size(), 1u);
    EXPECT_EQ(Receiver.Received[0], (std::vector<std::string>{Root + "/one.qmp", Root + "/two words.qmp"}));
    // With /MULTIPLEINSTANCES nothing is handed over.
    Command = "cd '" + Root + "' && XDG_RUNTIME_DIR='" + Root + "' DISPLAY=:4242 '" QM_PROGRAM +
              "' /MULTIPLEINSTANCES one.qmp >/dev/null 2>&1";
    std::system(Command.c_str());
    Receiver.Deliver();
    EXPECT_EQ(Receiver.Received.size(), 1u);
}

// Regression: one sender that connected and then stalled held the receiver
// for its whole time limit, and a burst of starts filled the listen queue,
// so a second start in that time opened an instance of its own.
TEST(InstanceHandOver, StalledSendersDoNotKeepAnotherStartWaiting) {
    TTempFolder Folder;
    std::string Path = Folder.Path("q.sock");
    TReceiver Receiver(Path);
    ASSERT_TRUE(Receiver.Instance.IsListening());
    std::vector<int> Stalled;
    for (int I = 0; I < 100; ++I) {
        int Fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        Path.copy(Address.sun_path, sizeof Address.sun_path - 1);
        ASSERT_EQ(::connect(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address), 0) << I;
        ASSERT_EQ(::send(Fd, "\x01", 1, MSG_NOSIGNAL), 1);
        Stalled.push_back(Fd);
    }
    EXPECT_EQ(HandOverToRunningInstance(Path, {"/a.qmp"}, 1000ms), THandOverResult::HandedOver);
    Receiver.Deliver();
    ASSERT_EQ(Receiver.Received.size(), 1u);
    EXPECT_EQ(Receiver.Received[0], std::vector<std::string>{"/a.qmp"});
    for (int Fd : Stalled)
        ::close(Fd);
}

// Regression: with a runtime folder others can write, another user
// listening at the socket's name received the names of the files opened.
TEST(InstanceHandOver, NamesAreNeverSentToAnotherUsersListener) {
    if (::getuid() != 0)
        GTEST_SKIP() << "needs root to listen as another user";
    TTempFolder Folder;
    std::string Path = Folder.Path("q.sock");
    ASSERT_EQ(::chmod(Folder.Root().c_str(), 0777), 0);
    pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        // The other user: listens, and exits with the number of bytes it got.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        int Fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un Address{};
        Address.sun_family = AF_UNIX;
        Path.copy(Address.sun_path, sizeof Address.sun_path - 1);
        if (::bind(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) != 0 || ::listen(Fd, 4) != 0)
            ::_exit(101);
        ::chmod(Path.c_str(), 0777);
        pollfd Poll{Fd, POLLIN, 0};
        if (::poll(&Poll, 1, 5000) != 1)
            ::_exit(0);
        int Connection = ::accept(Fd, nullptr, nullptr);
        char Buffer[256];
        pollfd Read{Connection, POLLIN, 0};
        ssize_t Got = ::poll(&Read, 1, 1000) == 1 ? ::recv(Connection, Buffer, sizeof Buffer, 0) : 0;
        ::_exit(Got > 0 ? int(std::min<ssize_t>(Got, 99)) : 0);
    }
    for (int I = 0; I < 200 && !fs::exists(Path); ++I)
        ::usleep(10000);
    ::usleep(20000);
    EXPECT_EQ(HandOverToRunningInstance(Path, {"/secret/plan.qmp"}, 1000ms), THandOverResult::Foreign);
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 0) << "bytes the other user received";
}
