#include "core/text_table.h"

#include "core/text_scramble.h"
#include "core/text_table_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct TSourceText {
    std::string Slot;
    std::string Text;
};

// The slots of one texts.txt in order, "\n" and "\t" in the wording decoded.
void ReadSourceList(const std::string& FileName, std::vector<TSourceText>& Result) {
    std::ifstream In(FileName);
    std::string Line;
    while (std::getline(In, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        size_t First = Line.find_first_not_of(" \t");
        if (First == std::string::npos || Line[First] == '#')
            continue;
        size_t Equals = Line.find(" = ");
        if (Equals == std::string::npos)
            continue;
        TSourceText Entry;
        Entry.Slot = Line.substr(First, Equals - First);
        std::string Raw = Line.substr(Equals + 3);
        for (size_t I = 0; I < Raw.size(); ++I) {
            if (Raw[I] == '\\' && I + 1 < Raw.size()) {
                char Next = Raw[++I];
                Entry.Text += Next == 'n' ? '\n' : Next == 't' ? '\t' : Next;
            } else {
                Entry.Text += Raw[I];
            }
        }
        Result.push_back(Entry);
    }
}

// Every library folder's texts.txt, in the order of their paths, which is the
// order the build puts them into the table.
std::vector<TSourceText> ReadSourceLists() {
    std::vector<std::string> Files;
    for (const auto& Entry : std::filesystem::directory_iterator(QM_SOURCE_DIR)) {
        std::filesystem::path List = Entry.path() / "texts.txt";
        if (Entry.is_directory() && std::filesystem::is_regular_file(List))
            Files.push_back(List.string());
    }
    std::sort(Files.begin(), Files.end());
    std::vector<TSourceText> Result;
    for (const std::string& File : Files)
        ReadSourceList(File, Result);
    return Result;
}

TEST(TextTable, EverySlotHoldsTheWordingOfItsSourceLine) {
    std::vector<TSourceText> Source = ReadSourceLists();
    ASSERT_EQ(static_cast<int>(Source.size()), TextSlotCount);
    for (int I = 0; I < TextSlotCount; ++I)
        EXPECT_EQ(GetText(static_cast<TTextSlot>(I)), Source[static_cast<size_t>(I)].Text)
            << Source[static_cast<size_t>(I)].Slot;
}

TEST(TextTable, NamedSlotsGiveTheirOwnText) {
    EXPECT_EQ(GetText(TTextSlot::ApplicationName), "Quillmoor");
    EXPECT_EQ(GetText(TTextSlot::NotEnoughMemory), "Not enought memory");
    EXPECT_EQ(GetText(TTextSlot::StreamReadError), "Stream read error");
}

// Errors are built by filling these texts; without a placeholder the file
// name or message would be lost.
TEST(TextTable, TemplatesCarryAPlaceholder) {
    for (TTextSlot Slot :
         {TTextSlot::GeneralError, TTextSlot::DocumentTooDeep, TTextSlot::CannotOpenFile,
          TTextSlot::CannotReadFile, TTextSlot::CannotWriteFile})
        EXPECT_NE(GetText(Slot).find('%'), std::string::npos) << GetText(Slot);
}

TEST(TextTable, ProgramDataDoesNotHoldThePlainWording) {
    for (int I = 0; I < TextSlotCount; ++I) {
        const std::string& Text = GetText(static_cast<TTextSlot>(I));
        if (Text.size() < 4)
            continue;
        std::string Stored(reinterpret_cast<const char*>(ScrambledTexts) + ScrambledTextOffsets[I],
                           ScrambledTextOffsets[I + 1] - ScrambledTextOffsets[I]);
        EXPECT_EQ(Stored.size(), Text.size());
        EXPECT_NE(Stored, Text) << "slot " << I << " is stored in plain text";
    }
}

TEST(TextTable, RestoringTwiceGivesTheSameTexts) {
    std::string Before = GetText(TTextSlot::CannotOpenFile);
    RestoreTextTable();
    RestoreTextTable();
    EXPECT_EQ(GetText(TTextSlot::CannotOpenFile), Before);
}

TEST(TextScramble, ScramblingTwiceRestoresAndDependsOnTheSlot) {
    const std::string Plain = "Cannot open the file \"%\"";
    std::string A = Plain, B = Plain;
    ScrambleText(A, 3);
    ScrambleText(B, 4);
    EXPECT_NE(A, Plain);
    EXPECT_NE(A, B);
    ScrambleText(A, 3);
    EXPECT_EQ(A, Plain);
}

} // namespace
