#include "commands/factory_control.h"

const TControlClass TControl::Class{"TControl", nullptr};

bool TControlClass::InheritsFrom(const TControlClass& Ancestor) const {
    for (const TControlClass* C = this; C; C = C->FParent)
        if (C == &Ancestor)
            return true;
    return false;
}

std::unique_ptr<TControl> TControlClass::Create() const {
    return FCreate ? FCreate() : nullptr;
}
