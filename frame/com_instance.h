#pragma once
// Making an instance of a COM class from the name a layout or a handler gives it.
#include <objbase.h>

#include <string_view>

#include "frame/com_ptr.h"

namespace frame {

// An instance of the class named by its ProgID ("WScript.Shell") or by its class id
// in braces (GBK); empty when the class is unknown or cannot be made.
com_ptr<IUnknown> instance_from_class(std::string_view class_name);

}  // namespace frame
