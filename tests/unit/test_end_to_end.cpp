// End-to-end checks of the built program that need inputs too large or too
// special for golden files: masked versus unmasked reports, failed writes,
// line ends across the block boundary, and hostile inputs.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class EndToEnd : public ::testing::Test
{
protected:
  std::string dir;

  void SetUp() override
  {
    char tmpl[] = "/tmp/katrel_e2e_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  void write(const std::string& name, const std::string& content) const
  {
    std::ofstream out(path(name), std::ios::binary);
    out << content;
  }

  static std::string read(const std::string& file)
  {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  // Runs katrel with `args` inside the test folder; returns the exit status.
  int run(const std::string& args, const std::string& redirections = "", const std::string& pipe_in = "") const
  {
    std::string cmd = "cd '" + dir + "' && " + pipe_in + "'" KATREL_BINARY "' " + args + " " + redirections;
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The report without the run summary lines, which name the files.
  static std::string body(const std::string& report)
  {
    std::string out;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line))
      if (line.rfind("# ", 0) != 0)
        out += line + "\n";
    return out;
  }
};

std::string random_sequence(unsigned n, unsigned seed)
{
  std::string s;
  s.reserve(n);
  unsigned x = seed;
  for (unsigned i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    s += "ACGT"[(x >> 16) & 3];
  }
  return s;
}

std::string lines_of(const std::string& seq, unsigned width, const char* eol)
{
  std::string out;
  for (std::size_t i = 0; i < seq.size(); i += width)
    out += seq.substr(i, width) + eol;
  return out;
}

TEST_F(EndToEnd, MaskedRunWritesTheSameReportInEveryMode)
{
  std::string seq = random_sequence(3000, 5);
  seq.replace(100, 30, "ACACACACACACACACACACACACACACAC");
  seq.replace(700, 24, "GATAGATAGATTGATAGATAGATA");
  seq.replace(1500, 12, "NNNNNNNNNNNN");
  write("in.fa", ">r1 test\n" + lines_of(seq, 70, "\n") + ">r2\nAC-ACACACACACTTTTTTTTTT\n");
  for (const char* mode : {"exact", "extendExact", "imperfect"}) {
    std::string m = std::string("--searchMode ") + mode;
    ASSERT_EQ(run(m + " in.fa plain.txt", "2>/dev/null"), 0) << mode;
    ASSERT_EQ(run(m + " --maskX in.fa masked.txt", "2>/dev/null"), 0) << mode;
    EXPECT_EQ(body(read(path("plain.txt"))), body(read(path("masked.txt")))) << mode;
    std::string masked = read(path("in.fa.masked"));
    EXPECT_NE(masked.find('X'), std::string::npos) << mode;
    EXPECT_NE(masked.find("-"), std::string::npos) << mode;
  }
}

TEST_F(EndToEnd, FailedWriteToStandardOutputIsAFailure)
{
  write("in.fa", ">a\nACACACACACACACACAC\n");
  int status = run("in.fa", ">/dev/full 2>err.txt");
  EXPECT_EQ(status, 152);
  std::string err = read(path("err.txt"));
  EXPECT_EQ(err.find("Analysis finished successfully."), std::string::npos);
  EXPECT_NE(err.find("standard output"), std::string::npos);
}

// A record long enough to be searched on several threads, written to a
// full device: the same failure as with one thread.
TEST_F(EndToEnd, FailedWriteWithThreadsIsAFailure)
{
  std::string  seq;
  unsigned int x = 11;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245u + 12345u;
    seq += "ACGT"[(x >> 16) & 3];
    if (i % 70 == 69)
      seq += '\n';
  }
  write("in.fa", ">a\n" + seq + "\n>b\nACACACACACACACACAC\n");
  for (const char* threads : {"--threads 2", "--threads 7"}) {
    EXPECT_EQ(run(std::string(threads) + " in.fa", ">/dev/full 2>err.txt"), 152) << threads;
    const std::string err = read(path("err.txt"));
    EXPECT_EQ(err.find("Analysis finished successfully."), std::string::npos);
    EXPECT_NE(err.find("standard output"), std::string::npos);
  }
}

TEST_F(EndToEnd, LineEndsSplitAcrossTheBlockBoundaryReadAsOne)
{
  // Put a CR LF pair so that the CR is the last byte of the first
  // 1,000,000-byte block and the LF the first byte of the next one.
  const std::string header = ">big\r\n";
  std::string seq = random_sequence(1200000, 9);
  seq.replace(999000, 20, "ACACACACACACACACACAC");
  std::string crlf = header;
  std::string lf = ">big\n";
  std::size_t pos = 0;
  unsigned width = 60;
  while (pos < seq.size()) {
    unsigned w = width;
    if (crlf.size() < 999999 && crlf.size() + w + 1 > 999999)
      w = static_cast<unsigned>(999999 - crlf.size());  // the CR lands on byte 999,999
    crlf += seq.substr(pos, w) + "\r\n";
    lf += seq.substr(pos, w) + "\n";
    pos += w;
  }
  ASSERT_EQ(crlf[999999], '\r');
  ASSERT_EQ(crlf[1000000], '\n');
  write("crlf.fa", crlf);
  write("lf.fa", lf);
  ASSERT_EQ(run("--searchMode exact crlf.fa crlf.txt", "2>/dev/null"), 0);
  ASSERT_EQ(run("--searchMode exact lf.fa lf.txt", "2>/dev/null"), 0);
  EXPECT_EQ(body(read(path("crlf.txt"))), body(read(path("lf.txt"))));

  // A rejected character after the boundary is reported on its own line.
  write("bad.fa", crlf + "ACGT\r\nAC7T\r\n");
  std::size_t lines = 1;
  for (char c : crlf)
    lines += c == '\n';
  ASSERT_EQ(run("bad.fa", ">/dev/null 2>err.txt"), 231);
  EXPECT_NE(read(path("err.txt")).find("File position: line " + std::to_string(lines + 1) + "\n"),
            std::string::npos);
}

TEST_F(EndToEnd, HostileInputsEndWithAResultOrAClearMessage)
{
  // Many tiny records.
  std::string many;
  for (int i = 0; i < 100000; ++i)
    many += ">r" + std::to_string(i) + "\nACGTTGCA\n";
  write("many.fa", many);
  ASSERT_EQ(run("--outputFormat 3 many.fa many.txt", "2>/dev/null"), 0);
  EXPECT_NE(read(path("many.txt")).find("## Finished successfully. ##"), std::string::npos);

  // A long run of N only: no repeat, normal end.
  write("n.fa", ">n\n" + lines_of(std::string(20000000, 'N'), 80, "\n"));
  ASSERT_EQ(run("n.fa n.txt", "2>/dev/null"), 0);
  EXPECT_EQ(read(path("n.txt")).find("bp |"), std::string::npos);

  // A header line of 50 MB.
  write("header.fa", ">" + std::string(50000000, 'h') + "\nACACACACACACACACAC\n");
  ASSERT_EQ(run("--outputFormat 0 header.fa header.txt", "2>/dev/null"), 0);
  EXPECT_NE(read(path("header.txt")).find("    dinucleotide         1 :        18 |"), std::string::npos);

  // A directory as input.
  ASSERT_EQ(mkdir(path("folder").c_str(), 0755), 0);
  ASSERT_EQ(run("folder", ">/dev/null 2>err.txt"), 155);
  EXPECT_NE(read(path("err.txt")).find("is a directory"), std::string::npos);
}

TEST_F(EndToEnd, CompressedInputGivesTheSameReportAndDamageIsAnError)
{
  std::string seq = random_sequence(4000, 11);
  seq.replace(200, 30, "ACACACACACACACACACACACACACACAC");
  seq.replace(2000, 24, "GATAGATAGATTGATAGATAGATA");
  write("in.fa", ">r1\n" + lines_of(seq.substr(0, 2000), 60, "\n") + ">r2\n" + lines_of(seq.substr(2000), 60, "\n"));
  write("p1.fa", ">r1\n" + lines_of(seq.substr(0, 2000), 60, "\n"));
  write("p2.fa", ">r2\n" + lines_of(seq.substr(2000), 60, "\n"));
  ASSERT_EQ(std::system(("cd '" + dir + "' && gzip -c in.fa > in.fa.gz && gzip -c p1.fa > multi.gz && "
                         "gzip -c p2.fa >> multi.gz && head -c 600 in.fa.gz > trunc.gz").c_str()), 0);
  for (const char* mode : {"exact", "extendExact", "imperfect"}) {
    std::string m = std::string("--searchMode ") + mode;
    ASSERT_EQ(run(m + " in.fa plain.txt", "2>/dev/null"), 0);
    ASSERT_EQ(run(m + " in.fa.gz gz.txt", "2>/dev/null"), 0);
    ASSERT_EQ(run(m + " multi.gz multi.txt", "2>/dev/null"), 0);
    EXPECT_EQ(body(read(path("plain.txt"))), body(read(path("gz.txt")))) << mode;
    EXPECT_EQ(body(read(path("plain.txt"))), body(read(path("multi.txt")))) << mode;
  }
  EXPECT_EQ(run("trunc.gz", ">/dev/null 2>err.txt"), 151);
  EXPECT_NE(read(path("err.txt")).find("unexpected end of file"), std::string::npos);
  EXPECT_EQ(read(path("err.txt")).find("Analysis finished successfully."), std::string::npos);

  write("bad.fa", ">a\nACGT\nACGT\nAC%T\n");
  ASSERT_EQ(std::system(("cd '" + dir + "' && gzip -c bad.fa > bad.fa.gz").c_str()), 0);
  EXPECT_EQ(run("bad.fa.gz", ">/dev/null 2>err.txt"), 231);
  EXPECT_NE(read(path("err.txt")).find("File position: line 4\n"), std::string::npos);
}

// Compressed input through a pipe cannot be opened a second time by zlib; it
// is inflated from the stream instead, with the same results and errors.
TEST_F(EndToEnd, CompressedInputFromAPipe)
{
  std::string seq = random_sequence(300000, 5);
  seq.replace(1000, 30, "ACACACACACACACACACACACACACACAC");
  seq.replace(250000, 24, "GATAGATAGATTGATAGATAGATA");
  write("in.fa", ">r1\n" + lines_of(seq.substr(0, 150000), 60, "\n") + ">r2\n" + lines_of(seq.substr(150000), 60, "\n"));
  ASSERT_EQ(std::system(("cd '" + dir + "' && gzip -c in.fa > in.fa.gz && gzip -1 -c in.fa > again.gz && "
                         "cat in.fa.gz again.gz > two.gz && head -c 30000 in.fa.gz > trunc.gz").c_str()), 0);
  ASSERT_EQ(run("--searchMode exact in.fa plain.txt", "2>/dev/null"), 0);
  ASSERT_EQ(run("--searchMode exact /dev/stdin piped.txt", "< in.fa.gz 2>/dev/null"), 0);
  // `< file` is seekable; cat makes it a pipe.
  ASSERT_EQ(run("--searchMode exact /dev/stdin piped2.txt", "2>/dev/null", "cat in.fa.gz | "), 0);
  EXPECT_EQ(body(read(path("plain.txt"))), body(read(path("piped.txt"))));
  EXPECT_EQ(body(read(path("plain.txt"))), body(read(path("piped2.txt"))));

  ASSERT_EQ(run("--searchMode exact /dev/stdin two.txt", "2>/dev/null", "cat two.gz | "), 0);
  std::size_t records = 0;
  for (std::size_t at = 0; (at = read(path("two.txt")).find("Analysis of sequence", at)) != std::string::npos; ++at)
    ++records;
  EXPECT_EQ(records, 4u);

  EXPECT_EQ(run("/dev/stdin", ">/dev/null 2>err.txt", "cat trunc.gz | "), 151);
  EXPECT_NE(read(path("err.txt")).find("unexpected end of file"), std::string::npos);
  EXPECT_EQ(read(path("err.txt")).find("Analysis finished successfully."), std::string::npos);
}

}  // namespace
