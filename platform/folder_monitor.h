#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TMessageQueue;

// Watches one folder for files that appear, disappear, are renamed or are
// written, and reports each burst of such changes once, through a message
// posted to the user-interface thread. A burst ends when the folder has been
// quiet for Quiet (or, under a steady stream of changes, after MaxDelay);
// copying twenty files into the folder gives one report, not twenty.
// Changes to names that Ignore accepts (the catalogue's own cache files) are
// not reported. A folder that does not exist, or cannot be watched, is
// simply not watched.
//
//   TFolderMonitor Monitor(Folders.UserVideo, [this] { FolderChanged(0xFFFF0000); });
//
// The watching runs on a thread of its own that only waits on the kernel and
// posts; OnChange runs on the thread that processes Queue. A report already
// posted when the monitor is destroyed is dropped, not delivered.
class TFolderMonitor {
public:
    struct TOptions {
        std::chrono::milliseconds Quiet{250};
        std::chrono::milliseconds MaxDelay{2000};
        // Names (without folder) whose changes are not reported.
        std::function<bool(std::string_view Name)> Ignore;
    };

    TFolderMonitor(const std::string& Folder, std::function<void()> OnChange,
                   TMessageQueue& Queue);
    TFolderMonitor(const std::string& Folder, std::function<void()> OnChange,
                   TMessageQueue& Queue, TOptions Options);
    ~TFolderMonitor();
    TFolderMonitor(const TFolderMonitor&) = delete;
    TFolderMonitor& operator=(const TFolderMonitor&) = delete;

    const std::string& Folder() const { return FFolder; }
    // Whether the kernel watches the folder.
    bool IsWatching() const;

private:
    struct TState;
    std::string FFolder;
    std::unique_ptr<TState> F;
};
