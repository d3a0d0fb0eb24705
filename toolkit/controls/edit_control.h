#pragma once

#include "toolkit/controls/text_edit_widget.h"
#include "toolkit/design/widget_factory.h"

// A single-line edit box drawn by the toolkit: sunken frame, text on the
// window colour, the whole text selected when the box gains the focus by
// the keyboard (AutoSelect), OnEnter and OnExit as the focus comes and goes.
//
//   auto& Name = Form.Add<TEditControl>();
//   Name.SetBounds(TRect::FromSize(8, 8, 160, Name.DefaultHeight()));
//   Name.OnExit = [&] { Rename(Name.Text()); };
class TEditControl : public TTextEditWidget {
public:
    static const TControlClass Class;

    TEditControl() : TTextEditWidget(TTextLines::Single) {}
    std::string_view ClassName() const override { return "TEditControl"; }

    // 64 wide; high enough for the font with the frame and some room.
    bool GetDefaultSize(int32_t& Width, int32_t& Height) override;
    int32_t DefaultHeight() const;
};

// The in-place editor of lists and trees: an edit box with centred text.
// Hiding it while it has the focus moves the focus on to the nearest
// control that takes it (FocusAway) instead of leaving none.
class TLocalEdit : public TEditControl {
public:
    static const TControlClass Class;

    TLocalEdit() { SetCentred(true); }
    std::string_view ClassName() const override { return "TLocalEdit"; }

    void HiddenWhileFocused() override;
};

// Moves the focus away from Control (which keeps it no longer): to the
// shallowest control of its tree, outside Control, that has its tab stop
// set and is showing and enabled (the first found depth-first among equals),
// else to Control's parent, else nowhere.
void FocusAway(TWidget& Control);

// The factory of edit boxes.
class TEditControlFactory : public TWidgetFactory {
public:
    TEditControlFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                        std::string_view Id);
    TEditControlFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TEditControlFactory"; }

protected:
    ~TEditControlFactory() override = default;
};
