#pragma once

#include "toolkit/areas/desktop.h"

#include <cstdint>

class TProject;
enum class TProjectChangeFlags : uint32_t;

// A desktop that shows a project: it follows the project's notifier, steps
// from the project's position by the frames of its timeline, and has the
// areas registry bracket the project around a drop.
class TProjectDesktop : public TDesktop {
public:
    // Project may be null (no notifications, steps from time 0); it must
    // outlive the desktop.
    TProjectDesktop(TArea& Area, TProject* Project);
    ~TProjectDesktop() override;
    std::string_view ClassName() const override { return "TProjectDesktop"; }

    TProject* Project() const { return FProject; }

    TChanges* DocumentChanges() const override;
    TVideoTime CursorTime() const override;
    TVideoTime FrameDuration() const override;

    // Called by the project's notifier.
    virtual void ProjectChanged(TObject* Sender, TProjectChangeFlags Flags);

private:
    TProject* FProject;
};
