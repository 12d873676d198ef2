// Removal of mostly hidden repeats and of repeats outside the perfection range.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "search/CSearchController.h"

namespace {

class Filters : public ::testing::Test
{
protected:
  CSequence_Mol seq;
  std::string   dummy = std::string(200, 'A');

  void SetUp() override
  {
    init_param();
    CSearchController::reset_minimum_arrays();
    seq.residues.assign(dummy.data(), dummy.data() + dummy.size());
  }
  void TearDown() override { CSearchController::reset_minimum_arrays(); }

  const char* at(long i) const { return seq.residues.data() + i; }

  // A record over [start, end) with a unit of length k at its start.
  Csat* add(CsatContainer& c, long start, long end, long k, int score)
  {
    Csat* p = sat_alloc.get_new(at(start), at(start + k));
    p->end   = at(end);
    p->score = score;
    c.list.push_back(p);
    return p;
  }

  static std::vector<Csat*> records(const CsatContainer& c) { return {c.list.begin(), c.list.end()}; }
};

TEST_F(Filters, OverlapExamples)
{
  CSearchController c(1, seq);
  CsatContainer&    s = c.exact_sats;

  // 1-based 1..20 and 15..40: overlap 6, neither has less than a unit outside it.
  Csat* a = add(s, 0, 20, 2, 18);
  Csat* b = add(s, 14, 40, 2, 24);
  // Only touching b.
  Csat* touching = add(s, 40, 50, 2, 1);
  c.remove_hidden(s);
  EXPECT_EQ(records(s), (std::vector<Csat*>{a, b, touching}));
}

TEST_F(Filters, LessThanOneUnitOutsideTheOverlap)
{
  {
    CSearchController c(1, seq);
    Csat* big = add(c.exact_sats, 0, 20, 2, 18);
    add(c.exact_sats, 10, 22, 3, 9);  // overlap 10: 12 < 3 + 10
    c.remove_hidden(c.exact_sats);
    EXPECT_EQ(records(c.exact_sats), (std::vector<Csat*>{big}));
  }
  {
    CSearchController c(1, seq);
    Csat* big   = add(c.exact_sats, 0, 20, 2, 18);
    Csat* small = add(c.exact_sats, 11, 23, 3, 9);  // overlap 9: 12 is not below 3 + 9
    c.remove_hidden(c.exact_sats);
    EXPECT_EQ(records(c.exact_sats), (std::vector<Csat*>{big, small}));
  }
  {
    // The first one is the mostly hidden one and scores lower.
    CSearchController c(1, seq);
    add(c.exact_sats, 0, 12, 3, 9);
    Csat* big = add(c.exact_sats, 2, 40, 2, 30);
    c.remove_hidden(c.exact_sats);
    EXPECT_EQ(records(c.exact_sats), (std::vector<Csat*>{big}));
  }
}

TEST_F(Filters, ContainedRepeatCompetesByScore)
{
  CSearchController c(1, seq);
  add(c.exact_sats, 0, 30, 5, 10);
  Csat* inner = add(c.exact_sats, 5, 25, 1, 19);
  Csat* after = add(c.exact_sats, 26, 60, 2, 32);  // overlaps only the removed one
  c.remove_hidden(c.exact_sats);
  EXPECT_EQ(records(c.exact_sats), (std::vector<Csat*>{inner, after}));
}

TEST_F(Filters, EqualRecordsKeepTheFirst)
{
  CSearchController c(1, seq);
  Csat* first = add(c.exact_sats, 3, 13, 2, 8);
  add(c.exact_sats, 3, 13, 2, 8);
  add(c.exact_sats, 3, 13, 5, 8);
  c.remove_hidden(c.exact_sats);
  EXPECT_EQ(records(c.exact_sats), (std::vector<Csat*>{first}));
}

// After a winner removes one rival it goes on with the next one; after A
// itself is removed, the scan restarts from A's successor.
TEST_F(Filters, ScanContinuesAfterRemovals)
{
  CSearchController c(1, seq);
  add(c.exact_sats, 0, 10, 2, 5);
  Csat* keep1 = add(c.exact_sats, 1, 11, 2, 9);   // beats the first
  add(c.exact_sats, 2, 11, 3, 4);                 // hidden by keep1
  Csat* keep2 = add(c.exact_sats, 8, 30, 2, 20);  // overlap 3 with keep1: both kept
  add(c.exact_sats, 12, 29, 4, 3);                // inside keep2
  c.remove_hidden(c.exact_sats);
  EXPECT_EQ(records(c.exact_sats), (std::vector<Csat*>{keep1, keep2}));
}

TEST_F(Filters, SwitchedOffOrEmpty)
{
  CSearchController c(1, seq);
  c.remove_hidden(c.exact_sats);
  EXPECT_TRUE(c.exact_sats.empty());

  global_remove_mostly_hidden = false;
  add(c.exact_sats, 3, 13, 2, 8);
  add(c.exact_sats, 3, 13, 2, 8);
  add(c.exact_sats, 4, 6, 1, 1);
  c.remove_hidden(c.exact_sats);
  EXPECT_EQ(c.exact_sats.size(), 3u);
}

TEST_F(Filters, RemovedRecordsGoToThePool)
{
  CSearchController c(1, seq);
  add(c.exact_sats, 0, 20, 2, 18);
  Csat*       loser = add(c.exact_sats, 0, 20, 2, 3);
  std::size_t pool  = sat_alloc.size();
  c.remove_hidden(c.exact_sats);
  EXPECT_EQ(sat_alloc.size(), pool + 1);
  EXPECT_EQ(sat_alloc.list.back(), loser);
}

// The controller gives its imperfect records back first, then the exact ones.
TEST_F(Filters, DestroyedControllerReturnsRecordsToPool)
{
  Csat *exact, *imperfect;
  {
    CSearchController c(1, seq);
    exact     = add(c.exact_sats, 0, 10, 2, 8);
    imperfect = add(c.imperfect_sats, 0, 10, 2, 8);
  }
  ASSERT_GE(sat_alloc.size(), 2u);
  EXPECT_EQ(sat_alloc.list.back(), exact);
  EXPECT_EQ(*std::prev(sat_alloc.list.end(), 2), imperfect);
}

TEST_F(Filters, PerfectionLimitsInclusive)
{
  CSearchController c(1, seq);
  // Mode 0: 87.5, 90 and 100 percent.
  Csat* p875 = add(c.imperfect_sats, 0, 16, 2, 10);
  p875->Ns   = 2;
  Csat* p90  = add(c.imperfect_sats, 20, 40, 2, 10);
  p90->mismatches = 2;
  p90->missense.push_back({at(25), 'M'});
  p90->missense.push_back({at(30), 'M'});
  Csat* p100 = add(c.imperfect_sats, 50, 60, 2, 8);

  // The default range looks at nothing, not even an impossible mode.
  global_N_and_perfection_mode = 7;
  c.filter_perfection(c.imperfect_sats);
  EXPECT_EQ(c.imperfect_sats.size(), 3u);

  global_N_and_perfection_mode = 0;
  global_min_perfection        = 87.5f;
  global_max_perfection        = 90.0f;
  c.filter_perfection(c.imperfect_sats);
  EXPECT_EQ(records(c.imperfect_sats), (std::vector<Csat*>{p875, p90}));

  global_min_perfection = 88.0f;
  c.filter_perfection(c.imperfect_sats);
  EXPECT_EQ(records(c.imperfect_sats), (std::vector<Csat*>{p90}));
  (void)p100;
}

// The perfection is not rounded to single precision before the comparison:
// 100 * 1 / 3 lies above the float limit 100f / 3f (33.3333320...), and
// 100 * 17 / 18 above the float 94.4444427..., though both quotients round
// to these limits in single precision.
TEST_F(Filters, PerfectionInExtendedPrecision)
{
  CSearchController c(1, seq);
  Csat* third = add(c.imperfect_sats, 0, 3, 1, 0);
  third->mismatches = 2;  // numerator 1, denominator 3
  Csat* mode1 = add(c.imperfect_sats, 10, 30, 2, 0);
  mode1->Ns         = 2;
  mode1->mismatches = 1;  // mode 1: 100 * 17 / 18

  global_N_and_perfection_mode = 1;
  global_min_perfection        = 100.0f / 3.0f;
  global_max_perfection        = 95.0f;
  c.filter_perfection(c.imperfect_sats);
  EXPECT_EQ(records(c.imperfect_sats), (std::vector<Csat*>{third, mode1}));

  global_min_perfection = 0.0f;
  global_max_perfection = 100.0f * 17.0f / 18.0f;
  c.filter_perfection(c.imperfect_sats);
  EXPECT_EQ(records(c.imperfect_sats), (std::vector<Csat*>{third}));

  global_max_perfection = 100.0f / 3.0f;
  c.filter_perfection(c.imperfect_sats);
  EXPECT_TRUE(c.imperfect_sats.empty());
}

}  // namespace
