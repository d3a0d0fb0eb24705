#pragma once

#include <exception>
#include <functional>

// The application's standard exception report: the one place where an
// exception that must not propagate (a change handler failing while an update
// bracket closes, a posted message handler) is shown to the user. The shell
// installs a handler that shows a message box; until then the text goes to
// standard error.
using TExceptionReportHandler = std::function<void(const std::exception&)>;

void SetExceptionReportHandler(TExceptionReportHandler Handler);
void ReportException(const std::exception& Error);

// Reports the exception in flight; call only inside a catch block.
void ReportCurrentException();
