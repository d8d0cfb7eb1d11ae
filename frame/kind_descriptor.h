#pragma once
// A unit kind as the frame sees it: a static descriptor of 14 fields, reached through
// the library's kind table, whose interface function hands out the kind's entry
// points by request number.
#include <windows.h>
#include <cstdint>

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

// The frame's single notification entry point, handed to each library at start-up.
using NotifyEntry = intptr_t (*)(int request, intptr_t first, intptr_t second);

struct UnitLibrary {
  const KindDescriptor* const* kinds;  // position n (1-based) at index n - 1; null = none
  uint32_t kind_count;
  intptr_t (*notify)(int request, intptr_t first, intptr_t second);
};

}  // namespace frame
