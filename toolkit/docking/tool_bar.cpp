#include "toolkit/docking/tool_bar.h"

#include "commands/factory.h"
#include "core/data.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin.h"
#include "toolkit/skin/skin_colors.h"

#include <algorithm>

const TControlClass TToolBar::Class{"TToolBar", &TToolBox::Class, CreateControlOf<TToolBar>};

namespace {

// Swaps the axes of a rectangle: how a vertical bar reuses the horizontal
// layout.
TRect Swapped(const TRect& R) { return {R.Top, R.Left, R.Bottom, R.Right}; }

} // namespace

// ---- TToolBarItem

void TToolBarItem::LoadItem(TData& Data) {
    TDockItem::LoadItem(Data);
    Order = std::clamp(Data.ReadInteger("Order", Order), 0, 1 << 20);
}

void TToolBarItem::SaveItem(TData& Data) {
    TDockItem::SaveItem(Data);
    Data.WriteInteger("Order", Order);
}

// ---- TToolBarScroller

void TToolBarScroller::SetEnabled(bool Enabled) {
    if (Enabled == FIsEnabled)
        return;
    FIsEnabled = Enabled;
    Invalidate();
}

void TToolBarScroller::Step() {
    if (!FIsEnabled)
        return;
    const int32_t Sum = FBar.Width() + FBar.Height();
    const int32_t Amount = FIsBigStep ? Sum / 3 + 1 : Sum / 16 + 1;
    FBar.ScrollBy(FDirection == TDirection::TowardStart ? Amount : -Amount);
}

void TToolBarScroller::MouseDown(TWidgetMouseEvent& Event) {
    if (!FIsEnabled)
        return;
    Event.Accept();
    FIsBigStep = Event.Button == TMouseButton::Right;
    FBar.FIsScrolling = true;
    Step();
}

void TToolBarScroller::RepeatTick() {
    if (FBar.FIsScrolling)
        Step();
}

void TToolBarScroller::MouseUp(TWidgetMouseEvent& /*Event*/) { CaptureEnd(); }

void TToolBarScroller::CaptureEnd() {
    if (!FBar.FIsScrolling)
        return;
    FBar.FIsScrolling = false;
    FBar.Relayout();
}

void TToolBarScroller::Paint(TPixels& Pixels) {
    const int32_t W = Bounds().Width(), H = Bounds().Height();
    const bool Vertical = FBar.Kind() == TToolBoxKind::Vertical;
    const int32_t G = Vertical ? std::min(W / 4, H / 3) + 1 : std::min(W / 3, H / 4) + 1;
    int32_t CX = (W - 1) / 2, CY = (H - 1) / 2;
    const bool Pressed = IsHot() && IsDown();
    if (FIsEnabled) {
        PaintDockedTitleButton(Pixels, W, H, IsHot(), IsDown());
        if (Pressed) {
            ++CX;
            ++CY;
        }
    }
    TPoint Points[3];
    const bool Start = FDirection == TDirection::TowardStart;
    if (!Vertical) {
        const int32_t Tip = Start ? CX - G / 2 : CX + G / 2;
        const int32_t Back = Start ? Tip + G : Tip - G;
        Points[0] = {Tip, CY};
        Points[1] = {Back, CY - G};
        Points[2] = {Back, CY + G};
    } else {
        const int32_t Tip = Start ? CY - G / 2 : CY + G / 2;
        const int32_t Back = Start ? Tip + G : Tip - G;
        Points[0] = {CX, Tip};
        Points[1] = {CX - G, Back};
        Points[2] = {CX + G, Back};
    }
    TColor Color = FIsEnabled ? (IsHot() ? SkinColors().TextColor : SkinColors().ShadowColor)
                              : AlphaColor(SkinColors().ShadowColor, 64);
    Pixels.FillPolygon(Points, 3, TSmooth::Yes, Color);
    if (FIsEnabled)
        PaintDockedTitleButtonFrame(Pixels, W, H, IsHot(), IsDown());
}

// ---- TToolBar

TToolBar::TToolBar() {
    FStart = static_cast<TToolBarScroller*>(
        &AddNCGadget(std::make_unique<TToolBarScroller>(*this, TToolBarScroller::TDirection::TowardStart)));
    FEnd = static_cast<TToolBarScroller*>(
        &AddNCGadget(std::make_unique<TToolBarScroller>(*this, TToolBarScroller::TDirection::TowardEnd)));
    FStart->SetVisible(false);
    FEnd->SetVisible(false);
}

std::unique_ptr<TDockItem> TToolBar::CreateItem(TWidget& Control, TFactory* Factory) {
    auto Item = std::make_unique<TToolBarItem>(*this, Control, Factory);
    Item->Order = int32_t(Items().size());
    FOrderValid = false;
    return Item;
}

std::vector<TToolBarItem*> TToolBar::OrderedItems() {
    std::vector<TToolBarItem*> List;
    for (auto& Item : Items())
        List.push_back(static_cast<TToolBarItem*>(Item.get()));
    std::stable_sort(List.begin(), List.end(), [](auto* A, auto* B) { return A->Order < B->Order; });
    if (!FOrderValid) {
        for (size_t I = 0; I < List.size(); ++I)
            List[I]->Order = int32_t(I);
        FOrderValid = true;
    }
    return List;
}

int32_t TToolBar::InsertionIndex(const TRect& DropRect, const TWidget* Dragged) {
    const TRect Rect = Vertical() ? Swapped(DropRect) : DropRect;
    const int64_t Centre = (int64_t(Rect.Left) + Rect.Right - 1) / 2;
    int32_t Index = 0, Position = 0;
    for (TToolBarItem* Item : OrderedItems()) {
        if (&Item->Control == Dragged)
            continue;
        if (Item->Visible) {
            const TRect R = Vertical() ? Swapped(Item->AroundRect) : Item->AroundRect;
            if ((int64_t(R.Left) + R.Right) / 2 < Centre)
                Index = Position + 1;
        }
        ++Position;
    }
    return Index;
}

void TToolBar::PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) {
    const int32_t Index = InsertionIndex(Rect, &Item.Control);
    TDock::PlaceItem(Item, Rect, Point);
    // Renumber without the placed item, then make room at Index.
    int32_t Position = 0;
    for (TToolBarItem* Each : OrderedItems()) {
        if (Each == &Item)
            continue;
        Each->Order = Position >= Index ? Position + 1 : Position;
        ++Position;
    }
    static_cast<TToolBarItem&>(Item).Order = Index;
    FOrderValid = true;
}

bool TToolBar::PreviewInsert(TWidget& Control, TFactory* /*Factory*/, TPoint /*Point*/, const TRect& Rect) {
    const int32_t Index = InsertionIndex(Rect, &Control);
    const bool Changed = Index != FInsertIndex;
    FInsertIndex = Index;
    return Changed;
}

void TToolBar::Arrange(bool Preview) {
    std::vector<TToolBarItem*> List = OrderedItems();
    // Default sizes, and the row height from the items that are not
    // separators.
    int32_t Row = 0;
    for (TToolBarItem* Item : List) {
        int32_t W = 0, H = 0;
        const bool HasDefault = Item->Factory ? Item->Factory->GetDefaultSize(Item->Control, W, H)
                                              : Item->Control.GetDefaultSize(W, H);
        if (HasDefault)
            Item->WorkRect = {0, 0, std::max(0, W), std::max(0, H)};
        const TRect R = Vertical() ? Swapped(Item->WorkRect) : Item->WorkRect;
        if (!HasDefault || !dynamic_cast<TSeparator*>(&Item->Control))
            Row = std::max(Row, R.Height());
    }
    // The dragged control's place in the preview.
    const bool Phantom = Preview && PreviewKind() == TPreviewKind::Insert;
    TRect PhantomRect;
    if (Phantom) {
        PhantomRect = Vertical() ? Swapped(PreviewRect()) : PreviewRect();
        if (ParentDock() && PhantomRect.Height() > Row && Row > 0)
            PhantomRect.Bottom = PhantomRect.Top + Row;
        Row = std::max(Row, PhantomRect.Height());
    }
    int32_t X = 0, Position = 0;
    bool PhantomPlaced = false;
    auto PlacePhantom = [&] {
        const int32_t W = PhantomRect.Width(), H = PhantomRect.Height();
        const TRect R = TRect::FromSize(X, (Row - H) / 2, W, H);
        SetPreviewRect(Vertical() ? Swapped(R) : R);
        X += W;
        PhantomPlaced = true;
    };
    for (TToolBarItem* Item : List) {
        if (Phantom && &Item->Control == PreviewControl())
            continue;
        if (Phantom && !PhantomPlaced && Position == FInsertIndex)
            PlacePhantom();
        ++Position;
        TRect R = Vertical() ? Swapped(Item->WorkRect) : Item->WorkRect;
        if (!Item->WorkVisible || R.IsEmpty())
            continue;
        int32_t W = 0, H = 0;
        const bool HasDefault = Item->Factory ? Item->Factory->GetDefaultSize(Item->Control, W, H)
                                              : Item->Control.GetDefaultSize(W, H);
        const int32_t Width = R.Width();
        if (!HasDefault)
            R = TRect::FromSize(X, (Row - R.Height()) / 2, Width, R.Height());
        else if (dynamic_cast<TSeparator*>(&Item->Control))
            R = TRect::FromSize(X, 2, Width, std::max(0, Row - 4));
        else
            R = TRect::FromSize(X, 0, Width, Row);
        X += Width;
        Item->WorkRect = Vertical() ? Swapped(R) : R;
    }
    if (Phantom && !PhantomPlaced)
        PlacePhantom();
    TRect Content{0, 0, X, Row};
    if (Content.IsEmpty()) {
        const int32_t Long = Skins().Scale(128), Short = Skins().Scale(64);
        Content = {0, 0, Long, Short};
    }
    SetContentBounds(Vertical() ? Swapped(Content) : Content);
}

TRect TToolBar::NCMargins() const {
    TRect M = TToolBox::NCMargins();
    const int32_t Start = FStartShown ? TToolBarScroller::Size : 0;
    const int32_t End = FEndShown ? TToolBarScroller::Size : 0;
    if (Kind() == TToolBoxKind::Vertical) {
        M.Top += Start;
        M.Bottom += End;
    } else {
        M.Left += Start;
        M.Right += End;
    }
    return M;
}

void TToolBar::LayoutNC(int32_t Width, int32_t Height) {
    TToolBox::LayoutNC(Width, Height);
    const TRect M = TToolBox::NCMargins();
    const int32_t S = TToolBarScroller::Size;
    if (Kind() == TToolBoxKind::Vertical) {
        FStart->SetBounds({M.Left, M.Top, Width - M.Right, M.Top + S});
        FEnd->SetBounds({M.Left, Height - M.Bottom - S, Width - M.Right, Height - M.Bottom});
    } else {
        FStart->SetBounds({M.Left, M.Top, M.Left + S, Height - M.Bottom});
        FEnd->SetBounds({Width - M.Right - S, M.Top, Width - M.Right, Height - M.Bottom});
    }
    FStart->SetVisible(FStartShown);
    FEnd->SetVisible(FEndShown);
}

int32_t TToolBar::BaseClientExtent() const {
    const TRect M = TToolBox::NCMargins();
    return Vertical() ? Height() - M.Top - M.Bottom : Width() - M.Left - M.Right;
}

void TToolBar::UpdateScrollers() {
    const TRect Content = Vertical() ? Swapped(ContentBounds()) : ContentBounds();
    const int32_t Base = BaseClientExtent();
    const bool Needed = Content.Right > Base || Content.Left < 0;
    const bool Shown = Needed && Base > 2 * TToolBarScroller::Size;
    const int32_t Extent = Shown ? Base - 2 * TToolBarScroller::Size : Base;
    int32_t Along = Vertical() ? Origin().Y : Origin().X;
    if (!Shown)
        Along = 0;
    else
        Along = std::clamp(Along, std::min(0, Extent - Content.Right), std::max(0, -Content.Left));
    SetOrigin(Vertical() ? TPoint{0, Along} : TPoint{Along, 0});
    if (Shown != FStartShown || Shown != FEndShown) {
        FStartShown = FEndShown = Shown && BothScrollers;
        if (!BothScrollers) {
            FStartShown = Shown && Content.Left + Along < 0;
            FEndShown = Shown && Content.Right + Along > Extent;
        }
        InvalidateNC({0, 0, Width(), Height()});
        RequestLayout();
    }
    FStart->SetEnabled(Content.Left + Along < 0);
    FEnd->SetEnabled(Content.Right + Along > Extent);
}

void TToolBar::Apply(bool Preview) {
    UpdateScrollers();
    TToolBox::Apply(Preview);
}

void TToolBar::ScrollBy(int32_t Delta) {
    const TRect Content = Vertical() ? Swapped(ContentBounds()) : ContentBounds();
    const int32_t Extent =
        BaseClientExtent() - (FStartShown ? TToolBarScroller::Size : 0) - (FEndShown ? TToolBarScroller::Size : 0);
    const int64_t Old = Vertical() ? Origin().Y : Origin().X;
    int64_t New = Old + Delta;
    if (Delta < 0)
        New = std::max(New, std::min<int64_t>(Old, int64_t(Extent) - Content.Right));
    else if (Delta > 0)
        New = std::min(New, std::max<int64_t>(Old, -int64_t(Content.Left)));
    const int32_t Along = int32_t(New);
    SetOrigin(Vertical() ? TPoint{0, Along} : TPoint{Along, 0});
    FStart->SetEnabled(Content.Left + Along < 0);
    FEnd->SetEnabled(Content.Right + Along > Extent);
    TDock::Apply(false);
    Invalidate();
}

void TToolBar::OrientationChanged() {
    for (auto& Item : Items())
        if (auto* Separator = dynamic_cast<TSeparator*>(&Item->Control)) {
            if (Separator->Kind() == TSeparatorKind::Horizontal)
                Separator->SetKind(TSeparatorKind::Vertical);
            else if (Separator->Kind() == TSeparatorKind::Vertical)
                Separator->SetKind(TSeparatorKind::Horizontal);
        }
}

TToolBarFactory::TToolBarFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                                 std::string_view Id)
    : TToolBoxFactory(List, Category, Name, Id) {
    SetControlClass(TToolBar::Class);
}
