#pragma once

#include "commands/factory_category.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class TControl;
class TControlClass;
class TData;
class TFactoryList;
struct TDesignHook;

// The maker and handler of one kind of user-interface item that can be
// placed on the customisable desktop. A stored desktop names each placed
// control by its factory's Id ("Stage|Video|Browser"), and the desktop
// loader, the docks and the Customize designer handle controls only through
// their factories. The base operations forward to the control's own.
//
// A factory registers itself in a registry when it is created, and the
// registry owns it while it is registered: destroying the registry destroys
// the factories still in it. An owner done with a factory earlier calls Free.
class TFactory : public TFactoryObject {
public:
    // Raises the duplicate-id error, registering nothing, when the registry
    // already holds a factory with this Id (letter case aside).
    TFactory(TFactoryList& List, TFactoryCategory* Category, std::string_view Name,
             std::string_view Id);
    // Registers the factory in the application's registry, FactoryList().
    TFactory(TFactoryCategory* Category, std::string_view Name, std::string_view Id);
    TFactory(const TFactory&) = delete;
    TFactory& operator=(const TFactory&) = delete;

    std::string_view ClassName() const override { return "TFactory"; }

    // Destroys the factory, leaving its registry and its category.
    void Free() { delete this; }

    TFactoryCategory* Category() const { return FCategory; }
    TFactoryCategory* Owner() const override { return FCategory; }
    const std::string& Id() const { return FId; }
    TFactoryList* List() const { return FList; }
    // The class of the controls this factory creates; none in the base class.
    const TControlClass* ControlClass() const { return FControlClass; }

    // Narrows the control class: NewClass must be the current class or
    // derive from it, or the invalid-class error is raised and the current
    // class stays.
    void SetControlClass(const TControlClass& NewClass);

    // Prepares a control that CreateControl has just made.
    virtual void InitControl(TControl& Control);
    // A new control of ControlClass, owned by the caller, after InitControl.
    // Raises an error when the factory has no class it can create from.
    virtual std::unique_ptr<TControl> CreateControl();
    virtual void BeginDesign(TControl& Control, const TDesignHook& Hook);
    virtual void EndDesign(TControl& Control);
    // The designer has selected Control: a factory with a design panel shows
    // it inside Host. The base has no panel.
    virtual void DesignSelect(TControl& Control, TControl* Host);
    virtual void DesignDeselect(TControl* Host);
    virtual void ActivateControl(TControl& Control);
    virtual void DeactivateControl(TControl& Control);
    virtual bool GetDefaultSize(TControl& Control, int32_t& Width, int32_t& Height);
    virtual void LoadControl(TControl& Control, TData& Data);
    // Called for every control once a whole desktop layout is loaded.
    virtual void Loaded(TControl& Control);
    virtual void SaveControl(TControl& Control, TData& Data);

protected:
    ~TFactory() override;

private:
    friend class TFactoryCategory;
    friend class TFactoryList;

    TFactoryCategory* FCategory = nullptr;
    std::string FId;
    const TControlClass* FControlClass = nullptr;
    TFactoryList* FList = nullptr;
};
