#pragma once

// Running programs and a virtual X server for the end-to-end tests of the
// SDL backend, the toolkit and the program: each test starts an Xvfb of its
// own on a display number the server picks itself, drives it with xdotool and
// reads its pixels back with xwd.

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs a program to its end with this process's environment: its exit
// status, or -1 when it cannot start or does not end within Limit (it is
// killed then, so a hung tool fails the test instead of hanging it).
int RunProgram(const std::vector<std::string>& Arguments, std::chrono::seconds Limit = std::chrono::seconds(30));

// The exit code of Child, or -1 when it did not end by itself within Limit
// (it is killed then).
int WaitForProgram(pid_t Child, std::chrono::seconds Limit);

// A program started with Environment that never outlives the test: one that
// was not waited for is killed when this goes, so a failed assertion does not
// leave it running (and holding the test's output open).
class TSpawnedProgram {
public:
    TSpawnedProgram(const std::vector<std::string>& Arguments, const std::vector<std::string>& Environment);
    ~TSpawnedProgram();
    TSpawnedProgram(const TSpawnedProgram&) = delete;
    TSpawnedProgram& operator=(const TSpawnedProgram&) = delete;

    bool Started() const { return FChild > 0; }
    // Sends Signal to the program while it runs.
    void Signal(int Number) const;
    // Its exit code, or -1 when it did not end by itself within Limit.
    int Wait(std::chrono::seconds Limit);

private:
    pid_t FChild = 0;
};
// This process's environment with Changes applied ("NAME=value" sets, "NAME"
// alone removes).
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& Changes);

// An Xvfb server of its own (-displayfd), stopped when destroyed. Display()
// is empty when the server could not start.
class TVirtualDisplay {
public:
    explicit TVirtualDisplay(const std::string& Screen = "640x480x24");
    ~TVirtualDisplay();
    TVirtualDisplay(const TVirtualDisplay&) = delete;
    TVirtualDisplay& operator=(const TVirtualDisplay&) = delete;
    const std::string& Display() const { return FDisplay; }

private:
    pid_t FServer = 0;
    std::string FDisplay;
};

// The root window's pixels, as 0xRRGGBB values.
struct TScreenshot {
    int32_t Width = 0;
    int32_t Height = 0;
    std::vector<uint32_t> Pixels;
    // The pixel at X, Y; 0 (black) outside the screen.
    uint32_t At(int32_t X, int32_t Y) const {
        if (X < 0 || Y < 0 || X >= Width || Y >= Height)
            return 0;
        return Pixels[size_t(Y) * size_t(Width) + size_t(X)];
    }
};

// Reads an xwd file of a 24- or 32-bit screen.
bool ReadXwd(const std::string& FileName, TScreenshot& Shot);
// Takes the root window of the display in $DISPLAY with xwd (package
// x11-apps) into Shot.
bool TakeScreenshot(TScreenshot& Shot);
