#ifndef KATREL_FASTVECTOR_H
#define KATREL_FASTVECTOR_H

// A growable vector of trivially copyable elements: malloc/realloc storage,
// 4 elements on the first append, doubling afterwards; `clear` keeps the
// storage for reuse.

#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "config/fatal-error.h"

template <typename T>
class fastvector
{
  static_assert(std::is_trivially_copyable<T>::value, "fastvector moves its elements with realloc");

  T*           buf_      = nullptr;
  unsigned int size_     = 0;
  unsigned int capacity_ = 0;

public:
  fastvector() = default;
  fastvector(const fastvector&)            = delete;
  fastvector& operator=(const fastvector&) = delete;
  ~fastvector() { std::free(buf_); }

  // Reallocates to room for exactly n elements (n >= size).
  void set_capacity(unsigned int n)
  {
    if (n == 0)
      return;
    T* p = static_cast<T*>(std::realloc(buf_, static_cast<std::size_t>(n) * sizeof(T)));
    if (!p)
      katrel_failed_realloc();
    buf_      = p;
    capacity_ = n;
  }

  void reserve(unsigned int n)
  {
    if (n > capacity_)
      set_capacity(n);
  }

  void push_back(const T& x)
  {
    if (size_ == capacity_) {
      if (capacity_ == 0)
        set_capacity(4);
      else if (capacity_ >= 0x80000000u) {
        if (capacity_ == UINT32_MAX)
          katrel_too_long();
        set_capacity(UINT32_MAX);
      } else
        set_capacity(capacity_ * 2);
    }
    buf_[size_++] = x;
  }

  // Sets the size; the caller guarantees n <= capacity.
  void resize_within_capacity(unsigned int n) { size_ = n; }

  void clear() { size_ = 0; }

  // Empties the vector and gives its storage back.
  void release()
  {
    std::free(buf_);
    buf_      = nullptr;
    size_     = 0;
    capacity_ = 0;
  }

  unsigned int size() const { return size_; }
  unsigned int capacity() const { return capacity_; }
  bool         empty() const { return size_ == 0; }
  T*           data() { return buf_; }
  const T*     data() const { return buf_; }
  T*           begin() { return buf_; }
  T*           end() { return buf_ + size_; }
  const T*     begin() const { return buf_; }
  const T*     end() const { return buf_ + size_; }
  T&           operator[](unsigned int i) { return buf_[i]; }
  const T&     operator[](unsigned int i) const { return buf_[i]; }
};

#endif
