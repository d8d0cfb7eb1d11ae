#pragma once
// Reading and writing unit properties by (window id, unit id, property number).
// Numbers 0 to 7 are common to every unit and kept by the frame; from 8 on they are
// the kind's own, handed to it through its interface function. Both work from any
// thread: a call from another thread runs on the window's thread while the caller
// waits, so a painter never sees a value half written.
#include <cstdint>

namespace frame {

enum CommonProperty : int {
  kPropertyLeft = 0,
  kPropertyTop = 1,
  kPropertyWidth = 2,
  kPropertyHeight = 3,
  kPropertyTag = 4,
  kPropertyVisible = 5,
  kPropertyDisabled = 6,
  kPropertyMouseCursor = 7,
  kFirstKindProperty = 8,
};

// The whole value of a font property (index -1), as a record on the frame heap.
struct FontRecord {
  int32_t angle;  // tenths of a degree
  int32_t bold;
  int32_t italic;
  int32_t strike_out;
  int32_t underline;
  int32_t points;
  char* face_name;
};

// Index -1 reads or writes the whole value; 0 to 6 one attribute of a font property.
// Texts, byte arrays and font records read are new frame-heap blocks the caller frees.
uint64_t read_property(uint32_t window_id, uint32_t unit_id, int number, int index);
void write_property(uint32_t window_id, uint32_t unit_id, int number, int index, uint32_t low, uint32_t high);

// Gives the keyboard focus to a shown unit, from any thread; a hidden or unknown
// unit, or one not created yet, leaves the focus where it is.
void focus_unit(uint32_t window_id, uint32_t unit_id);
// Tells a created unit which role (an oleacc ROLE_SYSTEM_ number) to present to
// assistive technology in place of its kind's own; a kind without another
// presentation ignores it, as does an unknown unit.
void set_accessible_role(uint32_t window_id, uint32_t unit_id, int32_t role);

}  // namespace frame
