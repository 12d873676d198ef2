// The global search parameters, their defaults and the command line that
// sets them. The command line is parsed with TCLAP; its help, version and
// parse-error handling end the process inside CmdLine::parse. Everything
// that TCLAP accepts is then copied into the globals and checked here; a
// failed check writes its message to standard error and returns -1 or -2.

#include "config/global-types-and-parameters.h"

#include "config/katrel-messages.h"
#include "config/number2cstring.h"

#include <sched.h>
#include <tclap/CmdLine.h>

#include <string>
#include <vector>

std::string  global_input_filename;
std::string  global_output_filename;

unsigned int global_sequence_from;
unsigned int global_sequence_to;

int          global_search_mode;
int          global_N_and_perfection_mode;
int          global_report_unit_mode;
int          global_print_sat_seq_mode;
int          global_print_sat_mode;
bool         global_sequenceInfoAsComment;
int          global_flanking;
int          global_maximum_recursion_depth;
int          global_maximum_scorereduction;
unsigned int global_min_unit_length;
unsigned int global_max_unit_length;
bool         global_treat_Ns_as_missense;
int          global_Ns_allowed_in_a_row;
int          global_min_score;
int          global_min_score_a;
float        global_min_score_bx;
int          global_min_length;
int          global_min_length_a;
float        global_min_length_bx;
float        global_min_perfection;
float        global_max_perfection;
int          global_mismatch_score;
int          global_indel_score;
int          global_prefer_longer_repeat;
bool         global_remove_mostly_hidden;
int          global_threads;
bool         global_mask_X;
bool         global_mask_lower;
bool         global_gaps_to_Ns;
bool         global_CAIRN_run;

void init_param()
{
  global_sequence_from           = 1;
  global_sequence_to             = 4294967295u;
  global_search_mode             = 2;
  global_N_and_perfection_mode   = 0;
  global_report_unit_mode        = 2;
  global_print_sat_seq_mode      = 2;
  global_print_sat_mode          = 1;
  global_sequenceInfoAsComment   = false;
  global_flanking                = 0;
  global_maximum_recursion_depth = 5;
  global_maximum_scorereduction  = 2147483647;
  global_min_unit_length         = 1;
  global_max_unit_length         = 10;
  global_treat_Ns_as_missense    = false;
  global_Ns_allowed_in_a_row     = 2;
  global_min_score               = 6;
  global_min_score_a             = 0;
  global_min_score_bx            = 1.0f;
  global_min_length              = 0;
  global_min_length_a            = 0;
  global_min_length_bx           = 0.0f;
  global_min_perfection          = 0.0f;
  global_max_perfection          = 100.0f;
  global_mismatch_score          = -5;
  global_indel_score             = -5;
  global_prefer_longer_repeat    = 1;
  global_remove_mostly_hidden    = true;
  global_mask_X                  = false;
  global_mask_lower              = false;
  global_gaps_to_Ns              = false;
  global_CAIRN_run               = false;
  global_threads                 = 1;
}

unsigned int available_processors()
{
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int n = CPU_COUNT(&set);
    if (n >= 1)
      return static_cast<unsigned int>(n);
  }
  return 1;
}

namespace {

const char* const PARSE_PROBLEM =
  "Sorry, a problem occured when parsing the command line options. ";

const char* const MIN_LENGTH_HELP =
  "The minimum length of a repeat is determined with: maximum( minLength, "
  "minLength_a + minLength_b*(unit-length) ). Default value of ";

const char* const MIN_SCORE_HELP =
  "The minimum score of a repeat is determined with: maximum( minScore, "
  "minScore_a + minScore_b*(unit-length) ). Default value of ";

// Writes "<head><value><tail>" to standard error; the value is converted
// last so that the shared number buffer is still intact when written.
void message_with_value(const char* head, int value, const char* tail)
{
  std::fputs(head, stderr);
  std::fputs(number2str(value), stderr);
  std::fputs(tail, stderr);
}

// The four options that select a mode are stored only when they are in range.
int check_mode_options(int output_format, int print_seq_mode,
                       int n_perfection_mode, int report_unit)
{
  if (output_format < 0 || output_format > 4) {
    std::fputs(PARSE_PROBLEM, stderr);
    message_with_value("An outputFormat with a value of ", output_format, " is unknown.\n\n");
    return KATREL_ERR_MODE_OPTION;
  }
  global_print_sat_mode = output_format;

  if (print_seq_mode < 0 || print_seq_mode > 2) {
    std::fputs(PARSE_PROBLEM, stderr);
    message_with_value("A printRepeatSeqMode with a value of ", print_seq_mode, " is unknown.\n\n");
    return KATREL_ERR_MODE_OPTION;
  }
  global_print_sat_seq_mode = print_seq_mode;

  if (n_perfection_mode < 0 || n_perfection_mode > 2) {
    std::fputs(PARSE_PROBLEM, stderr);
    message_with_value("An NPerfectionMode with a value of ", n_perfection_mode, " is unknown.\n\n");
    return KATREL_ERR_MODE_OPTION;
  }
  global_N_and_perfection_mode = n_perfection_mode;

  if (report_unit < 0 || report_unit > 2) {
    std::fputs(PARSE_PROBLEM, stderr);
    message_with_value("An option value of ", report_unit, " for the reportUnit option is unknown.\n\n");
    return KATREL_ERR_MODE_OPTION;
  }
  global_report_unit_mode = report_unit;

  return KATREL_OK;
}

// Checks of the values that are already stored in the globals.
int check_thresholds_and_limits()
{
  // The thresholds for unit length 1: a repeat of a single match must not
  // pass both of them.
  double min_score  = static_cast<double>(global_min_score_a) + global_min_score_bx;
  double min_length = static_cast<double>(global_min_length_a) + global_min_length_bx;
  if (min_score < global_min_score)
    min_score = global_min_score;
  if (min_length < global_min_length)
    min_length = global_min_length;
  if (min_score < 2 && min_length < 2) {
    std::fputs("Sorry, either the minimum score or the minimum length must be larger.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }

  if (global_mismatch_score > -2) {
    std::fputs("Sorry, the mismatch score must be smaller or equal to -2.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }
  if (global_indel_score > -2) {
    std::fputs("Sorry, the indel score must be smaller or equal to -2.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }

  if (global_Ns_allowed_in_a_row < 0)
    global_Ns_allowed_in_a_row = 0;
  if (global_flanking < 0)
    global_flanking = 0;

  if (global_maximum_recursion_depth < 1) {
    std::fputs("Sorry, the recursion depth must be greater than 0.\n"
               "A value of 0 would corresponds to a perfect search.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }

  if (global_max_unit_length < global_min_unit_length) {
    std::fputs("I think you have made a mistake here: The maximum unit length must be greater\n"
               "or equal to the minimum unit length.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }

  // Limits of the search itself: unit lengths start at 1, the recursion
  // depth is kept in an 8-bit counter, and the per-unit-length tables are
  // sized by the maximum unit length.
  if (global_min_unit_length == 0) {
    std::fputs("Sorry, the minimum unit length must be at least 1.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }
  if (global_maximum_recursion_depth > KATREL_MAX_RECURSION_DEPTH) {
    message_with_value("Sorry, the recursion depth must not be greater than ",
                       KATREL_MAX_RECURSION_DEPTH, ".\n");
    std::fputs("A value of ", stderr);
    std::fputs(number2str(global_maximum_recursion_depth), stderr);
    std::fputs(" has been specified.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }
  if (global_threads < 1) {
    std::fputs("Sorry, the number of threads must be at least 1.\nA value of ", stderr);
    std::fputs(number2str(global_threads), stderr);
    std::fputs(" has been specified.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }
  if (global_max_unit_length > KATREL_MAX_UNIT_LENGTH) {
    std::fputs("Sorry, the maximum unit length must not be greater than ", stderr);
    std::fputs(number2str(KATREL_MAX_UNIT_LENGTH), stderr);
    std::fputs(".\nA value of ", stderr);
    std::fputs(number2str(global_max_unit_length), stderr);
    std::fputs(" has been specified.\n", stderr);
    return KATREL_ERR_PARAMETER;
  }

  return KATREL_OK;
}

} // namespace

int read_and_init_parameters(int argc, char** argv)
{
  init_param();

  try {
    std::string version = "3.3.12";
    version += ".\nThis is a ";
    version += number2str(int(sizeof(void*) * 8));
    version += " bit version of Katrel.";

    TCLAP::CmdLine cmd("This program searches for tandemly repeated patterns in DNA sequences.",
                       ' ', version);

    TCLAP::SwitchArg convert_gaps_to_Ns_Arg("", "convert_gaps_to_Ns",
      "Some basecaller introduce gaps which naturally should be Ns."
      "With this option we convert gaps to Ns. Otherwise gaps are excised from the sequence. "
      "(The '*' characters, which was introduced in some older programs is treated in the "
      "same way as gaps.)",
      cmd, global_gaps_to_Ns);

    TCLAP::SwitchArg sequenceInfoAsComment_Arg("", "sequenceInfoAsComment",
      "In the GFF and one-per-line output modes, show additional sequence information in "
      "the output file as a comment.",
      cmd, global_sequenceInfoAsComment);

    TCLAP::ValueArg<int> succN_Arg("N", "succN",
      "The maximum number of successive N's allowed in a satellite. Default: 2.",
      false, global_Ns_allowed_in_a_row, "int", cmd);

    TCLAP::SwitchArg NsAsMissense_Arg("", "NsAsMissense",
      "Treat N's as missense. Default: Treat N's as neutral with score 0.",
      cmd, global_treat_Ns_as_missense);

    TCLAP::SwitchArg preferShorterRepeats_Arg("", "preferShorterRepeats",
      "For two alignments of the same repeat that have the same score, Katrel reports by "
      "default (since version 3.3.9) the longer alignment. The longer alignment will have "
      "more mismatches/gaps and a lower perfection. With this option, Katrel will choose the "
      "shorter of the two alignments instead of the longer. Katrel will run faster with this "
      "option.",
      cmd, !global_prefer_longer_repeat);

    TCLAP::ValueArg<int> reportUnit_Arg("", "reportUnit",
      "Repeat units can be reported in three different modes. 0: asIs, 1: Alphabetical normal "
      "form, 2: Alphabetical normal form also considering the reverse complement. Default: 2",
      false, global_report_unit_mode, "int", cmd);

    TCLAP::ValueArg<int> NPerfectionMode_Arg("", "NPerfectionMode",
      "Katrel provides different modes to treat N's when computing the perfection of a "
      "repeat. 0: asMismatch, 1: asNeutral, 2: asMatch. Default: 0",
      false, global_N_and_perfection_mode, "int", cmd);

    TCLAP::ValueArg<int> printRepeatSeqMode_Arg("", "printRepeatSeqMode",
      "Katrel provides different modes to print the repeat sequence along with its "
      "information. 0: don't print sequence, 1: print sequence, 2: print alignment.",
      false, global_print_sat_seq_mode, "int", cmd);

    TCLAP::ValueArg<int> outputFormat_Arg("", "outputFormat",
      "Katrel provides different output formats for printing the repeat information. "
      "0: Katrel output format, 1: extended Katrel output format, 2: gff - general feature "
      "format, 3: one-per-line format, 4: as fasta sequence",
      false, global_print_sat_mode, "int", cmd);

    TCLAP::SwitchArg maskX_Arg("", "maskX",
      "Writes the sequences to a file with the extension \".masked\" in which repeats are "
      "masked by the X character. Currently, this option has the sometimes unwanted side "
      "effect of changing all ambiguity codes to Ns.",
      cmd, global_mask_X);

    TCLAP::SwitchArg CAIRNrun_Arg("", "CAIRNrun",
      "This option tells Katrel that it called from CAIRN, which slighly alters the output, "
      "mostly to be backward compatible with older versions with less lines of output.",
      cmd, global_CAIRN_run);

    TCLAP::SwitchArg maskLower_Arg("", "maskLower",
      "Writes the sequences to a file with the extension \".masked\" in which repeats are "
      "masked by lower case letters. Currently, this option has the sometimes unwanted side "
      "effect of changing all ambiguity codes to Ns.",
      cmd, global_mask_lower);

    TCLAP::ValueArg<int> flanking_Arg("f", "flanking",
      "If the satellite sequence is printed, this is the number of flanking nucleotides to "
      "be printed to the left and right of it. Default: 0",
      false, global_flanking, "int", cmd);

    TCLAP::ValueArg<float> minPerfection_Arg("", "minPerfection",
      "Minimum perfection of a satellites. Default: 0.",
      false, global_min_perfection, "float", cmd);

    TCLAP::ValueArg<float> maxPerfection_Arg("", "maxPerfection",
      "Maximum perfection of a satellites. Default: 100.",
      false, global_max_perfection, "float", cmd);

    TCLAP::SwitchArg dontRemoveMostlyOverlapping_Arg("D", "dontRemoveMostlyOverlapping",
      "Katrel sometimes finds repeats that partially or completely overlap with other "
      "repeats, e.g. if alignments with alternative repeat patterns exist at the same locus "
      "in a sequence. The default is to remove one of any two mostly overlapping repeats in "
      "favour of that repeat with the highest score. With this option, Katrel reports also "
      "repeats that mostly overlap with higher scoring repeats.",
      cmd, global_remove_mostly_hidden);

    // The record range is given as signed numbers; -1 for the last record
    // becomes the all-ones unsigned value.
    TCLAP::ValueArg<int> firstSeq_Arg("", "firstSeq",
      "Number of first sequence to be processed in this run.",
      false, static_cast<int>(global_sequence_from), "int", cmd);

    TCLAP::ValueArg<int> lastSeq_Arg("", "lastSeq",
      "Number of last sequence to be processed in this run.",
      false, static_cast<int>(global_sequence_to), "int", cmd);

    TCLAP::ValueArg<int> maximum_score_reduction_Arg("R", "maximum_score_reduction",
      "The maximum amount the score can be reduced before search is aborded. Typical: "
      "6*mismatch-penalty or infinite. Default: infinite",
      false, global_maximum_scorereduction, "int", cmd);

    TCLAP::ValueArg<int> recursion_Arg("r", "recursion",
      "The recursion depth used in the search. Values in the range 3 to 7 are recommended. "
      "A value of 0 implies a search for perfect repeats only.",
      false, global_maximum_recursion_depth, "int", cmd);

    TCLAP::ValueArg<unsigned int> minUnitLen_Arg("u", "minUnitLen",
      "Minimum unit length. Default: 1",
      false, global_min_unit_length, "int", cmd);

    TCLAP::ValueArg<unsigned int> maxUnitLen_Arg("U", "maxUnitLen",
      "Maximum unit length. Default: 10",
      false, global_max_unit_length, "int", cmd);

    TCLAP::ValueArg<float> minLength_b_Arg("", "minLength_b",
      std::string(MIN_LENGTH_HELP) + "minLength_b: 0",
      false, global_min_length_bx, "float", cmd);

    TCLAP::ValueArg<int> minLength_a_Arg("", "minLength_a",
      std::string(MIN_LENGTH_HELP) + "minLength_a: 0",
      false, global_min_length_a, "int", cmd);

    TCLAP::ValueArg<int> minLength_Arg("l", "minLength",
      std::string(MIN_LENGTH_HELP) + "minLength: 0",
      false, global_min_length, "int", cmd);

    TCLAP::ValueArg<float> minScore_b_Arg("", "minScore_b",
      std::string(MIN_SCORE_HELP) + "minScore_b: 1",
      false, global_min_score_bx, "float", cmd);

    TCLAP::ValueArg<int> minScore_a_Arg("", "minScore_a",
      std::string(MIN_SCORE_HELP) + "minScore_a: 0",
      false, global_min_score_a, "int", cmd);

    TCLAP::ValueArg<int> minScore_Arg("s", "minScore",
      std::string(MIN_SCORE_HELP) + "minScore: 6",
      false, global_min_score, "int", cmd);

    TCLAP::ValueArg<int> mismatchScore_Arg("m", "mismatchScore",
      "Score for mismatch - must be negative. Default: -5. Match score is fixed to one.",
      false, global_mismatch_score, "int", cmd);

    TCLAP::ValueArg<int> indelScore_Arg("g", "indelScore",
      "Score for indels - must be negative. Default: -5. Match score is fixed to one.",
      false, global_indel_score, "int", cmd);

    std::vector<std::string> search_modes;
    search_modes.push_back("exact");
    search_modes.push_back("extendExact");
    search_modes.push_back("imperfect");
    TCLAP::ValuesConstraint<std::string> search_mode_constraint(search_modes);
    const int default_threads = static_cast<int>(available_processors());
    TCLAP::ValueArg<int> threads_Arg("t", "threads",
      "The number of threads of the search. The report is the same for any number. "
      "Default: the number of processors that Katrel may run on.",
      false, default_threads, "int", cmd);

    TCLAP::ValueArg<std::string> searchMode_Arg("M", "searchMode",
      "Katrel provides three different search modes. exact: Search for exact repeats, only. "
      "extendExact: Searches for exact repeats and extends them by inserting mismatches and "
      "indels. imperfect: Searches directly for imperfect repeats.",
      false, "imperfect", &search_mode_constraint, cmd);

    TCLAP::UnlabeledMultiArg<std::string> iofiles_Arg("iofiles",
      "Katrel requires either one or two file names as parameters. The first must be the "
      "input file in FASTA format. If a second file is specified, output is written to it. "
      "If no second file is given, output is written to the console. ",
      false, "Input and output filenames", cmd);

    cmd.parse(argc, argv);

    const std::vector<std::string>& files = iofiles_Arg.getValue();
    if (files.empty()) {
      general_PrintMessage(stderr, "Error: No input file has been specified. Type ",
                           argv[0], " --help for more information.\n");
      return KATREL_ERR_PARAMETER;
    }
    if (files.size() > 2) {
      general_PrintMessage(stderr,
        "Error: Too many file names have been specified. Katrel takes one input file and "
        "at most one output file. Type ", argv[0], " --help for more information.\n");
      return KATREL_ERR_PARAMETER;
    }
    global_input_filename  = files[0];
    global_output_filename = files.size() == 2 ? files[1] : std::string();

    global_gaps_to_Ns              = convert_gaps_to_Ns_Arg.getValue();
    global_sequenceInfoAsComment   = sequenceInfoAsComment_Arg.getValue();
    global_Ns_allowed_in_a_row     = succN_Arg.getValue();
    global_treat_Ns_as_missense    = NsAsMissense_Arg.getValue();
    global_prefer_longer_repeat    = preferShorterRepeats_Arg.getValue() ? 0 : 1;
    global_mask_X                  = maskX_Arg.getValue();
    global_CAIRN_run               = CAIRNrun_Arg.getValue();
    global_mask_lower              = maskLower_Arg.getValue();
    if (global_mask_lower)
      global_mask_X = false;
    global_flanking                = flanking_Arg.getValue();
    global_min_perfection          = minPerfection_Arg.getValue();
    global_max_perfection          = maxPerfection_Arg.getValue();
    global_remove_mostly_hidden    = dontRemoveMostlyOverlapping_Arg.getValue();
    global_sequence_from           = static_cast<unsigned int>(firstSeq_Arg.getValue());
    global_sequence_to             = static_cast<unsigned int>(lastSeq_Arg.getValue());
    global_maximum_scorereduction  = maximum_score_reduction_Arg.getValue();
    global_maximum_recursion_depth = recursion_Arg.getValue();
    global_min_unit_length         = minUnitLen_Arg.getValue();
    global_max_unit_length         = maxUnitLen_Arg.getValue();
    global_min_length_bx           = minLength_b_Arg.getValue();
    global_min_length_a            = minLength_a_Arg.getValue();
    global_min_length              = minLength_Arg.getValue();
    global_min_score_bx            = minScore_b_Arg.getValue();
    global_min_score_a             = minScore_a_Arg.getValue();
    global_min_score               = minScore_Arg.getValue();
    global_mismatch_score          = mismatchScore_Arg.getValue();
    global_indel_score             = indelScore_Arg.getValue();

    global_threads = threads_Arg.getValue();

    const std::string& mode = searchMode_Arg.getValue();
    if (mode == "exact")
      global_search_mode = 0;
    else if (mode == "extendExact")
      global_search_mode = 1;
    else
      global_search_mode = 2;

    int res = check_mode_options(outputFormat_Arg.getValue(), printRepeatSeqMode_Arg.getValue(),
                                 NPerfectionMode_Arg.getValue(), reportUnit_Arg.getValue());
    if (res != KATREL_OK)
      return res;
  }
  catch (TCLAP::ArgException& e) {
    general_PrintMessage(stderr, "Error: ", e.error().c_str(), " for arg ",
                         e.argId().c_str(), "\n");
    return KATREL_ERR_PARAMETER;
  }

  return check_thresholds_and_limits();
}
