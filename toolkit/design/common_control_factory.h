#pragma once

#include "commands/factory.h"
#include "toolkit/widgets/popup_widget.h"

#include <string>
#include <string_view>

class TCommand;
class TFactoryList;

// The factories of the toolkit's drawn buttons and check boxes. Each narrows
// the control class to its own kind and forwards the per-control operations
// (design, activation, default size, stored settings) to the control, as
// the base factory does. Every factory has a constructor registering it in
// a given registry and one registering it in the application's.

class TCommonControlFactory : public TFactory {
public:
    TCommonControlFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                          std::string_view Id);
    TCommonControlFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TCommonControlFactory"; }

protected:
    ~TCommonControlFactory() override = default;
};

class TCommonButtonFactory : public TCommonControlFactory {
public:
    TCommonButtonFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                         std::string_view Id);
    TCommonButtonFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TCommonButtonFactory"; }

protected:
    ~TCommonButtonFactory() override = default;
};

class TCommonCheckBoxFactory : public TCommonControlFactory {
public:
    TCommonCheckBoxFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                           std::string_view Id);
    TCommonCheckBoxFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    std::string_view ClassName() const override { return "TCommonCheckBoxFactory"; }

protected:
    ~TCommonCheckBoxFactory() override = default;
};

// Binds every button it makes to its command (not owned; a button lets go
// of the command when the command is freed).
class TCommandButtonFactory : public TCommonButtonFactory {
public:
    TCommandButtonFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                          std::string_view Id, TCommand* Command);
    TCommandButtonFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id,
                          TCommand* Command);
    std::string_view ClassName() const override { return "TCommandButtonFactory"; }

    TCommand* Command() const { return FCommand; }
    void InitControl(TControl& Control) override;

protected:
    ~TCommandButtonFactory() override = default;

private:
    TCommand* FCommand;
};

// What a dialog button shows and does.
struct TDialogButtonSetup {
    std::string Caption;
    std::string Hint;
    TModalResult Value = TModalResult::None;
    bool IsDefault = false;
};

// Gives every button it makes its caption, hint, value and default flag.
class TDialogButtonFactory : public TCommonButtonFactory {
public:
    TDialogButtonFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
                         std::string_view Id, TDialogButtonSetup Button);
    TDialogButtonFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id,
                         TDialogButtonSetup Button);
    std::string_view ClassName() const override { return "TDialogButtonFactory"; }

    const TDialogButtonSetup& Button() const { return FButton; }
    void InitControl(TControl& Control) override;

protected:
    ~TDialogButtonFactory() override = default;

private:
    TDialogButtonSetup FButton;
};
