#include "toolkit/docking/dock.h"

#include "commands/factory.h"
#include "commands/factory_list.h"
#include "core/data.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TDock::Class{"TDock", &TWidget::Class, CreateControlOf<TDock>};

namespace {

// Stored coordinates are limited to this magnitude: far beyond any desktop,
// small enough that sums and products of two stay in 64 bits comfortably.
constexpr int32_t MaxStoredCoord = 1 << 20;
// Items read from one stored list at most.
constexpr int32_t MaxStoredItems = 1024;

int32_t ClampCoord(int32_t Value) { return std::clamp(Value, -MaxStoredCoord, MaxStoredCoord); }

TRect ClampRect(const TRect& Rect) {
    TRect R{ClampCoord(Rect.Left), ClampCoord(Rect.Top), ClampCoord(Rect.Right), ClampCoord(Rect.Bottom)};
    R.Right = std::max(R.Right, R.Left);
    R.Bottom = std::max(R.Bottom, R.Top);
    return R;
}

// Sets the nest's re-entrance flag for a scope and puts it back on every path.
class TNestUpdate {
public:
    explicit TNestUpdate(TDock& Root, bool& Flag) : FFlag(Flag), FWas(Flag) {
        (void)Root;
        FFlag = true;
    }
    ~TNestUpdate() { FFlag = FWas; }
    TNestUpdate(const TNestUpdate&) = delete;
    TNestUpdate& operator=(const TNestUpdate&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

void PaintTree(TWidget& Widget, TPixels& Pixels, TPoint Origin, const TRect& Clip) {
    if (!Widget.IsVisible())
        return;
    TRect Clipped = Clip.Intersected(TRect::FromSize(Origin.X, Origin.Y, Widget.Width(), Widget.Height()));
    if (Clipped.IsEmpty())
        return;
    TPixelsStateSaver Saver(Pixels);
    Pixels.SetClipRect(Clipped);
    Pixels.Origin = Origin;
    if (Widget.Background() == TWidgetBackground::Face)
        Pixels.FillRect({0, 0, Widget.Width(), Widget.Height()}, SkinColors().FaceColor);
    TRect Client = Widget.ClientRect();
    if (Client != TRect{0, 0, Widget.Width(), Widget.Height()}) {
        Widget.PaintFrame(Pixels);
        for (auto& Gadget : Widget.NCGadgets()) {
            const TRect& B = Gadget->Bounds();
            if (!Gadget->IsVisible() || B.IsEmpty())
                continue;
            TRect GadgetClip = Clipped.Intersected(B.Translated(Origin));
            if (GadgetClip.IsEmpty())
                continue;
            Pixels.SetClipRect(GadgetClip);
            Pixels.Origin = {Origin.X + B.Left, Origin.Y + B.Top};
            Gadget->Paint(Pixels);
        }
    }
    TPoint ClientOrigin = Origin + Client.TopLeft();
    TRect ClientClip = Clipped.Intersected(Client.Translated(Origin));
    if (ClientClip.IsEmpty())
        return;
    Pixels.SetClipRect(ClientClip);
    Pixels.Origin = ClientOrigin;
    Widget.Paint(Pixels);
    for (auto& Child : Widget.Children())
        PaintTree(*Child, Pixels, ClientOrigin + Child->Bounds().TopLeft(), ClientClip);
}

} // namespace

void PaintWidgetTree(TWidget& Widget, TPixels& Pixels) {
    PaintTree(Widget, Pixels, {0, 0}, Pixels.Bounds());
}

// ---- TDockItem

TDockItem::TDockItem(TDock& TheDock, TWidget& TheControl, TFactory* TheFactory)
    : Dock(TheDock), Control(TheControl), Factory(TheFactory) {
    AroundRect = TheControl.Bounds().Translated(-TheDock.Origin().X, -TheDock.Origin().Y);
    PreviewRect = WorkRect = AroundRect;
}

TDock* TDockItem::NestedDock() const { return dynamic_cast<TDock*>(&Control); }

void TDockItem::LoadItem(TData& Data) {
    if (NestedDock()) {
        TabOrder = std::clamp(Data.ReadInteger("TabOrder", TabOrder), 0, MaxStoredItems);
        return;
    }
    AroundRect = ClampRect(Data.ReadRect("AroundRect", AroundRect));
    Visible = Data.ReadBool("Visible", true);
}

void TDockItem::SaveItem(TData& Data) {
    if (NestedDock()) {
        Data.WriteInteger("TabOrder", TabOrder);
        return;
    }
    Data.WriteRect("AroundRect", AroundRect);
    Data.WriteBool("Visible", Visible);
}

void TDockItem::SyncFromDock() {
    if (TDock* Nested = NestedDock()) {
        AroundRect = Nested->AroundRect();
        Visible = Nested->StoredVisible();
    }
}

// ---- TDock

TDock::TDock() { DockList().FDocks.push_back(this); }

TDock::~TDock() {
    FDestroying = true;
    // Items go before the child widgets they point at (the widget base
    // frees the children after this body).
    while (!FItems.empty())
        FItems.pop_back();
    auto& Docks = DockList().FDocks;
    Docks.erase(std::remove(Docks.begin(), Docks.end(), this), Docks.end());
}

TDock& TDock::RootDock() {
    TDock* Dock = this;
    while (TDock* Parent = Dock->ParentDock())
        Dock = Parent;
    return *Dock;
}

TDock* TDock::ParentDock() const {
    TDock* Parent = dynamic_cast<TDock*>(this->Parent());
    return Parent && Parent->FindItem(*this) ? Parent : nullptr;
}

bool TDock::IsFloating() const { return DockList().IsFloating(*this); }

int32_t TDock::NestDepth() const {
    int32_t Depth = 0;
    for (const TDock* Dock = ParentDock(); Dock; Dock = Dock->ParentDock())
        ++Depth;
    return Depth;
}

TDockItem* TDock::FindItem(const TWidget& Control) const {
    for (auto& Item : FItems)
        if (&Item->Control == &Control)
            return Item.get();
    return nullptr;
}

int32_t TDock::IndexOf(const TWidget& Control) const {
    for (size_t I = 0; I < FItems.size(); ++I)
        if (&FItems[I]->Control == &Control)
            return int32_t(I);
    return -1;
}

void TDock::SetCaption(std::string_view Caption) {
    if (FCaption == Caption)
        return;
    FCaption = Caption;
    Invalidate();
}

TPoint TDock::ScreenToContent(TPoint Screen) const {
    TRect Screened = ScreenRect();
    TRect Client = ClientRect();
    return {Screen.X - Screened.Left - Client.Left - FOrigin.X, Screen.Y - Screened.Top - Client.Top - FOrigin.Y};
}

std::unique_ptr<TDockItem> TDock::CreateItem(TWidget& Control, TFactory* Factory) {
    return std::make_unique<TDockItem>(*this, Control, Factory);
}

std::unique_ptr<TWidget> TDock::BeforeDock(TWidget& Control) {
    if (TDock* Source = DockList().DockOf(Control); Source && Source != this)
        return Source->Undock(Control);
    if (DockList().IsFloating(Control))
        return DockList().TakeFloating(Control);
    if (TWidget* Parent = Control.Parent())
        return Parent->RemoveChild(Control);
    return nullptr;
}

void TDock::PlaceItem(TDockItem& Item, const TRect& Rect, TPoint /*Point*/) {
    Item.AroundRect = Rect;
    Item.Visible = true;
}

bool TDock::AcceptsKind(TWidget& Control) {
    return &Control != this && !(dynamic_cast<TDock*>(&Control) && NestDepth() >= 1);
}

bool TDock::AcceptsDrop(TWidget* Control, TFactory* /*Factory*/, TPoint /*ScreenPoint*/,
                        const TRect& /*ScreenRect*/) {
    return Control && AcceptsKind(*Control);
}

bool TDock::Dock(TWidget& Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) {
    if (IsUpdating() || &Control == this)
        return false;
    const TPoint Point = ScreenToContent(ScreenPoint);
    const TRect Rect = ScreenRect.Translated(Point.X - ScreenPoint.X, Point.Y - ScreenPoint.Y);
    TDockItem* Item = FindItem(Control);
    if (Item) {
        {
            TNestUpdate Guard(RootDock(), RootDock().FUpdating);
            ResetPreview();
            PlaceItem(*Item, Rect, Point);
        }
        RootDock().Relayout();
        ItemDocked(*Item);
        return true;
    }

    // Where the control came from, to put it back when placing fails.
    TDock* FromDock = DockList().DockOf(Control);
    const TDockItem* FromItem = FromDock ? FromDock->FindItem(Control) : nullptr;
    const TRect FromRect = FromItem ? FromItem->AroundRect : TRect{};
    const TRect FromScreen = Control.ScreenRect().IsEmpty() ? ScreenRect : Control.ScreenRect();
    std::unique_ptr<TWidget> Owned = BeforeDock(Control);
    if (!Owned)
        return false;
    try {
        return DoDock(Owned, Factory, Rect, Point) != nullptr;
    } catch (...) {
        // A failed placement puts the control back where it came from; a
        // dock that came from nowhere floats.
        if (Owned) {
            if (FromDock && FromDock != this && !dynamic_cast<TDock*>(Owned.get()))
                FromDock->DockNew(std::move(Owned), Factory, FromRect);
            else
                DockList().Float(std::move(Owned), FromScreen);
        }
        throw;
    }
}

TWidget* TDock::DockNew(std::unique_ptr<TWidget> Owned, TFactory* Factory, const TRect& Rect) {
    return DoDock(Owned, Factory, Rect, {Rect.Left + Rect.Width() / 2, Rect.Top + Rect.Height() / 2});
}

TWidget* TDock::DoDock(std::unique_ptr<TWidget>& Owned, TFactory* Factory, const TRect& Rect, TPoint Point) {
    if (!Owned || IsUpdating())
        return nullptr;
    TWidget* Control = Owned.get();
    TDockItem* Item = nullptr;
    {
        TNestUpdate Guard(RootDock(), RootDock().FUpdating);
        ResetPreview();
        if (TDock* Nested = dynamic_cast<TDock*>(Control))
            Nested->ResetPreview();
        TWidget& Child = AddChild(std::move(Owned));
        Child.SetVisible(false);
        FItems.push_back(CreateItem(Child, Factory));
        Item = FItems.back().get();
        try {
            PlaceItem(*Item, Rect, Point);
        } catch (...) {
            // The control must not stay hidden in a dock that has no item
            // for it: it goes back to the caller's hands, here freed, and
            // the error reaches the user.
            FItems.pop_back();
            Owned = RemoveChild(Child);
            throw;
        }
        Item->TabOrder = int32_t(FItems.size()) - 1;
        if (TDock* Nested = Item->NestedDock()) {
            Nested->FAroundRect = Item->AroundRect;
            Nested->FVisible = Item->Visible;
            if (FDesigning != Nested->FDesigning) {
                if (FDesigning)
                    Nested->BeginDesignItems();
                else
                    Nested->EndDesignItems();
            }
            if (FDockingMode)
                Nested->BeginDockingMode();
            else if (Nested->FDockingMode)
                Nested->EndDockingMode();
        } else if (FDesigning && Factory) {
            Factory->BeginDesign(*Control, {});
        }
    }
    RootDock().Relayout();
    ItemDocked(*Item);
    return Control;
}

std::unique_ptr<TWidget> TDock::Undock(TWidget& Control) {
    TDockItem* Item = FindItem(Control);
    if (!Item || IsUpdating())
        return nullptr;
    ItemUndocking(*Item);
    TFactory* Factory = Item->Factory;
    std::unique_ptr<TWidget> Owned;
    {
        TNestUpdate Guard(RootDock(), RootDock().FUpdating);
        ResetPreview();
        RemoveItem(*Item);
        if (FDesigning && Factory && !Item->NestedDock())
            Factory->EndDesign(Control);
        FItems.erase(FItems.begin() + IndexOf(Control));
        Owned = RemoveChild(Control);
    }
    if (TDock* Nested = dynamic_cast<TDock*>(Owned.get()))
        Nested->Relayout();
    RootDock().Relayout();
    ItemUndocked(*Owned, Factory);
    return Owned;
}

void TDock::ResetPreview() {
    if (FPreviewKind == TPreviewKind::None)
        return;
    FPreviewKind = TPreviewKind::None;
    FPreviewControl = nullptr;
    FPreviewFactory = nullptr;
    FPreviewIndex = -1;
    FPreviewRect = {};
    Invalidate();
}

void TDock::DragOver(TWidget& Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) {
    if (!FDockingMode)
        return;
    try {
        const TPoint Point = ScreenToContent(ScreenPoint);
        const TRect Rect = ScreenRect.Translated(Point.X - ScreenPoint.X, Point.Y - ScreenPoint.Y);
        FPreviewKind = TPreviewKind::Insert;
        FPreviewControl = &Control;
        FPreviewFactory = Factory;
        FPreviewIndex = IndexOf(Control);
        FPreviewRect = Rect;
        PreviewInsert(Control, Factory, Point, Rect);
        Relayout();
        Invalidate();
    } catch (...) {
        ResetPreview();
        throw;
    }
}

void TDock::DragMoveOut(TWidget& Control) {
    if (!FDockingMode)
        return;
    try {
        FPreviewKind = TPreviewKind::MoveOut;
        FPreviewControl = &Control;
        FPreviewFactory = nullptr;
        FPreviewIndex = IndexOf(Control);
        const TDockItem* Item = FindItem(Control);
        FPreviewRect = Item ? Item->AroundRect : TRect{};
        PreviewMove(Control);
        Relayout();
        Invalidate();
    } catch (...) {
        ResetPreview();
        throw;
    }
}

void TDock::CancelPreview() {
    if (FPreviewKind == TPreviewKind::None || !FDockingMode)
        return;
    ResetPreview();
    Relayout();
}

void TDock::BeginDockingMode() {
    FDockingMode = true;
    for (auto& Item : FItems)
        if (TDock* Nested = Item->NestedDock())
            Nested->BeginDockingMode();
}

void TDock::EndDockingMode() {
    ResetPreview();
    FDockingMode = false;
    for (auto& Item : FItems)
        if (TDock* Nested = Item->NestedDock())
            Nested->EndDockingMode();
    if (!ParentDock())
        Relayout();
}

// ---- layout

void TDock::Layout() {
    if (!ParentDock())
        Relayout();
}

void TDock::Relayout() {
    if (FDestroying)
        return;
    TDock& Root = RootDock();
    if (Root.FUpdating) {
        Root.FLayoutPending = true;
        return;
    }
    {
        TNestUpdate Guard(Root, Root.FUpdating);
        const bool Preview = Root.FDockingMode;
        Root.FLayoutPending = false;
        const TSize Before = Root.NaturalSize(Preview);
        Root.Measure(Preview);
        const TSize After = Root.NaturalSize(Preview);
        if (TWidgetWindow* Window = DockList().FloatingWindow(Root)) {
            TRect Rect = Root.FloatingRect(After);
            if (Window->Native().Bounds() != Rect)
                Window->Native().SetBounds(Rect);
            Root.FAroundRect = Rect;
            Root.SetBounds({0, 0, Rect.Width(), Rect.Height()});
            Root.ReadBack(ReadBackAround);
        } else if (Before.Width != After.Width || Before.Height != After.Height) {
            Root.NaturalSizeChanged();
        }
        Root.ApplyTree(Preview);
    }
    if (Root.FLayoutPending)
        Root.Relayout();
}

void TDock::NaturalSizeChanged() {
    if (TWidget* Host = Parent())
        Host->RequestLayout();
}

void TDock::Measure(bool Preview) {
    for (auto& Item : FItems) {
        if (TDock* Nested = Item->NestedDock()) {
            Nested->Measure(Preview);
            const TSize Size = Nested->NaturalSize(Preview);
            Item->WorkRect = TRect::FromSize(Item->AroundRect.Left, Item->AroundRect.Top, Size.Width, Size.Height);
            Item->WorkVisible = Nested->FVisible;
        } else {
            Item->WorkRect = Item->AroundRect;
            Item->WorkVisible = Item->Visible;
        }
        if (Preview && FPreviewControl == &Item->Control)
            Item->WorkVisible = false;
    }
    Arrange(Preview);
    for (auto& Item : FItems) {
        if (Preview) {
            Item->PreviewRect = Item->WorkRect;
            Item->PreviewVisible = Item->WorkVisible;
        } else {
            Item->AroundRect = Item->WorkRect;
            Item->Visible = Item->WorkVisible;
            Item->PreviewRect = Item->WorkRect;
            Item->PreviewVisible = Item->WorkVisible;
            if (TDock* Nested = Item->NestedDock()) {
                Nested->FAroundRect = Item->AroundRect;
                Nested->FVisible = Item->Visible;
            }
        }
    }
}

void TDock::Arrange(bool Preview) {
    TRect Bounds;
    for (auto& Item : FItems)
        if (Item->WorkVisible)
            Bounds = Bounds.United(Item->WorkRect);
    if (Preview && FPreviewKind == TPreviewKind::Insert)
        Bounds = Bounds.United(FPreviewRect);
    FContentBounds = Bounds;
}

TSize TDock::NaturalSize(bool /*Preview*/) {
    const TRect M = NCMargins();
    return {std::max(0, FContentBounds.Right + FOrigin.X) + M.Left + M.Right,
            std::max(0, FContentBounds.Bottom + FOrigin.Y) + M.Top + M.Bottom};
}

TRect TDock::FloatingRect(TSize Natural) {
    return TRect::FromSize(FAroundRect.Left, FAroundRect.Top, Natural.Width, Natural.Height);
}

void TDock::Apply(bool /*Preview*/) {
    for (auto& Item : FItems) {
        TWidget& Control = Item->Control;
        if (Item->WorkVisible) {
            Control.SetBounds(Item->WorkRect.Translated(FOrigin));
            Control.SetVisible(true);
        } else {
            Control.SetVisible(false);
        }
    }
}

void TDock::ApplyTree(bool Preview) {
    Apply(Preview);
    for (auto& Item : FItems)
        if (TDock* Nested = Item->NestedDock(); Nested && Item->WorkVisible)
            Nested->ApplyTree(Preview);
    Invalidate();
}

void TDock::ReadBack(uint32_t Mask) {
    if (Mask & ReadBackAround) {
        if (TWidgetWindow* Window = DockList().FloatingWindow(*this))
            FAroundRect = Window->Native().Bounds();
        else if (TDock* Parent = ParentDock())
            FAroundRect = Bounds().Translated(-Parent->FOrigin.X, -Parent->FOrigin.Y);
        else
            FAroundRect = Bounds();
    }
    if (Mask & ReadBackVisible) {
        if (TWidgetWindow* Window = DockList().FloatingWindow(*this))
            FVisible = Window->Native().IsVisible() && IsVisible();
        else
            FVisible = IsVisible();
    }
    if (Mask >= ReadBackItems)
        for (auto& Item : FItems) {
            if (Item->NestedDock()) {
                Item->NestedDock()->ReadBack(ReadBackAround | ReadBackVisible);
                Item->SyncFromDock();
            } else {
                Item->AroundRect = Item->Control.Bounds().Translated(-FOrigin.X, -FOrigin.Y);
                Item->Visible = Item->Control.IsVisible();
            }
        }
}

// ---- painting

void TDock::Paint(TPixels& Pixels) {
    const TRect Client = ClientRect();
    if (const TPixels* Picture = GlobalSkin().GetPicture(); Picture && !Picture->IsEmpty()) {
        const TPoint At = WindowClientOrigin();
        Pixels.TileFrom(-At.X + FOrigin.X, -At.Y + FOrigin.Y, *Picture);
    }
    (void)Client;
    const TColor White = MakeColor(255, 255, 255);
    const TColor Black = MakeColor(0, 0, 0);
    const TRect Preview = FPreviewRect.Translated(FOrigin);
    if (FPreviewKind == TPreviewKind::Insert) {
        if (FPreviewIndex < 0) {
            Pixels.PixelOp(Preview.Inflated(1, 1), White, HighlightOp, 64);
        } else {
            const TRect Old = FItems[size_t(FPreviewIndex)]->AroundRect.Translated(FOrigin);
            Pixels.PixelOpBand(Old.United(Preview), Preview, Black, ShadowOp, 64);
            Pixels.PixelOpBand(Preview.Inflated(1, 1), Preview, White, HighlightOp, 64);
        }
        Pixels.PixelOpFrame(Preview, Black, ShadowOp, 128);
    } else if (FPreviewKind == TPreviewKind::MoveOut) {
        Pixels.PixelOp(Preview.Inflated(1, 1), Black, ShadowOp, 64);
    }
}

// ---- stored form

void TDock::LoadProps(TData& Data) {
    SetCaption(Data.ReadString("Caption", FCaption));
    if (!ParentDock() || FAlign == TDockAlign::None) {
        FAroundRect = ClampRect(Data.ReadRect("AroundRect", FAroundRect));
        (void)Data.ReadRect("ClientRect", FAroundRect);
    }
    FVisible = Data.ReadBool("Visible", FVisible);
    TPoint Origin = Data.ReadPoint("Origin", FOrigin);
    FOrigin = {ClampCoord(Origin.X), ClampCoord(Origin.Y)};
}

void TDock::SaveProps(TData& Data) {
    Data.WriteString("Caption", FCaption);
    if (!ParentDock() || FAlign == TDockAlign::None) {
        Data.WriteRect("AroundRect", FAroundRect);
        const TRect M = NCMargins();
        Data.WriteRect("ClientRect", {FAroundRect.Left + M.Left, FAroundRect.Top + M.Top,
                                      FAroundRect.Right - M.Right, FAroundRect.Bottom - M.Bottom});
    }
    Data.WriteBool("Visible", FVisible);
    Data.WritePoint("Origin", FOrigin);
}

void TDock::LoadItems(TData& Data) {
    if (!Data.Exists("List"))
        return;
    TDataSection List(Data, "List");
    const int32_t Count = std::min(Data.ReadListCount("Item["), MaxStoredItems);
    for (int32_t I = 0; I < Count; ++I) {
        const std::string Name = ListItemName("Item[", I);
        if (!Data.Exists(Name))
            continue;
        TDataSection Section(Data, Name);
        BuildItem(Data);
    }
}

void TDock::SaveItems(TData& Data) {
    TDataSection List(Data, "List");
    int32_t Count = 0;
    for (auto& Item : FItems)
        if (Item->Factory) {
            TDataSection Section(Data, ListItemName("Item[", Count++));
            WriteItem(Data, *Item);
        }
    Data.WriteInteger("Count", Count);
}

TDockItem* TDock::BuildItem(TData& Data) {
    if (IsUpdating())
        return nullptr;
    TFactory* Factory = DockList().Factories().Find(Data.ReadString("FactoryId", ""));
    if (!Factory)
        return nullptr;
    std::unique_ptr<TControl> Made = Factory->CreateControl();
    auto* Widget = dynamic_cast<TWidget*>(Made.get());
    if (!Widget || !AcceptsKind(*Widget))
        return nullptr;
    Made.release();
    TWidget& Control = AddChild(std::unique_ptr<TWidget>(Widget));
    Control.SetVisible(false);
    FItems.push_back(CreateItem(Control, Factory));
    TDockItem* Item = FItems.back().get();
    try {
        Item->LoadItem(Data);
        if (Item->NestedDock()) {
            if (Data.Exists("Dock")) {
                TDataSection Section(Data, "Dock");
                Factory->LoadControl(Control, Data);
            }
            Item->SyncFromDock();
        } else if (Data.Exists("Control")) {
            TDataSection Section(Data, "Control");
            Factory->LoadControl(Control, Data);
        }
        if (FDesigning) {
            if (TDock* Nested = Item->NestedDock())
                Nested->BeginDesignItems();
            else
                Factory->BeginDesign(Control, {});
        }
    } catch (...) {
        FItems.pop_back();
        RemoveChild(Control).reset();
        throw;
    }
    return Item;
}

void TDock::WriteItem(TData& Data, TDockItem& Item) {
    Data.WriteString("FactoryId", Item.Factory ? std::string_view(Item.Factory->Id()) : std::string_view());
    Item.SaveItem(Data);
    const char* Node = Item.NestedDock() ? "Dock" : "Control";
    TDataSection Section(Data, Node);
    if (Item.Factory)
        Item.Factory->SaveControl(Item.Control, Data);
    else
        Item.Control.SaveControl(Data);
}

void TDock::LoadControl(TData& Data) {
    LoadProps(Data);
    LoadItems(Data);
}

void TDock::SaveControl(TData& Data) {
    SaveProps(Data);
    SaveItems(Data);
}

void TDock::Loaded() {
    for (auto& Item : FItems) {
        if (Item->Factory)
            Item->Factory->Loaded(Item->Control);
        else
            Item->Control.Loaded();
    }
    if (!ParentDock())
        Relayout();
}

void TDock::BeginDesignItems() {
    FDesigning = true;
    for (auto& Item : FItems) {
        if (TDock* Nested = Item->NestedDock())
            Nested->BeginDesignItems();
        else if (Item->Factory)
            Item->Factory->BeginDesign(Item->Control, {});
    }
}

void TDock::EndDesignItems() {
    FDesigning = false;
    for (auto& Item : FItems) {
        if (TDock* Nested = Item->NestedDock())
            Nested->EndDesignItems();
        else if (Item->Factory)
            Item->Factory->EndDesign(Item->Control);
    }
}

void TDock::ActivateControl() {
    for (auto& Item : FItems)
        if (Item->Factory)
            Item->Factory->ActivateControl(Item->Control);
}

void TDock::DeactivateControl() {
    for (auto& Item : FItems)
        if (Item->Factory)
            Item->Factory->DeactivateControl(Item->Control);
}

// ---- TDockList

TDockList::~TDockList() { Clear(); }

TDockList& DockList() {
    static TDockList List;
    return List;
}

TFactoryList& TDockList::Factories() const { return FFactories ? *FFactories : FactoryList(); }

TDock* TDockList::DockOf(const TWidget& Control) const {
    for (auto It = FDocks.rbegin(); It != FDocks.rend(); ++It)
        if ((*It)->FindItem(Control))
            return *It;
    return nullptr;
}

TWidget& TDockList::Float(std::unique_ptr<TWidget> Control, const TRect& ScreenRect, TFloatShow Show) {
    TFloating Entry;
    Entry.Control = std::move(Control);
    TWidget& Result = *Entry.Control;
    if (FSystem) {
        Entry.Window = std::make_unique<TWidgetWindow>(
            *FSystem, Result,
            TWindowOptions{.Kind = TWindowKind::Tool, .Title = "", .Bounds = ScreenRect, .Owner = FMain});
    }
    Result.SetVisible(true);
    FFloating.push_back(std::move(Entry));
    if (auto* Dock = dynamic_cast<TDock*>(&Result)) {
        Dock->FAroundRect = ScreenRect;
        Dock->FVisible = Show == TFloatShow::Shown;
        if (Dock->FDockingMode)
            Dock->EndDockingMode();
        Dock->Floated();
        Dock->Relayout();
    }
    if (FFloating.back().Window && Show == TFloatShow::Shown)
        FFloating.back().Window->Show(TActivate::No);
    return Result;
}

bool TDockList::IsFloating(const TWidget& Control) const { return FloatingWindow(Control) || [&] {
        for (auto& Entry : FFloating)
            if (Entry.Control.get() == &Control)
                return true;
        return false;
    }();
}

TWidgetWindow* TDockList::FloatingWindow(const TWidget& Control) const {
    for (auto& Entry : FFloating)
        if (Entry.Control.get() == &Control)
            return Entry.Window.get();
    return nullptr;
}

std::unique_ptr<TWidget> TDockList::TakeFloating(TWidget& Control) {
    for (auto It = FFloating.begin(); It != FFloating.end(); ++It)
        if (It->Control.get() == &Control) {
            TFloating Entry = std::move(*It);
            FFloating.erase(It);
            Entry.Window.reset();
            return std::move(Entry.Control);
        }
    return nullptr;
}

void TDockList::Clear() {
    while (!FFloating.empty()) {
        TFloating Entry = std::move(FFloating.back());
        FFloating.pop_back();
        Entry.Window.reset();
        Entry.Control.reset();
    }
}

void TDockList::ShowFloating(bool Show) {
    for (auto& Entry : FFloating) {
        if (!Entry.Window)
            continue;
        auto* Dock = dynamic_cast<TDock*>(Entry.Control.get());
        if (Show && (!Dock || Dock->StoredVisible())) {
            // Above the main window that has just been shown.
            Entry.Window->Show(TActivate::No);
            Entry.Window->Native().Raise();
        }
        else if (!Show)
            Entry.Window->Hide();
    }
}
