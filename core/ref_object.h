#pragma once

#include "core/object.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>
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

// A holder's reference: AddRef on taking, Release on letting go. Shared
// project objects are held only through these, in single members and in
// containers (std::vector<TRefPtr<TTrackItem>>); new ones come from MakeRef.
//   TRefPtr<TFileClip> Clip = MakeRef<TFileClip>(Time, FileName);
//   Track->InsertItem(Clip.Get(), Index); // the track takes its own reference
template <class T>
class TRefPtr {
public:
    TRefPtr() = default;
    TRefPtr(std::nullptr_t) {}
    explicit TRefPtr(T* Object) : FObject(Object) {
        if (FObject)
            FObject->AddRef();
    }
    TRefPtr(const TRefPtr& Other) : TRefPtr(Other.FObject) {}
    TRefPtr(TRefPtr&& Other) noexcept : FObject(std::exchange(Other.FObject, nullptr)) {}
    // A reference to a derived class converts to one to its base.
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TRefPtr(const TRefPtr<U>& Other) : TRefPtr(Other.Get()) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    TRefPtr(TRefPtr<U>&& Other) noexcept : FObject(Other.Detach()) {}
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
    template <class U>
    friend class TRefPtr;
    // Hands the counted reference over to the converting move.
    T* Detach() noexcept { return std::exchange(FObject, nullptr); }

    T* FObject = nullptr;
};

template <class T, class U>
bool operator==(const TRefPtr<T>& Left, const U* Right) {
    return Left.Get() == Right;
}

// The one way shared project objects are made: a new T held by the returned
// reference. A container or a record that keeps it takes its own.
template <class T, class... TArgs>
TRefPtr<T> MakeRef(TArgs&&... Args) {
    return TRefPtr<T>(new T(std::forward<TArgs>(Args)...));
}
