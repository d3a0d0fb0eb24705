#pragma once

#include "app/desktop_file.h"
#include "app/main_factories.h"
#include "app/project_saving.h"
#include "core/object.h"
#include "platform/window/window_events.h"
#include "platform/window/window_system.h"
#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TArea;
class TDockHost;
class THintLine;
class TToolBox;
class TToolWindow;
class TPlayerTime;
class TPlayerTimeBar;
class TPlayerTransport;
class TPlayerWindow;
class TProject;
class TTimelineDesktop;
class TTimelineDesktopClass;
class TWidgetWindow;
class TWindowSystem;
enum class TPlayerChangeFlags : uint32_t;
enum class TProjectChangeFlags : uint32_t;

// A line of text across the main window: what went wrong at start (a file
// that is not a project, a desktop file that could not be read). Hidden
// while it has no text.
class TMainMessage : public TWidget {
public:
    static constexpr int32_t TextMargin = 4;
    std::string_view ClassName() const override { return "TMainMessage"; }
    const std::string& Text() const { return FText; }
    void SetText(std::string Text);
    // The text broken at blanks into lines that fit Width, and the height
    // they need.
    std::vector<std::string> Lines(int32_t Width) const;
    int32_t HeightFor(int32_t Width) const;
    void Paint(TPixels& Pixels) override;

private:
    std::string FText;
};

// The preview of the project: a player window with its transport buttons,
// time display and time bar below it.
class TPlayerPanel : public TWidget {
public:
    static const TControlClass Class;
    static constexpr int32_t BarHeight = 28;

    TPlayerPanel();
    std::string_view ClassName() const override { return "TPlayerPanel"; }
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;

    TPlayerWindow& Player() const { return *FPlayer; }
    TPlayerTransport& Transport() const { return *FTransport; }
    TPlayerTime& Time() const { return *FTime; }
    TPlayerTimeBar& TimeBar() const { return *FTimeBar; }

    void Layout() override;

private:
    TPlayerWindow* FPlayer;
    TPlayerTransport* FTransport;
    TPlayerTime* FTime;
    TPlayerTimeBar* FTimeBar;
};

// The main window's client area: the message line above the five docks.
// By default the centre split dock holds two tool windows, the player above
// and the timeline editor below, sized against each other with the
// splitter between them and each floatable by its title. A stored layout
// replaces the docks and floating tool boxes whole; it must hold the
// player panel and the timeline's area, each in a tool window.
class TMainDock : public TWidget, public TDesktopLayout {
public:
    static constexpr int32_t BarHeight = TPlayerPanel::BarHeight;
    // Floating tool boxes read from one document, at most.
    static constexpr int32_t MaxFloatingBoxes = 64;

    explicit TMainDock(const TMainFactories& Factories);
    ~TMainDock() override;
    std::string_view ClassName() const override { return "TMainDock"; }

    TDockHost& Host() const { return *FHost; }
    // The tool windows holding the player panel and the timeline.
    TToolWindow& PlayerBox() const;
    TToolWindow& TimelineBox() const;
    TPlayerPanel& Panel() const { return *FPanel; }
    TPlayerWindow& Player() const { return FPanel->Player(); }
    TPlayerTransport& Transport() const { return FPanel->Transport(); }
    TPlayerTime& Time() const { return FPanel->Time(); }
    TPlayerTimeBar& TimeBar() const { return FPanel->TimeBar(); }
    TMainMessage& Message() const { return *FMessage; }
    // The status line along the foot, showing the current hint.
    THintLine& Status() const { return *FStatus; }
    TArea& Timeline() const { return *FTimeline; }
    // The timeline editor's desktop, or null until the application has
    // registered its desktop class.
    TTimelineDesktop* TimelineDesktop() const;

    // The share of the height the timeline takes at first.
    static constexpr int32_t TimelinePercent = 45;
    static constexpr int32_t TimelineMinHeight = 120;

    void Layout() override;
    // Frees every floating tool box (they belong to the dock list, with
    // their windows, and must go while the window system is there).
    void DropFloatingBoxes();

    // Writes the layout a first start shows (player above, timeline below,
    // in a client area of Width x Height) into the current section, as
    // WriteLayout does.
    static void WriteDefaultLayout(TData& Data, int32_t Width, int32_t Height);

    // The stored layout.
    void ReadLayout(TData& Data) override;
    void ApplyLayout() override;
    void DiscardLayout() override;
    void WriteLayout(TData& Data) override;

private:
    // A layout read and not yet shown.
    struct TPendingLayout {
        std::unique_ptr<TDockHost> Host;
        std::vector<std::pair<std::unique_ptr<TToolBox>, TFactory*>> Floating;
        TPlayerPanel* Panel = nullptr;
        TArea* Timeline = nullptr;
    };
    // Puts the two tool windows into the centre dock once it has a size.
    void DockBoxes();
    const TMainFactories& FFactories;
    TMainMessage* FMessage;
    TDockHost* FHost;
    THintLine* FStatus;
    TPlayerPanel* FPanel;
    TArea* FTimeline;
    std::unique_ptr<TToolWindow> FPlayerOwned;
    std::unique_ptr<TToolWindow> FTimelineOwned;
    std::unique_ptr<TPendingLayout> FPending;
};

// The main window: a framed, resizable window whose client area is the
// main dock, titled after the project file. It keeps the preview in step
// with the project (a change of the project reloads or moves the player; the
// player's position becomes the project's), claims Escape (design mode, then
// full screen, then playback, then the focus), plays and pauses with Space, and stores its
// placement in the desktop file at exit unless that file could not be read
// at start or is read-only.
//
//   TMainWindow Main(System, *Project);
//   Main.Start(DesktopFile, Folders.Config + "Desktop.cfg");
//   System.RunLoop([&] { return Main.IsClosed(); });
//   Main.ReleasePlayers();
class TMainWindow : public TObject {
public:
    // The size of the client area without a stored placement.
    static constexpr int32_t DesignWidth = 900;
    static constexpr int32_t DesignHeight = 620;

    TMainWindow(TWindowSystem& System, TProject& Project);
    // Stores the desktop when Start named a file to store it in.
    ~TMainWindow() override;
    std::string_view ClassName() const override { return "TMainWindow"; }

    TWidgetWindow& Window() const { return *FWindow; }
    TMainDock& Dock() const { return *FDock; }
    TProject& Project() const { return FProject; }

    // Loads LoadFile when it exists (else centres the window), shows the
    // window and shows the project in the player. SaveFile is where the
    // desktop goes at exit; empty stores nothing.
    void Start(const std::string& LoadFile, const std::string& SaveFile);
    // Reads a desktop file and applies it. Raises EError, changing nothing,
    // when the file cannot be read.
    void LoadDesktop(const std::string& FileName, TDesktopScope Scope);
    void SaveDesktop(const std::string& FileName, TDesktopScope Scope) const;
    // The window's placement as the desktop file stores it.
    TWindowPlacement Placement() const;
    // Where the desktop is stored at exit (empty: nowhere).
    const std::string& DesktopSaveFile() const { return FSaveFile; }
    // The desktop document this window loads and stores (the start-up code
    // binds the file history to it).
    TDesktopFile& DesktopFile() { return FDesktop; }

    // Shows Text on the message line (empty hides it).
    void ShowMessage(const std::string& Text);

    // "name - Quillmoor" for a project file, else the untitled form.
    std::string Title() const;
    void UpdateTitle();

    // The close button: asks whether to save a changed project (a failed
    // save is reported) and closes unless the user cancelled or the save
    // failed.
    void RequestClose();
    // Closes without a question (the program is told to quit).
    void Close();
    bool IsClosed() const { return FClosed; }
    // After the loop: every player lets go of what it shows (its engine
    // threads stop).
    void ReleasePlayers();

    // The save question and saving, for the keys and the close button.
    TProjectSaving& Saving() { return FSaving; }
    // Saves as Ctrl+S and F2 do (Alt+F2: under a new name), reporting a
    // failed save in a message; true when the project was saved.
    bool SaveFromKey(bool AsNew);
    // The save question before the project is given up, reporting a failed
    // save in a message; true when the project may go.
    bool ConfirmSaveReporting();
    // Ctrl+N: a new project in the default layout, once the save question
    // lets the current one go.
    void NewProject();
    // Ctrl+O: once the save question lets the current project go, asks for
    // a project file (a path typed in a line of text, resolved as saving
    // resolves it) and opens it as a file named on the command line is.
    void OpenProject();

    // Escape without modifiers: true when it did something.
    bool HandleEscape();
    // The editing keys nobody else took: new (Ctrl+N), open (Ctrl+O), save
    // (Ctrl+S, F2; Alt+F2 under a new name), undo (Ctrl+Z), redo (Ctrl+Y or Ctrl+Shift+Z), the clipboard keys (clipboard_keys.h, through the
    // application's clipboard) and the timeline's keys. True when one ran.
    bool HandleEditingKey(uint8_t Key, uint16_t ShortCut);

private:
    void ProjectChanged(TObject* Sender, TProjectChangeFlags Flags);
    void PlayersChanged(TObject* Sender, TPlayerChangeFlags Flags);
    TPlayerWindow* CoupledPlayer() const;
    void ShowProjectIn(TPlayerWindow& Player);

    TWindowSystem& FSystem;
    TProject& FProject;
    std::unique_ptr<TTimelineDesktopClass> FTimelineClass;
    TMainFactories FFactories;
    std::unique_ptr<TMainDock> FDock;
    std::unique_ptr<TWidgetWindow> FWindow;
    TDesktopFile FDesktop;
    TEventFilterRegistration FWindowFilter;
    std::string FSaveFile;
    TProjectSaving FSaving;
    bool FAltLayoutIsMaximized = true;
    bool FPlayerStale = false;
    bool FSynchronising = false;
    bool FClosed = false;
};
