#include "core/file_io.h"

#include "core/bulk_memory.h"
#include "core/error.h"
#include "temp_directory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

void WritePlain(const std::string& FileName, const std::string& Bytes) {
    std::ofstream(FileName, std::ios::binary) << Bytes;
}

mode_t PermissionsOf(const std::string& FileName) {
    struct stat Info {};
    EXPECT_EQ(::stat(FileName.c_str(), &Info), 0);
    return Info.st_mode & 07777;
}

mode_t CurrentUmask() {
    mode_t Mask = ::umask(0);
    ::umask(Mask);
    return Mask;
}

const char BinaryLiteral[] = "line\r\nwith\0nul\xFF bytes";
const std::string BinaryBytes(BinaryLiteral, sizeof BinaryLiteral - 1);

TEST(ReadFileBytes, ReturnsEveryByteUnchanged) {
    TTempDirectory Dir;
    WritePlain(Dir.File("a.bin"), BinaryBytes);
    EXPECT_EQ(ReadFileBytes(Dir.File("a.bin")), BinaryBytes);
}

TEST(ReadFileBytes, ReadsLargeFilesWhole) {
    TTempDirectory Dir;
    std::string Big(300000, '\0');
    for (size_t I = 0; I < Big.size(); ++I)
        Big[I] = static_cast<char>(I * 31 % 251);
    WritePlain(Dir.File("big"), Big);
    EXPECT_EQ(ReadFileBytes(Dir.File("big")), Big);
}

TEST(ReadFileBytes, ReadsIntoBulkMemoryAboveAndBelowTheMappingSize) {
    // Above a megabyte the bytes land in pages mapped at once; below it,
    // in the heap; either way every byte arrives.
    TTempDirectory Dir;
    for (size_t Size : {size_t(5000), size_t(3) << 20}) {
        std::string Bytes(Size, '\0');
        for (size_t I = 0; I < Bytes.size(); ++I)
            Bytes[I] = static_cast<char>(I * 131 % 253);
        WritePlain(Dir.File("bulk"), Bytes);
        std::pmr::string Read = ReadFileBytes(Dir.File("bulk"), BulkMemory());
        EXPECT_EQ(std::string_view(Read), std::string_view(Bytes)) << Size;
    }
}

TEST(ReadFileBytes, ReadsFilesWhoseLengthIsNotKnownBeforehand) {
    // A pipe reports no length: reading goes on, growing the buffer, until
    // the writer closes it.
    TTempDirectory Dir;
    std::string Fifo = Dir.File("fifo");
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    std::string Bytes(200000, '\0');
    for (size_t I = 0; I < Bytes.size(); ++I)
        Bytes[I] = static_cast<char>(I * 7 % 241);
    std::thread Writer([&] { WritePlain(Fifo, Bytes); });
    std::string Read = ReadFileBytes(Fifo);
    Writer.join();
    EXPECT_EQ(Read, Bytes);
}

TEST(ReadFileBytes, MissingFileRaisesWithItsName) {
    TTempDirectory Dir;
    std::string Name = Dir.File("missing.qmp");
    try {
        ReadFileBytes(Name);
        FAIL() << "expected EError";
    } catch (const EError& Error) {
        EXPECT_NE(std::string(Error.what()).find(Name), std::string::npos) << Error.what();
    }
}

TEST(ReadFileBytes, DirectoryRaises) {
    TTempDirectory Dir;
    EXPECT_THROW(ReadFileBytes(Dir.Path()), EError);
}

TEST(WriteFileAtomically, CreatesANewFileWithTheUsualPermissions) {
    TTempDirectory Dir;
    std::string Name = Dir.File("new.qmp");
    WriteFileAtomically(Name, BinaryBytes);
    EXPECT_EQ(ReadAll(Name), BinaryBytes);
    EXPECT_EQ(PermissionsOf(Name), 0666 & ~CurrentUmask());
    EXPECT_EQ(Dir.Names(), std::vector<std::string>{"new.qmp"}) << "no temporary file left";
}

TEST(WriteFileAtomically, ReplacesAnExistingFileAndKeepsItsPermissions) {
    TTempDirectory Dir;
    std::string Name = Dir.File("project.qmp");
    WritePlain(Name, std::string(5000, 'o'));
    ASSERT_EQ(::chmod(Name.c_str(), 0640), 0);
    WriteFileAtomically(Name, "short");
    EXPECT_EQ(ReadAll(Name), "short") << "no tail of the longer old content";
    EXPECT_EQ(PermissionsOf(Name), 0640u);
    EXPECT_EQ(Dir.Names(), std::vector<std::string>{"project.qmp"});
}

TEST(WriteFileAtomically, WritesAnEmptyFile) {
    TTempDirectory Dir;
    std::string Name = Dir.File("empty");
    WritePlain(Name, "old");
    WriteFileAtomically(Name, "");
    EXPECT_EQ(ReadAll(Name), "");
}

TEST(WriteFileAtomically, MissingDirectoryRaisesAndCreatesNothing) {
    TTempDirectory Dir;
    std::string Name = Dir.File("no-such-folder/a.qmp");
    try {
        WriteFileAtomically(Name, "x");
        FAIL() << "expected EError";
    } catch (const EError& Error) {
        EXPECT_NE(std::string(Error.what()).find(Name), std::string::npos) << Error.what();
    }
    EXPECT_TRUE(Dir.Names().empty());
}

TEST(WriteFileAtomically, UnwritableDirectoryRaisesAndLeavesTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "directory permissions do not bind root";
    TTempDirectory Dir;
    std::string Name = Dir.File("project.qmp");
    WritePlain(Name, "old content");
    ASSERT_EQ(::chmod(Dir.Path().c_str(), 0555), 0);
    EXPECT_THROW(WriteFileAtomically(Name, "new content"), EError);
    ::chmod(Dir.Path().c_str(), 0755);
    EXPECT_EQ(ReadAll(Name), "old content");
    EXPECT_EQ(Dir.Names(), std::vector<std::string>{"project.qmp"});
}

// A failure in the middle of writing (here the process's file size limit,
// which binds root too) must leave the old file complete and remove the
// temporary file.
TEST(WriteFileAtomically, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TTempDirectory Dir;
    std::string Name = Dir.File("project.qmp");
    WritePlain(Name, "old content");

    struct rlimit Old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Old), 0);
    if (Old.rlim_max != RLIM_INFINITY && Old.rlim_max < 4096)
        GTEST_SKIP() << "file size limit already below the test's needs";
    auto OldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit Small = Old;
    Small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Small), 0);

    // Nothing may be written to files (test output included) until the limit
    // is lifted again, so the outcome is only recorded here.
    bool Raised = false;
    try {
        WriteFileAtomically(Name, std::string(100000, 'n'));
    } catch (const EError&) {
        Raised = true;
    }
    ::setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, OldSignal);

    EXPECT_TRUE(Raised);
    EXPECT_EQ(ReadAll(Name), "old content");
    EXPECT_EQ(Dir.Names(), std::vector<std::string>{"project.qmp"});
}

TEST(WriteFileAtomically, TargetThatIsADirectoryRaisesAndLeavesNoTemporaryFile) {
    TTempDirectory Dir;
    std::string Name = Dir.File("folder");
    std::filesystem::create_directory(Name);
    WritePlain(Name + "/inside", "kept");
    EXPECT_THROW(WriteFileAtomically(Name, "x"), EError);
    EXPECT_EQ(Dir.Names(), std::vector<std::string>{"folder"});
    EXPECT_EQ(ReadAll(Name + "/inside"), "kept");
}

TEST(WriteFileAtomically, ReadFileBytesReadsBackWhatWasWritten) {
    TTempDirectory Dir;
    std::string Name = Dir.File("round");
    std::string Bytes;
    for (int I = 0; I < 70000; ++I)
        Bytes += static_cast<char>(I % 256);
    WriteFileAtomically(Name, Bytes);
    EXPECT_EQ(ReadFileBytes(Name), Bytes);
}

// Regression: a desktop file kept behind a symbolic link was replaced by a
// regular file, cutting the link. Writing where the link leads keeps it.
TEST(FollowLinks, WritingWhereALinkLeadsKeepsTheLink) {
    TTempDirectory Dir;
    std::filesystem::create_directory(Dir.File("real"));
    std::string Target = Dir.File("real/Desktop.cfg");
    WriteFileAtomically(Target, std::string("old"));
    ASSERT_EQ(::symlink("real/Desktop.cfg", Dir.File("Desktop.cfg").c_str()), 0);
    ASSERT_EQ(::symlink(Dir.File("Desktop.cfg").c_str(), Dir.File("chain.cfg").c_str()), 0);
    EXPECT_EQ(FollowLinks(Dir.File("chain.cfg")), Dir.File("real/Desktop.cfg"));
    WriteFileAtomically(FollowLinks(Dir.File("chain.cfg")), std::string("new"));
    EXPECT_TRUE(std::filesystem::is_symlink(Dir.File("chain.cfg")));
    EXPECT_TRUE(std::filesystem::is_symlink(Dir.File("Desktop.cfg")));
    EXPECT_EQ(ReadFileBytes(Target), "new");
    // A dangling link leads to the name it holds; a plain file to itself.
    ASSERT_EQ(::symlink("real/later.cfg", Dir.File("later.cfg").c_str()), 0);
    EXPECT_EQ(FollowLinks(Dir.File("later.cfg")), Dir.File("real/later.cfg"));
    EXPECT_EQ(FollowLinks(Target), Target);
    // A loop of links ends somewhere in the loop instead of hanging.
    ASSERT_EQ(::symlink("loop2", Dir.File("loop1").c_str()), 0);
    ASSERT_EQ(::symlink("loop1", Dir.File("loop2").c_str()), 0);
    std::string Looped = FollowLinks(Dir.File("loop1"));
    EXPECT_TRUE(Looped == Dir.File("loop1") || Looped == Dir.File("loop2")) << Looped;
}

} // namespace
