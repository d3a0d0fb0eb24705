#include "toolkit/border_dock.h"

#include "commands/factory_list.h"
#include "core/data.h"
#include "toolkit/tool_box.h"
#include "toolkit/widget_window.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

const TControlClass TBorderDock::Class{"TBorderDock", &TDock::Class, CreateControlOf<TBorderDock>};

namespace {

constexpr int32_t MaxStoredCoord = 1 << 20;

TRect ClampStored(const TRect& Rect) {
    auto C = [](int32_t V) { return std::clamp(V, -MaxStoredCoord, MaxStoredCoord); };
    TRect R{C(Rect.Left), C(Rect.Top), C(Rect.Right), C(Rect.Bottom)};
    R.Right = std::max(R.Right, R.Left);
    R.Bottom = std::max(R.Bottom, R.Top);
    return R;
}

bool ShareVertical(const TRect& A, const TRect& B) { return A.Top < B.Bottom && B.Top < A.Bottom; }

// Lays the boxes out along the edge for their band positions; answers
// whether two boxes still overlap (the edge was too short for them).
void LayAlong(std::vector<TBandBox>& Boxes, int32_t Length) {
    const size_t N = Boxes.size();
    std::vector<size_t> Order(N);
    std::iota(Order.begin(), Order.end(), size_t(0));
    std::stable_sort(Order.begin(), Order.end(),
                     [&](size_t A, size_t B) { return Boxes[A].Wanted.Left < Boxes[B].Wanted.Left; });
    // Pushed apart from the left.
    for (size_t I = 0; I < N; ++I) {
        TBandBox& Box = Boxes[Order[I]];
        int64_t Left = std::max(0, Box.Wanted.Left);
        for (size_t J = 0; J < I; ++J) {
            const TBandBox& Other = Boxes[Order[J]];
            if (ShareVertical(Box.Result, Other.Result))
                Left = std::max<int64_t>(Left, Other.Result.Right);
        }
        Box.Result.Left = int32_t(std::min<int64_t>(Left, MaxStoredCoord));
        Box.Result.Right = Box.Result.Left + Box.Wanted.Width();
    }
    // Pulled back inside the length, squeezed to the minimum when needed.
    for (size_t I = N; I-- > 0;) {
        TBandBox& Box = Boxes[Order[I]];
        int32_t Limit = Length;
        for (size_t K = I + 1; K < N; ++K) {
            const TBandBox& Other = Boxes[Order[K]];
            if (ShareVertical(Box.Result, Other.Result))
                Limit = std::min(Limit, Other.Result.Left);
        }
        if (Box.Result.Right > Limit) {
            const int32_t Width = Box.Result.Width();
            Box.Result.Left = std::max(0, Limit - Width);
            Box.Result.Right = std::max(Box.Result.Left + Box.MinLength, std::min(Limit, Box.Result.Left + Width));
        }
    }
    // Stretched to the right neighbour or the edge's end.
    for (size_t I = 0; I < N; ++I) {
        TBandBox& Box = Boxes[Order[I]];
        int32_t Limit = std::max(Length, Box.Result.Right);
        for (size_t K = I + 1; K < N; ++K) {
            const TBandBox& Other = Boxes[Order[K]];
            if (ShareVertical(Box.Result, Other.Result) && Other.Result.Left >= Box.Result.Right)
                Limit = std::min(Limit, Other.Result.Left);
        }
        Box.Result.Right = std::max(Box.Result.Right, Limit);
    }
}

} // namespace

bool BandOverlap(const TRect& A, const TRect& B) {
    const TRect Moved = A.Top < 0 ? A.Translated(0, -A.Top) : A;
    if (!Moved.Intersects(B))
        return false;
    const int64_t HA = A.Height(), HB = B.Height();
    if (HB * 3 < HA * 2)
        return true;
    const int32_t Near = std::min({100, A.Width(), B.Width()});
    if (std::abs(int64_t(A.Left) - B.Left) < Near)
        return true;
    if (A.Top < 0)
        return -int64_t(A.Top) * 3 > HA;
    const int64_t Overlap = int64_t(std::min(Moved.Bottom, B.Bottom)) - std::max(Moved.Top, B.Top);
    const int64_t Smaller = std::min(HA, HB);
    return Overlap >= Smaller / 3 && Overlap <= Smaller * 2 / 3;
}

void PackBands(std::vector<TBandBox>& Boxes, int32_t Length) {
    const size_t N = Boxes.size();
    // Band positions: boxes that stay first, by their wanted distance from
    // the edge, then the new ones snapping to the edge or to the boxes they
    // overlap.
    std::vector<size_t> Order(N);
    std::iota(Order.begin(), Order.end(), size_t(0));
    std::stable_sort(Order.begin(), Order.end(), [&](size_t A, size_t B) {
        if (Boxes[A].IsNew != Boxes[B].IsNew)
            return !Boxes[A].IsNew;
        return Boxes[A].Wanted.Top < Boxes[B].Wanted.Top;
    });
    std::vector<size_t> Fixed;
    for (size_t Index : Order) {
        TBandBox& Box = Boxes[Index];
        const TRect& D = Box.Wanted;
        const int64_t Height = D.Height();
        int64_t Best = -1, BestCost = 0;
        auto Consider = [&](int64_t Y, int64_t Cost) {
            if (Y < 0)
                return;
            if (Best < 0 || Cost < BestCost) {
                Best = Y;
                BestCost = Cost;
            }
        };
        if (Box.IsNew) {
            const int64_t Middle = (int64_t(D.Top) + D.Bottom) / 2;
            if (D.Top < 0)
                Consider(0, std::abs(Middle));
            for (size_t F : Fixed) {
                const TRect& P = Boxes[F].Result;
                if (!BandOverlap(D, P))
                    continue;
                Consider(P.Top, std::abs(Middle - P.Top));
                Consider(P.Bottom, std::abs(Middle - P.Bottom));
            }
        }
        if (Best < 0) {
            // Not dropped over any box (or not new): the nearest of the edge
            // and the other boxes' tops (counted double) and bottoms.
            Consider(0, std::abs(int64_t(D.Top)));
            for (size_t F : Fixed) {
                const TRect& P = Boxes[F].Result;
                Consider(P.Top, 2 * std::abs(int64_t(P.Top) - D.Top));
                Consider(P.Bottom, std::abs(int64_t(P.Bottom) - D.Top));
            }
        }
        const int32_t Y = int32_t(std::min<int64_t>(Best, MaxStoredCoord));
        Box.Result = {D.Left, Y, D.Right, int32_t(std::min<int64_t>(Y + Height, MaxStoredCoord))};
        Fixed.push_back(Index);
    }

    // Compaction: each distinct band moves up to the bottom of the bands
    // before it, so no gap is left between bands.
    std::vector<int32_t> Tops;
    for (auto& Box : Boxes)
        Tops.push_back(Box.Result.Top);
    std::sort(Tops.begin(), Tops.end());
    Tops.erase(std::unique(Tops.begin(), Tops.end()), Tops.end());
    std::vector<int32_t> NewTop(N);
    int32_t Reached = 0;
    for (int32_t Top : Tops) {
        const int32_t Target = std::min(Top, Reached);
        for (size_t I = 0; I < N; ++I)
            if (Boxes[I].Result.Top == Top) {
                NewTop[I] = Target;
                Reached = std::max(Reached, Target + Boxes[I].Result.Height());
            }
    }
    for (size_t I = 0; I < N; ++I)
        Boxes[I].Result = Boxes[I].Result.Translated(0, NewTop[I] - Boxes[I].Result.Top);

    // Along the edge; a box the edge has no room for goes to a band of its
    // own below the one it overlaps. Every round settles one box, so the
    // rounds are bounded.
    for (size_t Round = 0; Round <= N; ++Round) {
        LayAlong(Boxes, Length);
        bool Moved = false;
        for (size_t I = 0; I < N && !Moved; ++I)
            for (size_t J = 0; J < N && !Moved; ++J) {
                if (I == J || !Boxes[I].Result.Intersects(Boxes[J].Result))
                    continue;
                // The later of the two along the edge goes down.
                const size_t Down = Boxes[I].Result.Left <= Boxes[J].Result.Left ? J : I;
                const size_t Stay = Down == I ? J : I;
                const int32_t Height = Boxes[Down].Result.Height();
                Boxes[Down].Result.Top = Boxes[Stay].Result.Bottom;
                Boxes[Down].Result.Bottom = Boxes[Down].Result.Top + Height;
                Boxes[Down].Wanted.Left = 0;
                Moved = true;
            }
        if (!Moved)
            break;
    }
}

// ---- TBorderDockItem

void TBorderDockItem::LoadItem(TData& Data) {
    TDockItem::LoadItem(Data);
    Anchor = ClampStored(Data.ReadRect("Anchor", AroundRect));
}

void TBorderDockItem::SaveItem(TData& Data) {
    TDockItem::SaveItem(Data);
    Data.WriteRect("Anchor", Anchor);
}

// ---- TBorderDock

TBorderDock::TBorderDock() : TBorderDock(TDockAlign::Top) {}

TBorderDock::TBorderDock(TDockAlign Align) { SetAlign(Align); }

std::unique_ptr<TDockItem> TBorderDock::CreateItem(TWidget& Control, TFactory* Factory) {
    auto Item = std::make_unique<TBorderDockItem>(*this, Control, Factory);
    Item->Anchor = Item->AroundRect;
    return Item;
}

bool TBorderDock::AcceptsKind(TWidget& Control) {
    return dynamic_cast<TToolBox*>(&Control) && TDock::AcceptsKind(Control);
}

bool TBorderDock::AcceptsDrop(TWidget* Control, TFactory* Factory, TPoint ScreenPoint, const TRect& ScreenRect) {
    auto* Box = dynamic_cast<TToolBox*>(Control);
    if (!Box || !TDock::AcceptsDrop(Control, Factory, ScreenPoint, ScreenRect))
        return false;
    if (Box->IsLocked() && !ToolBoxes().CustomizePermission())
        return false;
    const bool WantsVertical = Box->Kind() == TToolBoxKind::Vertical;
    switch (Align()) {
    case TDockAlign::Top:
    case TDockAlign::Bottom:
        if (WantsVertical)
            return false;
        break;
    case TDockAlign::Left:
    case TDockAlign::Right:
        if (!WantsVertical)
            return false;
        break;
    default:
        break;
    }
    // Not more than a third of the main window across the edge.
    TWidgetWindow* Window = this->Window();
    if (!Window)
        return true;
    const TSize Main = Window->Native().ClientSize();
    if (IsVertical())
        return int64_t(ScreenRect.Width()) * 3 <= int64_t(Main.Width);
    return int64_t(ScreenRect.Height()) * 3 <= int64_t(Main.Height);
}

void TBorderDock::PlaceItem(TDockItem& Item, const TRect& Rect, TPoint Point) {
    TDock::PlaceItem(Item, Rect, Point);
    auto& Border = static_cast<TBorderDockItem&>(Item);
    Border.Anchor = Rect;
    Border.IsNew = true;
}

void TBorderDock::ItemDocked(TDockItem& /*Item*/) {
    for (auto& Each : Items()) {
        auto& Border = static_cast<TBorderDockItem&>(*Each);
        if (Border.Visible)
            Border.Anchor = Border.AroundRect;
        Border.IsNew = false;
    }
}

void TBorderDock::ItemUndocked(TWidget& /*Control*/, TFactory* /*Factory*/) {
    for (auto& Each : Items()) {
        auto& Border = static_cast<TBorderDockItem&>(*Each);
        if (Border.Visible)
            Border.Anchor = Border.AroundRect;
    }
}

int32_t TBorderDock::EdgeLength() const {
    const TRect Client = ClientRect();
    return IsVertical() ? Client.Height() : Client.Width();
}

TRect TBorderDock::ToEdge(const TRect& R) const {
    switch (Align()) {
    case TDockAlign::Bottom:
        return {R.Left, -R.Bottom, R.Right, -R.Top};
    case TDockAlign::Left:
        return {R.Top, R.Left, R.Bottom, R.Right};
    case TDockAlign::Right:
        return {R.Top, -R.Right, R.Bottom, -R.Left};
    default:
        return R;
    }
}

TRect TBorderDock::FromEdge(const TRect& R) const {
    switch (Align()) {
    case TDockAlign::Bottom:
        return {R.Left, -R.Bottom, R.Right, -R.Top};
    case TDockAlign::Left:
        return {R.Top, R.Left, R.Bottom, R.Right};
    case TDockAlign::Right:
        return {-R.Bottom, R.Left, -R.Top, R.Right};
    default:
        return R;
    }
}

void TBorderDock::Arrange(bool Preview) {
    const TRect Client = ClientRect();
    if (Align() == TDockAlign::Bottom)
        SetOrigin({0, Client.Height()});
    else if (Align() == TDockAlign::Right)
        SetOrigin({Client.Width(), 0});
    else
        SetOrigin({0, 0});

    bool AnyNew = false;
    for (auto& Each : Items())
        AnyNew = AnyNew || static_cast<TBorderDockItem&>(*Each).IsNew;
    std::vector<TBandBox> Boxes;
    std::vector<TDockItem*> Placed;
    for (auto& Each : Items()) {
        auto& Item = static_cast<TBorderDockItem&>(*Each);
        if (!Item.WorkVisible || Item.WorkRect.IsEmpty())
            continue;
        TBandBox Box;
        const TRect Work = ToEdge(Item.WorkRect);
        if (AnyNew) {
            Box.Wanted = Work;
        } else {
            // The anchor, not the last layout: a box squeezed while the
            // dock was short goes back to its place when it grows again.
            const TRect Anchor = ToEdge(Item.Anchor);
            Box.Wanted = TRect::FromSize(Anchor.Left, Anchor.Top, Work.Width(), Work.Height());
        }
        Box.Current = ToEdge(Item.AroundRect);
        Box.IsNew = Item.IsNew;
        Box.MinLength = std::min(100, Box.Wanted.Width());
        Boxes.push_back(Box);
        Placed.push_back(&Item);
    }
    const bool HasPhantom = Preview && PreviewKind() == TPreviewKind::Insert && !PreviewRect().IsEmpty();
    if (HasPhantom) {
        TBandBox Box;
        Box.Wanted = Box.Current = ToEdge(PreviewRect());
        Box.IsNew = true;
        Box.MinLength = std::min(100, Box.Wanted.Width());
        Boxes.push_back(Box);
    }
    PackBands(Boxes, EdgeLength());
    TRect Content;
    int32_t Thickness = 0;
    for (size_t I = 0; I < Boxes.size(); ++I) {
        const TRect Result = FromEdge(Boxes[I].Result);
        Thickness = std::max(Thickness, Boxes[I].Result.Bottom);
        Content = Content.United(Result);
        if (I < Placed.size())
            Placed[I]->WorkRect = Result;
        else
            SetPreviewRect(Result);
    }
    SetContentBounds(Content);
    const TRect M = NCMargins();
    const int32_t Total = Thickness + (IsVertical() ? M.Left + M.Right : M.Top + M.Bottom);
    if (Total != FThickness) {
        FThickness = Total;
        NaturalSizeChanged();
    }
}

TSize TBorderDock::NaturalSize(bool /*Preview*/) {
    return IsVertical() ? TSize{FThickness, Height()} : TSize{Width(), FThickness};
}

void TBorderDock::Apply(bool Preview) {
    // The origin follows the dock's size, which the host may have changed
    // since the layout.
    const TRect Client = ClientRect();
    if (Align() == TDockAlign::Bottom)
        SetOrigin({0, Client.Height()});
    else if (Align() == TDockAlign::Right)
        SetOrigin({Client.Width(), 0});
    TDock::Apply(Preview);
}

// ---- TBorderDockFactory

TBorderDockFactory::TBorderDockFactory(TFactoryList& List) : TDockFactory(List, nullptr, Id, Id) {
    SetControlClass(TBorderDock::Class);
}

void RegisterDockFactories(TFactoryList& List) {
    if (!List.Find(TBorderDockFactory::Id))
        new TBorderDockFactory(List);
}
