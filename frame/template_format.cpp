#include "frame/template_format.h"

#include <algorithm>

#include "frame/byte_reader.h"
#include "frame/unit_id.h"

namespace frame {

bool UnitRecord::is_menu_item() const { return is_menu_item_id(id); }

const char* describe(TemplateError error) {
  switch (error) {
    case TemplateError::Truncated:
      return "data ends before the field it announces";
    case TemplateError::BadDirectoryLength:
      return "window directory length is not a multiple of 8";
    case TemplateError::UnitCountTooLarge:
      return "unit count does not fit the unit table";
    case TemplateError::RecordOffsetOutOfRange:
      return "record offset lies beyond the unit table";
    case TemplateError::RecordsOverlap:
      return "record overlaps the record before it";
    case TemplateError::RecordGap:
      return "unused bytes before a record";
    case TemplateError::RecordLengthOutOfRange:
      return "record length runs past the unit table";
    case TemplateError::UnitTableNotFilled:
      return "unused bytes after the last record of a unit table";
    case TemplateError::UnterminatedText:
      return "text has no terminating 0 inside its record";
    case TemplateError::CountTooLarge:
      return "page or binding count exceeds its record";
    case TemplateError::MenuRecordTrailingBytes:
      return "bytes after the handler offset of a menu item";
    case TemplateError::TrailingData:
      return "bytes after the last window section";
    case TemplateError::NoWindowRecord:
      return "window section without the window's own record";
    case TemplateError::FirstRecordNotWindow:
      return "first record of a window section is not the window's own record";
  }
  return "unknown template error";
}

namespace {

// Walks one block and remembers the first fault; every step returns false once
// something did not fit, so the callers simply stop.
class TemplateParser {
 public:
  TemplateReadResult parse(std::span<const uint8_t> block) {
    ByteReader reader(block);
    WindowTemplate templ;
    if (!read_windows(reader, templ.windows)) return {std::nullopt, failure_};
    if (reader.remaining() != 0) return {std::nullopt, {TemplateError::TrailingData, reader.offset()}};
    return {std::move(templ), {}};
  }

 private:
  bool fail(TemplateError error, size_t offset) {
    failure_ = {error, offset};
    return false;
  }

  // A failed read leaves the reader where the missing field starts.
  template <typename T>
  bool need(ByteReader& r, std::optional<T> value, T& out) {
    return store(std::move(value), out) || fail(TemplateError::Truncated, r.offset());
  }

  template <size_t N>
  bool need_bytes(ByteReader& r, std::array<uint8_t, N>& out) {
    auto view = r.bytes(N);
    if (!view) return fail(TemplateError::Truncated, r.offset());
    std::copy(view->begin(), view->end(), out.begin());
    return true;
  }

  bool need_ztext(ByteReader& r, std::string& out) {
    return store(r.zero_terminated_text(), out) || fail(TemplateError::UnterminatedText, r.offset());
  }

  bool need_slice(ByteReader& r, size_t count, std::optional<ByteReader>& out) {
    out = r.slice(count);
    return out || fail(TemplateError::Truncated, r.offset());
  }

  // `count` words from `r`, failing with CountTooLarge before anything is allocated.
  bool need_words(ByteReader& r, uint32_t count, size_t words_per_entry, std::vector<uint32_t>& out) {
    if (count > r.remaining() / 4 / words_per_entry) return fail(TemplateError::CountTooLarge, r.offset());
    out.resize(size_t(count) * words_per_entry);
    for (auto& word : out) word = *r.u32();
    return true;
  }

  bool read_windows(ByteReader& r, std::vector<WindowSection>& windows) {
    uint32_t directory_length = 0;
    if (!need(r, r.u32(), directory_length)) return false;
    if (directory_length % 8 != 0) return fail(TemplateError::BadDirectoryLength, 0);
    std::optional<ByteReader> directory;
    if (!need_slice(r, directory_length, directory)) return false;

    windows.resize(directory_length / 8);
    for (auto& window : windows) window.id = *directory->u32();
    for (auto& window : windows)
      if (!read_section(r, window)) return false;
    return true;
  }

  bool read_section(ByteReader& r, WindowSection& window) {
    uint32_t unit_count = 0, table_length = 0;
    std::optional<ByteReader> table;
    const bool head_read = need(r, r.u32(), window.tag) && need(r, r.u32(), window.flags) &&
                           need(r, r.counted_text(), window.text1) && need(r, r.counted_text(), window.text2);
    const size_t count_at = r.offset();
    if (!head_read || !need(r, r.u32(), unit_count) || !need(r, r.u32(), table_length) ||
        !need_slice(r, table_length, table))
      return false;
    const size_t table_at = table->offset();
    return read_unit_table(*table, unit_count, window.records) && has_window_record(window, count_at, table_at);
  }

  // Creating a window starts from its own record, so a section must open with it.
  bool has_window_record(const WindowSection& window, size_t count_at, size_t table_at) {
    if (window.records.empty()) return fail(TemplateError::NoWindowRecord, count_at);
    const UnitRecord& first = window.records.front();
    if (!is_window_record_id(first.id) || first.kind != kWindowKindNumber)
      return fail(TemplateError::FirstRecordNotWindow, table_at);
    return true;
  }

  bool read_unit_table(ByteReader& table, uint32_t count, std::vector<UnitRecord>& records) {
    if (count > table.remaining() / 8) return fail(TemplateError::UnitCountTooLarge, table.offset());
    records.resize(count);
    for (auto& record : records) record.id = *table.u32();
    const size_t offsets_at = table.offset();
    std::vector<uint32_t> offsets(count);
    for (auto& offset : offsets) offset = *table.u32();

    ByteReader area = *table.slice(table.remaining());
    const size_t area_start = area.offset();
    const size_t area_size = area.remaining();
    for (size_t i = 0; i < count; ++i) {
      const size_t entry_at = offsets_at + 4 * i;
      const size_t expected = area.offset() - area_start;
      if (offsets[i] > area_size) return fail(TemplateError::RecordOffsetOutOfRange, entry_at);
      if (offsets[i] < expected) return fail(TemplateError::RecordsOverlap, entry_at);
      if (offsets[i] > expected) return fail(TemplateError::RecordGap, entry_at);
      if (!read_framed_record(area, records[i])) return false;
    }
    return area.remaining() == 0 || fail(TemplateError::UnitTableNotFilled, area.offset());
  }

  bool read_framed_record(ByteReader& area, UnitRecord& record) {
    uint32_t length = 0;
    if (!need(area, area.u32(), length)) return false;
    auto data = area.slice(length);
    if (!data) return fail(TemplateError::RecordLengthOutOfRange, area.offset() - 4);
    return read_record(*data, record);
  }

  bool read_record(ByteReader& r, UnitRecord& record) {
    const bool head_read = need(r, r.u32(), record.kind) && need(r, r.u32(), record.link) &&
                           need_bytes(r, record.reserved1) && need_ztext(r, record.name) &&
                           need_ztext(r, record.second_name) && need(r, r.u32(), record.object_slot);
    if (!head_read) return false;
    return record.is_menu_item() ? read_menu_tail(r, record) : read_unit_tail(r, record);
  }

  bool read_menu_tail(ByteReader& r, UnitRecord& record) {
    return need_bytes(r, record.menu_reserved) && need_ztext(r, record.menu_text) &&
           need(r, r.u32(), record.menu_handler_offset) &&
           (r.remaining() == 0 || fail(TemplateError::MenuRecordTrailingBytes, r.offset()));
  }

  bool read_unit_tail(ByteReader& r, UnitRecord& record) {
    uint32_t page_count = 0, binding_count = 0;
    std::vector<uint32_t> binding_words;
    const bool read = need(r, r.i32(), record.left) && need(r, r.i32(), record.top) && need(r, r.i32(), record.width) &&
                      need(r, r.i32(), record.height) && need(r, r.u32(), record.cursor_slot) &&
                      need(r, r.u32(), record.parent) && need(r, r.u32(), page_count) &&
                      need_words(r, page_count, 1, record.page_list) &&
                      need(r, r.counted_bytes(), record.cursor_picture) && need_ztext(r, record.tag) &&
                      need(r, r.u32(), record.reserved_word) && need(r, r.u32(), record.flags) &&
                      need(r, r.u32(), record.tab_order) && need(r, r.u32(), binding_count) &&
                      need_words(r, binding_count, 2, binding_words) && need_bytes(r, record.reserved2);
    if (!read) return false;
    for (size_t i = 0; i < binding_count; ++i)
      record.bindings.push_back({binding_words[2 * i], binding_words[2 * i + 1]});
    record.kind_data = *r.bytes(r.remaining());
    return true;
  }

  TemplateFailure failure_{};
};

void write_record_head(ByteWriter& w, const UnitRecord& record) {
  w.u32(record.kind);
  w.u32(record.link);
  w.bytes(record.reserved1);
  w.zero_terminated_text(record.name);
  w.zero_terminated_text(record.second_name);
  w.u32(record.object_slot);
}

void write_menu_tail(ByteWriter& w, const UnitRecord& record) {
  w.bytes(record.menu_reserved);
  w.zero_terminated_text(record.menu_text);
  w.u32(record.menu_handler_offset);
}

void write_unit_tail(ByteWriter& w, const UnitRecord& record) {
  for (int32_t edge : {record.left, record.top, record.width, record.height}) w.i32(edge);
  w.u32(record.cursor_slot);
  w.u32(record.parent);
  w.u32(ByteWriter::length_word(record.page_list.size()));
  for (uint32_t entry : record.page_list) w.u32(entry);
  w.counted_bytes(record.cursor_picture);
  w.zero_terminated_text(record.tag);
  w.u32(record.reserved_word);
  w.u32(record.flags);
  w.u32(record.tab_order);
  w.u32(ByteWriter::length_word(record.bindings.size()));
  for (const auto& binding : record.bindings) {
    w.u32(binding.event);
    w.u32(binding.handler_offset);
  }
  w.bytes(record.reserved2);
  w.bytes(record.kind_data);
}

std::vector<uint8_t> record_data(const UnitRecord& record) {
  ByteWriter w;
  write_record_head(w, record);
  if (record.is_menu_item())
    write_menu_tail(w, record);
  else
    write_unit_tail(w, record);
  return w.take();
}

std::vector<uint8_t> unit_table(const std::vector<UnitRecord>& records) {
  ByteWriter ids, offsets, bodies;
  for (const auto& record : records) {
    ids.u32(record.id);
    offsets.u32(ByteWriter::length_word(bodies.size()));
    bodies.counted_bytes(record_data(record));
  }
  ByteWriter table;
  table.bytes(ids.take());
  table.bytes(offsets.take());
  table.bytes(bodies.take());
  return table.take();
}

void write_section(ByteWriter& w, const WindowSection& window) {
  w.u32(window.tag);
  w.u32(window.flags);
  w.counted_text(window.text1);
  w.counted_text(window.text2);
  w.u32(ByteWriter::length_word(window.records.size()));
  w.counted_bytes(unit_table(window.records));
}

}  // namespace

TemplateReadResult read_template(std::span<const uint8_t> block) { return TemplateParser().parse(block); }

const char* describe(StructureError error) {
  switch (error) {
    case StructureError::ParentLoop:
      return "a unit lies inside itself through its parents";
  }
  return "unknown structure error";
}

namespace {

// The record a unit's parent id names, among the window's units (not its own
// record, not menu items); the first of that id.
const UnitRecord* parent_of(const WindowSection& window, const UnitRecord& unit) {
  if (unit.parent == 0) return nullptr;
  for (size_t i = 1; i < window.records.size(); ++i) {
    const UnitRecord& record = window.records[i];
    if (record.id == unit.parent && !record.is_menu_item()) return &record;
  }
  return nullptr;
}

// A chain of parents longer than the window has units must pass some unit twice.
bool lies_inside_itself(const WindowSection& window, const UnitRecord& unit) {
  const UnitRecord* parent = parent_of(window, unit);
  for (size_t steps = 0; parent != nullptr; ++steps) {
    if (parent == &unit || steps > window.records.size()) return true;
    parent = parent_of(window, *parent);
  }
  return false;
}

}  // namespace

std::optional<StructureFailure> check_structure(const WindowTemplate& templ) {
  for (const WindowSection& window : templ.windows) {
    for (size_t i = 1; i < window.records.size(); ++i) {
      const UnitRecord& unit = window.records[i];
      if (!unit.is_menu_item() && lies_inside_itself(window, unit))
        return StructureFailure{StructureError::ParentLoop, window.id, unit.id};
    }
  }
  return std::nullopt;
}

std::vector<uint8_t> write_template(const WindowTemplate& templ) {
  ByteWriter w;
  // Each section in memory is far larger than its 8 directory bytes, so this cannot wrap.
  w.u32(ByteWriter::length_word(templ.windows.size() * 8));
  for (const auto& window : templ.windows) w.u32(window.id);
  for (size_t i = 0; i < templ.windows.size(); ++i) w.u32(0);
  for (const auto& window : templ.windows) write_section(w, window);
  return w.take();
}

}  // namespace frame
