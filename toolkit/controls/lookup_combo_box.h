#pragma once

#include "toolkit/controls/edit_control.h"

#include <memory>
#include <string>
#include <vector>

class TComboDropList;

// An edit field with a drop-down button that offers a list of texts, drawn
// by the toolkit. Typing completes: after typed text, the item that best
// matches it (BestMatch from the first item) becomes the selected item when
// the text is a prefix of it (letter case aside), and the completed rest of
// the item is selected so that the next key replaces it. Up and Page Up
// select the item before the best match (the best match itself when the
// text is not exactly its text), Down and Page Down the item after it (at
// most the last), each followed by OnChange. The button, Alt+Down or F4
// open the list in a pop-up of its own: the mouse highlights, a click or
// Enter accepts, Escape or a click outside cancels.
//
//   auto& Size = Form.Add<TLookupComboBox>();
//   Size.SetItems({"320 x 240", "640 x 480", "720 x 576"});
//   Size.OnChange = [&] { Apply(Size.ItemIndex()); };
class TLookupComboBox : public TEditControl {
public:
    static const TControlClass Class;
    static constexpr int32_t ButtonWidth = 16;

    TLookupComboBox();
    ~TLookupComboBox() override;
    std::string_view ClassName() const override { return "TLookupComboBox"; }

    const std::vector<std::string>& Items() const { return FItems; }
    void SetItems(std::vector<std::string> Items);
    // The selected item, -1 for none. Setting it shows the item's text,
    // selected, without running OnChange.
    int32_t ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int32_t Index);
    // While the box does not have the focus, the selected item becomes the
    // last one whose text equals Text (letter case aside).
    void SetText(std::string_view Text) override;

    // The height of one entry of the list.
    int32_t ItemHeight() const;
    // How many entries the list shows before it scrolls.
    int32_t DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int32_t Count) { FDropDownCount = Count < 1 ? 1 : Count; }

    // Opens the list and runs its loop; true when an entry was accepted
    // (then it is selected and OnChange has run). False at once while the
    // list is open, for an empty list or outside a window.
    bool DropDown();
    bool IsDroppedDown() const { return FIsDropping; }
    // The open list's pop-up, or null.
    TWidget* DropDownList() const;
    // The entry the open list highlights, -1 for none.
    int32_t DropDownHighlight() const;

    TRect NCMargins() const override;
    void LayoutNC(int32_t Width, int32_t Height) override;
    void KeyDown(TWidgetKeyEvent& Event) override;

protected:
    void TextTyped() override;

private:
    // Shows item Index selected; OnChange runs when Notify says so.
    void SelectItem(int32_t Index, bool Notify);

    std::vector<std::string> FItems;
    int32_t FItemIndex = -1;
    int32_t FDropDownCount = 8;
    bool FIsDropping = false;
    TNCGadget* FButton = nullptr; // owned by the widget's gadget list
    std::unique_ptr<TComboDropList> FList;
};
