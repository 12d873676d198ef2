// The imperfect extension alignment on hand-made records: where it ends,
// its score, counts and alignment events.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"

namespace {

struct Event
{
  long pos;
  char kind;
  bool operator==(const Event& o) const { return pos == o.pos && kind == o.kind; }
};

std::ostream& operator<<(std::ostream& os, const Event& e) { return os << "(" << e.pos << "," << e.kind << ")"; }

class Extension : public ::testing::Test
{
protected:
  CSequence_Mol                      seq;
  std::unique_ptr<CSearchController> ctl;
  Csat*                              sat = nullptr;

  void SetUp() override
  {
    init_param();
    CSearchController::reset_minimum_arrays();
  }
  void TearDown() override
  {
    if (sat)
      sat_alloc.give_back(sat);
    ctl.reset();
    CSearchController::reset_minimum_arrays();
  }

  void set_sequence(const std::string& s)
  {
    seq.residues.assign(s.data(), s.data() + s.size());
    seq.name.assign("t", "t" + 1);
    ctl.reset(new CSearchController(1, seq));
  }
  const char* at(long i) const { return seq.residues_begin() + i; }
  long        pos(const char* p) const { return p - seq.residues_begin(); }

  // A perfect repeat of the unit at [ub, ub + k) covering [s, e), grown from that copy.
  Csat& perfect(long ub, unsigned k, long s, long e)
  {
    sat = sat_alloc.get_new(at(ub), at(ub + k));
    sat->start             = at(s);
    sat->end               = at(e);
    sat->forward_unit_pos  = at(ub + ((e - ub) % static_cast<long>(k)));
    long back              = ((s - 1 - ub) % static_cast<long>(k) + k) % k;
    sat->backward_unit_pos = at(ub + back);
    sat->score             = static_cast<int>(e - s - k);
    return *sat;
  }

  void forward() { ctl->extend_imperfect_forward(*sat, seq.residues_end()); }
  void backward() { ctl->extend_imperfect_backward(*sat, seq.residues_begin() - 1); }

  std::vector<Event> events() const
  {
    std::vector<Event> v;
    for (const missense_entry& m : sat->missense)
      v.push_back(Event{pos(m.first), m.second});
    return v;
  }

  void expect(long start, long end, int score, unsigned mm, unsigned ins, unsigned del, unsigned Ns,
              std::vector<Event> ev)
  {
    EXPECT_EQ(pos(sat->start), start);
    EXPECT_EQ(pos(sat->end), end);
    EXPECT_EQ(sat->score, score);
    EXPECT_EQ(sat->mismatches, mm);
    EXPECT_EQ(sat->insertions, ins);
    EXPECT_EQ(sat->deletions, del);
    EXPECT_EQ(sat->Ns, Ns);
    EXPECT_EQ(sat->recursion_depth, 0);
    EXPECT_EQ(events(), ev);
  }
};

} // namespace

static std::string reversed(std::string s) { return std::string(s.rbegin(), s.rend()); }

static const std::string MISMATCH_CASE = "ACACACACACGCACACACACTTTT";

TEST_F(Extension, ForwardMismatchThenBestStateRestoredBeforeTail)
{
  set_sequence(MISMATCH_CASE);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 20, 12, 1, 0, 0, 0, {{10, 'M'}});
  EXPECT_EQ(pos(sat->forward_unit_pos), 0);  // T at 20 would have to match A
}

TEST_F(Extension, BackwardMirrorsForward)
{
  // Reversed, the unit CA at 14..15; the character before start must match the A at 15.
  set_sequence(reversed(MISMATCH_CASE));
  perfect(14, 2, 14, 24);
  ASSERT_EQ(*sat->backward_unit_pos, 'A');
  backward();
  expect(4, 24, 12, 1, 0, 0, 0, {{13, 'M'}});
  EXPECT_EQ(pos(sat->backward_unit_pos), 15);
}

TEST_F(Extension, InsertionPreferredByLookAheadAndKeptAtSequenceEnd)
{
  set_sequence("ACACACACACTACACACACAC");
  perfect(0, 2, 0, 10);
  // The look-ahead values at the T: mismatch 8, insertion 13.
  const char* e = sat->end;
  EXPECT_EQ(ctl->extend_imperfect_forward_leap_ahead(e + 1, at(1), at(0), at(2), 3, 2, 1, seq.residues_end(), 8), 8);
  EXPECT_EQ(ctl->extend_imperfect_forward_leap_ahead(e + 1, at(0), at(0), at(2), 3, 2, 1, seq.residues_end(), 8), 13);
  forward();
  expect(0, 21, 13, 0, 1, 0, 0, {{10, 'I'}});
}

TEST_F(Extension, BackwardInsertionRecordsNewStart)
{
  set_sequence(reversed("ACACACACACTACACACACAC"));  // CACACACACATCACACACACA
  perfect(11, 2, 11, 21);
  backward();
  expect(0, 21, 13, 0, 1, 0, 0, {{10, 'I'}});
}

TEST_F(Extension, AcceptedNRunScoresZero)
{
  set_sequence("ACACACACACNNACAC");
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 16, 12, 0, 0, 0, 2, {});
}

TEST_F(Extension, NRunTooLongStopsGrowth)
{
  set_sequence("ACACACACACNNNACAC");
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 10, 8, 0, 0, 0, 0, {});
}

TEST_F(Extension, NRunsBackwardAndLongRunsAllowed)
{
  set_sequence(reversed("ACACACACACNNACAC"));  // CACANNCACACACACA
  perfect(6, 2, 6, 16);
  backward();
  expect(0, 16, 12, 0, 0, 0, 2, {});

  // An allowed run longer than the unit advances the unit position modulo its length.
  global_Ns_allowed_in_a_row = 5;
  set_sequence("ACGACGACGNNNNNGACGACG");
  sat_alloc.give_back(sat);
  perfect(0, 3, 0, 9);
  forward();
  expect(0, 21, 6 + 7, 0, 0, 0, 5, {});
}

TEST_F(Extension, NsAsMissenseAreOrdinaryCharacters)
{
  global_treat_Ns_as_missense = true;
  set_sequence("ACACACACACNACACACACAC");
  perfect(0, 2, 0, 10);
  forward();
  // The N is inserted like any other disagreeing character.
  expect(0, 21, 8 - 5 + 10, 0, 1, 0, 0, {{10, 'I'}});
}

TEST_F(Extension, NoReductionAllowedMeansPerfectGrowthOnly)
{
  global_maximum_scorereduction = 0;
  set_sequence(MISMATCH_CASE);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 10, 8, 0, 0, 0, 0, {});

  set_sequence("ACACACACACNNACACGACACACACACACAC");
  sat_alloc.give_back(sat);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 16, 12, 0, 0, 0, 2, {});
}

TEST_F(Extension, ExtremeScoresDoNotOverflow)
{
  // b - R with R = -2147483648 exceeds 32 bits: nothing is affordable.
  global_maximum_scorereduction = INT_MIN;
  set_sequence(MISMATCH_CASE);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 10, 8, 0, 0, 0, 0, {});

  global_maximum_scorereduction = INT_MAX;
  global_mismatch_score         = INT_MIN;
  global_indel_score            = INT_MIN;
  set_sequence("ACACACACACNNACACGACACACACACACAC");
  sat_alloc.give_back(sat);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 16, 12, 0, 0, 0, 2, {});
  backward();
  expect(0, 16, 12, 0, 0, 0, 2, {});

  // A one-copy seed of a long unit: score + event score would wrap around.
  set_sequence("ACGTTGACGTTACGTT");
  sat_alloc.give_back(sat);
  perfect(0, 5, 0, 5);
  forward();
  expect(0, 5, 0, 0, 0, 0, 0, {});
}

TEST_F(Extension, OneCopySeedAffordsEventOnlyForLongUnit)
{
  // Unit length 2: 0 - 5 is not above L = -2 - 1, so nothing is tried.
  set_sequence("ACTACACACACACACAC");
  perfect(0, 2, 0, 2);
  forward();
  expect(0, 2, 0, 0, 0, 0, 0, {});

  // Unit length 5: -5 > -6, the insertion of the G pays off.
  set_sequence("ACGTTGACGTTACGTT");
  sat_alloc.give_back(sat);
  perfect(0, 5, 0, 5);
  forward();
  expect(0, 16, 5, 0, 1, 0, 0, {{5, 'I'}});
}

TEST_F(Extension, MismatchWinsTieWithInsertion)
{
  // Two mismatches and two insertions both reach score 10.
  set_sequence("ACACACACACTGACACACACACAC");
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 24, 10, 2, 0, 0, 0, {{10, 'M'}, {11, 'M'}});
}

TEST_F(Extension, InsertionWinsTieWithDeletion)
{
  // Mismatches cost too much to be tried; insertion+deletion and
  // deletion+insertion reach the same state, the insertion comes first.
  global_mismatch_score = -11;
  set_sequence("ACACACACACGCACACACACACA");
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 23, 10, 0, 1, 1, 0, {{10, 'I'}, {11, 'D'}});
  EXPECT_EQ(pos(sat->forward_unit_pos), 1);
}

TEST_F(Extension, DeletionConsumesUnitOnly)
{
  set_sequence("ACGACGACGAGACGACGACG");  // the C of the fourth copy is missing
  perfect(0, 3, 0, 9);
  forward();
  expect(0, 20, 6 + 1 - 5 + 1 + 9, 0, 0, 1, 0, {{10, 'D'}});
  EXPECT_EQ(sat->normalized_length(), 21);
}

TEST_F(Extension, PreferLongerKeepsLaterPointOfEqualScore)
{
  // After the mismatch the score climbs back to exactly 8 at the sequence end.
  set_sequence("ACACACACACTCACAC");
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 16, 8, 1, 0, 0, 0, {{10, 'M'}});

  global_prefer_longer_repeat = 0;
  sat_alloc.give_back(sat);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 10, 8, 0, 0, 0, 0, {});
}

TEST_F(Extension, FinalTestsDifferAtBMinusP)
{
  // Mismatch -2 and R = 2: L = b - 3. After the mismatch at 10 (8 - 2 = 6)
  // the C matches: score 7 = b - 1.
  global_mismatch_score         = -2;
  global_maximum_scorereduction = 2;

  // No alternative passes at the G (7 - 2 is not above 5): the current
  // record is kept, although it scores less than the best point.
  set_sequence("ACACACACACTCGG");
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 12, 7, 1, 0, 0, 0, {{10, 'M'}});

  // The same score at the sequence end: the best state is restored.
  set_sequence("ACACACACACTC");
  sat_alloc.give_back(sat);
  perfect(0, 2, 0, 10);
  forward();
  expect(0, 10, 8, 0, 0, 0, 0, {});
}

TEST_F(Extension, DepthCounterComparedWithLimit)
{
  // The look-ahead stops after its perfect stretch when depth equals the limit.
  set_sequence("ACACACACACTGACACACACACAC");
  const char* end = seq.residues_end();
  // Mismatch at 10 entered with score 3: the stretch from 11 is empty.
  EXPECT_EQ(ctl->extend_imperfect_forward_leap_ahead(at(11), at(1), at(0), at(2), 3, 2, 5, end, 8), 3);
  EXPECT_EQ(ctl->extend_imperfect_forward_leap_ahead(at(11), at(1), at(0), at(2), 3, 2, 4, end, 8), 10);
  global_maximum_recursion_depth = 1;
  EXPECT_EQ(ctl->extend_imperfect_forward_leap_ahead(at(11), at(1), at(0), at(2), 3, 2, 1, end, 8), 3);
  EXPECT_EQ(ctl->extend_imperfect_forward_leap_ahead(at(11), at(1), at(0), at(2), 3, 2, 0, end, 8), 10);
  // The backward look-ahead, mirrored.
  set_sequence(reversed("ACACACACACTGACACACACACAC"));
  const char* before = seq.residues_begin() - 1;
  EXPECT_EQ(ctl->extend_imperfect_backward_leap_ahead(at(13), at(14), at(14), at(16), 3, 2, 1, before, 8), 3);
  EXPECT_EQ(ctl->extend_imperfect_backward_leap_ahead(at(13), at(14), at(14), at(16), 3, 2, 0, before, 8), 10);
}
