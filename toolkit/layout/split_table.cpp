#include "toolkit/layout/split_table.h"

#include "toolkit/layout/table_math.h"
#include "toolkit/widgets/widget.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int64_t MaxFraction = std::numeric_limits<int32_t>::max();

// Brings a fraction into 32 bits, keeping its value as far as the bits
// allow; Div stays at least 1 and Mul within 0..Div.
void FitFraction(int64_t Mul, int64_t Div, int32_t& OutMul, int32_t& OutDiv) {
    Div = std::max<int64_t>(Div, 1);
    Mul = std::clamp<int64_t>(Mul, 0, Div);
    while (Div > MaxFraction) {
        Mul >>= 1;
        Div >>= 1;
    }
    OutDiv = int32_t(std::max<int64_t>(Div, 1));
    OutMul = int32_t(std::min<int64_t>(Mul, OutDiv));
}

// Whether (X, Y) lies in Rect grown by DX and DY, without overflow.
bool WithinGrown(const TRect& Rect, int64_t DX, int64_t DY, int32_t X, int32_t Y) {
    return X >= Rect.Left - DX && X < Rect.Right + DX && Y >= Rect.Top - DY && Y < Rect.Bottom + DY;
}

// Moves At toward the centre of [DropFrom, DropTo) by the drop's share of
// the two extents.
int64_t Pull(int32_t At, int32_t DropFrom, int32_t DropTo, int32_t Extent) {
    const int64_t Drop = int64_t(DropTo) - DropFrom;
    if (Drop <= 0 || Extent <= 0)
        return At;
    const int64_t Centre = (int64_t(DropFrom) + DropTo) / 2;
    return (Centre * Extent + int64_t(At) * Drop) / (Drop + Extent);
}

} // namespace

TControlSplitTableHook::TControlSplitTableHook(TWidget& TheControl)
    : Control(TheControl), Width(TheControl.Width()), Height(TheControl.Height()) {}

void TControlSplitTableHook::GetInfo(TInfo& Info) {
    Info.Width = Width;
    Info.Height = Height;
    Info.Visible = Visible;
    Info.HorzSizable = HorzSizable;
    Info.VertSizable = VertSizable;
}

void TControlSplitTableHook::SetBounds(const TRect& Rect) { Control.SetBounds(Rect); }

void TSplitTable::SetSplitterWidth(int32_t Width) { FSplitterWidth = std::clamp(Width, 0, MaxSplitterWidth); }

void TSplitTable::SetColProportion(int32_t Index, int32_t Mul, int32_t Div) {
    if (Index >= 0 && Index < ColCount())
        FitFraction(Mul, Div, FCols[size_t(Index)].Mul, FCols[size_t(Index)].Div);
}

void TSplitTable::SetRowProportion(int32_t Index, int32_t Mul, int32_t Div) {
    if (Index >= 0 && Index < RowCount())
        FitFraction(Mul, Div, FRows[size_t(Index)].Mul, FRows[size_t(Index)].Div);
}

void TSplitTable::Update() {
    if (FParent)
        FSplitterWidth = FParent->FSplitterWidth;
    if (!HasChildren()) {
        TSplitTableHook::TInfo Info;
        if (FHook)
            FHook->GetInfo(Info);
        FWidth = std::clamp(Info.Width, 0, MaxExtent);
        FHeight = std::clamp(Info.Height, 0, MaxExtent);
        FVisible = Info.Visible;
        FHorzSizable = Info.HorzSizable;
        FVertSizable = Info.VertSizable;
        return;
    }
    for (auto& Child : FChildren)
        Child->Update();
    auto Sum = [this](std::vector<TSplitTableLine>& Lines, int32_t TSplitTable::*Size, bool TSplitTable::*Sizable,
                      int32_t& Total, bool& AnySizable, bool& AnyVisible) {
        int64_t Extent = 0;
        AnySizable = false;
        AnyVisible = false;
        for (TSplitTableLine& Line : Lines) {
            Line.MinSize = 0;
            Line.Sizable = false;
            Line.Visible = false;
            for (const TSplitTable* Node : Line.Nodes) {
                if (!Node->FVisible)
                    continue;
                Line.MinSize = std::max(Line.MinSize, Node->*Size);
                Line.Sizable = Line.Sizable || Node->*Sizable;
                Line.Visible = true;
            }
            Line.HasSplitter = Line.Visible && AnyVisible;
            if (Line.Visible) {
                Extent += Line.MinSize + (Line.HasSplitter ? FSplitterWidth : 0);
                AnySizable = AnySizable || Line.Sizable;
                AnyVisible = true;
            }
        }
        Total = int32_t(std::min<int64_t>(Extent, MaxExtent));
    };
    bool ColsVisible = false, RowsVisible = false;
    Sum(FCols, &TSplitTable::FWidth, &TSplitTable::FHorzSizable, FWidth, FHorzSizable, ColsVisible);
    Sum(FRows, &TSplitTable::FHeight, &TSplitTable::FVertSizable, FHeight, FVertSizable, RowsVisible);
    FVisible = ColsVisible;
}

void TSplitTable::SetBounds(const TRect& Rect) {
    FBounds = Rect;
    FInner = Rect.Inflated(-1, -1);
    if (FParent)
        FInner = FInner.Intersected(FParent->FInner.Inflated(-2, -2));
    if (!HasChildren()) {
        if (FHook)
            FHook->SetBounds(FBounds);
        return;
    }
    SizeLines(FCols, Rect.Left, Rect.Width(), FWidth, Rect.Top, Rect.Bottom, false);
    SizeLines(FRows, Rect.Top, Rect.Height(), FHeight, Rect.Left, Rect.Right, true);
    for (auto& Child : FChildren) {
        const TSplitTableLine& Col = FCols[size_t(Child->FCol)];
        const TSplitTableLine& Row = FRows[size_t(Child->FRow)];
        Child->SetBounds(TRect{Col.Start, Row.Start, Col.End, Row.End}.Intersected(Rect));
    }
}

void TSplitTable::SizeLines(std::vector<TSplitTableLine>& Lines, int32_t From, int32_t Extent, int32_t Wanted,
                            int32_t CrossFrom, int32_t CrossTo, bool Across) {
    const size_t Count = Lines.size();
    std::vector<int64_t> Sizes(Count, 0);
    if (Extent <= 0 || !FVisible) {
        // Nothing to share out.
    } else if (Wanted < Extent) {
        int64_t Scaled = 0, Fixed = 0, Splitters = 0, SizableCount = 0;
        for (size_t K = 0; K < Count; ++K) {
            const TSplitTableLine& Line = Lines[K];
            if (!Line.Visible)
                continue;
            Splitters += Line.HasSplitter ? 1 : 0;
            if (Line.Sizable) {
                Sizes[K] = TableMulDiv(Line.Mul, Extent, Line.Div);
                Scaled += Sizes[K];
                ++SizableCount;
            } else {
                Sizes[K] = Line.MinSize;
                Fixed += Line.MinSize;
            }
        }
        const int64_t Available = std::max<int64_t>(0, Extent - Fixed - int64_t(FSplitterWidth) * Splitters);
        if (SizableCount > 0) {
            // Every sizable line at a share of 0 (a table laid out at no
            // size, or stored that way) shares the space equally.
            const bool Equal = Scaled <= 0;
            const int64_t Total = Equal ? SizableCount : Scaled;
            int64_t Running = 0;
            for (size_t K = 0; K < Count; ++K) {
                if (!Lines[K].Visible || !Lines[K].Sizable)
                    continue;
                const int64_t Before = TableMulDiv(Running, Available, Total);
                Running += Equal ? 1 : Sizes[K];
                Sizes[K] = TableMulDiv(Running, Available, Total) - Before;
            }
            // Lines below their minimum get it; the shortfall comes from
            // the others in proportion to what they have above theirs.
            int64_t Above = 0, Below = 0;
            for (size_t K = 0; K < Count; ++K)
                if (Lines[K].Visible && Lines[K].Sizable) {
                    const int64_t Excess = Sizes[K] - Lines[K].MinSize;
                    (Excess > 0 ? Above : Below) += std::abs(Excess);
                }
            if (Below > 0 && Above > 0) {
                int64_t Running2 = 0;
                for (size_t K = 0; K < Count; ++K) {
                    if (!Lines[K].Visible || !Lines[K].Sizable)
                        continue;
                    const int64_t Excess = Sizes[K] - Lines[K].MinSize;
                    if (Excess <= 0) {
                        Sizes[K] = Lines[K].MinSize;
                        continue;
                    }
                    const int64_t Before = TableMulDiv(Running2, Above - Below, Above);
                    Running2 += Excess;
                    Sizes[K] = Lines[K].MinSize + TableMulDiv(Running2, Above - Below, Above) - Before;
                }
            }
        }
    } else {
        // Not enough room: every line at its minimum, overflowing at the end.
        for (size_t K = 0; K < Count; ++K)
            Sizes[K] = Lines[K].MinSize;
    }
    int64_t Position = From;
    const int64_t To = int64_t(From) + Extent;
    for (size_t K = 0; K < Count; ++K) {
        TSplitTableLine& Line = Lines[K];
        const int32_t At = TableClamp32(Position);
        if (Line.HasSplitter) {
            const int32_t Past = TableClamp32(Position + FSplitterWidth);
            Line.Splitter = Across ? TRect{CrossFrom, At, CrossTo, Past} : TRect{At, CrossFrom, Past, CrossTo};
            Position += FSplitterWidth;
        } else {
            Line.Splitter = Across ? TRect{CrossFrom, At, CrossTo, At} : TRect{At, CrossFrom, At, CrossTo};
        }
        Line.Start = TableClamp32(Position);
        Position += Sizes[K];
        Line.End = TableClamp32(Position);
        Line.InnerStart = TableClamp32(std::clamp<int64_t>(Line.Start, From, std::max<int64_t>(From, To)));
        Line.InnerEnd = TableClamp32(std::clamp<int64_t>(Line.End, From, std::max<int64_t>(From, To)));
    }
}

void TSplitTable::MoveColSplitter(int32_t Index, int32_t Position) {
    MoveSplitter(FCols, Index, Position, FBounds.Width(), false);
}

void TSplitTable::MoveRowSplitter(int32_t Index, int32_t Position) {
    MoveSplitter(FRows, Index, Position, FBounds.Height(), true);
}

void TSplitTable::MoveSplitter(std::vector<TSplitTableLine>& Lines, int32_t Index, int32_t Position, int32_t Extent,
                               bool IsRow) {
    if (Index < 0 || Index >= int32_t(Lines.size()))
        return;
    // The shares become the sizes as laid out; a table laid out at no size
    // keeps a divisor of 1 and so shares equally next time.
    const int32_t Div = std::max(Extent, 1);
    for (TSplitTableLine& Line : Lines)
        if (Line.Visible)
            FitFraction(int64_t(Line.End) - Line.Start, Div, Line.Mul, Line.Div);
    int32_t Before = -1;
    for (int32_t K = Index - 1; K >= 0 && Before < 0; --K)
        if (Lines[size_t(K)].Visible)
            Before = K;
    if (Before < 0)
        return;
    TSplitTableLine& Left = Lines[size_t(Before)];
    TSplitTableLine& Right = Lines[size_t(Index)];
    const int64_t Splitter = Right.HasSplitter ? FSplitterWidth : 0;
    const int64_t Low = int64_t(Left.Start) + Left.MinSize;
    const int64_t High = int64_t(Right.End) - Right.MinSize - Splitter;
    if ((IsRow ? High - FSplitterWidth : High) < Low)
        return;
    const int64_t At = std::clamp<int64_t>(Position, Low, High);
    FitFraction(At - Left.Start, Div, Left.Mul, Left.Div);
    FitFraction(int64_t(Right.End) - (At + Splitter), Div, Right.Mul, Right.Div);
}

TSplitterHit TSplitTable::SplitterAt(int32_t X, int32_t Y, int32_t Slack) {
    TSplitterHit Hit;
    SearchSplitters(X, Y, Slack, Hit);
    return Hit;
}

void TSplitTable::SearchSplitters(int32_t X, int32_t Y, int32_t Slack, TSplitterHit& Hit) {
    if (!Hit.ColTable)
        for (int32_t K = 0; K < ColCount(); ++K)
            if (FCols[size_t(K)].HasSplitter && WithinGrown(FCols[size_t(K)].Splitter, Slack, FSplitterWidth, X, Y)) {
                Hit.ColTable = this;
                Hit.Col = K;
                break;
            }
    if (!Hit.RowTable)
        for (int32_t K = 0; K < RowCount(); ++K)
            if (FRows[size_t(K)].HasSplitter && WithinGrown(FRows[size_t(K)].Splitter, FSplitterWidth, Slack, X, Y)) {
                Hit.RowTable = this;
                Hit.Row = K;
                break;
            }
    for (auto& Child : FChildren) {
        if (Hit.ColTable && Hit.RowTable)
            return;
        Child->SearchSplitters(X, Y, Slack, Hit);
    }
}

bool TSplitTable::Insert(int32_t X, int32_t Y, const TRect& DropRect, TSplitTableHook& Hook) {
    TSplitTable* Old = Hook.Table();
    const TTableHit<TSplitTable> Hit = HitTest(X, Y, DropRect);
    if (!Hit.Target || Hit.Target == Old)
        return false;
    // What the control had: its line shares when it stays under the same
    // parent, else its size.
    TSplitTableLine OldCol, OldRow;
    int64_t OldWidth = DropRect.Width(), OldHeight = DropRect.Height();
    if (Old) {
        if (Old->FParent) {
            OldCol = Old->FParent->FCols[size_t(Old->FCol)];
            OldRow = Old->FParent->FRows[size_t(Old->FRow)];
        }
        OldWidth = Old->FBounds.Width();
        OldHeight = Old->FBounds.Height();
    }
    bool SameParent = false;
    if (!Place(Hit, Hook, "TSplitTable", &SameParent))
        return false;
    TSplitTable* Node = Hook.Table();
    TSplitTable* Parent = Node ? Node->FParent : nullptr;
    if (!Parent) {
        if (Node)
            Node->Update();
        return true;
    }
    Parent->Update();
    TSplitTableLine& Col = Parent->FCols[size_t(Node->FCol)];
    TSplitTableLine& Row = Parent->FRows[size_t(Node->FRow)];
    if (SameParent) {
        if (Col.Nodes.size() == 1) {
            Col.Mul = OldCol.Mul;
            Col.Div = OldCol.Div;
        }
        if (Row.Nodes.size() == 1) {
            Row.Mul = OldRow.Mul;
            Row.Div = OldRow.Div;
        }
    } else {
        if (Col.Nodes.size() == 1)
            Parent->SizeFromDrop(Col, Parent->FCols, Node->FCol, OldWidth, Parent->FBounds.Width());
        if (Row.Nodes.size() == 1)
            Parent->SizeFromDrop(Row, Parent->FRows, Node->FRow, OldHeight, Parent->FBounds.Height());
    }
    return true;
}

// Gives Line the share that makes it Wanted pixels of Extent once the
// other lines keep what they have now.
void TSplitTable::SizeFromDrop(TSplitTableLine& Line, const std::vector<TSplitTableLine>& Lines, int32_t Index,
                               int64_t Wanted, int32_t Extent) const {
    if (Wanted <= 0 || Wanted >= Extent) {
        Line.Mul = 1;
        Line.Div = 1;
        return;
    }
    int64_t Others = 0;
    for (int32_t K = 0; K < int32_t(Lines.size()); ++K) {
        const TSplitTableLine& Other = Lines[size_t(K)];
        if (K == Index || !Other.Visible)
            continue;
        Others += Other.Sizable ? TableMulDiv(Other.Mul, Extent, Other.Div) : Other.MinSize;
        Others += Other.HasSplitter ? FSplitterWidth : 0;
    }
    FitFraction(Others * Wanted, int64_t(Extent) * (Extent - Wanted), Line.Mul, Line.Div);
}

TTableHit<TSplitTable> TSplitTable::HitTest(int32_t X, int32_t Y, const TRect& DropRect) {
    TTableHit<TSplitTable> Hit;
    Hit.Target = this;
    const int64_t PX = FInner.IsEmpty() ? X : Pull(X, DropRect.Left, DropRect.Right, FInner.Width());
    const int64_t PY = FInner.IsEmpty() ? Y : Pull(Y, DropRect.Top, DropRect.Bottom, FInner.Height());
    if (!HasChildren()) {
        if (!FHook)
            return Hit; // an empty cell takes the control
        const int64_t CX = (int64_t(FInner.Left) + FInner.Right) / 2;
        const int64_t CY = (int64_t(FInner.Top) + FInner.Bottom) / 2;
        bool SideBySide;
        if (FParent && FParent->ColCount() > FParent->RowCount())
            SideBySide = false;
        else if (FParent && FParent->RowCount() > FParent->ColCount())
            SideBySide = true;
        else
            SideBySide = 2 * std::abs(PX - CX) * FInner.Height() > std::abs(PY - CY) * FInner.Width();
        if (SideBySide) {
            Hit.ColAction = TTableAction::Wrap;
            Hit.Col = PX >= CX ? 1 : 0;
        } else {
            Hit.RowAction = TTableAction::Wrap;
            Hit.Row = PY >= CY ? 1 : 0;
        }
        return Hit;
    }
    if (!FParent && ChildCount() > 1) {
        // Near an outer edge across the arrangement: a new first or last
        // line across the whole table.
        const int64_t MarginY = std::min<int64_t>(16, FBounds.Height() / 16);
        const int64_t MarginX = std::min<int64_t>(16, FBounds.Width() / 16);
        if (ColCount() >= RowCount() && (PY < FBounds.Top + MarginY || PY >= FBounds.Bottom - MarginY)) {
            Hit.RowAction = TTableAction::Wrap;
            Hit.Row = PY < FBounds.Top + MarginY ? 0 : 1;
            return Hit;
        }
        if (RowCount() >= ColCount() && (PX < FBounds.Left + MarginX || PX >= FBounds.Right - MarginX)) {
            Hit.ColAction = TTableAction::Wrap;
            Hit.Col = PX < FBounds.Left + MarginX ? 0 : 1;
            return Hit;
        }
    }
    // The line before the first midpoint at or past the point, so that a
    // point on a midpoint belongs to the earlier line.
    auto Find = [](const std::vector<TSplitTableLine>& Lines, int64_t At) {
        for (size_t K = 0; K + 1 < Lines.size(); ++K)
            if ((int64_t(Lines[K].InnerEnd) + Lines[K + 1].InnerStart) / 2 >= At)
                return int32_t(K);
        return int32_t(Lines.size()) - 1;
    };
    const int32_t Col = Find(FCols, PX);
    const int32_t Row = Find(FRows, PY);
    TSplitTable* Cell = CellAt(Row, Col);
    Hit.Col = Col;
    Hit.Row = Row;
    if (!Cell) {
        Hit.IntoCell = true;
        return Hit;
    }
    const bool Wide = ColCount() > RowCount();
    const bool Tall = RowCount() > ColCount();
    if (Cell->HasChildren()) {
        const TRect& B = Cell->FBounds;
        const bool InX = PX >= B.Left && PX < B.Right;
        const bool InY = PY >= B.Top && PY < B.Bottom;
        if (Tall ? InY : Wide ? InX : InX && InY)
            return Cell->HitTest(X, Y, DropRect);
        if (!Tall) {
            const TSplitTableLine& Line = FCols[size_t(Col)];
            Hit.ColAction = TTableAction::Insert;
            Hit.Col = PX < (int64_t(Line.Start) + Line.End) / 2 ? Col : Col + 1;
        } else {
            const TSplitTableLine& Line = FRows[size_t(Row)];
            Hit.RowAction = TTableAction::Insert;
            Hit.Row = PY < (int64_t(Line.Start) + Line.End) / 2 ? Row : Row + 1;
        }
        return Hit;
    }
    const TRect& B = Cell->FBounds;
    const int64_t CX = (int64_t(B.Left) + B.Right) / 2, CY = (int64_t(B.Top) + B.Bottom) / 2;
    const int64_t W = B.Width(), H = B.Height();
    const int64_t DX = std::abs(PX - CX), DY = std::abs(PY - CY);
    if (Wide) {
        if (2 * DX * H < DY * W && 4 * DY > H)
            return Cell->HitTest(X, Y, DropRect);
        Hit.ColAction = TTableAction::Insert;
        Hit.Col = PX < CX ? Col : Col + 1;
    } else {
        if (DY * W < 2 * DX * H && 4 * DX > W)
            return Cell->HitTest(X, Y, DropRect);
        Hit.RowAction = TTableAction::Insert;
        Hit.Row = PY < CY ? Row : Row + 1;
    }
    return Hit;
}

void TSplitTable::SaveLines(TData& Data) const {
    auto Write = [&Data](std::string_view Name, const std::vector<TSplitTableLine>& Lines) {
        if (Lines.size() <= 1)
            return;
        TDataSection Section(Data, Name);
        for (size_t J = 0; J < Lines.size(); ++J) {
            const std::string Key = ListItemName("Ref[", int32_t(J));
            Data.WriteInteger(Key + ".Mul", Lines[J].Mul);
            Data.WriteInteger(Key + ".Div", Lines[J].Div);
        }
    };
    Write("Cols", FCols);
    Write("Rows", FRows);
}

void TSplitTable::LoadLines(TData& Data) {
    auto Read = [&Data](std::string_view Name, std::vector<TSplitTableLine>& Lines) {
        if (!Data.Exists(Name))
            return;
        TDataSection Section(Data, Name);
        for (size_t J = 0; J < Lines.size(); ++J) {
            const std::string Key = ListItemName("Ref[", int32_t(J));
            TSplitTableLine& Line = Lines[J];
            Line.Div = std::max(Data.ReadInteger(Key + ".Div", Line.Div), 1);
            Line.Mul = std::clamp(Data.ReadInteger(Key + ".Mul", Line.Mul), 0, Line.Div);
        }
    };
    Read("Cols", FCols);
    Read("Rows", FRows);
}
