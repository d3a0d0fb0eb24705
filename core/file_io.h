#pragma once

#include <cstdint>
#include <functional>
#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_map>

// Whole-file reading and crash-safe writing. Failures raise EError with the
// file name and the system's reason.

std::string ReadFileBytes(const std::string& FileName);
// The same into memory from Memory (a large file read into BulkMemory()
// costs no page fault per page).
std::pmr::string ReadFileBytes(const std::string& FileName, std::pmr::memory_resource* Memory);

// Writes Bytes to a temporary file beside FileName, flushes it to disk and
// renames it over FileName, so a crash, a full disk or a kill in the middle
// never leaves a truncated file behind: the old file stays until the new one
// is complete. On failure the temporary file is removed and the old file is
// left as it was. A FileName that is a symbolic link is replaced by the new
// file (a cache must never be written through a link planted in its place);
// to write where a link leads, pass FollowLinks(FileName).
void WriteFileAtomically(const std::string& FileName, std::string_view Bytes);

// Where FileName leads when its symbolic links are followed (FileName itself
// when it is none); a dangling link leads to the name it holds.
std::string FollowLinks(const std::string& FileName);

using TByteSink = std::function<void(std::string_view)>;
// The same for content made piece by piece: Produce hands each piece to the
// sink as it is made, so a large file need not be held in memory whole. An
// exception from Produce removes the temporary file and leaves the old one.
void WriteFileAtomically(const std::string& FileName,
                         const std::function<void(const TByteSink&)>& Produce);

// What the file system reports about a file, as far as the system uses it.
struct TFileStatus {
    int Error = 0; // the reason the file could not be looked at, 0 when it could
    bool IsRegular = false;
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    // Moves also when only the permissions change.
    int64_t ChangedNs = 0;
};

// Looks at FileName, following links; inside a TFileStatusSnapshot on the
// calling thread, answers from the snapshot after the first look.
TFileStatus QueryFileStatus(const std::string& FileName);

// While one lives on a thread, QueryFileStatus on that thread asks the file
// system once per file name and answers later questions from memory. Opening
// a project names the same media file in every clip cut from it, and each
// clip used to look at it again. Meant for short stretches of work during
// which files are not expected to change; an inner snapshot shares the outer
// one's answers.
//
//   TFileStatusSnapshot Snapshot;
//   for (...) Build(QueryFileStatus(Name));
class TFileStatusSnapshot {
public:
    TFileStatusSnapshot();
    ~TFileStatusSnapshot();
    TFileStatusSnapshot(const TFileStatusSnapshot&) = delete;
    TFileStatusSnapshot& operator=(const TFileStatusSnapshot&) = delete;

private:
    friend TFileStatus QueryFileStatus(const std::string& FileName);

    bool FOutermost;
    std::unordered_map<std::string, TFileStatus> FStatuses;
};
