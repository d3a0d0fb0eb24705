#include "toolkit/docking/stages.h"

#include "core/data.h"

TStages::TStages() {
    FStages.reserve(StageCount);
    for (int32_t Id = 1; Id <= StageCount; ++Id)
        FStages.emplace_back(new TStage(Id));
    FCurrent = FStages.front().get();
    FCurrent->SetCurrent(true);
}

TStages::~TStages() {
    FDestroying = true;
    // Last first, as they were made.
    while (!FStages.empty())
        FStages.pop_back();
}

TStages& Stages() {
    static TStages Registry;
    return Registry;
}

TStage* TStages::FindById(int32_t Id) const {
    for (auto& Each : FStages)
        if (Each->Id() == Id)
            return Each.get();
    return nullptr;
}

void TStages::SetCurrent(TStage& Stage) {
    if (&Stage == FCurrent || FSwitching || FDestroying)
        return;
    FSwitching = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } Clear{FSwitching};
    TUpdateGuard Guard(FChanges);
    FCurrent->SetCurrent(false);
    FCurrent = &Stage;
    Stage.SetCurrent(true);
    FChanges.Change(StageChangeAll);
}

void TStages::LoadState(const TData& Data) {
    if (TStage* Stage = FindById(Data.ReadInteger("CurrentStage", FCurrent->Id())))
        SetCurrent(*Stage);
}

void TStages::SaveState(TData& Data) const { Data.WriteInteger("CurrentStage", FCurrent->Id()); }
