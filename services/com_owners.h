#pragma once
// Owners for COM interfaces, VARIANTs, BSTRs and the descriptions a type compiler
// hands out, so that every path through the automation services gives each back.
#include <windows.h>
// After windows.h, which they need.
#include <oaidl.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/com_ptr.h"

namespace services {

using frame::com_ptr;

// A VARIANT cleared when it goes.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }

 private:
  VARIANT value_;
};

// A zeroed array of VARIANTs, every element cleared when it goes.
class VariantArray {
 public:
  explicit VariantArray(size_t count) : values_(count) {
    for (VARIANT& value : values_) VariantInit(&value);
  }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;
  ~VariantArray() {
    for (VARIANT& value : values_) VariantClear(&value);
  }

  VARIANT* data() { return values_.data(); }
  VARIANT& operator[](size_t index) { return values_[index]; }
  size_t size() const { return values_.size(); }

 private:
  std::vector<VARIANT> values_;
};

// The type attributes of a type description, given back to it when they go.
class TypeAttributes {
 public:
  explicit TypeAttributes(ITypeInfo* info) : info_(info) {
    if (FAILED(info->GetTypeAttr(&attributes_))) attributes_ = nullptr;
  }
  TypeAttributes(const TypeAttributes&) = delete;
  TypeAttributes& operator=(const TypeAttributes&) = delete;
  ~TypeAttributes() {
    if (attributes_ != nullptr) info_->ReleaseTypeAttr(attributes_);
  }

  const TYPEATTR* get() const { return attributes_; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attributes_ = nullptr;
};

}  // namespace services
