#include "app/application_services.h"

#include "app/clipboard_keys.h"
#include "core/data.h"
#include "core/ref_object.h"
#include "platform/keys.h"
#include "platform/media/media_renderer.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"
#include "platform/window/headless_window_system.h"
#include "project/clip_infos.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/project_defaults.h"
#include "project/title_clip.h"
#include "project/track.h"
#include "project/undo_history.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/text_description.h"
#include "render/timeline.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr TVideoTime Second = VideoTimeUnitsPerSecond;

constexpr uint8_t Letter(char Character) {
    return uint8_t(KeyA + (Character - 'A'));
}

int32_t TitleStyle() {
    return DescriptionRegistry().Titles().Description(1)->Index();
}

TRefPtr<TProject> NewProject() {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    ProjectDefaults().SetBuiltIn();
    Project->New();
    return Project;
}

class ApplicationServices : public testing::Test {
protected:
    void TearDown() override { UndoHistory().ClearUndo(); }

    TMessageQueue Queue;
    THeadlessWindowSystem System{{{{0, 0, 1024, 768}, {0, 0, 1024, 768}}}, Queue};
    TClipInfos Infos{Queue};
};

// Two projects, as two instances of the program would hold them, share
// only the system clipboard: what one copies with Ctrl+C the other pastes
// with Ctrl+V, and a text another program puts there ends pasting.
TEST_F(ApplicationServices, CopyAndPasteTravelThroughTheSystemClipboard) {
    TRefPtr<TProject> First = NewProject(), Second_ = NewProject();
    TApplicationServices FirstServices(System, *First, Infos);
    TTitleFont Main{"DejaVu Sans", 0.09, FontStyleBold, MakeColor(10, 200, 30)};
    TTitleClip* Title = First->Track(0)->InsertTitle(TKeepTransitions::Neither, Main, {}, "Hello",
                                                     TitleStyle(), 3 * Second, 0);
    First->Select(Title, false);

    EXPECT_FALSE(HandleClipboardKey(*First, FirstServices.Clipboard(), Letter('C'), 0));
    ASSERT_TRUE(HandleClipboardKey(*First, FirstServices.Clipboard(), Letter('C'), ShortCutCtrl));
    EXPECT_TRUE(IsClipboardDocument(System.ClipboardText()));
    EXPECT_EQ(First->Track(0)->ItemCount(), 1) << "a copy leaves the project as it was";

    TApplicationServices SecondServices(System, *Second_, Infos);
    EXPECT_EQ(&ApplicationClipboard(), &SecondServices.Clipboard());
    ASSERT_TRUE(SecondServices.Clipboard().HoldsDocument());
    ASSERT_TRUE(HandleClipboardKey(*Second_, SecondServices.Clipboard(), Letter('V'), ShortCutCtrl));
    ASSERT_EQ(Second_->Track(0)->ItemCount(), 1);
    auto* Pasted = dynamic_cast<TTitleClip*>(Second_->Track(0)->Item(0));
    ASSERT_NE(Pasted, nullptr);
    EXPECT_EQ(Pasted->Text(), "Hello");
    EXPECT_EQ(Pasted->MainFont().Font(), Main);

    // Shift+Del cuts; the first project's clip goes, the clipboard holds it.
    First->Select(Title, false);
    ASSERT_TRUE(HandleClipboardKey(*First, FirstServices.Clipboard(), KeyDelete, ShortCutShift));
    EXPECT_EQ(First->Track(0)->ItemCount(), 0);
    UndoHistory().Undo();
    EXPECT_EQ(First->Track(0)->ItemCount(), 1);

    // Another program's text: the change reaches both clipboards, which ask
    // again and find no document; paste then does nothing.
    System.SetClipboardText("plain text");
    System.ProcessEvents();
    EXPECT_FALSE(FirstServices.Clipboard().HoldsDocument());
    EXPECT_FALSE(SecondServices.Clipboard().HoldsDocument());
    ASSERT_TRUE(HandleClipboardKey(*Second_, SecondServices.Clipboard(), KeyInsert, ShortCutShift));
    EXPECT_EQ(Second_->Track(0)->ItemCount(), 1);
}

TEST_F(ApplicationServices, TheInstalledClipboardIsPutBackAtTheEnd) {
    TRefPtr<TProject> Project = NewProject();
    TClipboard* Before = &ApplicationClipboard();
    {
        TApplicationServices Services(System, *Project, Infos);
        EXPECT_EQ(&ApplicationClipboard(), &Services.Clipboard());
    }
    EXPECT_EQ(&ApplicationClipboard(), Before);
    // The filter is gone too: a clipboard change now reaches no service.
    System.SetClipboardText("x");
    System.ProcessEvents();
}

// A change the catalogue announces reaches the project: a title clip's
// picture is drawn afresh after a video folder changed, not after an audio
// folder did.
TEST_F(ApplicationServices, CatalogueChangesReachTheProject) {
    TRefPtr<TProject> Project = NewProject();
    TApplicationServices Services(System, *Project, Infos);
    TTitleClip* Title = Project->Track(0)->InsertTitle(TKeepTransitions::Neither, {}, {}, "x",
                                                       TitleStyle(), 3 * Second, 0);
    Title->Picture();
    ASSERT_TRUE(Title->PictureValid());
    Infos.FolderChanged(ClipInfoChangeAudio);
    Queue.ProcessPending();
    EXPECT_TRUE(Title->PictureValid());
    Infos.FolderChanged(ClipInfoChangeVideo);
    Queue.ProcessPending();
    EXPECT_FALSE(Title->PictureValid());
}

// A clip whose file was missing when its project was opened has nothing to
// show; when the file appears in a media folder, the catalogue's change
// brings the clip back, and the engine shows the file's picture.
TEST_F(ApplicationServices, AClipWhoseFileAppearsComesBackWithTheCataloguesChange) {
    TTempFolder Folder;
    const std::string File = Folder.Path("late.avi");
    TTestVideoOptions Options;
    Options.Painter = SolidColor(200, 40, 60);
    WriteTestVideo(File, Options);
    std::string Stored;
    {
        TRefPtr<TProject> Maker = NewProject();
        ASSERT_NE(Maker->Track(0)->InsertFile(TKeepTransitions::Neither, File, 0), nullptr);
        TData Data;
        Maker->SaveToData(Data);
        Stored = Data.SaveToText();
    }
    std::filesystem::remove(File);
    TRefPtr<TProject> Project = MakeRef<TProject>();
    TData Read;
    Read.LoadFromText(Stored);
    Project->LoadFromData(Read);
    TApplicationServices Services(System, *Project, Infos);
    auto* Clip = dynamic_cast<TFileClip*>(Project->Track(0)->Item(0));
    ASSERT_NE(Clip, nullptr);
    EXPECT_FALSE(Clip->IsAvailable());

    // A change with the file still missing leaves the clip as it is.
    Infos.FolderChanged(ClipInfoChangeVideo);
    Queue.ProcessPending();
    EXPECT_FALSE(Clip->IsAvailable());

    WriteTestVideo(File, Options);
    Infos.FolderChanged(ClipInfoChangeVideo);
    Queue.ProcessPending();
    ASSERT_TRUE(Clip->IsAvailable());
    TVideoFrame Frame;
    TMediaRenderer(Project->Timeline().Platform()).RenderVideo(Clip->Duration() / 2, Frame);
    ASSERT_FALSE(Frame.IsEmpty());
    TColor Centre = Frame.Pixel(Frame.Width() / 2, Frame.Height() / 2);
    EXPECT_NEAR(ColorRed(Centre), 200, 16);
    EXPECT_NEAR(ColorGreen(Centre), 40, 16);
    EXPECT_NEAR(ColorBlue(Centre), 60, 16);
}

} // namespace
