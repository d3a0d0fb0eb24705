#include "app/text_progress_bar.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What the bar wrote into a file, line by line.
std::vector<std::string> Lines(std::FILE* File) {
    std::rewind(File);
    std::vector<std::string> Result;
    char Buffer[256];
    while (std::fgets(Buffer, sizeof Buffer, File))
        Result.emplace_back(Buffer);
    return Result;
}

TEST(TextProgressBar, IntoAFileItWritesALineAtEveryTenthAndNeverRunsBackwards) {
    std::FILE* File = std::tmpfile();
    ASSERT_NE(File, nullptr);
    {
        TTextProgressBar Bar(File, "Rendering");
        for (int Percent : {0, 3, 9, 12, 11, 55, 57, 99, 250})
            Bar.Show(Percent);
    }
    std::vector<std::string> Written = Lines(File);
    std::fclose(File);
    ASSERT_EQ(Written.size(), 5u); // 0, 12, 55, 99, 100
    EXPECT_NE(Written[0].find("  0%"), std::string::npos);
    EXPECT_NE(Written[1].find(" 12%"), std::string::npos);
    EXPECT_NE(Written[4].find("100%"), std::string::npos);
    EXPECT_EQ(Written[4].find(' '), std::string("Rendering").size());
    // A full bar has no blank inside the brackets.
    std::string Full = Written[4].substr(Written[4].find('['));
    EXPECT_EQ(Full.find(' '), Full.find(']') + 1);
}

TEST(TextProgressBar, NegativeProgressShowsAnEmptyBar) {
    std::FILE* File = std::tmpfile();
    ASSERT_NE(File, nullptr);
    {
        TTextProgressBar Bar(File, "Rendering");
        Bar.Show(-20);
    }
    std::vector<std::string> Written = Lines(File);
    std::fclose(File);
    ASSERT_EQ(Written.size(), 1u);
    EXPECT_NE(Written[0].find("[ "), std::string::npos);
    EXPECT_NE(Written[0].find("  0%"), std::string::npos);
}

} // namespace
