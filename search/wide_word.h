#ifndef KATREL_WIDE_WORD_H
#define KATREL_WIDE_WORD_H

// An unsigned integer of 64 * N bits with the few operations the seed bound
// applies to its phase sets: shifts, bitwise and, or and not, subtracting a
// small number, and the test for zero. Word 0 holds the lowest bits.

#include <cstdint>

template <unsigned N>
struct WideWord
{
  std::uint64_t w[N];

  WideWord() = default;
  WideWord(std::uint64_t v) : w{v} {}  // NOLINT: converts like an integer

  explicit operator bool() const
  {
    std::uint64_t any = 0;
    for (unsigned i = 0; i < N; ++i)
      any |= w[i];
    return any != 0;
  }

  friend WideWord operator<<(const WideWord& a, unsigned s)
  {
    WideWord       r;
    const unsigned q = s / 64, b = s % 64;
    for (unsigned i = N; i-- > 0;) {
      std::uint64_t v = 0;
      if (i >= q) {
        v = a.w[i - q] << b;
        if (b && i > q)
          v |= a.w[i - q - 1] >> (64 - b);
      }
      r.w[i] = v;
    }
    return r;
  }

  friend WideWord operator>>(const WideWord& a, unsigned s)
  {
    WideWord       r;
    const unsigned q = s / 64, b = s % 64;
    for (unsigned i = 0; i < N; ++i) {
      std::uint64_t v = 0;
      if (i + q < N) {
        v = a.w[i + q] >> b;
        if (b && i + q + 1 < N)
          v |= a.w[i + q + 1] << (64 - b);
      }
      r.w[i] = v;
    }
    return r;
  }

  friend WideWord operator-(const WideWord& a, std::uint64_t v)
  {
    WideWord r = a;
    for (unsigned i = 0; i < N && v; ++i) {
      const std::uint64_t before = r.w[i];
      r.w[i] -= v;
      v = r.w[i] > before ? 1 : 0;  // borrow
    }
    return r;
  }

  friend WideWord operator&(WideWord a, const WideWord& b) { return a &= b; }
  friend WideWord operator|(WideWord a, const WideWord& b) { return a |= b; }

  WideWord operator~() const
  {
    WideWord r;
    for (unsigned i = 0; i < N; ++i)
      r.w[i] = ~w[i];
    return r;
  }

  WideWord& operator&=(const WideWord& b)
  {
    for (unsigned i = 0; i < N; ++i)
      w[i] &= b.w[i];
    return *this;
  }

  WideWord& operator|=(const WideWord& b)
  {
    for (unsigned i = 0; i < N; ++i)
      w[i] |= b.w[i];
    return *this;
  }
};

#endif
