#include "report/CDnaString.h"

#include <cstring>

#include "search/primeFactors.h"

namespace {

char complement(char c)
{
  switch (c) {
    case 'A': return 'T';
    case 'C': return 'G';
    case 'G': return 'C';
    case 'T': return 'A';
    case 'N': return 'N';
    case 'B': return 'V';
    case 'V': return 'B';
    case 'D': return 'H';
    case 'H': return 'D';
    case 'K': return 'M';
    case 'M': return 'K';
    case 'R': return 'Y';
    case 'Y': return 'R';
    default:  return '?';
  }
}

// The unit written twice in a row: the rotation starting at offset i is the
// n bytes from i. Reused from call to call; the report runs in one thread.
faststring& rotation_buffer()
{
  static faststring buf;
  return buf;
}

// Sets dst to the smallest rotation of the n bytes at src; returns true when
// a rotation other than the first equals the smallest one.
bool smallest_rotation(faststring& dst, const char* src, unsigned int n)
{
  if (n == 0) {
    dst.clear();
    return false;
  }
  faststring& twice = rotation_buffer();
  twice.clear();
  twice.reserve(2 * n);
  twice.append(src, src + n);
  twice.append(src, src + n);
  const char* b = twice.data();

  unsigned int best     = 0;
  bool         periodic = false;
  for (unsigned int i = 1; i < n; ++i) {
    int cmp = std::memcmp(b + i, b + best, n);
    if (cmp < 0)
      best = i;
    else if (cmp == 0)
      periodic = true;
  }
  dst.assign(b + best, b + best + n);
  return periodic;
}

} // namespace

void CDnaString::setToReverseComplementOf(CDnaString const& src)
{
  if (&src == this) {
    char* l = data();
    char* r = data() + size();
    while (l < r) {
      --r;
      char t = complement(*l);
      *l     = complement(*r);
      *r     = t;
      ++l;
    }
    return;
  }
  reserve(src.size() + 1);
  clear();
  for (unsigned int i = src.size(); i > 0; --i)
    push_back(complement(src[i - 1]));
}

bool CDnaString::setToMinAlphaRepModCyclicPermOf(CDnaString const& src)
{
  // smallest_rotation copies src into its own buffer first, so src may be *this.
  return smallest_rotation(*this, src.data(), src.size());
}

bool CDnaString::setToMinAlphaRepModRevCompAndCyclicPermOf(CDnaString const& src)
{
  static CDnaString rc;
  static CDnaString own_copy;
  const CDnaString* s = &src;
  if (s == this) {
    own_copy.assign(begin(), end());
    s = &own_copy;
  }
  rc.setToReverseComplementOf(*s);
  bool periodic = setToMinAlphaRepModCyclicPermOf(rc);
  rc.setToMinAlphaRepModCyclicPermOf(*s);
  if (std::memcmp(data(), rc.data(), size()) > 0)
    assign(rc.begin(), rc.end());
  return periodic;
}

namespace {

// True when the L characters at unit are p equal blocks of L / p characters.
bool is_p_copies(const char* unit, unsigned int L, unsigned int p)
{
  const unsigned int block = L / p;
  for (unsigned int b = 0; b + 1 < p; ++b)
    if (std::memcmp(unit + b * block, unit + (b + 1) * block, block) != 0)
      return false;
  return true;
}

} // namespace

bool unit_is_periodic_by_prime_factors(const char* unit, unsigned int L)
{
  if (L < PRIME_FACTORS_ROWS) {
    const unsigned int* row = primeFactors[L];
    for (unsigned int j = 0; j < PRIME_FACTORS_COLS && row[j] != 0; ++j)
      if (is_p_copies(unit, L, row[j]))
        return true;
    return false;
  }

  // Longer than the table reaches (the command line does not allow such
  // units): find the distinct prime factors below L by trial division.
  unsigned int m = L;
  for (unsigned int p = 2; p <= m / p; ++p) {
    if (m % p != 0)
      continue;
    if (is_p_copies(unit, L, p))
      return true;
    while (m % p == 0)
      m /= p;
  }
  return m > 1 && m < L && is_p_copies(unit, L, m);
}
