#include "app/file_history.h"

#include "core/data.h"
#include "core/paths.h"
#include "platform/drive_kind.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Canonical(const std::string& FileName) {
    std::error_code Error;
    fs::path Path = fs::weakly_canonical(fs::absolute(FileName, Error), Error);
    if (Error)
        Path = fs::path(FileName).lexically_normal();
    return Path.string();
}

// Whether a stored name may be checked for existence: only on drives that
// answer at once.
bool MayCheck(const std::string& Path) {
    TDriveKind Kind = DriveKindOf(Path);
    return Kind == TDriveKind::Fixed;
}

bool Exists(const std::string& Path) {
    std::error_code Error;
    return fs::exists(Path, Error);
}

std::string FolderOf(const std::string& FileName) {
    fs::path Parent = fs::path(FileName).parent_path();
    return Parent.empty() ? "" : IncludeTrailingSlash(Parent.string());
}

} // namespace

void TFileHistory::SetMaxCount(int32_t Value) {
    Value = std::clamp(Value, 1, Capacity);
    if (Value == FMaxCount)
        return;
    FMaxCount = Value;
    if (Count() > FMaxCount)
        FFiles.resize(size_t(FMaxCount));
    Changed();
}

void TFileHistory::Add(const std::string& FileName) {
    std::string Name = Canonical(FileName);
    FFiles.erase(std::remove(FFiles.begin(), FFiles.end(), Name), FFiles.end());
    FFiles.insert(FFiles.begin(), Name);
    if (Count() > FMaxCount)
        FFiles.resize(size_t(FMaxCount));
    FLastDir = FolderOf(Name);
    Changed();
}

void TFileHistory::Clear() {
    FFiles.clear();
    FLastDir.clear();
    Changed();
}

void TFileHistory::LoadFromData(const TData& Data, TDesktopScope Scope) {
    if (Scope == TDesktopScope::Full) {
        std::string Dir = Data.ReadString("LastDir", "");
        if (!Dir.empty() && FLastDir.empty() && IsAbsolutePath(Dir)) {
            Dir = IncludeTrailingSlash(Dir);
            if (!MayCheck(Dir) || Exists(Dir))
                FLastDir = Dir;
        }
        int32_t Stored = std::min(Data.ReadInteger("Count", 0), Capacity);
        for (int32_t Index = 0; Index < Stored; ++Index) {
            std::string Name = Data.ReadString("File[" + std::to_string(Index) + "]", "");
            if (Name.empty() || !IsAbsolutePath(Name))
                continue;
            if (MayCheck(Name) && !Exists(Name))
                continue;
            if (std::find(FFiles.begin(), FFiles.end(), Name) == FFiles.end() && Count() < Capacity)
                FFiles.push_back(Name);
        }
    }
    FMaxCount = std::clamp(Data.ReadInteger("MaxCount", Capacity), 1, Capacity);
    if (Count() > FMaxCount)
        FFiles.resize(size_t(FMaxCount));
    Changed();
}

void TFileHistory::SaveToData(TData& Data, TDesktopScope Scope) const {
    if (Scope == TDesktopScope::Full) {
        Data.WriteString("LastDir", FLastDir);
        Data.WriteInteger("Count", Count());
        for (int32_t Index = 0; Index < Count(); ++Index)
            Data.WriteString("File[" + std::to_string(Index) + "]", FFiles[size_t(Index)]);
    }
    Data.WriteInteger("MaxCount", FMaxCount);
}

void TFileHistory::Changed() {
    if (OnChange)
        OnChange(*this);
}

TFileHistory& FileHistory() {
    static TFileHistory History;
    return History;
}
