// Exact-then-extend search: perfect repeats found with the low internal
// thresholds are the seeds; each is grown in place into an imperfect repeat
// and kept if it then passes the user's thresholds.

#include "search/CSearchController.h"

#include <cstdio>
#include <iterator>


void CSearchController::search_exact_and_extend_to_imperfect_repeats()
{
  std::fputs("  Searching for exact repeats.\n", stderr);
  std::fflush(stderr);

  minScores  = minScores_intern;
  minLengths = minLengths_intern;
  exact_search_2();
  minScores  = minScores_user;
  minLengths = minLengths_user;

  std::fputs("  Extend exact to imperfect repeats.\n", stderr);
  std::fflush(stderr);

  const char* const seq_end    = sequence.residues_end();
  const char* const seq_before = sequence.residues_begin() - 1;

  CsatList& seeds = exact_sats.list;
  CsatList::iterator it = seeds.begin();
  while (it != seeds.end()) {
    CsatList::iterator next = std::next(it);
    Csat& sat = **it;
    extend_imperfect_forward(sat, seq_end);
    extend_imperfect_backward(sat, seq_before);
    sat.trim_Ns();
    const unsigned int k = sat.unit_length();
    if (sat.score >= minScores[k] && sat.normalized_length() >= static_cast<long>(minLengths[k])) {
      sat.sort_missense();
      imperfect_sats.list.splice(imperfect_sats.list.end(), seeds, it);
    } else {
      exact_sats.discard(it);
    }
    it = next;
  }

  imperfect_sats.sort();
}
