// A read error in the middle of the input (EIO from the operating system,
// not the end of the file) must end the run with the read-error status and
// message, never with a shortened but "successful" report. The failure is
// injected by a preload library (tests/support/eio_shim.cpp) that fails
// every read of the input file beyond a chosen byte.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class ReadError : public ::testing::Test
{
protected:
  std::string dir;

  void SetUp() override
  {
    char tmpl[] = "/tmp/katrel_eio_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  static std::string read(const std::string& file)
  {
    std::ifstream     in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  // Runs katrel on `input` with reads of it failing from byte `after` on
  // (no failure when `after` is empty); returns the exit status.
  int run(const std::string& input, const std::string& after, const std::string& options = "--searchMode exact") const
  {
    std::string env;
    if (!after.empty())
      // The sanitizer runtimes want to come first; the shim has no sanitizer.
      env = "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" KATREL_EIO_SHIM "' KATREL_EIO_FILE='" +
            path(input) + "' KATREL_EIO_AFTER=" + after + " ";
    std::string cmd = "cd '" + dir + "' && " + env + "'" KATREL_BINARY "' " + options + " " + input +
                      " out.txt 2>err.txt";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void write_fasta(const std::string& name, unsigned records, unsigned lines_per_record) const
  {
    std::ofstream out(path(name), std::ios::binary);
    unsigned      x = 7;
    for (unsigned r = 0; r < records; ++r) {
      out << ">rec" << r << "\n";
      for (unsigned l = 0; l < lines_per_record; ++l) {
        std::string line;
        for (int i = 0; i < 70; ++i) {
          x = x * 1103515245u + 12345u;
          line += "ACGT"[(x >> 16) & 3];
        }
        out << line << "\n";
      }
    }
  }
};

TEST_F(ReadError, FailedReadMidFileIsAnErrorNotAnEnd)
{
  // 3 records of about 1 MB each: the failure comes in the second block, in
  // the middle of the second record.
  write_fasta("in.fa", 3, 14000);
  ASSERT_EQ(run("in.fa", ""), 0);
  EXPECT_NE(read(path("err.txt")).find("Analysis finished successfully."), std::string::npos);

  EXPECT_EQ(run("in.fa", "1500000"), 151);
  std::string err = read(path("err.txt"));
  EXPECT_NE(err.find("Sorry! An error occurred while reading the input file"), std::string::npos) << err;
  EXPECT_NE(err.find("The input could not be read to its end."), std::string::npos) << err;
  EXPECT_EQ(err.find("Analysis finished successfully."), std::string::npos) << err;
  EXPECT_EQ(read(path("out.txt")).find("## Finished successfully. ##"), std::string::npos);
  // The record that was read whole is reported, the broken one is not.
  EXPECT_NE(read(path("out.txt")).find(">rec0"), std::string::npos);
  EXPECT_EQ(read(path("out.txt")).find(">rec1"), std::string::npos);

  // A failure on the very first read, and one inside the first block.
  EXPECT_EQ(run("in.fa", "0"), 151);
  EXPECT_EQ(run("in.fa", "4000"), 151);
  EXPECT_EQ(read(path("err.txt")).find("Analysis finished successfully."), std::string::npos);
}

// With several threads the failure is the same: the records before the
// broken one are written exactly as with one thread, nothing after them.
TEST_F(ReadError, FailedReadMidFileWithThreadsEndsAsWithOneThread)
{
  write_fasta("in.fa", 3, 14000);
  // Progress lines begin with the elapsed time.
  auto err_text = [this] {
    std::system(("sed -E -i 's/^[0-9]{2,}\\.[0-9]{2}\\.[0-9]{2} - #/HH.MM.SS - #/' '" + path("err.txt") + "'").c_str());
    return read(path("err.txt"));
  };
  EXPECT_EQ(run("in.fa", "1500000", "--threads 1"), 151);
  const std::string out_one = read(path("out.txt"));
  const std::string err_one = err_text();
  EXPECT_NE(out_one.find(">rec0"), std::string::npos);
  EXPECT_EQ(out_one.find(">rec1"), std::string::npos);
  for (const char* threads : {"--threads 2", "--threads 7"}) {
    EXPECT_EQ(run("in.fa", "1500000", threads), 151) << threads;
    EXPECT_EQ(read(path("out.txt")), out_one) << threads;
    EXPECT_EQ(err_text(), err_one) << threads;
  }
}

TEST_F(ReadError, FailedReadOfCompressedInputIsAnError)
{
  write_fasta("in.fa", 2, 3000);
  ASSERT_EQ(std::system(("gzip -c '" + path("in.fa") + "' > '" + path("in.fa.gz") + "'").c_str()), 0);
  ASSERT_EQ(run("in.fa.gz", ""), 0);
  EXPECT_EQ(run("in.fa.gz", "20000"), 151);
  std::string err = read(path("err.txt"));
  EXPECT_NE(err.find("The input could not be read to its end."), std::string::npos) << err;
  EXPECT_EQ(err.find("Analysis finished successfully."), std::string::npos) << err;
}

}  // namespace
