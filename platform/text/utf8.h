#pragma once

#include <string>
#include <string_view>

// UTF-8 helpers of the text layer. Text reaching the layer may come from
// anywhere (a project file, a title typed by the user): bytes that do not
// form UTF-8 are each replaced by U+FFFD, so the rest still shows.

// Text with every malformed, overlong or surrogate sequence replaced.
std::string SanitizeUtf8(std::string_view Text);

// The character at Offset of well-formed UTF-8 text, moving Offset past it.
char32_t NextUtf8(std::string_view Text, size_t& Offset);

// Appends Character encoded as UTF-8.
void AppendUtf8(std::string& Text, char32_t Character);
