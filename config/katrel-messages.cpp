// The texts of a run: banner, creator line, run summary, column legend and
// the progress table on standard error.

#include "config/katrel-messages.h"

#include "config/global-types-and-parameters.h"
#include "config/number2cstring.h"

time_t time_analysis_started   = std::time(nullptr);
time_t time_next_status_report = std::time(nullptr);

const char* welcome_str =
  "\n"
  "\n"
  "      Welcome to Katrel, version 3.3.12,\n"
  "      a microsatellite and satellite search tool.\n"
  "\n"
  "      Katrel is written and maintained by the Katrel developers.\n"
  "      You may use, copy and pass on this program free of charge,\n"
  "      for research, teaching and any other purpose.\n"
  "      It comes without any warranty: the authors accept no liability\n"
  "      for results obtained with it or for damage caused by its use.\n"
  "      Please check important findings independently.\n"
  "\n"
  "      If Katrel helps your work, please mention it, and its version,\n"
  "      in your publications. Reports of errors and suggestions are\n"
  "      welcome and help to improve future versions.\n"
  "\n";

void PrintMessage(FILE* os, const char* text)
{
  std::fputs(text, os);
}

void general_PrintMessage(FILE* os, const char* t1)
{
  std::fputs(t1, os);
}

void general_PrintMessage(FILE* os, const char* t1, const char* t2)
{
  std::fputs(t1, os);
  std::fputs(t2, os);
}

void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3)
{
  std::fputs(t1, os);
  std::fputs(t2, os);
  std::fputs(t3, os);
}

void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3,
                          const char* t4)
{
  std::fputs(t1, os);
  std::fputs(t2, os);
  std::fputs(t3, os);
  std::fputs(t4, os);
}

void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3,
                          const char* t4, const char* t5)
{
  std::fputs(t1, os);
  std::fputs(t2, os);
  std::fputs(t3, os);
  std::fputs(t4, os);
  std::fputs(t5, os);
}

void katrel_welcome(FILE* os)
{
  PrintMessage(os, welcome_str);
}

void creator_message(FILE* os, const char* prefix)
{
  general_PrintMessage(os, prefix, "Results computed with:\n", prefix,
                       "   Katrel, version 3.3.12\n");
}

namespace {

// One summary line "<prefix><label><sep><value>\n".
void summary_line(FILE* os, const char* prefix, const char* label, const char* sep,
                  const char* value)
{
  general_PrintMessage(os, prefix, label, sep, value, "\n");
}

// The threshold lines: "maximum (<m>, <a>+<b>*unitlength )". Each number is
// written before the next one is converted, since they share one buffer.
void threshold_line(FILE* os, const char* prefix, const char* label, const char* sep,
                    int m, int a, float b)
{
  general_PrintMessage(os, prefix, label, sep, "maximum (");
  general_PrintMessage(os, number2str(m), ", ");
  general_PrintMessage(os, number2str(a), "+");
  general_PrintMessage(os, number2str(b), "*unitlength )\n");
}

const char* yes_no(bool b)
{
  return b ? "yes" : "no";
}

} // namespace

void print_search_parameters(FILE* os, const char* prefix)
{
  const char* sep = (global_print_sat_mode == 2 || global_print_sat_mode == 3) ? "\t" : " ";
  const bool imperfect_search = global_search_mode != 0;

  if (global_CAIRN_run)
    general_PrintMessage(os, prefix,
      "   This Katrel search has been initiated by one of the CAIRN modules.\n");

  general_PrintMessage(os, prefix, "Parameter settings used in this search:", sep, "\n");
  summary_line(os, prefix, "Input file name:                        ", sep,
               global_input_filename.c_str());
  if (!global_output_filename.empty())
    summary_line(os, prefix, "Output file name:                       ", sep,
                 global_output_filename.c_str());

  general_PrintMessage(os, prefix, "   Sequence range to process:           ", sep,
                       number2str(global_sequence_from), " - ");
  if (global_sequence_to == 4294967295u)
    PrintMessage(os, "last sequence\n");
  else
    general_PrintMessage(os, number2str(global_sequence_to), "\n");

  const char* mode_text;
  if (global_search_mode == 0)
    mode_text = "exact repeats";
  else if (global_search_mode == 1)
    mode_text = "exact repeats which are extended to imperfect repeats";
  else
    mode_text = "imperfect repeats";
  summary_line(os, prefix, "   Satellites searched for:             ", sep, mode_text);

  if (imperfect_search) {
    summary_line(os, prefix, "   Recursion depth:                     ", sep,
                 number2str(global_maximum_recursion_depth));
    summary_line(os, prefix, "   Maximum score reduction:             ", sep,
                 global_maximum_scorereduction == 2147483647
                   ? "-" : number2str(global_maximum_scorereduction));
  }

  summary_line(os, prefix, "   Minimum unit length:                 ", sep,
               number2str(global_min_unit_length));
  summary_line(os, prefix, "   Maximum unit length:                 ", sep,
               number2str(global_max_unit_length));

  threshold_line(os, prefix, "   Minimum score:                       ", sep,
                 global_min_score, global_min_score_a, global_min_score_bx);
  threshold_line(os, prefix, "   Minimum length:                      ", sep,
                 global_min_length, global_min_length_a, global_min_length_bx);

  general_PrintMessage(os, prefix, "   Min. to max. perfection range:       ", sep,
                       number2str(global_min_perfection), " % - ");
  general_PrintMessage(os, number2str(global_max_perfection), " %\n");

  summary_line(os, prefix, "   Treat N's as:                        ", sep,
               global_treat_Ns_as_missense ? "missense" : "neutral");
  summary_line(os, prefix, "   Max. succesive N's allowed:          ", sep,
               number2str(global_Ns_allowed_in_a_row));

  if (imperfect_search) {
    summary_line(os, prefix, "   Mismatch score:                      ", sep,
                 number2str(global_mismatch_score));
    summary_line(os, prefix, "   Indel score:                         ", sep,
                 number2str(global_indel_score));
  }

  summary_line(os, prefix, "   Show shorter (not longer) of two repeat variants with equal score: ",
               sep, global_prefer_longer_repeat ? "no" : "yes");
  summary_line(os, prefix, "   Number of flanking nucletides:       ", sep,
               number2str(global_flanking));
  summary_line(os, prefix, "   Remove mostly overlapping satellites:", sep,
               yes_no(global_remove_mostly_hidden));

  const char* mask_text = "no";
  if (global_mask_lower)
    mask_text = "yes, masked with lower cases letters";
  else if (global_mask_X)
    mask_text = "yes, masked with Xs";
  summary_line(os, prefix, "   Write file with masked seq.          ", sep, mask_text);

  const char* n_mode_text;
  if (global_N_and_perfection_mode == 0)
    n_mode_text = "asMismatch";
  else if (global_N_and_perfection_mode == 1)
    n_mode_text = "asNeutral";
  else
    n_mode_text = "asMatch";
  summary_line(os, prefix, "   Computing perfections treat N's:     ", sep, n_mode_text);

  const char* unit_text;
  if (global_report_unit_mode == 0)
    unit_text = "as they are";
  else if (global_report_unit_mode == 1)
    unit_text = "alphabetical normal form";
  else
    unit_text = "alphabetical normal form using reverse complement";
  summary_line(os, prefix, "   Report units as:                     ", sep, unit_text);

  static const char* const format_texts[] = {
    "katrel format", "extended katrel format", "gff", "one-per-line format", "fasta format"
  };
  const char* format_text = (global_print_sat_mode >= 0 && global_print_sat_mode <= 4)
                              ? format_texts[global_print_sat_mode] : "";
  summary_line(os, prefix, "   Output format:                       ", sep, format_text);

  const char* seq_mode_text;
  if (global_print_sat_seq_mode == 0)
    seq_mode_text = "don't print sequence";
  else if (global_print_sat_seq_mode == 1)
    seq_mode_text = "print sequence";
  else
    seq_mode_text = "print alignment";
  summary_line(os, prefix, "   Print sequence mode:                 ", sep, seq_mode_text);

  if (global_print_sat_mode == 2 || global_print_sat_mode == 3)
    summary_line(os, prefix, "   Print seq. info as comment:          ", sep,
                 yes_no(global_sequenceInfoAsComment));

  summary_line(os, prefix, "   Convert gaps and *s to Ns :          ", sep,
               yes_no(global_gaps_to_Ns));
}

void print_output_format(FILE* os, const char* prefix)
{
  if (global_print_sat_mode == 0 || global_print_sat_mode == 1) {
    static const char* const titles[] = {
      "Repeat unit length",
      "Position at which repeat starts in current sequence",
      "Position at which repeat ends in current sequence",
      "Length of repeat in original sequence, i.e. (end-start+1)",
      "Normalized repeat length, i.e. (end-start+1-insertions+deletions)",
      "Repeat score",
      "Repeat perfection",
      "Number of mismatches",
      "Number of insertions",
      "Number of deletions",
      "Number of N's",
    };
    int ncolumns = 7;
    if (global_print_sat_mode == 1)
      ncolumns = global_treat_Ns_as_missense ? 10 : 11;

    general_PrintMessage(os, prefix, "\n");
    general_PrintMessage(os, prefix, "Columns in lines of output providing repeat information:\n");
    for (int i = 0; i < ncolumns; ++i) {
      std::fprintf(os, "%sColumn %2d: ", prefix, i + 1);
      general_PrintMessage(os, titles[i], "\n");
    }
    std::fprintf(os, "%sColumn %2d: ", prefix, ncolumns + 1);
    PrintMessage(os, "Repeat unit\n");
    general_PrintMessage(os, prefix, "\n");
  }
  else if (global_print_sat_mode == 3) {
    PrintMessage(os, "seq-name\tunit-length\tperfection\tstart\tend\tlength\trepeat-number\tscore"
                     "\tmismatches\tinsertions\tdeletions\tNs\tunit\trepeat-seq");
    if (global_flanking != 0)
      PrintMessage(os, "\tleft-flanking-seq\tright-flanking-seq");
    PrintMessage(os, "\n");
  }
}

void print_progress_table_head(FILE* os)
{
  PrintMessage(os, "\n\nSearch progress:\n\nTime     - SeqNr - PatLen - Seq-Name\n"
                   "------------------------------------------------------------------------\n");
}

void report_status(unsigned int sequence_number, const char* name, unsigned int unit_length)
{
  double elapsed = std::difftime(std::time(nullptr), time_analysis_started);
  long seconds = elapsed > 0 ? static_cast<long>(elapsed) : 0;

  int hours   = static_cast<int>(seconds / 3600);
  int minutes = static_cast<int>((seconds / 60) % 60);
  int secs    = static_cast<int>(seconds % 60);

  std::fprintf(stderr, "%.2d.%.2d.%.2d - # %3u - %4ubp - %.70s\n",
               hours, minutes, secs, sequence_number, unit_length, name);
  std::fflush(stderr);
}

bool check_report_status()
{
  time_t now = std::time(nullptr);
  if (now > time_next_status_report) {
    time_next_status_report = now + 59;
    return true;
  }
  return false;
}

void update_report_time()
{
  time_next_status_report = std::time(nullptr) + 59;
}
