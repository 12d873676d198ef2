// Direct imperfect search: every position is the seed of a one-copy repeat
// for every unit length; the imperfect extension grows it both ways, and
// repeats that pass the thresholds are kept. The anchor marks remember which
// characters lie inside kept repeats so that a repeat is not found again
// from each of its unit copies.

#include "search/CSearchController.h"

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"

namespace {

inline bool passes_thresholds(const Csat& sat, unsigned int k)
{
  return sat.score >= CSearchController::minScores[k] &&
         sat.normalized_length() >= static_cast<long>(CSearchController::minLengths[k]);
}

// Covers the kept repeat in the marks; its alignment events stay available
// as borders for later seeds.
inline void mark_kept(CAnchorSeq& anchors, const Csat& sat)
{
  for (const char* q = sat.start; q != sat.end; ++q)
    anchors.mark(q) = ' ';
  for (const missense_entry& m : sat.missense)
    anchors.mark(m.first) = 'a';
}

} // namespace

void CSearchController::complete_imperfect_search(FILE*)
{
  CAnchorSeq anchors(sequence.residues_begin(), sequence.length());
  CsatList&  result = imperfect_sats.list;

  unsigned int k = global_min_unit_length;
  // A minimum unit length of 0 would give empty seeds; it is searched from 1.
  if (k <= 1) {
    unit_len_1_complete_imperfect_search(anchors, result);
    anchors.reset();
    k = 2;
  }
  for (; k <= global_max_unit_length; ++k)
    one_unit_len_complete_imperfect_search(k, anchors, result);

  imperfect_sats.sort();
}

void CSearchController::unit_len_1_complete_imperfect_search(CAnchorSeq& anchors, CsatList& result)
{
  const char* const b   = sequence.residues_begin();
  const char* const end = b + sequence.length();
  const char* const before = b - 1;
  Csat* in_hand = nullptr;

  const char* p = b;
  while (p != end && *p == 'N')
    ++p;
  while (end - p > 1) {
    if ((p - b) % 256 == 0 && check_report_status())
      report_status(sequence_number, sequence.name.c_str(), 1);

    if (anchors.available(p)) {
      if (in_hand)
        in_hand->init_one_copy(p, p + 1);
      else
        in_hand = sat_alloc.get_new(p, p + 1);
      Csat& sat = *in_hand;
      extend_imperfect_forward(sat, end);
      extend_imperfect_backward(sat, before);
      sat.trim_Ns();
      if (passes_thresholds(sat, 1)) {
        sat.sort_missense();
        mark_kept(anchors, sat);
        result.push_back(in_hand);
        in_hand = nullptr;
      }
    }

    ++p;
    while (p != end && *p == 'N')
      ++p;
  }
  if (in_hand)
    sat_alloc.give_back(in_hand);
}

void CSearchController::one_unit_len_complete_imperfect_search(unsigned int unit_length, CAnchorSeq& anchors,
                                                               CsatList& result)
{
  const char* const  b      = sequence.residues_begin();
  const unsigned int n      = sequence.length();
  const char* const  end    = b + n;
  const char* const  before = b - 1;
  const char* const  marks  = anchors.mark0;  // mark of b + i is marks[i]
  const long         L      = unit_length;
  Csat* in_hand = nullptr;

  if (unit_length == 0 || static_cast<unsigned long>(n) <= unit_length)
    return;

  const char* z = b;  // first N at or after the current seed start
  while (z != end && *z != 'N')
    ++z;

  const char* const last = end - L;  // seeds start before this
  for (const char* s = b; s != last; ++s) {
    const long i = s - b;
    if (i % 256 == 0 && check_report_status())
      report_status(sequence_number, sequence.name.c_str(), unit_length);

    if (z < s) {
      z = s;
      while (z != end && *z != 'N')
        ++z;
    }

    // Border test: the seed must touch characters not inside a kept repeat.
    const bool a_s  = marks[i] == 'a';
    const bool a_e1 = marks[i + L - 1] == 'a';
    if (!((a_s && (a_e1 || marks[i + L] == 'a')) || (marks[i - 1] == 'a' && a_e1)))
      continue;

    const char* e = s + L;
    if (z < e)  // z >= s here: the seed contains an N
      continue;

    // A unit of one repeated character belongs to unit length 1.
    const char* q = s + 1;
    while (q != e && *q == *s)
      ++q;
    if (q == e)
      continue;

    if (in_hand)
      in_hand->init_one_copy(s, e);
    else
      in_hand = sat_alloc.get_new(s, e);
    Csat& sat = *in_hand;
    extend_imperfect_forward(sat, end);
    extend_imperfect_backward(sat, before);
    sat.trim_Ns();
    if (!passes_thresholds(sat, unit_length))
      continue;
    sat.sort_missense();
    mark_kept(anchors, sat);
    result.push_back(in_hand);
    in_hand = nullptr;
  }
  if (in_hand)
    sat_alloc.give_back(in_hand);
}
