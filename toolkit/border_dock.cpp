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

// The boxes' neighbours along the edge, in the order of their current left
// edges (ties in item order): A is a left neighbour of B when A comes
// before B, they share some of their vertical extent, and no box between
// them covers any of that shared extent.
struct TNeighbours {
    std::vector<size_t> Order;
    std::vector<std::vector<size_t>> Left;
    std::vector<std::vector<size_t>> Right;
};

TNeighbours FindNeighbours(const std::vector<TBandBox>& Boxes) {
    const size_t N = Boxes.size();
    TNeighbours Result;
    Result.Order.resize(N);
    std::iota(Result.Order.begin(), Result.Order.end(), size_t(0));
    // A box without a last layout counts where it wants to be.
    auto Key = [&](size_t I) { return Boxes[I].Current.IsEmpty() ? Boxes[I].Wanted.Left : Boxes[I].Current.Left; };
    std::stable_sort(Result.Order.begin(), Result.Order.end(), [&](size_t A, size_t B) { return Key(A) < Key(B); });
    Result.Left.resize(N);
    Result.Right.resize(N);
    for (size_t J = 0; J < N; ++J) {
        const TRect& B = Boxes[Result.Order[J]].Result;
        // Sweeping leftwards from B, the part of B's extent not yet covered
        // by a nearer box.
        std::vector<std::pair<int32_t, int32_t>> Open{{B.Top, B.Bottom}};
        for (size_t I = J; I-- > 0 && !Open.empty();) {
            const TRect& A = Boxes[Result.Order[I]].Result;
            std::vector<std::pair<int32_t, int32_t>> Still;
            bool Touches = false;
            for (auto [Top, Bottom] : Open) {
                if (A.Top >= Bottom || A.Bottom <= Top) {
                    Still.push_back({Top, Bottom});
                    continue;
                }
                Touches = true;
                if (Top < A.Top)
                    Still.push_back({Top, A.Top});
                if (A.Bottom < Bottom)
                    Still.push_back({A.Bottom, Bottom});
            }
            if (Touches) {
                Result.Left[Result.Order[J]].push_back(Result.Order[I]);
                Result.Right[Result.Order[I]].push_back(Result.Order[J]);
            }
            Open = std::move(Still);
        }
    }
    return Result;
}

// Moves the left neighbours of Box left until each keeps its minimum
// length before Box, and theirs before them, down the chain.
void MakeRoomBefore(std::vector<TBandBox>& Boxes, const TNeighbours& Near, size_t Box, std::vector<int64_t>& X) {
    std::vector<size_t> Work{Box};
    // Every step moves a box left to a bound fixed by its right neighbour,
    // so the chain ends; the count guards against a cycle all the same.
    size_t Steps = 0;
    const size_t MaxSteps = Boxes.size() * Boxes.size() + 1;
    while (!Work.empty() && Steps++ < MaxSteps) {
        const size_t Right = Work.back();
        Work.pop_back();
        for (size_t Left : Near.Left[Right]) {
            const int64_t Limit = X[Right] - Boxes[Left].MinLength;
            if (X[Left] > Limit) {
                X[Left] = Limit;
                Work.push_back(Left);
            }
        }
    }
}

// Lays the boxes out along the edge for their band positions: each starts
// at its wanted left with its wanted length, is kept clear of its left
// neighbours (which give way down to their minimum lengths), is pulled back
// inside the dock's length, and is finally cut at its right neighbour or
// stretched to the dock's end.
void LayAlong(std::vector<TBandBox>& Boxes, int32_t Length) {
    const size_t N = Boxes.size();
    const TNeighbours Near = FindNeighbours(Boxes);
    std::vector<int64_t> X(N), Earliest(N, 0);
    for (size_t I = 0; I < N; ++I)
        X[I] = Boxes[I].Wanted.Left;
    for (size_t Index : Near.Order)
        for (size_t Left : Near.Left[Index])
            Earliest[Index] = std::max(Earliest[Index], Earliest[Left] + Boxes[Left].MinLength);
    for (size_t Index : Near.Order) {
        const TBandBox& Box = Boxes[Index];
        const int64_t Width = Box.Wanted.Width();
        int64_t Reached = 0;
        for (size_t Left : Near.Left[Index])
            Reached = std::max(Reached, X[Left] + Boxes[Left].Wanted.Width());
        int64_t Left = X[Index];
        if (Left < Reached)
            Left = std::max(Left, Earliest[Index]);
        if (Left + Width > Length) {
            // Pulled back to end at the dock's end, but not before where
            // it would sit without squeezing anyone.
            const int64_t Preferred = std::min(Left, std::max<int64_t>(Reached, Earliest[Index]));
            Left = std::max<int64_t>(int64_t(Length) - Width, Preferred);
            if (Left + Box.MinLength > Length)
                Left = std::max<int64_t>(int64_t(Length) - Box.MinLength, Earliest[Index]);
        }
        X[Index] = std::max<int64_t>(Left, Earliest[Index]);
        MakeRoomBefore(Boxes, Near, Index, X);
    }
    for (size_t I = 0; I < N; ++I) {
        TBandBox& Box = Boxes[I];
        int64_t Right = X[I] + Box.Wanted.Width();
        if (Box.MayStretch)
            Right = Length; // also cuts a box too long for the dock

        for (size_t Next : Near.Right[I])
            Right = std::min(Right, X[Next]);
        Right = std::max(Right, X[I] + Box.MinLength);
        Box.Result.Left = int32_t(std::clamp<int64_t>(X[I], -MaxStoredCoord, MaxStoredCoord));
        Box.Result.Right = int32_t(std::clamp<int64_t>(Right, Box.Result.Left, MaxStoredCoord));
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
        const bool DroppedOverABox = Best >= 0;
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
        if (DroppedOverABox) {
            // Moved there, its top snaps again over every placed box, and
            // the boxes it still overlaps make room: those above its top
            // push it down, the others go down below it.
            const int64_t Moved = Best;
            Best = -1;
            Consider(0, std::abs(Moved));
            for (size_t F : Fixed) {
                const TRect& P = Boxes[F].Result;
                Consider(P.Top, 2 * std::abs(P.Top - Moved));
                Consider(P.Bottom, std::abs(P.Bottom - Moved));
                Consider(int64_t(P.Top) - Height, std::abs(P.Top - Height - Moved));
                Consider(int64_t(P.Bottom) - Height, std::abs(P.Bottom - Height - Moved));
            }
            const TRect Snapped{D.Left, int32_t(std::min<int64_t>(Best, MaxStoredCoord)), D.Right,
                                int32_t(std::min<int64_t>(Best + Height, MaxStoredCoord))};
            int64_t Above = 0, Below = 0;
            for (size_t F : Fixed) {
                const TRect& P = Boxes[F].Result;
                if (!P.Intersects(Snapped))
                    continue;
                const int64_t Overlap = int64_t(std::min(P.Bottom, Snapped.Bottom)) - std::max(P.Top, Snapped.Top);
                int64_t& Largest = P.Top < Snapped.Top ? Above : Below;
                Largest = std::max(Largest, Overlap);
            }
            for (size_t F : Fixed) {
                TRect& P = Boxes[F].Result;
                if (P.Top >= Snapped.Top) {
                    const int32_t Shift = int32_t(std::min<int64_t>(Above + Below, MaxStoredCoord - P.Bottom));
                    P = P.Translated(0, Shift);
                }
            }
            Best += Above;
        }
        const int32_t Y = int32_t(std::min<int64_t>(Best, MaxStoredCoord - std::min<int64_t>(Height, MaxStoredCoord)));
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

    // Along the edge. A box whose minimum length does not fit after its
    // neighbours' goes to a band of its own below the boxes it shares its
    // band with, so every box stays reachable inside the dock's length.
    // Every round settles one box, so the rounds are bounded.
    for (size_t Round = 0; Round <= N; ++Round) {
        LayAlong(Boxes, Length);
        size_t Down = N;
        for (size_t I = 0; I < N && Down == N; ++I) {
            const TRect& R = Boxes[I].Result;
            if (R.Right > Length && R.Left > 0)
                Down = I;
            for (size_t J = 0; J < N && Down == N; ++J)
                if (I != J && R.Intersects(Boxes[J].Result))
                    Down = Boxes[I].Result.Left <= Boxes[J].Result.Left ? J : I;
        }
        if (Down == N)
            break;
        int32_t Below = Boxes[Down].Result.Bottom;
        for (size_t J = 0; J < N; ++J)
            if (J != Down && ShareVertical(Boxes[J].Result, Boxes[Down].Result))
                Below = std::max(Below, Boxes[J].Result.Bottom);
        const int32_t Height = Boxes[Down].Result.Height();
        const int32_t Top = std::min(Below, MaxStoredCoord - Height);
        Boxes[Down].Result.Top = Top;
        Boxes[Down].Result.Bottom = Top + Height;
        Boxes[Down].Wanted = TRect::FromSize(0, Boxes[Down].Wanted.Top, Boxes[Down].Wanted.Width(),
                                             Boxes[Down].Wanted.Height());
        Boxes[Down].Current = TRect::FromSize(-MaxStoredCoord, Top, 1, Height); // first in its new band
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
