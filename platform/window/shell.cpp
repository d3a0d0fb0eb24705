#include "platform/window/shell.h"

#include "platform/window/window_system.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

void SpawnDetached(const std::vector<std::string>& Arguments) {
    if (Arguments.empty())
        throw EWindowSystem("no program to start");
    std::vector<char*> Argv;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    pid_t Child = 0;
    int Error = posix_spawnp(&Child, Argv[0], nullptr, nullptr, Argv.data(), environ);
    if (Error != 0)
        throw EWindowSystem("cannot start " + Arguments[0] + ": " + std::strerror(Error));
    // xdg-open and its kind usually end at once, handing over to the real
    // program; waiting for them on a side thread keeps zombies away without
    // touching the process's SIGCHLD handling.
    std::thread([Child] {
        int Status = 0;
        while (waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

namespace {

std::string WithoutTrailingSlash(std::string Path) {
    while (Path.size() > 1 && Path.back() == '/')
        Path.pop_back();
    return Path;
}

// The value of KEY="..." in user-dirs.dirs, with $HOME expanded; empty when
// missing or not in one of the two forms the file allows.
std::string UserDir(const std::string& Text, const std::string& Key, const std::string& Home) {
    std::istringstream Lines(Text);
    std::string Line;
    std::string Result;
    while (std::getline(Lines, Line)) {
        size_t Start = Line.find_first_not_of(" \t");
        if (Start == std::string::npos || Line[Start] == '#')
            continue;
        size_t Equals = Line.find('=', Start);
        if (Equals == std::string::npos || Line.substr(Start, Equals - Start) != Key)
            continue;
        std::string Value = Line.substr(Equals + 1);
        while (!Value.empty() && (Value.back() == ' ' || Value.back() == '\t' || Value.back() == '\r'))
            Value.pop_back();
        if (Value.size() < 2 || Value.front() != '"' || Value.back() != '"')
            continue;
        Value = Value.substr(1, Value.size() - 2);
        if (Value.rfind("$HOME", 0) == 0 && (Value.size() == 5 || Value[5] == '/'))
            Value = Home + Value.substr(5);
        else if (Value.empty() || Value.front() != '/')
            continue;
        Result = WithoutTrailingSlash(Value);
    }
    return Result;
}

} // namespace

std::string XdgFolder(TXdgFolder Folder, const TXdgEnvironment& Environment) {
    std::string Home = WithoutTrailingSlash(Environment.Home);
    auto FromUserDirs = [&](const char* Key) {
        std::string Value = UserDir(Environment.UserDirs, Key, Home);
        return Value.empty() ? Home : Value;
    };
    switch (Folder) {
    case TXdgFolder::Config:
        if (!Environment.ConfigHome.empty() && Environment.ConfigHome.front() == '/')
            return WithoutTrailingSlash(Environment.ConfigHome);
        return Home + "/.config";
    case TXdgFolder::Documents:
        return FromUserDirs("XDG_DOCUMENTS_DIR");
    case TXdgFolder::Videos:
        return FromUserDirs("XDG_VIDEOS_DIR");
    case TXdgFolder::Music:
        return FromUserDirs("XDG_MUSIC_DIR");
    case TXdgFolder::Pictures:
        return FromUserDirs("XDG_PICTURES_DIR");
    case TXdgFolder::Runtime:
        if (!Environment.RuntimeDir.empty() && Environment.RuntimeDir.front() == '/')
            return WithoutTrailingSlash(Environment.RuntimeDir);
        return {};
    }
    return Home;
}

TXdgEnvironment CurrentXdgEnvironment() {
    auto Variable = [](const char* Name) {
        const char* Value = std::getenv(Name);
        return std::string(Value ? Value : "");
    };
    TXdgEnvironment Environment;
    Environment.Home = Variable("HOME");
    Environment.ConfigHome = Variable("XDG_CONFIG_HOME");
    Environment.RuntimeDir = Variable("XDG_RUNTIME_DIR");
    std::ifstream File(XdgFolder(TXdgFolder::Config, Environment) + "/user-dirs.dirs");
    std::ostringstream Text;
    Text << File.rdbuf();
    Environment.UserDirs = Text.str();
    return Environment;
}

std::string XdgFolder(TXdgFolder Folder) { return XdgFolder(Folder, CurrentXdgEnvironment()); }
