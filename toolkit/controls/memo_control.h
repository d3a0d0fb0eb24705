#pragma once

#include "toolkit/controls/text_edit_widget.h"
#include "toolkit/design/widget_factory.h"

// A multi-line edit box drawn by the toolkit: Enter starts a new line, Up
// and Down (Page Up, Page Down) move the caret by lines keeping its column,
// Ctrl+Home and Ctrl+End go to the ends of the text, and the text scrolls
// both ways to keep the caret in view; the wheel scrolls by three lines.
// Lines are not wrapped. Tab is left to focus navigation.
//
//   auto& Notes = Form.Add<TMemoControl>();
//   Notes.SetBounds(TRect::FromSize(8, 40, 240, 120));
//   Notes.SetText("first line\nsecond line");
class TMemoControl : public TTextEditWidget {
public:
    static const TControlClass Class;

    TMemoControl() : TTextEditWidget(TTextLines::Multi) {}
    std::string_view ClassName() const override { return "TMemoControl"; }
};

// The factory of memos.
class TMemoControlFactory : public TWidgetFactory {
public:
    TMemoControlFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                        std::string_view Id);
    TMemoControlFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TMemoControlFactory"; }

protected:
    ~TMemoControlFactory() override = default;
};
