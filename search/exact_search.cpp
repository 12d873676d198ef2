// The exact search: perfect tandem repeats of every unit length in range.
//
// Unit length 1 has a pass of its own that jumps behind every accepted
// repeat. Longer units are searched one pass per unit length, in ascending
// order, with every position as a candidate; a coverage mask shared by these
// passes keeps a region covered by a repeat of a shorter unit from being
// searched again with a longer one. Runs of N no longer than
// global_Ns_allowed_in_a_row are passed over without score.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "config/fatal-error.h"
#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"
#include "search/CSearchController.h"

namespace {

const char MASK_FREE    = 'a';
const char MASK_COVERED = ' ';

// The coverage mask, one byte per position from -1 to n + 1.
class CoverageMask
{
  char* bytes_;

public:
  char* at0;  // entry of position 0

  explicit CoverageMask(unsigned int n)
  {
    std::size_t size = static_cast<std::size_t>(n) + 3;
    bytes_           = static_cast<char*>(std::malloc(size));
    if (!bytes_)
      katrel_failed_realloc();
    std::memset(bytes_, MASK_FREE, size - 1);
    bytes_[size - 1] = '\0';
    at0              = bytes_ + 1;
  }
  ~CoverageMask() { std::free(bytes_); }
  CoverageMask(const CoverageMask&)            = delete;
  CoverageMask& operator=(const CoverageMask&) = delete;
};

// A perfect repeat grown from one unit copy, before it is put in a record.
struct Growth
{
  const char* start;
  const char* end;
  const char* fwd;
  const char* bwd;
  int         score;
  unsigned    Ns;
};

// Grows the unit copy p .. p + k into the longest perfect repeat around it,
// then trims Ns from both ends.
class PerfectGrower
{
  const char* const seq_begin_;
  const char* const seq_end_;
  const long        Ns_allowed_;  // 0 when N runs are not passed over

public:
  PerfectGrower(const char* b, const char* e)
    : seq_begin_(b), seq_end_(e),
      Ns_allowed_((global_Ns_allowed_in_a_row > 0 && !global_treat_Ns_as_missense) ? global_Ns_allowed_in_a_row : 0)
  {
  }

  void grow(const char* p, long k, Growth& g) const
  {
    const char* const ub = p;
    const char* const ue = p + k;

    // To the right.
    const char* end   = ue;
    const char* fwd   = ub;
    int         score = 0;
    unsigned    Ns    = 0;
    while (end < seq_end_) {
      if (*end == *fwd) {
        ++score;
        ++end;
        if (++fwd == ue)
          fwd = ub;
      } else if (*end == 'N' && Ns_allowed_ != 0) {
        long limit = seq_end_ - end;
        if (limit > Ns_allowed_ + 1)
          limit = Ns_allowed_ + 1;
        long run = 1;
        while (run < limit && end[run] == 'N')
          ++run;
        if (run > Ns_allowed_)
          break;
        end += run;
        fwd = ub + ((fwd - ub) + run) % k;
        Ns += static_cast<unsigned>(run);
      } else
        break;
    }

    // To the left.
    const char* start = ub;
    const char* bwd   = ue - 1;
    while (start > seq_begin_) {
      const char c = start[-1];
      if (c == *bwd) {
        ++score;
        --start;
        bwd = (bwd == ub) ? ue - 1 : bwd - 1;
      } else if (c == 'N' && Ns_allowed_ != 0) {
        long limit = start - seq_begin_;
        if (limit > Ns_allowed_ + 1)
          limit = Ns_allowed_ + 1;
        long run = 1;
        while (run < limit && start[-1 - run] == 'N')
          ++run;
        if (run > Ns_allowed_)
          break;
        start -= run;
        bwd = ub + ((bwd - ub) - run % k + k) % k;
        Ns += static_cast<unsigned>(run);
      } else
        break;
    }

    // A repeat neither begins nor ends with N.
    while (end[-1] == 'N') {
      --end;
      fwd = (fwd == ub) ? ue - 1 : fwd - 1;
      --Ns;
    }
    while (*start == 'N') {
      ++start;
      if (++bwd == ue)
        bwd = ub;
      --Ns;
    }

    g.start = start;
    g.end   = end;
    g.fwd   = fwd;
    g.bwd   = bwd;
    g.score = score;
    g.Ns    = Ns;
  }
};

// A perfect repeat has no insertions or deletions: its normalized length is
// its length.
bool passes(const Growth& g, const int* min_scores, const int* min_lengths, unsigned long k)
{
  return g.score >= min_scores[k] && static_cast<long>(g.end - g.start) >= static_cast<long>(min_lengths[k]);
}

// The accepted repeat as a record from the pool. A rejected candidate never
// needs a record, so the pool hands out the same records in the same order
// as when each candidate is grown in a record kept in hand.
Csat* new_record(const char* p, long k, const Growth& g)
{
  Csat* sat              = sat_alloc.get_new(p, p + k);
  sat->start             = g.start;
  sat->end               = g.end;
  sat->forward_unit_pos  = g.fwd;
  sat->backward_unit_pos = g.bwd;
  sat->score             = g.score;
  sat->Ns                = g.Ns;
  return sat;
}

#if defined(__SSE2__)
// Block rejection for unit length k and score threshold T (1 .. 32): true
// when no candidate whose copy ends at x0 in [X, X + 64) can score T, so
// that all 64 of them may be rejected without a look. Let A(x) say
// seq[x] == seq[x - k]. A candidate's grown score, when no N is involved,
// is the length of the run of true A through its copy end x0 (see the scan
// below), so it can reach T only if a run of at least T true A contains
// x0 - 1 or x0, i.e. some window of T true A starts in [X - T, X + 63].
// The bits cover positions [X - 32, X + 96). A short run through x0 stops
// within [X - 33, X + 95], where the grower looks at seq[y] and
// seq[y - k]; with no N in [X - 33 - k, X + 96) the run length is exact.
// Needs X >= 33 + k and X + 96 <= n; next_N is the first N at or after
// X - 33 - k.
inline bool block_rejected(const char* seq, unsigned long X, unsigned long k, unsigned T, unsigned long next_N)
{
  if (next_N < X + 96)
    return false;
  const char* p  = seq + X - 32;
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;
  for (int b = 0; b < 8; ++b) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * b));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * b - k));
    const std::uint64_t m = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
    if (b < 4)
      lo |= m << (16 * b);
    else
      hi |= m << (16 * (b - 4));
  }
  using u128 = unsigned __int128;
  const u128 v = (static_cast<u128>(hi) << 64) | lo;
  // Bit w of r: the T positions from w on all have A true.
  u128     r   = v;
  unsigned len = 1;
  while (2 * len <= T) {
    r &= r >> len;
    len *= 2;
  }
  if (len < T)
    r &= r >> (T - len);
  const u128 windows = ((static_cast<u128>(1) << 96) - 1) ^ ((static_cast<u128>(1) << (32 - T)) - 1);
  return (r & windows) == 0;
}
#endif

}  // namespace

void CSearchController::regrow_exact_seed(Csat& sat)
{
  const char* const p = sat.unit_begin;
  const long        k = sat.unit_length();
  Growth            g;
  PerfectGrower(sequence.residues_begin(), sequence.residues_end()).grow(p, k, g);
  sat.init_one_copy(p, p + k);
  sat.start             = g.start;
  sat.end               = g.end;
  sat.forward_unit_pos  = g.fwd;
  sat.backward_unit_pos = g.bwd;
  sat.score             = g.score;
  sat.Ns                = g.Ns;
  sat.from_exact_seed   = true;
}

void CSearchController::exact_search_2(bool grow_seeds)
{
  const unsigned int n         = sequence.residues.size();
  const char* const  seq       = sequence.residues.data();
  const char* const  seq_end   = seq + n;
  const unsigned int min_k     = global_min_unit_length;
  const unsigned int max_k     = global_max_unit_length;
  const double       min_perf  = global_min_perfection;
  const double       max_perf  = global_max_perfection;

  // Search mode 1: the grown seeds that are kept, each with the span the
  // seed had when it was found.
  struct Grown
  {
    Csat*       sat;
    const char* seed_start;
    const char* seed_end;
  };
  std::vector<Grown> grown;
  auto found = [&](Csat* sat) {
    if (!grow_seeds) {
      exact_sats.list.push_back(sat);
      return;
    }
    const Grown gr{sat, sat->start, sat->end};
    if (grow_exact_seed(*sat))
      grown.push_back(gr);
    else
      sat_alloc.give_back(sat);
  };

  CoverageMask        mask_buffer(n);
  char* const         mask = mask_buffer.at0;
  const PerfectGrower grower(seq, seq_end);
  Growth              g;

  if (n > 0) {
    // Unit length 1.
    if (min_k == 1 && max_k >= 1) {
      unsigned long p = 0;
      while (p < n && seq[p] == 'N')
        ++p;
      while (p + 1 < n) {
        if (p % 256 == 0 && check_report_status())
          report_status(sequence_number, sequence.name.c_str(), 1);
        grower.grow(seq + p, 1, g);
        if (passes(g, minScores, minLengths, 1)) {
          found(new_record(seq + p, 1, g));
          p = static_cast<unsigned long>(g.end - seq);
        } else
          ++p;
        while (p < n && seq[p] == 'N')
          ++p;
      }
    }

    // Unit lengths 2 and more.
    for (unsigned long k = (min_k > 2 ? min_k : 2); k <= max_k && k < n; ++k) {
      // First N at or after the candidate position.
      const char*   m       = static_cast<const char*>(std::memchr(seq, 'N', n));
      unsigned long first_N = m ? static_cast<unsigned long>(m - seq) : n;

      // Cheap rejection, tested first. Let A(x) say seq[x] == seq[x - k].
      // Growing the copy i .. i + k compares, to the right, seq[x] with the
      // unit character it lines up with, which is seq[x - k] as long as
      // every character passed so far matched; to the left likewise
      // seq[y - k] with seq[y]. So without Ns the grown score is exactly the
      // number of true A(x) in the run that goes right from x0 = i + k
      // (forward part) plus the run that ends at x0 - 1 (backward part,
      // y - k >= 0). Only an N where such a run stops can make the grower go
      // further (it may pass over N runs); there the candidate goes through
      // the full tests. A candidate whose run score is below the threshold
      // is rejected unseen: a rejected candidate leaves no record and marks
      // nothing, so the order of the rejection tests does not matter.
      //   back_run, back_stop_N: the backward run ending at x0 - 1 and
      //                          whether it stopped at an N;
      //   fwd_stop, fwd_stop_N:  first x >= x0 with A(x) false (or n), and
      //                          whether seq[x] is an N there.
      const long    min_score   = minScores[k];
      unsigned long back_run    = 0;
      bool          back_stop_N = false;
      unsigned long fwd_stop    = 0;
      bool          fwd_stop_N  = false;

      // Whole blocks of 64 candidates are rejected at once where no run of
      // min(T, 32) true A is near (a run of T has one of 32); the state of
      // the runs is then rebuilt at the next candidate looked at.
      const bool     quick   = search_shortcuts;
      const unsigned block_T = !quick ? 0u : min_score > 32 ? 32u : static_cast<unsigned>(min_score > 0 ? min_score : 0);
      unsigned long  next_N  = 0;  // first N at or after the block's low end
      bool           resync  = false;

      for (unsigned long i = 0; i + k < n; ++i) {
        const unsigned long x0 = i + k;
#if defined(__SSE2__)
        if ((i & 63) == 0 && block_T > 0 && x0 >= 33 + k && x0 + 96 <= n) {
          const unsigned long low = x0 - 33 - k;
          if (next_N < low) {
            const char* q = static_cast<const char*>(std::memchr(seq + low, 'N', n - low));
            next_N        = q ? static_cast<unsigned long>(q - seq) : n;
          }
          if (block_rejected(seq, x0, k, block_T, next_N)) {
            if (i % 256 == 0 && check_report_status())
              report_status(sequence_number, sequence.name.c_str(), static_cast<unsigned int>(k));
            i += 63;
            resync = true;
            continue;
          }
        }
#endif
        if (resync) {
          // The backward run ending at x0 - 1, counted afresh.
          unsigned long y = x0 - 1;
          back_run = 0;
          while (y >= k && seq[y] == seq[y - k]) {
            ++back_run;
            --y;
          }
          back_stop_N = y >= k && seq[y - k] == 'N';
          resync      = false;
        } else if (i > 0) {
          // A(x0 - 1) extends or breaks the backward run.
          if (seq[x0 - 1] == seq[x0 - 1 - k])
            ++back_run;
          else {
            back_run    = 0;
            back_stop_N = seq[x0 - 1 - k] == 'N';
          }
        }

        if (i % 256 == 0 && check_report_status())
          report_status(sequence_number, sequence.name.c_str(), static_cast<unsigned int>(k));

        if (quick && !back_stop_N) {
          if (fwd_stop < x0) {
            fwd_stop = x0;
            while (fwd_stop < n && seq[fwd_stop] == seq[fwd_stop - k])
              ++fwd_stop;
            fwd_stop_N = fwd_stop < n && seq[fwd_stop] == 'N';
          }
          if (!fwd_stop_N && static_cast<long>((fwd_stop - x0) + back_run) < min_score)
            continue;
        }

        const char* f = mask + i;
        const bool free_here = f[0] == MASK_FREE;
        const bool free_last = f[k - 1] == MASK_FREE;
        if (!((free_here && (free_last || f[k] == MASK_FREE)) || (f[-1] == MASK_FREE && free_last)))
          continue;

        if (first_N < i) {
          const char* q = static_cast<const char*>(std::memchr(seq + i, 'N', n - i));
          first_N       = q ? static_cast<unsigned long>(q - seq) : n;
        }
        if (first_N < i + k)  // the copy holds an N
          continue;

        // A single-letter unit belongs to unit length 1.
        unsigned long same = 1;
        while (same < k && seq[i + same] == seq[i])
          ++same;
        if (same == k)
          continue;

        grower.grow(seq + i, static_cast<long>(k), g);
        if (!passes(g, minScores, minLengths, k))
          continue;

        Csat* sat = new_record(seq + i, static_cast<long>(k), g);
        if (passes(g, minScores_user, minLengths_user, k)) {
          long numerator, denominator;
          sat->perfection_terms(numerator, denominator);
          const double perfection = static_cast<double>(numerator) / static_cast<double>(denominator) * 100.0;
          if (min_perf <= perfection && perfection <= max_perf) {
            std::memset(mask + (g.start - seq), MASK_COVERED, static_cast<std::size_t>(g.end - g.start));
            for (const missense_entry& e : sat->missense)
              mask[e.first - seq] = MASK_FREE;
          }
        }
        found(sat);
      }
    }
  }

  if (!grow_seeds) {
    exact_sats.sort();
    return;
  }
  // The order of growing all seeds sorted by their spans and then sorting
  // the kept ones by theirs, both sorts stable: by grown span, then by the
  // seed's span, then in the order found.
  std::stable_sort(grown.begin(), grown.end(), [](const Grown& a, const Grown& b) {
    return std::tie(a.sat->start, a.sat->end, a.seed_start, a.seed_end) <
           std::tie(b.sat->start, b.sat->end, b.seed_start, b.seed_end);
  });
  for (const Grown& gr : grown)
    imperfect_sats.list.push_back(gr.sat);
}
