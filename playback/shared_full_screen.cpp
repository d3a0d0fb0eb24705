#include "playback/shared_full_screen.h"

#include "commands/command_list.h"
#include "platform/keys.h"
#include "playback/player_commands.h"
#include "playback/player_window.h"
#include "toolkit/widgets/widget_window.h"

namespace {

std::unique_ptr<TSharedFullScreen>& SharedInstance() {
    static std::unique_ptr<TSharedFullScreen> Instance;
    return Instance;
}

} // namespace

TSharedFullScreen::TSharedFullScreen(TWindowSystem& System) : FSystem(System) {
    SetBackground(TWidgetBackground::None);
    SetTabStop(true);
    TWindowOptions Options;
    Options.Kind = TWindowKind::Popup;
    Options.Title = "Quillmoor";
    Options.Bounds = System.DesktopBounds();
    FHost = std::make_unique<TWidgetWindow>(System, *this, Options);
}

TSharedFullScreen::~TSharedFullScreen() {
    FHost.reset();
}

TSharedFullScreen& TSharedFullScreen::Get(TWindowSystem& System) {
    auto& Instance = SharedInstance();
    if (Instance && &Instance->FSystem != &System)
        Instance.reset();
    if (!Instance)
        Instance = std::make_unique<TSharedFullScreen>(System);
    return *Instance;
}

TSharedFullScreen* TSharedFullScreen::Existing() {
    return SharedInstance().get();
}

void TSharedFullScreen::Free() {
    SharedInstance().reset();
}

void TSharedFullScreen::ShowFor(TPlayerWindow& Source) {
    FSource = &Source;
    TRect Screen = Source.ScreenRect();
    TPoint Centre{Screen.Left + Screen.Width() / 2, Screen.Top + Screen.Height() / 2};
    FHost->Native().SetBounds(FSystem.DisplayAt(Centre).Bounds);
    FHost->Show(TActivate::Yes);
    SetFocus();
    Invalidate();
}

void TSharedFullScreen::HideFor(TPlayerWindow& Source) {
    if (FSource != &Source)
        return;
    FSource = nullptr;
    FHost->Hide();
}

void TSharedFullScreen::Layout() {
    if (FSource)
        FSource->UpdateFrameSize();
}

void TSharedFullScreen::Paint(TPixels& Pixels) {
    if (FSource)
        FSource->PaintVideo(Pixels, ClientRect());
    else
        Pixels.FillRect(ClientRect(), MakeColor(0, 0, 0));
}

void TSharedFullScreen::KeyDown(TWidgetKeyEvent& Event) {
    if (Event.Key == KeyEscape && (Event.ShortCut & ShortCutModifiers) == 0) {
        Event.Accept();
        TPlayerWindow::ToggleFullScreen();
        return;
    }
    // The other keys work as in the window the video came from: the player
    // commands run on that window.
    if (FSource && RunPlayerKey(CommandList(), *FSource, Event.ShortCut))
        Event.Accept();
}
