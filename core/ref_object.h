#pragma once

#include "core/object.h"

#include <cstdint>
#include <utility>

// An object shared by several holders (project items held by the project, by
// undo records and by the clipboard). RefCount counts the extra holders: it is
// 0 after construction, when the single owner may Free the object directly.
// Holders call AddRef and later Release; the last Release destroys it.
class TRefObject : public TObject {
public:
    TRefObject() = default;
    TRefObject(const TRefObject&) = delete;
    TRefObject& operator=(const TRefObject&) = delete;

    std::string_view ClassName() const override { return "TRefObject"; }

    int32_t RefCount() const { return FRefCount; }
    void AddRef() { ++FRefCount; }
    void Release();

    // Destroys the object. Refused with an error, before any destruction work,
    // while a holder still references it; the object then stays alive.
    void Free();

protected:
    // Destruction goes through Free or Release so that the reference check runs.
    ~TRefObject() override;

private:
    int32_t FRefCount = 0;
};

// A holder's reference: AddRef on taking, Release on letting go.
template <class T>
class TRefPtr {
public:
    TRefPtr() = default;
    explicit TRefPtr(T* Object) : FObject(Object) {
        if (FObject)
            FObject->AddRef();
    }
    TRefPtr(const TRefPtr& Other) : TRefPtr(Other.FObject) {}
    TRefPtr(TRefPtr&& Other) noexcept : FObject(std::exchange(Other.FObject, nullptr)) {}
    ~TRefPtr() { Reset(); }

    TRefPtr& operator=(TRefPtr Other) noexcept {
        std::swap(FObject, Other.FObject);
        return *this;
    }

    void Reset() {
        if (T* Object = std::exchange(FObject, nullptr))
            Object->Release();
    }

    T* Get() const { return FObject; }
    T* operator->() const { return FObject; }
    T& operator*() const { return *FObject; }
    explicit operator bool() const { return FObject != nullptr; }

private:
    T* FObject = nullptr;
};
