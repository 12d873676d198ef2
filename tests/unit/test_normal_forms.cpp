// Unit normal forms (reverse complement, smallest cyclic permutation with and
// without the reverse complement, the periodicity flag), the prime-factor
// periodicity test, and the primeFactors table.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/CDnaString.h"
#include "search/primeFactors.h"

namespace {

void set(CDnaString& d, const std::string& s) { d.assign(s.data(), s.data() + s.size()); }

std::string str(const CDnaString& d) { return std::string(d.data(), d.size()); }

std::string revcomp(const std::string& s)
{
  CDnaString a, b;
  set(a, s);
  b.setToReverseComplementOf(a);
  return str(b);
}

std::pair<std::string, bool> min_cyclic(const std::string& s)
{
  CDnaString a, b;
  set(a, s);
  bool periodic = b.setToMinAlphaRepModCyclicPermOf(a);
  return {str(b), periodic};
}

std::pair<std::string, bool> min_with_revcomp(const std::string& s)
{
  CDnaString a, b;
  set(a, s);
  bool periodic = b.setToMinAlphaRepModRevCompAndCyclicPermOf(a);
  return {str(b), periodic};
}

using Result = std::pair<std::string, bool>;

TEST(ReverseComplement, TableAndOrder)
{
  EXPECT_EQ(revcomp("ACGTN"), "NACGT");
  EXPECT_EQ(revcomp("S"), "?");
  EXPECT_EQ(revcomp("BVDHKMRY"), "RYKMDHBV");
  EXPECT_EQ(revcomp("acgt"), "????");  // lower case is not in the table
  EXPECT_EQ(revcomp(""), "");
}

TEST(ReverseComplement, IntoItselfAndReusedTarget)
{
  CDnaString a;
  set(a, "AACGTTG");
  a.setToReverseComplementOf(a);
  EXPECT_EQ(str(a), "CAACGTT");
  set(a, "ACG");
  a.setToReverseComplementOf(a);
  EXPECT_EQ(str(a), "CGT");

  // A longer previous content does not leak into a shorter result.
  CDnaString src, dst;
  set(dst, "GGGGGGGGGG");
  set(src, "AC");
  dst.setToReverseComplementOf(src);
  EXPECT_EQ(str(dst), "GT");
}

TEST(MinCyclicPermutation, ExamplesAndPeriodicity)
{
  EXPECT_EQ(min_cyclic("CA"), Result("AC", false));
  EXPECT_EQ(min_cyclic("TGA"), Result("ATG", false));
  EXPECT_EQ(min_cyclic("ATAT"), Result("ATAT", true));
  EXPECT_EQ(min_cyclic("TATA"), Result("ATAT", true));
  EXPECT_EQ(min_cyclic("A"), Result("A", false));
  EXPECT_EQ(min_cyclic("N"), Result("N", false));
  EXPECT_EQ(min_cyclic("GCGCGC"), Result("CGCGCG", true));
  EXPECT_EQ(min_cyclic("CAGCAG"), Result("AGCAGC", true));
  EXPECT_EQ(min_cyclic("AACAAG"), Result("AACAAG", false));
  EXPECT_EQ(min_cyclic("AAGAAC"), Result("AACAAG", false));
  EXPECT_EQ(min_cyclic("AA"), Result("AA", true));
  // N sorts between G and T.
  EXPECT_EQ(min_cyclic("TNG"), Result("GTN", false));
  EXPECT_EQ(min_cyclic("TN"), Result("NT", false));
}

TEST(MinCyclicPermutation, IntoItself)
{
  CDnaString a;
  set(a, "TGCA");
  EXPECT_FALSE(a.setToMinAlphaRepModCyclicPermOf(a));
  EXPECT_EQ(str(a), "ATGC");
}

TEST(MinWithReverseComplement, Examples)
{
  EXPECT_EQ(min_with_revcomp("GT"), Result("AC", false));
  EXPECT_EQ(min_with_revcomp("TG"), Result("AC", false));
  EXPECT_EQ(min_with_revcomp("CA"), Result("AC", false));
  EXPECT_EQ(min_with_revcomp("AC"), Result("AC", false));
  EXPECT_EQ(min_with_revcomp("AAG"), Result("AAG", false));
  EXPECT_EQ(min_with_revcomp("CTT"), Result("AAG", false));
  EXPECT_EQ(min_with_revcomp("TTC"), Result("AAG", false));
  EXPECT_EQ(min_with_revcomp("ATAT"), Result("ATAT", true));
  EXPECT_EQ(min_with_revcomp("CGCG"), Result("CGCG", true));
  EXPECT_EQ(min_with_revcomp("A"), Result("A", false));
  EXPECT_EQ(min_with_revcomp("T"), Result("A", false));
  EXPECT_EQ(min_with_revcomp("G"), Result("C", false));
}

TEST(MinWithReverseComplement, IntoItself)
{
  CDnaString a;
  set(a, "TTC");
  EXPECT_FALSE(a.setToMinAlphaRepModRevCompAndCyclicPermOf(a));
  EXPECT_EQ(str(a), "AAG");
}

TEST(PrimeFactorPeriodicity, Units)
{
  auto periodic = [](const std::string& u) {
    return unit_is_periodic_by_prime_factors(u.data(), static_cast<unsigned int>(u.size()));
  };
  EXPECT_TRUE(periodic("ATAT"));
  EXPECT_FALSE(periodic("ATG"));
  EXPECT_FALSE(periodic("A"));
  EXPECT_FALSE(periodic("AC"));
  EXPECT_TRUE(periodic("ATATAT"));        // 3 blocks of AT
  EXPECT_TRUE(periodic("ACGACG"));        // 2 blocks of ACG
  EXPECT_FALSE(periodic("ACGACT"));
  EXPECT_FALSE(periodic("ATATAC"));
  EXPECT_TRUE(periodic("ACGTACGTACGT"));  // 12 = 3 blocks of 4
  EXPECT_TRUE(periodic("ACACACACACAC"));  // found with p = 2
  EXPECT_FALSE(periodic("ACACACACACAG"));
  EXPECT_FALSE(periodic("AAAAAC"));
  EXPECT_TRUE(periodic("AACAACAACAAC"));  // 4 blocks of 3: found with p = 2
  // Prime length: never periodic by this test (the searches never make
  // such one-letter units).
  EXPECT_FALSE(periodic("AAAAA"));
  // Agrees with the cyclic flag on these units.
  for (const char* u : {"ATAT", "ATG", "ACGACG", "ACGACT", "ACGTACGTACGT", "AACAAG", "CAGCAG"})
    EXPECT_EQ(periodic(u), min_cyclic(u).second) << u;
}

TEST(PrimeFactorPeriodicity, LongUnitsAtAndBeyondTheTable)
{
  std::string block = "ACGTTGCA";  // 8 characters
  std::string u;
  for (int i = 0; i < 1250; ++i)
    u += block;  // 10000 characters: 2^4 * 5^4
  EXPECT_TRUE(unit_is_periodic_by_prime_factors(u.data(), 10000));
  u[9999] = 'T';
  EXPECT_FALSE(unit_is_periodic_by_prime_factors(u.data(), 10000));

  std::string v;
  for (int i = 0; i < 1667; ++i)
    v += "ACGTAC";  // 10002 = 2 * 3 * 1667
  EXPECT_TRUE(unit_is_periodic_by_prime_factors(v.data(), 10002));
  v[0] = 'G';
  EXPECT_FALSE(unit_is_periodic_by_prime_factors(v.data(), 10002));
  // 10007 is prime.
  std::string w(10007, 'A');
  w[0] = 'C';
  EXPECT_FALSE(unit_is_periodic_by_prime_factors(w.data(), 10007));
}

std::vector<unsigned int> row(unsigned int n)
{
  return std::vector<unsigned int>(primeFactors[n], primeFactors[n] + PRIME_FACTORS_COLS);
}

TEST(PrimeFactorsTable, Examples)
{
  using V = std::vector<unsigned int>;
  EXPECT_EQ(row(0), V({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(1), V({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(2), V({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(4), V({2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(12), V({2, 3, 0, 0, 0, 0}));
  EXPECT_EQ(row(2310), V({2, 3, 5, 7, 11, 0}));
  EXPECT_EQ(row(9699), V({3, 53, 61, 0, 0, 0}));
  EXPECT_EQ(row(9973), V({0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(10000), V({2, 5, 0, 0, 0, 0}));
  EXPECT_EQ(sizeof(primeFactors), 240024u);
}

TEST(PrimeFactorsTable, EveryRowMatchesTrialDivision)
{
  for (unsigned int n = 0; n < PRIME_FACTORS_ROWS; ++n) {
    std::vector<unsigned int> expected;
    if (n >= 2) {
      unsigned int m = n;
      for (unsigned int p = 2; p <= m / p; ++p)
        if (m % p == 0) {
          expected.push_back(p);
          while (m % p == 0)
            m /= p;
        }
      if (m > 1)
        expected.push_back(m);
      if (expected.size() == 1 && expected[0] == n)
        expected.clear();  // a prime lists nothing
    }
    ASSERT_LE(expected.size(), 5u) << n;
    expected.resize(PRIME_FACTORS_COLS, 0);
    ASSERT_EQ(row(n), expected) << "row " << n;
  }
}

} // namespace
