#include "app/application.h"

#include "core/ref_object.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/project.h"

#include <cstdio>
#include <exception>

namespace {

std::string DefaultProjectFileName() {
    return GetText(TTextSlot::UntitledProject) + GetText(TTextSlot::ProjectFileExtension);
}

} // namespace

int RunApplication(const std::vector<std::string>& Arguments) {
    RestoreTextTable();
    if (Arguments.size() > 1) {
        std::fprintf(stderr, "%s\n", GetText(TTextSlot::UsageText).c_str());
        return 2;
    }
    std::string FileName = Arguments.empty() ? DefaultProjectFileName() : Arguments[0];
    TRefPtr<TProject> Project(new TProject);
    try {
        Project->New();
        Project->SaveToFile(FileName);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
    std::printf("%s\n", FormatMessageText(GetText(TTextSlot::ProjectSaved), FileName).c_str());
    return 0;
}
