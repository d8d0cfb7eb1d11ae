#include "frame/byte_array.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(ByteArray, HeaderIsOneDimensionThenTheLength) {
  const frame::ByteArrayHeader header = frame::byte_array_header(0x01020304);
  EXPECT_EQ(Bytes(header.begin(), header.end()), (Bytes{1, 0, 0, 0, 4, 3, 2, 1}));
}

TEST(ByteArray, WrittenArrayIsByteExactAndReadsBackItsContent) {
  const Bytes content{'M', 'Z', 0, 0xFF};
  frame::ByteWriter w;
  w.bytes(Bytes{0xEE});  // an array need not start a block
  frame::write_byte_array(w, content);
  const Bytes written = w.take();
  EXPECT_EQ(written, (Bytes{0xEE, 1, 0, 0, 0, 4, 0, 0, 0, 'M', 'Z', 0, 0xFF}));
  const auto read = frame::byte_array_content(written.data() + 1);
  EXPECT_EQ(read.data(), written.data() + 1 + frame::kByteArrayHeaderSize);
  EXPECT_EQ(Bytes(read.begin(), read.end()), content);
}

TEST(ByteArray, EmptyArrayIsAHeaderAlone) {
  frame::ByteWriter w;
  frame::write_byte_array(w, {});
  const Bytes written = w.take();
  EXPECT_EQ(written, (Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(frame::byte_array_content(written.data()).empty());
}

}  // namespace
