// Direct imperfect search: every position is the seed of a one-copy repeat
// for every unit length; the imperfect extension grows it both ways, and
// repeats that pass the thresholds are kept. The anchor marks remember which
// characters lie inside kept repeats so that a repeat is not found again
// from each of its unit copies.

#include "search/CSearchController.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/global-types-and-parameters.h"
#include "config/fatal-error.h"
#include "config/katrel-messages.h"
#include "search/seed_bound.h"

long CSearchController::thread_block = 1L << 16;

void CSearchController::grow_and_keep(Csat*& in_hand, const char* s, unsigned int k, CAnchorSeq& anchors,
                                      CsatList& result)
{
  if (in_hand)
    in_hand->init_one_copy(s, s + k);
  else
    in_hand = sat_alloc.get_new(s, s + k);
  Csat& sat = *in_hand;
  extend_imperfect_forward(sat, sequence.residues_end());
  extend_imperfect_backward(sat, sequence.residues_begin() - 1);
  sat.trim_Ns();
  if (!passes_thresholds(sat, k))
    return;
  anchors.cover(sat);
  settle_kept(sat);
  result.push_back(in_hand);
  in_hand = nullptr;
}

void CSearchController::complete_imperfect_search(FILE*)
{
  CAnchorSeq anchors(sequence.residues_begin(), sequence.length());
  CsatList&  result = imperfect_sats.list;
  decision_memo.begin_record(sequence.residues_begin(), sequence.length());

  unsigned int k = global_min_unit_length;
  // A minimum unit length of 0 would give empty seeds; it is searched from 1.
  const bool unit_length_1 = k <= 1;
  if (unit_length_1)
    k = 2;
  if (global_threads > 1 && sequence.length() >= 2 * static_cast<unsigned long>(thread_block)) {
    threaded_passes(k, unit_length_1, anchors, result);
  } else {
    if (unit_length_1) {
      unit_len_1_complete_imperfect_search(anchors, result);
      anchors.reset();
    }
    for (; k <= global_max_unit_length; ++k)
      one_unit_len_complete_imperfect_search(k, anchors, result);
  }

  imperfect_sats.sort();
}

void CSearchController::unit_len_1_complete_imperfect_search(CAnchorSeq& anchors, CsatList& result)
{
  const char* const b   = sequence.residues_begin();
  const char* const end = b + sequence.length();
  const char* const before = b - 1;
  Csat* in_hand = nullptr;

  // A seed in a run of equal letters grows over the run without an event
  // and reaches the score f + g of the letters on its two sides. Every
  // event costs at least c and is taken only when the score after it stays
  // above -1 - P; if f + g - c is not, the seed stops there, and below the
  // minimum score it is rejected: growing it is left out. An accepted N
  // where the run stops could be passed over, so then it is grown.
  const long long c         = min_event_cost();
  const long      floor1    = -1 - global_prefer_longer_repeat;
  const bool      accept_Ns = Ns_passed_over();
  const bool      skip_runs = search_shortcuts && c >= 1;
  const long      T1        = minScores[1];
  const char*     run_begin = b;  // the run of equal letters holding p
  const char*     run_end   = b;

  const char* p = b;
  while (p != end && *p == 'N')
    ++p;
  while (end - p > 1) {
    if ((p - b) % 256 == 0 && check_report_status())
      report_status(sequence_number, sequence.name.c_str(), 1);

    bool grow = anchors.available(p);
    if (grow && skip_runs) {
      if (p >= run_end) {
        run_begin = p;
        run_end   = p + 1;
        while (run_end != end && *run_end == *p)
          ++run_end;
      }
      const long fg = run_end - run_begin - 1;
      grow = fg >= T1 || fg - c > floor1 || (accept_Ns && ((run_end != end && *run_end == 'N') ||
                                                           (run_begin != b && run_begin[-1] == 'N')));
    }
    if (grow) {
      if (in_hand)
        in_hand->init_one_copy(p, p + 1);
      else
        in_hand = sat_alloc.get_new(p, p + 1);
      Csat& sat = *in_hand;
      extend_imperfect_forward(sat, end);
      extend_imperfect_backward(sat, before);
      sat.trim_Ns();
      if (passes_thresholds(sat, 1)) {
        anchors.cover(sat);
        settle_kept(sat);
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

namespace {

// One pass of the direct search for one unit length; K > 0 compiles it for
// that unit length, K = 0 for any. W: the seed bound's phase-set word.
template <unsigned K, typename W = std::uint64_t>
void direct_pass(CSearchController& ctl, unsigned int unit_length, CAnchorSeq& anchors, CsatList& result)
{
  CSequence_Mol&     sequence        = ctl.sequence;
  const unsigned int sequence_number = ctl.sequence_number;
  const char* const  b      = sequence.residues_begin();
  const unsigned int n      = sequence.length();
  const char* const  end    = b + n;
  const char* const  marks  = anchors.mark0;  // mark of b + i is marks[i]
  const long         L      = K ? K : unit_length;
  Csat* in_hand = nullptr;

  if (unit_length == 0 || static_cast<unsigned long>(n) <= unit_length)
    return;

  SeedBound<K, W> bound(b, n, unit_length);
  SeedTests<K, W> tests(bound, b, n, unit_length, CSearchController::minScores[unit_length],
                     CSearchController::search_shortcuts, 0,
                     static_cast<long>(n - L));
  long         status_block = -1;  // the last block of 256 seeds that asked for a status report

  const char* const last = end - L;  // seeds start before this
  for (const char* s = b; s < last; ++s) {
    const long i = s - b;
    tests.step(s);
    if ((i >> 8) != status_block) {
      status_block = i >> 8;
      if (check_report_status())
        report_status(sequence_number, sequence.name.c_str(), unit_length);
    }

    // Border test: the seed must touch characters not inside a kept repeat.
    const bool a_s  = marks[i] == 'a';
    const bool a_e1 = marks[i + L - 1] == 'a';
    if (!((a_s && (a_e1 || marks[i + L] == 'a')) || (marks[i - 1] == 'a' && a_e1)))
      continue;

    // The seed's own letters: an N, one repeated letter, the seed bound.
    const char* skip_to;
    if (tests.rejects(s, skip_to)) {
      s = skip_to;
      continue;
    }

    ctl.grow_and_keep(in_hand, s, unit_length, anchors, result);
  }
  if (in_hand)
    sat_alloc.give_back(in_hand);
}

// The seed bound's verdict on one seed, with x, y and the clear limits
// worked out as the pass keeps them.
template <unsigned K, typename W = std::uint64_t>
bool bound_rejects(const char* b, unsigned long n, unsigned k, unsigned long s, long T)
{
  SeedBound<K, W> bound(b, n, k);
  if (!bound.usable() || s + k >= n)
    return false;
  const char* const end = b + n;
  const char* const sp  = b + s;
  const char*       x   = sp + k;
  while (x != end && *x == x[-static_cast<long>(k)])
    ++x;
  const char* y = sp;
  while (y != b && y[-1] == y[static_cast<long>(k) - 1])
    --y;
  long clear_hi = static_cast<long>(n) - SeedBound<K, W>::REACH;
  long clear_lo = SeedBound<K, W>::REACH;
  if (Ns_passed_over()) {
    const char* z = sp;
    while (z != end && *z != 'N')
      ++z;
    clear_hi = (z - b) - SeedBound<K, W>::REACH;
    const char* prev_N = sp - 1;
    while (prev_N >= b && *prev_N != 'N')
      --prev_N;
    if (prev_N >= b)
      clear_lo = (prev_N - b) + SeedBound<K, W>::REACH;
  }
  return x - b < clear_hi && y - b > clear_lo ? bound.template hopeless<true>(sp, T, x, y)
                                              : bound.template hopeless<false>(sp, T, x, y);
}

} // namespace

bool CSearchController::seed_bound_rejects(unsigned int k, unsigned long s, long T)
{
  const char* const   b = sequence.residues_begin();
  const unsigned long n = sequence.length();
  switch (k) {
  case 2: return bound_rejects<2>(b, n, k, s, T);
  case 5: return bound_rejects<5>(b, n, k, s, T);
  case 8: return bound_rejects<8>(b, n, k, s, T);
  case 10: return bound_rejects<10>(b, n, k, s, T);
  default:
    if (k > 64)
      return bound_rejects<0, phase_word256>(b, n, k, s, T);
    if (k > 32)
      return bound_rejects<0, phase_word128>(b, n, k, s, T);
    return k >= 2 && bound_rejects<0>(b, n, k, s, T);
  }
}

void CSearchController::one_unit_len_complete_imperfect_search(unsigned int unit_length, CAnchorSeq& anchors,
                                                               CsatList& result)
{
  switch (unit_length) {
  case 2: direct_pass<2>(*this, unit_length, anchors, result); break;
  case 3: direct_pass<3>(*this, unit_length, anchors, result); break;
  case 4: direct_pass<4>(*this, unit_length, anchors, result); break;
  case 5: direct_pass<5>(*this, unit_length, anchors, result); break;
  case 6: direct_pass<6>(*this, unit_length, anchors, result); break;
  case 7: direct_pass<7>(*this, unit_length, anchors, result); break;
  case 8: direct_pass<8>(*this, unit_length, anchors, result); break;
  case 9: direct_pass<9>(*this, unit_length, anchors, result); break;
  case 10: direct_pass<10>(*this, unit_length, anchors, result); break;
  default:
    if (unit_length > 80)
      direct_pass<0>(*this, unit_length, anchors, result);  // beyond the bound's longest unit
    else if (unit_length > 64)
      direct_pass<0, phase_word256>(*this, unit_length, anchors, result);
    else if (unit_length > 32)
      direct_pass<0, phase_word128>(*this, unit_length, anchors, result);
    else
      direct_pass<0>(*this, unit_length, anchors, result);
    break;
  }
}
