#pragma once

#include "toolkit/docking/tool_box.h"

#include <cstdint>
#include <vector>

class TToolBar;

// An item of a tool bar: its place in the bar's order.
class TToolBarItem : public TDockItem {
public:
    using TDockItem::TDockItem;
    int32_t Order = 0;

    void LoadItem(TData& Data) override;
    void SaveItem(TData& Data) override;
};

// One of the two arrow strips that scroll a tool bar whose items do not
// fit: pressing it scrolls at once and again on every repeat tick, a
// sixteenth of the bar's size with the left button and a third with the
// right one.
class TToolBarScroller : public TNCGadget {
public:
    static constexpr int32_t Size = 8;
    enum class TDirection : uint8_t { TowardStart, TowardEnd };

    TToolBarScroller(TToolBar& Bar, TDirection Direction) : FBar(Bar), FDirection(Direction) {}
    TDirection Direction() const { return FDirection; }
    bool IsEnabled() const { return FIsEnabled; }
    void SetEnabled(bool Enabled);

    void MouseDown(TWidgetMouseEvent& Event) override;
    void RepeatTick() override;
    void CaptureEnd() override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void Paint(TPixels& Pixels) override;

private:
    void Step();
    TToolBar& FBar;
    TDirection FDirection;
    bool FIsBigStep = false;
    bool FIsEnabled = false;
};

// A tool box that lines its items up in one row (or column, when
// vertical) in a stored order, and scrolls them with two arrow strips when
// they do not fit.
class TToolBar : public TToolBox {
public:
    static const TControlClass Class;

    TToolBar();
    std::string_view ClassName() const override { return "TToolBar"; }

    // The items in their order.
    std::vector<TToolBarItem*> OrderedItems();
    int32_t InsertIndex() const { return FInsertIndex; }
    bool StartScrollerShown() const { return FStartShown; }
    bool EndScrollerShown() const { return FEndShown; }
    TToolBarScroller& StartScroller() const { return *FStart; }
    TToolBarScroller& EndScroller() const { return *FEnd; }
    bool IsScrolling() const { return FIsScrolling; }
    bool BothScrollers = true;

    // Moves the content along the bar's axis, within its limits.
    void ScrollBy(int32_t Delta);
    // The insertion index for a control dropped with Rect (content
    // coordinates).
    int32_t InsertionIndex(const TRect& Rect, const TWidget* Dragged);

    TRect NCMargins() const override;
    void LayoutNC(int32_t Width, int32_t Height) override;
    void OrientationChanged() override;

protected:
    std::unique_ptr<TDockItem> CreateItem(TWidget& Control, TFactory* Factory) override;
    void PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) override;
    bool PreviewInsert(TWidget& Control, TFactory* Factory, TPoint Point, const TRect& Rect) override;
    void Arrange(bool Preview) override;
    void Apply(bool Preview) override;

private:
    friend class TToolBarScroller;
    bool Vertical() const { return Kind() == TToolBoxKind::Vertical; }
    // Along the bar's axis: the client extent without scrollers and the
    // content's start and end.
    int32_t BaseClientExtent() const;
    void UpdateScrollers();

    TToolBarScroller* FStart = nullptr;
    TToolBarScroller* FEnd = nullptr;
    bool FStartShown = false;
    bool FEndShown = false;
    bool FIsScrolling = false;
    bool FOrderValid = false;
    int32_t FInsertIndex = 0;
};

// The factory of tool bars.
class TToolBarFactory : public TToolBoxFactory {
public:
    TToolBarFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TToolBarFactory"; }

protected:
    ~TToolBarFactory() override = default;
};
