#pragma once

#include "core/changes.h"

#include <cstdint>
#include <memory>
#include <vector>

class TData;
class TStages;

// The changes the stage registry reports: a switch of the current stage
// reports every bit, since anything shown may depend on the stage.
enum class TStageChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TStageChangeFlags> = true;
constexpr TStageChangeFlags StageChangeAll{0xFFFFFFFF};
using TStageChanges = TFlagChanges<TStageChangeFlags>;

// A working context of the application (which stage means what belongs to
// the application). Stages are made and destroyed by the registry alone, so
// a stage can never vanish while a control refers to it.
class TStage {
public:
    TStage(const TStage&) = delete;
    TStage& operator=(const TStage&) = delete;

    // 1 for the first stage, counting up.
    int32_t Id() const { return FId; }
    bool IsCurrent() const { return FIsCurrent; }

private:
    friend class TStages;
    explicit TStage(int32_t Id) : FId(Id) {}
    ~TStage() = default;
    // The registry switches the flag; everyone else asks the registry.
    void SetCurrent(bool Value) { FIsCurrent = Value; }

    int32_t FId;
    bool FIsCurrent = false;
};

// The stages and which one is current. Switching reports one combined
// change (every bit set) inside a bracket of the notifier, so listeners see
// the new current stage once.
//
//   Stages().Changes().AddChangeHandler(MakeDelegate<&TBrowser::StageChanged>(this));
//   Stages().SetCurrent(*Stages().FindById(3));
class TStages : public TObject {
public:
    static constexpr int32_t StageCount = 7;

    // Creates the seven stages, the first one current.
    TStages();
    ~TStages() override;
    std::string_view ClassName() const override { return "TStages"; }

    int32_t Count() const { return int32_t(FStages.size()); }
    TStage& Stage(int32_t Index) const { return *FStages.at(size_t(Index)); }
    // The stage with Id, or null.
    TStage* FindById(int32_t Id) const;
    TStage& Current() const { return *FCurrent; }
    // Makes Stage current: begin, switch, one change with every bit, end.
    // A call made by a listener while the switch runs is ignored.
    void SetCurrent(TStage& Stage);
    bool Destroying() const { return FDestroying; }
    TStageChanges& Changes() { return FChanges; }

    // The stored form: "CurrentStage", the current stage's id. An id that
    // names no stage leaves the current one.
    void LoadState(const TData& Data);
    void SaveState(TData& Data) const;

private:
    struct TStageDeleter {
        void operator()(TStage* Stage) const { delete Stage; }
    };
    std::vector<std::unique_ptr<TStage, TStageDeleter>> FStages;
    TStage* FCurrent = nullptr;
    bool FSwitching = false;
    bool FDestroying = false;
    TStageChanges FChanges{this};
};

// The application's stage registry.
TStages& Stages();
