// Kept repeats with long alignments are held without their missense list.
//
// Inside a long satellite array the searches keep many repeats that each
// span the whole array (seeds that touch an alignment error of a repeat
// already kept are grown again, and in the exact-then-extend mode every
// perfect stretch of the array is a seed), and each would hold an
// alignment event for every error it spans: memory that grows with the
// square of the array's length. Once a kept repeat's events have done
// their work in the search (the anchor marks of the direct search are set
// from them), only its span, unit, score and counts are read until the
// report: the filters use nothing else. So a kept record with many events
// frees its list and keeps its seed, and the report grows the seed again,
// one record at a time, just before the record is written.
//
// This is exact: the extension is a function of the seed, the sequence and
// the search parameters alone (it reads no marks and no other record), so
// growing the same seed again gives the same span, score, counts and
// events; the events are sorted as when the record was kept. With the
// search shortcuts switched off every record keeps its list.

#include "search/CSearchController.h"

// Records with fewer events keep them: regrowing them would cost more than
// the little memory they hold.
unsigned int CSearchController::long_alignment = 256;

void CSearchController::settle_kept(Csat& sat)
{
  if (search_shortcuts && sat.missense.size() >= long_alignment)
    sat.drop_alignment();
  else
    sat.sort_missense();
}

void CSearchController::restore_alignment(Csat& sat)
{
  if (!sat.alignment_dropped)
    return;
  if (sat.from_exact_seed)
    regrow_exact_seed(sat);
  else
    sat.init_one_copy(sat.unit_begin, sat.unit_end);
  extend_imperfect_forward(sat, sequence.residues_end());
  extend_imperfect_backward(sat, sequence.residues_begin() - 1);
  sat.trim_Ns();
  sat.sort_missense();
  sat.alignment_dropped = false;
}
