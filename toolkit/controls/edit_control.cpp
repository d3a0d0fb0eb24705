#include "toolkit/controls/edit_control.h"

#include "toolkit/widgets/widget_window.h"

#include <utility>

const TControlClass TEditControl::Class{"TEditControl", &TTextEditWidget::Class, CreateControlOf<TEditControl>};
const TControlClass TLocalEdit::Class{"TLocalEdit", &TEditControl::Class, CreateControlOf<TLocalEdit>};

int32_t TEditControl::DefaultHeight() const {
    const TTextAttr& Font = this->Font();
    int32_t TextHeight = Font.Height < 0 ? -Font.Height : LineHeight();
    return 2 * FrameWidth + TextHeight + 6;
}

bool TEditControl::GetDefaultSize(int32_t& Width, int32_t& Height) {
    Width = 64;
    Height = DefaultHeight();
    return true;
}

void TLocalEdit::HiddenWhileFocused() {
    TWeakPtr Life(this);
    FocusAway(*this);
    if (!Life.IsExpired() && IsFocusInside())
        TEditControl::HiddenWhileFocused();
}

static bool IsInside(const TWidget* Widget, const TWidget& Ancestor) {
    for (; Widget; Widget = Widget->Parent())
        if (Widget == &Ancestor)
            return true;
    return false;
}

void FocusAway(TWidget& Control) {
    TWidgetWindow* Window = Control.Window();
    if (!Window)
        return;
    TWidget* Parent = Control.Parent();
    if (!Parent) {
        Window->SetFocused(nullptr);
        return;
    }
    TWidget* Top = Parent;
    while (Top->Parent())
        Top = Top->Parent();
    // Breadth by depth, depth-first order within a depth: the first
    // candidate at the smallest depth wins.
    std::vector<TWidget*> Level{Top};
    while (!Level.empty()) {
        std::vector<TWidget*> Next;
        for (TWidget* Widget : Level) {
            if (IsInside(Widget, Control))
                continue;
            if (Widget != Top && Widget->TabStop() && Widget->IsShowing() && Widget->IsEnabledInTree())
                if (Window->SetFocused(Widget))
                    return;
            for (auto& Child : Widget->Children())
                Next.push_back(Child.get());
        }
        Level = std::move(Next);
    }
    if (!Window->SetFocused(Parent))
        Window->SetFocused(nullptr);
}

TEditControlFactory::TEditControlFactory(TFactoryList& List, TFactoryCategory* Category,
                                         std::string_view Name, std::string_view Id)
    : TWidgetFactory(List, Category, Name, Id) {
    SetControlClass(TEditControl::Class);
}

TEditControlFactory::TEditControlFactory(TFactoryCategory* Category, std::string_view Name,
                                         std::string_view Id)
    : TWidgetFactory(Category, Name, Id) {
    SetControlClass(TEditControl::Class);
}
