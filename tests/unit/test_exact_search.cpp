// The exact search: fixed cases, and random sequences with planted repeats
// checked against a straightforward re-statement of the search and against
// the properties every perfect repeat must have.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"
#include "search/CSearchController.h"

namespace {

struct Found
{
  long     start, end, unit_begin, unit_length;
  int      score;
  unsigned Ns;
  long     fwd, bwd;  // unit positions as offsets into the sequence

  bool operator==(const Found& o) const
  {
    return std::tie(start, end, unit_begin, unit_length, score, Ns, fwd, bwd) ==
           std::tie(o.start, o.end, o.unit_begin, o.unit_length, o.score, o.Ns, o.fwd, o.bwd);
  }
};

std::ostream& operator<<(std::ostream& os, const Found& f)
{
  return os << "[" << f.start << "," << f.end << ") unit " << f.unit_begin << "+" << f.unit_length << " score "
            << f.score << " Ns " << f.Ns << " fwd " << f.fwd << " bwd " << f.bwd;
}

class ExactSearch : public ::testing::Test
{
protected:
  CSequence_Mol seq;

  void SetUp() override
  {
    init_param();
    global_search_mode = 0;
    CSearchController::reset_minimum_arrays();
    seq.name.assign("chr", "chr" + 3);
    time_next_status_report = time(nullptr) + 3600;  // no progress lines
  }
  void TearDown() override { CSearchController::reset_minimum_arrays(); }

  void set_sequence(const std::string& s)
  {
    seq.residues.clear();
    seq.residues.assign(s.data(), s.data() + s.size());
  }

  std::vector<Found> collect(const CsatList& list)
  {
    const char*        b = seq.residues.data();
    std::vector<Found> out;
    for (const Csat* p : list)
      out.push_back({p->start - b, p->end - b, p->unit_begin - b, p->unit_end - p->unit_begin, p->score, p->Ns,
                     p->forward_unit_pos - b, p->backward_unit_pos - b});
    return out;
  }

  // Runs the search in exact mode (user thresholds) or with the internal
  // thresholds in force, as the exact-then-extend mode does.
  std::vector<Found> search(const std::string& s, bool internal = false, bool filter = false)
  {
    set_sequence(s);
    CSearchController c(1, seq);
    if (internal) {
      CSearchController::minScores  = CSearchController::minScores_intern;
      CSearchController::minLengths = CSearchController::minLengths_intern;
    }
    c.exact_search_2();
    if (filter)
      c.remove_hidden(c.exact_sats);
    return collect(c.exact_sats.list);
  }
};

TEST_F(ExactSearch, DinucleotideCoversItsOwnMultiples)
{
  std::vector<Found> r = search("ACACACACAC");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (Found{0, 10, 0, 2, 8, 0, 0, 1}));
}

TEST_F(ExactSearch, NRunsInsideAndAtTheEnds)
{
  std::vector<Found> r = search("AAAAANNAAAA");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].start, 0);
  EXPECT_EQ(r[0].end, 11);
  EXPECT_EQ(r[0].unit_length, 1);
  EXPECT_EQ(r[0].score, 8);
  EXPECT_EQ(r[0].Ns, 2u);

  // Three Ns in a row stop the growth: the halves score 4 and 3.
  EXPECT_TRUE(search("AAAAANNNAAAA").empty());
  global_Ns_allowed_in_a_row = 3;
  CSearchController::reset_minimum_arrays();
  ASSERT_EQ(search("AAAAANNNAAAA").size(), 1u);

  global_Ns_allowed_in_a_row = 2;
  EXPECT_TRUE(search("NNNN").empty());
  EXPECT_TRUE(search("").empty());

  // Ns at the ends are trimmed and not counted.
  r = search("NACACACACNN");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (Found{1, 9, 1, 2, 6, 0, 1, 2}));
  r = search("AAAAAAANNC");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (Found{0, 7, 0, 1, 6, 0, 0, 0}));
}

// The unit position moves on over a run of Ns, so the character after the
// run is matched against the right unit character, on both sides.
TEST_F(ExactSearch, UnitPositionWrapsOverNRuns)
{
  std::vector<Found> r = search("ACGACGACGNNGACGACG");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (Found{0, 18, 0, 3, 13, 2, 0, 2}));

  // The seed lies right of the Ns and grows left over them.
  r = search("CGNNGACGACGACG");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (Found{0, 14, 4, 3, 9, 2, 5, 5}));
}

TEST_F(ExactSearch, NsAsMissenseOrNotAllowedStopTheRepeat)
{
  const std::string s = "AAAAAAANAAAAAAA";
  std::vector<Found> r = search(s);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].score, 13);
  EXPECT_EQ(r[0].Ns, 1u);

  global_treat_Ns_as_missense = true;
  r = search(s);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0], (Found{0, 7, 0, 1, 6, 0, 0, 0}));
  EXPECT_EQ(r[1], (Found{8, 15, 8, 1, 6, 0, 8, 8}));

  global_treat_Ns_as_missense = false;
  global_Ns_allowed_in_a_row  = 0;
  EXPECT_EQ(search(s).size(), 2u);
}

TEST_F(ExactSearch, SingleLetterUnitsBelongToUnitLengthOne)
{
  std::vector<Found> r = search("AAAAAAAAAA");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0], (Found{0, 10, 0, 1, 9, 0, 0, 0}));

  global_min_unit_length = 2;
  EXPECT_TRUE(search("AAAAAAAAAA").empty());
}

// With every threshold at 0, even a lone unit copy is kept; still no
// candidate exists for a unit as long as the sequence.
TEST_F(ExactSearch, NoCandidateWithoutCharacterAfterFirstCopy)
{
  global_min_score    = 0;
  global_min_score_bx = 0.0f;
  std::vector<Found> r = search("ACGT");
  EXPECT_FALSE(r.empty());
  for (const Found& f : r)
    EXPECT_LT(f.unit_length, 4);
  // Unit length 1: candidates at 0, 1, 2. Unit 2 at 0 covers 0..1, which
  // hides the candidate at 1; unit 3 at 0 is still examined through its
  // free left neighbour.
  EXPECT_EQ(r.size(), 5u);
}

TEST_F(ExactSearch, ThresholdsFromTheArraysInForce)
{
  global_min_score = 100;
  EXPECT_TRUE(search("ACACACACAC").empty());

  // Accepted under the internal thresholds only, the repeat does not cover
  // the mask and is met again from every candidate inside it: unit 2 from
  // positions 0..7, unit 4 from 0..5.
  std::vector<Found> r = search("ACACACACAC", true);
  ASSERT_EQ(r.size(), 14u);
  for (const Found& f : r) {
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(f.end, 10);
  }

  CSearchController::reset_minimum_arrays();
  global_min_score  = 0;
  global_min_length = 11;
  EXPECT_TRUE(search("ACACACACAC").empty());
}

// The perfection range decides whether a repeat covers the mask. Sixteen
// characters with two Ns: perfection 87.5 exactly in mode 0.
TEST_F(ExactSearch, PerfectionRangeDecidesCoverageInclusively)
{
  const std::string s = "ACACACACNNACACAC";
  ASSERT_EQ(search(s).size(), 1u);

  global_min_perfection = 87.5f;
  EXPECT_EQ(search(s).size(), 1u);
  global_min_perfection = 87.6f;
  EXPECT_GT(search(s).size(), 1u);

  global_min_perfection = 0.0f;
  global_max_perfection = 87.5f;
  EXPECT_EQ(search(s).size(), 1u);
  global_max_perfection = 87.4f;
  EXPECT_GT(search(s).size(), 1u);

  global_N_and_perfection_mode = 2;  // Ns count as matches: 100
  EXPECT_GT(search(s).size(), 1u);
  global_max_perfection = 100.0f;
  global_min_perfection = 100.0f;
  EXPECT_EQ(search(s).size(), 1u);
  global_N_and_perfection_mode = 1;
  EXPECT_EQ(search(s).size(), 1u);
  global_N_and_perfection_mode = 0;
  EXPECT_GT(search(s).size(), 1u);
}

TEST_F(ExactSearch, ResultSortedWithRecordsAlreadyPresent)
{
  set_sequence("GGGGGGGGTACACACACACTTTTTTTT");
  CSearchController c(1, seq);
  const char* b     = seq.residues.data();
  Csat*       late  = sat_alloc.get_new(b + 20, b + 21);
  Csat*       first = sat_alloc.get_new(b + 3, b + 4);
  Csat*       again = sat_alloc.get_new(b + 3, b + 4);
  c.exact_sats.list.push_back(late);
  c.exact_sats.list.push_back(first);
  c.exact_sats.list.push_back(again);
  c.exact_search_2();
  std::vector<Csat*> order(c.exact_sats.list.begin(), c.exact_sats.list.end());
  std::vector<Found> r = collect(c.exact_sats.list);
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[0], (Found{0, 8, 0, 1, 7, 0, 0, 0}));
  EXPECT_EQ(order[1], first);  // equal records keep their order
  EXPECT_EQ(order[2], again);
  EXPECT_EQ(r[3], (Found{9, 19, 9, 2, 8, 0, 9, 10}));
  EXPECT_EQ(r[4], (Found{19, 27, 19, 1, 7, 0, 19, 19}));
  EXPECT_EQ(order[5], late);
}

TEST_F(ExactSearch, ProgressLineNamesSequenceAndUnitLength)
{
  set_sequence(std::string(300, 'A') + std::string(300, 'C'));
  time_analysis_started   = time(nullptr);
  time_next_status_report = 0;
  global_min_unit_length  = 2;
  CSearchController c(7, seq);
  ::testing::internal::CaptureStderr();
  c.exact_search_2();
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(" - #   7 -    2bp - chr\n"), std::string::npos) << err;
  // Re-armed for a minute later: one line only.
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

// A plain re-statement of the search: indices instead of pointers, every
// test scanned afresh, every candidate grown.
std::vector<Found> reference_search(const std::string& s, const int* minS, const int* minL, const int* userS,
                                    const int* userL)
{
  const long         n       = static_cast<long>(s.size());
  const long         allowed = global_treat_Ns_as_missense ? 0 : global_Ns_allowed_in_a_row;
  std::vector<Found> out;
  std::string        mask(n + 3, 'a');
  mask[n + 2] = '\0';
  auto free_at = [&](long x) { return mask[x + 1] == 'a'; };

  auto grow = [&](long i, long k) {
    Found f{i, i + k, i, k, 0, 0, i, i + k - 1};
    while (f.end < n) {
      if (s[f.end] == s[f.fwd]) {
        ++f.score;
        ++f.end;
        f.fwd = i + (f.fwd - i + 1) % k;
        continue;
      }
      if (s[f.end] != 'N' || allowed <= 0)
        break;
      long run = 0;
      while (f.end + run < n && s[f.end + run] == 'N')
        ++run;
      if (run > allowed)
        break;
      f.end += run;
      f.fwd = i + (f.fwd - i + run) % k;
      f.Ns += run;
    }
    while (f.start > 0) {
      if (s[f.start - 1] == s[f.bwd]) {
        ++f.score;
        --f.start;
        f.bwd = i + (f.bwd - i + k - 1) % k;
        continue;
      }
      if (s[f.start - 1] != 'N' || allowed <= 0)
        break;
      long run = 0;
      while (f.start - 1 - run >= 0 && s[f.start - 1 - run] == 'N')
        ++run;
      if (run > allowed)
        break;
      f.start -= run;
      f.bwd = i + ((f.bwd - i - run) % k + k) % k;
      f.Ns += run;
    }
    while (s[f.end - 1] == 'N') {
      --f.end;
      f.fwd = i + (f.fwd - i + k - 1) % k;
      --f.Ns;
    }
    while (s[f.start] == 'N') {
      ++f.start;
      f.bwd = i + (f.bwd - i + 1) % k;
      --f.Ns;
    }
    return f;
  };
  auto passes = [](const Found& f, const int* S, const int* L) {
    return f.score >= S[f.unit_length] && f.end - f.start >= L[f.unit_length];
  };

  if (global_min_unit_length == 1) {
    long p = 0;
    while (p < n && s[p] == 'N')
      ++p;
    while (p + 1 < n) {
      Found f = grow(p, 1);
      if (passes(f, minS, minL)) {
        out.push_back(f);
        p = f.end;
      } else
        ++p;
      while (p < n && s[p] == 'N')
        ++p;
    }
  }
  for (long k = std::max<long>(2, global_min_unit_length); k <= static_cast<long>(global_max_unit_length); ++k) {
    for (long i = 0; i + k < n; ++i) {
      if (!((free_at(i) && (free_at(i + k - 1) || free_at(i + k))) || (free_at(i - 1) && free_at(i + k - 1))))
        continue;
      if (s.substr(i, k).find('N') != std::string::npos)
        continue;
      if (s.substr(i, k).find_first_not_of(s[i]) == std::string::npos)
        continue;
      Found f = grow(i, k);
      if (!passes(f, minS, minL))
        continue;
      if (passes(f, userS, userL)) {
        const long len = f.end - f.start;
        long       num = global_N_and_perfection_mode == 2 ? len : len - f.Ns;
        long       den = global_N_and_perfection_mode == 1 ? len - f.Ns : len;
        double     perf = static_cast<double>(num) / static_cast<double>(den) * 100.0;
        if (global_min_perfection <= perf && perf <= global_max_perfection)
          for (long x = f.start; x < f.end; ++x)
            mask[x + 1] = ' ';
      }
      out.push_back(f);
    }
  }
  std::stable_sort(out.begin(), out.end(), [](const Found& a, const Found& b) {
    return a.start < b.start || (a.start == b.start && a.end < b.end);
  });
  return out;
}

std::string random_sequence(std::mt19937& rng, std::size_t target)
{
  static const char ACGT[] = "ACGT";
  std::string       s;
  while (s.size() < target) {
    unsigned what = rng() % 10;
    if (what < 5) {
      for (unsigned j = rng() % 20; j > 0; --j)
        s += ACGT[rng() % 4];
    } else if (what < 9) {
      // A planted perfect repeat, sometimes with a short run of Ns inside.
      std::string unit;
      for (unsigned j = 1 + rng() % 7; j > 0; --j)
        unit += ACGT[rng() % 4];
      std::size_t len   = unit.size() * (1 + rng() % 6) + rng() % unit.size();
      std::size_t n_pos = rng() % 3 == 0 ? rng() % len : len;
      std::size_t n_run = 1 + rng() % 3;
      for (std::size_t j = 0; j < len; ++j)
        s += (j >= n_pos && j < n_pos + n_run) ? 'N' : unit[j % unit.size()];
    } else {
      s.append(1 + rng() % 4, 'N');
    }
  }
  return s;
}

// Properties of every reported repeat, independent of how it was found.
void check_perfect(const std::string& s, const Found& f)
{
  SCOPED_TRACE(::testing::Message() << f);
  ASSERT_GE(f.end - f.start, f.unit_length);
  ASSERT_LE(f.start, f.unit_begin);
  ASSERT_LE(f.unit_begin + f.unit_length, f.end);
  EXPECT_NE(s[f.start], 'N');
  EXPECT_NE(s[f.end - 1], 'N');
  unsigned Ns = 0;
  long     run = 0;
  for (long j = f.start; j < f.end; ++j) {
    if (s[j] == 'N') {
      ++Ns;
      EXPECT_LE(++run, global_Ns_allowed_in_a_row);
      continue;
    }
    run = 0;
    long phase = ((j - f.unit_begin) % f.unit_length + f.unit_length) % f.unit_length;
    EXPECT_EQ(s[j], s[f.unit_begin + phase]) << "at " << j;
    if (j >= f.start + f.unit_length && s[j - f.unit_length] != 'N') {
      EXPECT_EQ(s[j], s[j - f.unit_length]) << "at " << j;
    }
  }
  EXPECT_EQ(f.Ns, Ns);
  EXPECT_EQ(f.score, static_cast<int>(f.end - f.start - f.unit_length - Ns));
  // The repeat cannot be grown by one more matching character.
  if (f.end < static_cast<long>(s.size()) && s[f.end] != 'N') {
    EXPECT_NE(s[f.end], s[f.unit_begin + ((f.end - f.unit_begin) % f.unit_length)]);
  }
}

bool mostly_hidden(const Found& a, const Found& b)
{
  const Found& first  = a.start <= b.start ? a : b;
  const Found& second = a.start <= b.start ? b : a;
  if (second.start >= first.end)
    return false;
  long overlap = std::min(first.end, second.end) - second.start;
  return first.end - first.start < first.unit_length + overlap ||
         second.end - second.start < second.unit_length + overlap;
}

TEST_F(ExactSearch, RandomSequencesMatchReferenceAndProperties)
{
  std::mt19937 rng(20240611);
  for (int round = 0; round < 300; ++round) {
    init_param();
    global_search_mode         = 0;
    global_max_unit_length     = 2 + rng() % 9;
    global_min_unit_length     = rng() % 4 == 0 ? 2 : 1;
    global_Ns_allowed_in_a_row = rng() % 4;
    global_treat_Ns_as_missense = rng() % 6 == 0;
    global_N_and_perfection_mode = rng() % 3;
    global_min_score           = 2 + rng() % 8;
    global_min_length          = rng() % 3 == 0 ? 10 : 0;
    if (rng() % 4 == 0)
      global_min_perfection = 90.0f;
    const bool internal = rng() % 4 == 0;
    CSearchController::reset_minimum_arrays();

    const std::string s = random_sequence(rng, 200 + rng() % 800);
    SCOPED_TRACE(::testing::Message() << "round " << round << " seq " << s);

    set_sequence(s);
    CSearchController c(1, seq);
    const int* S = internal ? CSearchController::minScores_intern : CSearchController::minScores_user;
    const int* L = internal ? CSearchController::minLengths_intern : CSearchController::minLengths_user;
    CSearchController::minScores  = const_cast<int*>(S);
    CSearchController::minLengths = const_cast<int*>(L);
    c.exact_search_2();
    std::vector<Found> got = collect(c.exact_sats.list);
    ASSERT_EQ(got, reference_search(s, S, L, CSearchController::minScores_user, CSearchController::minLengths_user));

    for (const Found& f : got) {
      check_perfect(s, f);
      EXPECT_GE(f.score, S[f.unit_length]);
    }

    c.remove_hidden(c.exact_sats);
    std::vector<Found> kept = collect(c.exact_sats.list);
    for (std::size_t i = 0; i < kept.size(); ++i)
      for (std::size_t j = i + 1; j < kept.size() && kept[j].start < kept[i].end; ++j)
        EXPECT_FALSE(mostly_hidden(kept[i], kept[j])) << kept[i] << " / " << kept[j];
  }
}

}  // namespace
