#pragma once
// A unit kind as the frame sees it: a static descriptor of 14 fields, reached through
// the library's kind table, whose interface function hands out the kind's entry
// points by request number.
#include <windows.h>
#include <cstdint>

#include "frame/property_types.h"

namespace frame {

class UnitObject;

// Requests a kind's interface function answers.
enum KindRequest : int {
  kRequestCreate = 1,
  kRequestSetProperty = 4,
  kRequestSaveBlock = 5,
  kRequestGetProperty = 6,
  kRequestIconData = 7,
  kRequestTextVisit = 9,
};

// State flags the frame looks at.
enum KindStateFlag : uint32_t {
  kKindRaisesEventsA = 0x04,
  kKindRaisesEventsB = 0x40,
  kKindHasPages = 0x100,
  kKindNeverStartsVisible = 0x8000,
  kKindDragsWindow = 0x04000000,
};

struct PropertyInfo {
  const char* name;
  const char* english_name;
  const char* description;
  uint32_t type;
  uint32_t flags;
};

using KindInterface = void* (*)(int request);

struct KindDescriptor {
  const char* display_name;
  const char* english_name;
  const char* description;
  uint32_t command_count;
  const void* commands;
  uint32_t state_flags;
  uint32_t picture_id;
  uint32_t event_count;
  const void* events;
  uint32_t property_count;
  const PropertyInfo* properties;
  KindInterface interface_function;
  uint32_t element_count;
  const void* elements;

  bool raises_events() const { return (state_flags & (kKindRaisesEventsA | kKindRaisesEventsB)) != 0; }
};

// What request 1 hands out. For the window kind `parent` is 0 and `owner` its owner;
// for units both are the window that holds them.
struct CreateParams {
  HWND parent;
  const uint8_t* data;
  uint32_t data_length;
  DWORD extra_style;
  HWND owner;
  UINT control_id;
  HMENU menu;
  int left, top, width, height;
  uint32_t window_id;
  uint32_t unit_id;
};
using CreateFunction = UnitObject* (*)(const CreateParams& params);

// A property value between the frame and a kind: integers in the two words; texts,
// byte arrays and fonts as bytes (a text without its terminator).
struct PropertyValue {
  uint32_t low = 0;
  uint32_t high = 0;
  const void* data = nullptr;
  uint32_t length = 0;
};
// Request 6: fills `value` with the kind property `index` (slot - 8) of `unit`.
using GetPropertyFunction = void (*)(void* reserved, UnitObject* unit, int index, PropertyValue* value);
// Request 4: applies `value` to the kind property `index`; kRebuildUnit (1) asks the
// frame to rebuild the unit from its updated property block.
inline constexpr int kRebuildUnit = 1;
using SetPropertyFunction = int (*)(UnitObject* unit, UnitObject* same_unit, int index, const PropertyValue* value,
                                    int reserved);

// Request 5: the unit's property block as it stands, as a byte array on the frame
// heap that the caller frees.
using SaveBlockFunction = uint8_t* (*)(UnitObject* unit);
// Request 7: the icon bytes a stored property block holds, as a byte array on the
// frame heap; null for a block the kind cannot read.
using IconDataFunction = uint8_t* (*)(const uint8_t* block, uint32_t length);
// Request 9: hands each text of a stored property block to `visit`, which answers
// the text to keep in its place (the same pointer keeps it unchanged), and returns
// the block written again, as a byte array on the frame heap; null for a block the
// kind cannot read.
using TextVisitor = const char* (*)(void* context, const char* text);
using TextVisitFunction = uint8_t* (*)(const uint8_t* block, uint32_t length, TextVisitor visit, void* context);

// The frame's single notification entry point, handed to each library at start-up.
using NotifyEntry = intptr_t (*)(int request, intptr_t first, intptr_t second);

struct UnitLibrary {
  const KindDescriptor* const* kinds;  // position n (1-based) at index n - 1; null = none
  uint32_t kind_count;
  intptr_t (*notify)(int request, intptr_t first, intptr_t second);
};

}  // namespace frame
