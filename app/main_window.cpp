#include "app/main_window.h"

#include "app/dialogs/input_form.h"
#include "app/dialogs/message_form.h"
#include "app/project_opening.h"

#include "app/clipboard_keys.h"
#include "app/hint_line.h"
#include "canvas/pixels.h"
#include "canvas/text_attr.h"
#include "core/data.h"
#include "core/error.h"
#include "core/exception_report.h"
#include "core/text.h"
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
#include "toolkit/docking/dock_host.h"
#include "toolkit/docking/tool_bar.h"
#include "toolkit/docking/tool_box.h"
#include "toolkit/docking/tool_window.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace {

constexpr int32_t Gap = 4;

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

// --- TPlayerPanel

const TControlClass TPlayerPanel::Class{"TPlayerPanel", &TWidget::Class, CreateControlOf<TPlayerPanel>};

TPlayerPanel::TPlayerPanel() {
    SetBackground(TWidgetBackground::Face);
    FPlayer = &Add<TPlayerWindow>();
    FTransport = &Add<TPlayerTransport>(FPlayer);
    FTime = &Add<TPlayerTime>(FPlayer);
    FTimeBar = &Add<TPlayerTimeBar>(FPlayer);
}

bool TPlayerPanel::GetDefaultSize(int32_t& Width, int32_t& Height) {
    // Room for the transport buttons, the time and a short time bar.
    Width = (BarHeight - 4) * TPlayerTransport::ButtonCount + 160;
    Height = BarHeight + 64;
    return true;
}

void TPlayerPanel::Layout() {
    const TRect Client = ClientRect();
    const int32_t BarTop = std::max(Client.Top, Client.Bottom - BarHeight);
    FPlayer->SetBounds(TRect{Client.Left, Client.Top, Client.Right, BarTop});
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

// --- TMainDock

namespace {

// A tool window titled Caption filled by one control that stretches both
// ways.
std::unique_ptr<TToolWindow> MakeBox(const TMainFactories& Factories, std::unique_ptr<TWidget> Content,
                                     TFactory& Factory, TSize Size, const std::string& Caption) {
    std::unique_ptr<TControl> Made = Factories.ToolWindow().CreateControl();
    std::unique_ptr<TToolWindow> Box(static_cast<TToolWindow*>(Made.release()));
    Box->SetCaption(Caption);
    TWidget* Control = Box->DockNew(std::move(Content), &Factory, TRect::FromSize(0, 0, Size.Width, Size.Height));
    if (auto* Item = static_cast<TToolWindowItem*>(Box->FindItem(*Control))) {
        Item->HorzAlign = Item->VertAlign = TItemAlign::Stretch;
        Item->HorzSize = Item->VertSize = 100;
    }
    return Box;
}

// The five docks with their section names.
std::array<std::pair<std::string_view, TDock*>, 5> NamedDocks(TDockHost& Host) {
    return {{{"LeftDock", &Host.Left()},
             {"TopDock", &Host.Top()},
             {"RightDock", &Host.Right()},
             {"BottomDock", &Host.Bottom()},
             {"CenterDock", &Host.Centre()}}};
}

// Every widget of kind T in the tree under Root.
template <class T>
void Collect(TWidget& Root, std::vector<T*>& Found) {
    if (auto* Match = dynamic_cast<T*>(&Root))
        Found.push_back(Match);
    for (const auto& Child : Root.Children())
        Collect(*Child, Found);
}

// The one widget of kind T in the layout, which must sit in a tool window.
template <class T>
T* FindInToolWindow(TWidget& Host, const std::vector<std::pair<std::unique_ptr<TToolBox>, TFactory*>>& Floating) {
    std::vector<T*> Found;
    Collect(Host, Found);
    for (const auto& Box : Floating)
        Collect(*Box.first, Found);
    if (Found.size() != 1 || !dynamic_cast<TToolWindow*>(Found[0]->Parent()))
        return nullptr;
    return Found[0];
}

} // namespace

TMainDock::TMainDock(const TMainFactories& Factories) : FFactories(Factories) {
    FMessage = &Add<TMainMessage>();
    FMessage->SetVisible(false);
    FHost = &Add<TDockHost>();
    FStatus = &Add<THintLine>();
    auto Panel = std::make_unique<TPlayerPanel>();
    FPanel = Panel.get();
    auto Area = std::make_unique<TArea>();
    FTimeline = Area.get();
    FPlayerOwned = MakeBox(Factories, std::move(Panel), Factories.PlayerPanel(), {320, 240},
                           GetText(TTextSlot::PlayerToolWindowCaption));
    FTimelineOwned = MakeBox(Factories, std::move(Area), Factories.Area(), {320, TimelineMinHeight},
                             GetText(TTextSlot::TimelineToolWindowCaption));
}

TMainDock::~TMainDock() { DropFloatingBoxes(); }

TToolWindow& TMainDock::PlayerBox() const { return static_cast<TToolWindow&>(*FPanel->Parent()); }

TToolWindow& TMainDock::TimelineBox() const { return static_cast<TToolWindow&>(*FTimeline->Parent()); }

void TMainDock::DropFloatingBoxes() {
    // Collected first: freeing a box takes its docks off the list.
    std::vector<TToolBox*> Boxes;
    for (TDock* Dock : DockList().Docks())
        if (auto* Box = dynamic_cast<TToolBox*>(Dock); Box && DockList().IsFloating(*Box))
            Boxes.push_back(Box);
    for (TToolBox* Box : Boxes)
        DockList().TakeFloating(*Box).reset();
}

TTimelineDesktop* TMainDock::TimelineDesktop() const {
    return dynamic_cast<TTimelineDesktop*>(FTimeline->Desktop());
}

void TMainDock::DockBoxes() {
    TSplitDock& Centre = FHost->Centre();
    const TRect Client = Centre.ClientRect();
    const int32_t W = Client.Width(), H = Client.Height();
    if (!FPlayerOwned || W <= 0 || H <= 0)
        return;
    const int32_t TimelineHeight = std::min(std::max(H * TimelinePercent / 100, TimelineMinHeight), H / 2 + H / 4);
    Centre.DockNew(std::move(FPlayerOwned), &FFactories.ToolWindow(), {0, 0, W, H});
    Centre.DockNew(std::move(FTimelineOwned), &FFactories.ToolWindow(), {0, H - TimelineHeight, W, H});
}

void TMainDock::Layout() {
    TRect Client = ClientRect();
    int32_t StatusHeight = std::min(THintLine::LineHeight(), Client.Height());
    FStatus->SetBounds(TRect{Client.Left, Client.Bottom - StatusHeight, Client.Right, Client.Bottom});
    Client.Bottom -= StatusHeight;
    int32_t Top = Client.Top;
    if (FMessage->IsVisible()) {
        int32_t Height = FMessage->HeightFor(Client.Width());
        FMessage->SetBounds(TRect{Client.Left, Top, Client.Right, Top + Height});
        Top += Height;
    }
    FHost->SetBounds(TRect{Client.Left, Top, Client.Right, Client.Bottom});
    FHost->Layout();
    if (FPlayerOwned) {
        DockBoxes();
        FHost->Layout();
    }
}

void TMainDock::WriteDefaultLayout(TData& Data, int32_t Width, int32_t Height) {
    TMainFactories Factories(DockList().Factories());
    TMainDock Dock(Factories);
    Dock.SetBounds(TRect::FromSize(0, 0, Width, Height));
    Dock.Layout();
    Dock.WriteLayout(Data);
}

void TMainDock::ReadLayout(TData& Data) {
    auto Pending = std::make_unique<TPendingLayout>();
    Pending->Host = std::make_unique<TDockHost>();
    for (auto [Name, Dock] : NamedDocks(*Pending->Host))
        if (Data.Exists(Name)) {
            TDataSection Section(Data, Name);
            Dock->LoadControl(Data);
        }
    const std::pair<std::string_view, TFactory*> Kinds[] = {{"ToolBar[", &FFactories.ToolBar()},
                                                             {"ToolWindow[", &FFactories.ToolWindow()}};
    for (auto [Prefix, Factory] : Kinds)
        for (int32_t I = 0; I < MaxFloatingBoxes && Data.Exists(ListItemName(Prefix, I)); ++I) {
            std::unique_ptr<TControl> Made = Factory->CreateControl();
            std::unique_ptr<TToolBox> Box(dynamic_cast<TToolBox*>(Made.get()));
            if (!Box)
                continue;
            Made.release();
            TDataSection Section(Data, ListItemName(Prefix, I));
            Factory->LoadControl(*Box, Data);
            Pending->Floating.emplace_back(std::move(Box), Factory);
        }
    Pending->Panel = FindInToolWindow<TPlayerPanel>(*Pending->Host, Pending->Floating);
    Pending->Timeline = FindInToolWindow<TArea>(*Pending->Host, Pending->Floating);
    if (!Pending->Panel || !Pending->Timeline)
        RaiseError(GetText(TTextSlot::LayoutLacksPanels));
    FPending = std::move(Pending);
}

void TMainDock::DiscardLayout() { FPending.reset(); }

void TMainDock::ApplyLayout() {
    if (!FPending)
        return;
    std::unique_ptr<TPendingLayout> Pending = std::move(FPending);
    // The current layout goes: its floating boxes, the default boxes not
    // docked yet, then its docks.
    DropFloatingBoxes();
    FPlayerOwned.reset();
    FTimelineOwned.reset();
    std::unique_ptr<TWidget> Old = RemoveChild(*FHost);
    FHost = &static_cast<TDockHost&>(AddChild(std::move(Pending->Host)));
    FPanel = Pending->Panel;
    FTimeline = Pending->Timeline;
    Old.reset();
    for (auto [Name, Dock] : NamedDocks(*FHost))
        Dock->Loaded();
    for (auto& [Box, Factory] : Pending->Floating) {
        TToolBox& Floated = *Box;
        const TRect At = Floated.AroundRect();
        const TFloatShow Show = Floated.StoredVisible() ? TFloatShow::Shown : TFloatShow::Hidden;
        DockList().Float(std::move(Box), At, Show);
        Factory->Loaded(Floated);
    }
    RequestLayout();
}

void TMainDock::WriteLayout(TData& Data) {
    for (auto [Name, Dock] : NamedDocks(*FHost)) {
        TDataSection Section(Data, Name);
        Dock->SaveControl(Data);
    }
    // The floating tool boxes, numbered from 0 in the order of the list.
    int32_t Bars = 0, Windows = 0;
    for (TDock* Dock : DockList().Docks()) {
        auto* Box = dynamic_cast<TToolBox*>(Dock);
        if (!Box || !DockList().IsFloating(*Box))
            continue;
        Box->ReadBack(TDock::ReadBackAround | TDock::ReadBackVisible);
        const bool IsWindow = dynamic_cast<TToolWindow*>(Box) != nullptr;
        TFactory& Factory = IsWindow ? static_cast<TFactory&>(FFactories.ToolWindow()) : FFactories.ToolBar();
        TDataSection Section(Data, IsWindow ? ListItemName("ToolWindow[", Windows++) : ListItemName("ToolBar[", Bars++));
        Factory.SaveControl(*Box, Data);
    }
}

// --- TMainWindow

TMainWindow::TMainWindow(TWindowSystem& System, TProject& Project)
    : FSystem(System), FProject(Project), FTimelineClass(std::make_unique<TTimelineDesktopClass>(Project)),
      FFactories(DockList().Factories()), FDock(std::make_unique<TMainDock>(FFactories)),
      FSaving(System, Project, {}) {
    // Every area, the main dock's timeline among them, shows the project.
    Areas().SetDesktopClass(FTimelineClass.get());
    TWindowOptions Options;
    Options.Kind = TWindowKind::Main;
    Options.Title = Title();
    TRect Work = System.DesktopWorkArea();
    Options.Bounds = TRect::FromSize(Work.Left + (Work.Width() - DesignWidth) / 2,
                                     Work.Top + (Work.Height() - DesignHeight) / 2, DesignWidth, DesignHeight);
    FWindow = std::make_unique<TWidgetWindow>(System, *FDock, Options);
    // Tool windows float above this window.
    DockList().SetSystem(&System);
    DockList().SetMainWindow(&FWindow->Native());
    FWindow->SetShortcutHook([this](const TWidgetKeyEvent& Event) {
        if (Event.Key == KeySpace && (Event.ShortCut & ShortCutModifiers) == 0) {
            Dock().Player().PlayPause();
            return true;
        }
        if (Event.Key == KeyEnter && (Event.ShortCut & ShortCutModifiers) == ShortCutAlt) {
            TPlayerWindow::ToggleFullScreen();
            return true;
        }
        return HandleEditingKey(Event.Key, Event.ShortCut);
    });
    // Errors of user actions that must not propagate (a file refused by a
    // drop) show on the message line.
    SetExceptionReportHandler([this](const std::exception& Error) { ShowMessage(Error.what()); });
    // The window sees Escape and the close request before its controls.
    FWindowFilter = System.AddEventFilter(TFilterPlace::Last, [this](const TEvent& Event) {
        TNativeWindow* Main = &FWindow->Native();
        if (const auto* Key = std::get_if<TKeyEvent>(&Event)) {
            if (Key->Window == Main && Key->Kind == TKeyEventKind::Down && Key->Key == KeyEscape &&
                (Key->ShortCut & ShortCutModifiers) == 0)
                return HandleEscape();
        } else if (const auto* Window = std::get_if<TWindowEvent>(&Event)) {
            if (Window->Window == Main && Window->Kind == TWindowEventKind::CloseRequest) {
                RequestClose();
                return true;
            }
        } else if (std::holds_alternative<TQuitEvent>(Event)) {
            // A quit comes from a signal (the session ending, Ctrl+C in a
            // terminal): nobody is there to answer a question.
            Close();
        }
        return false;
    });
    FDesktop.SetLayout(FDock.get());
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
    FWindowFilter.Reset();
    SetExceptionReportHandler(nullptr);
    ReleasePlayers();
    FDock->DropFloatingBoxes();
    if (DockList().MainWindow() == &FWindow->Native()) {
        DockList().SetMainWindow(nullptr);
        DockList().SetSystem(nullptr);
    }
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
            if (!FSaveFile.empty() && IsSameFile(LoadFile, FSaveFile))
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
    const TPlayerWindow* Before = &Dock().Player();
    FDesktop.Load(FileName, Scope, Placement());
    // A new layout brings a new player: it shows the project too.
    if (&Dock().Player() != Before && FWindow->Native().IsVisible())
        ShowProjectIn(Dock().Player());
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

namespace {

// A save that failed, in a dialog: the project keeps its changes.
void ReportNotSaved(TWindowSystem& System, const std::exception& Error) {
    MessageDialog(System, FormatMessageText(GetText(TTextSlot::ProjectNotSaved), Error.what()), TMessageKind::Error,
                  MessageButton(TMessageButton::Ok), 0);
}

} // namespace

void TMainWindow::RequestClose() {
    // A failed save keeps the window open: the changes are still only here.
    if (ConfirmSaveReporting())
        Close();
}

bool TMainWindow::ConfirmSaveReporting() {
    try {
        return FSaving.ConfirmSave();
    } catch (const std::exception& Error) {
        ReportNotSaved(FSystem, Error);
        return false;
    }
}

void TMainWindow::Close() {
    FClosed = true;
}

void TMainWindow::NewProject() {
    if (FProject.Changes().UpdateCount() > 0 || !ConfirmSaveReporting())
        return;
    ShowMessage("");
    FProject.New();
}

void TMainWindow::OpenProject() {
    if (FProject.Changes().UpdateCount() > 0 || !ConfirmSaveReporting())
        return;
    std::string Text = FSaving.ProposalFolder();
    if (!TInputForm().Execute(FSystem, GetText(TTextSlot::OpenProjectCaption), GetText(TTextSlot::OpenProjectPrompt),
                              Text))
        return;
    std::string FileName = FSaving.ResolveFileName(Text);
    if (FileName.empty())
        return;
    std::error_code Error;
    if (!std::filesystem::is_regular_file(FileName, Error)) {
        MessageDialog(FSystem, FormatMessageText(GetText(TTextSlot::ProjectFileMissing), FileName),
                      TMessageKind::Error, MessageButton(TMessageButton::Ok), 0);
        return;
    }
    ShowMessage("");
    ReportProjectOpened(*this, OpenProjectFile(FProject, FileName, TFailedOpen::KeepsProject));
}

bool TMainWindow::SaveFromKey(bool AsNew) {
    try {
        return AsNew ? FSaving.SaveProjectAs() : FSaving.SaveProject();
    } catch (const std::exception& Error) {
        ReportNotSaved(FSystem, Error);
        return false;
    }
}

void TMainWindow::ReleasePlayers() {
    for (TPlayerWindow* Player : PlayerWindows().Windows())
        Player->Detach();
}

bool TMainWindow::HandleEscape() {
    if (ToolBoxes().Customizing()) {
        ToolBoxes().SetCustomizing(false);
        return true;
    }
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
    // A drag in progress holds the project: no saving, undo or redo under it.
    const bool Free = !FProject.Tracking();
    if (Key == KeyA + ('N' - 'A') && Modifiers == ShortCutCtrl) {
        if (Free)
            NewProject();
        return true;
    }
    if (Key == KeyA + ('O' - 'A') && Modifiers == ShortCutCtrl) {
        if (Free)
            OpenProject();
        return true;
    }
    constexpr uint8_t KeyF2 = KeyF1 + 1;
    if ((Key == KeyA + ('S' - 'A') && Modifiers == ShortCutCtrl) || (Key == KeyF2 && Modifiers == 0) ||
        (Key == KeyF2 && Modifiers == ShortCutAlt)) {
        if (Free)
            SaveFromKey(Key == KeyF2 && Modifiers == ShortCutAlt);
        return true;
    }
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
    if (HasAny(Flags, ProjectChangeFileName))
        UpdateTitle();
    if (FSynchronising && !Any(Flags & ~ProjectChangePosition))
        return;
    TPlayerWindow* Player = CoupledPlayer();
    if (!Player)
        return;
    bool Content = HasAny(Flags, ProjectChangeReloadsPlayer);
    bool Moved = HasAny(Flags, ProjectChangePosition);
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
