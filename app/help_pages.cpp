#include "app/help_pages.h"

#include "commands/help_topics.h"
#include "core/text_table.h"
#include "platform/window/window_system.h"

#include <filesystem>

namespace {

bool IsFile(const std::string& Path) {
    std::error_code Error;
    return std::filesystem::is_regular_file(Path, Error);
}

bool StaysInside(std::string_view Topic) {
    if (Topic.empty() || Topic.front() == '/')
        return false;
    for (const auto& Part : std::filesystem::path(Topic))
        if (Part == "..")
            return false;
    return true;
}

} // namespace

std::string HelpPageFile(const std::string& HelpFolder, std::string_view Topic) {
    std::string StartPage = HelpFolder + GetText(TTextSlot::HelpFileName);
    if (!StaysInside(Topic))
        return StartPage;
    std::string Page = HelpFolder + std::string(Topic);
    if (IsFile(Page))
        return Page;
    if (Page.size() > 4 && Page.compare(Page.size() - 4, 4, ".htm") == 0 && IsFile(Page + "l"))
        return Page + "l";
    return StartPage;
}

std::string FileUrl(std::string_view Path) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Result = "file://";
    for (char Character : Path) {
        auto Byte = uint8_t(Character);
        bool Plain = (Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z') || (Byte >= '0' && Byte <= '9') ||
                     Byte == '-' || Byte == '.' || Byte == '_' || Byte == '~' || Byte == '/';
        if (Plain) {
            Result += Character;
        } else {
            Result += '%';
            Result += Hex[Byte >> 4];
            Result += Hex[Byte & 15];
        }
    }
    return Result;
}

void ShowHelp(TWindowSystem& System, const std::string& HelpFolder, int32_t Context) {
    System.OpenDocument(FileUrl(HelpPageFile(HelpFolder, HelpTopicOf(Context))));
}
