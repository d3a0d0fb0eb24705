#include "editors/project_desktop.h"

#include "project/project.h"
#include "project/project_changes.h"
#include "render/timeline.h"
#include "toolkit/areas/area.h"

#include <gtest/gtest.h>

namespace {

class TCountingDesktop : public TProjectDesktop {
public:
    using TProjectDesktop::TProjectDesktop;
    int32_t Changes = 0;
    void ProjectChanged(TObject* /*Sender*/, TProjectChangeFlags /*Flags*/) override { ++Changes; }
};

} // namespace

TEST(ProjectDesktop, StepsMoveFromTheProjectPositionBySecondFrameOrTenSeconds) {
    TRefPtr<TProject> Project{new TProject};
    Project->SetPosition(50000000);
    TArea Area;
    TCountingDesktop Desktop(Area, Project.Get());
    TVideoTime Frame = Project->Timeline().FrameDuration();
    ASSERT_GT(Frame, 0);
    EXPECT_EQ(Desktop.StepBack(TStepKind::Second), 40000000);
    EXPECT_EQ(Desktop.StepForward(TStepKind::Second), 60000000);
    EXPECT_EQ(Desktop.StepBack(TStepKind::Frame), 50000000 - Frame);
    EXPECT_EQ(Desktop.StepForward(TStepKind::Frame), 50000000 + Frame);
    EXPECT_EQ(Desktop.StepBack(TStepKind::TenSeconds), -50000000);
    EXPECT_EQ(Desktop.StepForward(TStepKind::TenSeconds), 150000000);
    EXPECT_EQ(Desktop.DocumentChanges(), &Project->Changes());
}

TEST(ProjectDesktop, FollowsTheProjectNotifierWhileItLives) {
    TRefPtr<TProject> Project{new TProject};
    {
        TArea Area;
        TCountingDesktop Desktop(Area, Project.Get());
        Project->SetPosition(10000000);
        EXPECT_EQ(Desktop.Changes, 1);
    }
    // The desktop is gone: the notifier must no longer call it.
    Project->SetPosition(20000000);
    EXPECT_EQ(Project->Position(), 20000000);
}
