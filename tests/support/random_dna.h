#ifndef KATREL_TESTS_RANDOM_DNA_H
#define KATREL_TESTS_RANDOM_DNA_H

// Random sequence and diverged tandem arrays for the property tests.

#include <random>
#include <string>

namespace katrel_test {

inline std::string random_dna(std::mt19937& g, std::size_t n)
{
  std::string s(n, 'A');
  for (char& c : s)
    c = "ACGT"[g() % 4];
  return s;
}

// Copies of `unit` until `length` letters, each letter mutated at `rate`
// (80 % substitutions by another letter, 10 % deletions, 10 % insertions
// of a random letter), with a run of 1 to 4 Ns after about one copy in 60
// when `Ns` is set.
inline std::string diverged_array(std::mt19937& g, const std::string& unit, std::size_t length, double rate,
                                  bool Ns)
{
  static const std::string               ACGT = "ACGT";
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::string                            s;
  while (s.size() < length) {
    for (char c : unit) {
      if (u(g) >= rate) {
        s += c;
        continue;
      }
      const double r = u(g);
      if (r < 0.8)
        s += ACGT[(ACGT.find(c) + 1 + g() % 3) % 4];
      else if (r >= 0.9) {
        s += c;
        s += ACGT[g() % 4];
      }
    }
    if (Ns && g() % 60 == 0)
      s.append(1 + g() % 4, 'N');
  }
  return s;
}

} // namespace katrel_test

#endif
