// read_and_init_parameters in process: result codes, messages on standard
// error and the globals it leaves behind. Help, version and parse errors end
// the process inside TCLAP, so they run as death tests.

#include "config/global-types-and-parameters.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Parsed {
  int result;
  std::string err;
};

// Runs the parser on "katrel" followed by `args`.
int call_parser(const std::vector<std::string>& args)
{
  std::vector<std::string> words;
  words.push_back("katrel");
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words)
    argv.push_back(&w[0]);
  argv.push_back(nullptr);
  return read_and_init_parameters(static_cast<int>(words.size()), argv.data());
}

Parsed parse(const std::vector<std::string>& args)
{
  testing::internal::CaptureStderr();
  int result = call_parser(args);
  return Parsed{result, testing::internal::GetCapturedStderr()};
}

const char* const PROBLEM = "Sorry, a problem occured when parsing the command line options. ";
const char* const THRESHOLD_MSG = "Sorry, either the minimum score or the minimum length must be larger.\n";
const char* const MISMATCH_MSG  = "Sorry, the mismatch score must be smaller or equal to -2.\n";
const char* const INDEL_MSG     = "Sorry, the indel score must be smaller or equal to -2.\n";
const char* const RECURSION_MSG = "Sorry, the recursion depth must be greater than 0.\n"
                                  "A value of 0 would corresponds to a perfect search.\n";
const char* const UNIT_MSG      = "I think you have made a mistake here: The maximum unit length must be greater\n"
                                  "or equal to the minimum unit length.\n";

struct MessageCase {
  const char* name;
  std::vector<std::string> args;
  int result;
  std::string err;
};

std::ostream& operator<<(std::ostream& os, const MessageCase& c) { return os << c.name; }

class ParameterMessages : public testing::TestWithParam<MessageCase> {};

TEST_P(ParameterMessages, ResultAndMessage)
{
  const MessageCase& c = GetParam();
  Parsed p = parse(c.args);
  EXPECT_EQ(p.result, c.result);
  EXPECT_EQ(p.err, c.err);
}

INSTANTIATE_TEST_SUITE_P(Table, ParameterMessages, testing::Values(
  MessageCase{"no_file_name", {}, -1,
    "Error: No input file has been specified. Type katrel --help for more information.\n"},
  MessageCase{"options_but_no_file_name", {"-s", "10"}, -1,
    "Error: No input file has been specified. Type katrel --help for more information.\n"},
  MessageCase{"three_file_names", {"a.fa", "b.out", "c.out"}, -1,
    "Error: Too many file names have been specified. Katrel takes one input file and at most one "
    "output file. Type katrel --help for more information.\n"},
  MessageCase{"one_file", {"in.fa"}, 0, ""},
  MessageCase{"two_files", {"in.fa", "out.txt"}, 0, ""},

  MessageCase{"outputFormat_5", {"in.fa", "--outputFormat", "5"}, -2,
    std::string(PROBLEM) + "An outputFormat with a value of 5 is unknown.\n\n"},
  MessageCase{"outputFormat_negative", {"in.fa", "--outputFormat", "-1"}, -2,
    std::string(PROBLEM) + "An outputFormat with a value of -1 is unknown.\n\n"},
  // The first bad mode option ends the checks: the others are not looked at.
  MessageCase{"outputFormat_first", {"in.fa", "--outputFormat", "5", "--printRepeatSeqMode", "3",
                                     "--reportUnit", "9"}, -2,
    std::string(PROBLEM) + "An outputFormat with a value of 5 is unknown.\n\n"},
  MessageCase{"printRepeatSeqMode_3", {"in.fa", "--printRepeatSeqMode", "3", "--NPerfectionMode", "7"}, -2,
    std::string(PROBLEM) + "A printRepeatSeqMode with a value of 3 is unknown.\n\n"},
  MessageCase{"NPerfectionMode_3", {"in.fa", "--NPerfectionMode", "3", "--reportUnit", "-1"}, -2,
    std::string(PROBLEM) + "An NPerfectionMode with a value of 3 is unknown.\n\n"},
  MessageCase{"reportUnit_3", {"in.fa", "--reportUnit", "3"}, -2,
    std::string(PROBLEM) + "An option value of 3 for the reportUnit option is unknown.\n\n"},
  // Mode options are checked before the thresholds.
  MessageCase{"mode_before_threshold", {"in.fa", "--reportUnit", "3", "-s", "1"}, -2,
    std::string(PROBLEM) + "An option value of 3 for the reportUnit option is unknown.\n\n"},
  MessageCase{"three_files_before_mode", {"a", "b", "c", "--outputFormat", "9"}, -1,
    "Error: Too many file names have been specified. Katrel takes one input file and at most one "
    "output file. Type katrel --help for more information.\n"},

  MessageCase{"minScore_1_alone", {"in.fa", "-s", "1"}, -1, THRESHOLD_MSG},
  MessageCase{"minScore_1_minLength_2", {"in.fa", "-s", "1", "-l", "2"}, 0, ""},
  MessageCase{"minScore_1_minScore_b_1.5", {"in.fa", "-s", "1", "--minScore_b", "1.5"}, -1, THRESHOLD_MSG},
  MessageCase{"minScore_1_minScore_a_1", {"in.fa", "-s", "1", "--minScore_a", "1"}, 0, ""},
  MessageCase{"minScore_1_length_a_plus_b", {"in.fa", "-s", "1", "--minLength_a", "1",
                                             "--minLength_b", "1"}, 0, ""},
  MessageCase{"minScore_1_length_1.9", {"in.fa", "-s", "1", "--minLength_a", "1",
                                        "--minLength_b", "0.9"}, -1, THRESHOLD_MSG},
  MessageCase{"threshold_before_scores", {"in.fa", "-s", "1", "-m", "-1"}, -1, THRESHOLD_MSG},

  MessageCase{"mismatch_-1", {"in.fa", "-m", "-1"}, -1, MISMATCH_MSG},
  MessageCase{"mismatch_-2", {"in.fa", "-m", "-2"}, 0, ""},
  MessageCase{"mismatch_positive", {"in.fa", "--mismatchScore", "3"}, -1, MISMATCH_MSG},
  MessageCase{"indel_-1", {"in.fa", "-g", "-1"}, -1, INDEL_MSG},
  MessageCase{"indel_-2", {"in.fa", "--indelScore", "-2"}, 0, ""},
  MessageCase{"mismatch_before_indel", {"in.fa", "-m", "0", "-g", "0"}, -1, MISMATCH_MSG},

  MessageCase{"recursion_0", {"in.fa", "-r", "0"}, -1, RECURSION_MSG},
  MessageCase{"recursion_0_exact", {"in.fa", "-r", "0", "-M", "exact"}, -1, RECURSION_MSG},
  MessageCase{"recursion_negative", {"in.fa", "--recursion", "-4"}, -1, RECURSION_MSG},
  MessageCase{"indel_before_recursion", {"in.fa", "-g", "-1", "-r", "0"}, -1, INDEL_MSG},
  MessageCase{"recursion_255", {"in.fa", "-r", "255"}, 0, ""},
  MessageCase{"recursion_256", {"in.fa", "-r", "256"}, -1,
    "Sorry, the recursion depth must not be greater than 255.\nA value of 256 has been specified.\n"},

  MessageCase{"unit_5_4", {"in.fa", "-u", "5", "-U", "4"}, -1, UNIT_MSG},
  MessageCase{"unit_4_4", {"in.fa", "-u", "4", "-U", "4"}, 0, ""},
  MessageCase{"recursion_before_unit", {"in.fa", "-u", "5", "-U", "4", "-r", "0"}, -1, RECURSION_MSG},
  MessageCase{"minUnitLen_0", {"in.fa", "-u", "0"}, -1,
    "Sorry, the minimum unit length must be at least 1.\n"},
  MessageCase{"unit_0_0", {"in.fa", "-u", "0", "-U", "0"}, -1,
    "Sorry, the minimum unit length must be at least 1.\n"},
  MessageCase{"unit_order_before_zero", {"in.fa", "-u", "0", "-U", "0", "-r", "0"}, -1, RECURSION_MSG},
  MessageCase{"maxUnitLen_10000", {"in.fa", "-U", "10000"}, 0, ""},
  MessageCase{"maxUnitLen_10001", {"in.fa", "-U", "10001"}, -1,
    "Sorry, the maximum unit length must not be greater than 10000.\nA value of 10001 has been specified.\n"},
  // A negative value read into the unsigned option wraps round.
  MessageCase{"maxUnitLen_-1", {"in.fa", "--maxUnitLen", "-1"}, -1,
    "Sorry, the maximum unit length must not be greater than 10000.\nA value of 4294967295 has been specified.\n"},
  MessageCase{"minUnitLen_-1", {"in.fa", "--minUnitLen", "-1"}, -1, UNIT_MSG},
  MessageCase{"recursion_limit_before_unit_limit", {"in.fa", "-r", "300", "-U", "20000"}, -1,
    "Sorry, the recursion depth must not be greater than 255.\nA value of 300 has been specified.\n"},

  MessageCase{"succN_flanking_negative", {"in.fa", "-N", "-3", "-f", "-7"}, 0, ""}
), [](const testing::TestParamInfo<MessageCase>& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

TEST(Parameters, InitParamSetsDefaultsAndLeavesFileNames)
{
  global_input_filename = "keep.fa";
  global_output_filename = "keep.out";
  global_min_score = 99;
  init_param();
  EXPECT_EQ(global_input_filename, "keep.fa");
  EXPECT_EQ(global_output_filename, "keep.out");
  EXPECT_EQ(global_min_score, 6);
}

TEST(Parameters, DefaultsWithOneFileName)
{
  Parsed p = parse({"in.fa"});
  ASSERT_EQ(p.result, 0);
  EXPECT_EQ(global_input_filename, "in.fa");
  EXPECT_EQ(global_output_filename, "");
  EXPECT_EQ(global_sequence_from, 1u);
  EXPECT_EQ(global_sequence_to, 4294967295u);
  EXPECT_EQ(global_search_mode, 2);
  EXPECT_EQ(global_N_and_perfection_mode, 0);
  EXPECT_EQ(global_report_unit_mode, 2);
  EXPECT_EQ(global_print_sat_seq_mode, 2);
  EXPECT_EQ(global_print_sat_mode, 1);
  EXPECT_FALSE(global_sequenceInfoAsComment);
  EXPECT_EQ(global_flanking, 0);
  EXPECT_EQ(global_maximum_recursion_depth, 5);
  EXPECT_EQ(global_maximum_scorereduction, 2147483647);
  EXPECT_EQ(global_min_unit_length, 1u);
  EXPECT_EQ(global_max_unit_length, 10u);
  EXPECT_FALSE(global_treat_Ns_as_missense);
  EXPECT_EQ(global_Ns_allowed_in_a_row, 2);
  EXPECT_EQ(global_min_score, 6);
  EXPECT_EQ(global_min_score_a, 0);
  EXPECT_EQ(global_min_score_bx, 1.0f);
  EXPECT_EQ(global_min_length, 0);
  EXPECT_EQ(global_min_length_a, 0);
  EXPECT_EQ(global_min_length_bx, 0.0f);
  EXPECT_EQ(global_min_perfection, 0.0f);
  EXPECT_EQ(global_max_perfection, 100.0f);
  EXPECT_EQ(global_mismatch_score, -5);
  EXPECT_EQ(global_indel_score, -5);
  EXPECT_EQ(global_prefer_longer_repeat, 1);
  EXPECT_TRUE(global_remove_mostly_hidden);
  EXPECT_FALSE(global_mask_X);
  EXPECT_FALSE(global_mask_lower);
  EXPECT_FALSE(global_gaps_to_Ns);
  EXPECT_FALSE(global_CAIRN_run);
}

TEST(Parameters, EverySwitchAndValueByLongName)
{
  Parsed p = parse({"--convert_gaps_to_Ns", "--sequenceInfoAsComment", "--succN", "4", "--NsAsMissense",
                    "--preferShorterRepeats", "--reportUnit", "1", "--NPerfectionMode", "2",
                    "--printRepeatSeqMode", "0", "--outputFormat", "3", "--CAIRNrun", "--flanking", "9",
                    "--minPerfection", "50.5", "--maxPerfection", "90", "--dontRemoveMostlyOverlapping",
                    "--firstSeq", "3", "--lastSeq", "7", "--maximum_score_reduction", "30",
                    "--recursion", "3", "--minUnitLen", "2", "--maxUnitLen", "6", "--minLength_b", "0.5",
                    "--minLength_a", "3", "--minLength", "10", "--minScore_b", "0.25", "--minScore_a", "2",
                    "--minScore", "12", "--mismatchScore", "-3", "--indelScore", "-4",
                    "--searchMode", "extendExact", "in.fa", "out.txt"});
  ASSERT_EQ(p.result, 0) << p.err;
  EXPECT_TRUE(global_gaps_to_Ns);
  EXPECT_TRUE(global_sequenceInfoAsComment);
  EXPECT_EQ(global_Ns_allowed_in_a_row, 4);
  EXPECT_TRUE(global_treat_Ns_as_missense);
  EXPECT_EQ(global_prefer_longer_repeat, 0);
  EXPECT_EQ(global_report_unit_mode, 1);
  EXPECT_EQ(global_N_and_perfection_mode, 2);
  EXPECT_EQ(global_print_sat_seq_mode, 0);
  EXPECT_EQ(global_print_sat_mode, 3);
  EXPECT_TRUE(global_CAIRN_run);
  EXPECT_EQ(global_flanking, 9);
  EXPECT_EQ(global_min_perfection, 50.5f);
  EXPECT_EQ(global_max_perfection, 90.0f);
  EXPECT_FALSE(global_remove_mostly_hidden);
  EXPECT_EQ(global_sequence_from, 3u);
  EXPECT_EQ(global_sequence_to, 7u);
  EXPECT_EQ(global_maximum_scorereduction, 30);
  EXPECT_EQ(global_maximum_recursion_depth, 3);
  EXPECT_EQ(global_min_unit_length, 2u);
  EXPECT_EQ(global_max_unit_length, 6u);
  EXPECT_EQ(global_min_length_bx, 0.5f);
  EXPECT_EQ(global_min_length_a, 3);
  EXPECT_EQ(global_min_length, 10);
  EXPECT_EQ(global_min_score_bx, 0.25f);
  EXPECT_EQ(global_min_score_a, 2);
  EXPECT_EQ(global_min_score, 12);
  EXPECT_EQ(global_mismatch_score, -3);
  EXPECT_EQ(global_indel_score, -4);
  EXPECT_EQ(global_search_mode, 1);
  EXPECT_EQ(global_input_filename, "in.fa");
  EXPECT_EQ(global_output_filename, "out.txt");
}

TEST(Parameters, ShortNames)
{
  Parsed p = parse({"-N", "5", "-f", "3", "-D", "-R", "18", "-r", "7", "-u", "2", "-U", "8", "-l", "11",
                    "-s", "13", "-m", "-6", "-g", "-7", "-M", "exact", "in.fa"});
  ASSERT_EQ(p.result, 0) << p.err;
  EXPECT_EQ(global_Ns_allowed_in_a_row, 5);
  EXPECT_EQ(global_flanking, 3);
  EXPECT_FALSE(global_remove_mostly_hidden);
  EXPECT_EQ(global_maximum_scorereduction, 18);
  EXPECT_EQ(global_maximum_recursion_depth, 7);
  EXPECT_EQ(global_min_unit_length, 2u);
  EXPECT_EQ(global_max_unit_length, 8u);
  EXPECT_EQ(global_min_length, 11);
  EXPECT_EQ(global_min_score, 13);
  EXPECT_EQ(global_mismatch_score, -6);
  EXPECT_EQ(global_indel_score, -7);
  EXPECT_EQ(global_search_mode, 0);
}

TEST(Parameters, SearchModeWords)
{
  ASSERT_EQ(parse({"in.fa", "-M", "exact"}).result, 0);
  EXPECT_EQ(global_search_mode, 0);
  ASSERT_EQ(parse({"in.fa", "-M", "extendExact"}).result, 0);
  EXPECT_EQ(global_search_mode, 1);
  ASSERT_EQ(parse({"in.fa", "--searchMode", "imperfect"}).result, 0);
  EXPECT_EQ(global_search_mode, 2);
}

TEST(Parameters, EachCallStartsFromTheDefaults)
{
  ASSERT_EQ(parse({"in.fa", "out.txt", "-s", "12", "--maskX", "-M", "exact"}).result, 0);
  ASSERT_EQ(parse({"other.fa"}).result, 0);
  EXPECT_EQ(global_min_score, 6);
  EXPECT_FALSE(global_mask_X);
  EXPECT_EQ(global_search_mode, 2);
  EXPECT_EQ(global_input_filename, "other.fa");
  EXPECT_EQ(global_output_filename, "");
}

TEST(Parameters, NegativeCountsBecomeZero)
{
  ASSERT_EQ(parse({"in.fa", "-N", "-3", "-f", "-7"}).result, 0);
  EXPECT_EQ(global_Ns_allowed_in_a_row, 0);
  EXPECT_EQ(global_flanking, 0);
}

TEST(Parameters, LowerCaseMaskingWinsOverX)
{
  ASSERT_EQ(parse({"in.fa", "--maskX"}).result, 0);
  EXPECT_TRUE(global_mask_X);
  EXPECT_FALSE(global_mask_lower);
  ASSERT_EQ(parse({"in.fa", "--maskX", "--maskLower"}).result, 0);
  EXPECT_FALSE(global_mask_X);
  EXPECT_TRUE(global_mask_lower);
  ASSERT_EQ(parse({"in.fa", "--maskLower", "--maskX"}).result, 0);
  EXPECT_FALSE(global_mask_X);
  EXPECT_TRUE(global_mask_lower);
}

TEST(Parameters, RecordRangeIsStoredUnsigned)
{
  ASSERT_EQ(parse({"in.fa", "--firstSeq", "-1", "--lastSeq", "-2"}).result, 0);
  EXPECT_EQ(global_sequence_from, 4294967295u);
  EXPECT_EQ(global_sequence_to, 4294967294u);
  ASSERT_EQ(parse({"in.fa", "--firstSeq", "0"}).result, 0);
  EXPECT_EQ(global_sequence_from, 0u);
  EXPECT_EQ(global_sequence_to, 4294967295u);
}

TEST(Parameters, ModeOptionsAreStoredUpToTheFirstBadOne)
{
  ASSERT_EQ(parse({"in.fa", "--outputFormat", "4", "--printRepeatSeqMode", "1",
                   "--NPerfectionMode", "5", "--reportUnit", "0"}).result, -2);
  EXPECT_EQ(global_print_sat_mode, 4);
  EXPECT_EQ(global_print_sat_seq_mode, 1);
  EXPECT_EQ(global_N_and_perfection_mode, 0);  // rejected value not stored
  EXPECT_EQ(global_report_unit_mode, 2);       // not looked at
}

// Words that no option claims are file names, whatever they look like.
TEST(Parameters, UnclaimedWordsAreFileNames)
{
  ASSERT_EQ(parse({"in.fa", "--unknownOption"}).result, 0);
  EXPECT_EQ(global_input_filename, "in.fa");
  EXPECT_EQ(global_output_filename, "--unknownOption");

  ASSERT_EQ(parse({"--unknownOption", "in.fa"}).result, 0);
  EXPECT_EQ(global_input_filename, "--unknownOption");
  EXPECT_EQ(global_output_filename, "in.fa");

  // The version switch has no short name, so -v is a file name.
  ASSERT_EQ(parse({"-v", "in.fa"}).result, 0);
  EXPECT_EQ(global_input_filename, "-v");
  EXPECT_EQ(global_output_filename, "in.fa");

  ASSERT_EQ(parse({"in*.fa", "out*"}).result, 0);
  EXPECT_EQ(global_input_filename, "in*.fa");
  EXPECT_EQ(global_output_filename, "out*");
}

TEST(Parameters, OptionValueMayStartWithMinus)
{
  ASSERT_EQ(parse({"in.fa", "--minScore_a", "-3", "-s", "8"}).result, 0);
  EXPECT_EQ(global_min_score_a, -3);
  EXPECT_EQ(global_input_filename, "in.fa");
  EXPECT_EQ(global_output_filename, "");
}

// ---- Cases that end the process inside the parser ----

using ParametersDeathTest = testing::Test;

TEST_F(ParametersDeathTest, HelpAndVersionExitWithZero)
{
  EXPECT_EXIT(call_parser({"--help"}), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(call_parser({"-h"}), testing::ExitedWithCode(0), "");
  EXPECT_EXIT(call_parser({"in.fa", "--version"}), testing::ExitedWithCode(0), "");
}

TEST_F(ParametersDeathTest, ParseErrorsExitWithOne)
{
  EXPECT_EXIT(call_parser({"in.fa", "-M", "Exact"}), testing::ExitedWithCode(1),
              "PARSE ERROR: Argument: -M \\(--searchMode\\)");
  EXPECT_EXIT(call_parser({"in.fa", "-s", "abc"}), testing::ExitedWithCode(1),
              "Couldn't read argument value from string 'abc'");
  EXPECT_EXIT(call_parser({"in.fa", "-s"}), testing::ExitedWithCode(1), "PARSE ERROR: Argument: -s");
  EXPECT_EXIT(call_parser({"in.fa", "-s", "5", "-s", "6"}), testing::ExitedWithCode(1),
              "Argument already set");
  EXPECT_EXIT(call_parser({"in.fa", "-u", "1.5"}), testing::ExitedWithCode(1),
              "Couldn't read argument value");
  EXPECT_EXIT(call_parser({"in.fa", "-s", "2147483648"}), testing::ExitedWithCode(1),
              "Couldn't read argument value");
  EXPECT_EXIT(call_parser({"in.fa", "--maskX", "--maskX"}), testing::ExitedWithCode(1),
              "Argument already set");
}

// After "--" every following word is a file name, even one naming an option.
// The ignore state of the parser is process-wide, so this runs in a child.
TEST_F(ParametersDeathTest, IgnoreRestMakesFileNames)
{
  EXPECT_EXIT({
      int r = call_parser({"-s", "8", "--", "-s", "in.fa"});
      std::exit(r == 0 && global_min_score == 8 && global_input_filename == "-s" &&
                global_output_filename == "in.fa" ? 3 : 4);
    }, testing::ExitedWithCode(3), "");
}

} // namespace
