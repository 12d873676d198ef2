// Several threads must give exactly the one-thread result: the threaded
// passes of the direct search, held against one thread on random and
// planted records and diverged arrays (with blocks small enough that every
// record is cut into many), and the built program, reading ahead, on a
// record long enough to be searched on several threads.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "config/global-types-and-parameters.h"
#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"
#include "tests/support/random_dna.h"

namespace {

using katrel_test::random_dna;

// Copies of a random unit of length k, diverged at `rate`, with N runs.
std::string repeat(std::mt19937& g, unsigned k, std::size_t length, double rate)
{
  return katrel_test::diverged_array(g, random_dna(g, k), length, rate, true);
}

std::string genome(std::mt19937& g, std::size_t length)
{
  std::string s;
  while (s.size() < length) {
    s += random_dna(g, 50 + g() % 400);
    switch (g() % 4) {
    case 0: s += repeat(g, 1 + g() % 12, 20 + g() % 80, 0.0); break;
    case 1: s += repeat(g, 2 + g() % 14, 30 + g() % 200, 0.08); break;
    case 2: s += repeat(g, 3 + g() % 30, 200 + g() % 1500, 0.04); break;
    default: s.append(1 + g() % 5, 'N'); break;
    }
  }
  return s;
}

class ThreadsTest : public ::testing::Test
{
protected:
  CSequence_Mol seq;
  const long    saved_block = CSearchController::thread_block;

  void SetUp() override
  {
    init_param();
    CSearchController::reset_minimum_arrays();
    testing::internal::CaptureStderr();
  }
  void TearDown() override
  {
    CSearchController::thread_block = saved_block;
    init_param();
    CSearchController::reset_minimum_arrays();
    testing::internal::GetCapturedStderr();
  }

  // Every field of every record the search leaves, events included.
  std::string run(const std::string& s, int mode, int threads)
  {
    global_threads = threads;
    seq.residues.assign(s.data(), s.data() + s.size());
    seq.name.assign("t", "t" + 1);
    CSearchController ctl(1, seq);
    if (mode == 1)
      ctl.search_exact_and_extend_to_imperfect_repeats();
    else
      ctl.complete_imperfect_search(stdout);
    const char* b = seq.residues_begin();
    std::string out;
    for (Csat* r : ctl.imperfect_sats.list) {
      ctl.restore_alignment(*r);
      out += std::to_string(r->start - b) + " " + std::to_string(r->end - b) + " u" + std::to_string(r->unit_begin - b) +
             "+" + std::to_string(r->unit_length()) + " s" + std::to_string(r->score) + " " +
             std::to_string(r->mismatches) + "/" + std::to_string(r->insertions) + "/" +
             std::to_string(r->deletions) + "/" + std::to_string(r->Ns) + ":";
      for (const missense_entry& m : r->missense)
        out += " " + std::to_string(m.first - b) + m.second;
      out += "\n";
    }
    return out;
  }
};

// Blocks of a few hundred seeds, so that repeats, N runs and the period
// runs that the seed bound passes over cross block borders everywhere.
TEST_F(ThreadsTest, ThreadedSearchGivesTheOneThreadResult)
{
  std::mt19937 g(1717);
  std::size_t  compared = 0;
  for (int iter = 0; iter < 36; ++iter) {
    init_param();
    switch (iter % 6) {
    case 1: global_prefer_longer_repeat = 0; break;
    case 2: global_mismatch_score = -3, global_indel_score = -4; break;
    case 3: global_Ns_allowed_in_a_row = 0; break;
    case 4: global_treat_Ns_as_missense = true, global_maximum_scorereduction = 12; break;
    case 5: global_min_unit_length = 2 + g() % 3, global_max_unit_length = 12 + g() % 30; break;
    default: break;
    }
    global_min_score = 4 + static_cast<int>(g() % 10);
    CSearchController::reset_minimum_arrays();
    CSearchController::thread_block = 64 + static_cast<long>(g() % 500);
    const std::string s    = genome(g, 3000 + g() % 6000);
    const int         mode = iter % 3 == 2 ? 1 : 2;
    const std::string one  = run(s, mode, 1);
    for (int threads : {2, 3, 7})
      ASSERT_EQ(one, run(s, mode, threads)) << "iteration " << iter << ", mode " << mode << ", " << threads
                                            << " threads, block " << CSearchController::thread_block;
    compared += static_cast<std::size_t>(std::count(one.begin(), one.end(), '\n'));
  }
  EXPECT_GT(compared, 300u);
}

// The program itself on a record of 160 kb (more than two default blocks),
// a diverged array and a short record, in every mode: report, standard
// error and masked copy are the same for 1, 2 and 7 threads.
class ThreadsProgramTest : public ::testing::Test
{
protected:
  std::string dir;

  void SetUp() override
  {
    char tmpl[] = "/tmp/katrel_threads_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    std::mt19937  g(2026);
    std::ofstream out(dir + "/in.fa", std::ios::binary);
    const std::string records[] = {genome(g, 160000), random_dna(g, 300) + repeat(g, 5, 3000, 0.05), "ACGTTTTTTT"};
    int               r         = 0;
    for (const std::string& s : records) {
      out << ">rec" << ++r << " test record\n";
      for (std::size_t i = 0; i < s.size(); i += 70)
        out << s.substr(i, 70) << "\n";
    }
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  static std::string read(const std::string& file)
  {
    std::ifstream     in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  // Output, masked copy and standard error (elapsed times masked) of one run.
  std::string run(const std::string& args)
  {
    const std::string cmd = "cd '" + dir + "' && '" KATREL_BINARY "' " + args +
                            " in.fa out.txt 2>err.txt; echo $? > status.txt; "
                            "sed -E -i 's/^[0-9]{2,}\\.[0-9]{2}\\.[0-9]{2} - #/HH.MM.SS - #/' err.txt";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return read(dir + "/status.txt") + read(dir + "/out.txt") + read(dir + "/err.txt") + read(dir + "/in.fa.masked");
  }
};

TEST_F(ThreadsProgramTest, ReportsAreTheSameForAnyThreadCount)
{
  for (const char* opts : {"--maskLower", "--searchMode extendExact", "--searchMode exact --maskX",
                           "-U 12 --preferShorterRepeats -m -3 -g -4"}) {
    const std::string one = run(std::string(opts) + " --threads 1");
    EXPECT_NE(one.find("## Finished successfully. ##"), std::string::npos);
    EXPECT_EQ(one, run(std::string(opts) + " --threads 2")) << opts;
    EXPECT_EQ(one, run(std::string(opts) + " -t 7")) << opts;
  }
}

TEST_F(ThreadsProgramTest, ThreadCountBelowOneIsAParameterError)
{
  for (const char* value : {"0", "-3"}) {
    const std::string cmd = "cd '" + dir + "' && '" KATREL_BINARY "' --threads " + std::string(value) +
                            " in.fa out.txt 2>err.txt";
    const int status = std::system(cmd.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 255) << value;
    const std::string err = read(dir + "/err.txt");
    EXPECT_NE(err.find("Sorry, the number of threads must be at least 1.\nA value of " + std::string(value) +
                       " has been specified.\n"),
              std::string::npos)
        << err;
  }
}

} // namespace
