#pragma once

#include "core/geometry.h"
#include "core/ref_object.h"
#include "core/video_time.h"
#include "toolkit/areas/fragment.h"

#include <cstdint>
#include <string>

class TClip;
class TClipEffect;
class TEffect;
class TItem;
class TSubTrackFragment;
class TTrackItem;
class TTransition;
class TTransitionFragment;

// The fill and border colours of an item's box.
struct TItemColors {
    TColor Fill;
    TColor Border;
};

// A box on a content cell standing for one item at its time. It holds a
// reference on its item, so a rebuild that lags behind a removal still
// draws a live object. A press selects the item and moves the edit cursor
// into it; a drag hands over to the cell's drag machine (an edge trims, the
// body moves); a plain click leaves the item the only selection.
class TItemFragment : public TFragment {
public:
    TItemFragment(TArea& Area, TItem& Item);
    std::string_view ClassName() const override { return "TItemFragment"; }

    TItem& Item() const { return *FItem; }
    TSubTrackFragment& Cell() const;
    bool LeftEdgeHot() const { return FLeftEdgeHot; }
    bool RightEdgeHot() const { return FRightEdgeHot; }
    bool IsDragging() const { return FDragging; }
    // The mouse is within 3 pixels of the edit cursor's line over a clip or
    // an effect: the line is highlighted there, and a right press keeps the
    // cursor where it is.
    bool CursorLineHot() const { return FCursorLineHot; }
    // The edit cursor moved: a highlight drawn where its line was goes, and
    // the next mouse move over the item looks for the line again.
    void CursorMoved() { SetCursorLineHot(false); }
    // Whether its edges can be dragged.
    virtual bool EdgesActive() const { return false; }
    // What the box shows as its text.
    virtual std::string Label() const = 0;
    // The colours of the kind, before selection and failure.
    virtual TItemColors KindColors() const = 0;
    // The colours the box is drawn in now.
    TItemColors Colors() const;
    // The item's selection differs from what the box last painted.
    bool SelectionShownChanged() const { return FPaintedSelected != IsItemSelected(); }
    // The item's start and end in time, as the box spans them.
    virtual TVideoTime StartTime() const = 0;
    virtual TVideoTime EndTime() const = 0;

    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseLeave() override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    void CaptureLost() override;
    void Paint(TPixels& Pixels) override;

protected:
    // The edge code under (X, Y): -1 outside, else the TItemEdge.
    int32_t EdgeCodeAt(int32_t X, int32_t Y) const { return HitTest(X, Y); }
    virtual bool HasRenderElement() const = 0;
    // The track item to select and put the cursor into.
    virtual TTrackItem* CursorItem() const = 0;
    void SetHotEdges(int32_t Code);
    // Whether this kind highlights the cursor line under the mouse.
    virtual bool HighlightsCursorLine() const { return false; }
    void SetCursorLineHot(bool Hot);
    // A double click: the bound player shows this item alone from the time
    // at X. False when there is no player or nothing to show.
    bool PreviewInPlayer(int32_t X);
    // The edit cursor's x in this fragment's coordinates.
    int32_t CursorLineX() const;
    void PaintBox(TPixels& Pixels, const TRect& Box) const;
    // Draws what the box shows inside its border (a clip's pictures or
    // sound outline), over the fill and under the border and the label;
    // Inner is the box less its border. True when something was drawn, so
    // the label gets a backing that keeps it legible.
    virtual bool PaintContent(TPixels& /*Pixels*/, const TRect& /*Inner*/) const { return false; }
    // Whether the box lies straight on its row's background (a transition
    // lies over the clips it joins), so its fill can be painted opaque.
    virtual bool LiesOnRow() const { return true; }

private:
    bool IsItemSelected() const;

    TRefPtr<TItem> FItem;
    // The selection the box was last painted with.
    mutable bool FPaintedSelected = false;
    TPoint FPressPoint;
    // The fragment's left within its cell at the press.
    int32_t FPressCellOffset = 0;
    bool FPressed = false;
    bool FDragging = false;
    bool FLeftEdgeHot = false;
    bool FRightEdgeHot = false;
    bool FCursorLineHot = false;
};

class TTrackItemFragment : public TItemFragment {
public:
    TTrackItemFragment(TArea& Area, TTrackItem& Item);
    TTrackItem& TrackItem() const;
    TVideoTime StartTime() const override;
    TVideoTime EndTime() const override;

protected:
    bool HasRenderElement() const override;
    TTrackItem* CursorItem() const override { return &TrackItem(); }
};

// A clip: the body, and an edge at each end when the clip may be stretched.
// Where a transition overlaps it, the middle band leaves the overlap to the
// transition.
class TClipFragment : public TTrackItemFragment {
public:
    TClipFragment(TArea& Area, TClip& Clip);
    TClip& Clip() const;
    bool EdgesActive() const override;
    TTransitionFragment* Leading = nullptr;
    TTransitionFragment* Trailing = nullptr;
    int32_t HitTest(int32_t X, int32_t Y) const override;

protected:
    bool HighlightsCursorLine() const override { return true; }
};

class TAudioClipFragment : public TClipFragment {
public:
    using TClipFragment::TClipFragment;
    std::string_view ClassName() const override { return "TAudioClipFragment"; }
    std::string Label() const override;
    TItemColors KindColors() const override;

protected:
    // The sound outline of the clip's stretch of the file, mirrored about
    // the middle, for the visible columns only.
    bool PaintContent(TPixels& Pixels, const TRect& Inner) const override;
};

class TVideoClipFragment : public TClipFragment {
public:
    using TClipFragment::TClipFragment;
    std::string_view ClassName() const override { return "TVideoClipFragment"; }
    std::string Label() const override;
    TItemColors KindColors() const override;

protected:
    // The file's thumbnail repeated along the clip, for the visible part.
    bool PaintContent(TPixels& Pixels, const TRect& Inner) const override;
};

class TTitleClipFragment : public TClipFragment {
public:
    using TClipFragment::TClipFragment;
    std::string_view ClassName() const override { return "TTitleClipFragment"; }
    std::string Label() const override;
    TItemColors KindColors() const override;
    void Paint(TPixels& Pixels) override;
};

// A transition, over the middle three fifths of the row, joining the clips
// on either side.
class TTransitionFragment : public TTrackItemFragment {
public:
    TTransitionFragment(TArea& Area, TTransition& Transition);
    TTransition& Transition() const;
    bool EdgesActive() const override { return true; }
    std::string Label() const override;
    TItemColors KindColors() const override;
    int32_t HitTest(int32_t X, int32_t Y) const override;
    void Paint(TPixels& Pixels) override;
    bool LiesOnRow() const override { return false; }
    TClipFragment* From = nullptr;
    TClipFragment* To = nullptr;
};

class TTransitionAudioFragment : public TTransitionFragment {
public:
    using TTransitionFragment::TTransitionFragment;
    std::string_view ClassName() const override { return "TTransitionAudioFragment"; }
};

class TTransitionVideoFragment : public TTransitionFragment {
public:
    using TTransitionFragment::TTransitionFragment;
    std::string_view ClassName() const override { return "TTransitionVideoFragment"; }
};

// An effect over a stretch of the timeline, on an effects track.
class TEffectFragment : public TTrackItemFragment {
public:
    TEffectFragment(TArea& Area, TEffect& Effect);
    std::string_view ClassName() const override { return "TEffectFragment"; }
    TEffect& Effect() const;
    bool EdgesActive() const override { return true; }
    std::string Label() const override;
    TItemColors KindColors() const override;

protected:
    bool HighlightsCursorLine() const override { return true; }
};

// The effect a clip carries on one effect row, drawn under its clip.
class TClipEffectFragment : public TItemFragment {
public:
    TClipEffectFragment(TArea& Area, TClipEffect& Effect);
    std::string_view ClassName() const override { return "TClipEffectFragment"; }
    TClipEffect& ClipEffect() const;
    std::string Label() const override;
    TItemColors KindColors() const override;
    TVideoTime StartTime() const override;
    TVideoTime EndTime() const override;

protected:
    bool HasRenderElement() const override;
    TTrackItem* CursorItem() const override;
};
