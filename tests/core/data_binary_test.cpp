#include "core/data.h"

#include "core/error.h"
#include "core/global_memory_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using TBytes = std::vector<unsigned char>;

TBytes SaveBytes(const TData& Data) {
    TGlobalMemoryStream Stream;
    Data.SaveToStream(Stream);
    return TBytes(Stream.Memory(), Stream.Memory() + Stream.Size());
}

// Loads Bytes into Data and returns the stream position afterwards.
int64_t LoadBytes(TData& Data, const TBytes& Bytes) {
    TMemoryBlock Block{Bytes};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    Data.LoadFromStream(Stream);
    return Stream.Position();
}

void AppendUInt32(TBytes& Bytes, uint32_t Value) {
    for (int Shift = 0; Shift < 32; Shift += 8)
        Bytes.push_back(static_cast<unsigned char>(Value >> Shift));
}

void AppendText(TBytes& Bytes, const std::string& Text) {
    AppendUInt32(Bytes, static_cast<uint32_t>(Text.size()));
    Bytes.insert(Bytes.end(), Text.begin(), Text.end());
}

// Compares the lists entry by entry; a section of Expected without entries is
// expected to have come back as a leaf.
void ExpectSameAfterBinaryRoundTrip(const TDataList& Expected, const TDataList& Actual,
                                    const std::string& Path) {
    ASSERT_EQ(Actual.Count(), Expected.Count()) << Path;
    for (int32_t I = 0; I < Expected.Count(); ++I) {
        const TDataList::TEntry& E = Expected.Entry(I);
        const TDataList::TEntry& A = Actual.Entry(I);
        std::string Here = Path + "/" + std::string(E.Name);
        EXPECT_EQ(A.Name, E.Name) << Here;
        EXPECT_EQ(A.Value, E.Value) << Here;
        bool ExpectSection = E.Children && E.Children->Count() > 0;
        ASSERT_EQ(A.Children != nullptr, ExpectSection) << Here;
        if (ExpectSection)
            ExpectSameAfterBinaryRoundTrip(*E.Children, *A.Children, Here);
    }
}

void BuildSample(TData& Data) {
    Data.WriteInteger("Count", 2);
    {
        TDataSection Track(Data, "Track[0]");
        Data.WriteInteger("Kind", 2);
        Data.WriteFloat("Volume", 87.5);
        TDataSection Settings(Data, "Settings");
        Data.WriteBool("Mute", true);
    }
    {
        TDataSection Track(Data, "Track[1]");
        Data.WriteString("Name", "Voice #1\r\nover");
    }
    std::string AllBytes;
    for (int C = 0; C < 256; ++C)
        AllBytes += static_cast<char>(C);
    Data.WriteRaw("Raw", AllBytes);
    Data.WriteRaw("", "empty name");
    Data.WriteRaw("Empty", "");
}

TEST(DataBinary, BytesFollowTheStreamSyntax) {
    TData Data;
    Data.WriteRaw("a", "1");
    {
        TDataSection S(Data, "S");
        Data.WriteRaw("b", "");
    }
    TBytes Expected;
    AppendUInt32(Expected, 2);
    AppendText(Expected, "a");
    Expected.push_back('=');
    AppendText(Expected, "1");
    AppendText(Expected, "S");
    Expected.push_back(':');
    AppendText(Expected, "");
    AppendUInt32(Expected, 1);
    AppendText(Expected, "b");
    Expected.push_back('=');
    AppendText(Expected, "");
    EXPECT_EQ(SaveBytes(Data), Expected);
}

TEST(DataBinary, EmptyDocumentIsACountOfZero) {
    TData Data;
    EXPECT_EQ(SaveBytes(Data), (TBytes{0, 0, 0, 0}));
    TData Loaded;
    LoadBytes(Loaded, TBytes{0, 0, 0, 0});
    EXPECT_EQ(Loaded.Root()->Count(), 0);
}

TEST(DataBinary, RoundTripReproducesNamesValuesAndOrder) {
    TData Data;
    BuildSample(Data);
    for (int I = 0; I < 300; ++I)
        Data.WriteInteger("Object[" + std::to_string(I) + "]", I);
    TData Loaded;
    LoadBytes(Loaded, SaveBytes(Data));
    ExpectSameAfterBinaryRoundTrip(*Data.Root(), *Loaded.Root(), "");
    EXPECT_EQ(SaveBytes(Loaded), SaveBytes(Data));
}

TEST(DataBinary, NamesAndValuesMayHoldAnyByte) {
    TData Data;
    const std::string Name("a:b=c\r\n\0end", 11);
    Data.WriteRaw(Name, std::string("\0\r\n", 3));
    TData Loaded;
    LoadBytes(Loaded, SaveBytes(Data));
    ASSERT_EQ(Loaded.Root()->Count(), 1);
    EXPECT_EQ(Loaded.Root()->Entry(0).Name, Name);
    EXPECT_EQ(Loaded.ReadRaw(Name), std::string("\0\r\n", 3));
}

TEST(DataBinary, EmptySectionsComeBackAsLeavesWithTheirValue) {
    TData Data;
    Data.WriteRaw("Rendering", "kept");
    { TDataSection Rendering(Data, "Rendering"); }
    {
        TDataSection Outer(Data, "Outer");
        TDataSection Inner(Data, "Inner");
    }
    TData Loaded;
    LoadBytes(Loaded, SaveBytes(Data));
    const TDataList& Root = *Loaded.Root();
    ASSERT_EQ(Root.Count(), 2);
    EXPECT_EQ(Root.Entry(0).Children, nullptr);
    EXPECT_EQ(Root.Entry(0).Value, "kept");
    // Only the innermost empty list goes: Outer still holds Inner, as a leaf.
    ASSERT_NE(Root.Entry(1).Children, nullptr);
    ASSERT_EQ(Root.Entry(1).Children->Count(), 1);
    EXPECT_EQ(Root.Entry(1).Children->Entry(0).Children, nullptr);
}

TEST(DataBinary, ReadingStopsAtTheEndOfTheDocument) {
    TData Data;
    BuildSample(Data);
    TBytes Bytes = SaveBytes(Data);
    const auto DocumentSize = static_cast<int64_t>(Bytes.size());
    Bytes.push_back('X');
    Bytes.push_back('Y');
    TData Loaded;
    EXPECT_EQ(LoadBytes(Loaded, Bytes), DocumentSize);
    EXPECT_EQ(Loaded.Root()->Count(), Data.Root()->Count());
}

TEST(DataBinary, EveryTruncatedStreamRaisesStreamError) {
    TData Data;
    BuildSample(Data);
    const TBytes Bytes = SaveBytes(Data);
    for (size_t Length = 0; Length < Bytes.size(); ++Length) {
        TData Loaded;
        TBytes Part(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Length));
        EXPECT_THROW(LoadBytes(Loaded, Part), EStreamError) << "length " << Length;
    }
}

TEST(DataBinary, TextAndBinaryCarryTheSameDocument) {
    TData Data;
    BuildSample(Data);
    Data.WriteRaw("Raw", "no line breaks in text files");
    Data.WriteRaw("", "x");
    TData ViaText;
    ViaText.LoadFromText(Data.SaveToText());
    TData ViaBinary;
    LoadBytes(ViaBinary, SaveBytes(ViaText));
    ExpectSameAfterBinaryRoundTrip(*Data.Root(), *ViaBinary.Root(), "");
}

} // namespace
