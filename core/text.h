#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text helpers. Every key comparison of the system folds ASCII letters only
// (a-z to A-Z); all other bytes, UTF-8 included, compare exactly.

inline char UpperAscii(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

// A space or a tab: the blanks stored and typed values may carry around them.
inline bool IsBlank(char C) { return C == ' ' || C == '\t'; }

// The value of a hexadecimal digit of either case, -1 for any other character.
inline int HexDigitValue(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

bool SameTextAscii(std::string_view A, std::string_view B);
int CompareTextAscii(std::string_view A, std::string_view B);
bool StartsWithText(std::string_view Text, std::string_view Prefix);
std::string UpperCaseAscii(std::string_view Text);

// Orders "Clip 2" before "Clip 10": runs of digits (with a leading sign)
// compare by value, other runs case-insensitively.
int NaturalCompare(std::string_view A, std::string_view B);

// One run of a text as NaturalCompare splits it: digits with an optional
// leading sign, or the text between such runs. Text points into the text
// that was split.
struct TNaturalRun {
    std::string_view Text;
    bool IsNumeric = false;
};
std::vector<TNaturalRun> SplitNaturalRuns(std::string_view Text);

// Fills the first "%" of Template with Argument. With an empty Argument the
// placeholder goes together with the blanks, quotes and punctuation around it
// ("Can not open '%'." becomes "Can not open.").
std::string FormatMessageText(std::string_view Template, std::string_view Argument);
