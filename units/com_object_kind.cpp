#include "units/com_object_kind.h"

#include "frame/com_instance.h"
#include "units/unit_libraries.h"

namespace units {

const frame::KindDescriptor kComObjectKind = KindAdapter<ComObjectUnit, kComObjectNames>::descriptor();

bool ComObjectUnit::create_native_window(const frame::CreateParams&) {
  make_object();
  return true;
}

void ComObjectUnit::apply(Effect effect, int) {
  if (effect == Effect::object) make_object();
}

void ComObjectUnit::make_object() {
  object_.reset();
  if (!properties_.class_name.empty()) object_ = frame::instance_from_class(properties_.class_name);
}

}  // namespace units
