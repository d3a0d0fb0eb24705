#include "core/exception_report.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

namespace {

TExceptionReportHandler& Handler() {
    static TExceptionReportHandler Instance;
    return Instance;
}

} // namespace

void SetExceptionReportHandler(TExceptionReportHandler NewHandler) {
    Handler() = std::move(NewHandler);
}

void ReportException(const std::exception& Error) {
    if (Handler()) {
        Handler()(Error);
        return;
    }
    std::fprintf(stderr, "%s\n", Error.what());
}

void ReportCurrentException() {
    try {
        throw;
    } catch (const std::exception& Error) {
        ReportException(Error);
    } catch (...) {
        ReportException(std::runtime_error("unknown exception"));
    }
}
