#include "core/paths.h"

#include "core/text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

std::string IncludeTrailingSlash(std::string_view Path) {
    std::string Result(Path);
    if (Result.empty() || (Result.back() != '/' && Result.back() != '\\'))
        Result += '/';
    return Result;
}

std::string ExcludeTrailingSlash(std::string_view Path) {
    std::string Result(Path);
    size_t N = Result.size();
    if (N >= 2 && (Result[N - 1] == '/' || Result[N - 1] == '\\')) {
        char Before = Result[N - 2];
        if (Before != ':' && Before != '/' && Before != '\\')
            Result.pop_back();
    }
    return Result;
}

bool IsAbsolutePath(std::string_view Path) { return !Path.empty() && Path[0] == '/'; }

std::string NormalizeSeparators(std::string_view Path) {
    std::string Result(Path);
    std::replace(Result.begin(), Result.end(), '\\', '/');
    return Result;
}

namespace {

struct TApplicationLocation {
    std::string Directory;
    std::string FileName;
};

const TApplicationLocation& ApplicationLocation() {
    static const TApplicationLocation Location = [] {
        TApplicationLocation L;
        std::error_code Error;
        fs::path Exe = fs::read_symlink("/proc/self/exe", Error);
        if (Error)
            Exe = fs::current_path(Error) / "quillmoor";
        L.Directory = IncludeTrailingSlash(Exe.parent_path().string());
        L.FileName = Exe.string();
        return L;
    }();
    return Location;
}

} // namespace

const std::string& ApplicationDirectory() { return ApplicationLocation().Directory; }
const std::string& ApplicationFileName() { return ApplicationLocation().FileName; }

std::string ToApplicationPath(std::string_view Path) {
    if (Path.empty() || IsAbsolutePath(Path))
        return std::string(Path);
    return ApplicationDirectory() + std::string(Path);
}

std::string FromApplicationPath(std::string_view Path) {
    std::string Result(Path);
    ReplacePathPrefix(Result, ApplicationDirectory(), "");
    return Result;
}

bool ReplacePathPrefix(std::string& Path, std::string_view Old, std::string_view New) {
    if (Old.empty() || !StartsWithText(Path, Old))
        return false;
    Path.replace(0, Old.size(), New);
    return true;
}

std::vector<TDirectoryEntry> ListDirectory(std::string_view Path) {
    std::vector<TDirectoryEntry> Entries;
    std::error_code Error;
    fs::directory_iterator It(fs::path(std::string(Path)), Error), End;
    for (; !Error && It != End; It.increment(Error)) {
        TDirectoryEntry Entry;
        Entry.Name = It->path().filename().string();
        std::error_code StatusError;
        fs::file_status Status = It->status(StatusError);
        Entry.IsFile = !fs::is_directory(Status);
        Entry.IsHidden = !Entry.Name.empty() && Entry.Name[0] == '.';
        Entry.IsReadOnly = access(It->path().c_str(), W_OK) != 0;
        Entry.IsSystem = !fs::is_regular_file(Status) && !fs::is_directory(Status);
        Entries.push_back(std::move(Entry));
    }
    std::sort(Entries.begin(), Entries.end(), [](const TDirectoryEntry& A, const TDirectoryEntry& B) {
        if (A.IsFile != B.IsFile)
            return !A.IsFile;
        return NaturalCompare(A.Name, B.Name) < 0;
    });
    return Entries;
}
