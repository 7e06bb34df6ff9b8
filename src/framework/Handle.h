#pragma once
// The owner of one operating-system handle: it closes the handle when it goes
// or is given another, moves but never copies, and hands the handle back
// with Release. A traits type per kind of handle says what value means
// "none" and how a handle is closed.

#include <utility>

template <class Traits>
class THandle {
public:
  using TValue = typename Traits::TValue;

  THandle() = default;
  explicit THandle(TValue value) : FValue(value) {}
  THandle(THandle&& other) noexcept : FValue(other.Release()) {}
  THandle& operator=(THandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  ~THandle() { Reset(); }

  TValue Get() const { return FValue; }
  bool Valid() const { return FValue != Traits::None(); }
  explicit operator bool() const { return Valid(); }

  // Closes the handle held, if any, and takes the new one.
  void Reset(TValue value = Traits::None()) {
    if (Valid()) Traits::Close(FValue);
    FValue = value;
  }
  TValue Release() { return std::exchange(FValue, Traits::None()); }
  // For calls that return a handle through a pointer: closes the one held first.
  TValue* Receive() {
    Reset();
    return &FValue;
  }

private:
  TValue FValue = Traits::None();
};
