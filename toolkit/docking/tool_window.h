#pragma once

#include "canvas/pixels.h"
#include "toolkit/docking/tool_box.h"
#include "toolkit/layout/table.h"

#include <cstdint>
#include <memory>

class TToolWindow;
class TToolWindowItem;

// Where a control goes inside its table cell along one direction. The
// stored numbers are the enumerators' values (note the layout tables' own
// TTableAlign numbers its values differently).
enum class TItemAlign : uint8_t { Near, Center, Far, Stretch };

// What a hidden control does to the layout of its tool window.
enum class TItemShowMode : uint8_t {
    Collapse,  // its cell goes while it is hidden
    KeepSpace, // its cell keeps its size while it is hidden
    Floating,  // keeps its own size, centred in its cell
};

// What a tool window does when it is closed.
enum class TCloseState : uint8_t {
    Hide,   // it is hidden
    RollUp, // a floating window rolls up to its title instead
};

// The floating client size a tool window keeps for one state of the main
// window.
struct TClientSize {
    int32_t Width = 64;
    int32_t Height = 64;
    bool Valid = false;
};

// What the layout table knows of a tool window's control: its default size,
// how it takes part while hidden, and its stretch priorities; the cell it is
// given becomes the item's work rectangle, aligned as the item says.
class TToolWindowItemTableHook : public TTableHook {
public:
    explicit TToolWindowItemTableHook(TToolWindowItem& Item) : FItem(Item) {}
    std::string_view ClassName() const override { return "TToolWindowItemTableHook"; }
    void GetInfo(TInfo& Info) override;
    void SetBounds(int32_t Width, int32_t Height, bool Show, const TRect& Rect) override;

private:
    TToolWindowItem& FItem;
};

// A control of a tool window with its alignment, stretch priorities and
// show mode, as the designer sets them.
class TToolWindowItem : public TDockItem {
public:
    TToolWindowItem(TDock& TheDock, TWidget& TheControl, TFactory* TheFactory);

    TToolWindowItemTableHook Hook;
    TItemAlign HorzAlign = TItemAlign::Center;
    TItemAlign VertAlign = TItemAlign::Center;
    // Stretch priorities of the layout table, -100..100.
    int32_t HorzSize = 0;
    int32_t VertSize = 0;
    TItemShowMode ShowMode = TItemShowMode::Collapse;
    // The size the control wants when its factory names none: its size when
    // it was docked or loaded.
    TSize NaturalSize;

    // The control's wanted size: the factory's default, else NaturalSize.
    TSize DefaultSize() const;

    void LoadItem(TData& Data) override;
    void SaveItem(TData& Data) override;
};

// The roll-up button on a floating tool window's title: a triangle pointing
// toward the side the window hangs on, the other way while rolled up.
class TMinMaxNC : public TNCGadget {
public:
    explicit TMinMaxNC(TToolWindow& Window) : FWindow(Window) {}
    void MouseUp(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;
    // The side the triangle points to while unrolled.
    TTitleAlign PointsTo() const;

private:
    TToolWindow& FWindow;
};

// A tool box for the larger panels of the workspace (the player, the
// timeline, browsers): its controls are laid out by a fixed layout table
// instead of in a row. It floats or tiles in a split dock, rolls up to its
// title, can have its width, height or expansion locked, and remembers
// separate floating client sizes for the main window's normal and maximised
// states.
//
//   auto Made = ToolWindowFactory.CreateControl();
//   auto& Window = static_cast<TToolWindow&>(*Made);
//   Window.DockNew(std::move(Player), &PlayerFactory, {0, 0, 320, 240});
//   Centre.DockNew(std::move(Made), &ToolWindowFactory, Rect);
class TToolWindow : public TToolBox {
public:
    static const TControlClass Class;
    // The extra grab length the roll-up button takes from a title.
    static constexpr int32_t MinMaxSize = 14;
    // The band of a floating window's edge that sizes it.
    static constexpr int32_t SizingBand = 4;

    TToolWindow();
    ~TToolWindow() override;
    std::string_view ClassName() const override { return "TToolWindow"; }

    TCloseState CloseState = TCloseState::Hide;
    TClientSize NormalClient;
    TClientSize MaximizedClient;
    bool IsWidthLocked = false;
    bool IsHeightLocked = false;
    bool IsExpandLocked = false;

    bool IsMinimized() const { return FIsMinimized; }
    void SetMinimized(bool Value);
    TTable& Table() { return FTable; }
    TMinMaxNC& MinMaxButton() const { return *FMinMax; }
    // The smallest content size, scaled by the skin size.
    TSize MinimumContent() const;
    // The remembered client size for the main window's current state, or
    // null without a main window.
    TClientSize* CurrentClient();
    // The insertion preview of a design-mode drag.
    const TTableHit<TTable>& InsertionPreview() const { return FPreview; }

    void ToggleMinimized() override { SetMinimized(!FIsMinimized); }
    void GetAttachment(TAttachment& Horz, TAttachment& Vert) const override;
    void GetGrabRect(TRect& Rect) const override;
    void ShowBox() override;
    void CloseBox() override;
    bool IsOpen() const override;
    void FitToMainWindow() override;
    void SwitchLayout() override;
    THitTest HitTest(TPoint Point, uint16_t Modifiers) const override;

    bool AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) override;
    void LayoutNC(int32_t Width, int32_t Height) override;
    void LoadProps(TData& Data) override;
    void SaveProps(TData& Data) override;
    void LoadItems(TData& Data) override;
    void SaveItems(TData& Data) override;
    void CancelPreview() override;
    void Paint(TPixels& Pixels) override;
    void Layout() override;

protected:
    bool AcceptsKind(TWidget& Control) override;
    std::unique_ptr<TDockItem> CreateItem(TWidget& Control, TFactory* Factory) override;
    void PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) override;
    bool PreviewInsert(TWidget& Control, TFactory* Factory, TPoint Point, const TRect& Rect) override;
    void PreviewMove(TWidget& Control) override;
    void Arrange(bool Preview) override;
    TSize NaturalSize(bool Preview) override;
    void Apply(bool Preview) override;

private:
    friend class TMinMaxNC;
    // The table's wanted size, at least the minimum content size.
    TSize WantedClient() const;
    // The client size the window has or is to have now.
    TSize ClientSize() const;
    // The title side, turned toward the edge of the dock it sits in.
    TTitleAlign EffectiveTitleSide() const;
    // Remembers the client size a floating window was sized to.
    void RememberClient(TSize Size);

    TTable FTable;
    TTableHit<TTable> FPreview;
    TPixels FSnapshot;
    bool FTakingSnapshot = false;
    TMinMaxNC* FMinMax = nullptr;
    bool FIsMinimized = false;
    bool FAltIsMinimized = false;
    TCloseState FAltCloseState = TCloseState::Hide;
    TSize FLaidClient{-1, -1};
};

// The factory of tool windows, registered under "ToolWindow".
class TToolWindowFactory : public TToolBoxFactory {
public:
    static constexpr std::string_view DefaultId = "ToolWindow";
    TToolWindowFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                       std::string_view Id = DefaultId);
    std::string_view ClassName() const override { return "TToolWindowFactory"; }

protected:
    ~TToolWindowFactory() override = default;
};

// Shows or hides Control's item in its dock (in a tool window also setting
// its show mode) and relays the outermost dock; a control outside any dock
// is simply shown or hidden.
void SetItemVisible(TWidget& Control, bool Visible, TItemShowMode ShowMode);
