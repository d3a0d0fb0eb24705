#include "editors/project_desktop.h"

#include "core/delegate.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "render/timeline.h"

TProjectDesktop::TProjectDesktop(TArea& Area, TProject* Project) : TDesktop(Area), FProject(Project) {
    if (FProject)
        FProject->Changes().AddChangeHandler(MakeDelegate<&TProjectDesktop::ProjectChanged>(this));
}

TProjectDesktop::~TProjectDesktop() {
    if (FProject)
        FProject->Changes().RemoveChangeHandler(MakeDelegate<&TProjectDesktop::ProjectChanged>(this));
}

TChanges* TProjectDesktop::DocumentChanges() const { return FProject ? &FProject->Changes() : nullptr; }

TVideoTime TProjectDesktop::CursorTime() const { return FProject ? FProject->Position() : 0; }

TVideoTime TProjectDesktop::FrameDuration() const {
    return FProject ? FProject->Timeline().FrameDuration() : 0;
}

void TProjectDesktop::ProjectChanged(TObject* /*Sender*/, TProjectChangeFlags /*Flags*/) {}
