#include "toolkit/areas/fragment.h"

#include "toolkit/areas/area.h"
#include "toolkit/areas/desktop.h"

#include <algorithm>
#include <cassert>

namespace {

// Room left on either side of a coordinate for a width or height of the same
// size, so that Left + Width stays within 32 bits.
constexpr int64_t CoordinateLimit = int64_t(1) << 30;

TRect MakeAreaRect(int64_t Left, int64_t Top, int32_t Width, int32_t Height) {
    int32_t L = ClampFragmentCoordinate(Left), T = ClampFragmentCoordinate(Top);
    return {L, T, ClampFragmentCoordinate(int64_t(L) + Width), ClampFragmentCoordinate(int64_t(T) + Height)};
}

} // namespace

int32_t ClampFragmentCoordinate(int64_t Value) {
    return int32_t(std::clamp(Value, -CoordinateLimit, CoordinateLimit));
}

// ---- TFragment

TFragment::TFragment(TArea& Area) : FArea(Area) {}

TFragment::~TFragment() {
    // Expire first: anything a child's destruction calls out to sees this
    // fragment as gone.
    FLife.Clear();
    // Each child forgets its parent before it goes, so that it does not look
    // for itself in the list being emptied.
    std::vector<std::unique_ptr<TFragment>> Children;
    Children.swap(FChildren);
    for (auto& Child : Children)
        Child->FParent = nullptr;
    Children.clear();
    // Owners free fragments through their parent (DeleteChild), which
    // unlinks them first.
    assert(!FParent && "a fragment is freed through its parent");
    FArea.FragmentDestroyed(*this);
}

TFragment& TFragment::AddChild(std::unique_ptr<TFragment> Child) {
    assert(Child && &Child->FArea == &FArea && "a child belongs to its parent's area");
    assert(!Child->FParent && "a fragment has one parent");
    Child->FParent = this;
    FChildren.push_back(std::move(Child));
    return *FChildren.back();
}

void TFragment::DeleteChild(TFragment& Child) {
    auto It = std::find_if(FChildren.begin(), FChildren.end(), [&](const auto& C) { return C.get() == &Child; });
    assert(It != FChildren.end() && "DeleteChild of a fragment that is not a child");
    std::unique_ptr<TFragment> Gone = std::move(*It);
    FChildren.erase(It);
    Gone->FParent = nullptr;
}

void TFragment::DeleteChildren() {
    std::vector<std::unique_ptr<TFragment>> Children;
    Children.swap(FChildren);
    for (auto& Child : Children)
        Child->FParent = nullptr;
}

TFragment& TFragment::Root() {
    TFragment* Fragment = this;
    while (Fragment->FParent)
        Fragment = Fragment->FParent;
    return *Fragment;
}

void TFragment::SetBox(const TFragmentBox& Box) {
    FBox = Box;
    FWork = Box;
}

void TFragment::MeasurePass() {
    TFragmentRef Self(this);
    for (size_t I = 0; I < FChildren.size() && Self; ++I)
        FChildren[I]->MeasurePass();
    if (!Self)
        return;
    FWork = FBox;
    Measure();
}

void TFragment::ArrangePass() {
    TFragmentRef Self(this);
    Arrange();
    if (!Self)
        return;
    FBox = FWork;
    for (size_t I = 0; I < FChildren.size() && Self; ++I)
        FChildren[I]->ArrangePass();
}

void TFragment::UpdateRects() {
    FAreaRect = GetAreaRect();
    TRect Limit = FParent ? FParent->FVisibleRect : TRect{0, 0, FArea.ClientWidth(), FArea.ClientHeight()};
    FVisibleRect = Limit.Intersected(FAreaRect);
    for (auto& Child : FChildren)
        Child->UpdateRects();
}

void TFragment::Relayout() {
    TFragmentRef Self(this);
    MeasurePass();
    if (Self)
        ArrangePass();
    if (Self)
        UpdateRects();
}

TRect TFragment::GetAreaRect() const {
    if (!FParent)
        return MakeAreaRect(FBox.Left, FBox.Top, FBox.Width, FBox.Height);
    const TRect& Base = FParent->FAreaRect;
    return MakeAreaRect(int64_t(Base.Left) + FBox.Left, int64_t(Base.Top) + FBox.Top, FBox.Width, FBox.Height);
}

void TFragment::Invalidate() {
    if (FArea.Window() && !FVisibleRect.IsEmpty())
        FArea.InvalidateClient(FVisibleRect);
}

void TFragment::InvalidatePart(const TRect& Rect) {
    TRect Part = Rect.Translated(FAreaRect.TopLeft()).Intersected(FVisibleRect);
    if (FArea.Window() && !Part.IsEmpty())
        FArea.InvalidateClient(Part);
}

void TFragment::SetHint(const std::string& Hint) {
    if (Hint == FHint)
        return;
    FHint = Hint;
    if (FArea.HotFragment() == this)
        FArea.UpdateHint();
}

void TFragment::SetCursor(TCursorKind Cursor) {
    if (Cursor == FCursor)
        return;
    FCursor = Cursor;
    if (FArea.CaptureFragment() == this || FArea.HotFragment() == this)
        FArea.UpdateCursor();
}

void TFragment::SetCapture() { FArea.SetCaptureFragment(this); }

void TFragment::ReleaseCapture() {
    if (HasCapture())
        FArea.SetCaptureFragment(nullptr);
}

bool TFragment::HasCapture() const { return FArea.CaptureFragment() == this; }

void TFragment::KeyDown(TWidgetKeyEvent& Event) {
    TFragmentRef Self(this);
    for (size_t I = 0; I < FChildren.size() && !Event.IsAccepted() && Self; ++I)
        FChildren[I]->KeyDown(Event);
}

void TFragment::MouseDown(TWidgetMouseEvent& /*Event*/) { SetCapture(); }

void TFragment::MouseUp(TWidgetMouseEvent& /*Event*/) { ReleaseCapture(); }

void TFragment::MouseWheel(TWidgetMouseEvent& Event) {
    TDesktop* Desktop = FArea.Desktop();
    if (!Desktop || Desktop == this)
        return;
    TWidgetMouseEvent ForDesktop = Event;
    ForDesktop.Position = Event.Position + (FAreaRect.TopLeft() - Desktop->AreaRect().TopLeft());
    Desktop->MouseWheel(ForDesktop);
    if (ForDesktop.IsAccepted())
        Event.Accept();
}

int32_t TFragment::HitTest(int32_t X, int32_t Y) const {
    return X >= 0 && X < FBox.Width && Y >= 0 && Y < FBox.Height ? 0 : -1;
}

// ---- TFlatFragment

void TFlatFragment::MouseEnter() {
    TFragment::MouseEnter();
    Invalidate();
}

void TFlatFragment::MouseLeave() {
    TFragment::MouseLeave();
    Invalidate();
}

void TFlatFragment::MouseDown(TWidgetMouseEvent& Event) {
    TFragmentRef Self(this);
    TFragment::MouseDown(Event);
    if (Self)
        Invalidate();
}

void TFlatFragment::MouseUp(TWidgetMouseEvent& Event) {
    TFragmentRef Self(this);
    TFragment::MouseUp(Event);
    if (Self)
        Invalidate();
}
