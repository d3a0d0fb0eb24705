#pragma once

#include <string>
#include <string_view>

// Whole-file reading and crash-safe writing. Failures raise EError with the
// file name and the system's reason.

std::string ReadFileBytes(const std::string& FileName);

// Writes Bytes to a temporary file beside FileName, flushes it to disk and
// renames it over FileName, so a crash, a full disk or a kill in the middle
// never leaves a truncated file behind: the old file stays until the new one
// is complete. On failure the temporary file is removed and the old file is
// left as it was.
void WriteFileAtomically(const std::string& FileName, std::string_view Bytes);
