// Exact-then-extend search: perfect repeats found with the low internal
// thresholds are the seeds; each is grown in place into an imperfect repeat
// and kept if it then passes the user's thresholds.

#include "search/CSearchController.h"

#include <cstdio>
#include <iterator>

namespace {

// Steps the ends of a grown record in over accepted Ns, so that it neither
// begins nor ends with N. Accepted Ns score 0: the score is unchanged.
inline void trim_Ns(Csat& sat)
{
  const char* ub = sat.unit_begin;
  const char* ue = sat.unit_end;
  while (sat.end != sat.start && sat.end[-1] == 'N') {
    --sat.end;
    sat.forward_unit_pos = sat.forward_unit_pos == ub ? ue - 1 : sat.forward_unit_pos - 1;
    --sat.Ns;
  }
  while (sat.start != sat.end && *sat.start == 'N') {
    ++sat.start;
    sat.backward_unit_pos = sat.backward_unit_pos == ue - 1 ? ub : sat.backward_unit_pos + 1;
    --sat.Ns;
  }
}

} // namespace

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
    trim_Ns(sat);
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
