#include "frame/byte_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using frame::ByteReader;
using Bytes = std::vector<uint8_t>;

TEST(ByteReader, ShortReadsFailAndKeepThePosition) {
  const Bytes data{0x78, 0x56, 0x34, 0x12, 1, 2, 3};
  ByteReader r(data);
  EXPECT_EQ(r.u32(), 0x12345678u);
  EXPECT_FALSE(r.u32());
  EXPECT_FALSE(r.bytes(4));
  EXPECT_EQ(r.offset(), 4u);
  EXPECT_TRUE(r.bytes(3));
  EXPECT_FALSE(r.bytes(1));
}

TEST(ByteReader, CountedBytesLongerThanTheDataFailWithoutConsumingTheLength) {
  for (uint32_t length : {5u, 0xFFFFFFFFu}) {
    Bytes data{uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24), 'a', 'b', 'c', 'd'};
    ByteReader r(data);
    EXPECT_FALSE(r.counted_bytes());
    EXPECT_FALSE(r.counted_text());
    EXPECT_EQ(r.offset(), 0u);
  }
}

TEST(ByteReader, ZeroTerminatedTextNeedsItsTerminator) {
  const Bytes data{'a', 'b', 0, 'c'};
  ByteReader r(data);
  EXPECT_EQ(r.zero_terminated_text(), "ab");
  EXPECT_FALSE(r.zero_terminated_text());
  EXPECT_EQ(r.offset(), 3u);
}

TEST(ByteReader, SliceReportsOffsetsOfTheOuterBlock) {
  const Bytes data{9, 9, 1, 0, 0, 0, 2, 0, 0, 0};
  ByteReader r(data, 100);
  r.bytes(2);
  auto slice = r.slice(4);
  ASSERT_TRUE(slice);
  EXPECT_EQ(slice->u32(), 1u);
  EXPECT_FALSE(slice->u32());
  EXPECT_EQ(slice->offset(), 106u);
  EXPECT_FALSE(r.slice(5));
  EXPECT_EQ(r.offset(), 106u);
}

TEST(ByteReader, ReadsNarrowAndBigEndianWords) {
  const Bytes data{0xAB, 0x34, 0x12, 0x89, 0x50, 0x4E, 0x47, 0x0D};
  ByteReader r(data);
  EXPECT_EQ(r.u8(), 0xABu);
  EXPECT_EQ(r.u16(), 0x1234u);
  EXPECT_TRUE(r.skip(1));
  EXPECT_EQ(r.u32_be(), 0x504E470Du);
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReader, ShortNarrowAndBigEndianReadsFailAndKeepThePosition) {
  const Bytes data{1, 2, 3};
  ByteReader r(data);
  EXPECT_FALSE(r.u32_be());
  EXPECT_FALSE(r.skip(4));
  EXPECT_EQ(r.offset(), 0u);
  EXPECT_EQ(r.u16(), 0x0201u);
  EXPECT_FALSE(r.u16());
  EXPECT_EQ(r.u8(), 3u);
  EXPECT_FALSE(r.u8());
  EXPECT_EQ(r.offset(), 3u);
}

TEST(ByteWriter, WritesTheLayoutTheReaderReads) {
  frame::ByteWriter w;
  w.u32(0x12345678);
  w.i32(-1);
  w.flag(true);
  w.counted_text("ab");
  w.zero_terminated_text("c");
  const Bytes expected{0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 'c', 0};
  EXPECT_EQ(w.take(), expected);
}

}  // namespace
