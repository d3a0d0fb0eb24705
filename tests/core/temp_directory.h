#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// A fresh directory under the system's temporary folder for one test, removed
// with everything in it when the object goes.
class TTempDirectory {
public:
    TTempDirectory() {
        std::string Template =
            (std::filesystem::temp_directory_path() / "quillmoor-test-XXXXXX").string();
        if (!::mkdtemp(Template.data()))
            throw std::runtime_error("cannot create a temporary directory");
        FPath = Template;
    }
    ~TTempDirectory() {
        namespace fs = std::filesystem;
        std::error_code Error;
        // A test may have taken away the write permission.
        fs::permissions(FPath, fs::perms::owner_all, fs::perm_options::add, Error);
        fs::remove_all(FPath, Error);
    }
    TTempDirectory(const TTempDirectory&) = delete;
    TTempDirectory& operator=(const TTempDirectory&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(std::string_view Name) const { return FPath + "/" + std::string(Name); }

    // The names of everything in the directory, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> Result;
        for (const auto& Entry : std::filesystem::directory_iterator(FPath))
            Result.push_back(Entry.path().filename().string());
        std::sort(Result.begin(), Result.end());
        return Result;
    }

private:
    std::string FPath;
};
