#include "toolkit/docking/split_dock.h"

#include "core/data.h"
#include "toolkit/docking/border_dock.h"
#include "toolkit/docking/tool_box.h"
#include "toolkit/docking/tool_window.h"
#include "toolkit/skin/skin.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TSplitDock::Class{"TSplitDock", &TDock::Class, CreateControlOf<TSplitDock>};

void TSplitDockHook::GetInfo(TInfo& Info) {
    // The control's minimum: it may shrink to a small tile, never vanish.
    Info.Width = std::min(FItem.WorkRect.Width(), MinimumTile);
    Info.Height = std::min(FItem.WorkRect.Height(), MinimumTile);
    Info.Visible = FItem.WorkVisible;
    Info.HorzSizable = true;
    Info.VertSizable = true;
}

void TSplitDockHook::SetBounds(const TRect& Rect) { FItem.WorkRect = Rect; }

TSplitDock::TSplitDock() {
    SetAlign(TDockAlign::Client);
    FTable.SetSplitterWidth(SplitterWidth);
}

TSplitDock::~TSplitDock() = default;

TSize TSplitDock::MinimumSize() const { return {Skins().Scale(128), Skins().Scale(64)}; }

bool TSplitDock::AcceptsKind(TWidget& Control) {
    // Tool windows tile here; tool boxes and border docks never do.
    const bool ToolBox = dynamic_cast<TToolBox*>(&Control) && !dynamic_cast<TToolWindow*>(&Control);
    return !ToolBox && !dynamic_cast<TBorderDock*>(&Control) && TDock::AcceptsKind(Control);
}

TRect TSplitDock::DropCell(const TTableHit<TSplitTable>& Hit, const TRect& Drop) const {
    if (!Hit.Target)
        return {};
    const TRect Target = Hit.Target->Bounds();
    TRect Cell = Target;
    if (Hit.ColAction != TTableAction::None) {
        const int32_t Width = std::clamp(Drop.Width(), 0, std::max(0, Target.Width() - MinimumSize().Width / 2));
        const bool AtStart = Hit.Col <= 0 || (Hit.Target->ColCount() > 0 && Hit.Col < Hit.Target->ColCount() / 2 + 1 &&
                                              Hit.Col == 0);
        Cell.Left = AtStart ? Target.Left : Target.Right - Width;
        Cell.Right = Cell.Left + Width;
    }
    if (Hit.RowAction != TTableAction::None) {
        const int32_t Height = std::clamp(Drop.Height(), 0, std::max(0, Target.Height() - MinimumSize().Height / 2));
        const bool AtStart = Hit.Row <= 0;
        Cell.Top = AtStart ? Target.Top : Target.Bottom - Height;
        Cell.Bottom = Cell.Top + Height;
    }
    return Cell;
}

bool TSplitDock::AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) {
    if (!Control || !TDock::AcceptsDrop(Control, Factory, ScreenPoint, ScreenRect))
        return false;
    if (Items().empty())
        return true;
    const TPoint Point = ScreenToContent(ScreenPoint);
    const TRect Drop = ScreenRect.Translated(Point.X - ScreenPoint.X, Point.Y - ScreenPoint.Y);
    TTableHit<TSplitTable> Hit = FTable.HitTest(Point.X, Point.Y, Drop);
    if (!Hit.Target)
        return false;
    if (TDockItem* Item = FindItem(*Control))
        if (Hit.Target == static_cast<TSplitDockItem*>(Item)->Hook.Table())
            return true;
    const TRect Cell = DropCell(Hit, Drop);
    const int64_t W = Cell.Width(), H = Cell.Height(), DW = Drop.Width(), DH = Drop.Height();
    return W * DH * 2 >= H * DW && H * DW * 2 >= W * DH;
}

std::unique_ptr<TDockItem> TSplitDock::CreateItem(TWidget& Control, TFactory* Factory) {
    return std::make_unique<TSplitDockItem>(*this, Control, Factory);
}

void TSplitDock::PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) {
    TDock::PlaceItem(Item, Rect, Point);
    auto& Split = static_cast<TSplitDockItem&>(Item);
    Split.WorkRect = Rect;
    Split.WorkVisible = true;
    FTable.Update();
    FTable.SetBounds({0, 0, ClientRect().Width(), ClientRect().Height()});
    if (!FTable.Insert(Point.X, Point.Y, Rect, Split.Hook) && !Split.Hook.Table()) {
        if (!FTable.HasChildren() && !FTable.Hook())
            FTable.SetHook(&Split.Hook);
        else
            FTable.Insert(FTable.Bounds().Right - 1, FTable.Bounds().Top + FTable.Bounds().Height() / 2,
                          Rect, Split.Hook);
    }
}

bool TSplitDock::PreviewInsert(TWidget& /*Control*/, TFactory* /*Factory*/, TPoint Point, const TRect& Rect) {
    TTableHit<TSplitTable> Hit = FTable.HitTest(Point.X, Point.Y, Rect);
    const bool Changed = Hit.Target != FLastHit.Target || Hit.Col != FLastHit.Col || Hit.Row != FLastHit.Row ||
                         Hit.ColAction != FLastHit.ColAction || Hit.RowAction != FLastHit.RowAction;
    FLastHit = Hit;
    SetPreviewRect(Hit.Target ? DropCell(Hit, Rect) : TRect{0, 0, ClientRect().Width(), ClientRect().Height()});
    return Changed;
}

void TSplitDock::PreviewMove(TWidget& /*Control*/) { FLastHit = {}; }

void TSplitDock::Arrange(bool Preview) {
    const TRect PreviewCell = PreviewRect();
    FTable.Update();
    FTable.SetBounds({0, 0, ClientRect().Width(), ClientRect().Height()});
    SetContentBounds({0, 0, ClientRect().Width(), ClientRect().Height()});
    if (Preview)
        SetPreviewRect(PreviewCell);
}

TSize TSplitDock::NaturalSize(bool /*Preview*/) { return {Width(), Height()}; }

// ---- splitter dragging

void TSplitDock::MouseDown(TWidgetMouseEvent& Event) {
    if (Event.Button != TMouseButton::Left)
        return;
    const TPoint P = Event.Position;
    FHit = FTable.SplitterAt(P.X, P.Y, 1);
    if (!IsSplitting())
        return;
    Event.Accept();
    // Measured from the splitter strip's start, the position the table
    // moves: a line starts past its splitter.
    FGrab = {FHit.ColTable ? P.X - FHit.ColTable->ColAt(FHit.Col).Splitter.Left : 0,
             FHit.RowTable ? P.Y - FHit.RowTable->RowAt(FHit.Row).Splitter.Top : 0};
}

void TSplitDock::MouseMove(TWidgetMouseEvent& Event) {
    const TPoint P = Event.Position;
    if (IsSplitting()) {
        if (FHit.ColTable)
            FHit.ColTable->MoveColSplitter(FHit.Col, P.X - FGrab.X);
        if (FHit.RowTable)
            FHit.RowTable->MoveRowSplitter(FHit.Row, P.Y - FGrab.Y);
        // The moved proportions hold: lay the controls out at once.
        FTable.SetBounds({0, 0, ClientRect().Width(), ClientRect().Height()});
        for (auto& Item : Items()) {
            Item->AroundRect = Item->WorkRect;
            Item->Control.SetBounds(Item->WorkRect);
        }
        Invalidate();
        if (TWidgetWindow* Window = this->Window())
            Window->Update();
        return;
    }
    if (TWidgetWindow* Window = this->Window()) {
        const TSplitterHit Hit = FTable.SplitterAt(P.X, P.Y, 1);
        TCursorKind Cursor = TCursorKind::Arrow;
        if (Hit.ColTable && Hit.RowTable)
            Cursor = TCursorKind::SizeAll;
        else if (Hit.ColTable)
            Cursor = TCursorKind::SizeWE;
        else if (Hit.RowTable)
            Cursor = TCursorKind::SizeNS;
        Window->Native().SetCursor(Cursor);
    }
}

void TSplitDock::MouseUp(TWidgetMouseEvent& /*Event*/) { FHit = {}; }

void TSplitDock::MouseLeave() {
    if (!IsSplitting())
        if (TWidgetWindow* Window = this->Window())
            Window->Native().SetCursor(TCursorKind::Arrow);
}

// ---- stored form: the items live in the table's cells

bool TSplitDock::IsStored(const TSplitTableHook& Hook) const {
    for (auto& Item : Items())
        if (&static_cast<TSplitDockItem&>(*Item).Hook == &Hook)
            return Item->Factory != nullptr;
    return false;
}

void TSplitDock::SaveItem(TData& Data, const TSplitTableHook& Hook) {
    for (auto& Item : Items())
        if (&static_cast<TSplitDockItem&>(*Item).Hook == &Hook) {
            WriteItem(Data, *Item);
            return;
        }
}

TSplitTableHook* TSplitDock::LoadItem(TData& Data) {
    TDockItem* Item = BuildItem(Data);
    return Item ? &static_cast<TSplitDockItem*>(Item)->Hook : nullptr;
}

void TSplitDock::SaveItems(TData& Data) {
    {
        TDataSection List(Data, "List");
        int32_t Count = 0;
        for (auto& Item : Items())
            if (Item->Factory && !static_cast<TSplitDockItem&>(*Item).Hook.Table()) {
                TDataSection Section(Data, ListItemName("Item[", Count++));
                WriteItem(Data, *Item);
            }
        Data.WriteInteger("Count", Count);
    }
    TDataSection Table(Data, "Table");
    FTable.Save(Data, this);
}

void TSplitDock::LoadItems(TData& Data) {
    if (Data.Exists("Table")) {
        TDataSection Table(Data, "Table");
        FTable.Load(Data, this);
    }
    const size_t Before = Items().size();
    TDock::LoadItems(Data);
    // Items no cell holds (a layout stored without a table) go in one by
    // one at the centre of their stored rectangle.
    for (size_t I = Before; I < Items().size(); ++I) {
        auto& Item = static_cast<TSplitDockItem&>(*Items()[I]);
        if (Item.Hook.Table())
            continue;
        Item.WorkRect = Item.AroundRect;
        Item.WorkVisible = true;
        FTable.Update();
        FTable.SetBounds(TRect{0, 0, ClientRect().Width(), ClientRect().Height()}.Inflated(-1, -1));
        const TRect R = Item.AroundRect;
        if (!FTable.HasChildren() && !FTable.Hook())
            FTable.SetHook(&Item.Hook);
        else
            FTable.Insert(R.Left + R.Width() / 2, R.Top + R.Height() / 2, R, Item.Hook);
    }
}
