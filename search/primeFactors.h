#ifndef KATREL_PRIMEFACTORS_H
#define KATREL_PRIMEFACTORS_H

// primeFactors[n] lists the distinct primes p < n that divide n, ascending,
// padded with 0; rows of 0, 1 and of every prime are all zero. Covers n up
// to 10000, where no number has more than five distinct prime factors, so
// the sixth word of every row is 0.

constexpr unsigned int PRIME_FACTORS_ROWS = 10001;
constexpr unsigned int PRIME_FACTORS_COLS = 6;

extern const unsigned int primeFactors[PRIME_FACTORS_ROWS][PRIME_FACTORS_COLS];

#endif
