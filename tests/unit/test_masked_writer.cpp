// writeSequence_fill_in_gaps_and_stars: line breaking, gaps put back, empty
// records.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

namespace {

// Reads one record from `fasta` and returns what the writer makes of it.
std::string roundtrip(const std::string& fasta, bool gaps_to_N, unsigned int width = 80,
                      void (*mask)(CSequence_Mol&) = nullptr)
{
  char tmpl[] = "/tmp/katrel_mask_XXXXXX";
  int fd = mkstemp(tmpl);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(write(fd, fasta.data(), fasta.size()), static_cast<ssize_t>(fasta.size()));
  close(fd);

  CFile in;
  in.openfile(tmpl);
  CSequence_Mol seq;
  if (gaps_to_N)
    seq.readFastaSequence_toupper_ambig2N_gaps2N(in);
  else
    seq.readFastaSequence_toupper_ambig2N_removegaps(in);
  unlink(tmpl);
  EXPECT_TRUE(!in.fail() || in.eof()) << "record rejected";
  if (mask)
    mask(seq);

  char* buf = nullptr;
  size_t len = 0;
  FILE* out = open_memstream(&buf, &len);
  seq.writeSequence_fill_in_gaps_and_stars(out, width);
  std::fclose(out);
  std::string s(buf, len);
  std::free(buf);
  return s;
}

std::string bases(unsigned int n)
{
  std::string s;
  for (unsigned int i = 0; i < n; ++i)
    s.push_back("ACGT"[i % 4]);
  return s;
}

}  // namespace

TEST(MaskedWriter, FullAndPartialLines)
{
  const std::string s160 = bases(160);
  EXPECT_EQ(roundtrip(">r\n" + s160 + "\n", false),
            ">r\n" + s160.substr(0, 80) + "\n" + s160.substr(80) + "\n");
  const std::string s161 = bases(161);
  EXPECT_EQ(roundtrip(">r x\n" + s161.substr(0, 100) + "\n" + s161.substr(100) + "\n", false),
            ">r x\n" + s161.substr(0, 80) + "\n" + s161.substr(80, 80) + "\n" + s161.substr(160) + "\n");
  EXPECT_EQ(roundtrip(">r\nACGTACG\n", false, 3), ">r\nACG\nTAC\nG\n");
}

TEST(MaskedWriter, GapsPutBackAtTheirPositions)
{
  EXPECT_EQ(roundtrip(">g\nAC-G\n*T\n", false), ">g\nAC-G*T\n");
  EXPECT_EQ(roundtrip(">g\n--A**\n-\n", false), ">g\n--A**-\n");
  EXPECT_EQ(roundtrip(">g\nAC-G\n*T\n", true), ">g\nACNGNT\n");
  // Gaps count for the line width, and may start or end a line.
  EXPECT_EQ(roundtrip(">g\nACG-T*AC-\n", false, 4), ">g\nACG-\nT*AC\n-\n");
}

TEST(MaskedWriter, MaskedResiduesAroundAGap)
{
  auto lower_all = [](CSequence_Mol& s) {
    for (unsigned int i = 0; i < s.residues.size(); ++i)
      s.residues[i] = static_cast<char>(s.residues[i] | 0x20);
  };
  EXPECT_EQ(roundtrip(">m\nacGT-nA*c\n", false, 80, lower_all), ">m\nacgt-na*c\n");
}

TEST(MaskedWriter, RecordWithoutSequenceIsItsHeaderAlone)
{
  EXPECT_EQ(roundtrip(">empty header  kept \t\n>next\nAC\n", false), ">empty header  kept \t\n");
  EXPECT_EQ(roundtrip(">only\n", true), ">only\n");
  EXPECT_EQ(roundtrip(">gaps only\n--\n", false), ">gaps only\n--\n");
}
