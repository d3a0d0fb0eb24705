#include "core/stream.h"

#include "core/error.h"
#include "core/global_memory_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Stream, IntegersAreLittleEndian) {
    TGlobalMemoryStream Stream;
    Stream.WriteUInt32(0x12345678u);
    ASSERT_EQ(Stream.Size(), 4);
    EXPECT_EQ(Stream.Memory()[0], 0x78);
    EXPECT_EQ(Stream.Memory()[1], 0x56);
    EXPECT_EQ(Stream.Memory()[2], 0x34);
    EXPECT_EQ(Stream.Memory()[3], 0x12);
    Stream.Seek(0, TSeekOrigin::Beginning);
    EXPECT_EQ(Stream.ReadUInt32(), 0x12345678u);
}

TEST(Stream, HighBitsSurviveTheRoundTrip) {
    TGlobalMemoryStream Stream;
    Stream.WriteUInt32(0xFFFFFFFEu);
    Stream.Seek(0, TSeekOrigin::Beginning);
    EXPECT_EQ(Stream.ReadUInt32(), 0xFFFFFFFEu);
}

TEST(Stream, ShortReadRaisesStreamError) {
    TMemoryBlock Block{{1, 2, 3}};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    EXPECT_THROW(Stream.ReadUInt32(), EStreamError);
    Stream.Seek(0, TSeekOrigin::Beginning);
    unsigned char Out[4];
    EXPECT_THROW(Stream.ReadBuffer(Out, 4), EError);
    Stream.Seek(0, TSeekOrigin::Beginning);
    EXPECT_NO_THROW(Stream.ReadBuffer(Out, 3));
    EXPECT_NO_THROW(Stream.ReadBuffer(Out, 0));
}

TEST(Stream, RemainingIsWhatIsLeftAfterThePosition) {
    TMemoryBlock Block{std::vector<unsigned char>(10)};
    TGlobalMemoryStream Stream;
    Stream.Attach(&Block);
    EXPECT_EQ(Stream.Remaining(), 10);
    Stream.Seek(4, TSeekOrigin::Beginning);
    EXPECT_EQ(Stream.Remaining(), 6);
}

} // namespace
