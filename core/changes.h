#pragma once

#include "core/exception_report.h"
#include "core/flag_set.h"
#include "core/methods.h"

#include <cstdint>
#include <memory>

// A change notifier with nested update brackets. Changes made inside a bracket
// are collected and reach the listeners once, combined, when the outermost
// bracket closes; a change outside any bracket reaches them at once.
//
//   TUpdateGuard Guard(Project.Changes());   // BeginUpdate
//   ...edits that call Change(...)...
//                                             // EndUpdate on every path
//
// This base keeps the brackets, the begin and end handlers and the pending
// set as a plain 32-bit value; what the bits mean belongs to a family of
// flags, and TFlagChanges below gives a notifier its family's typed Change
// and change handlers. Code that only brackets work or follows brackets
// takes a TChanges.
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

    void BeginUpdate();
    void EndUpdate();

    void AddBeginHandler(TNotifyHandler Handler);
    void RemoveBeginHandler(TNotifyHandler Handler);
    void AddEndHandler(TNotifyHandler Handler);
    void RemoveEndHandler(TNotifyHandler Handler);
    // Handlers that only need to know that something changed, whatever the
    // family's flags: they run after the change handlers, once per delivered
    // change (so once per outermost bracket).
    void AddChangedHandler(TNotifyHandler Handler);
    void RemoveChangedHandler(TNotifyHandler Handler);

protected:
    // The typed face of a family forwards to these.
    void ChangeBits(uint32_t Bits);
    uint32_t PendingBits() const { return FPending; }

    // Delivers Bits to the change handlers: the family's typed notifier
    // implements it.
    virtual void DoChangeBits(uint32_t Bits) = 0;
    virtual void DoBegin();
    virtual void DoEnd();

private:
    using TNotifyHandlers = TMethods<void(TObject*)>;

    static void Register(std::unique_ptr<TNotifyHandlers>& List, TNotifyHandler Handler);
    static void Unregister(const std::unique_ptr<TNotifyHandlers>& List, TNotifyHandler Handler);
    void CallNotifyHandlers(const TNotifyHandlers* List);
    void DeliverBits(uint32_t Bits);

    TObject* FSender;
    bool FUpdating = false;
    int32_t FUpdateCount = 0;
    uint32_t FPending = 0;
    std::unique_ptr<TNotifyHandlers> FBeginHandlers;
    std::unique_ptr<TNotifyHandlers> FEndHandlers;
    std::unique_ptr<TNotifyHandlers> FChangedHandlers;
};

// The notifier of one family of change flags (TFlags, a flag set over 32
// bits): its changes and its handlers speak that family only, so a command
// flag cannot reach the project's notifier.
//
//   Project.Changes().AddChangeHandler(MakeDelegate<&TEditor::ProjectChanged>(this));
//   void TEditor::ProjectChanged(TObject* Sender, TProjectChangeFlags Flags);
template <CFlagSet TFlags>
class TFlagChanges : public TChanges {
    static_assert(sizeof(TFlags) == sizeof(uint32_t), "a notifier carries 32 flag bits");

public:
    using TFlagSet = TFlags;
    // A change handler receives the sender and the combined change flags.
    using TChangeHandler = TDelegate<void(TObject* Sender, TFlags Flags)>;

    using TChanges::TChanges;

    TFlags Pending() const { return TFlags(PendingBits()); }
    void Change(TFlags Flags) { ChangeBits(ToBits(Flags)); }

    void AddChangeHandler(TChangeHandler Handler) {
        if (!FChangeHandlers)
            FChangeHandlers = std::make_unique<TMethods<void(TObject*, TFlags)>>();
        FChangeHandlers->Add(Handler);
    }
    // Removal from a list that was never created does nothing.
    void RemoveChangeHandler(TChangeHandler Handler) {
        if (FChangeHandlers)
            FChangeHandlers->Remove(Handler);
    }

protected:
    // Derived notifiers do their own bookkeeping first, then call the base,
    // which calls every change handler in registration order.
    virtual void DoChange(TFlags Flags) {
        if (FChangeHandlers)
            FChangeHandlers->CallEach(Sender(), Flags);
    }

private:
    void DoChangeBits(uint32_t Bits) final { DoChange(TFlags(Bits)); }

    std::unique_ptr<TMethods<void(TObject*, TFlags)>> FChangeHandlers;
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
