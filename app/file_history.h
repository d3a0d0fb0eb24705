#pragma once

#include "app/desktop_file.h"
#include "core/object.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TData;

// The most recently used project files, most recent first, kept in the
// desktop file's "FileHistory" section across restarts. At most MaxCount
// (1..9) entries; adding a file already listed moves it to the front.
// LastDir is the folder of the file added last, with a trailing "/".
//
//   FileHistory().Add("/home/ann/Films/Holiday.qmp");
//   FileHistory().Files(); // {"/home/ann/Films/Holiday.qmp", ...}
class TFileHistory : public TObject {
public:
    static constexpr int32_t Capacity = 9;

    std::string_view ClassName() const override { return "TFileHistory"; }

    const std::vector<std::string>& Files() const { return FFiles; }
    int32_t Count() const { return int32_t(FFiles.size()); }
    int32_t MaxCount() const { return FMaxCount; }
    // Clamped to 1..Capacity; the oldest entries beyond it go.
    void SetMaxCount(int32_t Value);
    const std::string& LastDir() const { return FLastDir; }

    // Puts FileName first. Names compare as canonical paths, so the same
    // file reached another way is one entry.
    void Add(const std::string& FileName);
    void Clear();

    // Reads the current section of Data. Full (the desktop file itself)
    // reads "LastDir", "Count" and the "File[i]" entries, dropping entries
    // on local disks whose files are gone; entries on removable, optical and
    // network drives are kept unchecked, so that start-up never waits on a
    // drive that is not there. Always reads "MaxCount".
    void LoadFromData(const TData& Data, TDesktopScope Scope);
    void SaveToData(TData& Data, TDesktopScope Scope) const;

    // Runs after every change (the menus' history entries listen).
    std::function<void(TFileHistory&)> OnChange;

private:
    void Changed();

    std::vector<std::string> FFiles;
    int32_t FMaxCount = Capacity;
    std::string FLastDir;
};

// The program's one history.
TFileHistory& FileHistory();
