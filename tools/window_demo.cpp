// A small program that opens a real window through the window layer: a test
// pattern drawn by the toolkit's canvas (colour bars, gradients, a
// checkerboard, a translucent panel, a smoothed polygon, lines) with text,
// a marker where the mouse was last pressed, and a line telling the last
// event. Events are printed as they come. Escape or closing the window ends it.
//
//   window_demo [--quit-after MILLISECONDS]

#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "platform/keys.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int32_t Width = 480;
constexpr int32_t Height = 320;

// The demo's picture, painted by the toolkit's canvas into a bottom-up raster
// that the window presents as it is.
class TDemoPicture {
public:
    TDemoPicture() : FPixels(Width, Height) {}
    TPixelView View() { return FPixels.View(); }

    void Paint(TPoint Marker, const std::string& Status) {
        static constexpr TColor Bars[] = {MakeColor(255, 255, 255), MakeColor(255, 255, 0), MakeColor(0, 255, 255),
                                          MakeColor(0, 255, 0),     MakeColor(255, 0, 255), MakeColor(255, 0, 0),
                                          MakeColor(0, 0, 255),     MakeColor(0, 0, 0)};
        FPixels.FillAll(MakeColor(24, 32, 64));
        for (int32_t Bar = 0; Bar < 8; ++Bar)
            FPixels.FillRect({Bar * Width / 8, 0, (Bar + 1) * Width / 8, 120}, Bars[Bar]);
        for (int32_t X = 0; X < Width; ++X) {
            auto Level = uint8_t(X * 255 / (Width - 1));
            FPixels.FillRect({X, 120, X + 1, 150}, MakeColor(Level, Level, Level));
            FPixels.FillRect({X, 150, X + 1, 180}, MakeColor(uint8_t(255 - Level), 96, Level));
        }
        for (int32_t Y = 180; Y < Height; Y += 16)
            for (int32_t X = 0; X < 160; X += 16)
                FPixels.FillRect({X, Y, X + 16, Y + 16},
                                 ((X / 16 + Y / 16) % 2) ? MakeColor(40, 40, 40) : MakeColor(220, 220, 220));
        // A translucent panel over the checkerboard, a smoothed star and a frame.
        FPixels.BlendRect({20, 200, 140, 300}, MakeColor(255, 160, 0, 128));
        static constexpr TPoint Star[] = {{80, 206}, {94, 244}, {134, 244}, {102, 266},
                                          {114, 302}, {80, 280}, {46, 302}, {58, 266},
                                          {26, 244}, {66, 244}};
        FPixels.FillPolygon(Star, 10, TSmooth::Yes, MakeColor(255, 255, 255, 220));
        FPixels.FrameRect({168, 186, Width - 8, Height - 8}, MakeColor(120, 140, 200));
        FPixels.Line(178, Height - 20, Width - 18, Height - 36, TSmooth::Yes, MakeColor(120, 200, 255));
        FPixels.Line(Marker.X - 6, Marker.Y, Marker.X + 7, Marker.Y, TSmooth::No, MakeColor(255, 64, 0));
        FPixels.Line(Marker.X, Marker.Y - 6, Marker.X, Marker.Y + 7, TSmooth::No, MakeColor(255, 64, 0));

        TTextAttr Title{.FontName = "Arial", .Height = -22, .Bold = true};
        FPixels.DrawText(178, 192, TSmooth::Yes, MakeColor(255, 255, 255), Title, "Quillmoor window demo");
        TTextAttr Hint{.FontName = "Arial", .Height = -14};
        FPixels.DrawText(178, 224, TSmooth::Yes, MakeColor(255, 255, 255), Hint,
                         "Click to move the marker, type, Escape ends.");
        TTextAttr Last{.FontName = "DejaVu Sans Mono", .Height = -13};
        FPixels.DrawText(178, 252, TSmooth::Yes, MakeColor(255, 220, 120), Last, Status);
    }

private:
    TPixels FPixels;
};

struct TDemo : TWindowListener {
    TWindowSystem* System = nullptr;
    TNativeWindow* Window = nullptr;
    TDemoPicture Picture;
    TPoint Marker{240, 60};
    std::string Status = "no event yet";
    bool IsClosed = false;

    void Repaint() {
        Picture.Paint(Marker, Status);
        Window->Present(Picture.View());
    }

    void Say(const std::string& Text) {
        Status = Text;
        std::printf("%s\n", Text.c_str());
        std::fflush(stdout);
    }

    void HandleEvent(const TEvent& Event) override {
        char Line[160];
        if (auto* Mouse = std::get_if<TMouseEvent>(&Event)) {
            if (Mouse->Kind == TMouseEventKind::Move)
                return;
            static constexpr const char* Kinds[] = {"down", "up", "move", "wheel"};
            std::snprintf(Line, sizeof Line, "mouse %s button %d at %d,%d clicks %d wheel %d",
                          Kinds[int(Mouse->Kind)], int(Mouse->Button), Mouse->Position.X, Mouse->Position.Y,
                          Mouse->Clicks, Mouse->WheelDelta);
            if (Mouse->Kind == TMouseEventKind::Down)
                Marker = Mouse->Position;
            Say(Line);
        } else if (auto* Key = std::get_if<TKeyEvent>(&Event)) {
            if (Key->Kind != TKeyEventKind::Down)
                return;
            std::snprintf(Line, sizeof Line, "key %d shortcut 0x%04X%s", Key->Key, Key->ShortCut,
                          Key->IsRepeat ? " repeat" : "");
            Say(Line);
            if (Key->Key == KeyEscape)
                IsClosed = true;
        } else if (auto* Text = std::get_if<TTextEvent>(&Event)) {
            Say("text \"" + Text->Text + "\"");
        } else if (auto* Drop = std::get_if<TDropEvent>(&Event)) {
            std::snprintf(Line, sizeof Line, "drop of %zu files at %d,%d", Drop->Files.size(), Drop->Position.X,
                          Drop->Position.Y);
            Say(Line);
        } else if (auto* Change = std::get_if<TWindowEvent>(&Event)) {
            if (Change->Kind == TWindowEventKind::CloseRequest)
                IsClosed = true;
            if (Change->Kind != TWindowEventKind::Exposed && Change->Kind != TWindowEventKind::Resized &&
                Change->Kind != TWindowEventKind::Shown)
                return;
        } else if (std::holds_alternative<TQuitEvent>(Event)) {
            IsClosed = true;
        }
        if (!IsClosed)
            Repaint();
    }
};

} // namespace

int main(int Count, char** Arguments) {
    int QuitAfter = 0;
    for (int Index = 1; Index + 1 < Count; ++Index)
        if (std::strcmp(Arguments[Index], "--quit-after") == 0)
            QuitAfter = std::atoi(Arguments[Index + 1]);
    try {
        auto System = CreateSdlWindowSystem(UiMessages());
        TWindowOptions Options;
        Options.Title = "Quillmoor window demo";
        Options.Bounds = TRect::FromSize(40, 40, Width, Height);
        Options.IsResizable = false;
        auto Window = System->CreateWindow(Options);
        TDemo Demo;
        Demo.System = System.get();
        Demo.Window = Window.get();
        Window->SetListener(&Demo);
        System->SetListener(&Demo);
        Window->Show(TActivate::Yes);
        Demo.Repaint();
        if (QuitAfter > 0)
            System->StartTimer(std::chrono::milliseconds(QuitAfter), TTimerRepeat::Once,
                               [&] { Demo.IsClosed = true; });
        System->RunLoop([&] { return Demo.IsClosed; });
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "window_demo: %s\n", Error.what());
        return 1;
    }
    return 0;
}
