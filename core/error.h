#pragma once

#include <stdexcept>
#include <string>

// The general exception class: every failure of the model is raised as an
// EError whose message was built from the text table.
class EError : public std::runtime_error {
public:
    explicit EError(const std::string& Message) : std::runtime_error(Message) {}
};

// A stream could not deliver or take the bytes asked for (short read, write
// failure). Derived from EError so that callers that report model errors also
// report these.
class EStreamError : public EError {
public:
    using EError::EError;
};

// Raises the general exception with Message put into the text table's
// general error template.
[[noreturn]] void RaiseError(const std::string& Message);
