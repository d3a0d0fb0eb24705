#include "platform/capture/capture_endpoint.h"

#include "test_media.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// PULSE_SERVER pointed elsewhere for the life of the object.
class TPulseServerSetting {
public:
    explicit TPulseServerSetting(const std::string& Server) {
        if (const char* Old = std::getenv("PULSE_SERVER"))
            FOld = Old;
        setenv("PULSE_SERVER", Server.c_str(), 1);
    }
    ~TPulseServerSetting() {
        if (FOld.empty())
            unsetenv("PULSE_SERVER");
        else
            setenv("PULSE_SERVER", FOld.c_str(), 1);
    }

private:
    std::string FOld;
};

TEST(PulseSources, NoServerGivesNoSources) {
    TTempFolder Folder;
    TPulseServerSetting Server("unix:" + Folder.Path("no-server"));
    EXPECT_TRUE(EnumeratePulseSources(300ms).empty());
}

// A server that takes the connection and never answers must not hold up
// the device lists: the enumeration gives up at its limit.
TEST(PulseSources, AServerThatNeverAnswersIsLeftAtTheLimit) {
    TTempFolder Folder;
    std::string Path = Folder.Path("silent");
    int Listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(Listener, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    ASSERT_LT(Path.size(), sizeof Address.sun_path);
    Path.copy(Address.sun_path, Path.size());
    ASSERT_EQ(bind(Listener, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
    ASSERT_EQ(listen(Listener, 4), 0);
    TPulseServerSetting Server("unix:" + Path);

    auto Started = std::chrono::steady_clock::now();
    EXPECT_TRUE(EnumeratePulseSources(300ms).empty());
    // Not a speed target: a generous bound that an unbounded wait would miss.
    EXPECT_LT(std::chrono::steady_clock::now() - Started, 5s);
    close(Listener);
}

} // namespace
