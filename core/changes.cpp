#include "core/changes.h"

#include "core/exception_report.h"

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
                DeliverBits(FPending);
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

void TChanges::ChangeBits(uint32_t Bits) {
    if (FUpdateCount == 0)
        DeliverBits(Bits);
    else
        FPending |= Bits;
}

void TChanges::DeliverBits(uint32_t Bits) {
    DoChangeBits(Bits);
    CallNotifyHandlers(FChangedHandlers.get());
}

void TChanges::DoBegin() { CallNotifyHandlers(FBeginHandlers.get()); }

void TChanges::DoEnd() { CallNotifyHandlers(FEndHandlers.get()); }

void TChanges::CallNotifyHandlers(const TNotifyHandlers* List) {
    if (List)
        List->CallEach(FSender);
}

void TChanges::Register(std::unique_ptr<TNotifyHandlers>& List, TNotifyHandler Handler) {
    if (!List)
        List = std::make_unique<TNotifyHandlers>();
    List->Add(Handler);
}

void TChanges::Unregister(const std::unique_ptr<TNotifyHandlers>& List, TNotifyHandler Handler) {
    if (List)
        List->Remove(Handler);
}

void TChanges::AddBeginHandler(TNotifyHandler Handler) {
    Register(FBeginHandlers, Handler);
}
void TChanges::RemoveBeginHandler(TNotifyHandler Handler) {
    Unregister(FBeginHandlers, Handler);
}
void TChanges::AddChangedHandler(TNotifyHandler Handler) {
    Register(FChangedHandlers, Handler);
}
void TChanges::RemoveChangedHandler(TNotifyHandler Handler) {
    Unregister(FChangedHandlers, Handler);
}
void TChanges::AddEndHandler(TNotifyHandler Handler) {
    Register(FEndHandlers, Handler);
}
void TChanges::RemoveEndHandler(TNotifyHandler Handler) {
    Unregister(FEndHandlers, Handler);
}
