// Exact-then-extend search: perfect repeats found with the low internal
// thresholds are the seeds; each is grown in place into an imperfect repeat
// and kept if it then passes the user's thresholds.

#include "search/CSearchController.h"

#include <atomic>

#include "search/worker_pool.h"

#include <cstdio>

bool CSearchController::grow_exact_seed(Csat& sat, DecisionMemo* memo)
{
  sat.note_seed();
  extend_imperfect_forward(sat, sequence.residues_end(), memo);
  extend_imperfect_backward(sat, sequence.residues_begin() - 1, memo);
  sat.trim_Ns();
  const unsigned int k = sat.unit_length();
  if (sat.score < minScores_user[k] || sat.normalized_length() < static_cast<long>(minLengths_user[k]))
    return false;
  settle_kept(sat);
  return true;
}

void CSearchController::grow_exact_seeds(WorkerPool& pool, DecisionMemo* const* memos, Csat* const* seeds,
                                         std::size_t count, unsigned char* passed)
{
  // Growing a seed reads the sequence and the parameters only, and each
  // thread has its own remembered choices, so the seeds may be grown in any
  // order on any thread: the results are those of growing them one by one.
  std::atomic<std::size_t> next{0};
  const std::size_t        CHUNK = 16;
  pool.run([&](unsigned w) {
    for (;;) {
      const std::size_t first = next.fetch_add(CHUNK);
      if (first >= count)
        return;
      const std::size_t last = first + CHUNK < count ? first + CHUNK : count;
      for (std::size_t i = first; i < last; ++i)
        passed[i] = grow_exact_seed(*seeds[i], memos[w]);
    }
  });
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
