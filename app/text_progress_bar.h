#pragma once

#include <cstdint>
#include <cstdio>

// A progress bar on a text terminal:
//
//   Rendering [##############                ]  45%
//
// On a terminal the line is redrawn in place; into a file or a pipe a line is
// written at every tenth, so that logs stay readable. Percentages outside
// 0..100 are limited to it, and the bar never runs backwards.
class TTextProgressBar {
public:
    // Caption comes before the bar; Out must outlive the bar.
    TTextProgressBar(std::FILE* Out, const char* Caption);
    ~TTextProgressBar();
    TTextProgressBar(const TTextProgressBar&) = delete;
    TTextProgressBar& operator=(const TTextProgressBar&) = delete;

    void Show(int32_t Percent);
    // Ends the line drawn in place, so that what follows starts on its own.
    void Finish();

private:
    void Draw(int32_t Percent);

    std::FILE* FOut;
    const char* FCaption;
    bool FTerminal;
    int32_t FShown = -1;
    bool FOpenLine = false;
};
