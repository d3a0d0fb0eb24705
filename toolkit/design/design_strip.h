#pragma once

#include "core/weak_ptr.h"
#include "toolkit/controls/edit_control.h"
#include "toolkit/design/widget_factory.h"
#include "toolkit/widgets/widget.h"

#include <cstdint>
#include <memory>
#include <string>

class TLabelGadget;
class TSeparator;
enum class TSeparatorKind : uint8_t;

// A strip along the bottom of the designer's host that edits one property
// of the selected gadget: a caption and an edit box. Each kind of strip
// exists once, made on first use; ShowIn moves it into the host it is asked
// for, Close unbinds it and takes it out again.
class TDesignStrip : public TWidget {
public:
    static constexpr int32_t StripHeight = 24;

    explicit TDesignStrip(std::string Caption);
    const std::string& Caption() const { return FCaption; }
    TEditControl& EditBox() const { return *FEdit; }

    void Layout() override;
    void Paint(TPixels& Pixels) override;

protected:
    // The edit box's text changed.
    virtual void Edited() = 0;
    // Shows the bound value without running Edited.
    void ShowText(std::string_view Text);

private:
    std::string FCaption;
    TEditControl* FEdit;
    bool FShowing = false;
};

// Edits the selected separator's size: a whole number, "%" after it when
// the size follows the skins' size percentage. What is typed becomes the
// size new separators start with too.
class TSeparatorDesignFrame : public TDesignStrip {
public:
    TSeparatorDesignFrame();
    std::string_view ClassName() const override { return "TSeparatorDesignFrame"; }
    void Bind(TSeparator* Separator);
    TSeparator* Bound() const;

protected:
    void Edited() override;

private:
    TWeakPtr<TSeparator> FSeparator;
};

// Edits the selected label's text.
class TLabelGadgetDesignFrame : public TDesignStrip {
public:
    TLabelGadgetDesignFrame();
    std::string_view ClassName() const override { return "TLabelGadgetDesignFrame"; }
    void Bind(TLabelGadget* Label);
    TLabelGadget* Bound() const;

protected:
    void Edited() override;

private:
    TWeakPtr<TLabelGadget> FLabel;
};

// The one strip of each kind: shown at the bottom of Host (a child of it
// while shown), or closed: unbound, hidden and taken back out of its host.
TSeparatorDesignFrame& SeparatorDesignFrame();
TLabelGadgetDesignFrame& LabelGadgetDesignFrame();
void ShowDesignStrip(TDesignStrip& Strip, TWidget& Host);
void CloseDesignStrip(TDesignStrip& Strip);
// The host the strip shows in, or null when it is closed.
TWidget* DesignStripHost(const TDesignStrip& Strip);

// Makes separators of one kind; selecting one in the designer shows the
// separator strip.
class TSeparatorFactory : public TGadgetFactory {
public:
    TSeparatorFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name, std::string_view Id,
                      TSeparatorKind Kind);
    std::string_view ClassName() const override { return "TSeparatorFactory"; }
    TSeparatorKind Kind() const { return FKind; }
    void InitControl(TControl& Control) override;
    void DesignSelect(TControl& Control, TControl* Host) override;
    void DesignDeselect(TControl* Host) override;

protected:
    ~TSeparatorFactory() override = default;

private:
    TSeparatorKind FKind;
};

// Makes labels; selecting one in the designer shows the label strip.
class TLabelGadgetFactory : public TGadgetFactory {
public:
    TLabelGadgetFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TLabelGadgetFactory"; }
    void DesignSelect(TControl& Control, TControl* Host) override;
    void DesignDeselect(TControl* Host) override;

protected:
    ~TLabelGadgetFactory() override = default;
};
