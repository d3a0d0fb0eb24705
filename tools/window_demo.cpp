// A small program that opens a real window through the window layer: a test
// pattern (colour bars, gradients, a checkerboard) with text, a marker where
// the mouse was last pressed, and a line telling the last event. Events are
// printed as they come. Escape or closing the window ends it.
//
//   window_demo [--quit-after MILLISECONDS]

#include "platform/graphics/color.h"
#include "platform/keys.h"
#include "platform/message_queue.h"
#include "platform/text/font.h"
#include "platform/text/text_layout.h"
#include "platform/text/text_painter.h"
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

// The demo's picture, stored bottom-up as the toolkit's rasters are.
class TDemoPicture {
public:
    TDemoPicture() : FBytes(size_t(Width) * Height * 4) {}
    TPixelView View() { return {FBytes.data() + size_t(Height - 1) * Width * 4, Width, Height, -Width * 4}; }

    void Paint(TPoint Marker, const std::string& Status) {
        TPixelView Target = View();
        static constexpr TColor Bars[] = {MakeColor(255, 255, 255), MakeColor(255, 255, 0), MakeColor(0, 255, 255),
                                          MakeColor(0, 255, 0),     MakeColor(255, 0, 255), MakeColor(255, 0, 0),
                                          MakeColor(0, 0, 255),     MakeColor(0, 0, 0)};
        for (int32_t Y = 0; Y < Height; ++Y)
            for (int32_t X = 0; X < Width; ++X) {
                TColor Color;
                if (Y < 120)
                    Color = Bars[X * 8 / Width];
                else if (Y < 150)
                    Color = MakeColor(uint8_t(X * 255 / (Width - 1)), uint8_t(X * 255 / (Width - 1)),
                                      uint8_t(X * 255 / (Width - 1)));
                else if (Y < 180)
                    Color = MakeColor(uint8_t(255 - X * 255 / (Width - 1)), uint8_t((Y - 150) * 8),
                                      uint8_t(X * 255 / (Width - 1)));
                else if (X < 160)
                    Color = ((X / 16 + Y / 16) % 2) ? MakeColor(40, 40, 40) : MakeColor(220, 220, 220);
                else
                    Color = MakeColor(24, 32, 64);
                ColorToBgra(Color, Target.At(X, Y));
            }
        for (int32_t Y = Marker.Y - 6; Y <= Marker.Y + 6; ++Y)
            for (int32_t X = Marker.X - 6; X <= Marker.X + 6; ++X)
                if (Target.Bounds().Contains(TPoint{X, Y}) && (X == Marker.X || Y == Marker.Y))
                    ColorToBgra(MakeColor(255, 64, 0), Target.At(X, Y));

        TTextPaint Paint;
        Paint.Color = MakeColor(255, 255, 255);
        TTextLayout Title(TFont({.Family = "Arial", .PixelSize = 22, .Bold = true}), "Quillmoor window demo");
        DrawText(Target, Title, 176, 190, Paint);
        TTextLayout Hint(TFont({.Family = "Arial", .PixelSize = 14}),
                         "Click to move the marker, type, Escape ends.");
        DrawText(Target, Hint, 176, 222, Paint);
        Paint.Color = MakeColor(255, 220, 120);
        TTextLayout Last(TFont({.Family = "DejaVu Sans Mono", .PixelSize = 13}), Status);
        DrawText(Target, Last, 176, 250, Paint);
    }

private:
    std::vector<uint8_t> FBytes;
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
