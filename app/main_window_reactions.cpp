#include "app/main_window_reactions.h"

#include "app/dialogs/message_form.h"
#include "app/help_pages.h"
#include "app/hint_line.h"
#include "app/main_window.h"
#include "app/project_opening.h"
#include "commands/command_list.h"
#include "commands/command_updater.h"
#include "commands/help_topics.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/keys.h"
#include "playback/player_time.h"
#include "playback/player_window.h"
#include "playback/player_windows.h"
#include "project/project.h"
#include "project/project_changes.h"
#include "project/undo_history.h"
#include "toolkit/areas/area.h"
#include "toolkit/controls/common_control.h"
#include "toolkit/docking/tool_gadgets.h"
#include "toolkit/widgets/widget_window.h"

namespace {

bool IsInside(const TWidget* Widget, const TWidget& Part) {
    for (const TWidget* Climb = Widget; Climb; Climb = Climb->Parent())
        if (Climb == &Part)
            return true;
    return false;
}

} // namespace

TMainWindowReactions::TMainWindowReactions(TMainWindow& Main, std::string HelpFolder)
    : FMain(Main), FHelpFolder(std::move(HelpFolder)),
      FUpdater(std::make_unique<TCommandUpdater>(CommandList(), &Main.Project().Changes())) {
    TWindowSystem& System = Main.Window().System();
    FHelpFilter = System.AddEventFilter(TFilterPlace::Last, [this](const TEvent& Event) {
        const auto* Key = std::get_if<TKeyEvent>(&Event);
        if (Key && Key->Window == &FMain.Window().Native() && Key->Kind == TKeyEventKind::Down &&
            Key->Key == KeyF1 && (Key->ShortCut & ShortCutModifiers) == 0) {
            ShowHelp();
            return true;
        }
        return false;
    });
    Main.Project().Changes().AddChangeHandler(MakeDelegate<&TMainWindowReactions::ProjectChanged>(this));
    Main.Project().Changes().AddEndHandler(MakeDelegate<&TMainWindowReactions::ProjectEndUpdate>(this));
    PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TMainWindowReactions::PlayersChanged>(this));
    UndoHistory().Changes().AddChangeHandler(MakeDelegate<&TMainWindowReactions::UndoChanged>(this));
    FTimer = System.StartTimer(RefreshInterval, TTimerRepeat::Repeat, [this] { Refresh(); });
    Refresh();
}

TMainWindowReactions::~TMainWindowReactions() {
    TWindowSystem& System = FMain.Window().System();
    System.StopTimer(FTimer);
    UndoHistory().Changes().RemoveChangeHandler(MakeDelegate<&TMainWindowReactions::UndoChanged>(this));
    PlayerWindows().Changes().RemoveChangeHandler(MakeDelegate<&TMainWindowReactions::PlayersChanged>(this));
    FMain.Project().Changes().RemoveEndHandler(MakeDelegate<&TMainWindowReactions::ProjectEndUpdate>(this));
    FMain.Project().Changes().RemoveChangeHandler(MakeDelegate<&TMainWindowReactions::ProjectChanged>(this));
    FHelpFilter.Reset();
}

int32_t TMainWindowReactions::HelpContextFor(const TWidget* Widget) const {
    const TMainDock& Dock = FMain.Dock();
    if (IsInside(Widget, Dock.Timeline()))
        return HelpContextOf(TimelineHelpTopic);
    for (const TWidget* Part : std::initializer_list<const TWidget*>{&Dock.Player(), &Dock.Transport(), &Dock.Time(),
                                                                      &Dock.TimeBar()})
        if (IsInside(Widget, *Part))
            return HelpContextOf(PlayerHelpTopic);
    return 0;
}

void TMainWindowReactions::ShowHelp() {
    try {
        ::ShowHelp(FMain.Window().System(), FHelpFolder, HelpContextFor(FMain.Window().Focused()));
    } catch (const std::exception& Error) {
        FMain.ShowMessage(Error.what());
    }
}

void TMainWindowReactions::Refresh() {
    FUpdater->UpdateCommands();
    RefreshTitle();
    FMain.Dock().Status().SetHint(HintOf(MouseHandler().Hot()));
}

std::string TMainWindowReactions::MarkedTitle() const {
    // A project being opened reports its changes while it still counts as
    // modified and is unchanged once open: it never shows the mark.
    const TProject& Project = FMain.Project();
    return (Project.Modified() && !IsOpeningProject(Project) ? "*" : "") + FMain.Title();
}

void TMainWindowReactions::RefreshTitle() {
    std::string Title = MarkedTitle();
    if (FMain.Window().Native().Title() != Title)
        FMain.Window().Native().SetTitle(Title);
}

void TMainWindowReactions::ProjectChanged(TObject*, TProjectChangeFlags) {
    // The updater follows the project itself. The mark comes with the first
    // change after a save; loading and saving clear the modified state only
    // after their bracket has closed, so the end of a bracket looks again.
    RefreshTitle();
}

void TMainWindowReactions::ProjectEndUpdate(TObject*) {
    RefreshTitle();
}

void TMainWindowReactions::PlayersChanged(TObject*, TPlayerChangeFlags Flags) {
    if (Any(Flags))
        FUpdater->UpdateCommands();
}

void TMainWindowReactions::UndoChanged(TObject*, TUndoChangeFlags) {
    FUpdater->UpdateCommands();
}

std::string HintOf(TMouseTarget* Target) {
    if (!Target)
        return "";
    if (auto* Button = dynamic_cast<TToolButton*>(Target); Button && !Button->Hint().empty())
        return Button->Hint();
    for (const TWidget* Widget = Target->OwnerWidget(); Widget; Widget = Widget->Parent()) {
        if (const auto* Control = dynamic_cast<const TCommonControl*>(Widget); Control && !Control->Hint().empty())
            return Control->Hint();
        if (const auto* Area = dynamic_cast<const TArea*>(Widget); Area && !Area->Hint().empty())
            return Area->Hint();
    }
    return "";
}

std::string LoadProblemsText(const TProject& Project) {
    const std::vector<std::string>& Problems = Project.LoadProblems();
    if (Problems.empty())
        return "";
    std::string Text = FormatMessageText(GetText(TTextSlot::ProjectLoadProblems), Project.FileName());
    for (const std::string& Problem : Problems)
        Text += "\n" + Problem;
    return Text;
}

void ShowLoadProblems(TWindowSystem& System, const TProject& Project) {
    std::string Text = LoadProblemsText(Project);
    if (!Text.empty())
        MessageDialog(System, Text, TMessageKind::Warning, MessageButton(TMessageButton::Ok), 0);
}
