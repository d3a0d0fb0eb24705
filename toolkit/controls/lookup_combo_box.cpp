#include "toolkit/controls/lookup_combo_box.h"

#include "core/text.h"
#include "platform/keys.h"
#include "toolkit/controls/best_match.h"
#include "toolkit/skin/look.h"
#include "toolkit/skin/skin_colors.h"
#include "toolkit/widgets/popup_widget.h"
#include "toolkit/widgets/widget_window.h"

#include <algorithm>

const TControlClass TLookupComboBox::Class{"TLookupComboBox", &TEditControl::Class,
                                           CreateControlOf<TLookupComboBox>};

// ---- the drop-down list

// The list the combo box drops down: one entry per item, ItemHeight high,
// the highlighted one in the selection colours; the mouse highlights what it
// is over, a release on an entry or Enter accepts, Escape cancels. It
// scrolls with the wheel and the keys when there are more entries than fit,
// showing where it is with a thin bar.
class TComboDropList : public TPopupWidget {
public:
    explicit TComboDropList(TLookupComboBox& Combo) : FCombo(Combo) {}

    int32_t Highlighted = -1;
    int32_t TopIndex = 0;

    int32_t Count() const { return int32_t(FCombo.Items().size()); }
    int32_t VisibleCount() const { return std::max(1, ClientRect().Height() / FCombo.ItemHeight()); }

    void ScrollTo(int32_t Index) {
        int32_t Top = std::clamp(Index, 0, std::max(0, Count() - VisibleCount()));
        if (Top != TopIndex) {
            TopIndex = Top;
            Invalidate();
        }
    }

    void Highlight(int32_t Index) {
        if (Count() == 0)
            return;
        Index = std::clamp(Index, 0, Count() - 1);
        if (Index < TopIndex)
            ScrollTo(Index);
        else if (Index >= TopIndex + VisibleCount())
            ScrollTo(Index - VisibleCount() + 1);
        if (Index != Highlighted) {
            Highlighted = Index;
            Invalidate();
        }
    }

    int32_t IndexAt(TPoint Point) const {
        TRect Client = ClientRect();
        if (!TRect{0, 0, Client.Width(), Client.Height()}.Contains(Point))
            return -1;
        int32_t Index = TopIndex + Point.Y / FCombo.ItemHeight();
        return Index < Count() ? Index : -1;
    }

    void Paint(TPixels& Pixels) override {
        TRect Client = ClientRect();
        Pixels.FillRect({0, 0, Client.Width(), Client.Height()}, AlphaColor(SystemColors().Window, 255));
        int32_t Height = FCombo.ItemHeight();
        bool Scrolls = Count() > VisibleCount();
        int32_t BarWidth = Scrolls ? 3 : 0;
        TTextInfo Info;
        MeasureText("", FCombo.Font(), TTextMode::Plain, Info);
        for (int32_t Index = TopIndex; Index < Count() && Index < TopIndex + VisibleCount() + 1; ++Index) {
            TRect Row = TRect::FromSize(0, (Index - TopIndex) * Height, Client.Width() - BarWidth, Height);
            TColor Text = SystemColors().WindowText;
            if (Index == Highlighted) {
                Pixels.FillRect(Row, AlphaColor(SystemColors().Highlight, 255));
                Text = SystemColors().HighlightText;
            }
            TPixelsStateSaver Saver(Pixels);
            Pixels.SetClipRect(Row.Translated(Pixels.Origin).Intersected(Pixels.ClipRect()));
            Pixels.DrawText(Row.Left + 3, Row.Top + (Height - Info.LineHeight) / 2, TSmooth::Yes,
                            AlphaColor(Text, 255), FCombo.Font(), FCombo.Items()[size_t(Index)]);
        }
        if (Scrolls) {
            int32_t Track = Client.Height();
            int32_t Thumb = std::max(4, Track * VisibleCount() / Count());
            int32_t Top = (Track - Thumb) * TopIndex / std::max(1, Count() - VisibleCount());
            Pixels.FillRect({Client.Width() - BarWidth, Top, Client.Width(), Top + Thumb},
                            AlphaColor(SkinColors().ShadowColor, 255));
        }
    }

    void MouseMove(TWidgetMouseEvent& Event) override {
        if (int32_t Index = IndexAt(Event.Position); Index >= 0)
            Highlight(Index);
    }

    void MouseDown(TWidgetMouseEvent& Event) override {
        if (int32_t Index = IndexAt(Event.Position); Index >= 0) {
            Event.Accept();
            Highlight(Index);
        }
    }

    void MouseUp(TWidgetMouseEvent& Event) override {
        int32_t Index = IndexAt(Event.Position);
        if (Event.Button != TMouseButton::Left || Index < 0)
            return;
        Event.Accept();
        Highlight(Index);
        ClosePopup(true);
    }

    bool MouseWheel(TWidgetMouseEvent& Event) override {
        ScrollTo(TopIndex - Event.WheelDelta * 3 / 120);
        return true;
    }

    void KeyDown(TWidgetKeyEvent& Event) override {
        int32_t Page = VisibleCount();
        switch (Event.Key) {
        case ::KeyUp:
            Highlight(Highlighted < 0 ? 0 : Highlighted - 1);
            break;
        case ::KeyDown:
            Highlight(Highlighted + 1);
            break;
        case KeyPageUp:
            Highlight(Highlighted - Page);
            break;
        case KeyPageDown:
            Highlight(Highlighted < 0 ? Page - 1 : Highlighted + Page);
            break;
        case KeyHome:
            Highlight(0);
            break;
        case KeyEnd:
            Highlight(Count() - 1);
            break;
        default:
            TPopupWidget::KeyDown(Event);
            return;
        }
        Event.Accept();
    }

private:
    TLookupComboBox& FCombo;
};

// ---- the drop-down button

namespace {

class TComboButton : public TNCGadget {
public:
    explicit TComboButton(TLookupComboBox& Combo) : FCombo(Combo) {}

    void MouseDown(TWidgetMouseEvent& Event) override {
        if (Event.Button != TMouseButton::Left || !FCombo.IsEnabledInTree())
            return;
        Event.Accept();
        TWeakPtr Life(&FCombo);
        FCombo.SetFocus();
        if (!Life.IsExpired())
            FCombo.DropDown();
    }

    void Paint(TPixels& Pixels) override {
        TRect Rect{0, 0, Bounds().Width(), Bounds().Height()};
        TButtonState State{FCombo.IsEnabledInTree(), FCombo.IsDroppedDown(), IsDown(), IsHot()};
        PaintButtonBackground(Rect, Pixels, State);
        // A small arrow pointing down, four rows from 7 pixels to 1.
        TColor Color = AlphaColor(State.Enabled ? SkinColors().TextColor : SkinColors().DisabledTextColor, 255);
        int32_t X = (Rect.Width() - 7) / 2, Y = (Rect.Height() - 4) / 2;
        if (State.Checked || (State.IsDown && State.IsHot)) {
            ++X;
            ++Y;
        }
        for (int32_t Row = 0; Row < 4; ++Row)
            Pixels.FillRect({X + Row, Y + Row, X + 7 - Row, Y + Row + 1}, Color);
        PaintButtonFrame(Rect, Pixels, State);
    }

private:
    TLookupComboBox& FCombo;
};

} // namespace

// ---- the combo box

TLookupComboBox::TLookupComboBox() {
    FButton = &AddNCGadget(std::make_unique<TComboButton>(*this));
}

TLookupComboBox::~TLookupComboBox() = default;

void TLookupComboBox::SetItems(std::vector<std::string> Items) {
    FItems = std::move(Items);
    FItemIndex = -1;
    for (int32_t I = 0; I < int32_t(FItems.size()); ++I)
        if (SameTextAscii(FItems[size_t(I)], Text()))
            FItemIndex = I;
    if (FList && FList->Highlighted >= int32_t(FItems.size()))
        FList->Highlighted = -1;
}

void TLookupComboBox::SetItemIndex(int32_t Index) {
    if (Index < 0 || Index >= int32_t(FItems.size())) {
        FItemIndex = -1;
        return;
    }
    SelectItem(Index, false);
}

void TLookupComboBox::SetText(std::string_view Text) {
    if (!HasFocus()) {
        FItemIndex = -1;
        for (int32_t I = 0; I < int32_t(FItems.size()); ++I)
            if (SameTextAscii(FItems[size_t(I)], Text))
                FItemIndex = I;
    } else if (FItemIndex >= 0 && FItems[size_t(FItemIndex)] != Text) {
        FItemIndex = -1;
    }
    TEditControl::SetText(Text);
}

int32_t TLookupComboBox::ItemHeight() const {
    const TTextAttr& Font = this->Font();
    return 2 + (Font.Height < 0 ? -Font.Height : LineHeight());
}

void TLookupComboBox::SelectItem(int32_t Index, bool Notify) {
    FItemIndex = Index;
    MutableEditor().SetText(FItems[size_t(Index)]);
    MutableEditor().SelectAll();
    if (Notify)
        TextChanged();
    else
        CaretMoved();
}

void TLookupComboBox::TextTyped() {
    const std::string Typed = Text();
    int32_t Best = BestMatch(Typed, FItems, 0);
    if (Best < 0 || !StartsWithText(FItems[size_t(Best)], Typed)) {
        FItemIndex = -1;
        return;
    }
    FItemIndex = Best;
    const std::string& Item = FItems[size_t(Best)];
    MutableEditor().SetText(Item);
    MutableEditor().SetSelection(Item.size(), Typed.size());
}

TRect TLookupComboBox::NCMargins() const {
    return {FrameWidth, FrameWidth, FrameWidth + ButtonWidth, FrameWidth};
}

void TLookupComboBox::LayoutNC(int32_t Width, int32_t Height) {
    FButton->SetBounds({Width - FrameWidth - ButtonWidth, FrameWidth, Width - FrameWidth, Height - FrameWidth});
}

TWidget* TLookupComboBox::DropDownList() const {
    return FIsDropping ? FList.get() : nullptr;
}

int32_t TLookupComboBox::DropDownHighlight() const {
    return FIsDropping && FList ? FList->Highlighted : -1;
}

bool TLookupComboBox::DropDown() {
    TWidgetWindow* Window = this->Window();
    if (FIsDropping || FItems.empty() || !Window)
        return false;
    if (!FList)
        FList = std::make_unique<TComboDropList>(*this);
    int32_t Shown = std::min(int32_t(FItems.size()), FDropDownCount);
    FList->SetBounds(TRect::FromSize(0, 0, Width(), Shown * ItemHeight() + 2 * FList->Border()));
    FList->TopIndex = 0;
    FList->Highlighted = -1;
    FList->Highlight(FItemIndex >= 0 ? FItemIndex : BestMatch(Text(), FItems, 0));
    FIsDropping = true;
    FButton->Invalidate();
    TRect Screen = ScreenRect();
    TWeakPtr Life(this);
    bool Accepted = FList->Popup(Window->System(), Screen.Left, Screen.Bottom, this);
    if (Life.IsExpired())
        return false;
    FIsDropping = false;
    FButton->Invalidate();
    int32_t Chosen = FList->Highlighted;
    if (!Accepted || Chosen < 0 || Chosen >= int32_t(FItems.size()))
        return false;
    SelectItem(Chosen, true);
    return true;
}

void TLookupComboBox::KeyDown(TWidgetKeyEvent& Event) {
    bool Alt = (Event.Modifiers & ShortCutAlt) != 0, Ctrl = (Event.Modifiers & ShortCutCtrl) != 0;
    bool Vertical = Event.Key == ::KeyUp || Event.Key == ::KeyDown;
    if ((Alt && Vertical) || (Event.Key == KeyF1 + 3 && !Alt && !Ctrl)) {
        Event.Accept();
        DropDown();
        return;
    }
    bool Backward = Event.Key == ::KeyUp || Event.Key == KeyPageUp;
    bool Forward = Event.Key == ::KeyDown || Event.Key == KeyPageDown;
    if (Alt || Ctrl || !(Backward || Forward) || FItems.empty()) {
        TEditControl::KeyDown(Event);
        return;
    }
    Event.Accept();
    int32_t Best = BestMatch(Text(), FItems, 0);
    int32_t Last = int32_t(FItems.size()) - 1;
    int32_t Index = Backward ? (Text() == FItems[size_t(Best)] ? std::max(0, Best - 1) : Best)
                             : std::min(Best + 1, Last);
    SelectItem(Index, true);
}
