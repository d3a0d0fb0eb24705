#include "app/application.h"

#include "core/data.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

TEST(Application, MainJobSavesAProjectInTheDefaultLayout) {
    auto File = std::filesystem::temp_directory_path() /
                ("quillmoor-app-" + std::to_string(::getpid()) + ".qmp");
    testing::internal::CaptureStdout();
    int Code = RunApplication({File.string()});
    std::string Output = testing::internal::GetCapturedStdout();
    ASSERT_EQ(Code, 0);
    EXPECT_NE(Output.find(File.string()), std::string::npos);

    TData Data;
    Data.LoadFromFile(File.string());
    Data.Enter("Project");
    Data.Enter("Tracks");
    EXPECT_EQ(Data.ReadInteger("Count", 0), 5);
    std::filesystem::remove(File);
}

TEST(Application, MainJobReportsAnUnwritableFile) {
    testing::internal::CaptureStderr();
    int Code = RunApplication({"/nonexistent-folder/x.qmp"});
    std::string Errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Code, 1);
    EXPECT_NE(Errors.find("/nonexistent-folder/x.qmp"), std::string::npos);
}

} // namespace
