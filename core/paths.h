#pragma once

#include <string>
#include <string_view>
#include <vector>

// Path helpers on POSIX paths. Stored paths written with "\" separators are
// read with "/" (see NormalizeSeparators).

std::string IncludeTrailingSlash(std::string_view Path);
std::string ExcludeTrailingSlash(std::string_view Path);
bool IsAbsolutePath(std::string_view Path);
// Turns "\" separators of paths stored on other systems into "/".
std::string NormalizeSeparators(std::string_view Path);

// The directory of the running executable, with a trailing "/", and the
// executable's file name; both computed once.
const std::string& ApplicationDirectory();
const std::string& ApplicationFileName();

// A relative path is taken relative to the application's directory.
std::string ToApplicationPath(std::string_view Path);
// A path under the application's directory becomes relative to it.
std::string FromApplicationPath(std::string_view Path);

// If Path begins with Old (ASCII case-insensitive), replaces that prefix by New.
bool ReplacePathPrefix(std::string& Path, std::string_view Old, std::string_view New);

struct TDirectoryEntry {
    std::string Name;
    bool IsFile = false;
    bool IsHidden = false;
    bool IsReadOnly = false;
    bool IsSystem = false;
};

// The entries of a directory, folders first, each group in natural order.
// An unreadable directory gives an empty list.
std::vector<TDirectoryEntry> ListDirectory(std::string_view Path);
