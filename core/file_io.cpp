#include "core/file_io.h"

#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"

#include <cerrno>
#include <climits>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void RaiseFileError(TTextSlot Slot, const std::string& FileName, int Errno) {
    RaiseError(FormatMessageText(GetText(Slot), FileName) + ": " + std::strerror(Errno));
}

// A descriptor closed on every path.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int Fd) : FFd(Fd) {}
    ~TFileDescriptor() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FFd; }
    int Close() { return ::close(std::exchange(FFd, -1)); }

private:
    int FFd;
};

std::string DirectoryOf(const std::string& FileName) {
    size_t Slash = FileName.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : FileName.substr(0, Slash);
}

// Reads straight into Bytes: sized from the file's length first, grown if
// the file grows while it is read, cut to what was read if it shrinks.
template <typename TBytes> void ReadWholeFile(const std::string& FileName, TBytes& Bytes) {
    TFileDescriptor File(::open(FileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (File.Get() < 0)
        RaiseFileError(TTextSlot::CannotOpenFile, FileName, errno);
    struct stat Info {};
    if (::fstat(File.Get(), &Info) == 0 && S_ISDIR(Info.st_mode))
        RaiseFileError(TTextSlot::CannotOpenFile, FileName, EISDIR);
    constexpr size_t Step = 65536;
    size_t Used = 0;
    Bytes.resize(Info.st_size > 0 ? static_cast<size_t>(Info.st_size) + 1 : Step);
    for (;;) {
        if (Used == Bytes.size())
            Bytes.resize(Bytes.size() + std::max(Step, Bytes.size() / 2));
        ssize_t N = ::read(File.Get(), Bytes.data() + Used, Bytes.size() - Used);
        if (N < 0) {
            if (errno == EINTR)
                continue;
            RaiseFileError(TTextSlot::CannotReadFile, FileName, errno);
        }
        if (N == 0)
            break;
        Used += static_cast<size_t>(N);
    }
    Bytes.resize(Used);
}

} // namespace

std::string ReadFileBytes(const std::string& FileName) {
    std::string Bytes;
    ReadWholeFile(FileName, Bytes);
    return Bytes;
}

std::pmr::string ReadFileBytes(const std::string& FileName, std::pmr::memory_resource* Memory) {
    std::pmr::string Bytes(Memory);
    ReadWholeFile(FileName, Bytes);
    return Bytes;
}

void WriteFileAtomically(const std::string& FileName, std::string_view Bytes) {
    WriteFileAtomically(FileName, [&](const TByteSink& Sink) { Sink(Bytes); });
}

std::string FollowLinks(const std::string& FileName) {
    std::string Path = FileName;
    // As many links as the system follows in one path.
    for (int Hop = 0; Hop < 40; ++Hop) {
        struct stat Info {};
        if (::lstat(Path.c_str(), &Info) != 0 || !S_ISLNK(Info.st_mode))
            return Path;
        std::string Target(size_t(PATH_MAX), '\0');
        ssize_t Length = ::readlink(Path.c_str(), Target.data(), Target.size());
        if (Length <= 0 || size_t(Length) >= Target.size())
            return Path;
        Target.resize(size_t(Length));
        Path = Target.front() == '/' ? Target : DirectoryOf(Path) + "/" + Target;
    }
    return Path;
}

void WriteFileAtomically(const std::string& FileName,
                         const std::function<void(const TByteSink&)>& Produce) {
    std::string Temporary = FileName + ".XXXXXX";
    int Fd = ::mkstemp(Temporary.data());
    if (Fd < 0)
        RaiseFileError(TTextSlot::CannotWriteFile, FileName, errno);
    TFileDescriptor File(Fd);
    auto Fail = [&](int Errno) {
        ::unlink(Temporary.c_str());
        RaiseFileError(TTextSlot::CannotWriteFile, FileName, Errno);
    };

    // Keep the permissions of a file being replaced; a new file gets the usual
    // mode for documents (mkstemp creates it readable by the owner only).
    struct stat Old {};
    mode_t Mode = 0;
    if (::stat(FileName.c_str(), &Old) == 0) {
        Mode = Old.st_mode & 07777;
    } else {
        mode_t Mask = ::umask(0);
        ::umask(Mask);
        Mode = 0666 & ~Mask;
    }
    ::fchmod(File.Get(), Mode);

    auto Write = [&](std::string_view Bytes) {
        size_t Written = 0;
        while (Written < Bytes.size()) {
            ssize_t N = ::write(File.Get(), Bytes.data() + Written, Bytes.size() - Written);
            if (N < 0) {
                if (errno == EINTR)
                    continue;
                Fail(errno);
            }
            Written += static_cast<size_t>(N);
        }
    };
    try {
        Produce(Write);
    } catch (...) {
        ::unlink(Temporary.c_str());
        throw;
    }
    if (::fsync(File.Get()) != 0)
        Fail(errno);
    if (File.Close() != 0)
        Fail(errno);
    if (::rename(Temporary.c_str(), FileName.c_str()) != 0)
        Fail(errno);

    // Make the rename itself durable.
    TFileDescriptor Directory(::open(DirectoryOf(FileName).c_str(), O_RDONLY | O_DIRECTORY));
    if (Directory.Get() >= 0)
        ::fsync(Directory.Get());
}

namespace {

thread_local TFileStatusSnapshot* ActiveSnapshot = nullptr;

TFileStatus LookAt(const std::string& FileName) {
    TFileStatus Status;
    struct stat Info {};
    if (::stat(FileName.c_str(), &Info) != 0) {
        Status.Error = errno;
        return Status;
    }
    Status.IsRegular = S_ISREG(Info.st_mode);
    Status.Size = Info.st_size;
    Status.ModifiedNs = int64_t(Info.st_mtim.tv_sec) * 1000000000 + Info.st_mtim.tv_nsec;
    Status.ChangedNs = int64_t(Info.st_ctim.tv_sec) * 1000000000 + Info.st_ctim.tv_nsec;
    return Status;
}

} // namespace

TFileStatusSnapshot::TFileStatusSnapshot() : FOutermost(ActiveSnapshot == nullptr) {
    if (FOutermost)
        ActiveSnapshot = this;
}

TFileStatusSnapshot::~TFileStatusSnapshot() {
    if (FOutermost)
        ActiveSnapshot = nullptr;
}

TFileStatus QueryFileStatus(const std::string& FileName) {
    if (!ActiveSnapshot)
        return LookAt(FileName);
    auto [It, Inserted] = ActiveSnapshot->FStatuses.try_emplace(FileName);
    if (Inserted)
        It->second = LookAt(FileName);
    return It->second;
}
