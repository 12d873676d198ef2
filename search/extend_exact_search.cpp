// Exact-then-extend search: perfect repeats found with the low internal
// thresholds are the seeds; each is grown in place into an imperfect repeat
// and kept if it then passes the user's thresholds.

#include "search/CSearchController.h"

#include <cstdio>

bool CSearchController::grow_exact_seed(Csat& sat)
{
  sat.from_exact_seed = true;
  extend_imperfect_forward(sat, sequence.residues_end());
  extend_imperfect_backward(sat, sequence.residues_begin() - 1);
  sat.trim_Ns();
  const unsigned int k = sat.unit_length();
  if (sat.score < minScores_user[k] || sat.normalized_length() < static_cast<long>(minLengths_user[k]))
    return false;
  settle_kept(sat);
  return true;
}

void CSearchController::search_exact_and_extend_to_imperfect_repeats()
{
  std::fputs("  Searching for exact repeats.\n", stderr);
  std::fflush(stderr);
  decision_memo.begin_record(sequence.residues_begin(), sequence.length());

  // Each seed is grown as soon as the exact search finds it, so only the
  // seeds that are kept take memory.
  minScores  = minScores_intern;
  minLengths = minLengths_intern;
  exact_search_2(true);
  minScores  = minScores_user;
  minLengths = minLengths_user;

  std::fputs("  Extend exact to imperfect repeats.\n", stderr);
  std::fflush(stderr);
}
