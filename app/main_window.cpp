#include "app/main_window.h"

#include "app/clipboard_keys.h"
#include "core/text.h"
#include "core/exception_report.h"
#include "core/text_table.h"
#include "editors/timeline_desktop.h"
#include "platform/clipboard.h"
#include "platform/keys.h"
#include "playback/player_time.h"
#include "playback/player_window.h"
#include "playback/player_windows.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/undo_history.h"
#include "render/timeline.h"
#include "toolkit/pixels.h"
#include "toolkit/skin_colors.h"
#include "toolkit/text_attr.h"
#include "toolkit/widget_window.h"

#include <algorithm>
#include <filesystem>

namespace {

// Changes of the project's content (not of the selection, the position, the
// file name or the end of a drag): the preview must be reloaded.
constexpr uint32_t ContentChangeBits = 0xFEFEF7CF;

constexpr int32_t Gap = 4;

bool Has(TProjectChangeFlags Flags, TProjectChangeFlags Bits) {
    return (uint32_t(Flags) & uint32_t(Bits)) != 0;
}

} // namespace

// --- TMainMessage

void TMainMessage::SetText(std::string Text) {
    if (Text == FText)
        return;
    FText = std::move(Text);
    SetVisible(!FText.empty());
    if (Parent())
        Parent()->RequestLayout();
    Invalidate();
}

std::vector<std::string> TMainMessage::Lines(int32_t Width) const {
    const TTextAttr& Font = SkinColors().MessageFont;
    std::vector<std::string> Result;
    std::string Line;
    size_t Start = 0;
    while (Start < FText.size()) {
        size_t End = FText.find(' ', Start);
        std::string Word = FText.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
        Start = End == std::string::npos ? FText.size() : End + 1;
        std::string Longer = Line.empty() ? Word : Line + " " + Word;
        if (!Line.empty() && TextExtent(Longer, Font).Right > Width - 2 * TextMargin) {
            Result.push_back(Line);
            Line = Word;
        } else {
            Line = Longer;
        }
    }
    if (!Line.empty())
        Result.push_back(Line);
    return Result;
}

int32_t TMainMessage::HeightFor(int32_t Width) const {
    TTextInfo Info;
    MeasureText("Ag", SkinColors().MessageFont, TTextMode::Plain, Info);
    return int32_t(Lines(Width).size()) * Info.LineHeight + 2 * TextMargin;
}

void TMainMessage::Paint(TPixels& Pixels) {
    const TSkinColors& Skin = SkinColors();
    TRect Client{0, 0, Width(), Height()};
    Pixels.FillRect(Client, AlphaColor(Skin.FaceColor, 255));
    Pixels.FillRect(TRect{0, Height() - 1, Width(), Height()}, AlphaColor(Skin.ShadowColor, 255));
    const TTextAttr& Font = Skin.MessageFont;
    TTextInfo Info;
    MeasureText("Ag", Font, TTextMode::Plain, Info);
    int32_t Y = TextMargin;
    for (const std::string& Line : Lines(Width())) {
        Pixels.DrawText(TextMargin, Y, TSmooth::Yes, AlphaColor(Skin.TextColor, 255), Font, Line);
        Y += Info.LineHeight;
    }
}

// --- TMainDock

TMainDock::TMainDock() {
    FMessage = &Add<TMainMessage>();
    FMessage->SetVisible(false);
    FPlayer = &Add<TPlayerWindow>();
    FTransport = &Add<TPlayerTransport>(FPlayer);
    FTime = &Add<TPlayerTime>(FPlayer);
    FTimeBar = &Add<TPlayerTimeBar>(FPlayer);
    FTimeline = &Add<TArea>();
}

TTimelineDesktop* TMainDock::TimelineDesktop() const {
    return dynamic_cast<TTimelineDesktop*>(FTimeline->Desktop());
}

void TMainDock::Layout() {
    TRect Client = ClientRect();
    int32_t Top = Client.Top;
    if (FMessage->IsVisible()) {
        int32_t Height = FMessage->HeightFor(Client.Width());
        FMessage->SetBounds(TRect{Client.Left, Top, Client.Right, Top + Height});
        Top += Height;
    }
    // The timeline takes the lower part, the player and its bar the rest.
    int32_t TimelineHeight = std::min(std::max(Client.Height() * TimelinePercent / 100, TimelineMinHeight),
                                      std::max(0, Client.Bottom - Top - BarHeight));
    int32_t TimelineTop = Client.Bottom - TimelineHeight;
    FTimeline->SetBounds(TRect{Client.Left, TimelineTop, Client.Right, Client.Bottom});
    int32_t BarTop = std::max(Top, TimelineTop - BarHeight);
    FPlayer->SetBounds(TRect{Client.Left, Top, Client.Right, BarTop});
    // The bar: the six transport buttons, the time display and the time bar
    // taking the rest, each a few pixels from its neighbours.
    int32_t Inner = BarHeight - 2 * 2;
    int32_t X = Client.Left + Gap;
    int32_t Y = BarTop + 2;
    FTransport->SetBounds(TRect::FromSize(X, Y, Inner * TPlayerTransport::ButtonCount, Inner));
    X += Inner * TPlayerTransport::ButtonCount + Gap;
    // Wide enough for the longest usual time text, whatever the skin size.
    int32_t TimeWidth = TextExtent("00:00.00", FTime->Font()).Width() + 2 * Gap;
    FTime->SetBounds(TRect::FromSize(X, Y, TimeWidth, Inner));
    X += TimeWidth + Gap;
    FTimeBar->SetBounds(TRect{X, Y, std::max(X, Client.Right - Gap), Y + Inner});
}

// --- TMainWindow

TMainWindow::TMainWindow(TWindowSystem& System, TProject& Project)
    : FSystem(System), FProject(Project), FTimelineClass(std::make_unique<TTimelineDesktopClass>(Project)),
      FDock(std::make_unique<TMainDock>()) {
    // Every area, the main dock's timeline among them, shows the project.
    Areas().SetDesktopClass(FTimelineClass.get());
    TWindowOptions Options;
    Options.Kind = TWindowKind::Main;
    Options.Title = Title();
    TRect Work = System.DesktopWorkArea();
    Options.Bounds = TRect::FromSize(Work.Left + (Work.Width() - DesignWidth) / 2,
                                     Work.Top + (Work.Height() - DesignHeight) / 2, DesignWidth, DesignHeight);
    FWindow = std::make_unique<TWidgetWindow>(System, *FDock, Options);
    FWindow->SetShortcutHook([this](const TWidgetKeyEvent& Event) {
        if (Event.Key == KeySpace && (Event.ShortCut & ShortCutModifiers) == 0) {
            Dock().Player().PlayPause();
            return true;
        }
        return HandleEditingKey(Event.Key, Event.ShortCut);
    });
    // Errors of user actions that must not propagate (a file refused by a
    // drop) show on the message line.
    SetExceptionReportHandler([this](const std::exception& Error) { ShowMessage(Error.what()); });
    // The window sees Escape and the close request before its controls.
    FPreviousFilter = System.EventFilter();
    System.SetEventFilter([this, Previous = FPreviousFilter](const TEvent& Event) {
        if (Previous && Previous(Event))
            return true;
        TNativeWindow* Main = &FWindow->Native();
        if (const auto* Key = std::get_if<TKeyEvent>(&Event)) {
            if (Key->Window == Main && Key->Kind == TKeyEventKind::Down && Key->Key == KeyEscape &&
                (Key->ShortCut & ShortCutModifiers) == 0)
                return HandleEscape();
        } else if (const auto* Window = std::get_if<TWindowEvent>(&Event)) {
            if (Window->Window == Main && Window->Kind == TWindowEventKind::CloseRequest) {
                Close();
                return true;
            }
        } else if (std::holds_alternative<TQuitEvent>(Event)) {
            Close();
        }
        return false;
    });
    FProject.Changes().AddChangeHandler(MakeDelegate<&TMainWindow::ProjectChanged>(this));
    PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TMainWindow::PlayersChanged>(this));
}

TMainWindow::~TMainWindow() {
    if (!FSaveFile.empty() && IsWritableOrMissing(FSaveFile)) {
        try {
            SaveDesktop(FSaveFile, TDesktopScope::Full);
        } catch (const std::exception&) {
            // A desktop that cannot be stored at exit is given up: there is
            // no window left to report it in.
        }
    }
    PlayerWindows().Changes().RemoveChangeHandler(MakeDelegate<&TMainWindow::PlayersChanged>(this));
    FProject.Changes().RemoveChangeHandler(MakeDelegate<&TMainWindow::ProjectChanged>(this));
    FSystem.SetEventFilter(FPreviousFilter);
    SetExceptionReportHandler(nullptr);
    ReleasePlayers();
    FWindow.reset();
    FDock.reset();
    if (Areas().DesktopClass() == FTimelineClass.get())
        Areas().SetDesktopClass(nullptr);
}

void TMainWindow::Start(const std::string& LoadFile, const std::string& SaveFile) {
    FSaveFile = SaveFile;
    std::error_code Error;
    if (!LoadFile.empty() && std::filesystem::exists(LoadFile, Error)) {
        try {
            LoadDesktop(LoadFile, TDesktopScope::Full);
        } catch (const std::exception& Failure) {
            // The user's file is kept: the layout of this session is not
            // stored over it.
            if (LoadFile == FSaveFile)
                FSaveFile.clear();
            std::string Text = FormatMessageText(GetText(TTextSlot::DesktopNotLoaded), LoadFile);
            ShowMessage(FormatMessageText(Text, Failure.what()));
        }
    }
    UpdateTitle();
    FWindow->Show(TActivate::Yes);
    ShowProjectIn(Dock().Player());
}

void TMainWindow::LoadDesktop(const std::string& FileName, TDesktopScope Scope) {
    FDesktop.Load(FileName, Scope, Placement());
    const TWindowPlacement& Stored = FDesktop.Placement();
    TNativeWindow& Native = FWindow->Native();
    if (Stored.BoundsRect)
        Native.SetNormalBounds(FitRectOnDesktop(*Stored.BoundsRect, FSystem.DesktopBounds()));
    if (Stored.IsMaximized)
        Native.Maximize();
    else if (Native.State() == TWindowState::Maximized)
        Native.Restore();
    FAltLayoutIsMaximized = Stored.AltLayoutIsMaximized;
}

void TMainWindow::SaveDesktop(const std::string& FileName, TDesktopScope Scope) const {
    FDesktop.Save(FileName, Scope, Placement());
}

TWindowPlacement TMainWindow::Placement() const {
    TWindowPlacement Result;
    TNativeWindow& Native = FWindow->Native();
    Result.BoundsRect = Native.NormalBounds();
    Result.IsMaximized = Native.State() == TWindowState::Maximized;
    Result.AltLayoutIsMaximized = FAltLayoutIsMaximized;
    return Result;
}

void TMainWindow::ShowMessage(const std::string& Text) {
    Dock().Message().SetText(Text);
}

std::string TMainWindow::Title() const {
    std::string Application = FormatMessageText(GetText(TTextSlot::ApplicationName), "");
    const std::string& FileName = FProject.FileName();
    if (!FileName.empty()) {
        std::filesystem::path Path(FileName);
        std::string Name = Path.filename().string();
        if (SameTextAscii(Path.extension().string(), GetText(TTextSlot::ProjectFileExtension)))
            Name = Path.stem().string();
        return Name + " - " + Application;
    }
    const std::string& Untitled = GetText(TTextSlot::UntitledProject);
    return Untitled.empty() ? Application : Untitled + "-" + Application;
}

void TMainWindow::UpdateTitle() {
    FWindow->Native().SetTitle(Title());
}

void TMainWindow::Close() {
    FClosed = true;
}

void TMainWindow::ReleasePlayers() {
    for (TPlayerWindow* Player : PlayerWindows().Windows())
        Player->Detach();
}

bool TMainWindow::HandleEscape() {
    std::vector<TPlayerWindow*> Players = PlayerWindows().Windows();
    bool FullScreen = std::any_of(Players.begin(), Players.end(),
                                  [](TPlayerWindow* Player) { return Player->IsFullScreen(); });
    if (FullScreen) {
        TPlayerWindow::ToggleFullScreen();
        return true;
    }
    bool Playing = false;
    for (TPlayerWindow* Player : Players)
        if (Player->IsPlaying()) {
            Player->Halt();
            Playing = true;
        }
    if (Playing)
        return true;
    // The focus goes back to the window itself.
    if (!FWindow->Focused())
        return false;
    FWindow->SetFocused(nullptr);
    return true;
}

bool TMainWindow::HandleEditingKey(uint8_t Key, uint16_t ShortCut) {
    const uint16_t Modifiers = ShortCut & ShortCutModifiers;
    // A drag in progress holds the project: no undo or redo under it.
    const bool Free = !FProject.Tracking();
    if ((Key == KeyA + ('Z' - 'A') && Modifiers == ShortCutCtrl)) {
        if (Free && UndoHistory().CanUndo())
            UndoHistory().Undo();
        return true;
    }
    if ((Key == KeyA + ('Y' - 'A') && Modifiers == ShortCutCtrl) ||
        (Key == KeyA + ('Z' - 'A') && Modifiers == (ShortCutCtrl | ShortCutShift))) {
        if (Free && UndoHistory().CanRedo())
            UndoHistory().Redo();
        return true;
    }
    if (HandleClipboardKey(FProject, ApplicationClipboard(), Key, Modifiers))
        return true;
    if (TTimelineDesktop* Timeline = Dock().TimelineDesktop())
        return Timeline->HandleKey(Key, Modifiers);
    return false;
}

TPlayerWindow* TMainWindow::CoupledPlayer() const {
    const std::vector<TPlayerWindow*>& Players = PlayerWindows().Windows();
    for (TPlayerWindow* Player : Players)
        if (Player->ProjectTimeline() == &FProject.Timeline() &&
            Player->PlayerObject() == &FProject.Timeline())
            return Player;
    for (TPlayerWindow* Player : Players)
        if (Player->Window() && Player->IsShowing() && Player->IsEnabledInTree())
            return Player;
    return nullptr;
}

void TMainWindow::ShowProjectIn(TPlayerWindow& Player) {
    FPlayerStale = false;
    bool Was = FSynchronising;
    FSynchronising = true;
    try {
        Player.ShowProject(FProject.Timeline(), FProject.Position());
    } catch (...) {
        FSynchronising = Was;
        throw;
    }
    FSynchronising = Was;
}

void TMainWindow::ProjectChanged(TObject*, TProjectChangeFlags Flags) {
    if (Has(Flags, ProjectChangeFileName))
        UpdateTitle();
    if (FSynchronising && (uint32_t(Flags) & ~uint32_t(ProjectChangePosition)) == 0)
        return;
    TPlayerWindow* Player = CoupledPlayer();
    if (!Player)
        return;
    bool Content = (uint32_t(Flags) & ContentChangeBits) != 0;
    bool Moved = Has(Flags, ProjectChangePosition);
    auto Follow = [&] {
        bool Was = FSynchronising;
        FSynchronising = true;
        Player->SeekTo(FProject.Position() - Player->RangeStart());
        FSynchronising = Was;
    };
    if (Player->PlayerObject() != &FProject.Timeline()) {
        ShowProjectIn(*Player);
    } else if (FProject.Tracking()) {
        if (Content) {
            FPlayerStale = true;
            if (Player->IsPlaying())
                Player->Halt();
        } else if (Moved) {
            Follow();
        }
    } else if (FPlayerStale || Content) {
        ShowProjectIn(*Player);
    } else if (!FSynchronising && Moved) {
        Follow();
    }
}

void TMainWindow::PlayersChanged(TObject*, TPlayerChangeFlags) {
    if (FSynchronising)
        return;
    for (TPlayerWindow* Player : PlayerWindows().Windows()) {
        if (Player->PlayerObject() != &FProject.Timeline() || !Player->HasSourceAndRange())
            continue;
        FSynchronising = true;
        FProject.SetPosition(Player->Position() + Player->RangeStart());
        FSynchronising = false;
        return;
    }
}
