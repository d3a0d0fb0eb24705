#include "toolkit/docking/border_dock.h"

#include "commands/factory_list.h"
#include "core/data.h"
#include "toolkit/docking/tool_box.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>
#include <climits>
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

// ---- band positions
//
// Distances from the edge are kept in 64 bits while the bands are worked
// out: pushes add up, and stored rectangles may be far off.

// A box's vertical extent while its band is chosen, with the horizontal
// extent it is judged on.
struct TBandSlot {
    int64_t Left = 0, Right = 0;
    int64_t Top = 0, Height = 0;
    int64_t Bottom() const { return Top + Height; }
};

TBandSlot SlotOf(const TRect& Rect) { return {Rect.Left, Rect.Right, Rect.Top, Rect.Height()}; }

TRect RectOf(const TBandSlot& Slot) {
    auto C = [](int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN / 2, INT32_MAX / 2)); };
    return {C(Slot.Left), C(Slot.Top), C(Slot.Right), C(Slot.Bottom())};
}

bool SlotsIntersect(const TBandSlot& A, const TBandSlot& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom() && B.Top < A.Bottom() && A.Height > 0 &&
           B.Height > 0 && A.Right > A.Left && B.Right > B.Left;
}

int64_t VerticalOverlap(const TBandSlot& A, const TBandSlot& B) {
    return std::min(A.Bottom(), B.Bottom()) - std::max(A.Top, B.Top);
}

// The nearest place for a box of Height whose top is at Y: the edge,
// another box's top (its distance counted double, so a box rather lines
// up below or above another than with it), another's bottom, or a top
// that puts its bottom on another's top or bottom (never above the edge).
// The first on equal distances.
int64_t SnapTop(int64_t Y, int64_t Height, const std::vector<const TBandSlot*>& Others) {
    int64_t Best = 0, BestCost = std::abs(Y);
    auto Consider = [&](int64_t At, int64_t Cost) {
        if (At >= 0 && Cost < BestCost) {
            Best = At;
            BestCost = Cost;
        }
    };
    for (const TBandSlot* P : Others) {
        Consider(P->Top, 2 * std::abs(P->Top - Y));
        Consider(P->Bottom(), std::abs(P->Bottom() - Y));
        Consider(P->Top - Height, std::abs(P->Top - Height - Y));
        Consider(P->Bottom() - Height, std::abs(P->Bottom() - Height - Y));
    }
    return Best;
}

// Makes room for Box among Others that it overlaps (as Judge sees each
// pair): with Above the largest overlap of a box whose top lies above
// Box's and Below that of one whose top does not, every other box whose
// top is at or below Box's moves down by both, and Box by Above.
template <typename TJudge>
void MakeRoomFor(TBandSlot& Box, const std::vector<TBandSlot*>& Others, TJudge Judge) {
    int64_t Above = 0, Below = 0;
    for (const TBandSlot* P : Others) {
        if (!Judge(Box, *P))
            continue;
        int64_t& Largest = P->Top < Box.Top ? Above : Below;
        Largest = std::max(Largest, VerticalOverlap(Box, *P));
    }
    if (Above + Below == 0)
        return;
    for (TBandSlot* P : Others)
        if (P->Top >= Box.Top)
            P->Top += Above + Below;
    Box.Top += Above;
}

// A box dropped just now: when it overlaps other boxes by the overlap rule,
// its top goes to the nearest (from its middle) of their tops and bottoms
// and of the edge (when it was dropped across the edge), snaps there, and
// the boxes it still covers make room for it. A box dropped over no box
// stays as dropped.
void PlaceDropped(std::vector<TBandSlot>& Slots, size_t Index) {
    TBandSlot& Box = Slots[Index];
    const TRect Dropped = RectOf(Box);
    const int64_t Middle = Box.Top + Box.Height / 2;
    bool Found = false;
    int64_t Best = 0, BestCost = 0;
    auto Consider = [&](int64_t At) {
        const int64_t Cost = std::abs(Middle - At);
        if (!Found || Cost < BestCost) {
            Found = true;
            Best = At;
            BestCost = Cost;
        }
    };
    if (Box.Top < 0)
        Consider(0);
    std::vector<const TBandSlot*> Others;
    std::vector<TBandSlot*> Movable;
    for (size_t I = 0; I < Slots.size(); ++I) {
        if (I == Index)
            continue;
        TBandSlot& P = Slots[I];
        Others.push_back(&P);
        Movable.push_back(&P);
        if (BandOverlap(Dropped, RectOf(P))) {
            Consider(P.Top);
            Consider(P.Bottom());
        }
    }
    if (!Found)
        return;
    Box.Top = SnapTop(Best, Box.Height, Others);
    MakeRoomFor(Box, Movable, SlotsIntersect);
}

// A candidate place of a box: at the edge, or one of its edges on one of a
// placed box's edges.
enum class TBandAt : uint8_t { Edge, TopOnTop, TopOnBottom, BottomOnTop, BottomOnBottom };

struct TBandCandidate {
    TBandAt At = TBandAt::Edge;
    size_t Other = 0;
};

constexpr size_t MaxBandCandidates = 16;

struct TBandState {
    bool Fixed = false;
    int64_t Cost = 0;
    std::vector<TBandCandidate> Candidates;
};

// One pass of band selection. Every box starts with the edge as its only
// candidate, costing the distance of its Wanted top from the edge. Then,
// repeatedly, the boxes not yet placed whose candidates cost least each
// pick their candidate nearest to where they were last (Current), and the
// one whose pick lies nearest to where it wants to be is placed there. The
// others gain candidates against it, costed by how far their wanted edges
// lie from its wanted edges (and by how much more its height changed than
// theirs), each keeping only its cheapest. With Adjust, a placed box is also
// kept between the earlier boxes it wants to lie between, snapped, and
// moved clear of earlier boxes whose starts it covers.
std::vector<TBandSlot> SelectBands(const std::vector<TBandSlot>& Wanted, const std::vector<TBandSlot>& Current,
                                   bool Adjust) {
    const size_t N = Wanted.size();
    std::vector<TBandSlot> Placed = Wanted;
    std::vector<TBandState> State(N);
    for (size_t I = 0; I < N; ++I) {
        State[I].Cost = std::abs(Wanted[I].Top);
        State[I].Candidates = {{TBandAt::Edge, 0}};
    }
    std::vector<size_t> Order; // the placed boxes, in the order they were placed
    auto PositionOf = [&](size_t Box, const TBandCandidate& C) {
        const TBandSlot& P = Placed[C.Other];
        const int64_t Height = Wanted[Box].Height;
        switch (C.At) {
        case TBandAt::TopOnTop:
            return P.Top;
        case TBandAt::TopOnBottom:
            return P.Bottom();
        case TBandAt::BottomOnTop:
            return std::max<int64_t>(0, P.Top - Height);
        case TBandAt::BottomOnBottom:
            return std::max<int64_t>(0, P.Bottom() - Height);
        case TBandAt::Edge:
            break;
        }
        return int64_t(0);
    };
    for (size_t Round = 0; Round < N; ++Round) {
        int64_t Cheapest = -1;
        for (size_t I = 0; I < N; ++I)
            if (!State[I].Fixed && (Cheapest < 0 || State[I].Cost < Cheapest))
                Cheapest = State[I].Cost;
        size_t Chosen = N;
        int64_t ChosenTop = 0, ChosenDistance = 0;
        for (size_t I = 0; I < N; ++I) {
            if (State[I].Fixed || State[I].Cost != Cheapest)
                continue;
            const int64_t Was = Current[I].Top;
            int64_t Top = 0, Score = -1;
            for (const TBandCandidate& C : State[I].Candidates) {
                const int64_t At = PositionOf(I, C);
                const int64_t Weight = C.At == TBandAt::TopOnTop ? 2 : 1;
                const int64_t Each = Weight * std::abs(At - Was);
                if (Score < 0 || Each < Score) {
                    Top = At;
                    Score = Each;
                }
            }
            const int64_t Distance = std::abs(Top - Wanted[I].Top) + std::abs(Top + Wanted[I].Height - Wanted[I].Bottom());
            if (Chosen == N || Distance < ChosenDistance) {
                Chosen = I;
                ChosenTop = Top;
                ChosenDistance = Distance;
            }
        }
        TBandSlot& Box = Placed[Chosen];
        Box.Top = ChosenTop;
        State[Chosen].Fixed = true;

        if (Adjust && !Order.empty()) {
            // Between the earlier boxes it wants to lie between, unless
            // those limits cross.
            int64_t Lowest = 0, Highest = INT64_MAX;
            for (size_t E : Order) {
                if (Wanted[E].Bottom() <= Wanted[Chosen].Top)
                    Lowest = std::max(Lowest, Placed[E].Bottom());
                else if (Wanted[E].Top >= Wanted[Chosen].Bottom())
                    Highest = std::min(Highest, Placed[E].Top - Box.Height);
            }
            if (Lowest <= Highest)
                Box.Top = std::clamp(Box.Top, Lowest, Highest);
            std::vector<const TBandSlot*> Earlier;
            std::vector<TBandSlot*> Movable;
            for (size_t E : Order) {
                Earlier.push_back(&Placed[E]);
                Movable.push_back(&Placed[E]);
            }
            Box.Top = SnapTop(Box.Top, Box.Height, Earlier);
            // Two boxes whose starts lie within a squeezed box's length of
            // each other cannot share a band.
            auto Starts = [](const TBandSlot& S) {
                TBandSlot Cut = S;
                Cut.Right = S.Left + std::min<int64_t>(100, S.Right - S.Left);
                return Cut;
            };
            MakeRoomFor(Box, Movable, [&](const TBandSlot& A, const TBandSlot& B) {
                return SlotsIntersect(Starts(A), Starts(B));
            });
        }
        Order.push_back(Chosen);

        // The others' candidates against the box just placed.
        const TBandSlot& PW = Wanted[Chosen];
        const int64_t PChange = std::abs(PW.Height - Current[Chosen].Height);
        for (size_t I = 0; I < N; ++I) {
            if (State[I].Fixed)
                continue;
            const TBandSlot& W = Wanted[I];
            const int64_t Extra = std::max<int64_t>(0, PChange - std::abs(W.Height - Current[I].Height));
            const std::pair<TBandAt, int64_t> Gained[] = {
                {TBandAt::TopOnTop, std::abs(W.Top - PW.Top)},
                {TBandAt::TopOnBottom, std::abs(W.Top - PW.Bottom())},
                {TBandAt::BottomOnTop, std::abs(W.Bottom() - PW.Top)},
                {TBandAt::BottomOnBottom, std::abs(W.Bottom() - PW.Bottom())},
            };
            for (auto [At, Distance] : Gained) {
                const int64_t Cost = Distance + Extra;
                if (Cost < State[I].Cost) {
                    State[I].Cost = Cost;
                    State[I].Candidates.clear();
                }
                // Equal candidates beyond a few add nothing but time (a
                // stored layout may stack a thousand boxes in one place).
                if (Cost == State[I].Cost && State[I].Candidates.size() < MaxBandCandidates)
                    State[I].Candidates.push_back({At, Chosen});
            }
        }
    }
    return Placed;
}

// Gives every box its band position (Result's vertical extent; its
// horizontal extent is the wanted one until laid out along the edge): the
// boxes dropped just now are placed first, then every box is placed from
// where it wants to be, and a second pass from that result closes the gaps
// the first left.
void PlaceInBands(std::vector<TBandBox>& Boxes) {
    const size_t N = Boxes.size();
    std::vector<TBandSlot> Wanted(N), Current(N);
    for (size_t I = 0; I < N; ++I) {
        Wanted[I] = SlotOf(Boxes[I].Wanted);
        // A box never laid out counts as being where it wants to be.
        Current[I] = SlotOf(Boxes[I].Current.IsEmpty() ? Boxes[I].Wanted : Boxes[I].Current);
    }
    for (size_t I = 0; I < N; ++I)
        if (Boxes[I].IsNew)
            PlaceDropped(Wanted, I);
    const std::vector<TBandSlot> First = SelectBands(Wanted, Current, true);
    const std::vector<TBandSlot> Second = SelectBands(First, First, false);
    for (size_t I = 0; I < N; ++I) {
        const int64_t Height = std::min<int64_t>(Second[I].Height, MaxStoredCoord);
        const int64_t Top = std::clamp<int64_t>(Second[I].Top, 0, MaxStoredCoord - Height);
        Boxes[I].Result = {Boxes[I].Wanted.Left, int32_t(Top), Boxes[I].Wanted.Right, int32_t(Top + Height)};
    }
}

} // namespace

void LayBandsAlong(std::vector<TBandBox>& Boxes, int32_t Length) { LayAlong(Boxes, Length); }

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
    PlaceInBands(Boxes);

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
