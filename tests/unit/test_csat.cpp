// Repeat records: the pool, the containers, the two orders, the class
// names and the perfection under the three N modes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"

namespace {

// Empties the program-wide pool so that each test sees it in a known state.
void drain_pool()
{
  for (Csat* p : sat_alloc.list)
    delete p;
  sat_alloc.list.clear();
}

std::string repeat_name_of(unsigned int unit_length)
{
  static const char seq[] = "ACGTACGTACGTACGTACGT";
  Csat s;
  s.init_one_copy(seq, seq + unit_length);
  FILE* f = std::tmpfile();
  s.print_repeat_name(f);
  std::rewind(f);
  char buf[64] = {0};
  std::size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  return std::string(buf, n);
}

class CsatTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    init_param();
    drain_pool();
  }
  void TearDown() override { drain_pool(); }

  const char* seq = "ACACACACACACACACACACACACACACACACACACACAC";
};

TEST_F(CsatTest, GetNewOnEmptyPoolAllocatesOneUnitCopy)
{
  Csat* p = sat_alloc.get_new(seq + 4, seq + 6);
  EXPECT_EQ(p->start, seq + 4);
  EXPECT_EQ(p->unit_begin, seq + 4);
  EXPECT_EQ(p->end, seq + 6);
  EXPECT_EQ(p->unit_end, seq + 6);
  EXPECT_EQ(p->forward_unit_pos, seq + 4);
  EXPECT_EQ(p->backward_unit_pos, seq + 5);
  EXPECT_EQ(p->score, 0);
  EXPECT_EQ(p->mismatches + p->insertions + p->deletions + p->Ns, 0u);
  EXPECT_EQ(p->recursion_depth, 0);
  EXPECT_EQ(p->missense.size(), 0u);
  EXPECT_EQ(p->missense.capacity(), 0u);
  sat_alloc.give_back(p);
}

TEST_F(CsatTest, DiscardedRecordIsReusedWithItsMissenseBuffer)
{
  CsatContainer c(&sat_alloc);
  Csat* p = sat_alloc.get_new(seq, seq + 2);
  p->end   = seq + 20;
  p->score = 7;
  p->mismatches = 2;
  p->insertions = 1;
  p->deletions  = 3;
  p->Ns         = 1;
  p->recursion_depth = 4;
  for (int i = 0; i < 5; ++i)
    p->missense.push_back({seq + i, 'M'});
  const unsigned int cap = p->missense.capacity();
  c.list.push_back(p);

  auto next = c.discard(c.list.begin());
  EXPECT_TRUE(next == c.list.end());
  EXPECT_TRUE(c.empty());
  ASSERT_EQ(sat_alloc.size(), 1u);

  Csat* q = sat_alloc.get_new(seq + 10, seq + 13);
  EXPECT_EQ(q, p);
  EXPECT_TRUE(sat_alloc.empty());
  EXPECT_EQ(q->start, seq + 10);
  EXPECT_EQ(q->end, seq + 13);
  EXPECT_EQ(q->backward_unit_pos, seq + 12);
  EXPECT_EQ(q->score, 0);
  EXPECT_EQ(q->mismatches + q->insertions + q->deletions + q->Ns, 0u);
  EXPECT_EQ(q->recursion_depth, 0);
  EXPECT_EQ(q->missense.size(), 0u);
  EXPECT_EQ(q->missense.capacity(), cap);
  sat_alloc.give_back(q);
}

TEST_F(CsatTest, PoolIsAStack)
{
  Csat* a = sat_alloc.get_new(seq, seq + 2);
  Csat* b = sat_alloc.get_new(seq, seq + 2);
  ASSERT_NE(a, b);
  sat_alloc.give_back(a);
  sat_alloc.give_back(b);
  EXPECT_EQ(sat_alloc.get_new(seq, seq + 2), b);
  EXPECT_EQ(sat_alloc.get_new(seq, seq + 2), a);
  sat_alloc.give_back(a);
  sat_alloc.give_back(b);
}

TEST_F(CsatTest, DiscardInTheMiddleKeepsTheRestInOrder)
{
  CsatContainer c(&sat_alloc);
  std::vector<Csat*> r;
  for (int i = 0; i < 4; ++i) {
    r.push_back(sat_alloc.get_new(seq + i, seq + i + 2));
    c.list.push_back(r.back());
  }
  auto it = std::next(c.list.begin());
  it = c.discard(it);
  ASSERT_TRUE(it != c.list.end());
  EXPECT_EQ(*it, r[2]);
  it = c.discard(it);
  EXPECT_EQ(*it, r[3]);
  EXPECT_EQ(std::vector<Csat*>(c.list.begin(), c.list.end()), (std::vector<Csat*>{r[0], r[3]}));
  EXPECT_EQ(std::vector<Csat*>(sat_alloc.list.begin(), sat_alloc.list.end()),
            (std::vector<Csat*>{r[1], r[2]}));
}

TEST_F(CsatTest, ContainerDestructorMovesRecordsInOrderToThePool)
{
  std::vector<Csat*> expected;
  {
    CsatContainer c(&sat_alloc);
    for (int i = 0; i < 3; ++i)
      c.list.push_back(sat_alloc.get_new(seq + i, seq + i + 2));
    // A record already waiting in the pool stays in front of them.
    Csat* waiting = sat_alloc.get_new(seq, seq + 1);
    sat_alloc.give_back(waiting);
    expected.push_back(waiting);
    expected.insert(expected.end(), c.list.begin(), c.list.end());
  }
  EXPECT_EQ(std::vector<Csat*>(sat_alloc.list.begin(), sat_alloc.list.end()), expected);
  // The last record of the container is handed out first.
  Csat* p = sat_alloc.get_new(seq, seq + 2);
  EXPECT_EQ(p, expected.back());
  sat_alloc.give_back(p);
}

TEST_F(CsatTest, BasicContainerDeletesItsRecords)
{
  // Runs under the sanitizer build without leaks or double frees.
  CBasicSatContainer c;
  for (int i = 0; i < 3; ++i) {
    Csat* p = new Csat;
    p->init_one_copy(seq + i, seq + i + 2);
    p->missense.push_back({seq + i, 'I'});
    c.list.push_back(p);
  }
  EXPECT_EQ(c.size(), 3u);
}

TEST_F(CsatTest, LessThanSatOrdersByStartThenEnd)
{
  Csat a, b;
  a.init_one_copy(seq + 2, seq + 4);
  b.init_one_copy(seq + 3, seq + 5);
  EXPECT_TRUE(lessThan_sat(&a, &b));
  EXPECT_FALSE(lessThan_sat(&b, &a));
  b.start = seq + 2;
  b.end   = seq + 10;
  EXPECT_TRUE(lessThan_sat(&a, &b));
  EXPECT_FALSE(lessThan_sat(&b, &a));
  b.end = a.end;
  EXPECT_FALSE(lessThan_sat(&a, &b));
  EXPECT_FALSE(lessThan_sat(&b, &a));
  // A longer repeat that starts earlier still comes first.
  b.start = seq + 1;
  b.end   = seq + 30;
  EXPECT_TRUE(lessThan_sat(&b, &a));
}

TEST_F(CsatTest, ContainerSortIsStableForEquivalentRecords)
{
  CsatContainer c(&sat_alloc);
  struct Pos { int s, e; };
  const Pos pos[] = {{5, 9}, {1, 8}, {5, 7}, {1, 8}, {5, 9}, {0, 3}, {1, 8}};
  std::vector<Csat*> r;
  for (const Pos& p : pos) {
    r.push_back(sat_alloc.get_new(seq + p.s, seq + p.e));
    c.list.push_back(r.back());
  }
  c.sort();
  const std::vector<Csat*> expected = {r[5], r[1], r[3], r[6], r[2], r[0], r[4]};
  EXPECT_EQ(std::vector<Csat*>(c.list.begin(), c.list.end()), expected);
}

TEST_F(CsatTest, MissenseSortsByPositionThenDBeforeIBeforeM)
{
  Csat s;
  s.init_one_copy(seq, seq + 2);
  s.missense.push_back({seq + 7, 'M'});
  s.missense.push_back({seq + 3, 'M'});
  s.missense.push_back({seq + 3, 'I'});
  s.missense.push_back({seq + 3, 'D'});
  s.missense.push_back({seq + 1, 'I'});
  s.missense.push_back({seq + 7, 'D'});
  s.sort_missense();
  const std::vector<std::pair<int, char>> expected = {
    {1, 'I'}, {3, 'D'}, {3, 'I'}, {3, 'M'}, {7, 'D'}, {7, 'M'}};
  std::vector<std::pair<int, char>> got;
  for (const missense_entry& m : s.missense)
    got.push_back({static_cast<int>(m.first - seq), m.second});
  EXPECT_EQ(got, expected);

  EXPECT_TRUE(Csat::lessThan_missense({seq + 3, 'D'}, {seq + 3, 'M'}));
  EXPECT_FALSE(Csat::lessThan_missense({seq + 3, 'M'}, {seq + 3, 'D'}));
  EXPECT_FALSE(Csat::lessThan_missense({seq + 3, 'M'}, {seq + 3, 'M'}));
  EXPECT_TRUE(Csat::lessThan_missense({seq + 2, 'M'}, {seq + 3, 'D'}));
}

TEST(CsatRepeatName, FieldWidthsAndNames)
{
  EXPECT_EQ(repeat_name_of(0), " ***  ERROR  ***");
  EXPECT_EQ(repeat_name_of(1), "  mononucleotide");
  EXPECT_EQ(repeat_name_of(2), "    dinucleotide");
  EXPECT_EQ(repeat_name_of(3), "   trinucleotide");
  EXPECT_EQ(repeat_name_of(4), " tetranucleotide");
  EXPECT_EQ(repeat_name_of(5), " pentanucleotide");
  EXPECT_EQ(repeat_name_of(6), "  hexanucleotide");
  EXPECT_EQ(repeat_name_of(7), "    7-nucleotide");
  EXPECT_EQ(repeat_name_of(8), "    8-nucleotide");
  EXPECT_EQ(repeat_name_of(12), "   12-nucleotide");
  for (unsigned int k = 0; k <= 12; ++k)
    EXPECT_EQ(repeat_name_of(k).size(), 16u) << k;
}

// A record of length and normalized length 20 with 2 Ns and 1 mismatch.
Csat* make_20_2N_1mis(Csat& s, const char* seq)
{
  s.init_one_copy(seq, seq + 2);
  s.end        = seq + 20;
  s.Ns         = 2;
  s.mismatches = 1;
  return &s;
}

TEST_F(CsatTest, PerfectionInTheThreeNModes)
{
  Csat s;
  make_20_2N_1mis(s, seq);
  long n, d;

  global_N_and_perfection_mode = 0;
  s.perfection_terms(n, d);
  EXPECT_EQ(n, 17);
  EXPECT_EQ(d, 20);
  EXPECT_FLOAT_EQ(s.perfection_float(), 85.0f);
  EXPECT_DOUBLE_EQ(s.perfection_double(), 85.0);

  global_N_and_perfection_mode = 1;
  s.perfection_terms(n, d);
  EXPECT_EQ(n, 17);
  EXPECT_EQ(d, 18);
  EXPECT_DOUBLE_EQ(s.perfection_double(), 100.0 * 17 / 18);
  // Single precision: 17 / 18 rounded to float, times 100, rounded again.
  EXPECT_EQ(s.perfection_float(), 0x1.79c71cp+6f);  // 94.4444427...

  global_N_and_perfection_mode = 2;
  s.perfection_terms(n, d);
  EXPECT_EQ(n, 19);
  EXPECT_EQ(d, 20);
  EXPECT_FLOAT_EQ(s.perfection_float(), 95.0f);

  // Insertions shorten and deletions lengthen the normalized length, and
  // both count against the perfection.
  s.insertions = 2;
  s.deletions  = 1;
  EXPECT_EQ(s.normalized_length(), 19);
  s.perfection_terms(n, d);
  EXPECT_EQ(n, 19 - 1 - 2 - 1);
  EXPECT_EQ(d, 19);
}

TEST_F(CsatTest, SinglePrecisionPerfectionDiffersFromDouble)
{
  // 2 / 3: the float value lies above the exact quotient.
  Csat s;
  s.init_one_copy(seq, seq + 1);
  s.end        = seq + 6;
  s.mismatches = 2;
  global_N_and_perfection_mode = 0;
  EXPECT_EQ(s.perfection_float(), 0x1.0aaaacp+6f);
  EXPECT_GT(static_cast<double>(s.perfection_float()), s.perfection_double());
}

TEST_F(CsatTest, UnknownPerfectionModeExitsWithCode2)
{
  Csat s;
  make_20_2N_1mis(s, seq);
  global_N_and_perfection_mode = 3;
  EXPECT_EXIT(s.perfection_float(), ::testing::ExitedWithCode(2), "");
  EXPECT_EXIT(s.perfection_double(), ::testing::ExitedWithCode(2), "");
  global_N_and_perfection_mode = -1;
  long n, d;
  EXPECT_EXIT(s.perfection_terms(n, d), ::testing::ExitedWithCode(2), "");
}

TEST_F(CsatTest, RepeatNumberIsNormalizedLengthOverUnitLength)
{
  Csat s;
  s.init_one_copy(seq, seq + 3);
  s.end        = seq + 10;
  s.deletions  = 1;
  s.insertions = 0;
  EXPECT_FLOAT_EQ(s.repeat_number(), 11.0f / 3.0f);
}

} // namespace
