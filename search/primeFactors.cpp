// The table of distinct proper prime factors for n = 0 .. 10000.
//
// The rows are computed by a sieve that the compiler evaluates; the array is
// then constant-initialised element by element from that result, so it ends
// up in read-only data exactly as if it had been written out by hand.

#include "search/primeFactors.h"

namespace {

struct PrimeFactorTable
{
  unsigned int v[PRIME_FACTORS_ROWS][PRIME_FACTORS_COLS];
};

// For every p in increasing order: p is prime exactly when no smaller prime
// has been entered into its row; then p is appended to the rows of all its
// proper multiples. Rows therefore list their primes in ascending order, and
// the rows of 0, 1 and of the primes stay empty.
constexpr PrimeFactorTable make_prime_factor_table()
{
  PrimeFactorTable t{};
  unsigned int used[PRIME_FACTORS_ROWS]{};
  for (unsigned int p = 2; p < PRIME_FACTORS_ROWS; ++p) {
    if (used[p] != 0)
      continue;
    for (unsigned int m = 2 * p; m < PRIME_FACTORS_ROWS; m += p)
      t.v[m][used[m]++] = p;
  }
  return t;
}

constexpr PrimeFactorTable kTable = make_prime_factor_table();

// The sixth word ends every row.
constexpr bool last_column_is_zero()
{
  for (unsigned int n = 0; n < PRIME_FACTORS_ROWS; ++n)
    if (kTable.v[n][PRIME_FACTORS_COLS - 1] != 0)
      return false;
  return true;
}
static_assert(last_column_is_zero(), "a row of primeFactors has six prime factors");
static_assert(kTable.v[2310][4] == 11 && kTable.v[9699][2] == 61, "primeFactors sieve is wrong");

} // namespace

#define KATREL_PF_ROW(n) \
  { kTable.v[n][0], kTable.v[n][1], kTable.v[n][2], kTable.v[n][3], kTable.v[n][4], kTable.v[n][5] }
#define KATREL_PF_ROWS10(n)                                                                       \
  KATREL_PF_ROW(10 * (n) + 0), KATREL_PF_ROW(10 * (n) + 1), KATREL_PF_ROW(10 * (n) + 2),          \
    KATREL_PF_ROW(10 * (n) + 3), KATREL_PF_ROW(10 * (n) + 4), KATREL_PF_ROW(10 * (n) + 5),        \
    KATREL_PF_ROW(10 * (n) + 6), KATREL_PF_ROW(10 * (n) + 7), KATREL_PF_ROW(10 * (n) + 8),        \
    KATREL_PF_ROW(10 * (n) + 9)
#define KATREL_PF_ROWS100(n)                                                                      \
  KATREL_PF_ROWS10(10 * (n) + 0), KATREL_PF_ROWS10(10 * (n) + 1), KATREL_PF_ROWS10(10 * (n) + 2), \
    KATREL_PF_ROWS10(10 * (n) + 3), KATREL_PF_ROWS10(10 * (n) + 4),                               \
    KATREL_PF_ROWS10(10 * (n) + 5), KATREL_PF_ROWS10(10 * (n) + 6),                               \
    KATREL_PF_ROWS10(10 * (n) + 7), KATREL_PF_ROWS10(10 * (n) + 8), KATREL_PF_ROWS10(10 * (n) + 9)
#define KATREL_PF_ROWS1000(n)                                                                         \
  KATREL_PF_ROWS100(10 * (n) + 0), KATREL_PF_ROWS100(10 * (n) + 1), KATREL_PF_ROWS100(10 * (n) + 2),  \
    KATREL_PF_ROWS100(10 * (n) + 3), KATREL_PF_ROWS100(10 * (n) + 4),                                 \
    KATREL_PF_ROWS100(10 * (n) + 5), KATREL_PF_ROWS100(10 * (n) + 6),                                 \
    KATREL_PF_ROWS100(10 * (n) + 7), KATREL_PF_ROWS100(10 * (n) + 8), KATREL_PF_ROWS100(10 * (n) + 9)

static_assert(PRIME_FACTORS_ROWS == 10001, "the row macros below produce rows 0 .. 10000");

const unsigned int primeFactors[PRIME_FACTORS_ROWS][PRIME_FACTORS_COLS] = {
  KATREL_PF_ROWS1000(0), KATREL_PF_ROWS1000(1), KATREL_PF_ROWS1000(2), KATREL_PF_ROWS1000(3),
  KATREL_PF_ROWS1000(4), KATREL_PF_ROWS1000(5), KATREL_PF_ROWS1000(6), KATREL_PF_ROWS1000(7),
  KATREL_PF_ROWS1000(8), KATREL_PF_ROWS1000(9), KATREL_PF_ROW(10000)
};

#undef KATREL_PF_ROW
#undef KATREL_PF_ROWS10
#undef KATREL_PF_ROWS100
#undef KATREL_PF_ROWS1000
