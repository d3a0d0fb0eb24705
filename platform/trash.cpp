#include "platform/trash.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace {

[[noreturn]] void RaiseTrashError(const std::string& FileName, int Error) {
    throw EError(FormatMessageText(GetText(TTextSlot::CannotTrashFile), FileName) + ": " +
                 std::strerror(Error));
}

std::string PercentEncoded(const std::string& Path) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Text;
    for (unsigned char Char : Path)
        if ((Char >= 'A' && Char <= 'Z') || (Char >= 'a' && Char <= 'z') ||
            (Char >= '0' && Char <= '9') || std::strchr("-._~/", Char)) {
            Text += char(Char);
        } else {
            Text += '%';
            Text += Hex[Char >> 4];
            Text += Hex[Char & 15];
        }
    return Text;
}

std::string LocalTime() {
    std::time_t Now = std::time(nullptr);
    std::tm Parts{};
    localtime_r(&Now, &Parts);
    char Text[32];
    std::strftime(Text, sizeof Text, "%Y-%m-%dT%H:%M:%S", &Parts);
    return Text;
}

bool WriteAll(int Fd, const std::string& Text) {
    size_t Done = 0;
    while (Done < Text.size()) {
        ssize_t Wrote = ::write(Fd, Text.data() + Done, Text.size() - Done);
        if (Wrote < 0 && errno == EINTR)
            continue;
        if (Wrote <= 0)
            return false;
        Done += size_t(Wrote);
    }
    return true;
}

} // namespace

std::string HomeTrashFolder() {
    const char* DataHome = std::getenv("XDG_DATA_HOME");
    if (DataHome && DataHome[0] == '/')
        return std::string(DataHome) + "/Trash";
    const char* Home = std::getenv("HOME");
    return std::string(Home ? Home : "") + "/.local/share/Trash";
}

std::string MoveToTrash(const std::string& FileName) {
    return MoveToTrash(FileName, HomeTrashFolder());
}

std::string MoveToTrash(const std::string& FileName, const std::string& Trash) {
    std::error_code Error;
    std::filesystem::path Absolute = std::filesystem::absolute(FileName, Error);
    if (Error)
        RaiseTrashError(FileName, Error.value());
    struct stat Info;
    if (::lstat(Absolute.c_str(), &Info) != 0)
        RaiseTrashError(FileName, errno);
    for (const char* Sub : {"", "/files", "/info"}) {
        std::string Folder = Trash + Sub;
        if (::mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST)
            RaiseTrashError(FileName, errno);
    }
    // The info file is created first and exclusively: it reserves the name
    // against another program trashing a file of the same name at once.
    const std::string Base = Absolute.filename().string();
    std::string Name, InfoName;
    int Fd = -1;
    for (int Number = 1; Fd < 0; ++Number) {
        Name = Number == 1 ? Base : Base + "." + std::to_string(Number);
        InfoName = Trash + "/info/" + Name + ".trashinfo";
        Fd = ::open(InfoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (Fd < 0 && errno != EEXIST)
            RaiseTrashError(FileName, errno);
        if (Fd >= 0 && ::access((Trash + "/files/" + Name).c_str(), F_OK) == 0) {
            // A file left in the trash without its info file keeps its name.
            ::close(Fd);
            ::unlink(InfoName.c_str());
            Fd = -1;
        }
        if (Number > 100000)
            RaiseTrashError(FileName, EEXIST);
    }
    std::string Record = "[Trash Info]\nPath=" + PercentEncoded(Absolute.string()) +
                         "\nDeletionDate=" + LocalTime() + "\n";
    bool Written = WriteAll(Fd, Record);
    int WriteError = errno;
    ::close(Fd);
    if (!Written) {
        ::unlink(InfoName.c_str());
        RaiseTrashError(FileName, WriteError);
    }
    std::string Target = Trash + "/files/" + Name;
    if (::rename(Absolute.c_str(), Target.c_str()) != 0) {
        int RenameError = errno;
        ::unlink(InfoName.c_str());
        RaiseTrashError(FileName, RenameError);
    }
    return Target;
}
