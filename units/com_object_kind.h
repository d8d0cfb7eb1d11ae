#pragma once
// The automation object kind: a unit without a window that holds the object its
// class names, made when the unit is and again when the class changes. It takes no
// part in stacking, visibility or geometry; the frame keeps its common properties.
#include <unknwn.h>
#include <windows.h>

#include "frame/com_ptr.h"
#include "units/com_object_block.h"
#include "units/kind_adapter.h"

namespace units {

class ComObjectUnit : public KindUnit<ComObjectBlock, ComObjectEffect, kComObjectProperties, decode_com_object_block> {
 public:
  ComObjectUnit(ComObjectBlock block, const frame::CreateParams&) : KindUnit(std::move(block)) {}

  // Always succeeds: a class that cannot be made leaves the unit without an object.
  bool create_native_window(const frame::CreateParams&);
  void apply(Effect effect, int);
  bool windowless() const override { return true; }

  // The object the class made, or null.
  IUnknown* object() const { return object_.get(); }

 private:
  void make_object();

  frame::com_ptr<IUnknown> object_;
};

}  // namespace units
