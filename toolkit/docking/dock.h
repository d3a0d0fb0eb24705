#pragma once

#include "toolkit/design/widget_factory.h"
#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TData;
class TDock;
class TFactory;
class TFactoryList;
class TNativeWindow;
class TWidgetWindow;
class TWindowSystem;

// The edge a dock is aligned to inside its host; None for a floating dock.
enum class TDockAlign : uint8_t { None, Top, Bottom, Left, Right, Client };

// What a dock previews while a docking drag is over it.
enum class TPreviewKind : uint8_t {
    None,
    Insert,  // a control would be dropped here
    MoveOut, // one of its controls is being dragged away
};

// One control held by a dock: the control (a child widget of the dock), the
// factory that made it, and where it sits. AroundRect is in the dock's
// content coordinates (before the dock's Origin is added); the preview slots
// hold the layout shown while a drag is over the dock, the work slots what
// the layout is computing.
class TDockItem {
public:
    TDockItem(TDock& Dock, TWidget& Control, TFactory* Factory);
    virtual ~TDockItem() = default;
    TDockItem(const TDockItem&) = delete;
    TDockItem& operator=(const TDockItem&) = delete;

    TDock& Dock;
    TWidget& Control;
    TFactory* Factory;
    TRect AroundRect;
    bool Visible = true;
    TRect PreviewRect;
    bool PreviewVisible = true;
    TRect WorkRect;
    bool WorkVisible = true;
    int32_t TabOrder = 0;

    // The control as a dock, when it is one (a tool box, a tool window).
    TDock* NestedDock() const;

    // The item's own keys in the current section (the factory id is the
    // dock's business).
    virtual void LoadItem(TData& Data);
    virtual void SaveItem(TData& Data);
    // A nested dock's rectangle and visibility become the item's.
    virtual void SyncFromDock();
};

// A widget that holds controls through dock items and arranges them; docks
// nest (a tool box is a dock inside a border dock). Two layouts exist: the
// committed one, kept in the items' AroundRect and Visible, and while a
// docking drag runs anywhere (docking mode) a preview that shows where the
// dragged control would go without changing the committed one.
//
// Ownership: docked controls are child widgets of their dock; Undock hands
// the control back to the caller. Every dock registers in DockList(), which
// also owns floating docks with their windows.
//
//   auto& Bar = *new TToolBar; ...
//   Top.Dock(Bar, &BarFactory, DropPoint, DropRect); // screen coordinates
class TDock : public TWidget {
public:
    static const TControlClass Class;
    // Sections of a nest of docks read from a document; a deeper nest is a
    // damaged or hostile file.
    static constexpr int32_t MaxNestDepth = 2;

    TDock();
    ~TDock() override;
    std::string_view ClassName() const override { return "TDock"; }

    // The outermost dock of the nest this dock is in.
    TDock& RootDock();
    // The dock this one is docked in, or null.
    TDock* ParentDock() const;
    bool IsFloating() const;
    const std::vector<std::unique_ptr<TDockItem>>& Items() const { return FItems; }
    TDockItem* FindItem(const TWidget& Control) const;
    int32_t IndexOf(const TWidget& Control) const;

    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(std::string_view Caption);
    TDockAlign Align() const { return FAlign; }
    void SetAlign(TDockAlign Align) { FAlign = Align; }
    TPoint Origin() const { return FOrigin; }
    // The dock's rectangle in its parent's content coordinates, or on the
    // desktop when it floats.
    const TRect& AroundRect() const { return FAroundRect; }
    void SetAroundRect(const TRect& Rect) { FAroundRect = Rect; }
    bool StoredVisible() const { return FVisible; }
    void SetStoredVisible(bool Visible) { FVisible = Visible; }
    // The content bounds of the last layout, in content coordinates.
    const TRect& ContentBounds() const { return FContentBounds; }

    // Docking and undocking, positions on the desktop. Dock takes the
    // control from wherever it is (another dock, the floating list, a
    // parent widget); false when the nest is updating or the dock refuses.
    bool Dock(TWidget& Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect);
    // Takes a new control (not yet in any tree) and docks it at Rect, in
    // content coordinates; the control is freed when the dock refuses it.
    TWidget* DockNew(std::unique_ptr<TWidget> Control, TFactory* Factory, const TRect& Rect);
    // Removes Control's item and hands the control over; null when it is not
    // docked here or the nest is updating.
    std::unique_ptr<TWidget> Undock(TWidget& Control);

    // Previews while a docking drag is over the dock (screen positions).
    void DragOver(TWidget& Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect);
    void DragMoveOut(TWidget& Control);
    virtual void CancelPreview();
    TPreviewKind PreviewKind() const { return FPreviewKind; }
    // In content coordinates: where the dragged control would go.
    const TRect& PreviewRect() const { return FPreviewRect; }
    int32_t PreviewIndex() const { return FPreviewIndex; }
    TWidget* PreviewControl() const { return FPreviewControl; }
    bool DockingMode() const { return FDockingMode; }
    void BeginDockingMode();
    void EndDockingMode();

    // The committed layout, or the preview while in docking mode; ignored
    // while the nest is updating (done once the update ends).
    void Relayout();
    bool IsUpdating() { return RootDock().FUpdating; }
    // Marks the nest as awaiting a relayout without doing it now: it is
    // done by the next relayout of the nest, and tool boxes do it when the
    // stage switches or customising ends.
    void RelayoutLater() { RootDock().FLayoutPending = true; }
    bool AwaitsRelayout() { return RootDock().FLayoutPending; }

    // Acceptance of a control dropped at a screen position (ScreenRect its
    // drag rectangle).
    virtual bool AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect);

    // Copies the widget's real state into the stored one: the masks as in
    // ReadBackBounds and friends.
    static constexpr uint32_t ReadBackAround = 0x0F;
    static constexpr uint32_t ReadBackClient = 0xF0;
    static constexpr uint32_t ReadBackOrigin = 0xF00;
    static constexpr uint32_t ReadBackVisible = 0xF000;
    static constexpr uint32_t ReadBackItems = 0x1000000;
    virtual void ReadBack(uint32_t Mask);

    // The stored form.
    virtual void LoadProps(TData& Data);
    virtual void SaveProps(TData& Data);
    virtual void LoadItems(TData& Data);
    virtual void SaveItems(TData& Data);
    // Builds the item stored in the current section through the factory
    // registry: an unknown factory id or a control this dock would not
    // accept gives no item; any other error frees what was made and passes
    // on.
    TDockItem* BuildItem(TData& Data);
    void WriteItem(TData& Data, TDockItem& Item);
    void LoadControl(TData& Data) override;
    void SaveControl(TData& Data) override;
    void Loaded() override;

    // The dock has just been made floating at AroundRect (a drop outside
    // every dock, FloatToolBox).
    virtual void Floated() {}

    // Design mode of the items.
    virtual void BeginDesignItems();
    virtual void EndDesignItems();
    bool Designing() const { return FDesigning; }

    void ActivateControl() override;
    void DeactivateControl() override;
    void Paint(TPixels& Pixels) override;

protected:
    virtual std::unique_ptr<TDockItem> CreateItem(TWidget& Control, TFactory* Factory);
    // A control in another dock is undocked from it first; the control is
    // returned owned, or null when it cannot be taken.
    virtual std::unique_ptr<TWidget> BeforeDock(TWidget& Control);
    // Positions a docked (or re-docked) item at Rect, dropped at Point
    // (content coordinates).
    virtual void PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point);
    virtual void ItemDocked(TDockItem& /*Item*/) {}
    virtual void ItemUndocking(TDockItem& /*Item*/) {}
    virtual void RemoveItem(TDockItem& /*Item*/) {}
    virtual void ItemUndocked(TWidget& /*Control*/, TFactory* /*Factory*/) {}
    // Lets the dock kind work out its preview; true when it changed.
    virtual bool PreviewInsert(TWidget& /*Control*/, TFactory* /*Factory*/, TPoint /*Point*/,
                               const TRect& /*Rect*/) {
        return true;
    }
    virtual void PreviewMove(TWidget& /*Control*/) {}

    // The layout of one pass. Collected: every item's work slots from its
    // committed (or preview) slots. Arrange: the dock kind places the work
    // rectangles (and the preview rectangle) inside the client area.
    virtual void Arrange(bool Preview);
    // The dock's own size for its content: a nested or floating dock fits
    // around it.
    virtual TSize NaturalSize(bool Preview);
    // Places the controls from the work slots.
    virtual void Apply(bool Preview);
    // Where a floating dock of the natural size goes on the desktop.
    virtual TRect FloatingRect(TSize Natural);
    // The class rules of acceptance, shared by drops and stored layouts: a
    // nested dock takes no dock.
    virtual bool AcceptsKind(TWidget& Control);
    // The host of an outermost docked dock is asked to place it again when
    // its natural size changed.
    virtual void NaturalSizeChanged();
    void Layout() override;

    void SetOrigin(TPoint Origin) { FOrigin = Origin; }
    void SetContentBounds(const TRect& Bounds) { FContentBounds = Bounds; }
    void SetPreviewRect(const TRect& Rect) { FPreviewRect = Rect; }
    bool IsDestroying() const { return FDestroying; }
    // The nesting depth: 0 for an outermost dock.
    int32_t NestDepth() const;
    // Converts a desktop position to content coordinates.
    TPoint ScreenToContent(TPoint Screen) const;

private:
    friend class TDockList;
    void Measure(bool Preview);
    void ApplyTree(bool Preview);
    void ResetPreview();
    // Docks Owned at Rect; when placing fails Owned holds the control again.
    TWidget* DoDock(std::unique_ptr<TWidget>& Owned, TFactory* Factory, const TRect& Rect, TPoint Point);

    std::vector<std::unique_ptr<TDockItem>> FItems;
    std::string FCaption;
    TDockAlign FAlign = TDockAlign::None;
    TPoint FOrigin;
    TRect FAroundRect;
    bool FVisible = true;
    TRect FContentBounds;
    bool FDockingMode = false;
    TPreviewKind FPreviewKind = TPreviewKind::None;
    TWidget* FPreviewControl = nullptr;
    TFactory* FPreviewFactory = nullptr;
    int32_t FPreviewIndex = -1;
    TRect FPreviewRect;
    bool FDesigning = false;
    bool FUpdating = false;
    bool FLayoutPending = false;
    bool FDestroying = false;
};

enum class TFloatShow : uint8_t { Hidden, Shown };

// Every dock, and the floating ones with their windows. Floating docks are
// owned here, each as the root of a tool window above the main window; the
// list hides and shows them with the main window. At the end the floating
// docks go, last first.
class TDockList {
public:
    TDockList() = default;
    ~TDockList();
    TDockList(const TDockList&) = delete;
    TDockList& operator=(const TDockList&) = delete;

    const std::vector<TDock*>& Docks() const { return FDocks; }
    // The last registered dock holding Control, or null.
    TDock* DockOf(const TWidget& Control) const;

    // Where floating windows are made, and the window they stay above.
    void SetSystem(TWindowSystem* System) { FSystem = System; }
    TWindowSystem* System() const { return FSystem; }
    void SetMainWindow(TNativeWindow* Main) { FMain = Main; }
    TNativeWindow* MainWindow() const { return FMain; }
    // The registry BuildItem looks factory ids up in (the application's by
    // default).
    void SetFactories(TFactoryList* Factories) { FFactories = Factories; }
    TFactoryList& Factories() const;

    // Makes Control float in a tool window of its own at ScreenRect; shown
    // unless Show is No.
    TWidget& Float(std::unique_ptr<TWidget> Control, const TRect& ScreenRect, TFloatShow Show = TFloatShow::Shown);
    bool IsFloating(const TWidget& Control) const;
    TWidgetWindow* FloatingWindow(const TWidget& Control) const;
    // Takes a floating control out of its window and hands it over.
    std::unique_ptr<TWidget> TakeFloating(TWidget& Control);
    // Frees every floating control.
    void Clear();
    // Shows or hides the floating windows whose docks are visible, with the
    // main window (SDL has no owned windows).
    void ShowFloating(bool Show);

private:
    friend class TDock;
    struct TFloating {
        std::unique_ptr<TWidget> Control;
        std::unique_ptr<TWidgetWindow> Window;
    };
    std::vector<TDock*> FDocks;
    std::vector<TFloating> FFloating;
    TWindowSystem* FSystem = nullptr;
    TNativeWindow* FMain = nullptr;
    TFactoryList* FFactories = nullptr;
};

TDockList& DockList();

// The factory of a dock kind: forwards Loaded to the dock.
class TDockFactory : public TWidgetFactory {
public:
    using TWidgetFactory::TWidgetFactory;
    std::string_view ClassName() const override { return "TDockFactory"; }

protected:
    ~TDockFactory() override = default;
};

// Draws Widget with its frame, non-client gadgets and visible children into
// Pixels with its top-left at (0, 0), as its window would.
void PaintWidgetTree(TWidget& Widget, TPixels& Pixels);
