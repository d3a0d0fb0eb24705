#include "core/exception_report.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ExceptionReportTest : public testing::Test {
protected:
    void SetUp() override {
        SetExceptionReportHandler(
            [this](const std::exception& Error) { Messages.push_back(Error.what()); });
    }
    void TearDown() override { SetExceptionReportHandler(nullptr); }

    std::vector<std::string> Messages;
};

TEST_F(ExceptionReportTest, InstalledHandlerReceivesTheException) {
    ReportException(EError("shown to the user"));
    EXPECT_EQ(Messages, std::vector<std::string>{"shown to the user"});
}

TEST_F(ExceptionReportTest, ExceptionInFlightIsReported) {
    try {
        throw EStreamError("Stream read error");
    } catch (...) {
        ReportCurrentException();
    }
    EXPECT_EQ(Messages, std::vector<std::string>{"Stream read error"});
}

TEST_F(ExceptionReportTest, ExceptionOfNoStandardTypeIsStillReported) {
    try {
        throw 7;
    } catch (...) {
        ReportCurrentException();
    }
    EXPECT_EQ(Messages.size(), 1u);
}

TEST(RaiseError, RaisesTheGeneralExceptionWithTheMessage) {
    try {
        RaiseError("Can not insert TTrack into timeline.");
        FAIL() << "expected EError";
    } catch (const EError& Error) {
        EXPECT_STREQ(Error.what(), "Can not insert TTrack into timeline.");
    }
}

TEST(RaiseError, StreamErrorsAreGeneralErrors) {
    EXPECT_THROW(throw EStreamError("short"), EError);
}

} // namespace
