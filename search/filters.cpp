// The two filters that thin out a sorted result list before the report:
// repeats mostly hidden by a better-scoring one, and repeats outside the
// perfection range.
#include <iterator>

#include "config/global-types-and-parameters.h"
#include "search/CSearchController.h"

// A is compared with each following B that starts before A ends (the list is
// sorted by start, so no later record can overlap A). Of two records of
// which one has less than one unit outside their overlap, the lower score
// goes; on equal scores the later one in list order goes.
void CSearchController::remove_hidden(CsatContainer& sats)
{
  if (!global_remove_mostly_hidden || sats.list.empty())
    return;

  CsatList&          list = sats.list;
  CsatList::iterator a    = list.begin();
  // Discarding every B after A can leave A last, so test for the end too.
  while (a != list.end() && std::next(a) != list.end()) {
    CsatList::iterator b         = std::next(a);
    bool               a_removed = false;
    while (b != list.end()) {
      const Csat* A = *a;
      const Csat* B = *b;
      if (!(B->start < A->end))
        break;
      const char*         overlap_end = A->end < B->end ? A->end : B->end;
      const unsigned long overlap     = static_cast<unsigned long>(overlap_end - B->start);
      if (overlap == 0)
        break;
      const bool a_hidden = A->length() < A->unit_length() + overlap;
      const bool b_hidden = B->length() < B->unit_length() + overlap;
      if (!a_hidden && !b_hidden) {
        ++b;
        continue;
      }
      if (A->score < B->score) {
        a         = sats.discard(a);
        a_removed = true;
        break;
      }
      b = sats.discard(b);
    }
    if (!a_removed)
      ++a;
  }
}

void CSearchController::filter_perfection(CsatContainer& sats)
{
  if (global_min_perfection <= 0 && global_max_perfection >= 100)
    return;

  const long double min_perf = global_min_perfection;
  const long double max_perf = global_max_perfection;
  CsatList::iterator it = sats.list.begin();
  while (it != sats.list.end()) {
    long numerator, denominator;
    (*it)->perfection_terms(numerator, denominator);
    const long double perfection = 100.0L * numerator / denominator;
    if (min_perf <= perfection && perfection <= max_perf)
      ++it;
    else
      it = sats.discard(it);
  }
}
