#pragma once

#include "core/delegate.h"
#include "core/object.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TControl;
class TData;
class TWidgetMouseEvent;

// The designer's handler of a control in design mode: the control routes its
// mouse input to it instead of acting on it. Callback sees each mouse event
// of the control first and answers true when it has consumed it; Data is
// handed back with every call. TWidgetMouseEvent is the toolkit's mouse
// event, defined there (the platform's own TMouseEvent is a different record).
using TDesignCallback =
    TDelegate<bool(TControl* Sender, const TWidgetMouseEvent& Event, void* Data)>;

struct TDesignHook {
    TDesignCallback Callback;
    void* Data = nullptr;
};

// A class of controls as factories see it: a name for messages, the class it
// derives from, and a way to create a control of it. One static instance per
// control class:
//
//   const TControlClass TLabel::Class{"TLabel", &TGadget::Class, CreateControlOf<TLabel>};
class TControlClass {
public:
    using TCreateFunction = std::unique_ptr<TControl> (*)();

    constexpr TControlClass(std::string_view Name, const TControlClass* Parent,
                            TCreateFunction CreateFunction = nullptr)
        : FName(Name), FParent(Parent), FCreate(CreateFunction) {}
    TControlClass(const TControlClass&) = delete;
    TControlClass& operator=(const TControlClass&) = delete;

    std::string_view Name() const { return FName; }
    const TControlClass* Parent() const { return FParent; }
    // Whether this class is Ancestor or derives from it.
    bool InheritsFrom(const TControlClass& Ancestor) const;
    // Abstract classes cannot create controls.
    bool CanCreate() const { return FCreate != nullptr; }
    // A new control, owned by the caller and by nothing else; none for an
    // abstract class.
    std::unique_ptr<TControl> Create() const;

private:
    std::string_view FName;
    const TControlClass* FParent;
    TCreateFunction FCreate;
};

template <class T>
std::unique_ptr<TControl> CreateControlOf() {
    return std::make_unique<T>();
}

// The part of a user-interface control that factories drive: what it does
// when its host is shown or hidden, design mode, its default size and its
// stored settings; every operation does nothing here.
//
// This is the base of the toolkit's controls: TWidget (and through it
// TGadget) derives from it and takes these operations over. The toolkit
// library sits above this one, so factories, design hooks and control
// classes speak of TControl and nothing here includes the toolkit.
class TControl : public TObject {
public:
    static const TControlClass Class;

    std::string_view ClassName() const override { return "TControl"; }

    // The host (a tool box shown as a pop-up or in a modal frame) has just
    // been shown to the user, or hidden again.
    virtual void ActivateControl() {}
    virtual void DeactivateControl() {}
    virtual void BeginDesign(const TDesignHook& /*Hook*/) {}
    virtual void EndDesign() {}
    // True with the size the control wants in a tool box; false keeps its
    // current size.
    virtual bool GetDefaultSize(int32_t& /*Width*/, int32_t& /*Height*/) { return false; }
    // The control's settings in the current node of a data document.
    virtual void LoadControl(TData& /*Data*/) {}
    virtual void SaveControl(TData& /*Data*/) {}
    // A whole desktop layout has been loaded: objects that exist only now
    // can be bound.
    virtual void Loaded() {}
};
