#include "frame/template_format.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "frame/byte_reader.h"
#include "units/kind_numbers.h"

namespace {

using frame::ByteWriter;
using frame::TemplateError;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kWindowId = 0x52000001;
constexpr uint32_t kWindowRecordId = 0x06000001;
constexpr uint32_t kUnitId = 0x16000002;
constexpr uint32_t kMenuItemId = 0x26000003;

// Where the fields of a one-window template with empty section texts lie.
constexpr size_t kPlaceholderAt = 8;
constexpr size_t kUnitCountAt = 28;
constexpr size_t kTableLengthAt = 32;
constexpr size_t kTableAt = 36;
constexpr size_t offsets_at(size_t unit_count) { return kTableAt + 4 * unit_count; }
constexpr size_t records_at(size_t unit_count) { return kTableAt + 8 * unit_count; }

void put_u32(Bytes& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

void append(Bytes& to, const Bytes& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

struct RawRecord {
  uint32_t id;
  Bytes body;
};

Bytes unit_table(const std::vector<RawRecord>& records) {
  ByteWriter ids, offsets, bodies;
  for (const auto& record : records) {
    ids.u32(record.id);
    offsets.u32(uint32_t(bodies.size()));
    bodies.counted_bytes(record.body);
  }
  Bytes table = ids.take();
  append(table, offsets.take());
  append(table, bodies.take());
  return table;
}

Bytes section(const std::vector<RawRecord>& records, const std::string& text1 = "") {
  ByteWriter w;
  w.u32(1);           // section tag
  w.u32(0x1901000D);  // section flags
  w.counted_text(text1);
  w.counted_text("");
  w.u32(uint32_t(records.size()));
  w.counted_bytes(unit_table(records));
  return w.take();
}

Bytes template_of(const std::vector<RawRecord>& records) {
  ByteWriter w;
  w.u32(8);  // directory length: one window
  w.u32(kWindowId);
  w.u32(0);  // placeholder
  Bytes block = w.take();
  append(block, section(records));
  return block;
}

// Everything up to the object slot, shared by unit and menu-item records.
void record_head(ByteWriter& w, uint32_t kind, const std::string& name) {
  w.u32(kind);
  w.u32(0);  // link
  w.bytes(Bytes(16, 0));
  w.zero_terminated_text(name);
  w.zero_terminated_text("");
  w.u32(0);  // object slot
}

Bytes window_record() {
  ByteWriter w;
  record_head(w, units::kind::kWindow, "main");
  for (int32_t edge : {10, 20, 300, 200}) w.i32(edge);
  w.u32(0);  // cursor slot
  w.u32(0);  // parent
  w.u32(0);  // page count
  w.u32(0);  // cursor picture length
  w.zero_terminated_text("");
  w.u32(0);  // reserved word
  w.u32(1);  // flags: visible
  w.u32(0);  // tab order
  w.u32(1);  // one binding
  w.u32(0);  // event 0
  w.u32(0);  // handler offset 0
  w.bytes(Bytes(20, 0));
  w.bytes(Bytes{0xAA, 0xBB});  // kind data
  return w.take();
}

// Byte positions inside rich_unit_record, for the corruption tests.
constexpr size_t kPageCountAt = 4 + 4 + 16 + 4 + 4 + 4 + 16 + 4 + 4;
constexpr size_t kCursorLengthAt = kPageCountAt + 4 + 12;
constexpr size_t kBindingCountAt = kCursorLengthAt + 4 + 4 + 2 + 12;

// A unit that sets every field a record can carry.
Bytes rich_unit_record() {
  ByteWriter w;
  w.u32(units::kind::kPictureBox);
  w.u32(0x16000009);  // link
  w.bytes(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  w.zero_terminated_text("pic");
  w.zero_terminated_text("alt");
  w.u32(0x55);  // object slot
  for (int32_t edge : {-5, 6, 7, 8}) w.i32(edge);
  w.u32(0x66);        // cursor slot
  w.u32(0x16000009);  // parent
  w.u32(3);           // page count
  for (uint32_t entry : {0x16000004u, 0u, 0x16000005u}) w.u32(entry);
  w.counted_bytes(Bytes{0, 0, 2, 0});  // cursor picture
  w.zero_terminated_text("t");
  w.u32(0x77);  // reserved word
  w.u32(6);     // flags: disabled, tab stop
  w.u32(4);     // tab order
  w.u32(2);     // binding count
  w.u32(0);
  w.u32(0x10);
  w.u32(0xFFFFFFF9);  // event -7
  w.u32(frame::kNoHandler);
  Bytes reserved2(20, 0);
  reserved2[19] = 0xEE;
  w.bytes(reserved2);
  w.bytes(Bytes{1, 2, 3});  // kind data
  return w.take();
}

Bytes menu_item_record() {
  ByteWriter w;
  record_head(w, units::kind::kMenuItem, "file");
  w.bytes(Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9});
  w.zero_terminated_text("Open");
  w.u32(0x18);  // handler offset
  return w.take();
}

std::vector<RawRecord> sample_records() {
  return {{kWindowRecordId, window_record()}, {kUnitId, rich_unit_record()}, {kMenuItemId, menu_item_record()}};
}

Bytes sample_template() { return template_of(sample_records()); }

// Where record `index` of sample_template starts (its length word).
size_t sample_record_at(size_t index) {
  size_t at = records_at(3);
  const auto records = sample_records();
  for (size_t i = 0; i < index; ++i) at += 4 + records[i].body.size();
  return at;
}

void expect_failure(const Bytes& block, TemplateError error, size_t offset) {
  const auto result = frame::read_template(block);
  ASSERT_FALSE(result.value);
  EXPECT_EQ(result.failure.error, error) << frame::describe(result.failure.error);
  EXPECT_EQ(result.failure.offset, offset);
}

// The sample template, read; the tests that look into it share it. Its texts and
// pictures are views into the block, which lives as long as the test.
class TemplateRead : public testing::Test {
 protected:
  void SetUp() override {
    auto result = frame::read_template(block_);
    ASSERT_TRUE(result.value) << frame::describe(result.failure.error) << " at " << result.failure.offset;
    sample_ = std::move(*result.value);
  }

  const frame::WindowSection& window() const { return sample_.windows.at(0); }
  const frame::UnitRecord& record(size_t index) const { return window().records.at(index); }

  const Bytes block_ = sample_template();
  frame::WindowTemplate sample_;
};

TEST_F(TemplateRead, SampleGivesItsWindowAndRecordsInTableOrder) {
  ASSERT_EQ(sample_.windows.size(), 1u);
  EXPECT_EQ(window().id, kWindowId);
  EXPECT_EQ(window().tag, 1u);
  EXPECT_EQ(window().flags, 0x1901000Du);
  ASSERT_EQ(window().records.size(), 3u);
  EXPECT_EQ(record(0).id, kWindowRecordId);
  EXPECT_EQ(record(0).kind, units::kind::kWindow);
  EXPECT_EQ(record(0).name, "main");
  EXPECT_TRUE(record(0).visible());
  EXPECT_EQ(record(0).width, 300);
  EXPECT_EQ(record(1).id, kUnitId);
  EXPECT_EQ(record(2).id, kMenuItemId);
}

TEST_F(TemplateRead, EveryUnitFieldLandsInItsMember) {
  const auto& unit = record(1);
  EXPECT_FALSE(unit.is_menu_item());
  EXPECT_EQ(unit.kind, units::kind::kPictureBox);
  EXPECT_EQ(unit.link, 0x16000009u);
  EXPECT_EQ(unit.reserved1[0], 1);
  EXPECT_EQ(unit.reserved1[15], 16);
  EXPECT_EQ(unit.name, "pic");
  EXPECT_EQ(unit.second_name, "alt");
  EXPECT_EQ(unit.object_slot, 0x55u);
  EXPECT_EQ(unit.left, -5);
  EXPECT_EQ(unit.top, 6);
  EXPECT_EQ(unit.width, 7);
  EXPECT_EQ(unit.height, 8);
  EXPECT_EQ(unit.cursor_slot, 0x66u);
  EXPECT_EQ(unit.parent, 0x16000009u);
  EXPECT_EQ(unit.page_list, (std::vector<uint32_t>{0x16000004, 0, 0x16000005}));
  EXPECT_EQ(Bytes(unit.cursor_picture.begin(), unit.cursor_picture.end()), (Bytes{0, 0, 2, 0}));
  EXPECT_EQ(unit.tag, "t");
  EXPECT_EQ(unit.reserved_word, 0x77u);
  EXPECT_FALSE(unit.visible());
  EXPECT_TRUE(unit.disabled());
  EXPECT_TRUE(unit.tab_stop());
  EXPECT_EQ(unit.tab_order, 4u);
  EXPECT_EQ(unit.reserved2[19], 0xEE);
  EXPECT_EQ(Bytes(unit.kind_data.begin(), unit.kind_data.end()), (Bytes{1, 2, 3}));
}

TEST_F(TemplateRead, BindingsKeepOffsetsAndTheNoHandlerMark) {
  std::vector<std::pair<int32_t, uint32_t>> events_and_offsets;
  for (const auto& binding : record(1).bindings) events_and_offsets.emplace_back(binding.event, binding.handler_offset);
  EXPECT_EQ(events_and_offsets, (std::vector<std::pair<int32_t, uint32_t>>{{0, 0x10}, {-7, frame::kNoHandler}}));
}

TEST_F(TemplateRead, MenuItemRecordHasItsOwnTail) {
  const auto& item = record(2);
  EXPECT_TRUE(item.is_menu_item());
  EXPECT_EQ(item.kind, units::kind::kMenuItem);
  EXPECT_EQ(item.name, "file");
  EXPECT_EQ(item.menu_reserved[11], 9);
  EXPECT_EQ(item.menu_text, "Open");
  EXPECT_EQ(item.menu_handler_offset, 0x18u);
  EXPECT_TRUE(item.bindings.empty());
  EXPECT_TRUE(item.kind_data.empty());
}

TEST_F(TemplateRead, EmptyDirectoryIsATemplateWithoutWindows) {
  const auto result = frame::read_template(Bytes{0, 0, 0, 0});
  ASSERT_TRUE(result.value);
  EXPECT_TRUE(result.value->windows.empty());
}

TEST_F(TemplateRead, SectionsFollowDirectoryOrder) {
  ByteWriter w;
  w.u32(16);
  w.u32(0x52000007);
  w.u32(0x52000003);
  w.u32(0);
  w.u32(0);
  Bytes block = w.take();
  append(block, section({{kWindowRecordId, window_record()}}, "first"));
  append(block, section({{kWindowRecordId, window_record()}}, "second"));
  const auto result = frame::read_template(block);
  ASSERT_TRUE(result.value);
  ASSERT_EQ(result.value->windows.size(), 2u);
  EXPECT_EQ(result.value->windows[0].id, 0x52000007u);
  EXPECT_EQ(result.value->windows[0].text1, "first");
  EXPECT_EQ(result.value->windows[1].id, 0x52000003u);
  EXPECT_EQ(result.value->windows[1].text1, "second");
}

TEST(TemplateRoundTrip, WriteOfReadGivesTheSameBytes) {
  const Bytes block = sample_template();
  const auto result = frame::read_template(block);
  ASSERT_TRUE(result.value);
  EXPECT_EQ(frame::write_template(*result.value), block);
}

TEST(TemplateRoundTrip, PlaceholderIsIgnoredAndWrittenAsZero) {
  Bytes block = sample_template();
  put_u32(block, kPlaceholderAt, 0xDEADBEEF);
  const auto result = frame::read_template(block);
  ASSERT_TRUE(result.value);
  EXPECT_EQ(frame::write_template(*result.value), sample_template());
}

// Any single damaged byte either is rejected or still describes a template that
// writes back to exactly the same bytes.
TEST(TemplateRoundTrip, DamagedByteIsRejectedOrRoundTrips) {
  const Bytes original = sample_template();
  for (size_t at = 0; at < original.size(); ++at) {
    if (at >= kPlaceholderAt && at < kPlaceholderAt + 4) continue;
    for (uint8_t damage : {uint8_t{0x01}, uint8_t{0x80}, uint8_t{0xFF}}) {
      Bytes block = original;
      block[at] ^= damage;
      const auto result = frame::read_template(block);
      if (result.value) {
        EXPECT_EQ(frame::write_template(*result.value), block) << "byte " << at;
      }
    }
  }
}

TEST(TemplateTruncation, EveryShorterPrefixFailsAsTruncated) {
  const Bytes block = sample_template();
  for (size_t length = 0; length < block.size(); ++length) {
    const Bytes prefix(block.begin(), block.begin() + length);
    const auto result = frame::read_template(prefix);
    ASSERT_FALSE(result.value) << "prefix of " << length << " bytes was accepted";
    EXPECT_EQ(result.failure.error, TemplateError::Truncated) << "prefix of " << length;
    EXPECT_LE(result.failure.offset, length);
  }
}

struct Corruption {
  const char* what;
  size_t at;  // the u32 to overwrite
  uint32_t value;
  TemplateError error;
  size_t error_at;
};

// Counts that wrap a 32-bit size_t when multiplied (0x20000000 unit ids and offsets,
// 0x40000000 page entries) must fail as surely as plainly huge ones; five bindings
// are 40 bytes where only 39 remain.
TEST(TemplateCorruption, DamagedLengthsAndCountsAreReportedWhereTheyAre) {
  const size_t unit_at = sample_record_at(1);
  const size_t page_count_at = unit_at + 4 + kPageCountAt;
  const size_t binding_count_at = unit_at + 4 + kBindingCountAt;
  const size_t cursor_length_at = unit_at + 4 + kCursorLengthAt;
  const Corruption corruptions[] = {
      {"directory length 12", 0, 12, TemplateError::BadDirectoryLength, 0},
      {"directory past the end", 0, 0xFFFFFFF8, TemplateError::Truncated, 4},
      {"unit table past the end", kTableLengthAt, 0xFFFFFFFF, TemplateError::Truncated, kTableAt},
      {"unit count all ones", kUnitCountAt, 0xFFFFFFFF, TemplateError::UnitCountTooLarge, kTableAt},
      {"unit count wrapping", kUnitCountAt, 0x20000000, TemplateError::UnitCountTooLarge, kTableAt},
      {"offset past the table", offsets_at(3) + 4, 0x7FFFFFFF, TemplateError::RecordOffsetOutOfRange,
       offsets_at(3) + 4},
      {"overlapping records", offsets_at(3) + 8, 0, TemplateError::RecordsOverlap, offsets_at(3) + 8},
      {"gap before a record", offsets_at(3), 4, TemplateError::RecordGap, offsets_at(3)},
      {"record past the table", unit_at, 0xFFFFFFF0, TemplateError::RecordLengthOutOfRange, unit_at},
      {"page count wrapping", page_count_at, 0x40000000, TemplateError::CountTooLarge, page_count_at + 4},
      {"page count all ones", page_count_at, 0xFFFFFFFF, TemplateError::CountTooLarge, page_count_at + 4},
      {"binding count wrapping", binding_count_at, 0x20000000, TemplateError::CountTooLarge, binding_count_at + 4},
      {"binding count one too many", binding_count_at, 5, TemplateError::CountTooLarge, binding_count_at + 4},
      {"cursor picture past the record", cursor_length_at, 0xFFFFFFFF, TemplateError::Truncated, cursor_length_at},
  };
  for (const auto& corruption : corruptions) {
    SCOPED_TRACE(corruption.what);
    Bytes block = sample_template();
    put_u32(block, corruption.at, corruption.value);
    expect_failure(block, corruption.error, corruption.error_at);
  }
}

TEST(TemplateCorruption, NameWithoutTerminatorInsideItsRecord) {
  ByteWriter w;
  w.u32(units::kind::kPictureBox);
  w.u32(0);
  w.bytes(Bytes(16, 0));
  w.bytes(Bytes{'a', 'b', 'c'});
  const Bytes block = template_of({{kUnitId, w.take()}, {kMenuItemId, menu_item_record()}});
  expect_failure(block, TemplateError::UnterminatedText, records_at(2) + 4 + 24);
}

TEST(TemplateCorruption, RecordEndingInsideItsReservedBytes) {
  Bytes body = window_record();
  body.erase(body.end() - 2 - 10, body.end());  // no kind data, half the reserved bytes
  const Bytes block = template_of({{kWindowRecordId, body}});
  expect_failure(block, TemplateError::Truncated, records_at(1) + 4 + body.size() - 10);
}

TEST(TemplateCorruption, BytesAfterAMenuItemHandler) {
  Bytes body = menu_item_record();
  body.push_back(0);
  const Bytes block = template_of({{kMenuItemId, body}});
  expect_failure(block, TemplateError::MenuRecordTrailingBytes, records_at(1) + 4 + body.size() - 1);
}

TEST(TemplateCorruption, UnusedBytesAtTheEndOfTheUnitTable) {
  Bytes block = sample_template();
  const size_t table_end = block.size();
  append(block, Bytes{0, 0, 0, 0});
  put_u32(block, kTableLengthAt, uint32_t(table_end + 4 - kTableAt));
  expect_failure(block, TemplateError::UnitTableNotFilled, table_end);
}

// Creating a window starts from its own record: a section without one, or opening
// with any other record, is refused before anything indexes it.
TEST(TemplateStructure, SectionWithoutRecordsIsRefused) {
  expect_failure(template_of({}), TemplateError::NoWindowRecord, kUnitCountAt);
}

TEST(TemplateStructure, SectionOpeningWithAUnitIsRefused) {
  expect_failure(template_of({{kUnitId, rich_unit_record()}, {kWindowRecordId, window_record()}}),
                 TemplateError::FirstRecordNotWindow, kTableAt);
}

TEST(TemplateStructure, WindowRecordOfAnotherKindIsRefused) {
  Bytes body = window_record();
  put_u32(body, 0, units::kind::kPictureBox);
  expect_failure(template_of({{kWindowRecordId, body}}), TemplateError::FirstRecordNotWindow, kTableAt);
}

// Units placed inside themselves: directly, and through another unit.
TEST(TemplateStructure, UnitInsideItselfIsRefusedByTheLoadersCheck) {
  constexpr size_t kParentAt = kPageCountAt - 4;
  Bytes inside_itself = rich_unit_record();
  put_u32(inside_itself, kParentAt, kUnitId);
  const Bytes direct = template_of({{kWindowRecordId, window_record()}, {kUnitId, inside_itself}});
  Bytes first = rich_unit_record();
  put_u32(first, kParentAt, 0x16000009);
  Bytes second = rich_unit_record();
  put_u32(second, kParentAt, kUnitId);
  const Bytes through_another =
      template_of({{kWindowRecordId, window_record()}, {kUnitId, first}, {0x16000009, second}});
  for (const Bytes& block : {direct, through_another}) {
    const auto result = frame::read_template(block);
    ASSERT_TRUE(result.value);
    const auto failure = frame::check_structure(*result.value);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->error, frame::StructureError::ParentLoop);
    EXPECT_EQ(failure->window_id, kWindowId);
    EXPECT_EQ(failure->unit_id, kUnitId);
  }
}

TEST(TemplateStructure, ParentsThatEndAtTheWindowOrNowherePass) {
  const auto result = frame::read_template(sample_template());
  ASSERT_TRUE(result.value);
  EXPECT_FALSE(frame::check_structure(*result.value));
}

TEST(TemplateCorruption, BytesAfterTheLastSection) {
  Bytes block = sample_template();
  const size_t end = block.size();
  block.push_back(0);
  expect_failure(block, TemplateError::TrailingData, end);
}

}  // namespace
