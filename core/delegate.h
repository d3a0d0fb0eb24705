#pragma once

#include <type_traits>
#include <utility>

class TObject;

template <class Signature>
class TDelegate;

// A bound callback: a receiver and one of its member functions, with the
// signature checked where it is bound. It is two pointers, copied by value;
// two delegates are equal when they call the same member function of the same
// receiver, so a list of them can refuse duplicates and find one to remove.
//
//   TDelegate<void(TObject*)> Handler = MakeDelegate<&TEditor::FontChanged>(this);
//   if (Handler)
//       Handler(Sender);
//
// A member function whose parameters differ from the delegate's does not
// convert: MakeDelegate yields a delegate of the member's own signature.
template <class R, class... Args>
class TDelegate<R(Args...)> {
public:
    constexpr TDelegate() = default;

    // The delegate calling Member on Receiver; MakeDelegate deduces the
    // signature and is the usual way in.
    template <auto Member, class T>
    static TDelegate Bind(T* Receiver) {
        static_assert(std::is_invocable_r_v<R, decltype(Member), T*, Args...>,
                      "the member function does not take the delegate's arguments");
        return TDelegate(&Call<Member, T>, Receiver);
    }

    R operator()(Args... Arguments) const {
        return FCode(FReceiver, std::forward<Args>(Arguments)...);
    }

    explicit operator bool() const { return FCode != nullptr; }
    bool operator==(const TDelegate&) const = default;

    void* Receiver() const { return FReceiver; }

private:
    using TCode = R (*)(void* Receiver, Args... Arguments);

    TDelegate(TCode Code, void* Receiver) : FCode(Code), FReceiver(Receiver) {}

    // One function per member and receiver class: its address identifies
    // the member function when delegates are compared.
    template <auto Member, class T>
    static R Call(void* Receiver, Args... Arguments) {
        return (static_cast<T*>(Receiver)->*Member)(std::forward<Args>(Arguments)...);
    }

    TCode FCode = nullptr;
    void* FReceiver = nullptr;
};

// The plain signature of a member function pointer type: void(TObject*) for
// void (TEditor::*)(TObject*) and its const and noexcept forms.
template <class Member>
struct TMemberSignature;
template <class C, class R, class... Args>
struct TMemberSignature<R (C::*)(Args...)> {
    using Type = R(Args...);
};
template <class C, class R, class... Args>
struct TMemberSignature<R (C::*)(Args...) const> {
    using Type = R(Args...);
};
template <class C, class R, class... Args>
struct TMemberSignature<R (C::*)(Args...) noexcept> {
    using Type = R(Args...);
};
template <class C, class R, class... Args>
struct TMemberSignature<R (C::*)(Args...) const noexcept> {
    using Type = R(Args...);
};

// Binds a member function to its receiver:
//   Changes.AddChangeHandler(MakeDelegate<&TEditor::ProjectChanged>(this));
template <auto Member, class T>
TDelegate<typename TMemberSignature<decltype(Member)>::Type> MakeDelegate(T* Receiver) {
    return TDelegate<typename TMemberSignature<decltype(Member)>::Type>::template Bind<Member>(
        Receiver);
}

// The handler of a plain notification: it receives the object that changed.
using TNotifyHandler = TDelegate<void(TObject* Sender)>;
