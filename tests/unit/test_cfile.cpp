// CFile: block refills with the kept byte, line-end normalisation and
// counting, pushback, peek and the status flags.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "sequence/CFile.h"

namespace {

class TempFile
{
public:
  explicit TempFile(const std::string& content)
  {
    char tmpl[] = "/tmp/katrel_cfile_XXXXXX";
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

// Every character getchar hands out, up to the end of the input, with the
// line counter seen after each one.
std::string read_all(CFile& f, std::string* lines = nullptr)
{
  std::string out;
  for (;;) {
    char c = f.getchar();
    if (f.fail())
      break;
    out.push_back(c);
    if (lines)
      *lines += std::to_string(f.line()) + ",";
  }
  return out;
}

// A file whose first block (1,000,000 bytes) ends with `tail_of_block`,
// followed by `rest`.
std::string across_block(const std::string& tail_of_block, const std::string& rest)
{
  return std::string(CFile::block_size - tail_of_block.size(), 'A') + tail_of_block + rest;
}

}  // namespace

TEST(CFile, FlagsOfOpenAndMissingFiles)
{
  TempFile t("AC");
  CFile f;
  f.openfile(t.path());
  EXPECT_TRUE(f.good());
  EXPECT_FALSE(f.fail());
  EXPECT_FALSE(f.eof());
  EXPECT_EQ(f.line(), 1u);

  CFile missing;
  missing.openfile("/nonexistent/katrel/file.fa");
  EXPECT_TRUE(missing.fail());
  EXPECT_FALSE(missing.eof());
  EXPECT_FALSE(missing.good());
}

TEST(CFile, SetAndClearFail)
{
  TempFile t("ACGT");
  CFile f;
  f.openfile(t.path());
  f.set_fail();
  EXPECT_TRUE(f.fail());
  EXPECT_FALSE(f.eof());
  EXPECT_FALSE(f.good());
  f.clear_fail();
  EXPECT_FALSE(f.fail());
  EXPECT_FALSE(f.good()) << "good is never set again after it was cleared";

  // End of input: eof and fail; clear_fail leaves eof alone.
  CFile g;
  g.openfile(t.path());
  EXPECT_EQ(read_all(g), "ACGT");
  EXPECT_TRUE(g.eof());
  g.clear_fail();
  EXPECT_TRUE(g.eof());
  EXPECT_FALSE(g.fail());
  EXPECT_FALSE(g.good());
}

TEST(CFile, EmptyFileAndEndOfInput)
{
  TempFile empty("");
  CFile f;
  f.openfile(empty.path());
  EXPECT_EQ(f.getchar(), 0);
  EXPECT_TRUE(f.eof());
  EXPECT_TRUE(f.fail());
  EXPECT_FALSE(f.good());
  EXPECT_EQ(f.line(), 1u);

  TempFile t("AC\n");
  CFile g;
  g.openfile(t.path());
  EXPECT_EQ(read_all(g), "AC\n");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(g.getchar(), 0);
    EXPECT_TRUE(g.eof());
    EXPECT_TRUE(g.fail());
  }
  EXPECT_EQ(g.line(), 2u);
}

TEST(CFile, PeekAtEndOfInputGivesNothingBack)
{
  // A peek that reaches the end must not step back over the last byte: the
  // next getchar still returns 0 instead of that byte a second time.
  TempFile t("AC");
  CFile f;
  f.openfile(t.path());
  EXPECT_EQ(f.getchar(), 'A');
  EXPECT_EQ(f.getchar(), 'C');
  EXPECT_EQ(f.peekchar(), 0);
  EXPECT_TRUE(f.eof());
  EXPECT_EQ(f.getchar(), 0);
  EXPECT_TRUE(f.fail());
  EXPECT_EQ(f.peekchar(), 0);
  EXPECT_EQ(f.getchar(), 0);
}

TEST(CFile, LineEndsAreNormalisedAndCounted)
{
  const char* variants[] = {"A\nCG\n\nT\n", "A\r\nCG\r\n\r\nT\r\n", "A\rCG\r\rT\n", "A\r\nCG\r\rT\n"};
  for (const char* v : variants) {
    TempFile t(v);
    CFile f;
    f.openfile(t.path());
    std::string lines;
    EXPECT_EQ(read_all(f, &lines), "A\nCG\n\nT\n") << v;
    EXPECT_EQ(lines, "1,2,2,2,3,4,4,5,") << v;
  }
}

TEST(CFile, CarriageReturnAsLastByte)
{
  TempFile t("AC\r");
  CFile f;
  f.openfile(t.path());
  EXPECT_EQ(f.getchar(), 'A');
  EXPECT_EQ(f.getchar(), 'C');
  EXPECT_EQ(f.getchar(), '\n');
  EXPECT_TRUE(f.eof());
  EXPECT_TRUE(f.fail());
  EXPECT_EQ(f.line(), 2u);
}

TEST(CFile, PeekAndUngetAtLineEnd)
{
  TempFile t("A\r\nC\rG\nT");
  CFile f;
  f.openfile(t.path());
  EXPECT_EQ(f.getchar(), 'A');
  EXPECT_EQ(f.peekchar(), '\n');
  EXPECT_EQ(f.line(), 1u);
  EXPECT_EQ(f.getchar(), '\n');
  EXPECT_EQ(f.line(), 2u);
  EXPECT_EQ(f.getchar(), 'C');
  EXPECT_EQ(f.getchar(), '\n');  // lone CR
  EXPECT_EQ(f.line(), 3u);
  f.ungetchar();
  EXPECT_EQ(f.line(), 2u);
  EXPECT_EQ(f.getchar(), '\n') << "a pushed-back CR reads as LF";
  EXPECT_EQ(f.line(), 3u);
  EXPECT_EQ(f.getchar(), 'G');
  EXPECT_EQ(f.peekchar(), '\n');
  EXPECT_EQ(f.getchar(), '\n');
  EXPECT_EQ(f.line(), 4u);
  EXPECT_EQ(f.peekchar(), 'T');
  EXPECT_EQ(f.getchar(), 'T');
  EXPECT_FALSE(f.fail());
}

TEST(CFile, UngetAtStartOfBufferFails)
{
  TempFile t("AC");
  CFile f;
  f.openfile(t.path());
  f.ungetchar();
  EXPECT_TRUE(f.fail());
  EXPECT_FALSE(f.eof());
  EXPECT_FALSE(f.good());
}

TEST(CFile, CrLfSplitAcrossBlocks)
{
  // CR last in the block, LF first in the next: one line end.
  TempFile t(across_block("\r", "\nC"));
  CFile f;
  f.openfile(t.path());
  for (unsigned int i = 0; i + 1 < CFile::block_size; ++i)
    ASSERT_EQ(f.getchar(), 'A');
  EXPECT_EQ(f.peekchar(), '\n');
  EXPECT_EQ(f.line(), 1u);
  EXPECT_EQ(f.getchar(), '\n');
  EXPECT_EQ(f.line(), 2u);
  EXPECT_EQ(f.getchar(), 'C');
  EXPECT_EQ(f.getchar(), 0);
  EXPECT_TRUE(f.eof());
  EXPECT_EQ(f.line(), 2u);
}

TEST(CFile, CrAtEndOfBlockFollowedByOtherByte)
{
  TempFile t(across_block("\r", "G\n"));
  CFile f;
  f.openfile(t.path());
  for (unsigned int i = 0; i + 1 < CFile::block_size; ++i)
    ASSERT_EQ(f.getchar(), 'A');
  EXPECT_EQ(f.peekchar(), '\n');
  EXPECT_EQ(f.line(), 1u);
  EXPECT_EQ(f.getchar(), '\n');
  EXPECT_EQ(f.line(), 2u);
  EXPECT_EQ(f.getchar(), 'G');
  EXPECT_EQ(f.getchar(), '\n');
  EXPECT_EQ(f.line(), 3u);
}

TEST(CFile, LfBeforeCrAcrossBlocks)
{
  // The other order: LF last in the block, CR LF just behind it.
  TempFile t(across_block("\n", "\r\nT"));
  CFile f;
  f.openfile(t.path());
  std::string s = read_all(f);
  EXPECT_EQ(s, std::string(CFile::block_size - 1, 'A') + "\n\nT");
  EXPECT_EQ(f.line(), 3u);
}

TEST(CFile, PushbackAfterRefill)
{
  TempFile t(across_block("C", "GT"));
  CFile f;
  f.openfile(t.path());
  for (unsigned int i = 0; i + 1 < CFile::block_size; ++i)
    ASSERT_EQ(f.getchar(), 'A');
  EXPECT_EQ(f.getchar(), 'C');
  EXPECT_EQ(f.getchar(), 'G');  // first byte of the second block
  f.ungetchar();
  EXPECT_EQ(f.getchar(), 'G');
  // Peek right at the block boundary: the last byte of the first block is
  // kept, so the pushback across the refill works.
  TempFile u(across_block("\n", "T"));
  CFile g;
  g.openfile(u.path());
  for (unsigned int i = 0; i + 1 < CFile::block_size; ++i)
    ASSERT_EQ(g.getchar(), 'A');
  EXPECT_EQ(g.getchar(), '\n');
  EXPECT_EQ(g.line(), 2u);
  EXPECT_EQ(g.peekchar(), 'T');
  EXPECT_EQ(g.getchar(), 'T');
  g.ungetchar();
  g.ungetchar();  // the kept LF in front of the new block
  EXPECT_FALSE(g.fail());
  EXPECT_EQ(g.line(), 1u);
  EXPECT_EQ(g.getchar(), '\n');
  EXPECT_EQ(g.getchar(), 'T');
}

TEST(CFile, ReadErrorIsToldApartFromEndOfFile)
{
  TempFile t("ACGT");
  CFile f;
  f.openfile(t.path());
  read_all(f);
  EXPECT_FALSE(f.read_error());

  CFile d;
  d.openfile("/tmp");
  if (d.fail())
    GTEST_SKIP() << "directories cannot be opened as streams here";
  EXPECT_EQ(d.getchar(), 0);
  EXPECT_TRUE(d.fail());
  EXPECT_TRUE(d.read_error());
}
