#include "app/text_progress_bar.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace {

constexpr int32_t BarWidth = 40;

} // namespace

TTextProgressBar::TTextProgressBar(std::FILE* Out, const char* Caption)
    : FOut(Out), FCaption(Caption), FTerminal(::isatty(::fileno(Out)) == 1) {}

TTextProgressBar::~TTextProgressBar() {
    Finish();
}

void TTextProgressBar::Draw(int32_t Percent) {
    int32_t Filled = Percent * BarWidth / 100;
    std::string Bar(size_t(Filled), '#');
    Bar.append(size_t(BarWidth - Filled), ' ');
    std::fprintf(FOut, "%s%s [%s] %3d%%%s", FTerminal ? "\r" : "", FCaption, Bar.c_str(),
                 int(Percent), FTerminal ? "" : "\n");
    std::fflush(FOut);
    FOpenLine = FTerminal;
}

void TTextProgressBar::Show(int32_t Percent) {
    Percent = std::clamp(Percent, 0, 100);
    if (Percent <= FShown)
        return;
    // Into a file only every tenth, and the end.
    if (!FTerminal && FShown >= 0 && Percent / 10 == FShown / 10 && Percent != 100)
        return;
    FShown = Percent;
    Draw(Percent);
}

void TTextProgressBar::Finish() {
    if (!FOpenLine)
        return;
    std::fputc('\n', FOut);
    std::fflush(FOut);
    FOpenLine = false;
}
