// The report: the five output formats, the sequence and alignment prints,
// flanks, the perfection and periodicity tests, the position correction for
// removed gaps, and the per-sequence header and footer.
//
// Sequences and records are built by hand; the text is written into a
// temporary file and compared byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"

namespace {

std::string capture(const std::function<void(FILE*)>& write)
{
  FILE* f = std::tmpfile();
  write(f);
  std::fflush(f);
  std::rewind(f);
  std::string out;
  char        buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    out.append(buf, n);
  std::fclose(f);
  return out;
}

// Fills the record as the gap-removing reader would: '-' and '*' are dropped
// and their positions kept, N counts as unknown, everything else as ACGTU.
void set_sequence(CSequence_Mol& seq, const std::string& fullname, const std::string& text)
{
  seq.fullname.assign(fullname.data(), fullname.data() + fullname.size());
  std::size_t blank = fullname.find(' ');
  std::string name  = fullname.substr(0, blank);
  seq.name.assign(name.data(), name.data() + name.size());
  seq.residues.clear();
  seq.gap_positions.clear();
  seq.count_ACGTU = seq.count_N = seq.count_gaps = 0;
  for (unsigned int i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '-' || c == '*') {
      seq.gap_positions.push_back(i);
      ++seq.count_gaps;
      continue;
    }
    seq.residues.push_back(c);
    if (c == 'N')
      ++seq.count_N;
    else
      ++seq.count_ACGTU;
  }
}

class ReportTest : public ::testing::Test
{
protected:
  CSequence_Mol                      seq;
  std::vector<std::unique_ptr<Csat>> sats;

  void SetUp() override
  {
    init_param();
    global_print_sat_mode        = 0;
    global_print_sat_seq_mode    = 0;
    global_report_unit_mode      = 2;
    global_flanking              = 0;
    global_treat_Ns_as_missense  = false;
    global_N_and_perfection_mode = 0;
    global_min_perfection        = 0.0f;
    global_max_perfection        = 100.0f;
    global_CAIRN_run             = false;
    global_sequenceInfoAsComment = false;
    set_sequence(seq, "seq1 test record", "GGACACACACGG");
  }

  // A record over residues [s, e) whose unit is the residues [u, u + k);
  // the character at s matches the unit character after backward_unit_pos,
  // which for u == s is the first unit character.
  Csat& sat(unsigned int s, unsigned int e, unsigned int u, unsigned int k, int score)
  {
    sats.emplace_back(new Csat);
    Csat&       r = *sats.back();
    const char* b = seq.residues_begin();
    r.init_one_copy(b + u, b + u + k);
    r.start = b + s;
    r.end   = b + e;
    r.score = score;
    return r;
  }

  std::string report_one(const Csat& r)
  {
    unsigned int gap_index = 0;
    return capture([&](FILE* f) { r.report_sat(f, seq, gap_index); });
  }

  std::string report_all()
  {
    CsatList list;
    for (auto& p : sats)
      list.push_back(p.get());
    CSearchController controller(1, seq);
    return capture([&](FILE* f) { controller.report_SATList(f, list); });
  }
};

const char* const kLine0 =
  "    dinucleotide         3 :        10 |      8 bp |      8 BP |      6 pt | 100.000 % | unit AC\n";

// ---------------------------------------------------------------------------
// Format 0

TEST_F(ReportTest, Format0WithHeaderAndFooter)
{
  sat(2, 10, 2, 2, 6);
  EXPECT_EQ(report_all(), std::string(">seq1 test record\nsequence length: 12\nnumber of ACGTU characters: 12\n") +
                            kLine0 + "# Analysis of sequence \"seq1 test record\" completed.\n");
}

TEST_F(ReportTest, Format0CairnRunHasShortHeaderAndNoFooter)
{
  global_CAIRN_run = true;
  sat(2, 10, 2, 2, 6);
  EXPECT_EQ(report_all(), std::string(">seq1 test record\nsequence length: 12\n") + kLine0);
}

TEST_F(ReportTest, Format0PrintModes)
{
  Csat& r = sat(2, 10, 2, 2, 6);
  global_print_sat_seq_mode = 0;
  EXPECT_EQ(report_one(r), kLine0);
  global_print_sat_seq_mode = 1;
  EXPECT_EQ(report_one(r), std::string(kLine0) + "ACACACAC\n");
  global_print_sat_seq_mode = 2;
  EXPECT_EQ(report_one(r), std::string(kLine0) + "ACACACAC\n||||||||\nACACACAC\n");
}

TEST_F(ReportTest, Format0LongUnitName)
{
  set_sequence(seq, "s", "ACGTTGCAACGTTGCA");
  Csat& r = sat(0, 16, 0, 8, 8);
  global_report_unit_mode = 0;
  EXPECT_EQ(report_one(r), "    8-nucleotide         1 :        16 |     16 bp |     16 BP |      8 pt | "
                           "100.000 % | unit ACGTTGCA\n");
}

// ---------------------------------------------------------------------------
// Format 1

TEST_F(ReportTest, Format1WithAndWithoutNColumn)
{
  global_print_sat_mode = 1;
  Csat& r = sat(2, 10, 2, 2, 6);
  const std::string head =
    "    dinucleotide         3 :        10 |      8 bp |      8 BP |      6 pt | 100.000 % |   0 mis |   0 ins |   0 del | ";
  EXPECT_EQ(report_one(r), head + "  0 N |  unit AC\nMissense: \n");
  global_treat_Ns_as_missense = true;
  EXPECT_EQ(report_one(r), head + " unit AC\nMissense: \n");
}

TEST_F(ReportTest, Format1MismatchAlignment)
{
  global_print_sat_mode     = 1;
  global_print_sat_seq_mode = 2;
  set_sequence(seq, "s2", "ACACAGACAC");
  Csat& r     = sat(0, 10, 0, 2, 3);
  r.mismatches = 1;
  r.missense.push_back({seq.residues_begin() + 5, 'M'});
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :        10 |     10 bp |     10 BP |      3 pt |  90.000 % |   1 mis |   0 ins |   0 del |   0 N |  unit AC\n"
            "Missense: (6,M),\n"
            "ACACAGACAC\n"
            "||||| ||||\n"
            "ACACACACAC\n");
}

TEST_F(ReportTest, Format1InsertionAlignment)
{
  global_print_sat_mode     = 1;
  global_print_sat_seq_mode = 2;
  set_sequence(seq, "s3", "ACACTACAC");
  Csat& r     = sat(0, 9, 0, 2, 2);
  r.insertions = 1;
  r.missense.push_back({seq.residues_begin() + 4, 'I'});
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :         9 |      9 bp |      8 BP |      2 pt |  87.500 % |   0 mis |   1 ins |   0 del |   0 N |  unit AC\n"
            "Missense: (5,I),\n"
            "ACACTACAC\n"
            "|||| ||||\n"
            "ACAC-ACAC\n");
}

TEST_F(ReportTest, Format1DeletionAlignment)
{
  global_print_sat_mode     = 1;
  global_print_sat_seq_mode = 2;
  set_sequence(seq, "s4", "ACAACAC");
  Csat& r    = sat(0, 7, 0, 2, 1);
  r.deletions = 1;
  r.missense.push_back({seq.residues_begin() + 3, 'D'});
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :         7 |      7 bp |      8 BP |      1 pt |  87.500 % |   0 mis |   0 ins |   1 del |   0 N |  unit AC\n"
            "Missense: (4,D),\n"
            "ACA-ACAC\n"
            "||| ||||\n"
            "ACACACAC\n");
}

TEST_F(ReportTest, AlignmentWithDeletionAndMismatchAtOnePosition)
{
  global_print_sat_mode     = 1;
  global_print_sat_seq_mode = 2;
  global_treat_Ns_as_missense = true;
  set_sequence(seq, "s6", "ACAGCAC");
  Csat& r     = sat(0, 7, 0, 2, -8);
  r.deletions  = 1;
  r.mismatches = 1;
  // Stored out of order, sorted as the searches do before keeping a record.
  r.missense.push_back({seq.residues_begin() + 3, 'M'});
  r.missense.push_back({seq.residues_begin() + 3, 'D'});
  r.sort_missense();
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :         7 |      7 bp |      8 BP |     -8 pt |  75.000 % |   1 mis |   0 ins |   1 del |  unit AC\n"
            "Missense: (4,D),(4,M),\n"
            "ACA-GCAC\n"
            "|||  |||\n"
            "ACACACAC\n");
}

TEST_F(ReportTest, AlignmentMarksAcceptedNs)
{
  global_print_sat_mode     = 1;
  global_print_sat_seq_mode = 2;
  set_sequence(seq, "s5", "ACNCACAC");
  Csat& r = sat(0, 8, 0, 2, 5);
  r.Ns    = 1;
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :         8 |      8 bp |      8 BP |      5 pt |  87.500 % |   0 mis |   0 ins |   0 del |   1 N |  unit AC\n"
            "Missense: \n"
            "ACNCACAC\n"
            "||*|||||\n"
            "ACACACAC\n");
}

TEST_F(ReportTest, AlignmentUnitStartsAfterBackwardUnitPos)
{
  global_print_sat_seq_mode = 2;
  set_sequence(seq, "s", "ACACACACG");
  // Unit CA seeded at residue 1; the repeat starts one character earlier,
  // at the second unit character.
  Csat& r             = sat(0, 8, 1, 2, 6);
  r.backward_unit_pos = r.unit_begin;
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :         8 |      8 bp |      8 BP |      6 pt | 100.000 % | unit AC\n"
            "ACACACAC\n||||||||\nACACACAC\n");
  global_report_unit_mode = 0;
  EXPECT_EQ(report_one(r),
            "    dinucleotide         1 :         8 |      8 bp |      8 BP |      6 pt | 100.000 % | unit CA\n"
            "ACACACAC\n||||||||\nACACACAC\n");
}

// ---------------------------------------------------------------------------
// Flanks in the sequence and alignment prints

TEST_F(ReportTest, FlanksAreCutAtTheSequenceEnds)
{
  global_flanking           = 3;
  global_print_sat_seq_mode = 1;
  Csat& inner = sat(2, 10, 2, 2, 6);
  EXPECT_EQ(report_one(inner), std::string(kLine0) + "GG:ACACACAC:GG\n");

  set_sequence(seq, "s7", "ACACACGTTTT");
  Csat& first = sat(0, 6, 0, 2, 4);
  const std::string line =
    "    dinucleotide         1 :         6 |      6 bp |      6 BP |      4 pt | 100.000 % | unit AC\n";
  EXPECT_EQ(report_one(first), line + ":ACACAC:GTT\n");

  global_print_sat_seq_mode = 2;
  EXPECT_EQ(report_one(first), line +
                                 ":ACACAC:GTT\n"
                                 " ||||||    \n"
                                 " ACACAC    \n");
}

// ---------------------------------------------------------------------------
// Format 2 (GFF)

TEST_F(ReportTest, Format2UnitUpTo50IsPrintedAbove50ItIsAFullStop)
{
  global_print_sat_mode     = 2;
  global_print_sat_seq_mode = 2;  // ignored by this format
  global_report_unit_mode   = 0;
  const std::string u50 = "ACGTTGCAAGCTTCGAGGATCCATGCATGCAAGTCGACTTAAGCCGGTAC";
  ASSERT_EQ(u50.size(), 50u);
  set_sequence(seq, "g desc", u50 + u50);
  Csat& r50 = sat(0, 100, 0, 50, 50);
  EXPECT_EQ(report_one(r50), "g\tKatrel\ttandem-repeat\t1\t100\t100.00\t.\t.\tName=\"repeat_region 1-100 "
                             "unit_size 50 repeat_number 2.000 perfection 100.000 unit " + u50 + "\"\n");

  const std::string u51 = u50 + "T";
  set_sequence(seq, "g desc", u51 + u51);
  Csat& r51 = sat(0, 102, 0, 51, 51);
  EXPECT_EQ(report_one(r51), "g\tKatrel\ttandem-repeat\t1\t102\t100.00\t.\t.\tName=\"repeat_region 1-102 "
                             "unit_size 51 repeat_number 2.000 perfection 100.000 unit .\"\n");
}

TEST_F(ReportTest, Formats2And3HeaderAndFooterOnlyAsComment)
{
  const std::string line2 = "seq1\tKatrel\ttandem-repeat\t3\t10\t100.00\t.\t.\tName=\"repeat_region 3-10 "
                            "unit_size 2 repeat_number 4.000 perfection 100.000 unit AC\"\n";
  const std::string head  = "# Full sequence name:\n#>seq1 test record\n##sequence-region seq1 1 12\n";
  const std::string foot  = "# Analysis of sequence \"seq1\" completed.\n";
  sat(2, 10, 2, 2, 6);

  global_print_sat_mode = 2;
  EXPECT_EQ(report_all(), line2);
  global_sequenceInfoAsComment = true;
  EXPECT_EQ(report_all(), head + line2 + foot);
  global_CAIRN_run = true;
  EXPECT_EQ(report_all(), head + line2);

  global_CAIRN_run             = false;
  global_sequenceInfoAsComment = false;
  global_print_sat_mode        = 3;
  const std::string line3      = "seq1\t2\t100.000\t3\t10\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tACACACAC\n";
  EXPECT_EQ(report_all(), line3);
  global_sequenceInfoAsComment = true;
  EXPECT_EQ(report_all(), head + line3 + foot);
}

// ---------------------------------------------------------------------------
// Format 3 (one per line)

std::size_t columns(const std::string& line)
{
  std::size_t n = 1;
  for (char c : line)
    n += c == '\t';
  return n;
}

TEST_F(ReportTest, Format3ColumnsAndFlanks)
{
  global_print_sat_mode     = 3;
  global_print_sat_seq_mode = 2;  // ignored by this format
  Csat& r = sat(2, 10, 2, 2, 6);
  std::string out = report_one(r);
  EXPECT_EQ(out, "seq1\t2\t100.000\t3\t10\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tACACACAC\n");
  EXPECT_EQ(columns(out), 14u);

  global_flanking = 2;
  out = report_one(r);
  EXPECT_EQ(out, "seq1\t2\t100.000\t3\t10\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tACACACAC\tGG\tGG\n");
  EXPECT_EQ(columns(out), 16u);

  global_treat_Ns_as_missense = true;
  global_flanking             = 5;
  set_sequence(seq, "t", "TGTGTGTGCC");
  Csat& at_start = sat(0, 8, 0, 2, 6);
  Csat& at_end   = sat(2, 10, 2, 2, 6);
  EXPECT_EQ(report_one(at_start), "t\t2\t100.000\t1\t8\t8\t  4.000\t6\t0\t0\t0\t.\tAC\tTGTGTGTG\t\tCC\n");
  EXPECT_EQ(report_one(at_end), "t\t2\t100.000\t3\t10\t8\t  4.000\t6\t0\t0\t0\t.\tAC\tTGTGTGCC\tTG\t\n");
  EXPECT_EQ(columns(report_one(at_end)), 16u);
}

// ---------------------------------------------------------------------------
// Format 4 (FASTA)

TEST_F(ReportTest, Format4WithoutHeaderAndWithFlanks)
{
  global_print_sat_mode        = 4;
  global_sequenceInfoAsComment = true;  // no effect in this format
  global_print_sat_seq_mode    = 2;     // ignored by this format
  Csat& r = sat(2, 10, 2, 2, 6);
  r.mismatches = 0;
  EXPECT_EQ(report_all(), ">seq1 3 10 2 3 10 4.000 6 100.000 0 0 0\nACACACAC\n");
  global_flanking = 1;
  EXPECT_EQ(report_one(r), ">seq1 3 10 2 3 10 4.000 6 100.000 0 0 0\nGACACACACG\n");
  global_flanking = 9;
  EXPECT_EQ(report_one(r), ">seq1 3 10 2 3 10 4.000 6 100.000 0 0 0\nGGACACACACGG\n");
}

// ---------------------------------------------------------------------------
// The report's own filters

TEST_F(ReportTest, PerfectionLimitsAreInclusive)
{
  set_sequence(seq, "s2", "ACACAGACAC");
  Csat& r      = sat(0, 10, 0, 2, 3);
  r.mismatches = 1;  // 90 %
  r.missense.push_back({seq.residues_begin() + 5, 'M'});

  global_min_perfection = 90.0f;
  EXPECT_NE(report_one(r), "");
  global_min_perfection = std::nextafter(90.0f, 100.0f);
  EXPECT_EQ(report_one(r), "");
  global_min_perfection = 0.0f;
  global_max_perfection = 90.0f;
  EXPECT_NE(report_one(r), "");
  global_max_perfection = std::nextafter(90.0f, 0.0f);
  EXPECT_EQ(report_one(r), "");
}

TEST_F(ReportTest, PerfectionIsComparedInSinglePrecision)
{
  Csat& r      = sat(2, 8, 2, 2, -4);
  r.mismatches = 2;  // 4 / 6
  // The single-precision value 66.6666718 lies above 200 / 3; as a lower
  // limit it still admits the repeat.
  global_min_perfection = 0x1.0aaaacp+6f;
  EXPECT_EQ(report_one(r),
            "    dinucleotide         3 :         8 |      6 bp |      6 BP |     -4 pt |  66.667 % | unit AC\n");
  global_min_perfection = std::nextafter(0x1.0aaaacp+6f, 100.0f);
  EXPECT_EQ(report_one(r), "");
}

TEST_F(ReportTest, MaxPerfectionBelow100DropsPerfectRepeats)
{
  sat(2, 10, 2, 2, 6);
  global_max_perfection = 99.9f;
  EXPECT_EQ(report_all(), ">seq1 test record\nsequence length: 12\nnumber of ACGTU characters: 12\n"
                          "# Analysis of sequence \"seq1 test record\" completed.\n");
}

TEST_F(ReportTest, PeriodicUnitIsDroppedInEveryUnitMode)
{
  set_sequence(seq, "p", "ATATATATATAT");
  Csat& r = sat(0, 12, 0, 4, 8);
  for (int mode = 0; mode <= 2; ++mode) {
    global_report_unit_mode = mode;
    for (int fmt = 0; fmt <= 4; ++fmt) {
      global_print_sat_mode = fmt;
      EXPECT_EQ(report_one(r), "") << "unit mode " << mode << " format " << fmt;
    }
  }
}

TEST_F(ReportTest, UnitModes)
{
  set_sequence(seq, "u", "TGTGTGTGTTCACACACA");
  sat(0, 8, 0, 2, 6);
  sat(10, 18, 10, 2, 6);
  global_print_sat_mode = 3;
  global_report_unit_mode = 2;
  EXPECT_EQ(report_all(), "u\t2\t100.000\t1\t8\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tTGTGTGTG\n"
                          "u\t2\t100.000\t11\t18\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tCACACACA\n");
  global_report_unit_mode = 1;
  EXPECT_EQ(report_all(), "u\t2\t100.000\t1\t8\t8\t  4.000\t6\t0\t0\t0\t0\tGT\tTGTGTGTG\n"
                          "u\t2\t100.000\t11\t18\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tCACACACA\n");
  global_report_unit_mode = 0;
  EXPECT_EQ(report_all(), "u\t2\t100.000\t1\t8\t8\t  4.000\t6\t0\t0\t0\t0\tTG\tTGTGTGTG\n"
                          "u\t2\t100.000\t11\t18\t8\t  4.000\t6\t0\t0\t0\t0\tCA\tCACACACA\n");
}

// ---------------------------------------------------------------------------
// Position correction for removed gaps

TEST_F(ReportTest, GapInsideRepeatCountsInEndButNotInLength)
{
  set_sequence(seq, "gap", "AC-ACACAC");
  ASSERT_EQ(seq.length(), 8u);
  sat(0, 8, 0, 2, 6);
  EXPECT_EQ(report_all(), ">gap\nsequence length: 9\nnumber of ACGTU characters: 8\n"
                          "    dinucleotide         1 :         9 |      8 bp |      8 BP |      6 pt | 100.000 % | unit AC\n"
                          "# Analysis of sequence \"gap\" completed.\n");
}

TEST_F(ReportTest, GapIndexCarriesAcrossRecords)
{
  global_print_sat_mode = 3;
  // residues ACACACAC GTGTGTGT; gaps at 2, 9, 10 and 19.
  set_sequence(seq, "g", "AC-ACACAC--GTGTGTGT*");
  ASSERT_EQ(seq.count_gaps, 4u);
  Csat& a = sat(0, 8, 0, 2, 6);
  Csat& b = sat(1, 7, 1, 4, 2);  // unit CACA: periodic, not reported
  Csat& c = sat(8, 16, 8, 2, 6);

  unsigned int gi  = 0;
  std::string  out = capture([&](FILE* f) {
    a.report_sat(f, seq, gi);
    EXPECT_EQ(gi, 0u);
    b.report_sat(f, seq, gi);
    EXPECT_EQ(gi, 0u);
    c.report_sat(f, seq, gi);
    EXPECT_EQ(gi, 3u);
  });
  EXPECT_EQ(out, "g\t2\t100.000\t1\t9\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tACACACAC\n"
                 "g\t2\t100.000\t12\t19\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tGTGTGTGT\n");

  // A repeat starting behind the gap at 2 begins at file position 4.
  Csat& d = sat(2, 8, 2, 2, 4);
  gi      = 0;
  out     = capture([&](FILE* f) { d.report_sat(f, seq, gi); });
  EXPECT_EQ(out, "g\t2\t100.000\t4\t9\t6\t  3.000\t4\t0\t0\t0\t0\tAC\tACACAC\n");
  EXPECT_EQ(gi, 1u);

  // Via report_SATList the counter starts at 0 for each sequence.
  sats.erase(sats.begin() + 3);
  EXPECT_EQ(report_all(), "g\t2\t100.000\t1\t9\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tACACACAC\n"
                          "g\t2\t100.000\t12\t19\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tGTGTGTGT\n");
  EXPECT_EQ(report_all(), "g\t2\t100.000\t1\t9\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tACACACAC\n"
                          "g\t2\t100.000\t12\t19\t8\t  4.000\t6\t0\t0\t0\t0\tAC\tGTGTGTGT\n");
}

TEST_F(ReportTest, LeadingGapsShiftEveryPosition)
{
  global_print_sat_mode = 4;
  set_sequence(seq, "lead", "--*ACACAC");
  sat(0, 6, 0, 2, 4);
  EXPECT_EQ(report_all(), ">lead 4 9 2 4 9 3.000 4 100.000 0 0 0\nACACAC\n");
}

// ---------------------------------------------------------------------------
// Values beyond the range of a signed 32-bit integer are printed unsigned.

TEST_F(ReportTest, PositionsAndLengthsAbove2147483647)
{
  set_sequence(seq, "big", "ACAC");
  seq.count_ACGTU = 3000000000u;
  sats.emplace_back(new Csat);
  Csat&          r = *sats.back();
  const char*    b = seq.residues_begin();
  std::uintptr_t base = reinterpret_cast<std::uintptr_t>(b);
  r.init_one_copy(b, b + 2);
  // Only the unit is read; start and end are never dereferenced in format 0
  // without sequence print and in format 2.
  r.start = reinterpret_cast<const char*>(base + 1);
  r.end   = reinterpret_cast<const char*>(base + 3000000001ul);
  r.score = 6;

  EXPECT_EQ(report_all(), ">big\nsequence length: 3000000000\nnumber of ACGTU characters: 3000000000\n"
                          "    dinucleotide         2 : 3000000001 | 3000000000 bp | 3000000000 BP |      6 pt | 100.000 % | unit AC\n"
                          "# Analysis of sequence \"big\" completed.\n");
  global_print_sat_mode = 2;
  EXPECT_EQ(report_one(r), "big\tKatrel\ttandem-repeat\t2\t3000000001\t100.00\t.\t.\tName=\"repeat_region "
                           "2-3000000001 unit_size 2 repeat_number 1500000000.000 perfection 100.000 unit AC\"\n");
}

} // namespace
