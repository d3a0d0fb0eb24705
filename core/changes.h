#pragma once

#include "core/exception_report.h"
#include "core/methods.h"

#include <cstdint>
#include <memory>

// The handler signatures of a notifier: a change handler receives the sender
// and the combined change flags; begin and end handlers the sender only.
using TChangeHandler = void (*)(void* Receiver, TObject* Sender, uint32_t Flags);
using TNotifyHandler = void (*)(void* Receiver, TObject* Sender);

// Binds a member function as a change handler:
//   Changes.AddChangeHandler(ChangeMethod<&TEditor::ProjectChanged>(this));
template <auto Member, class T>
TMethod ChangeMethod(T* Receiver) {
    TChangeHandler Code = [](void* R, TObject* Sender, uint32_t Flags) {
        (static_cast<T*>(R)->*Member)(Sender, Flags);
    };
    return {reinterpret_cast<void (*)()>(Code), Receiver};
}

// Binds a member function as a begin or end handler.
template <auto Member, class T>
TMethod NotifyMethod(T* Receiver) {
    TNotifyHandler Code = [](void* R, TObject* Sender) { (static_cast<T*>(R)->*Member)(Sender); };
    return {reinterpret_cast<void (*)()>(Code), Receiver};
}

// A change notifier with nested update brackets. Changes made inside a bracket
// are collected and reach the listeners once, combined, when the outermost
// bracket closes; a change outside any bracket reaches them at once.
//
//   TUpdateGuard Guard(Project.Changes());   // BeginUpdate
//   ...edits that call Change(...)...
//                                             // EndUpdate on every path
class TChanges : public TObject {
public:
    explicit TChanges(TObject* Sender) : FSender(Sender) {}
    ~TChanges() override;
    TChanges(const TChanges&) = delete;
    TChanges& operator=(const TChanges&) = delete;

    std::string_view ClassName() const override { return "TChanges"; }

    TObject* Sender() const { return FSender; }
    bool Updating() const { return FUpdating; }
    int32_t UpdateCount() const { return FUpdateCount; }
    uint32_t Pending() const { return FPending; }

    void BeginUpdate();
    void EndUpdate();
    void Change(uint32_t Flags);

    void AddChangeHandler(TMethod Handler);
    void RemoveChangeHandler(TMethod Handler);
    void AddBeginHandler(TMethod Handler);
    void RemoveBeginHandler(TMethod Handler);
    void AddEndHandler(TMethod Handler);
    void RemoveEndHandler(TMethod Handler);

protected:
    // Derived notifiers do their own bookkeeping first, then call the base,
    // which calls every change handler in registration order.
    virtual void DoChange(uint32_t Flags);
    virtual void DoBegin();
    virtual void DoEnd();

private:
    static void Register(std::unique_ptr<TMethods>& List, TMethod Handler);
    static void Unregister(const std::unique_ptr<TMethods>& List, TMethod Handler);
    void CallNotifyHandlers(const TMethods* List);

    TObject* FSender;
    bool FUpdating = false;
    int32_t FUpdateCount = 0;
    uint32_t FPending = 0;
    std::unique_ptr<TMethods> FChangeHandlers;
    std::unique_ptr<TMethods> FBeginHandlers;
    std::unique_ptr<TMethods> FEndHandlers;
};

// BeginUpdate on construction, EndUpdate on destruction, so the bracket closes
// on every path, exceptions included. A null notifier (an object not yet in a
// project) makes it a no-op. A destructor cannot pass an exception on, so one
// raised by an end handler goes to the exception report.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TChanges& Changes) : TUpdateGuard(&Changes) {}
    explicit TUpdateGuard(TChanges* Changes) : FChanges(Changes) {
        if (FChanges)
            FChanges->BeginUpdate();
    }
    ~TUpdateGuard() {
        if (!FChanges)
            return;
        try {
            FChanges->EndUpdate();
        } catch (...) {
            ReportCurrentException();
        }
    }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    TChanges* FChanges;
};
