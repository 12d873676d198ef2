// Long units (11 letters and more): the seed bound on its wider phase sets
// and the search shortcuts must give exactly what growing every seed gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"
#include "search/CSearchController.h"
#include "search/wide_word.h"
#include "sequence/CSequence_Mol.h"
#include "tests/support/random_dna.h"
#include "tests/support/search_fixture.h"
#include "tests/support/search_outcome.h"

namespace {

using katrel_test::diverged_array;
using katrel_test::random_dna;

class LongUnitsTest : public katrel_test::SearchFixture
{
protected:

  // Random flanks around diverged arrays of units of length k and near it
  // (a unit one letter longer or shorter gives seeds whose best chains
  // pay for a drift), at most length letters.
  static std::string record(std::mt19937& g, unsigned k, std::size_t length, bool Ns)
  {
    std::string s = random_dna(g, 50 + g() % 200);
    while (s.size() < length) {
      const unsigned    u    = k + static_cast<unsigned>(g() % 3) - 1;
      const double      rate = static_cast<double>(g() % 12) / 100.0;
      const std::string unit = random_dna(g, u);
      s += diverged_array(g, unit, u * (2 + g() % 3) + g() % u, rate, Ns);
      s += random_dna(g, 20 + g() % 300);
      if (Ns && g() % 3 == 0)
        s.append(1 + g() % 4, 'N');
    }
    return s;
  }
};

// For every seed of units of 33 to 80 letters the bound must allow the
// score that growing the seed gives; and it must be tight for some of them,
// or it checks nothing. Diverged arrays give many seeds whose grown score
// is what the bound's best chain reaches.
TEST_F(LongUnitsTest, SeedBoundAllowsTheGrownScoreOfEverySeed)
{
  std::mt19937 g(3380);
  long         checked = 0, tight = 0, eventful = 0;
  const unsigned lengths[] = {33, 40, 47, 63, 64, 65, 71, 80};
  for (int iter = 0; iter < 16; ++iter) {
    init_param();
    switch (iter % 4) {
    case 1: global_mismatch_score = -3, global_indel_score = -4; break;
    case 2: global_prefer_longer_repeat = 0, global_Ns_allowed_in_a_row = 3; break;
    case 3: global_mismatch_score = -7, global_indel_score = -2; break;
    default: break;
    }
    CSearchController::reset_minimum_arrays();
    const unsigned    k = lengths[iter % 8];
    const std::string s = record(g, k, 1100, iter % 2 == 0);
    seq.residues.assign(s.data(), s.data() + s.size());
    CSearchController ctl(1, seq);
    const char* const b = seq.residues_begin();
    const char* const e = seq.residues_end();
    for (unsigned long p = 0; p + k < s.size(); ++p) {
      if (std::find(b + p, b + p + k, 'N') != b + p + k)
        continue;
      Csat* sat = sat_alloc.get_new(b + p, b + p + k);
      ctl.extend_imperfect_forward(*sat, e);
      ctl.extend_imperfect_backward(*sat, b - 1);
      const long grown  = sat->score;
      eventful += sat->mismatches + sat->insertions + sat->deletions > 0;
      sat_alloc.give_back(sat);
      ASSERT_FALSE(ctl.seed_bound_rejects(k, p, grown))
          << "iteration " << iter << ", k " << k << ", seed at " << p << ", grown score " << grown;
      tight += ctl.seed_bound_rejects(k, p, grown + 1);
      ++checked;
    }
  }
  EXPECT_GT(checked, 10000);
  EXPECT_GT(eventful, 1000);
  EXPECT_GT(tight, 1000);
}

// The direct search and the exact-then-extend mode on records with planted
// arrays of units from 11 to 300 letters and N runs, random unit ranges
// around them and varied options: the same kept records, field by field,
// and the same report, with the shortcuts on and off.
TEST_F(LongUnitsTest, SearchGivesThePlainResult)
{
  std::mt19937 g(18018);
  std::size_t  compared = 0;
  for (int iter = 0; iter < 24; ++iter) {
    init_param();
    CSearchController::long_alignment = 8;
    switch (iter % 6) {
    case 1: global_prefer_longer_repeat = 0; break;
    case 2: global_mismatch_score = -2 - static_cast<int>(g() % 6), global_indel_score = -2 - static_cast<int>(g() % 6); break;
    case 3: global_Ns_allowed_in_a_row = static_cast<int>(g() % 4); break;
    case 4: global_treat_Ns_as_missense = true; break;
    case 5: global_maximum_scorereduction = static_cast<int>(10 + g() % 60); break;
    default: break;
    }
    if (iter % 4 == 3)
      global_min_score_bx = 0.5f + static_cast<float>(g() % 3) * 0.25f;
    // Mostly the bound's range (up to 80 letters), now and then far beyond.
    const bool     far   = iter % 5 == 4;
    const unsigned k     = far ? 100 + g() % 201 : 11 + g() % 75;
    global_min_unit_length = k > 2 ? k - static_cast<unsigned>(g() % 3) : k;
    global_max_unit_length = far ? k + 1 : k + static_cast<unsigned>(g() % 4);
    CSearchController::reset_minimum_arrays();
    const std::string s    = record(g, k, far ? 900 : 1300, iter % 3 != 0);
    const int         mode = iter % 4 == 1 ? 1 : 2;
    const katrel_test::Outcome slow = katrel_test::search_outcome(seq, s, mode, false);
    const katrel_test::Outcome fast = katrel_test::search_outcome(seq, s, mode, true);
    ASSERT_EQ(slow.records, fast.records) << "iteration " << iter << " k " << k;
    ASSERT_EQ(slow.report, fast.report) << "iteration " << iter << " k " << k;
    compared += static_cast<std::size_t>(std::count(slow.records.begin(), slow.records.end(), '\n'));
  }
  EXPECT_GT(compared, 40u);
}

// The wide words of the long phase sets against the compiler's 128-bit
// integer: shifts across the word boundary, subtraction with a borrow, and
// the bitwise operations.
TEST(WideWordTest, BehavesAsA128BitInteger)
{
  __extension__ typedef unsigned __int128 u128;
  std::mt19937_64 g(128);
  auto            same = [](const WideWord<2>& w, u128 v) {
    return w.w[0] == static_cast<std::uint64_t>(v) && w.w[1] == static_cast<std::uint64_t>(v >> 64);
  };
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t lo = g(), hi = i % 7 == 0 ? 0 : g();
    WideWord<2>         w(lo);
    w.w[1]         = hi;
    const u128 v   = (static_cast<u128>(hi) << 64) | lo;
    const unsigned sh = static_cast<unsigned>(g() % 128);
    ASSERT_TRUE(same(w << sh, v << sh)) << sh;
    ASSERT_TRUE(same(w >> sh, v >> sh)) << sh;
    const std::uint64_t d = i % 3 == 0 ? lo + 1 : g() % 1000;
    ASSERT_TRUE(same(w - d, v - d));
    WideWord<2> x(g());
    x.w[1] = g();
    const u128 y = (static_cast<u128>(x.w[1]) << 64) | x.w[0];
    ASSERT_TRUE(same(w & x, v & y));
    ASSERT_TRUE(same(w | x, v | y));
    ASSERT_TRUE(same(~w, ~v));
    ASSERT_EQ(static_cast<bool>(w >> sh), (v >> sh) != 0);
  }
  EXPECT_FALSE(static_cast<bool>(WideWord<4>(0)));
  EXPECT_TRUE(static_cast<bool>(WideWord<4>(1) << 255));
  EXPECT_TRUE(same(WideWord<2>(1) << 64, static_cast<u128>(1) << 64));
}

} // namespace
