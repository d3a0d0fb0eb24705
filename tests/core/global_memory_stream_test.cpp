#include "core/global_memory_stream.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

namespace {

std::vector<unsigned char> Pattern(size_t Size, unsigned char Seed = 0) {
    std::vector<unsigned char> Bytes(Size);
    for (size_t I = 0; I < Size; ++I)
        Bytes[I] = static_cast<unsigned char>(Seed + I * 7);
    return Bytes;
}

std::vector<unsigned char> Contents(const TGlobalMemoryStream& Stream) {
    return std::vector<unsigned char>(Stream.Memory(), Stream.Memory() + Stream.Size());
}

TEST(GlobalMemoryStream, FirstWriteAllocates4096Bytes) {
    TGlobalMemoryStream Stream;
    EXPECT_EQ(Stream.Capacity(), 0);
    EXPECT_EQ(Stream.Size(), 0);
    unsigned char Byte = 9;
    EXPECT_EQ(Stream.Write(&Byte, 1), 1);
    EXPECT_EQ(Stream.Capacity(), 4096);
    EXPECT_EQ(Stream.Size(), 1);
    EXPECT_EQ(Stream.Position(), 1);
}

TEST(GlobalMemoryStream, GrowsByTheCapacitySeriesBeyond4096) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(20000);
    Stream.WriteBuffer(Bytes.data(), 4096);
    EXPECT_EQ(Stream.Capacity(), 4096);
    Stream.WriteBuffer(Bytes.data() + 4096, 1);
    EXPECT_EQ(Stream.Capacity(), 6144);
    Stream.WriteBuffer(Bytes.data() + 4097, 6144 - 4097);
    EXPECT_EQ(Stream.Capacity(), 6144);
    Stream.WriteBuffer(Bytes.data() + 6144, 1);
    EXPECT_EQ(Stream.Capacity(), 8192);
    Stream.WriteBuffer(Bytes.data() + 6145, 20000 - 6145);
    EXPECT_EQ(Stream.Capacity(), 24576); // GrowCapacity(19999)
    EXPECT_EQ(Contents(Stream), Bytes) << "growth keeps what was written";
}

TEST(GlobalMemoryStream, OneLargeWriteAllocatesEnoughAtOnce) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(5000);
    Stream.WriteBuffer(Bytes.data(), 5000);
    EXPECT_EQ(Stream.Capacity(), 6144);
    EXPECT_EQ(Contents(Stream), Bytes);
}

TEST(GlobalMemoryStream, ReadsStopAtTheSize) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(10);
    Stream.WriteBuffer(Bytes.data(), 10);
    Stream.Seek(6, TSeekOrigin::Beginning);
    unsigned char Out[16] = {};
    EXPECT_EQ(Stream.Read(Out, 16), 4);
    EXPECT_EQ(std::memcmp(Out, Bytes.data() + 6, 4), 0);
    EXPECT_EQ(Stream.Read(Out, 16), 0);
    Stream.Seek(100, TSeekOrigin::Beginning);
    EXPECT_EQ(Stream.Read(Out, 16), 0);
}

TEST(GlobalMemoryStream, SeekFromEndCountsBackwardsAndClampsAtZero) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(100);
    Stream.WriteBuffer(Bytes.data(), 100);
    EXPECT_EQ(Stream.Seek(10, TSeekOrigin::End), 90);
    EXPECT_EQ(Stream.Seek(0, TSeekOrigin::End), 100);
    EXPECT_EQ(Stream.Seek(500, TSeekOrigin::End), 0);
    EXPECT_EQ(Stream.Seek(-5, TSeekOrigin::Beginning), 0);
    Stream.Seek(20, TSeekOrigin::Beginning);
    EXPECT_EQ(Stream.Seek(5, TSeekOrigin::Current), 25);
    EXPECT_EQ(Stream.Seek(-50, TSeekOrigin::Current), 0);
}

TEST(GlobalMemoryStream, OverwritingInsideKeepsTheSize) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(10);
    Stream.WriteBuffer(Bytes.data(), 10);
    Stream.Seek(2, TSeekOrigin::Beginning);
    unsigned char Two[2] = {0xAA, 0xBB};
    Stream.WriteBuffer(Two, 2);
    EXPECT_EQ(Stream.Size(), 10);
    Bytes[2] = 0xAA;
    Bytes[3] = 0xBB;
    EXPECT_EQ(Contents(Stream), Bytes);
}

TEST(GlobalMemoryStream, SetSizeGrowsWithZerosAndShrinksThePosition) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(8, 1);
    Stream.WriteBuffer(Bytes.data(), 8);
    Stream.SetSize(12);
    EXPECT_EQ(Stream.Size(), 12);
    Bytes.resize(12, 0);
    EXPECT_EQ(Contents(Stream), Bytes);
    Stream.Seek(0, TSeekOrigin::End);
    Stream.SetSize(3);
    EXPECT_EQ(Stream.Size(), 3);
    EXPECT_EQ(Stream.Position(), 3);
}

TEST(GlobalMemoryStream, ImpossibleSizeRaisesAndKeepsTheBlock) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(16);
    Stream.WriteBuffer(Bytes.data(), 16);
    const TMemoryBlock* Before = Stream.Handle();
    try {
        Stream.SetSize(int64_t(1) << 40);
        FAIL() << "expected EError";
    } catch (const EError& Error) {
        EXPECT_STREQ(Error.what(), "Not enought memory");
    }
    EXPECT_EQ(Stream.Handle(), Before);
    EXPECT_EQ(Stream.Size(), 16);
    EXPECT_EQ(Contents(Stream), Bytes);
}

TEST(GlobalMemoryStream, AttachedBlockIsReadAndNeverFreed) {
    TMemoryBlock Block{Pattern(32)};
    {
        TGlobalMemoryStream Stream;
        unsigned char Byte = 1;
        Stream.WriteBuffer(&Byte, 1); // an owned block, dropped by Attach
        Stream.Attach(&Block);
        EXPECT_EQ(Stream.Handle(), &Block);
        EXPECT_EQ(Stream.Capacity(), 0);
        EXPECT_EQ(Stream.Size(), 32);
        EXPECT_EQ(Stream.Position(), 0);
        std::vector<unsigned char> Out(32);
        Stream.ReadBuffer(Out.data(), 32);
        EXPECT_EQ(Out, Block.Bytes);
    }
    // The stream is gone; the block must still be intact and usable.
    EXPECT_EQ(Block.Bytes, Pattern(32));
}

TEST(GlobalMemoryStream, WritingPastAnAttachedBlockCopiesIntoAnOwnedOne) {
    TMemoryBlock Block{Pattern(8)};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    Stream.Seek(0, TSeekOrigin::End);
    std::vector<unsigned char> More = Pattern(8, 100);
    Stream.WriteBuffer(More.data(), 8);
    EXPECT_NE(Stream.Handle(), &Block);
    EXPECT_EQ(Stream.Capacity(), 4096);
    std::vector<unsigned char> Expected = Pattern(8);
    Expected.insert(Expected.end(), More.begin(), More.end());
    EXPECT_EQ(Contents(Stream), Expected);
    EXPECT_EQ(Block.Bytes, Pattern(8)) << "the attached block is left alone";
}

TEST(GlobalMemoryStream, AttachNothingEmptiesTheStream) {
    TMemoryBlock Block{Pattern(8)};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    Stream.Attach(nullptr);
    EXPECT_EQ(Stream.Size(), 0);
    EXPECT_EQ(Stream.Position(), 0);
    EXPECT_EQ(Stream.Handle(), nullptr);
    EXPECT_EQ(Block.Bytes.size(), 8u);
}

TEST(GlobalMemoryStream, ClearEmptiesTheStream) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(100);
    Stream.WriteBuffer(Bytes.data(), 100);
    Stream.Clear();
    EXPECT_EQ(Stream.Size(), 0);
    EXPECT_EQ(Stream.Position(), 0);
    EXPECT_EQ(Stream.Capacity(), 0);
    Stream.WriteBuffer(Bytes.data(), 3);
    EXPECT_EQ(Contents(Stream), Pattern(3));
}

TEST(GlobalMemoryStream, TakeBlockHandsOverExactlyTheWrittenBytes) {
    TGlobalMemoryStream Stream;
    std::vector<unsigned char> Bytes = Pattern(300);
    Stream.WriteBuffer(Bytes.data(), 300);
    std::unique_ptr<TMemoryBlock> Block = Stream.TakeBlock();
    ASSERT_NE(Block, nullptr);
    EXPECT_EQ(Block->Bytes, Bytes);
    EXPECT_EQ(Stream.Size(), 0);
    EXPECT_EQ(Stream.Capacity(), 0);
    EXPECT_EQ(Stream.Handle(), nullptr);

    // The taken block can be attached for reading, as the clipboard does.
    TGlobalMemoryStream Reader;
    Reader.Attach(Block.get());
    std::vector<unsigned char> Out(300);
    Reader.ReadBuffer(Out.data(), 300);
    EXPECT_EQ(Out, Bytes);
}

TEST(GlobalMemoryStream, TakeBlockOfAnAttachedBlockGivesNothing) {
    TMemoryBlock Block{Pattern(4)};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    EXPECT_EQ(Stream.TakeBlock(), nullptr);
    EXPECT_EQ(Block.Bytes, Pattern(4));
}

} // namespace
