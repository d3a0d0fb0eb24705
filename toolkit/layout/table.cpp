#include "toolkit/layout/table.h"

#include "canvas/pixels.h"
#include "canvas/raster.h"
#include "toolkit/layout/table_math.h"
#include "toolkit/widgets/widget.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t NoPriority = -100;
// Priorities a hook reports are limited so that weights cannot overflow.
constexpr int32_t MaxPriority = 1000000;

int32_t PriorityOf(TTableAlign Align) {
    switch (Align) {
    case TTableAlign::CenterFixed:
        return NoPriority;
    case TTableAlign::StretchFirst:
        return 100;
    default:
        return 0;
    }
}

bool InGrid(TTableKind Kind) { return Kind == TTableKind::Fixed || Kind == TTableKind::Visible; }

// Position and extent of a control of Size inside [From, To).
void Align(TTableAlign How, int32_t From, int32_t To, int32_t Size, int32_t& Position, int32_t& Extent) {
    Extent = Size;
    switch (How) {
    case TTableAlign::Near:
        Position = From;
        break;
    case TTableAlign::Far:
        Position = TableClamp32(int64_t(To) - Size);
        break;
    case TTableAlign::Stretch:
    case TTableAlign::StretchFirst:
        Position = From;
        Extent = TableClamp32(int64_t(To) - From);
        break;
    default:
        Position = TableClamp32((int64_t(From) + To - Size) / 2);
        break;
    }
}

} // namespace

TControlTableHook::TControlTableHook(TWidget& TheControl)
    : Control(TheControl), Width(TheControl.Width()), Height(TheControl.Height()), Visible(TheControl.IsVisible()) {}

void TControlTableHook::GetInfo(TInfo& Info) {
    Info.Width = Width;
    Info.Height = Height;
    Info.Kind = Visible ? TTableKind::Visible : TTableKind::Hidden;
    Info.HorzPriority = PriorityOf(HorzAlign);
    Info.VertPriority = PriorityOf(VertAlign);
}

void TControlTableHook::SetBounds(int32_t NodeWidth, int32_t NodeHeight, bool Show, const TRect& Rect) {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    Align(HorzAlign, Rect.Left, Rect.Right, NodeWidth, X, W);
    Align(VertAlign, Rect.Top, Rect.Bottom, NodeHeight, Y, H);
    const TRect Placed{X, Y, TableClamp32(int64_t(X) + W), TableClamp32(int64_t(Y) + H)};
    if (Show) {
        Control.SetBounds(Placed);
        Control.SetVisible(true);
    } else {
        Control.SetVisible(false);
        Control.SetBounds(Placed);
    }
}

void TSpaceTableHook::GetInfo(TInfo& Info) {
    Info.Width = FSize;
    Info.Height = FSize;
    Info.Kind = TTableKind::Inherit;
    Info.HorzPriority = NoPriority;
    Info.VertPriority = NoPriority;
}

void TTable::Update() {
    GatherInfo();
    ResolveKinds(FParent ? FParent->FKind : TTableKind::Visible, !FParent);
    SumLines();
}

void TTable::GatherInfo() {
    if (HasChildren()) {
        FKind = TTableKind::Inherit;
        for (auto& Child : FChildren) {
            Child->GatherInfo();
            FKind = std::max(FKind, Child->FKind);
        }
        return;
    }
    TTableHook::TInfo Info;
    Info.HorzPriority = NoPriority;
    Info.VertPriority = NoPriority;
    if (FHook)
        FHook->GetInfo(Info);
    FWidth = std::clamp(Info.Width, 0, MaxExtent);
    FHeight = std::clamp(Info.Height, 0, MaxExtent);
    FHorzPriority = std::clamp(Info.HorzPriority, -MaxPriority, MaxPriority);
    FVertPriority = std::clamp(Info.VertPriority, -MaxPriority, MaxPriority);
    FKind = std::min(Info.Kind, TTableKind::Visible);
}

void TTable::ResolveKinds(TTableKind ParentKind, bool IsRoot) {
    if (FKind == TTableKind::Inherit)
        FKind = IsRoot ? TTableKind::Visible : ParentKind;
    else if (FKind == TTableKind::Floating && (IsRoot || ParentKind == TTableKind::Visible))
        FKind = TTableKind::Visible;
    for (auto& Child : FChildren)
        Child->ResolveKinds(FKind, false);
    for (std::vector<TTableLine>* Lines : {&FCols, &FRows})
        for (TTableLine& Line : *Lines)
            Line.Active = std::any_of(Line.Nodes.begin(), Line.Nodes.end(),
                                      [](const TTable* Node) { return InGrid(Node->FKind); });
}

void TTable::SumLines() {
    if (!HasChildren())
        return;
    for (auto& Child : FChildren)
        Child->SumLines();
    auto Sum = [](std::vector<TTableLine>& Lines, int32_t TTable::*Size, int32_t TTable::*Priority,
                  int32_t& Total, int32_t& Top) {
        int64_t Extent = 0;
        Top = NoPriority;
        bool Any = false;
        for (TTableLine& Line : Lines) {
            Line.Size = 0;
            Line.Priority = NoPriority;
            bool Found = false;
            for (const TTable* Node : Line.Nodes) {
                if (!InGrid(Node->FKind))
                    continue;
                Line.Size = std::max(Line.Size, Node->*Size);
                Line.Priority = Found ? std::max(Line.Priority, Node->*Priority) : Node->*Priority;
                Found = true;
            }
            if (Line.Active) {
                Extent += Line.Size;
                Top = Any ? std::max(Top, Line.Priority) : Line.Priority;
                Any = true;
            }
        }
        Total = int32_t(std::min<int64_t>(Extent, MaxExtent));
    };
    int32_t Width = 0, Height = 0, Horz = NoPriority, Vert = NoPriority;
    Sum(FCols, &TTable::FWidth, &TTable::FHorzPriority, Width, Horz);
    Sum(FRows, &TTable::FHeight, &TTable::FVertPriority, Height, Vert);
    if (InGrid(FKind)) {
        FWidth = Width;
        FHeight = Height;
        FHorzPriority = Horz;
        FVertPriority = Vert;
    } else {
        FWidth = 0;
        FHeight = 0;
        FHorzPriority = NoPriority;
        FVertPriority = NoPriority;
    }
}

void TTable::SetBounds(const TRect& Rect) {
    FBounds = Rect;
    FInner = Rect.Inflated(-1, -1);
    if (FParent)
        FInner = FInner.Intersected(FParent->FInner.Inflated(-2, -2));
    if (FHook) {
        switch (FKind) {
        case TTableKind::Visible:
            FHook->SetBounds(FWidth, FHeight, true, Rect);
            break;
        case TTableKind::Floating: {
            const TRect& Around = FParent ? FParent->FBounds : Rect;
            const int32_t X = TableClamp32((int64_t(Around.Left) + Around.Right - FWidth) / 2);
            const int32_t Y = TableClamp32((int64_t(Around.Top) + Around.Bottom - FHeight) / 2);
            FHook->SetBounds(FWidth, FHeight, true,
                             {X, Y, TableClamp32(int64_t(X) + FWidth), TableClamp32(int64_t(Y) + FHeight)});
            break;
        }
        default:
            FHook->SetBounds(FWidth, FHeight, false, Rect);
            break;
        }
    }
    if (!HasChildren())
        return;
    SizeLines(FCols, int64_t(Rect.Right) - Rect.Left, FWidth, Rect.Left, FInner.Left + 2, FInner.Right - 2);
    SizeLines(FRows, int64_t(Rect.Bottom) - Rect.Top, FHeight, Rect.Top, FInner.Top + 2, FInner.Bottom - 2);
    for (auto& Child : FChildren) {
        const TTableLine& Col = FCols[size_t(Child->FCol)];
        const TTableLine& Row = FRows[size_t(Child->FRow)];
        Child->SetBounds({Col.Start, Row.Start, Col.End, Row.End});
    }
}

void TTable::SizeLines(std::vector<TTableLine>& Lines, int64_t Extent, int32_t Wanted, int32_t From,
                       int32_t InnerFrom, int32_t InnerTo) {
    const int64_t Extra = Extent - Wanted;
    std::vector<int64_t> Weights(Lines.size(), 0);
    int64_t WeightSum = 0;
    if (Extra > 0) {
        int64_t Top = 0;
        bool Any = false;
        for (const TTableLine& Line : Lines)
            if (Line.Active) {
                Top = Any ? std::max<int64_t>(Top, Line.Priority) : Line.Priority;
                Any = true;
            }
        // Priorities form classes 100 apart: only the top class and the
        // one just below it weigh anything.
        for (size_t K = 0; K < Lines.size(); ++K)
            if (Lines[K].Active) {
                Weights[K] = std::max<int64_t>(0, Lines[K].Priority + 100 - Top);
                WeightSum += Weights[K];
            }
    }
    int64_t Position = From;
    int64_t Running = 0;
    for (size_t K = 0; K < Lines.size(); ++K) {
        TTableLine& Line = Lines[K];
        int64_t Size = Line.Active || Extra > 0 ? Line.Size : 0;
        if (WeightSum > 0) {
            const int64_t Before = TableMulDiv(Running, Extra, WeightSum);
            Running += Weights[K];
            Size += TableMulDiv(Running, Extra, WeightSum) - Before;
        }
        Line.Start = TableClamp32(Position);
        Position += Size;
        Line.End = TableClamp32(Position);
        Line.InnerStart = TableLimit(TableClamp32(int64_t(Line.Start) + 1), InnerFrom, InnerTo);
        Line.InnerEnd = TableLimit(TableClamp32(int64_t(Line.End) - 1), InnerFrom, InnerTo);
    }
}

bool TTable::Insert(int32_t X, int32_t Y, const TRect& DropRect, TTableHook& Hook) {
    if (!Place(HitTest(X, Y, DropRect), Hook, "TTable", nullptr))
        return false;
    if (TTable* Node = Hook.Table())
        (Node->FParent ? Node->FParent : Node)->Update();
    return true;
}

TTableHit<TTable> TTable::HitTest(int32_t X, int32_t Y, const TRect& DropRect) {
    TTableHit<TTable> Hit;
    Hit.Target = this;
    if (FKind != TTableKind::Visible && (FParent || HasChildren())) {
        // Outside the visible grid the control goes to the end of the row.
        Hit.ColAction = FHook ? TTableAction::Wrap : TTableAction::Insert;
        Hit.Col = ColCount() + (FHook ? 1 : 0);
        return Hit;
    }
    if (HasChildren()) {
        auto Find = [](const std::vector<TTableLine>& Lines, int32_t At) {
            int32_t Found = -1;
            for (int32_t K = 0; K < int32_t(Lines.size()); ++K)
                if (Lines[size_t(K)].Active && At >= Lines[size_t(K)].Start && At < Lines[size_t(K)].End)
                    Found = K;
            return Found;
        };
        // One past the last line whose centre lies before At.
        auto NewIndex = [](const std::vector<TTableLine>& Lines, int32_t At, int32_t Own) {
            int32_t Index = -1;
            for (int32_t K = 0; K < int32_t(Lines.size()); ++K) {
                const TTableLine& Line = Lines[size_t(K)];
                if (Line.Active && (int64_t(Line.Start) + Line.End) / 2 < At)
                    Index = K + 1;
            }
            return Index >= 0 ? Index : std::max(Own, 0);
        };
        const int32_t Col = Find(FCols, X);
        const int32_t Row = Find(FRows, Y);
        bool NewCol = Col < 0, NewRow = Row < 0;
        TTable* Cell = nullptr;
        if (!NewCol && !NewRow) {
            Cell = CellAt(Row, Col);
            const TRect Rect{FCols[size_t(Col)].Start, FRows[size_t(Row)].Start, FCols[size_t(Col)].End,
                             FRows[size_t(Row)].End};
            if (Cell && Cell->FHook) {
                const int32_t TX = std::min(DropRect.Width(), Rect.Width() / 2) / 2;
                const int32_t TY = std::min(DropRect.Height(), Rect.Height() / 2) / 2;
                NewCol = int64_t(X) < int64_t(Rect.Left) + TX || int64_t(X) > int64_t(Rect.Right) - TX;
                NewRow = int64_t(Y) < int64_t(Rect.Top) + TY || int64_t(Y) > int64_t(Rect.Bottom) - TY;
            } else if (Cell) {
                NewCol = X < Cell->FBounds.Left || X >= Cell->FBounds.Right;
                NewRow = Y < Cell->FBounds.Top || Y >= Cell->FBounds.Bottom;
            }
            if (NewCol && NewRow) {
                const int64_t CX = (int64_t(Rect.Left) + Rect.Right) / 2;
                const int64_t CY = (int64_t(Rect.Top) + Rect.Bottom) / 2;
                if (std::abs(X - CX) * Rect.Height() < std::abs(Y - CY) * Rect.Width())
                    NewCol = false;
                else
                    NewRow = false;
            }
        }
        if (!NewCol && !NewRow) {
            if (Cell)
                return Cell->HitTest(X, Y, DropRect);
            Hit.Col = Col;
            Hit.Row = Row;
            Hit.IntoCell = true;
            return Hit;
        }
        Hit.Col = NewCol ? NewIndex(FCols, X, Col) : Col;
        Hit.Row = NewRow ? NewIndex(FRows, Y, Row) : Row;
        Hit.ColAction = NewCol ? TTableAction::Insert : TTableAction::None;
        Hit.RowAction = NewRow ? TTableAction::Insert : TTableAction::None;
        return Hit;
    }
    if (FHook) {
        // A control is split off to the side the point lies on.
        const int64_t CX = (int64_t(FBounds.Left) + FBounds.Right) / 2;
        const int64_t CY = (int64_t(FBounds.Top) + FBounds.Bottom) / 2;
        if (std::abs(X - CX) * FBounds.Height() >= std::abs(Y - CY) * FBounds.Width()) {
            Hit.ColAction = TTableAction::Wrap;
            Hit.Col = X >= CX ? 1 : 0;
        } else {
            Hit.RowAction = TTableAction::Wrap;
            Hit.Row = Y >= CY ? 1 : 0;
        }
    }
    return Hit;
}

void TTable::Pack() {
    for (int32_t I = ChildCount() - 1; I >= 0; --I)
        Child(I).Pack();
    for (int32_t I = ChildCount() - 1; I >= 0; --I) {
        TTable& Node = Child(I);
        if (!Node.HasChildren() && !Node.FHook)
            Detach(Node, TEmptyLines::Delete).reset();
    }
}

void TTable::PaintDesign(TPixels& Pixels, int32_t Depth) const {
    if (FKind == TTableKind::Visible && !FInner.IsEmpty()) {
        const auto Alpha = uint8_t(std::clamp<int64_t>(64 - 4 * int64_t(Depth), 0, 64));
        const TColor Color = AlphaColor(MakeColor(0, 0, 0), Alpha);
        const bool Grid = std::any_of(FChildren.begin(), FChildren.end(),
                                      [](const auto& Child) { return Child->FKind == TTableKind::Visible; });
        if (!Grid)
            Pixels.BlendFrameRect(FInner, Color);
        else {
            // Four pixels drawn, four left, around the corners.
            TRaster Outline;
            Outline.AddRectOutline({FInner.Left, FInner.Top, FInner.Right - 1, FInner.Bottom - 1});
            const TColor Clear = AlphaColor(MakeColor(0, 0, 0), 0);
            const TColor Pattern[8] = {Color, Color, Color, Color, Clear, Clear, Clear, Clear};
            Pixels.PatternLine(Outline, Pattern, 8, 0);
        }
    }
    for (const auto& Child : FChildren)
        Child->PaintDesign(Pixels, Depth + 1);
}
