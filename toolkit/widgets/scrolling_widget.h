#pragma once

#include "platform/window/window_system.h"
#include "toolkit/design/widget_factory.h"
#include "toolkit/skin/skin.h"
#include "toolkit/widgets/widget.h"

#include <array>
#include <cstdint>
#include <memory>

class TScrollingWidget;
class TScrollBarPart;

enum class TScrollBarKind : uint8_t { Horizontal, Vertical };

// What a scroll bar asks its widget to do; each moves the position, which
// is then kept within 0 .. Range - Page.
enum class TScrollCommand : uint8_t {
    LineUp,        // one line (32 pixels) toward the start
    LineDown,      // one line toward the end
    PageUp,        // nine tenths of a page toward the start (at least 1)
    PageDown,      // nine tenths of a page toward the end
    ThumbPosition, // to the track position given (the thumb was dropped)
    ThumbTrack,    // to the track position given (the thumb is being dragged)
    Top,           // to the start
    Bottom,        // to the end: Range - Page
    EndScroll,     // a scroll action ended; nothing moves
};

// One scroll bar of a scrolling widget: the content's size (Range), the
// part of it shown (Page) and the first pixel shown (Position). The bar
// shows, Size pixels thick, only while Page is less than Range.
class TScrollingWidgetScrollBar {
public:
    TScrollingWidgetScrollBar(TScrollingWidget& Widget, TScrollBarKind Kind);

    TScrollingWidget& Widget() const { return FWidget; }
    TScrollBarKind Kind() const { return FKind; }
    int32_t Position() const { return FPosition; }
    int32_t Range() const { return FRange; }
    int32_t Page() const { return FPage; }
    // The thickness the bar has when it shows.
    int32_t Thickness() const { return FThickness; }
    // Thickness while Page < Range, else 0.
    int32_t Size() const { return FSize; }
    // The largest position: Range - Page, 0 when the page shows everything.
    int32_t MaxPosition() const;
    // Keeps Position within 0 .. MaxPosition().
    int32_t Clamp(int64_t Position) const;

    // The parts, in the widget's own coordinates (border included); empty
    // while the bar is hidden. The thumb is empty when the track is too
    // short to hold one.
    TRect BarRect() const;
    TRect LessArrowRect() const;
    TRect MoreArrowRect() const;
    TRect TrackRect() const;
    TRect ThumbRect() const;
    // The position the thumb shows when its leading edge is Offset pixels
    // into the track.
    int32_t PositionAtThumbOffset(int32_t Offset) const;

private:
    friend class TScrollingWidget;
    friend class TScrollBarPart;
    // Along the bar: Y for a vertical bar, X for a horizontal one.
    int32_t Along(TPoint Point) const { return FKind == TScrollBarKind::Vertical ? Point.Y : Point.X; }
    int32_t ArrowLength() const;
    int32_t TrackLength() const;
    int32_t ThumbLength() const;
    int32_t ThumbOffset() const;
    // Places and shows or hides the parts after a change.
    void LayoutParts();

    TScrollingWidget& FWidget;
    TScrollBarKind FKind;
    int32_t FPosition = 0;
    int32_t FRange = 0;
    int32_t FPage = 0;
    int32_t FThickness;
    int32_t FSize = 0;
    int32_t FWheelRest = 0; // wheel movement not yet worth a pixel
    TScrollBarPart* FLessArrow = nullptr;
    TScrollBarPart* FMoreArrow = nullptr;
    TScrollBarPart* FTrack = nullptr;
    TScrollBarPart* FThumb = nullptr;
};

// A widget whose content is larger than its client area: scroll bars drawn
// by the toolkit in the non-client border (arrows that repeat while held,
// a track that pages, a draggable thumb), an optional sunken edge, the
// mouse wheel (Shift: across) and panning with the middle button held.
// The widget's own code tells the bars the content's size and the page
// with SetScrollInfo, typically from Layout, and follows the position in
// ScrollBy, which by default moves every child by the opposite amount.
//
//   void TThumbnails::Layout() {
//       SetScrollInfo(TScrollBarKind::Vertical, VertScrollBar().Position(),
//                     ContentHeight(), ClientRect().Height());
//   }
class TScrollingWidget : public TWidget {
public:
    static const TControlClass Class;
    static constexpr int32_t LineStep = 32;
    // The thickness of a scroll bar on this desktop at small skin sizes;
    // larger skins make the bars thicker (SkinThickness).
    static constexpr int32_t DefaultThickness = 16;
    // DefaultThickness, or the skin's up-down width (48 at size 100) when
    // that is more.
    static int32_t SkinThickness();
    static constexpr int32_t MinThumbLength = 8;
    static constexpr int32_t EdgeWidth = 2;
    // A wheel notch scrolls this many lines.
    static constexpr int32_t WheelLines = 3;

    TScrollingWidget();
    ~TScrollingWidget() override;
    std::string_view ClassName() const override { return "TScrollingWidget"; }

    TScrollingWidgetScrollBar& HorzScrollBar() { return *FBars[0]; }
    TScrollingWidgetScrollBar& VertScrollBar() { return *FBars[1]; }
    TScrollingWidgetScrollBar& ScrollBar(TScrollBarKind Kind) { return *FBars[size_t(Kind)]; }
    const TScrollingWidgetScrollBar& ScrollBar(TScrollBarKind Kind) const { return *FBars[size_t(Kind)]; }

    // Sets a bar, the position kept within 0 .. Range - Page; shows the bar
    // while Page < Range. Does not call ScrollBy.
    void SetScrollInfo(TScrollBarKind Bar, int32_t Position, int32_t Range, int32_t Page);
    // What the bar's parts do: moves the position and calls ScrollBy with
    // the change, if any.
    void Scroll(TScrollBarKind Bar, TScrollCommand Command, int32_t TrackPosition = 0);
    // Moves both positions by (DX, DY) as far as the bars allow and calls
    // ScrollBy once with what they moved.
    void ScrollWithinRange(int32_t DX, int32_t DY);
    // The same, later: the request is queued on the loop and dropped when
    // this widget is gone by then.
    void PostScrollRequest(int32_t DX, int32_t DY);
    // The content moved by (DX, DY): the base moves every child by
    // (-DX, -DY) and repaints the client area.
    virtual void ScrollBy(int32_t DX, int32_t DY);

    bool HasEdge() const { return FHasEdge; }
    // A sunken edge of EdgeWidth pixels around the bars and client area.
    void SetHasEdge(bool HasEdge);

    bool IsPanning() const { return FIsPanning; }

    TRect NCMargins() const override;
    void LayoutNC(int32_t Width, int32_t Height) override;
    void PaintFrame(TPixels& Pixels) override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;

private:
    friend class TScrollingWidgetScrollBar;
    void BarChanged(TScrollingWidgetScrollBar& Bar, int32_t OldSize);
    void SkinsChanged(TObject* Sender, TSkinChangeFlags Flags);
    // Moves one bar to Position (clamped); answers the change.
    int32_t MoveBar(TScrollingWidgetScrollBar& Bar, int64_t Position);
    void EndPanning();
    // While panning: ends it once the window no longer holds the mouse.
    void CheckPanCapture();

    std::array<std::unique_ptr<TScrollingWidgetScrollBar>, 2> FBars;
    bool FHasEdge = false;
    bool FIsPanning = false;
    TPoint FPanLast;
    TCursorKind FPanRestoreCursor = TCursorKind::Arrow;
    TTimerId FPanWatch = 0;
    TWeakPtr<TWidgetWindow> FPanWindow;
};

// The factory of scrolling widget kinds: narrows the control class to
// TScrollingWidget.
class TScrollingWidgetFactory : public TWidgetFactory {
public:
    TScrollingWidgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                            std::string_view Id);
    TScrollingWidgetFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TScrollingWidgetFactory"; }

protected:
    ~TScrollingWidgetFactory() override = default;
};
