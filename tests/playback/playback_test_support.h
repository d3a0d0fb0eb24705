#pragma once

#include "platform/message_queue.h"
#include "platform/window/headless_window_system.h"
#include "playback/player_window.h"
#include "test_media.h"
#include "toolkit/widgets/widget_window.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

// A player window in a headless window of 200 x 100, and a loop that lets
// real time pass for the engine while it runs the posted messages and
// paints.
class TPlayerHarness {
public:
    static constexpr int32_t WindowWidth = 200;
    static constexpr int32_t WindowHeight = 100;

    TPlayerHarness() {
        Player = &Root.Add<TPlayerWindow>();
        Player->SetBounds(TRect::FromSize(0, 0, WindowWidth, WindowHeight));
        TWindowOptions Options;
        Options.Bounds = TRect::FromSize(0, 0, WindowWidth, WindowHeight);
        Window = std::make_unique<TWidgetWindow>(System, Root, Options);
        Window->Show(TActivate::Yes);
    }

    // Runs messages and paints until Done() holds (true) or Seconds pass.
    bool RunUntil(const std::function<bool()>& Done, double Seconds = 10) {
        auto Deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(int64_t(Seconds * 1000));
        for (;;) {
            UiMessages().WaitAndProcess(Done, std::chrono::milliseconds(10));
            System.ProcessEvents();
            Window->Update();
            if (Done())
                return true;
            if (std::chrono::steady_clock::now() > Deadline)
                return false;
        }
    }
    // Lets Milliseconds of real time pass with the loop running.
    void RunFor(int32_t Milliseconds) {
        RunUntil([] { return false; }, Milliseconds / 1000.0);
    }

    uint32_t PresentedPixel(int32_t X, int32_t Y) const {
        uint32_t Pixel = 0;
        std::memcpy(&Pixel, System.Presented(Window->Native()).At(X, Y), 4);
        return Pixel;
    }

    THeadlessWindowSystem System;
    TWidget Root;
    TPlayerWindow* Player = nullptr;
    std::unique_ptr<TWidgetWindow> Window;
};

// Blue, green, red of a presented pixel (bytes B, G, R, A).
struct TRgb {
    int R, G, B;
};
inline TRgb RgbOf(uint32_t Pixel) {
    return {int(Pixel >> 16 & 0xFF), int(Pixel >> 8 & 0xFF), int(Pixel & 0xFF)};
}
inline bool Near(TRgb Seen, int R, int G, int B, int Tolerance = 16) {
    return std::abs(Seen.R - R) <= Tolerance && std::abs(Seen.G - G) <= Tolerance &&
           std::abs(Seen.B - B) <= Tolerance;
}

// A clip of one colour, Frames frames at 25 per second, with a tone.
inline std::string SolidClip(const TTempFolder& Folder, const std::string& Name, uint8_t R,
                             uint8_t G, uint8_t B, int Frames, int Width = 64, int Height = 48) {
    TTestVideoOptions Options;
    Options.Width = Width;
    Options.Height = Height;
    Options.FrameCount = Frames;
    Options.Painter = SolidColor(R, G, B);
    Options.WithAudio = true;
    std::string File = Folder.Path(Name);
    WriteTestVideo(File, Options);
    return File;
}
