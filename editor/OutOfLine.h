// A value kept on the heap only once it is written, so that a record with
// fields for many kinds pays for a kind's fields only on objects of that kind.
#pragma once

#include <memory>

namespace brelix {

// Copies deeply and reads as a default `T` while nothing was written. Reading
// through a const view never allocates; any non-const access does, since it
// may be a write.
template <class T>
class OutOfLine {
 public:
  OutOfLine() = default;
  OutOfLine(const OutOfLine& other) : value_(other.value_ ? std::make_unique<T>(*other.value_) : nullptr) {}
  OutOfLine(OutOfLine&&) noexcept = default;
  OutOfLine& operator=(const OutOfLine& other) {
    if (this != &other) value_ = other.value_ ? std::make_unique<T>(*other.value_) : nullptr;
    return *this;
  }
  OutOfLine& operator=(OutOfLine&&) noexcept = default;
  ~OutOfLine() = default;

  const T& operator*() const { return value_ ? *value_ : Default(); }
  const T* operator->() const { return &**this; }
  T& operator*() {
    if (!value_) value_ = std::make_unique<T>();
    return *value_;
  }
  T* operator->() { return &**this; }

  // True once something may have been written.
  bool held() const { return value_ != nullptr; }

 private:
  static const T& Default() {
    static const T value{};
    return value;
  }

  std::unique_ptr<T> value_;
};

}  // namespace brelix
