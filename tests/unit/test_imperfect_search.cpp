// The two imperfect search modes: worked examples, and a property test that
// re-walks the alignment of every reported repeat on random and planted
// sequences under varied parameters.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"

namespace {

struct Rep
{
  long     start, end;
  unsigned k;
  int      score;
  unsigned mm, ins, del, Ns;
  long     unit;  // where the unit was taken from
};

class SearchTest : public ::testing::Test
{
protected:
  CSequence_Mol                      seq;
  std::unique_ptr<CSearchController> ctl;

  void SetUp() override
  {
    init_param();
    CSearchController::reset_minimum_arrays();
  }
  void TearDown() override
  {
    ctl.reset();
    CSearchController::reset_minimum_arrays();
  }

  void set_sequence(const std::string& s)
  {
    ctl.reset();
    seq.residues.assign(s.data(), s.data() + s.size());
    seq.name.assign("t", "t" + 1);
    ctl.reset(new CSearchController(1, seq));
  }

  CsatList& run_imperfect(const std::string& s)
  {
    set_sequence(s);
    ctl->complete_imperfect_search(stdout);
    return ctl->imperfect_sats.list;
  }

  CsatList& run_extend_exact(const std::string& s)
  {
    set_sequence(s);
    ctl->search_exact_and_extend_to_imperfect_repeats();
    return ctl->imperfect_sats.list;
  }

  long pos(const char* p) const { return p - seq.residues_begin(); }

  std::vector<Rep> reps(const CsatList& l) const
  {
    std::vector<Rep> v;
    for (const Csat* r : l)
      v.push_back(Rep{pos(r->start), pos(r->end), r->unit_length(), r->score, r->mismatches, r->insertions,
                      r->deletions, r->Ns, pos(r->unit_begin)});
    return v;
  }

  // Re-walks the alignment of a record from its sorted missense list and
  // returns a description of the first inconsistency, or "".
  std::string check_alignment(const Csat& r) const
  {
    std::ostringstream err;
    const char* ub = r.unit_begin;
    const char* ue = r.unit_end;
    const long  k  = ue - ub;
    auto next = [&](const char* u) { return u + 1 == ue ? ub : u + 1; };
    const bool accept_Ns = !global_treat_Ns_as_missense && global_Ns_allowed_in_a_row != 0;

    if (k < 1 || r.start >= r.end)
      return "empty repeat or unit";
    if (*r.start == 'N' || r.end[-1] == 'N')
      return "begins or ends with N";
    for (const char* q = ub; q != ue; ++q)
      if (*q == 'N')
        return "unit contains N";
    if (!std::is_sorted(r.missense.begin(), r.missense.end(), Csat::lessThan_missense))
      return "missense list not sorted";
    if (r.recursion_depth != 0)
      return "recursion depth not 0";

    const missense_entry* m    = r.missense.begin();
    const missense_entry* mend = r.missense.end();
    const char*           u    = next(r.backward_unit_pos);
    long     matches = 0, Ns_run = 0;
    unsigned mm = 0, ins = 0, del = 0, Ns = 0;
    for (const char* p = r.start;; ++p) {
      while (m != mend && m->first == p && m->second == 'D') {
        ++del;
        u = next(u);
        ++m;
      }
      if (p == r.end)
        break;
      if (*p != 'N')
        Ns_run = 0;
      if (m != mend && m->first == p && m->second == 'I') {
        if (*p == 'N' && accept_Ns)
          err << "insertion of an accepted N at " << pos(p);
        ++ins;
        ++m;
      } else if (m != mend && m->first == p && m->second == 'M') {
        if (*p == *u)
          err << "mismatch of equal characters at " << pos(p);
        if (*p == 'N' && accept_Ns)
          err << "mismatch of an accepted N at " << pos(p);
        ++mm;
        ++m;
        u = next(u);
      } else if (*p == *u) {
        ++matches;
        u = next(u);
      } else if (*p == 'N' && accept_Ns) {
        ++Ns;
        if (++Ns_run > global_Ns_allowed_in_a_row)
          err << "N run too long at " << pos(p);
        u = next(u);
      } else {
        err << "unexplained disagreement at " << pos(p);
      }
      if (!err.str().empty())
        return err.str();
    }
    if (m != mend)
      return "missense entry outside the repeat";
    if (u != r.forward_unit_pos)
      return "forward unit position inconsistent";
    if (mm != r.mismatches || ins != r.insertions || del != r.deletions || Ns != r.Ns)
      return "counts differ from the events";
    long long expected = (matches - k) + static_cast<long long>(mm) * global_mismatch_score +
                         static_cast<long long>(ins + del) * global_indel_score;
    if (expected != r.score)
      return "score " + std::to_string(r.score) + " but the events give " + std::to_string(expected);
    if (r.score < CSearchController::minScores[k])
      return "score below threshold";
    if (r.normalized_length() < CSearchController::minLengths[k])
      return "normalized length below threshold";
    return "";
  }

  void check_all(const CsatList& l, const std::string& s)
  {
    const Csat* prev = nullptr;
    for (const Csat* r : l) {
      std::string e = check_alignment(*r);
      EXPECT_EQ(e, "") << "repeat " << pos(r->start) << ".." << pos(r->end) << " unit " << r->unit_length()
                       << " in " << s;
      if (prev) {
        EXPECT_FALSE(lessThan_sat(r, prev)) << "result not sorted";
      }
      prev = r;
    }
  }
};

// ---------------------------------------------------------------- direct search

TEST_F(SearchTest, PerfectDinucleotideFoundOnceAndHidesLongerUnits)
{
  std::string s = "GATTCG" + std::string("ACACACACACACACACACAC") + "TGGTCA";
  global_min_unit_length = 2;
  global_max_unit_length = 2;
  CsatList& l = run_imperfect(s);
  ASSERT_EQ(l.size(), 1u);
  Rep r = reps(l)[0];
  EXPECT_EQ(r.start, 6);
  EXPECT_EQ(r.end, 26);
  EXPECT_EQ(r.score, 18);
  EXPECT_TRUE(l.front()->missense.empty());

  // The marks of unit length 2 keep unit length 4 seeds inside the repeat from being tried.
  CSearchController::reset_minimum_arrays();
  global_max_unit_length = 4;
  CsatList& l4 = run_imperfect(s);
  for (const Rep& x : reps(l4))
    EXPECT_EQ(x.k, 2u) << x.start << ".." << x.end;
}

TEST_F(SearchTest, MononucleotideRunAndNoLongerUnitsFromIt)
{
  CsatList& l = run_imperfect("GCTAAAAAAAAAAGCT");
  ASSERT_EQ(l.size(), 1u);
  Rep r = reps(l)[0];
  EXPECT_EQ(r.k, 1u);
  EXPECT_EQ(r.start, 3);
  EXPECT_EQ(r.end, 13);
  EXPECT_EQ(r.score, 9);
}

TEST_F(SearchTest, AcceptedNInsideAndTrimmedAtBothEnds)
{
  global_min_unit_length = 2;
  global_max_unit_length = 2;
  std::vector<Rep> v = reps(run_imperfect("ACACACNCACACAC"));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].start, 0);
  EXPECT_EQ(v[0].end, 14);
  EXPECT_EQ(v[0].score, 11);
  EXPECT_EQ(v[0].Ns, 1u);

  // The extension ends on the accepted run at either end; it is trimmed off.
  v = reps(run_imperfect("GNNACACACACACNNG"));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].start, 3);
  EXPECT_EQ(v[0].end, 13);
  EXPECT_EQ(v[0].score, 8);
  EXPECT_EQ(v[0].Ns, 0u);
  EXPECT_EQ(*ctl->imperfect_sats.list.front()->forward_unit_pos, 'A');
  EXPECT_EQ(*ctl->imperfect_sats.list.front()->backward_unit_pos, 'C');
}

TEST_F(SearchTest, ThresholdsTestedAfterTrimming)
{
  // ACACAC NN AC scores 6 with the Ns inside; ACACAC NN scores 4 after trimming.
  global_min_unit_length = 2;
  global_max_unit_length = 2;
  EXPECT_EQ(run_imperfect("ACACACNNACG").size(), 1u);
  EXPECT_EQ(run_imperfect("ACACACNNGTT").size(), 0u);
  // A minimum length counts the normalized length.
  global_min_length = 11;
  CSearchController::reset_minimum_arrays();
  EXPECT_EQ(run_imperfect("ACACACNCACACAC").size(), 1u);
  global_min_length = 15;
  CSearchController::reset_minimum_arrays();
  EXPECT_EQ(run_imperfect("ACACACNCACACAC").size(), 0u);
}

TEST_F(SearchTest, NothingFromNsOrTooShortSequences)
{
  EXPECT_TRUE(run_imperfect("NNNNNNNNNNNN").empty());
  EXPECT_TRUE(run_imperfect("N").empty());
  EXPECT_TRUE(run_imperfect("A").empty());
  EXPECT_TRUE(run_imperfect("").empty());
  global_min_unit_length = 4;
  global_max_unit_length = 4;
  EXPECT_TRUE(run_imperfect("ACGT").empty());
  testing::internal::CaptureStderr();
  EXPECT_TRUE(run_extend_exact("NNNN").empty());
  testing::internal::GetCapturedStderr();
}

TEST_F(SearchTest, ImperfectRepeatFoundWithItsEvents)
{
  // Unit ACGTT with an insertion and a mismatch.
  std::string s = "GGCA" + std::string("ACGTTACGTTACGTGTACGTTACCTTACGTTACGTT") + "GCAGG";
  global_min_unit_length = 5;
  global_max_unit_length = 5;
  CsatList& l = run_imperfect(s);
  ASSERT_FALSE(l.empty());
  check_all(l, s);
  const Csat& r = *l.front();
  EXPECT_EQ(pos(r.start), 4);
  EXPECT_EQ(pos(r.end), 40);
  EXPECT_EQ(r.mismatches + r.insertions + r.deletions, 2u);
}

TEST_F(SearchTest, RejectedSeedLeavesNoEventsInLaterRepeats)
{
  // A rejected seed's record is reused for the next seed with an empty missense list.
  for (const char* s : {"CGAGGGGGAGGGG", "CGAACCGGAACCGGAACC"}) {
    CsatList& l = run_imperfect(s);
    EXPECT_FALSE(l.empty()) << s;
    check_all(l, s);
  }
}

TEST_F(SearchTest, RecordsComeBackToThePool)
{
  std::string s = "ACGTTTTTTGCACACACACATTGACGACGATGACGATGCCCCAGT";
  std::size_t before = sat_alloc.size();
  std::size_t found  = run_imperfect(s).size();
  ctl.reset();
  std::size_t pooled = sat_alloc.size();
  EXPECT_GE(pooled, before);
  EXPECT_GE(pooled, found);
  // A second run of the same search takes every record from the pool.
  std::size_t again = run_imperfect(s).size();
  EXPECT_EQ(again, found);
  EXPECT_EQ(sat_alloc.size() + again, pooled);
  ctl.reset();
  EXPECT_EQ(sat_alloc.size(), pooled);
}

// ---------------------------------------------------------------- exact-then-extend

TEST_F(SearchTest, ExtendExactWritesItsTwoMessages)
{
  testing::internal::CaptureStderr();
  EXPECT_TRUE(run_extend_exact("GATC").empty());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "  Searching for exact repeats.\n  Extend exact to imperfect repeats.\n");
  EXPECT_TRUE(ctl->exact_sats.empty());
  EXPECT_EQ(CSearchController::minScores, CSearchController::minScores_user);
  EXPECT_EQ(CSearchController::minLengths, CSearchController::minLengths_user);
}

TEST_F(SearchTest, ExtendExactSeedsNeedInternalScore)
{
  global_min_unit_length = 2;
  global_max_unit_length = 2;
  testing::internal::CaptureStderr();
  // The seed ACACAC (score 4) is taken but cannot grow to 6: back to the
  // pool, which starts empty here whatever earlier tests left in it.
  for (Csat* p : sat_alloc.list)
    delete p;
  sat_alloc.list.clear();
  std::size_t pooled = sat_alloc.size();
  EXPECT_TRUE(run_extend_exact("TTACACACTT").empty());
  EXPECT_TRUE(ctl->exact_sats.empty());
  ctl.reset();
  EXPECT_GE(sat_alloc.size(), pooled + 1);
  std::vector<Rep> v = reps(run_extend_exact("TTACACACACTT"));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].start, 2);
  EXPECT_EQ(v[0].end, 10);
  EXPECT_EQ(v[0].score, 6);
  testing::internal::GetCapturedStderr();
}

TEST_F(SearchTest, ExtendExactGrowsSeedsIntoImperfectRepeats)
{
  testing::internal::CaptureStderr();
  global_min_unit_length = 2;
  global_max_unit_length = 2;
  std::string s = "TTGACACACACACGCACACACACTTTT";
  CsatList& l = run_extend_exact(s);
  check_all(l, s);
  // The seeds on both sides of the mismatch grow into the same repeat.
  ASSERT_EQ(l.size(), 2u);
  for (const Rep& r : reps(l)) {
    EXPECT_EQ(r.start, 3);
    EXPECT_EQ(r.end, 23);
    EXPECT_EQ(r.mm, 1u);
  }
  // Trimmed at accepted Ns.
  std::vector<Rep> v = reps(run_extend_exact("GTNNACACACACACNNGT"));
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].start, 4);
  EXPECT_EQ(v[0].end, 14);
  EXPECT_EQ(v[0].Ns, 0u);
  testing::internal::GetCapturedStderr();
}

TEST_F(SearchTest, ExtendExactNeedsAPerfectSeed)
{
  // Unit ACGT with a mismatch every seventh character: no eight error-free
  // characters, so no seed of unit length 4, while the direct search finds it.
  std::string core;
  const std::string unit = "ACGT";
  for (int i = 0; i < 84; ++i) {
    char c = unit[i % 4];
    if (i % 7 == 6)
      c = c == 'A' ? 'C' : 'A';
    core += c;
  }
  std::string s = "GGC" + core + "GGC";
  global_min_unit_length = 4;
  global_max_unit_length = 4;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(run_extend_exact(s).empty());
  testing::internal::GetCapturedStderr();
  CsatList& l = run_imperfect(s);
  EXPECT_FALSE(l.empty());
  check_all(l, s);
}

// ---------------------------------------------------------------- property test

std::string random_dna(std::mt19937& g, std::size_t n, double n_prob = 0.0)
{
  static const char ACGT[] = "ACGT";
  std::uniform_real_distribution<double> u(0, 1);
  std::string s;
  while (s.size() < n) {
    if (u(g) < n_prob) {
      s.append(1 + g() % 3, 'N');
      continue;
    }
    s += ACGT[g() % 4];
  }
  s.resize(n);
  return s;
}

std::string planted(std::mt19937& g, bool with_Ns = true)
{
  std::uniform_real_distribution<double> u(0, 1);
  std::string s = random_dna(g, g() % 40);
  int repeats = 1 + g() % 3;
  for (int r = 0; r < repeats; ++r) {
    std::string unit = random_dna(g, 1 + g() % 10);
    int    copies = 2 + g() % 15;
    double err    = u(g) * 0.2;
    for (int c = 0; c < copies; ++c)
      for (char ch : unit) {
        double x = u(g);
        if (x < err / 4)
          s += "ACGT"[g() % 4];       // substitution (or not)
        else if (x < err / 2) {
          s += ch;                    // insertion after the character
          s += "ACGT"[g() % 4];
        } else if (x < 3 * err / 4) { // deletion
        } else if (x < err && with_Ns)
          s.append(1 + g() % 3, 'N');
        else
          s += ch;
      }
    s += random_dna(g, g() % 30, with_Ns ? 0.02 : 0.0);
  }
  return s;
}

TEST_F(SearchTest, EveryReportedAlignmentIsConsistent)
{
  std::mt19937 g(20261209);
  std::size_t  total = 0;
  testing::internal::CaptureStderr();
  for (int iter = 0; iter < 600; ++iter) {
    init_param();
    if (iter % 2) {
      global_mismatch_score          = -2 - static_cast<int>(g() % 6);
      global_indel_score             = -2 - static_cast<int>(g() % 6);
      const int R[]                  = {INT_MAX, 0, 2, 5, 12, INT_MIN};
      global_maximum_scorereduction  = R[g() % 6];
      global_maximum_recursion_depth = 1 + g() % 6;
      global_prefer_longer_repeat    = g() % 2;
      global_Ns_allowed_in_a_row     = g() % 4;
      global_treat_Ns_as_missense    = g() % 4 == 0;
      global_min_unit_length         = 1 + g() % 3;
      global_max_unit_length         = global_min_unit_length + g() % 9;
      global_min_score               = 2 + g() % 8;
      global_min_length              = g() % 15;
    }
    CSearchController::reset_minimum_arrays();
    std::string s = iter % 3 == 0 ? random_dna(g, 50 + g() % 400, 0.01) : planted(g);
    CsatList& l = iter % 5 == 4 ? run_extend_exact(s) : run_imperfect(s);
    total += l.size();
    check_all(l, s);
    if (HasFailure())
      break;
  }
  testing::internal::GetCapturedStderr();
  EXPECT_GT(total, 600u);
}

// Both lists hold the same repeats, field by field, in the same order.
testing::AssertionResult same_repeats(const std::vector<Rep>& slow, const std::vector<Rep>& fast)
{
  if (slow.size() != fast.size())
    return testing::AssertionFailure() << slow.size() << " repeats without shortcuts, " << fast.size() << " with";
  for (std::size_t i = 0; i < slow.size(); ++i) {
    const Rep& a = slow[i];
    const Rep& b = fast[i];
    if (!(a.start == b.start && a.end == b.end && a.k == b.k && a.score == b.score && a.mm == b.mm &&
          a.ins == b.ins && a.del == b.del && a.Ns == b.Ns && a.unit == b.unit))
      return testing::AssertionFailure() << "repeat " << i << " differs";
  }
  return testing::AssertionSuccess();
}

// Holds standard error captured and the shortcuts switch for one test, and
// gives both back however the test ends, so that a failed assertion leaves
// nothing behind for the next test.
struct ShortcutsRun
{
  ShortcutsRun() { testing::internal::CaptureStderr(); }
  ~ShortcutsRun()
  {
    CSearchController::search_shortcuts = true;
    testing::internal::GetCapturedStderr();
  }
};

// The search shortcuts (hopeless-seed proof in the direct search, run-length
// rejection and block skipping in the exact search) must give exactly the
// results of growing every candidate. Inputs are long stretches of random
// sequence with planted repeats and rare Ns, so that the shortcuts fire
// often and meet N runs, sequence ends and repeats near their windows.
TEST_F(SearchTest, ShortcutsChangeNoResult)
{
  std::mt19937 g(777);
  std::size_t  compared = 0;
  ShortcutsRun restore;
  for (int iter = 0; iter < 160; ++iter) {
    init_param();
    if (iter % 4) {
      global_mismatch_score          = -2 - static_cast<int>(g() % 9);
      global_indel_score             = -2 - static_cast<int>(g() % 9);
      const int R[]                  = {INT_MAX, 0, 3, 8, INT_MIN};
      global_maximum_scorereduction  = R[g() % 5];
      global_maximum_recursion_depth = 1 + g() % 6;
      global_prefer_longer_repeat    = g() % 2;
      global_Ns_allowed_in_a_row     = g() % 4;
      global_treat_Ns_as_missense    = g() % 5 == 0;
      global_min_unit_length         = 1 + g() % 3;
      global_max_unit_length         = global_min_unit_length + g() % 12;
      global_min_score               = 1 + g() % 12;
      global_min_score_bx            = static_cast<float>(g() % 3) * 0.5f;
      global_min_length              = g() % 3 == 0 ? g() % 30 : 0;
    }
    CSearchController::reset_minimum_arrays();
    std::string s;
    while (s.size() < static_cast<std::size_t>(600 + iter * 12))
      s += g() % 3 ? random_dna(g, 50 + g() % 300, g() % 4 ? 0.0 : 0.002) : planted(g);
    const int mode = iter % 3;
    auto run = [&](bool shortcuts) {
      CSearchController::search_shortcuts = shortcuts;
      set_sequence(s);
      if (mode == 0) {
        ctl->exact_search_2();
        return reps(ctl->exact_sats.list);
      }
      return reps(mode == 1 ? (ctl->search_exact_and_extend_to_imperfect_repeats(), ctl->imperfect_sats.list)
                            : (ctl->complete_imperfect_search(stdout), ctl->imperfect_sats.list));
    };
    const std::vector<Rep> slow = run(false);
    const std::vector<Rep> fast = run(true);
    ASSERT_TRUE(same_repeats(slow, fast)) << "iteration " << iter << " mode " << mode;
    compared += slow.size();
  }
  EXPECT_GT(compared, 1000u);
}

// Long records, where most seeds are far from the ends and from any N, so
// that the seed bound takes its shortcuts without end and N tests, with N
// runs placed near some seeds and far from others; one-letter seeds in runs
// of equal letters are skipped too. The direct search must find exactly
// what it finds with every seed grown.
TEST_F(SearchTest, ShortcutsChangeNoResultOnLongRecords)
{
  std::mt19937 g(4242);
  std::size_t  compared = 0;
  ShortcutsRun restore;
  for (int iter = 0; iter < 24; ++iter) {
    init_param();
    switch (iter % 6) {
    case 1: global_Ns_allowed_in_a_row = 0; break;
    case 2: global_treat_Ns_as_missense = true; break;
    case 3: global_mismatch_score = -3, global_indel_score = -4; break;
    case 4: global_prefer_longer_repeat = 0, global_Ns_allowed_in_a_row = 3; break;
    case 5: global_max_unit_length = 14; break;
    default: break;
    }
    // Higher minimum scores leave more seeds whose perfect part falls short
    // and whose chain of events decides.
    global_min_score = 4 + static_cast<int>(g() % 18);
    CSearchController::reset_minimum_arrays();
    std::string s;
    while (s.size() < 3000 + static_cast<std::size_t>(iter) * 200) {
      s += g() % 3 ? random_dna(g, 200 + g() % 600) : planted(g, g() % 4 == 0);
      if (g() % 3 == 0)
        s.append(1 + g() % 4, 'N');
      if (g() % 4 == 0)
        s.append(5 + g() % 12, "ACGT"[g() % 4]);
    }
    auto run = [&](bool shortcuts) {
      CSearchController::search_shortcuts = shortcuts;
      return reps(run_imperfect(s));
    };
    const std::vector<Rep> slow = run(false);
    const std::vector<Rep> fast = run(true);
    ASSERT_TRUE(same_repeats(slow, fast)) << "iteration " << iter;
    compared += slow.size();
  }
  EXPECT_GT(compared, 200u);
}

} // namespace

namespace {

// The seed bound may only reject a seed that cannot reach the minimum
// score, so for every seed it must allow the score that growing the seed
// actually gives. Planted repeats with substitutions and indels give many
// seeds whose grown score is exactly what the bound's best chain reaches,
// so a bound that is too tight by one shows up here.
TEST_F(SearchTest, SeedBoundAllowsTheGrownScoreOfEverySeed)
{
  std::mt19937 g(9090);
  long         checked = 0, eventful = 0;
  for (int iter = 0; iter < 15; ++iter) {
    init_param();
    switch (iter % 5) {
    case 1: global_mismatch_score = -3, global_indel_score = -4; break;
    case 2: global_prefer_longer_repeat = 0, global_Ns_allowed_in_a_row = 3; break;
    case 3: global_mismatch_score = -6, global_indel_score = -2; break;
    case 4: global_mismatch_score = -8, global_indel_score = -9; break;  // stretches of 8 decide
    default: break;
    }
    CSearchController::reset_minimum_arrays();
    std::string s;
    while (s.size() < 1500)
      s += g() % 4 ? planted(g, iter % 3 == 0) : random_dna(g, 100 + g() % 200);
    set_sequence(s);
    const char* const b = seq.residues_begin();
    const char* const e = seq.residues_end();
    for (unsigned k = 2; k <= 12; ++k)
      for (unsigned long p = 0; p + k < s.size(); ++p) {
        if (std::find(b + p, b + p + k, 'N') != b + p + k)
          continue;
        Csat* sat = sat_alloc.get_new(b + p, b + p + k);
        ctl->extend_imperfect_forward(*sat, e);
        ctl->extend_imperfect_backward(*sat, b - 1);
        const long grown = sat->score;
        const bool events = sat->mismatches + sat->insertions + sat->deletions > 0;
        sat_alloc.give_back(sat);
        ASSERT_FALSE(ctl->seed_bound_rejects(k, p, grown))
            << "iteration " << iter << ", k " << k << ", seed at " << p << ", grown score " << grown;
        ++checked;
        eventful += events;
      }
  }
  EXPECT_GT(checked, 100000);
  EXPECT_GT(eventful, 10000);
}

} // namespace

namespace {

// Search mode 1 grows each exact seed as soon as it is found. The result
// must be exactly that of finding all seeds first, sorting them, growing
// them in that order and sorting the kept ones: in particular repeats that
// grow to the same span must keep the order of their seeds.
TEST_F(SearchTest, GrowingSeedsAsFoundKeepsTheOrderOfGrowingThemAfterwards)
{
  std::mt19937 g(515);
  std::size_t  compared = 0, tied = 0;
  for (int iter = 0; iter < 40; ++iter) {
    init_param();
    if (iter % 2) {
      global_mismatch_score  = -2 - static_cast<int>(g() % 6);
      global_indel_score     = -2 - static_cast<int>(g() % 6);
      global_min_unit_length = 1 + g() % 3;
      global_max_unit_length = global_min_unit_length + g() % 10;
      global_min_score       = 2 + g() % 10;
    }
    CSearchController::reset_minimum_arrays();
    std::string s;
    while (s.size() < 800)
      s += g() % 3 ? planted(g, iter % 4 == 0) : random_dna(g, 50 + g() % 200);

    set_sequence(s);
    ctl->search_exact_and_extend_to_imperfect_repeats();
    const std::vector<Rep> streamed = reps(ctl->imperfect_sats.list);

    set_sequence(s);
    CSearchController::minScores  = CSearchController::minScores_intern;
    CSearchController::minLengths = CSearchController::minLengths_intern;
    ctl->exact_search_2();
    CSearchController::minScores  = CSearchController::minScores_user;
    CSearchController::minLengths = CSearchController::minLengths_user;
    CsatList kept;
    for (Csat* sat : ctl->exact_sats.list) {
      if (ctl->grow_exact_seed(*sat))
        kept.push_back(sat);
      else
        sat_alloc.give_back(sat);
    }
    ctl->exact_sats.list.clear();
    kept.sort(lessThan_sat);
    const std::vector<Rep> afterwards = reps(kept);
    ctl->imperfect_sats.list.splice(ctl->imperfect_sats.list.end(), kept);

    ASSERT_TRUE(same_repeats(afterwards, streamed)) << "iteration " << iter;
    compared += afterwards.size();
    for (std::size_t i = 1; i < afterwards.size(); ++i)
      tied += afterwards[i].start == afterwards[i - 1].start && afterwards[i].end == afterwards[i - 1].end;
  }
  EXPECT_GT(compared, 500u);
  EXPECT_GT(tied, 10u);
}

} // namespace
