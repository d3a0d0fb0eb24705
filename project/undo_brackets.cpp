#include "project/undo_brackets.h"

#include "core/changes.h"
#include "core/exception_report.h"
#include "core/ref_object.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "render/timeline.h"

namespace {

class TUndoBrackets : public TObject {
public:
    explicit TUndoBrackets(TProject& Project) : FProject(&Project) {
        Project.Changes().BeginUpdate();
        try {
            Project.Timeline().BeginUpdate();
        } catch (...) {
            Project.Changes().EndUpdate();
            throw;
        }
    }
    ~TUndoBrackets() override {
        try {
            Close();
        } catch (...) {
            ReportCurrentException();
        }
    }
    std::string_view ClassName() const override { return "TUndoBrackets"; }

    void Close() {
        if (!FOpen)
            return;
        FOpen = false;
        try {
            FProject->Timeline().EndUpdate();
        } catch (...) {
            FProject->Changes().EndUpdate();
            throw;
        }
        FProject->Changes().EndUpdate();
    }

private:
    TRefPtr<TProject> FProject;
    bool FOpen = true;
};

} // namespace

TUndoState OpenUndoBrackets(TProject* Project) {
    if (!Project)
        return nullptr;
    return std::make_unique<TUndoBrackets>(*Project);
}

void CloseUndoBrackets(TUndoState& State) {
    TUndoState Closing = std::move(State);
    if (auto* Brackets = dynamic_cast<TUndoBrackets*>(Closing.get()))
        Brackets->Close();
}
