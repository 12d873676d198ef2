// Replays the fuzz seed corpus and every saved fuzz finding through the same
// entries that the libFuzzer targets call, in the normal build. A finding
// that comes back shows up here as a crash, a sanitizer report (make
// sanitize) or a failed check.

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_entry.h"

namespace {

std::vector<std::string> files_in(const std::string& dir)
{
  std::vector<std::string> out;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.')
        out.push_back(dir + "/" + e->d_name);
    closedir(d);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::string content_of(const std::string& file)
{
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

using Entry = std::string (*)(const std::uint8_t*, std::size_t);

// Runs every input of the corpus and of the saved findings of `target`;
// returns how many there were.
std::size_t replay(const std::string& target, Entry entry)
{
  std::size_t n = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    for (const std::string& file : files_in(std::string(KATREL_FUZZ_DIR) + "/" + kind + "/" + target)) {
      std::string data = content_of(file);
      std::string bad  = entry(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
      EXPECT_EQ(bad, "") << file;
      ++n;
    }
  }
  return n;
}

TEST(FuzzRegressions, ReaderInputs)
{
  EXPECT_GE(replay("reader", katrel_fuzz::run_reader_input), 10u);
}

TEST(FuzzRegressions, PipelineInputs)
{
  EXPECT_GE(replay("pipeline", katrel_fuzz::run_pipeline_input), 15u);
}

// The reader finding "the first two bytes of a pipe are lost", through the
// program itself: a FASTA file piped to standard input.
TEST(FuzzRegressions, InputFromAPipeIsReadWhole)
{
  std::string cmd = "printf '>p\\nACACACACACACACACACAC\\n' | '" KATREL_BINARY
                    "' --outputFormat 3 /dev/stdin 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char        buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0)
    out.append(buf, n);
  int status = pclose(p);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(out.find("p\t2\t100.000\t1\t20\t20\t 10.000\t18\t"), std::string::npos) << out;
}

}  // namespace
