// Fixed arrays with their own index bounds (a bin array runs 1 to 24, a month array 1 to
// 12), so formulas index them the way the records number their elements. Every access is
// checked: an index outside the bounds raises run-time error 9 (Subscript out of range)
// instead of touching memory.
//
//   vb::Array<float, 1, 24> fBinDB;                 fBinDB(b)
//   vb::Array2<float, 1, 12, 1, 24> fMonthBinMCWB;  fMonthBinMCWB(m, b)
//
// Two-dimensional arrays keep their elements with the first index varying fastest, the
// order in which the stored records hold them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "libs/vb/vberror.h"

namespace vb {

// A Boolean as the stored records keep it: a 16-bit integer, True = -1, False = 0.
// Any non-zero value counts as True when tested.
using Boolean = std::int16_t;
inline constexpr Boolean kTrue = -1;
inline constexpr Boolean kFalse = 0;
inline constexpr Boolean ToBoolean(bool b) { return b ? kTrue : kFalse; }

template <class T, long Lo, long Hi>
class Array {
  static_assert(Hi >= Lo, "empty array");

 public:
  using value_type = T;
  static constexpr long kLower = Lo;
  static constexpr long kUpper = Hi;
  static constexpr std::size_t kCount = static_cast<std::size_t>(Hi - Lo + 1);

  static constexpr long LBound() { return Lo; }
  static constexpr long UBound() { return Hi; }
  static constexpr std::size_t size() { return kCount; }

  T& operator()(long i) { return data_[Slot(i)]; }
  const T& operator()(long i) const { return data_[Slot(i)]; }

  // Element access in storage order, without bounds (for loops over every element).
  T* begin() { return data_.data(); }
  T* end() { return data_.data() + kCount; }
  const T* begin() const { return data_.data(); }
  const T* end() const { return data_.data() + kCount; }

  void fill(const T& v) { data_.fill(v); }
  bool operator==(const Array&) const = default;

 private:
  static std::size_t Slot(long i) {
    if (i < Lo || i > Hi) Raise(kSubscriptOutOfRange);
    return static_cast<std::size_t>(i - Lo);
  }
  std::array<T, kCount> data_{};
};

template <class T, long Lo1, long Hi1, long Lo2, long Hi2>
class Array2 {
  static_assert(Hi1 >= Lo1 && Hi2 >= Lo2, "empty array");

 public:
  using value_type = T;
  static constexpr std::size_t kCount1 = static_cast<std::size_t>(Hi1 - Lo1 + 1);
  static constexpr std::size_t kCount2 = static_cast<std::size_t>(Hi2 - Lo2 + 1);
  static constexpr std::size_t kCount = kCount1 * kCount2;

  static constexpr long LBound(int dim) { return dim == 1 ? Lo1 : Lo2; }
  static constexpr long UBound(int dim) { return dim == 1 ? Hi1 : Hi2; }
  static constexpr std::size_t size() { return kCount; }

  T& operator()(long i, long j) { return data_[Slot(i, j)]; }
  const T& operator()(long i, long j) const { return data_[Slot(i, j)]; }

  // Elements in storage order (first index fastest).
  T* begin() { return data_.data(); }
  T* end() { return data_.data() + kCount; }
  const T* begin() const { return data_.data(); }
  const T* end() const { return data_.data() + kCount; }

  void fill(const T& v) { data_.fill(v); }
  bool operator==(const Array2&) const = default;

 private:
  static std::size_t Slot(long i, long j) {
    if (i < Lo1 || i > Hi1 || j < Lo2 || j > Hi2) Raise(kSubscriptOutOfRange);
    return static_cast<std::size_t>(i - Lo1) + static_cast<std::size_t>(j - Lo2) * kCount1;
  }
  std::array<T, kCount> data_{};
};

}  // namespace vb
