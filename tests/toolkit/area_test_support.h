#pragma once

#include "core/changes.h"
#include "core/delegate.h"
#include "platform/window/headless_window_system.h"
#include "toolkit/areas/area.h"
#include "toolkit/widgets/widget_window.h"
#include "widget_test_support.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Fragments, desktops and an area in a headless window for the area tests.
// Every probe writes what it received into one shared log, so a test reads
// the order in which fragments heard of things.

struct TEventLog {
    std::vector<std::string> Lines;
    void Add(std::string Line) { Lines.push_back(std::move(Line)); }
    // The lines that start with Prefix, in order.
    std::vector<std::string> Starting(const std::string& Prefix) const {
        std::vector<std::string> Found;
        for (const auto& Line : Lines)
            if (Line.rfind(Prefix, 0) == 0)
                Found.push_back(Line);
        return Found;
    }
};

// What a scroll bar of an area shows, to compare with a desktop's values.
inline TScrollValues BarValues(const TArea& Area, TScrollBarKind Kind) {
    const TScrollingWidgetScrollBar& Bar = Area.ScrollBar(Kind);
    return {Bar.Position(), Bar.Range(), Bar.Page()};
}

inline std::string At(int32_t X, int32_t Y) { return std::to_string(X) + "," + std::to_string(Y); }

class TTestMenu : public TLocalMenu {
public:
    explicit TTestMenu(TEventLog& Log) : FLog(Log) {}
    bool Throws = false;
    TPoint ShownAt;
    void Popup(TWidget& /*Owner*/, TPoint ScreenPosition) override {
        ShownAt = ScreenPosition;
        FLog.Add("menu popup");
        if (Throws)
            throw std::runtime_error("menu failed");
    }

private:
    TEventLog& FLog;
};

// A fragment that logs every operation as "<name> <operation> ..." and can
// run a test's action from any mouse handler.
class TProbe : public TFragment {
public:
    TProbe(TArea& Owner, std::string ProbeName, TEventLog* ProbeLog, TFragmentBox Box, TColor Fill = 0)
        : TFragment(Owner), Name(std::move(ProbeName)), Log(ProbeLog), Color(Fill) {
        SetBox(Box);
    }

    std::string Name;
    TEventLog* Log;
    TColor Color;
    bool IsTransparent = false; // HitTest answers -1 everywhere
    bool KeepsCapture = true;   // MouseDown calls the base, which takes the capture
    uint8_t SwallowsKey = 0;    // a key this fragment consumes
    TLocalMenu* Menu = nullptr;
    std::function<void()> OnDown, OnUp, OnMove, OnEnter, OnLeave, OnDragEnded;

    void Note(const std::string& Line) {
        if (Log)
            Log->Add(Name + " " + Line);
    }
    // Runs a copy of Action: the action may free this probe, and with it
    // the original.
    static void Perform(const std::function<void()>& Action) {
        if (auto Copy = Action)
            Copy();
    }
    void Measure() override { Note("measure"); }
    void Arrange() override { Note("arrange"); }
    void DragStarted() override { Note("dragstart"); }
    void DragMoved() override { Note("dragmove"); }
    void DragEnded(bool Dropped) override {
        Note(Dropped ? "dragend dropped" : "dragend cancelled");
        Perform(OnDragEnded);
    }
    void KeyDown(TWidgetKeyEvent& Event) override {
        const uint8_t Key = Event.Key;
        Note("key " + std::to_string(Key));
        if (Key == SwallowsKey)
            Event.Accept();
        else
            TFragment::KeyDown(Event);
    }
    void MouseEnter() override {
        Note("enter");
        Perform(OnEnter);
    }
    void MouseLeave() override {
        Note("leave");
        Perform(OnLeave);
    }
    void CaptureGained() override { Note("gained"); }
    void CaptureLost() override { Note("lost"); }
    void MouseDown(TWidgetMouseEvent& Event) override {
        const TMouseButton Button = Event.Button;
        const int32_t X = Event.Position.X;
        const int32_t Y = Event.Position.Y;
        Note("down " + std::to_string(int(Button)) + " " + At(X, Y));
        if (KeepsCapture)
            TFragment::MouseDown(Event);
        Perform(OnDown);
    }
    void MouseMove(TWidgetMouseEvent& Event) override {
        const int32_t X = Event.Position.X;
        const int32_t Y = Event.Position.Y;
        Note("move " + At(X, Y));
        Perform(OnMove);
    }
    void MouseUp(TWidgetMouseEvent& Event) override {
        const TMouseButton Button = Event.Button;
        const int32_t X = Event.Position.X;
        const int32_t Y = Event.Position.Y;
        Note("up " + std::to_string(int(Button)) + " " + At(X, Y));
        TFragment::MouseUp(Event);
        Perform(OnUp);
    }
    void MouseWheel(TWidgetMouseEvent& Event) override {
        const int32_t X = Event.Position.X;
        const int32_t Y = Event.Position.Y;
        const int32_t Delta = Event.WheelDelta;
        Note("wheel " + std::to_string(Delta) + " " + At(X, Y));
        TFragment::MouseWheel(Event);
    }
    void DropFiles(TWidgetDropEvent& Event) override {
        const int32_t X = Event.Position.X;
        const int32_t Y = Event.Position.Y;
        const std::vector<std::string>& Files = Event.Files;
        std::string Line = "drop " + At(X, Y);
        for (const auto& File : Files)
            Line += " " + File;
        Note(Line);
    }
    TLocalMenu* GetLocalMenu(int32_t X, int32_t Y) override {
        Note("getmenu " + At(X, Y));
        return Menu;
    }
    void PrepareLocalMenu(TLocalMenu& /*Menu*/, int32_t X, int32_t Y) override { Note("prepare " + At(X, Y)); }
    void LocalMenuClosed(TLocalMenu& /*Menu*/) override { Note("closed"); }
    int32_t HitTest(int32_t X, int32_t Y) const override { return IsTransparent ? -1 : TFragment::HitTest(X, Y); }
    void Paint(TPixels& Pixels) override {
        if (Color)
            Pixels.FillRect({0, 0, Width(), Height()}, Color);
    }
};

enum class TProbeDocumentFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TProbeDocumentFlags> = true;

// What a probe desktop shows: a notifier, a cursor time and a frame length.
struct TProbeDocument {
    TFlagChanges<TProbeDocumentFlags> Changes{nullptr};
    TVideoTime Position = 0;
    TVideoTime Frame = 400000;
    void SetPosition(TVideoTime Time) {
        Position = Time;
        Changes.Change(TProbeDocumentFlags{1});
    }
};

// A desktop that logs like a probe and reports the scroll values a test sets.
class TProbeDesktop : public TDesktop {
public:
    TProbeDesktop(TArea& Owner, TProbeDocument* Shown, TEventLog* ProbeLog)
        : TDesktop(Owner), Document(Shown), Log(ProbeLog) {
        if (Document)
            Document->Changes.AddChangeHandler(MakeDelegate<&TProbeDesktop::DocumentChanged>(this));
    }
    ~TProbeDesktop() override {
        if (Document)
            Document->Changes.RemoveChangeHandler(MakeDelegate<&TProbeDesktop::DocumentChanged>(this));
    }

    TProbeDocument* Document;
    TEventLog* Log;
    TColor Color = 0;
    TFragmentScrollInfo Scroll;
    int32_t DocumentChangeCount = 0;
    int32_t ScaleChanges = 0;

    void Note(const std::string& Line) {
        if (Log)
            Log->Add("desktop " + Line);
    }
    void Measure() override { Note("measure"); }
    void Arrange() override {
        Note("arrange");
        TDesktop::Arrange();
    }
    TFragmentScrollInfo GetScrollInfo() const override { return Scroll; }
    void MouseWheel(TWidgetMouseEvent& Event) override {
        const int32_t X = Event.Position.X;
        const int32_t Y = Event.Position.Y;
        const int32_t Delta = Event.WheelDelta;
        Note("wheel " + std::to_string(Delta) + " " + At(X, Y));
    }
    void KeyDown(TWidgetKeyEvent& Event) override {
        const uint8_t Key = Event.Key;
        Note("key " + std::to_string(Key));
        TDesktop::KeyDown(Event);
    }
    void DragStarted() override { Note("dragstart"); }
    void DragEnded(bool /*Dropped*/) override { Note("dragend"); }
    TChanges* DocumentChanges() const override { return Document ? &Document->Changes : nullptr; }
    TVideoTime CursorTime() const override { return Document ? Document->Position : 0; }
    TVideoTime FrameDuration() const override { return Document ? Document->Frame : 0; }
    void DocumentChanged(TObject* /*Sender*/, TProbeDocumentFlags /*Flags*/) {
        ++DocumentChangeCount;
        Note("documentchanged");
    }
    void Scrolled(int32_t DX, int32_t DY) override {
        Note("scrolled " + At(DX, DY));
        TDesktop::Scrolled(DX, DY);
    }
    void ScaleChanged() override {
        ++ScaleChanges;
        TDesktop::ScaleChanged();
    }
    void Paint(TPixels& Pixels) override {
        if (Color)
            Pixels.FillRect({0, 0, Width(), Height()}, Color);
    }
};

class TProbeDesktopClass : public TDesktopClass {
public:
    TEventLog* Log = nullptr;
    TProbeDocument* Document = nullptr;
    mutable int32_t Made = 0;
    std::unique_ptr<TDesktop> CreateDesktop(TArea& Area) const override {
        ++Made;
        return std::make_unique<TProbeDesktop>(Area, Document, Log);
    }
};

// A root widget that counts the wheel turns nobody below it took.
class TWheelRoot : public TWidget {
public:
    int32_t Wheels = 0;
    std::vector<std::string> Drops;
    std::vector<uint8_t> Keys;
    bool MouseWheel(TWidgetMouseEvent& /*Event*/) override {
        ++Wheels;
        return true;
    }
    void DropFiles(TWidgetDropEvent& Event) override {
        for (const auto& File : Event.Files)
            Drops.push_back(File);
    }
    void KeyDown(TWidgetKeyEvent& Event) override { Keys.push_back(Event.Key); }
};

// An area of 200 x 100 client pixels (with its 2-pixel edge) at the top-left
// of a 220 x 120 window at (100, 100) on the desktop; its desktop is a probe
// desktop logging into Log. The registry's desktop class is set for the
// fixture's life.
struct TAreaFixture {
    static constexpr int32_t ClientLeft = 102, ClientTop = 102;

    TEventLog Log;
    TProbeDesktopClass DesktopClass;
    THeadlessWindowSystem System{{{{0, 0, 800, 600}, {0, 0, 800, 560}}}};
    TWheelRoot Root;
    TArea* Area = nullptr;
    std::unique_ptr<TWidgetWindow> Window;

    explicit TAreaFixture(TProbeDocument* Shown = nullptr) {
        DesktopClass.Log = &Log;
        DesktopClass.Document = Shown;
        Areas().SetDesktopClass(&DesktopClass);
        Area = &Root.Add<TArea>();
        Area->SetBounds(TRect::FromSize(0, 0, 204, 104));
        Window = std::make_unique<TWidgetWindow>(
            System, Root, TWindowOptions{.Kind = TWindowKind::Main, .Title = "Area", .Bounds = TRect::FromSize(100, 100, 220, 120)});
        Window->Show(TActivate::Yes);
        System.ProcessEvents();
        Window->Update();
    }
    ~TAreaFixture() {
        Window.reset();
        Areas().SetDesktopClass(nullptr);
    }
    TAreaFixture(const TAreaFixture&) = delete;
    TAreaFixture& operator=(const TAreaFixture&) = delete;

    TProbeDesktop& Desktop() const { return static_cast<TProbeDesktop&>(*Area->Desktop()); }
    TProbe& AddProbe(TFragment& Parent, std::string Name, TFragmentBox Box, TColor Fill = 0) {
        return Parent.Add<TProbe>(std::move(Name), &Log, Box, Fill);
    }
    // A point of the area's client rectangle on the desktop.
    static TPoint Screen(int32_t X, int32_t Y) { return {ClientLeft + X, ClientTop + Y}; }
    // The presented pixel at a point of the area's client rectangle.
    uint32_t PixelAt(int32_t X, int32_t Y) const { return PresentedAt(System, *Window, 2 + X, 2 + Y); }
    void Settle() {
        Area->Relayout();
        Window->Update();
        Log.Lines.clear();
    }
    void Run() { RunScript(System); }
};
