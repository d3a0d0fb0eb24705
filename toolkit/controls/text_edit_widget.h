#pragma once

#include "canvas/text_attr.h"
#include "platform/window/window_system.h"
#include "toolkit/controls/text_editor.h"
#include "toolkit/widgets/widget.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The part every text box of the toolkit shares (the edit box, the in-place
// editor, the memo, the combo box's field): a TTextEditor drawn in the skin
// inside a sunken frame, with a caret that blinks on a loop timer while the
// box has the focus, horizontal (and, with several lines, vertical)
// scrolling that keeps the caret in view, the keys of a text box, mouse
// selection (a press places the caret, a drag selects, a double click
// selects a word, Shift extends), and cut, copy and paste through the
// window system's clipboard. Typed text arrives as text events; keys as key
// events, and those it uses are accepted so that they go no further.
//
// Handlers may destroy the box: it touches nothing of itself after calling
// one unless it is still alive.
class TTextEditWidget : public TWidget {
public:
    static const TControlClass Class;
    static constexpr std::chrono::milliseconds CaretBlink{500};
    static constexpr int32_t FrameWidth = 2;
    // Room between the frame and the text.
    static constexpr int32_t TextInsetX = 2;
    static constexpr int32_t TextInsetY = 1;

    ~TTextEditWidget() override;
    std::string_view ClassName() const override { return "TTextEditWidget"; }

    const std::string& Text() const { return FEditor.Text(); }
    // Replaces the text, runs OnChange when it differs, and puts the caret at
    // the start.
    virtual void SetText(std::string_view Text);
    const TTextEditor& Editor() const { return FEditor; }
    size_t SelectionStart() const { return FEditor.SelectionStart(); }
    size_t SelectionLength() const { return FEditor.SelectionEnd() - FEditor.SelectionStart(); }
    std::string SelectedText() const { return FEditor.SelectedText(); }
    void SetSelection(size_t Anchor, size_t Caret);
    void SelectAll();

    bool IsReadOnly() const { return FIsReadOnly; }
    void SetReadOnly(bool ReadOnly);
    int32_t MaxLength() const { return FEditor.MaxLength(); }
    void SetMaxLength(int32_t MaxLength) { FEditor.SetMaxLength(MaxLength); }
    // Select the whole text when the box gains the focus other than by a
    // mouse press (single-line boxes only).
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool AutoSelect) { FAutoSelect = AutoSelect; }
    bool IsCentred() const { return FIsCentred; }
    void SetCentred(bool Centred);
    const TTextAttr& Font() const { return FFont; }
    void SetFont(const TTextAttr& Font);

    // The window system's clipboard; nothing happens outside a window.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();

    // How far the text is scrolled, in pixels.
    int32_t ScrollX() const { return FScrollX; }
    int32_t ScrollY() const { return FScrollY; }
    // The caret's top in client coordinates and whether it is drawn now.
    TPoint CaretPoint() const;
    bool IsCaretShown() const { return FHasFocus && FCaretOn; }
    int32_t LineHeight() const;
    // The character boundary nearest to a client point.
    size_t OffsetAt(TPoint ClientPoint) const;

    // The text changed (typed, deleted, pasted or set).
    std::function<void()> OnChange;
    // The box gained (OnEnter) or lost (OnExit) the focus.
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

    TRect NCMargins() const override;
    void PaintFrame(TPixels& Pixels) override;
    void Paint(TPixels& Pixels) override;
    void Layout() override;
    void KeyDown(TWidgetKeyEvent& Event) override;
    void TextInput(TWidgetTextEvent& Event) override;
    void MouseDown(TWidgetMouseEvent& Event) override;
    void MouseMove(TWidgetMouseEvent& Event) override;
    void MouseUp(TWidgetMouseEvent& Event) override;
    bool MouseWheel(TWidgetMouseEvent& Event) override;
    void FocusChanged() override;

protected:
    explicit TTextEditWidget(TTextLines Lines);

    // Typed text has just been inserted, before OnChange runs: the combo
    // box completes it here.
    virtual void TextTyped() {}
    // The text changed: keeps the caret in view, repaints, runs OnChange.
    void TextChanged();
    // The caret or selection moved without a text change.
    void CaretMoved();
    TTextEditor& MutableEditor() { return FEditor; }

private:
    bool IsMultiLine() const { return FEditor.Lines() == TTextLines::Multi; }
    TRect TextArea() const; // client coordinates
    // The x of every character boundary of the line starting at LineStart.
    int32_t LineX(size_t LineStart, size_t Offset) const;
    int32_t LineWidth(size_t LineStart) const;
    size_t OffsetInLine(size_t LineStart, int32_t X) const;
    // Where the line at LineStart begins on screen (client coordinates).
    int32_t LineLeft(size_t LineStart) const;
    void EnsureCaretVisible();
    void MoveVertically(int32_t Lines, TSelect Select);
    void RestartBlink();
    void ScheduleBlink(TWindowSystem& System);
    void StopBlink();
    void Edit(bool Changed);
    TWindowSystem* System() const;

    TTextEditor FEditor;
    TTextAttr FFont;
    int32_t FScrollX = 0;
    int32_t FScrollY = 0;
    // The x the caret keeps while it moves up and down; -1 when unset.
    int32_t FDesiredX = -1;
    bool FIsReadOnly = false;
    bool FAutoSelect = true;
    bool FIsCentred = false;
    bool FHasFocus = false;
    bool FCaretOn = false;
    bool FIsMouseSelecting = false;
    bool FIsMousePressing = false;
    // The blink timer runs on the system of the window it was started for;
    // that window's life token tells whether the system is still there (a
    // system outlives its windows), so a box outliving both touches neither.
    TWindowSystem* FBlinkSystem = nullptr;
    TWeakPtr<TWidgetWindow> FBlinkWindow;
    TTimerId FBlinkTimer = 0;
};
