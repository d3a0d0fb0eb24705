#include "app/project_saving.h"

#include "app/dialogs/input_form.h"
#include "app/dialogs/message_form.h"
#include "app/file_history.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/project.h"
#include "project/project_changes.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string WithTrailingSeparator(std::string Folder) {
    if (!Folder.empty() && Folder.back() != '/')
        Folder += '/';
    return Folder;
}

// Typed text without the spaces around it.
std::string Trimmed(const std::string& Text) {
    size_t First = Text.find_first_not_of(" \t");
    if (First == std::string::npos)
        return {};
    return Text.substr(First, Text.find_last_not_of(" \t") - First + 1);
}

constexpr uint16_t YesNoCancel = MessageButton(TMessageButton::Yes) |
                                 MessageButton(TMessageButton::No) |
                                 MessageButton(TMessageButton::Cancel);

const std::string& ProjectExtension() {
    return GetText(TTextSlot::ProjectFileExtension);
}

} // namespace

TProjectSaving::TProjectSaving(TWindowSystem& System, TProject& Project, std::string DefaultFolder)
    : FSystem(System), FProject(Project), FDefaultFolder(std::move(DefaultFolder)) {}

bool TProjectSaving::ConfirmSave() {
    if (!FProject.Modified())
        return true;
    const std::string& FileName = FProject.FileName();
    std::string Text = FileName.empty() ? GetText(TTextSlot::SaveUntitledQuestion)
                                        : FormatMessageText(GetText(TTextSlot::SaveChangesQuestion),
                                                            fs::path(FileName).filename().string());
    switch (MessageDialog(FSystem, Text, TMessageKind::Confirmation, YesNoCancel, 0)) {
    case TMessageResult::Yes:
        return SaveProject();
    case TMessageResult::No:
        return true;
    default:
        return false;
    }
}

bool TProjectSaving::SaveProject() {
    const std::string FileName = FProject.FileName();
    if (FileName.empty())
        return SaveProjectAs();
    FProject.SaveToFile(FileName);
    FileHistory().Add(FileName);
    return true;
}

bool TProjectSaving::SaveProjectAs() {
    if (FProject.Changes().UpdateCount() > 0)
        return false;
    std::string Text = ProposedFileName();
    for (;;) {
        if (!TInputForm().Execute(FSystem, GetText(TTextSlot::SaveProjectCaption),
                                  GetText(TTextSlot::SaveProjectPrompt), Text))
            return false;
        std::string FileName = ResolveFileName(Text);
        if (FileName.empty())
            return false;
        std::error_code Error;
        if (!fs::is_directory(fs::path(FileName).parent_path(), Error)) {
            MessageDialog(FSystem,
                          FormatMessageText(GetText(TTextSlot::SaveAsFolderMissing), FileName),
                          TMessageKind::Error, MessageButton(TMessageButton::Ok), 0);
            continue;
        }
        if (fs::exists(FileName, Error) && FileName != FProject.FileName()) {
            TMessageResult Answer = MessageDialog(
                FSystem, FormatMessageText(GetText(TTextSlot::ReplaceFileQuestion), FileName),
                TMessageKind::Confirmation, YesNoCancel, 0);
            if (Answer == TMessageResult::No) {
                Text = FileName;
                continue; // ask for another name
            }
            if (Answer != TMessageResult::Yes)
                return false;
        }
        FProject.SaveToFile(FileName);
        FileHistory().Add(FileName);
        return true;
    }
}

std::string TProjectSaving::ProposalFolder() const {
    const std::string& Current = FProject.FileName();
    if (!Current.empty())
        return WithTrailingSeparator(fs::path(Current).parent_path().string());
    if (!FileHistory().LastDir().empty())
        return WithTrailingSeparator(FileHistory().LastDir());
    if (!FDefaultFolder.empty())
        return WithTrailingSeparator(FDefaultFolder);
    std::error_code Error;
    return WithTrailingSeparator(fs::current_path(Error).string());
}

std::string TProjectSaving::ProposedFileName() const {
    const std::string& Current = FProject.FileName();
    if (!Current.empty())
        return Current;
    return ProposalFolder() + GetText(TTextSlot::UntitledProject) + ProjectExtension();
}

std::string TProjectSaving::ResolveFileName(const std::string& Text) const {
    std::string Name = Trimmed(Text);
    if (Name.empty())
        return {};
    if (Name == "~" || Name.rfind("~/", 0) == 0) {
        const char* Home = std::getenv("HOME");
        Name = std::string(Home ? Home : "") + Name.substr(1);
    }
    fs::path Path(Name);
    if (Path.is_relative())
        Path = fs::path(ProposalFolder()) / Path;
    Path = Path.lexically_normal();
    if (!Path.has_filename())
        Path /= GetText(TTextSlot::UntitledProject);
    if (Path.extension().empty())
        Path += ProjectExtension();
    return Path.string();
}
