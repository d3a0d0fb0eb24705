#include "core/data.h"

#include "core/error.h"
#include "temp_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Joins lines with the file format's line ends.
std::string Lines(std::initializer_list<const char*> Items) {
    std::string Text;
    for (const char* Line : Items) {
        Text += Line;
        Text += "\r\n";
    }
    return Text;
}

const TDataList* Section(const TDataList& List, const std::string& Name) {
    int32_t Index = List.IndexOf(Name);
    return Index >= 0 ? List.Entry(Index).Children.get() : nullptr;
}

std::vector<std::string> EntryNames(const TDataList& List) {
    std::vector<std::string> Names;
    for (int32_t I = 0; I < List.Count(); ++I)
        Names.emplace_back(List.Entry(I).Name);
    return Names;
}

// The start of a saved project with one empty track, built the way the
// project writes it.
void BuildProjectStart(TData& Data) {
    TDataSection Project(Data, "Project");
    {
        TDataSection Tracks(Data, "Tracks");
        Data.WriteInteger("Count", 1);
        TDataSection Track(Data, ListItemName("Track[", 0));
        Data.WriteInteger("Kind", 2);
        Data.WriteBool("IsSelected", false);
        {
            TDataSection Settings(Data, "Settings");
            Data.WriteBool("Mute", false);
            Data.WriteFloat("Volume", 100);
        }
        {
            TDataSection SubTracks(Data, "SubTracks");
            Data.WriteInteger("Count", 1);
            TDataSection SubTrack(Data, ListItemName("SubTrack[", 0));
            Data.WriteInteger("Kind", 1);
            Data.WriteBool("IsSelected", false);
            TDataSection Settings(Data, "Settings");
        }
        TDataSection Items(Data, "Items");
        Data.WriteInteger("Count", 0);
    }
    TDataSection Settings(Data, "Settings");
    Data.WriteInt64("Position", 0);
    TDataSection Rendering(Data, "Rendering");
}

const std::string ProjectStartText = Lines({
    "Project:",
    "  Tracks:",
    "    Count = 1",
    "    Track[0]:",
    "      Kind = 2",
    "      IsSelected = False",
    "      Settings:",
    "        Mute = False",
    "        Volume = 100.00000000",
    "      end",
    "      SubTracks:",
    "        Count = 1",
    "        SubTrack[0]:",
    "          Kind = 1",
    "          IsSelected = False",
    "          Settings:",
    "          end",
    "        end",
    "      end",
    "      Items:",
    "        Count = 0",
    "      end",
    "    end",
    "  end",
    "  Settings:",
    "    Position = 0",
    "    Rendering:",
    "    end",
    "  end",
    "end",
});

TEST(DataTextWriter, WritesIndentedSectionsAndLeavesWithLineEnds) {
    TData Data;
    BuildProjectStart(Data);
    EXPECT_EQ(Data.SaveToText(), ProjectStartText);
}

TEST(DataTextWriter, SectionValueFollowsAfterABlank) {
    TData Data;
    Data.WriteRaw("Marker", "first cut");
    {
        TDataSection Marker(Data, "Marker");
        Data.WriteInteger("At", 5);
    }
    EXPECT_EQ(Data.SaveToText(), Lines({"Marker: first cut", "  At = 5", "end"}));
    TData Again;
    Again.LoadFromText(Data.SaveToText());
    EXPECT_EQ(Again.ReadRaw("Marker"), "first cut");
}

TEST(DataTextWriter, EmptyDocumentIsEmptyText) {
    TData Data;
    EXPECT_EQ(Data.SaveToText(), "");
}

TEST(DataTextReader, ReadsTheWrittenProject) {
    TData Data;
    Data.LoadFromText(ProjectStartText);
    Data.Enter("Project");
    Data.Enter("Tracks");
    EXPECT_EQ(Data.ReadListCount("Track["), 1);
    Data.Enter("Track[0]");
    EXPECT_EQ(Data.ReadInteger("Kind", 0), 2);
    Data.Enter("Settings");
    EXPECT_DOUBLE_EQ(Data.ReadFloat("Volume", 0), 100);
    EXPECT_FALSE(Data.ReadBool("Mute", true));
    Data.Leave();
    Data.Leave();
    Data.Leave();
    Data.Enter("Settings");
    EXPECT_EQ(Data.ReadInt64("Position", -1), 0);
    EXPECT_TRUE(Data.Exists("Rendering"));
}

TEST(DataTextReader, IgnoresIndentationAndAcceptsPlainLineFeeds) {
    TData Data;
    Data.LoadFromText("\t\tA:\n x = 1\n\t \tB:\ny = 2\n  end\n\tend\nz = 3\n");
    const TDataList* A = Section(*Data.Root(), "A");
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(EntryNames(*A), (std::vector<std::string>{"x", "B"}));
    EXPECT_EQ(Data.ReadRaw("z"), "3");
}

TEST(DataTextReader, EmptyLineAfterANestedSectionEndsThatList) {
    TData Data;
    Data.LoadFromText(Lines({"A:", "  x = 1", "", "  y = 2", "end", "z = 3"}));
    const TDataList* A = Section(*Data.Root(), "A");
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(EntryNames(*A), std::vector<std::string>{"x"});
    // "y" lands in the parent level; the "end" then closes the top level.
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"A", "y"}));
    EXPECT_FALSE(Data.Exists("z"));
}

TEST(DataTextReader, EmptyLineAtTheTopEndsTheRead) {
    TData Data;
    Data.LoadFromText(Lines({"a = 1", "", "b = 2"}));
    EXPECT_EQ(EntryNames(*Data.Root()), std::vector<std::string>{"a"});
}

TEST(DataTextReader, LineOfBlanksIsNotAnEmptyLine) {
    TData Data;
    Data.LoadFromText(Lines({"a = 1", " ", "   ", "\t", "b = 2"}));
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"a", "b"}));
}

TEST(DataTextReader, TopLevelEndStopsTheRead) {
    TData Data;
    Data.LoadFromText(Lines({"a = 1", "end", "b = 2"}));
    EXPECT_EQ(EntryNames(*Data.Root()), std::vector<std::string>{"a"});
}

TEST(DataTextReader, EndIsRecognisedInAnyCase) {
    TData Data;
    Data.LoadFromText(Lines({"A:", "  x = 1", "  END", "B:", "  y = 2", "  End  ", "c = 3"}));
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"A", "B", "c"}));
}

TEST(DataTextReader, LinesWithoutSeparatorAreSkipped) {
    TData Data;
    Data.LoadFromText(Lines({"garbage here", "a = 1", "ending", "b = 2"}));
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"a", "b"}));
}

TEST(DataTextReader, ValueStartsTwoCharactersAfterTheSeparator) {
    TData Data;
    Data.LoadFromText(Lines({"a =  x", "b = x ", "c = ", "d =", "e=12", "f = a = b"}));
    EXPECT_EQ(Data.ReadRaw("a"), " x");
    EXPECT_EQ(Data.ReadRaw("b"), "x ");
    EXPECT_EQ(Data.ReadRaw("c"), "");
    EXPECT_EQ(Data.ReadRaw("d"), "");
    EXPECT_EQ(Data.ReadRaw("e"), "2");
    EXPECT_EQ(Data.ReadRaw("f"), "a = b");
}

TEST(DataTextReader, NameIsTrimmedBeforeTheSeparator) {
    TData Data;
    Data.LoadFromText(Lines({"  a b  \t= 1"}));
    EXPECT_EQ(EntryNames(*Data.Root()), std::vector<std::string>{"a b"});
}

TEST(DataTextReader, FirstSeparatorDecidesLeafOrSection) {
    TData Data;
    Data.LoadFromText(Lines({"a = b: c", "s: v = w", "  x = 1", "end"}));
    EXPECT_EQ(Data.ReadRaw("a"), "b: c");
    EXPECT_EQ(Section(*Data.Root(), "a"), nullptr);
    EXPECT_EQ(Data.ReadRaw("s"), "v = w");
    ASSERT_NE(Section(*Data.Root(), "s"), nullptr);
}

TEST(DataTextReader, TruncatedFileEndsTheDocument) {
    TData Data;
    EXPECT_NO_THROW(Data.LoadFromText("A:\r\n  x = 1\r\n  B:\r\n    y = 2"));
    const TDataList* A = Section(*Data.Root(), "A");
    ASSERT_NE(A, nullptr);
    const TDataList* B = Section(*A, "B");
    ASSERT_NE(B, nullptr);
    EXPECT_EQ(B->Entry(0).Value, "2");
}

TEST(DataTextReader, EmptySectionStaysASection) {
    TData Data;
    Data.LoadFromText(Lines({"Rendering:", "end"}));
    ASSERT_NE(Section(*Data.Root(), "Rendering"), nullptr);
    EXPECT_EQ(Data.SaveToText(), Lines({"Rendering:", "end"}));
}

TEST(DataTextReader, LoadingAddsToWhatTheDocumentHolds) {
    TData Data;
    Data.WriteInteger("a", 1);
    Data.WriteInteger("b", 2);
    Data.LoadFromText(Lines({"B = 20", "c = 30"}));
    EXPECT_EQ(EntryNames(*Data.Root()), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Data.ReadInteger("b", 0), 20);
}

TEST(DataTextReader, DuplicateSectionsMergeIntoTheFirst) {
    TData Data;
    Data.LoadFromText(Lines({"S:", "  a = 1", "end", "s:", "  b = 2", "end"}));
    const TDataList* S = Section(*Data.Root(), "S");
    ASSERT_NE(S, nullptr);
    EXPECT_EQ(EntryNames(*S), (std::vector<std::string>{"a", "b"}));
}

// Loaded names and values point into the document's own copy of the text:
// the caller's text may go at once, rewriting a loaded value (shorter or
// longer) must not disturb its neighbours, and texts short enough to be
// kept inside a string object must stay valid as more are loaded.
TEST(DataTextReader, LoadedEntriesOutliveTheTextAndRewriteSafely) {
    TData Data;
    {
        std::string Text = Lines({"Name = first value", "Other = neighbour", "S:", "  x = 12345",
                                  "end"});
        Data.LoadFromText(Text);
        std::fill(Text.begin(), Text.end(), '?');
    }
    for (int I = 0; I < 20; ++I)
        Data.LoadFromText(Lines({(std::string("k") + std::to_string(I) + " = v").c_str()}));
    Data.WriteRaw("Name", "short");
    EXPECT_EQ(Data.ReadRaw("Name"), "short");
    EXPECT_EQ(Data.ReadRaw("Other"), "neighbour");
    Data.WriteRaw("Other", "a value longer than the one it replaces");
    EXPECT_EQ(Data.ReadRaw("Other"), "a value longer than the one it replaces");
    EXPECT_EQ(Data.ReadRaw("Name"), "short");
    for (int I = 0; I < 20; ++I)
        EXPECT_EQ(Data.ReadRaw("k" + std::to_string(I)), "v") << I;
    Data.Enter("S");
    EXPECT_EQ(Data.ReadInteger("x", 0), 12345);
}

// Sections side by side of very different sizes each keep exactly their own
// entries, whatever room the reader gave them from the section before.
TEST(DataTextReader, SectionsOfDifferentSizesKeepTheirEntries) {
    TData Source;
    for (int Section = 0; Section < 6; ++Section) {
        TDataSection Element(Source, ListItemName("S[", Section));
        int Entries = Section % 2 == 0 ? 40 : 2;
        for (int I = 0; I < Entries; ++I)
            Source.WriteInteger(ListItemName("E[", I), Section * 100 + I);
    }
    std::string Text = Source.SaveToText();
    TData Loaded;
    Loaded.LoadFromText(Text);
    for (int Section = 0; Section < 6; ++Section) {
        TDataSection Element(Loaded, ListItemName("S[", Section));
        int Entries = Section % 2 == 0 ? 40 : 2;
        EXPECT_EQ(Loaded.Current()->Count(), Entries) << Section;
        for (int I = 0; I < Entries; ++I)
            EXPECT_EQ(Loaded.ReadInteger(ListItemName("E[", I), -1), Section * 100 + I);
    }
    EXPECT_EQ(Loaded.SaveToText(), Text);
}

TEST(DataTextRoundTrip, SaveLoadSaveIsByteIdentical) {
    TData Data;
    BuildProjectStart(Data);
    Data.WriteString("Title", "My film #2\r\nsecond line");
    Data.WriteRaw("Spaced", "  leading and trailing  ");
    Data.WriteRaw("Utf8", "caf\xC3\xA9");
    Data.WriteRaw("Empty", "");
    Data.WriteInteger(QuoteKey("threshold: dB"), -12);
    Data.WriteRaw("Noted", "value of a section");
    {
        TDataSection Noted(Data, "Noted");
        TDataSection Deeper(Data, "Deeper");
        TDataSection Deepest(Data, "Deepest");
        Data.WriteColor("Tint", MakeColor(1, 2, 3));
        Data.WriteRect("Crop", TRect{-5, -6, 7, 8});
    }
    for (int I = 0; I < 50; ++I)
        Data.WriteInteger(ListItemName("Object[", I), I);

    std::string First = Data.SaveToText();
    TData Reloaded;
    Reloaded.LoadFromText(First);
    EXPECT_EQ(Reloaded.SaveToText(), First);
    EXPECT_EQ(Reloaded.ReadString("Title", ""), "My film #2\r\nsecond line");
    EXPECT_EQ(Reloaded.ReadRaw("Spaced"), "  leading and trailing  ");
    EXPECT_EQ(Reloaded.ReadRaw("Noted"), "value of a section");
}

TEST(DataTextFiles, SaveToFileAndLoadFromFileRoundTrip) {
    TTempDirectory Dir;
    std::string Name = Dir.File("project.qmp");
    TData Data;
    BuildProjectStart(Data);
    Data.SaveToFile(Name);

    std::ifstream In(Name, std::ios::binary);
    std::string OnDisk((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    EXPECT_EQ(OnDisk, ProjectStartText);

    TData Again;
    Again.LoadFromFile(Name);
    EXPECT_EQ(Again.SaveToText(), ProjectStartText);
}

TEST(DataTextFiles, MissingFileRaises) {
    TTempDirectory Dir;
    TData Data;
    EXPECT_THROW(Data.LoadFromFile(Dir.File("missing.qmp")), EError);
}

} // namespace
