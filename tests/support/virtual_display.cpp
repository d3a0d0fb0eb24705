#include "virtual_display.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace std::chrono_literals;

namespace {

pid_t Spawn(const std::vector<std::string>& Arguments, const std::vector<std::string>& Environment,
            posix_spawn_file_actions_t* Actions) {
    std::vector<char*> Argv, Envp;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    for (const std::string& Entry : Environment)
        Envp.push_back(const_cast<char*>(Entry.c_str()));
    Envp.push_back(nullptr);
    pid_t Child = 0;
    if (posix_spawnp(&Child, Argv[0], Actions, nullptr, Argv.data(), Envp.data()) != 0)
        return 0;
    return Child;
}

} // namespace

TSpawnedProgram::TSpawnedProgram(const std::vector<std::string>& Arguments,
                                 const std::vector<std::string>& Environment)
    : FChild(Spawn(Arguments, Environment, nullptr)) {}

TSpawnedProgram::~TSpawnedProgram() {
    if (FChild > 0) {
        kill(FChild, SIGKILL);
        waitpid(FChild, nullptr, 0);
    }
}

void TSpawnedProgram::Signal(int Number) const {
    if (FChild > 0)
        kill(FChild, Number);
}

int TSpawnedProgram::Wait(std::chrono::seconds Limit) {
    if (FChild <= 0)
        return -1;
    const int Code = WaitForProgram(FChild, Limit);
    FChild = 0;
    return Code;
}

int WaitForProgram(pid_t Child, std::chrono::seconds Limit) {
    auto Deadline = std::chrono::steady_clock::now() + Limit;
    int Status = 0;
    while (std::chrono::steady_clock::now() < Deadline) {
        if (waitpid(Child, &Status, WNOHANG) == Child)
            return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
        std::this_thread::sleep_for(20ms);
    }
    kill(Child, SIGKILL);
    waitpid(Child, &Status, 0);
    return -1;
}

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& Changes) {
    auto NameOf = [](const std::string& Entry) { return Entry.substr(0, Entry.find('=')); };
    std::vector<std::string> Result;
    for (char** Entry = environ; *Entry; ++Entry) {
        std::string Text = *Entry;
        bool Replaced = false;
        for (const std::string& Change : Changes)
            Replaced = Replaced || NameOf(Change) == NameOf(Text);
        if (!Replaced)
            Result.push_back(Text);
    }
    for (const std::string& Change : Changes)
        if (Change.find('=') != std::string::npos)
            Result.push_back(Change);
    return Result;
}

int RunProgram(const std::vector<std::string>& Arguments, std::chrono::seconds Limit) {
    std::vector<char*> Argv;
    for (const std::string& Argument : Arguments)
        Argv.push_back(const_cast<char*>(Argument.c_str()));
    Argv.push_back(nullptr);
    pid_t Child = 0;
    if (posix_spawnp(&Child, Argv[0], nullptr, nullptr, Argv.data(), environ) != 0)
        return -1;
    return WaitForProgram(Child, Limit);
}

TVirtualDisplay::TVirtualDisplay(const std::string& Screen) {
    int Pipe[2];
    if (pipe(Pipe) != 0)
        return;
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Pipe[1], 3);
    posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
    FServer = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", Screen, "-nolisten", "tcp"},
                    EnvironmentWith({}), &Actions);
    posix_spawn_file_actions_destroy(&Actions);
    close(Pipe[1]);
    std::string Number;
    pollfd Wait{Pipe[0], POLLIN, 0};
    auto Deadline = std::chrono::steady_clock::now() + 10s;
    while (FServer > 0 && std::chrono::steady_clock::now() < Deadline && poll(&Wait, 1, 100) >= 0) {
        char Byte;
        if ((Wait.revents & (POLLIN | POLLHUP)) == 0)
            continue;
        if (read(Pipe[0], &Byte, 1) != 1 || Byte == '\n')
            break;
        Number += Byte;
    }
    close(Pipe[0]);
    if (!Number.empty())
        FDisplay = ":" + Number;
}
TVirtualDisplay::~TVirtualDisplay() {
    if (FServer > 0) {
        kill(FServer, SIGTERM);
        waitpid(FServer, nullptr, 0);
    }
}

bool ReadXwd(const std::string& FileName, TScreenshot& Shot) {
    std::ifstream File(FileName, std::ios::binary);
    std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    auto Header = [&](size_t Index) -> uint32_t {
        const uint8_t* Field = &Bytes[Index * 4];
        return uint32_t(Field[0]) << 24 | uint32_t(Field[1]) << 16 | uint32_t(Field[2]) << 8 | Field[3];
    };
    if (Bytes.size() < 100)
        return false;
    uint32_t HeaderSize = Header(0), Format = Header(2), ByteOrder = Header(7), BitsPerPixel = Header(11),
             BytesPerLine = Header(12), RedMask = Header(14), GreenMask = Header(15), BlueMask = Header(16),
             ColorCount = Header(19);
    Shot.Width = int32_t(Header(4));
    Shot.Height = int32_t(Header(5));
    size_t Data = HeaderSize + size_t(ColorCount) * 12;
    // Xvfb's 24-bit screens come as packed 3-byte pixels in padded rows.
    uint32_t Step = BitsPerPixel / 8;
    if (Format != 2 || (BitsPerPixel != 24 && BitsPerPixel != 32) || BytesPerLine < Step * uint32_t(Shot.Width) ||
        Bytes.size() < Data + size_t(BytesPerLine) * size_t(Shot.Height))
        return false;
    auto Channel = [](uint32_t Value, uint32_t Mask) {
        int Shift = 0;
        while (Mask && !(Mask & 1)) {
            Mask >>= 1;
            ++Shift;
        }
        return (Value >> Shift) & 0xFF;
    };
    Shot.Pixels.resize(size_t(Shot.Width) * size_t(Shot.Height));
    for (int32_t Y = 0; Y < Shot.Height; ++Y)
        for (int32_t X = 0; X < Shot.Width; ++X) {
            const uint8_t* Pixel = &Bytes[Data + size_t(Y) * BytesPerLine + size_t(X) * Step];
            uint32_t Value = 0;
            for (uint32_t Byte = 0; Byte < Step; ++Byte)
                Value |= uint32_t(Pixel[Byte]) << (8 * (ByteOrder == 0 ? Byte : Step - 1 - Byte));
            Shot.Pixels[size_t(Y) * size_t(Shot.Width) + size_t(X)] =
                Channel(Value, RedMask) << 16 | Channel(Value, GreenMask) << 8 | Channel(Value, BlueMask);
        }
    return true;
}

bool TakeScreenshot(TScreenshot& Shot) {
    std::string File = "/tmp/quillmoor-shot-" + std::to_string(getpid()) + ".xwd";
    bool Taken = RunProgram({"xwd", "-root", "-silent", "-out", File}) == 0 && ReadXwd(File, Shot);
    std::remove(File.c_str());
    return Taken;
}
