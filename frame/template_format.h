// Window template: the block in the program data that describes every window and
// the units placed on it. Little-endian u32 unless marked; "text" is a u32 length
// and that many bytes, "ztext" GBK bytes ending in one 0 byte.
//
//   u32 directory length            8 x window count
//   u32 window id        [count]
//   u32 placeholder      [count]    ignored on reading, written as 0
//   per window, in directory order:
//     u32 section tag, u32 section flags, text, text
//     u32 unit count, u32 unit table length
//     unit table:
//       u32 unit id      [unit count]
//       u32 record offset[unit count]  counted from the end of this list
//       per unit: u32 record length, record data
//
//   record data:
//     u32 kind, u32 link, 16 reserved bytes, ztext name, ztext second name,
//     u32 object slot, i32 left, top, width, height, u32 cursor slot, u32 parent,
//     u32 page count, u32 page entry[page count], u32 cursor picture length + bytes,
//     ztext tag, u32 reserved word, u32 flags, u32 tab order,
//     u32 binding count, (u32 event, u32 handler offset)[binding count],
//     20 reserved bytes, kind data (the rest of the record)
//   menu-item record data (id class 6, category 2):
//     u32 kind, u32 link, 16 reserved bytes, ztext name, ztext second name,
//     u32 object slot, 12 reserved bytes, ztext text, u32 handler offset
//
// Every window section holds at least its own record, which comes first: an id of
// the form 0x06xxxxxx and the window kind.
//
// A valid block is consumed exactly: the records lie one after another in table
// order starting at offset 0 and end at the end of their unit table, a menu-item
// record ends with its handler offset, and nothing follows the last window section.
// For such a block write_template(read_template(b)) == b, except that non-zero
// directory placeholders come back as 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace frame {

inline constexpr uint32_t kNoHandler = 0xFFFFFFFF;
// The kind number of a window's own record: library 1, position 1.
inline constexpr uint32_t kWindowKindNumber = 0x00010001;

struct EventBinding {
  uint32_t event = 0;
  uint32_t handler_offset = kNoHandler;  // relative to the handler base
};

struct UnitRecord {
  uint32_t id = 0;
  uint32_t kind = 0;
  uint32_t link = 0;
  std::array<uint8_t, 16> reserved1{};
  std::string name;
  std::string second_name;
  uint32_t object_slot = 0;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t cursor_slot = 0;
  uint32_t parent = 0;
  std::vector<uint32_t> page_list;
  std::span<const uint8_t> cursor_picture;  // view into the block
  std::string tag;
  uint32_t reserved_word = 0;
  uint32_t flags = 0;
  uint32_t tab_order = 0;
  std::vector<EventBinding> bindings;
  std::array<uint8_t, 20> reserved2{};
  std::span<const uint8_t> kind_data;  // view into the block

  // Only menu-item records use these, in place of everything after object_slot.
  std::array<uint8_t, 12> menu_reserved{};
  std::string menu_text;
  uint32_t menu_handler_offset = kNoHandler;

  bool is_menu_item() const;
  bool visible() const { return flags & 1u; }
  bool disabled() const { return flags & 2u; }
  bool tab_stop() const { return flags & 4u; }
};

struct WindowSection {
  uint32_t id = 0;
  uint32_t tag = 0;
  uint32_t flags = 0;
  std::string text1, text2;
  std::vector<UnitRecord> records;  // records[0] is the window's own record
};

struct WindowTemplate {
  std::vector<WindowSection> windows;
};

enum class TemplateError {
  Truncated,                // a read ran past the end of the block, table or record
  BadDirectoryLength,       // directory length not a multiple of 8
  UnitCountTooLarge,        // unit ids and offsets do not fit the unit table
  RecordOffsetOutOfRange,   // record offset beyond the unit table
  RecordsOverlap,           // record starts before the previous one ends
  RecordGap,                // unused bytes before a record
  RecordLengthOutOfRange,   // record length runs past the unit table
  UnitTableNotFilled,       // unused bytes after the last record
  UnterminatedText,         // zero-terminated text without its 0 inside the record
  CountTooLarge,            // page or binding count larger than its record
  MenuRecordTrailingBytes,  // bytes after a menu item's handler offset
  TrailingData,             // bytes after the last window section
  NoWindowRecord,           // a window section without any record
  FirstRecordNotWindow,     // record 0 is not the window's own record of the window kind
};

const char* describe(TemplateError error);

struct TemplateFailure {
  TemplateError error;
  size_t offset;  // from the start of the block
};

struct TemplateReadResult {
  std::optional<WindowTemplate> value;
  TemplateFailure failure{};  // meaningful only when value is empty
};

// Reads a whole template block. The records' spans point into `block`, which must
// outlive the result. On failure returns no template and the first fault found.
TemplateReadResult read_template(std::span<const uint8_t> block);

// What a template that reads cleanly may still hold that would trouble window
// creation: a unit placed inside itself, directly or through other units.
enum class StructureError {
  ParentLoop,  // following parents from a unit comes back to it
};

const char* describe(StructureError error);

struct StructureFailure {
  StructureError error;
  uint32_t window_id;
  uint32_t unit_id;
};

// The first structural fault of the template's windows, or nothing. The loader
// refuses such a template as it does one that does not read.
std::optional<StructureFailure> check_structure(const WindowTemplate& templ);

// Serializes a template: directory placeholders as 0, lengths and record offsets
// computed. Names, tags and menu texts must not contain a 0 byte.
std::vector<uint8_t> write_template(const WindowTemplate& templ);

}  // namespace frame
