#include "frame/byte_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using frame::ByteReader;
using frame::ByteWriter;
using Bytes = std::vector<uint8_t>;

TEST(ByteReader, ReadsLittleEndianWords) {
    const Bytes data{0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF};
    ByteReader r(data);
    EXPECT_EQ(r.u32(), 0x12345678u);
    EXPECT_EQ(r.i32(), -2);
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReader, ShortReadFailsAndKeepsPosition) {
    const Bytes data{1, 2, 3};
    ByteReader r(data);
    EXPECT_FALSE(r.u32());
    EXPECT_EQ(r.offset(), 0u);
    EXPECT_FALSE(r.bytes(4));
    ASSERT_TRUE(r.bytes(3));
    EXPECT_FALSE(r.bytes(1));
    EXPECT_TRUE(r.bytes(0));
}

TEST(ByteReader, CountedBytesLongerThanDataFailsWithoutConsumingTheLength) {
    const Bytes data{5, 0, 0, 0, 'a', 'b', 'c', 'd'};
    ByteReader r(data);
    EXPECT_FALSE(r.counted_bytes());
    EXPECT_EQ(r.offset(), 0u);
    EXPECT_FALSE(r.counted_text());
    EXPECT_EQ(r.remaining(), 8u);
}

TEST(ByteReader, CountedLengthNearTheWordLimitFails) {
    const Bytes data{0xFF, 0xFF, 0xFF, 0xFF, 'x'};
    ByteReader r(data);
    EXPECT_FALSE(r.counted_bytes());
}

TEST(ByteReader, CountedTextReturnsExactlyItsBytes) {
    const Bytes data{3, 0, 0, 0, 'a', 0, 'c', 'z'};
    ByteReader r(data);
    EXPECT_EQ(r.counted_text(), std::string("a\0c", 3));
    EXPECT_EQ(r.remaining(), 1u);
}

TEST(ByteReader, ZeroTerminatedTextStopsAtTheFirstZero) {
    const Bytes data{'a', 'b', 0, 'c', 0};
    ByteReader r(data);
    EXPECT_EQ(r.zero_terminated_text(), "ab");
    EXPECT_EQ(r.zero_terminated_text(), "c");
    EXPECT_FALSE(r.zero_terminated_text());
}

TEST(ByteReader, ZeroTerminatedTextWithoutTerminatorFails) {
    const Bytes data{'a', 'b'};
    ByteReader r(data);
    EXPECT_FALSE(r.zero_terminated_text());
    EXPECT_EQ(r.offset(), 0u);
}

TEST(ByteReader, SliceReportsOffsetsOfTheOuterBlock) {
    const Bytes data{9, 9, 1, 0, 0, 0, 2, 0, 0, 0};
    ByteReader r(data, 100);
    r.bytes(2);
    auto slice = r.slice(4);
    ASSERT_TRUE(slice);
    EXPECT_EQ(slice->offset(), 102u);
    EXPECT_EQ(slice->u32(), 1u);
    EXPECT_FALSE(slice->u32());
    EXPECT_EQ(slice->offset(), 106u);
    EXPECT_FALSE(r.slice(5));
    EXPECT_EQ(r.offset(), 106u);
}

TEST(ByteReader, FlagIsAnyNonZeroWord) {
    const Bytes data{0, 0, 0, 0, 0, 1, 0, 0};
    ByteReader r(data);
    EXPECT_EQ(r.u32_flag(), false);
    EXPECT_EQ(r.u32_flag(), true);
}

TEST(ByteWriter, WritesTheLayoutTheReaderReads) {
    ByteWriter w;
    w.u32(0x12345678);
    w.i32(-1);
    w.flag(true);
    w.counted_text("ab");
    w.zero_terminated_text("c");
    const Bytes expected{0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 'c', 0};
    EXPECT_EQ(w.take(), expected);
}

}  // namespace
