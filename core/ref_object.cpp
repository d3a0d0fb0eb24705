#include "core/ref_object.h"

#include "core/error.h"

#include <cassert>
#include <string>

void TRefObject::Release() {
    assert(FRefCount > 0 && "Release without a matching AddRef");
    if (--FRefCount == 0)
        delete this;
}

void TRefObject::Free() {
    if (FRefCount != 0)
        RaiseError("Can not destroy referenced (" + std::to_string(FRefCount) + ") object of " +
                   std::string(ClassName()) + ".");
    delete this;
}

TRefObject::~TRefObject() {
    // A destructor cannot refuse; a holder that took a reference while the
    // object was being destroyed is a programming error caught here.
    assert(FRefCount == 0 && "Referenced object has been destroyed");
}
