#include "core/changes.h"

#include "core/exception_report.h"

#include <vector>

TChanges::~TChanges() = default;

void TChanges::BeginUpdate() {
    if (++FUpdateCount == 1) {
        FPending = 0;
        try {
            DoBegin();
        } catch (...) {
            // The bracket did not open: leave the count as it was so that the
            // caller's guard, which never ran, has nothing to close.
            --FUpdateCount;
            throw;
        }
        FUpdating = true;
    }
}

void TChanges::EndUpdate() {
    if (FUpdateCount == 1) {
        FUpdating = false;
        if (FPending != 0) {
            // Listeners must not break the edit that is closing its bracket:
            // their failures are reported and swallowed here.
            try {
                DoChange(FPending);
            } catch (...) {
                ReportCurrentException();
            }
        }
        try {
            DoEnd();
        } catch (...) {
            --FUpdateCount;
            throw;
        }
    }
    --FUpdateCount;
}

void TChanges::Change(uint32_t Flags) {
    if (FUpdateCount == 0)
        DoChange(Flags);
    else
        FPending |= Flags;
}

namespace {

// Calls run over a snapshot, and each entry is looked up again before its
// call, so a handler that unregisters itself or another one during the
// notification is never called afterwards.
template <class Call>
void CallEach(const TMethods* List, Call&& Invoke) {
    if (!List)
        return;
    std::vector<TMethod> Snapshot;
    Snapshot.reserve(static_cast<size_t>(List->Count()));
    for (int32_t I = 0; I < List->Count(); ++I)
        Snapshot.push_back((*List)[I]);
    for (const TMethod& Method : Snapshot)
        if (List->IndexOf(Method) >= 0)
            Invoke(Method);
}

} // namespace

void TChanges::DoChange(uint32_t Flags) {
    CallEach(FChangeHandlers.get(), [&](TMethod M) {
        reinterpret_cast<TChangeHandler>(M.Code)(M.Receiver, FSender, Flags);
    });
}

void TChanges::DoBegin() { CallNotifyHandlers(FBeginHandlers.get()); }

void TChanges::DoEnd() { CallNotifyHandlers(FEndHandlers.get()); }

void TChanges::CallNotifyHandlers(const TMethods* List) {
    CallEach(List, [&](TMethod M) { reinterpret_cast<TNotifyHandler>(M.Code)(M.Receiver, FSender); });
}

void TChanges::Register(std::unique_ptr<TMethods>& List, TMethod Handler) {
    if (!List)
        List = std::make_unique<TMethods>();
    List->Add(Handler);
}

void TChanges::Unregister(const std::unique_ptr<TMethods>& List, TMethod Handler) {
    if (List)
        List->Remove(Handler);
}

void TChanges::AddChangeHandler(TMethod Handler) { Register(FChangeHandlers, Handler); }
void TChanges::RemoveChangeHandler(TMethod Handler) { Unregister(FChangeHandlers, Handler); }
void TChanges::AddBeginHandler(TMethod Handler) { Register(FBeginHandlers, Handler); }
void TChanges::RemoveBeginHandler(TMethod Handler) { Unregister(FBeginHandlers, Handler); }
void TChanges::AddEndHandler(TMethod Handler) { Register(FEndHandlers, Handler); }
void TChanges::RemoveEndHandler(TMethod Handler) { Unregister(FEndHandlers, Handler); }
