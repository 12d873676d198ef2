#ifndef KATREL_FASTSTRING_H
#define KATREL_FASTSTRING_H

// A growable byte buffer with explicit size and capacity. The storage comes
// from malloc/realloc, starts empty, grows to 4 bytes on the first append and
// doubles afterwards; `clear` keeps it, so one buffer serves every record.
// The bytes are not NUL-terminated except right after `c_str`.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/fatal-error.h"

class faststring
{
  char*        buf_      = nullptr;
  unsigned int size_     = 0;
  unsigned int capacity_ = 0;

  // Reallocates to exactly `n` bytes (n > 0).
  void set_capacity(unsigned int n)
  {
    char* p = static_cast<char*>(std::realloc(buf_, n));
    if (!p)
      katrel_failed_realloc();
    buf_      = p;
    capacity_ = n;
  }

  void grow()
  {
    if (capacity_ == 0)
      set_capacity(4);
    else if (capacity_ >= 0x80000000u) {
      if (capacity_ == UINT32_MAX)
        katrel_too_long();
      set_capacity(UINT32_MAX);
    } else
      set_capacity(capacity_ * 2);
  }

public:
  faststring() = default;
  faststring(const faststring&)            = delete;
  faststring& operator=(const faststring&) = delete;
  ~faststring() { std::free(buf_); }

  void push_back(char c)
  {
    if (size_ == capacity_)
      grow();
    buf_[size_++] = c;
  }

  // Makes room for n bytes plus a terminating NUL.
  void reserve(unsigned int n)
  {
    if (n == UINT32_MAX)
      katrel_too_long();
    if (n + 1 > capacity_)
      set_capacity(n + 1);
  }

  const char* c_str()
  {
    if (size_ == capacity_) {
      if (size_ == UINT32_MAX)
        katrel_too_long();
      set_capacity(size_ + 1);
    }
    buf_[size_] = '\0';
    return buf_;
  }

  void assign(const char* first, const char* last)
  {
    std::size_t n = static_cast<std::size_t>(last - first);
    if (n >= UINT32_MAX)
      katrel_too_long();
    size_ = static_cast<unsigned int>(n);
    if (n) {
      reserve(size_);
      std::memcpy(buf_, first, n);
    }
  }

  void append(const char* first, const char* last)
  {
    while (first != last)
      push_back(*first++);
  }

  void clear() { size_ = 0; }

  // Sets the size; the caller guarantees n <= capacity and has written the
  // bytes up to n through data() (bulk appends that bypass push_back).
  void resize_within_capacity(unsigned int n) { size_ = n; }

  unsigned int size() const { return size_; }
  unsigned int capacity() const { return capacity_; }
  bool         empty() const { return size_ == 0; }
  char*        data() { return buf_; }
  const char*  data() const { return buf_; }
  char*        begin() { return buf_; }
  char*        end() { return buf_ + size_; }
  const char*  begin() const { return buf_; }
  const char*  end() const { return buf_ + size_; }
  char&        operator[](unsigned int i) { return buf_[i]; }
  char         operator[](unsigned int i) const { return buf_[i]; }
};

#endif
