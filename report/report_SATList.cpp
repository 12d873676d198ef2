// The per-sequence part of the report: header, one entry per repeat, footer.

#include <cstdio>

#include "config/global-types-and-parameters.h"
#include "search/CSearchController.h"

void CSearchController::report_seq_name(FILE* os)
{
  switch (global_print_sat_mode) {
    case 0:
    case 1:
      if (global_CAIRN_run)
        std::fprintf(os, ">%s\nsequence length: %lu\n", sequence.fullname.c_str(),
                     sequence.sequence_length());
      else
        std::fprintf(os, ">%s\nsequence length: %lu\nnumber of ACGTU characters: %u\n",
                     sequence.fullname.c_str(), sequence.sequence_length(), sequence.count_ACGTU);
      break;
    case 2:
    case 3:
      if (global_sequenceInfoAsComment) {
        const char* full = sequence.fullname.c_str();
        const char* name = sequence.name.c_str();
        std::fprintf(os, "# Full sequence name:\n#>%s\n##sequence-region %s 1 %lu\n", full, name,
                     sequence.sequence_length());
      }
      break;
    default:
      break;
  }
}

void CSearchController::report_SATList(FILE* os, CsatList sats)
{
  report_seq_name(os);

  // The position correction relies on the list being sorted by start.
  unsigned int gap_index = 0;
  // Records kept without their events get them back for the moment they
  // are written, one at a time.
  for (Csat* sat : sats) {
    const bool dropped = sat->alignment_dropped;
    restore_alignment(*sat);
    sat->report_sat(os, sequence, gap_index);
    if (dropped)
      sat->drop_alignment();
  }

  if (!global_CAIRN_run) {
    if (global_print_sat_mode == 0 || global_print_sat_mode == 1)
      std::fprintf(os, "# Analysis of sequence \"%s\" completed.\n", sequence.fullname.c_str());
    else if ((global_print_sat_mode == 2 || global_print_sat_mode == 3) && global_sequenceInfoAsComment)
      std::fprintf(os, "# Analysis of sequence \"%s\" completed.\n", sequence.name.c_str());
  }

  std::fflush(os);
}
