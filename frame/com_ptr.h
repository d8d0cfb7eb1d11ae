#pragma once
// The owner of one COM interface reference, for every layer that holds one.
#include <utility>

namespace frame {

// One reference to an interface; moving hands the reference on.
template <typename Interface>
class com_ptr {
 public:
  com_ptr() = default;
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;
  com_ptr(com_ptr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    reset();
    pointer_ = std::exchange(other.pointer_, nullptr);
    return *this;
  }
  ~com_ptr() { reset(); }

  // Takes over a reference the caller already holds.
  static com_ptr attach(Interface* pointer) {
    com_ptr owner;
    owner.pointer_ = pointer;
    return owner;
  }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  Interface* detach() { return std::exchange(pointer_, nullptr); }
  void reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }
  // For out-parameters: the old reference is given back first.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace frame
