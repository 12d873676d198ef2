// The two FASTA readers: accepted characters, counts, gap positions, header
// split, comments, line ends, and rejection with the right line and flags.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "config/fatal-error.h"
#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

namespace {

class TempFile
{
public:
  explicit TempFile(const std::string& content)
  {
    char tmpl[] = "/tmp/katrel_fasta_XXXXXX";
    int fd = mkstemp(tmpl);
    EXPECT_GE(fd, 0);
    path_ = tmpl;
    EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
  }
  ~TempFile() { unlink(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

private:
  std::string path_;
};

std::string str(const faststring& s) { return std::string(s.data(), s.size()); }

std::vector<unsigned int> vec(const fastvector<unsigned int>& v)
{
  return std::vector<unsigned int>(v.data(), v.data() + v.size());
}

enum class Outcome { more, last, rejected };

Outcome outcome(const CFile& f)
{
  if (!f.fail())
    return Outcome::more;
  return f.eof() ? Outcome::last : Outcome::rejected;
}

// Opens `content` and reads records with the chosen reader.
class Reader
{
public:
  Reader(const std::string& content, bool gaps_to_N) : file_(content), gaps_to_N_(gaps_to_N)
  {
    in.openfile(file_.path());
  }
  Outcome next()
  {
    if (gaps_to_N_)
      seq.readFastaSequence_toupper_ambig2N_gaps2N(in);
    else
      seq.readFastaSequence_toupper_ambig2N_removegaps(in);
    return outcome(in);
  }

  CSequence_Mol seq;
  CFile         in;

private:
  TempFile file_;
  bool     gaps_to_N_;
};

void expect_invariants(const CSequence_Mol& s)
{
  EXPECT_EQ(s.residues.size(), s.count_ACGTU + s.count_N);
  EXPECT_EQ(s.gap_positions.size(), s.count_gaps);
  EXPECT_EQ(s.dash_positions.size() + s.star_positions.size(), s.count_gaps);
  for (char c : str(s.residues))
    EXPECT_NE(std::string("ACGTN").find(c), std::string::npos) << c;
}

class BothReaders : public testing::TestWithParam<bool>
{
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(FastaReader, BothReaders, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "GapsToN" : "RemoveGaps"; });

TEST_P(BothReaders, RecordsCountsAndOutcomes)
{
  Reader r(">one first\nacgtu\nRYKMSWBDHV\nnx?\n>two\n>three\nGGGG", GetParam());
  EXPECT_EQ(r.next(), Outcome::more);
  EXPECT_EQ(str(r.seq.fullname), "one first");
  EXPECT_EQ(str(r.seq.residues), "ACGTTNNNNNNNNNNNNN");
  EXPECT_EQ(r.seq.count_ACGTU, 5u);
  EXPECT_EQ(r.seq.count_N, 13u);
  expect_invariants(r.seq);

  EXPECT_EQ(r.next(), Outcome::more) << "a header followed by a header is a record without residues";
  EXPECT_EQ(str(r.seq.name), "two");
  EXPECT_EQ(r.seq.residues.size(), 0u);
  EXPECT_EQ(r.seq.count_ACGTU + r.seq.count_N + r.seq.count_gaps, 0u);

  EXPECT_EQ(r.next(), Outcome::last) << "last line without a line end";
  EXPECT_EQ(str(r.seq.name), "three");
  EXPECT_EQ(str(r.seq.residues), "GGGG");
  EXPECT_EQ(r.seq.count_ACGTU, 4u);
}

TEST_P(BothReaders, WhiteSpaceBlankLinesAndLineEnds)
{
  const char* variants[] = {
    "\n \t>s d\nAC GT\t\n\n  CA\f\v \nTG  \n",
    "\r\n \t>s d\r\nAC GT\t\r\n\r\n  CA\f\v \r\nTG  \r\n",
    "\r \t>s d\rAC GT\t\r\r  CA\f\v \rTG  ",
  };
  for (const char* v : variants) {
    Reader r(v, GetParam());
    EXPECT_EQ(r.next(), Outcome::last) << v;
    EXPECT_EQ(str(r.seq.fullname), "s d") << v;
    EXPECT_EQ(str(r.seq.residues), "ACGTCATG") << v;
  }
}

TEST_P(BothReaders, CommentLinesOnlyBeforeTheFirstRecord)
{
  Reader r("# made by hand\n\n#second\r\n>s\nAC\n", GetParam());
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(str(r.seq.residues), "AC");

  Reader inside(">s\nAC\n#no\n", GetParam());
  EXPECT_EQ(inside.next(), Outcome::rejected);
  EXPECT_EQ(inside.in.line(), 3u);

  Reader between(">s\nAC\n>t\nGG\n", GetParam());
  EXPECT_EQ(between.next(), Outcome::more);
}

TEST_P(BothReaders, InputsWithoutARecordAreRejected)
{
  struct Case { const char* input; unsigned int line; };
  const Case cases[] = {
    {"", 1}, {" \n\t\n", 3}, {"# only a comment\n# and another\n", 3}, {"# no line end", 1}, {"ACGT\n>s\nAC\n", 1},
  };
  for (const Case& c : cases) {
    Reader r(c.input, GetParam());
    EXPECT_EQ(r.next(), Outcome::rejected) << c.input;
    EXPECT_EQ(r.in.line(), c.line) << c.input;
  }
}

TEST_P(BothReaders, RejectedCharacterNamesItsLine)
{
  using namespace std::string_literals;
  struct Case { std::string input; unsigned int line; };
  const Case cases[] = {
    {">s\nACGT\nA1\nAC\n", 3},      // rejected character last on its line
    {">s\nACGT\nA1G\nAC\n", 3},
    {">s\r\nACGT\r\nA1\r\nAC\r\n", 3},
    {">s\nACGT\n  >t\nAC\n", 3},    // blanks, then '>', is a sequence line
    {">s\nAC>GT\n", 2},
    {">s\nACGTE\n", 2},
    {">s\nAC.GT\n", 2},
    {">s\nAC\xC3\xA9\n", 2},
    {">s\nAC\n\n\nG%\n", 5},
    {">s\nAC\0G\n"s, 2},              // a NUL byte in the file
  };
  for (const Case& c : cases) {
    Reader r(c.input, GetParam());
    EXPECT_EQ(r.next(), Outcome::rejected) << c.input;
    EXPECT_EQ(r.in.line(), c.line) << c.input;
  }
}

TEST_P(BothReaders, RejectedLastByteIsNotTheEndOfInput)
{
  Reader r(">s\nACACACACACAC1", GetParam());
  EXPECT_EQ(r.next(), Outcome::rejected);
  EXPECT_TRUE(r.in.fail());
  EXPECT_FALSE(r.in.eof());
  EXPECT_EQ(r.in.line(), 2u);
}

TEST_P(BothReaders, RejectionAfterGoodRecords)
{
  Reader r(">a\nAC\n>b\nGG\nG!G\n", GetParam());
  EXPECT_EQ(r.next(), Outcome::more);
  EXPECT_EQ(str(r.seq.residues), "AC");
  EXPECT_EQ(r.next(), Outcome::rejected);
  EXPECT_EQ(r.in.line(), 5u);
}

TEST_P(BothReaders, HeaderAtTheEnd)
{
  Reader r(">first word\nAC\n>last one", GetParam());
  EXPECT_EQ(r.next(), Outcome::more);
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(str(r.seq.fullname), "last one");
  EXPECT_EQ(str(r.seq.name), "last");
  EXPECT_EQ(str(r.seq.description), "one");
  EXPECT_EQ(r.seq.residues.size(), 0u);

  // A lone '>' at the end: empty header, never the previous record's name.
  Reader e(">first word\nAC\n>", GetParam());
  EXPECT_EQ(e.next(), Outcome::more);
  EXPECT_EQ(e.next(), Outcome::last);
  EXPECT_EQ(e.seq.fullname.size(), 0u);
  EXPECT_EQ(e.seq.name.size(), 0u);
  EXPECT_EQ(e.seq.description.size(), 0u);
  EXPECT_EQ(e.seq.residues.size(), 0u);
  EXPECT_EQ(e.seq.count_ACGTU, 0u);
}

TEST_P(BothReaders, LongRecordsAcrossBlocksAndBufferGrowth)
{
  // Mixed case, U and N spread over several 1,000,000-byte blocks, lines of
  // 61 characters, read into a buffer that starts small and must grow.
  std::string body, expect;
  unsigned long long x = 12345;
  for (int i = 0; i < 2500000; ++i) {
    x = x * 6364136223846793005ull + 1442695040888963407ull;
    char c = "ACGTacgtUuNn"[(x >> 33) % 12];
    body.push_back(c);
    char up = static_cast<char>(c & 0xDF);
    expect.push_back(up == 'U' ? 'T' : up);
    if (i % 61 == 60)
      body += (i % 2 ? "\r\n" : "\n");
  }
  Reader r(">big\n" + body + "\n>next\nA\n", GetParam());
  EXPECT_EQ(r.next(), Outcome::more);
  ASSERT_EQ(r.seq.residues.size(), expect.size());
  EXPECT_TRUE(str(r.seq.residues) == expect);
  expect_invariants(r.seq);
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(str(r.seq.residues), "A");
}

TEST_P(BothReaders, StorageIsReusedAcrossRecords)
{
  Reader r(">a\nACGTACGTACGTACGTACGTACGTACGTACGTACGTACGT\n>b\nAC\n", GetParam());
  r.seq.residues.reserve(10000000);
  const char* storage = r.seq.residues.data();
  EXPECT_EQ(r.next(), Outcome::more);
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(r.seq.residues.data(), storage);
  EXPECT_EQ(r.seq.residues.capacity(), 10000001u);
  EXPECT_EQ(str(r.seq.residues), "AC");
}

TEST(FastaReader, GapsRemovedAndPositionsKept)
{
  Reader r(">g\nAC-G\n*T\n>h\n-A\n", false);
  EXPECT_EQ(r.next(), Outcome::more);
  EXPECT_EQ(str(r.seq.residues), "ACGT");
  EXPECT_EQ(vec(r.seq.gap_positions), (std::vector<unsigned int>{2, 4}));
  EXPECT_EQ(vec(r.seq.dash_positions), (std::vector<unsigned int>{2}));
  EXPECT_EQ(vec(r.seq.star_positions), (std::vector<unsigned int>{4}));
  EXPECT_EQ(r.seq.count_gaps, 2u);
  EXPECT_EQ(r.seq.count_ACGTU + r.seq.count_N + r.seq.count_gaps, 6u);
  expect_invariants(r.seq);

  // Positions start at 0 for every record.
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(vec(r.seq.gap_positions), (std::vector<unsigned int>{0}));
  EXPECT_EQ(vec(r.seq.dash_positions), (std::vector<unsigned int>{0}));
  EXPECT_EQ(r.seq.star_positions.size(), 0u);
}

TEST(FastaReader, WhiteSpaceDoesNotShiftGapPositions)
{
  Reader r(">g\n A C\t-\n\n  G \n* T\n", false);
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(str(r.seq.residues), "ACGT");
  EXPECT_EQ(vec(r.seq.gap_positions), (std::vector<unsigned int>{2, 4}));
}

TEST(FastaReader, GapsReadAsN)
{
  Reader r(">g\nAC-G\n*T\n", true);
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(str(r.seq.residues), "ACNGNT");
  EXPECT_EQ(r.seq.count_N, 2u);
  EXPECT_EQ(r.seq.count_gaps, 0u);
  EXPECT_EQ(r.seq.gap_positions.size(), 0u);
}

TEST(FastaReader, LineOperationCarriesThePosition)
{
  TempFile t("A-C\n*G\n");
  CFile in;
  in.openfile(t.path());
  CSequence_Mol s;
  unsigned int pos = 10;
  s.getLineOfDNA_toupper_ambig2N_removegaps(in, pos);
  EXPECT_EQ(pos, 13u);
  s.getLineOfDNA_toupper_ambig2N_removegaps(in, pos);
  EXPECT_EQ(pos, 15u);
  EXPECT_EQ(str(s.residues), "ACG");
  EXPECT_EQ(vec(s.gap_positions), (std::vector<unsigned int>{11, 13}));
  EXPECT_EQ(in.line(), 3u);
}

TEST(FastaReaderDeathTest, PositionsThatWouldPass32BitsEndTheRun)
{
  TempFile t("AC-G\n");
  CFile in;
  in.openfile(t.path());
  CSequence_Mol s;
  unsigned int pos = UINT32_MAX - 2;  // the gap would sit at 2^32 - 1
  EXPECT_EXIT(s.getLineOfDNA_toupper_ambig2N_removegaps(in, pos),
              testing::ExitedWithCode(KATREL_EXIT_TOO_LONG), "longer than 4294967295");

  TempFile u("ACGT\n");
  CFile in2;
  in2.openfile(u.path());
  unsigned int pos2 = UINT32_MAX - 2;  // the line would end behind 2^32 - 1
  EXPECT_EXIT(s.getLineOfDNA_toupper_ambig2N_removegaps(in2, pos2),
              testing::ExitedWithCode(KATREL_EXIT_TOO_LONG), "longer than 4294967295");
}

TEST(FastaHeader, NameAndDescription)
{
  struct Case { const char* full; const char* name; const char* description; };
  const Case cases[] = {
    {"chr1  two words", "chr1", "two words"},
    {"a\tb\tc", "a\tb\tc", ""},
    {"word", "word", ""},
    {" lead", "", "lead"},
    {"trail   ", "trail", ""},
    {"", "", ""},
  };
  CSequence_Mol s;
  for (const Case& c : cases) {
    s.name.assign("stale", "stale" + 5);
    s.description.assign("stale", "stale" + 5);
    s.fullname.assign(c.full, c.full + std::string(c.full).size());
    s.find_fastaname_and_description();
    EXPECT_EQ(str(s.name), c.name) << c.full;
    EXPECT_EQ(str(s.description), c.description) << c.full;
  }

  Reader r(">id  x y \t\nA\n", false);
  EXPECT_EQ(r.next(), Outcome::last);
  EXPECT_EQ(str(r.seq.fullname), "id  x y \t") << "the header is kept byte for byte";
  EXPECT_EQ(str(r.seq.description), "x y \t");
}
