// Long imperfect arrays: the remembered decisions of the extension and the
// kept records that drop their alignments must give exactly the report of
// the plain search, in all three modes and under varied options.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"
#include "tests/support/random_dna.h"
#include "tests/support/search_fixture.h"
#include "tests/support/search_outcome.h"

namespace {

using katrel_test::diverged_array;
using katrel_test::random_dna;
using katrel_test::Outcome;
using katrel_test::search_outcome;

// A higher-order unit: copies of one monomer, each mutated, joined.
std::string higher_order_unit(std::mt19937& g, std::size_t monomer, int copies)
{
  const std::string m = random_dna(g, monomer);
  std::string       h;
  for (int i = 0; i < copies; ++i)
    h += diverged_array(g, m, monomer, 0.15, false).substr(0, monomer);
  return h;
}

class SatelliteShortcutsTest : public katrel_test::SearchFixture
{
protected:

  Outcome run(const std::string& s, int mode, bool shortcuts) { return search_outcome(seq, s, mode, shortcuts); }
};

// Random arrays of a few kb (units of 2 to 20 letters and higher-order
// units, 1 to 12 % diverged, with and without N runs, between random
// flanks), all three modes, varied scores and options. Records drop their
// alignments from 8 events on, so that growing them back is exercised on
// every array.
TEST_F(SatelliteShortcutsTest, ArraysGiveThePlainSearchResult)
{
  std::mt19937 g(16016);
  std::size_t  long_records = 0, compared = 0;
  for (int iter = 0; iter < 48; ++iter) {
    init_param();
    CSearchController::long_alignment = 8;
    switch (iter % 8) {
    case 1: global_prefer_longer_repeat = 0; break;
    case 2: global_maximum_recursion_depth = 1 + g() % 6; break;
    case 3: global_mismatch_score = -2 - static_cast<int>(g() % 6), global_indel_score = -2 - static_cast<int>(g() % 6); break;
    case 4: global_Ns_allowed_in_a_row = static_cast<int>(g() % 4); break;
    case 5: global_treat_Ns_as_missense = true; break;
    case 6: global_maximum_scorereduction = static_cast<int>(5 + g() % 40); break;
    case 7: global_remove_mostly_hidden = false; break;
    default: break;
    }
    global_min_unit_length = 1 + g() % 4;
    global_max_unit_length = global_min_unit_length + g() % 17;
    if (global_max_unit_length > 20)
      global_max_unit_length = 20;
    CSearchController::reset_minimum_arrays();

    std::string unit = iter % 6 == 5 ? higher_order_unit(g, 3 + g() % 5, 2 + g() % 3) : random_dna(g, 2 + g() % 19);
    const double rate   = 0.01 + 0.11 * static_cast<double>(g() % 100) / 100.0;
    const std::string s = random_dna(g, 100 + g() % 300) +
                          diverged_array(g, unit, 1500 + g() % 2500, rate, g() % 2 == 0) +
                          random_dna(g, 100 + g() % 300);
    const int     mode = iter % 3;
    const Outcome slow = run(s, mode, false);
    const Outcome fast = run(s, mode, true);
    ASSERT_EQ(slow.records, fast.records) << "iteration " << iter << " mode " << mode;
    ASSERT_EQ(slow.report, fast.report) << "iteration " << iter << " mode " << mode;
    compared += static_cast<std::size_t>(std::count(slow.records.begin(), slow.records.end(), '\n'));
    long_records += fast.dropped;
  }
  EXPECT_GT(compared, 500u);
  EXPECT_GT(long_records, 10u);
}

// A kept record that dropped its events gets the very list back.
TEST_F(SatelliteShortcutsTest, DroppedAlignmentGrowsBackTheSameEvents)
{
  std::mt19937      g(171);
  const std::string s = random_dna(g, 200) + diverged_array(g, "AATGG", 6000, 0.05, true) + random_dna(g, 200);
  CSearchController::long_alignment = 1u << 30;
  const Outcome kept = run(s, 2, true);
  CSearchController::long_alignment = 16;
  const Outcome dropped = run(s, 2, true);
  EXPECT_EQ(kept.dropped, 0u);
  EXPECT_GT(dropped.dropped, 0u);
  EXPECT_EQ(kept.records, dropped.records);
  EXPECT_EQ(kept.report, dropped.report);
  EXPECT_NE(kept.report.find("Missense:"), std::string::npos);
}

} // namespace
