// Texts of the run header and the progress table, written to a temporary
// stream and compared byte for byte.

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

template <class F>
std::string capture(F write)
{
  FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  write(f);
  std::fflush(f);
  std::rewind(f);
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    text.append(buf, n);
  std::fclose(f);
  return text;
}

std::string summary(const char* prefix)
{
  return capture([prefix](FILE* f) { print_search_parameters(f, prefix); });
}

std::string legend(const char* prefix)
{
  return capture([prefix](FILE* f) { print_output_format(f, prefix); });
}

std::vector<std::string> lines_of(const std::string& text)
{
  std::vector<std::string> lines;
  size_t start = 0, nl;
  while ((nl = text.find('\n', start)) != std::string::npos) {
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  if (start < text.size())
    lines.push_back(text.substr(start));
  return lines;
}

bool has_line(const std::string& text, const std::string& line)
{
  for (const std::string& l : lines_of(text))
    if (l == line)
      return true;
  return false;
}

bool mentions(const std::string& text, const std::string& part)
{
  return text.find(part) != std::string::npos;
}

class RunSummary : public testing::Test {
protected:
  void SetUp() override
  {
    init_param();
    global_input_filename = "in.fa";
    global_output_filename.clear();
  }
};

TEST_F(RunSummary, DefaultsOnStandardError)
{
  const std::string expected =
    "Parameter settings used in this search: \n"
    "Input file name:                         in.fa\n"
    "   Sequence range to process:            1 - last sequence\n"
    "   Satellites searched for:              imperfect repeats\n"
    "   Recursion depth:                      5\n"
    "   Maximum score reduction:              -\n"
    "   Minimum unit length:                  1\n"
    "   Maximum unit length:                  10\n"
    "   Minimum score:                        maximum (6, 0+1*unitlength )\n"
    "   Minimum length:                       maximum (0, 0+0*unitlength )\n"
    "   Min. to max. perfection range:        0 % - 100 %\n"
    "   Treat N's as:                         neutral\n"
    "   Max. succesive N's allowed:           2\n"
    "   Mismatch score:                       -5\n"
    "   Indel score:                          -5\n"
    "   Show shorter (not longer) of two repeat variants with equal score:  no\n"
    "   Number of flanking nucletides:        0\n"
    "   Remove mostly overlapping satellites: yes\n"
    "   Write file with masked seq.           no\n"
    "   Computing perfections treat N's:      asMismatch\n"
    "   Report units as:                      alphabetical normal form using reverse complement\n"
    "   Output format:                        extended katrel format\n"
    "   Print sequence mode:                  print alignment\n"
    "   Convert gaps and *s to Ns :           no\n";
  EXPECT_EQ(summary(""), expected);
}

TEST_F(RunSummary, TabSeparatorAndCommentLineInOnePerLineFormat)
{
  global_print_sat_mode = 3;
  global_output_filename = "out.txt";
  global_sequenceInfoAsComment = true;
  const std::string expected =
    "# Parameter settings used in this search:\t\n"
    "# Input file name:                        \tin.fa\n"
    "# Output file name:                       \tout.txt\n"
    "#    Sequence range to process:           \t1 - last sequence\n"
    "#    Satellites searched for:             \timperfect repeats\n"
    "#    Recursion depth:                     \t5\n"
    "#    Maximum score reduction:             \t-\n"
    "#    Minimum unit length:                 \t1\n"
    "#    Maximum unit length:                 \t10\n"
    "#    Minimum score:                       \tmaximum (6, 0+1*unitlength )\n"
    "#    Minimum length:                      \tmaximum (0, 0+0*unitlength )\n"
    "#    Min. to max. perfection range:       \t0 % - 100 %\n"
    "#    Treat N's as:                        \tneutral\n"
    "#    Max. succesive N's allowed:          \t2\n"
    "#    Mismatch score:                      \t-5\n"
    "#    Indel score:                         \t-5\n"
    "#    Show shorter (not longer) of two repeat variants with equal score: \tno\n"
    "#    Number of flanking nucletides:       \t0\n"
    "#    Remove mostly overlapping satellites:\tyes\n"
    "#    Write file with masked seq.          \tno\n"
    "#    Computing perfections treat N's:     \tasMismatch\n"
    "#    Report units as:                     \talphabetical normal form using reverse complement\n"
    "#    Output format:                       \tone-per-line format\n"
    "#    Print sequence mode:                 \tprint alignment\n"
    "#    Print seq. info as comment:          \tyes\n"
    "#    Convert gaps and *s to Ns :          \tno\n";
  EXPECT_EQ(summary("# "), expected);
}

TEST_F(RunSummary, SeparatorAndCommentLineByFormat)
{
  for (int format = 0; format <= 4; ++format) {
    global_print_sat_mode = format;
    const bool tabbed = format == 2 || format == 3;
    const std::string text = summary("# ");
    std::vector<std::string> lines = lines_of(text);
    EXPECT_EQ(lines.size(), tabbed ? 25u : 24u) << "format " << format;
    for (const std::string& l : lines) {
      EXPECT_EQ(l.compare(0, 2, "# "), 0) << l;
      EXPECT_EQ(l.find('\t') != std::string::npos, tabbed) << "format " << format << ": " << l;
    }
    EXPECT_EQ(has_line(text, "#    Print seq. info as comment:          \tno"), tabbed);
    EXPECT_EQ(mentions(text, "Print seq. info"), tabbed);
  }
  global_print_sat_mode = 2;
  EXPECT_TRUE(has_line(summary(""), "   Output format:                       \tgff"));
  global_print_sat_mode = 0;
  EXPECT_TRUE(has_line(summary(""), "   Output format:                        katrel format"));
  global_print_sat_mode = 4;
  EXPECT_TRUE(has_line(summary(""), "   Output format:                        fasta format"));
}

TEST_F(RunSummary, ExactModeLeavesOutAlignmentSettings)
{
  global_search_mode = 0;
  const std::string text = summary("");
  EXPECT_TRUE(has_line(text, "   Satellites searched for:              exact repeats"));
  EXPECT_FALSE(mentions(text, "Recursion depth"));
  EXPECT_FALSE(mentions(text, "Maximum score reduction"));
  EXPECT_FALSE(mentions(text, "Mismatch score"));
  EXPECT_FALSE(mentions(text, "Indel score"));
  EXPECT_EQ(lines_of(text).size(), 20u);

  global_search_mode = 1;
  const std::string extend = summary("");
  EXPECT_TRUE(has_line(extend,
    "   Satellites searched for:              exact repeats which are extended to imperfect repeats"));
  EXPECT_TRUE(mentions(extend, "Recursion depth"));
  EXPECT_TRUE(mentions(extend, "Indel score"));
}

TEST_F(RunSummary, ScoreReductionRangeAndThresholds)
{
  global_maximum_scorereduction = 30;
  global_sequence_to = 7;
  global_min_score_bx = 0.5f;
  const std::string text = summary("");
  EXPECT_TRUE(has_line(text, "   Maximum score reduction:              30"));
  EXPECT_TRUE(has_line(text, "   Sequence range to process:            1 - 7"));
  EXPECT_TRUE(has_line(text, "   Minimum score:                        maximum (6, 0+0.5*unitlength )"));

  // Every number of a line must survive the conversion of the next one.
  global_sequence_from = 3;
  global_min_score = 12;
  global_min_score_a = 3;
  global_min_score_bx = 0.25f;
  global_min_length = 20;
  global_min_length_a = -4;
  global_min_length_bx = 2.5f;
  global_min_perfection = 50.5f;
  global_max_perfection = 90.0f;
  const std::string other = summary("# ");
  EXPECT_TRUE(has_line(other, "#    Sequence range to process:            3 - 7"));
  EXPECT_TRUE(has_line(other, "#    Minimum score:                        maximum (12, 3+0.25*unitlength )"));
  EXPECT_TRUE(has_line(other, "#    Minimum length:                       maximum (20, -4+2.5*unitlength )"));
  EXPECT_TRUE(has_line(other, "#    Min. to max. perfection range:        50.5 % - 90 %"));

  global_sequence_to = 4294967294u;
  EXPECT_TRUE(has_line(summary(""), "   Sequence range to process:            3 - 4294967294"));
}

TEST_F(RunSummary, ChoiceTexts)
{
  global_treat_Ns_as_missense = true;
  global_prefer_longer_repeat = 0;
  global_remove_mostly_hidden = false;
  global_mask_X = true;
  global_N_and_perfection_mode = 1;
  global_report_unit_mode = 0;
  global_print_sat_seq_mode = 0;
  global_gaps_to_Ns = true;
  global_flanking = 8;
  global_Ns_allowed_in_a_row = 0;
  std::string text = summary("");
  EXPECT_TRUE(has_line(text, "   Treat N's as:                         missense"));
  EXPECT_TRUE(has_line(text, "   Show shorter (not longer) of two repeat variants with equal score:  yes"));
  EXPECT_TRUE(has_line(text, "   Remove mostly overlapping satellites: no"));
  EXPECT_TRUE(has_line(text, "   Write file with masked seq.           yes, masked with Xs"));
  EXPECT_TRUE(has_line(text, "   Computing perfections treat N's:      asNeutral"));
  EXPECT_TRUE(has_line(text, "   Report units as:                      as they are"));
  EXPECT_TRUE(has_line(text, "   Print sequence mode:                  don't print sequence"));
  EXPECT_TRUE(has_line(text, "   Convert gaps and *s to Ns :           yes"));
  EXPECT_TRUE(has_line(text, "   Number of flanking nucletides:        8"));
  EXPECT_TRUE(has_line(text, "   Max. succesive N's allowed:           0"));

  global_mask_lower = true;  // wins even if X were still set
  global_N_and_perfection_mode = 2;
  global_report_unit_mode = 1;
  global_print_sat_seq_mode = 1;
  text = summary("");
  EXPECT_TRUE(has_line(text, "   Write file with masked seq.           yes, masked with lower cases letters"));
  EXPECT_TRUE(has_line(text, "   Computing perfections treat N's:      asMatch"));
  EXPECT_TRUE(has_line(text, "   Report units as:                      alphabetical normal form"));
  EXPECT_TRUE(has_line(text, "   Print sequence mode:                  print sequence"));
}

TEST_F(RunSummary, CairnLineComesFirst)
{
  global_CAIRN_run = true;
  for (const char* prefix : {"", "# "}) {
    std::vector<std::string> lines = lines_of(summary(prefix));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(prefix) +
              "   This Katrel search has been initiated by one of the CAIRN modules.");
    EXPECT_EQ(lines[1], std::string(prefix) + "Parameter settings used in this search: ");
  }
}

TEST_F(RunSummary, CreatorMessage)
{
  EXPECT_EQ(capture([](FILE* f) { creator_message(f, "# "); }),
            "# Results computed with:\n#    Katrel, version 3.3.12\n");
  EXPECT_EQ(capture([](FILE* f) { creator_message(f, ""); }),
            "Results computed with:\n   Katrel, version 3.3.12\n");
}

const char* const SEVEN_COLUMNS =
  "# Column  1: Repeat unit length\n"
  "# Column  2: Position at which repeat starts in current sequence\n"
  "# Column  3: Position at which repeat ends in current sequence\n"
  "# Column  4: Length of repeat in original sequence, i.e. (end-start+1)\n"
  "# Column  5: Normalized repeat length, i.e. (end-start+1-insertions+deletions)\n"
  "# Column  6: Repeat score\n"
  "# Column  7: Repeat perfection\n";

TEST_F(RunSummary, LegendOfKatrelFormat)
{
  global_print_sat_mode = 0;
  EXPECT_EQ(legend("# "), std::string("# \n# Columns in lines of output providing repeat information:\n") +
                          SEVEN_COLUMNS + "# Column  8: Repeat unit\n# \n");
  global_treat_Ns_as_missense = true;  // no effect in format 0
  EXPECT_EQ(lines_of(legend("# ")).size(), 11u);
}

TEST_F(RunSummary, LegendOfExtendedFormat)
{
  const std::string head = std::string("# \n# Columns in lines of output providing repeat information:\n") +
                           SEVEN_COLUMNS +
                           "# Column  8: Number of mismatches\n"
                           "# Column  9: Number of insertions\n"
                           "# Column 10: Number of deletions\n";
  EXPECT_EQ(legend("# "), head + "# Column 11: Number of N's\n# Column 12: Repeat unit\n# \n");
  global_treat_Ns_as_missense = true;
  EXPECT_EQ(legend("# "), head + "# Column 11: Repeat unit\n# \n");
}

TEST_F(RunSummary, HeaderOfOnePerLineFormat)
{
  global_print_sat_mode = 3;
  const std::string base = "seq-name\tunit-length\tperfection\tstart\tend\tlength\trepeat-number\tscore"
                           "\tmismatches\tinsertions\tdeletions\tNs\tunit\trepeat-seq";
  EXPECT_EQ(legend("# "), base + "\n");
  global_flanking = 5;
  EXPECT_EQ(legend("# "), base + "\tleft-flanking-seq\tright-flanking-seq\n");
}

TEST_F(RunSummary, NoLegendForGffAndFasta)
{
  global_print_sat_mode = 2;
  EXPECT_EQ(legend("# "), "");
  global_print_sat_mode = 4;
  EXPECT_EQ(legend("# "), "");
}

TEST(Banner, WelcomeText)
{
  const std::string text = capture([](FILE* f) { katrel_welcome(f); });
  EXPECT_EQ(text, welcome_str);
  const std::string head = "\n\n      Welcome to Katrel, version 3.3.12,\n"
                           "      a microsatellite and satellite search tool.\n";
  ASSERT_EQ(text.compare(0, head.size(), head), 0);
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
  EXPECT_NE(text[text.size() - 3], '\n');  // exactly one empty line at the end

  size_t notice_lines = 0;
  std::vector<std::string> lines = lines_of(text.substr(head.size()));
  for (const std::string& l : lines) {
    if (l.empty())
      continue;
    EXPECT_EQ(l.compare(0, 6, "      "), 0) << l;
    EXPECT_NE(l[6], ' ') << l;
    ++notice_lines;
  }
  EXPECT_GE(notice_lines, 8u);
  EXPECT_LE(notice_lines, 12u);
  EXPECT_TRUE(mentions(text, "the Katrel developers"));
}

TEST(Progress, TableHead)
{
  EXPECT_EQ(capture([](FILE* f) { print_progress_table_head(f); }),
            "\n\nSearch progress:\n\nTime     - SeqNr - PatLen - Seq-Name\n" +
            std::string(72, '-') + "\n");
}

// Writes the progress line for a run started `elapsed` seconds ago; retried
// when the clock ticks during the call so that the expected time is exact.
std::string status_line(long elapsed, unsigned int number, const char* name, unsigned int unit)
{
  for (int attempt = 0; attempt < 5; ++attempt) {
    time_t before = std::time(nullptr);
    time_analysis_started = before - elapsed;
    testing::internal::CaptureStderr();
    report_status(number, name, unit);
    std::string line = testing::internal::GetCapturedStderr();
    if (std::time(nullptr) == before)
      return line;
  }
  return "clock kept ticking";
}

TEST(Progress, StatusLineFormat)
{
  EXPECT_EQ(status_line(3725, 3, "chr1", 4), "01.02.05 - #   3 -    4bp - chr1\n");
  EXPECT_EQ(status_line(0, 1, "s", 1), "00.00.00 - #   1 -    1bp - s\n");
  EXPECT_EQ(status_line(59, 12345, "x", 10000), "00.00.59 - # 12345 - 10000bp - x\n");
  EXPECT_EQ(status_line(100 * 3600 + 61, 7, "y", 2), "100.01.01 - #   7 -    2bp - y\n");
  EXPECT_EQ(status_line(10, 4294967295u, "z", 3), "00.00.10 - # 4294967295 -    3bp - z\n");

  const std::string long_name(100, 'a');
  EXPECT_EQ(status_line(5, 2, long_name.c_str(), 3),
            "00.00.05 - #   2 -    3bp - " + std::string(70, 'a') + "\n");
}

TEST(Progress, ReportIsDueAtMostOnceAMinute)
{
  time_t now = std::time(nullptr);
  time_next_status_report = now - 1;
  EXPECT_TRUE(check_report_status());
  EXPECT_GE(time_next_status_report, now + 59);
  EXPECT_LE(time_next_status_report, std::time(nullptr) + 59);
  EXPECT_FALSE(check_report_status());

  // Not yet later than the due time: nothing changes.
  time_next_status_report = std::time(nullptr) + 3;
  time_t due = time_next_status_report;
  EXPECT_FALSE(check_report_status());
  EXPECT_EQ(time_next_status_report, due);

  time_next_status_report = 0;
  update_report_time();
  EXPECT_GE(time_next_status_report, now + 59);
  EXPECT_FALSE(check_report_status());
}

} // namespace
