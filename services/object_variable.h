#pragma once
// An automation-object variable as a caller of the object services keeps one: an
// object record on the frame heap, emptied through the clear-object service and
// freed when it goes.
#include <cstdint>

#include "frame/frame_heap.h"
#include "services/com_object.h"
#include "services/service_call.h"

namespace services {

class ObjectVariable {
 public:
  ObjectVariable() : record_(static_cast<ObjectRecord*>(frame::heap_allocate(sizeof(ObjectRecord)))) { *record_ = {}; }
  ObjectVariable(const ObjectVariable&) = delete;
  ObjectVariable& operator=(const ObjectVariable&) = delete;
  ~ObjectVariable() {
    clear();
    frame::heap_free(record_);
  }

  // The variable as the services take it.
  TypedValue value() const { return {static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record_)), 0, kTypeObject}; }
  ObjectRecord& record() { return *record_; }
  bool empty() const { return call_service(object_empty_service, value()).low != 0; }
  void clear() const { call_service(clear_object_service, value()); }

  // Takes over an object record the object-method service returned, releasing what
  // the variable held.
  void assign(const TypedValue& result) {
    auto* taken = reinterpret_cast<ObjectRecord*>(static_cast<uintptr_t>(result.low));
    clear();
    *record_ = *taken;
    frame::heap_free(taken);
  }

 private:
  ObjectRecord* record_;
};

}  // namespace services
