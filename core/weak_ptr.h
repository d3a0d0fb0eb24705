#pragma once

#include <cassert>
#include <memory>
#include <type_traits>

// The life of an object that TWeakPtr follows. The object keeps one as a
// member and hands it out through `const TLifeFlag& LifeFlag() const`; the
// flag is cleared when the member, and so the object, is destroyed. A copy
// of an object is another object: copying the member makes a flag of its own.
class TLifeFlag {
public:
    TLifeFlag() : FLife(std::make_shared<const char>(0)) {}
    TLifeFlag(const TLifeFlag& /*Other*/) : TLifeFlag() {}
    TLifeFlag& operator=(const TLifeFlag& /*Other*/) { return *this; }
    ~TLifeFlag() = default;
    // Expires the object now, for a destructor that calls out before its
    // members go: whatever it reaches sees the object as gone.
    void Clear() { FLife.reset(); }

private:
    template <class T>
    friend class TWeakPtr;
    std::shared_ptr<const char> FLife;
};

// A pointer that answers null once the object it points to is destroyed:
// for code that calls out to handlers which may destroy the object (or the
// caller itself), and for references kept across turns of the loop. T hands
// out its life with LifeFlag(). A worker thread may make one of an object
// that outlives the worker and post it to the object's thread (the flag's
// count is atomic); it is read on the object's own thread.
//
//   TWeakPtr Self(this);
//   OnChange();            // may destroy this
//   if (Self.IsExpired())
//       return;
template <class T>
class TWeakPtr {
public:
    TWeakPtr() = default;
    TWeakPtr(std::nullptr_t) {}
    explicit TWeakPtr(T* Object) : FObject(Object) {
        if (Object)
            FLife = Object->LifeFlag().FLife;
    }
    // From a pointer to a derived class.
    template <class U>
        requires(std::is_convertible_v<U*, T*> && !std::is_same_v<U, T>)
    TWeakPtr(const TWeakPtr<U>& Other) : TWeakPtr(static_cast<T*>(Other.Get())) {}

    // The object, or null when there was none or it was destroyed.
    T* Get() const { return FLife.expired() ? nullptr : FObject; }
    // True when there was no object or it was destroyed.
    bool IsExpired() const { return FLife.expired(); }
    explicit operator bool() const { return !FLife.expired(); }
    T* operator->() const {
        assert(!FLife.expired() && "a weak pointer used after its object was destroyed");
        return FObject;
    }
    T& operator*() const { return *operator->(); }
    void Reset() {
        FObject = nullptr;
        FLife.reset();
    }
    // Points at the same live object (two expired pointers compare equal).
    friend bool operator==(const TWeakPtr& A, const TWeakPtr& B) { return A.Get() == B.Get(); }

private:
    T* FObject = nullptr;
    std::weak_ptr<const char> FLife;
};

template <class T>
TWeakPtr(T*) -> TWeakPtr<T>;
