// The exact search: perfect tandem repeats of every unit length in range.
//
// Unit length 1 has a pass of its own that jumps behind every accepted
// repeat. Longer units are searched one pass per unit length, in ascending
// order, with every position as a candidate; a coverage mask shared by these
// passes keeps a region covered by a repeat of a shorter unit from being
// searched again with a longer one. Runs of N no longer than
// global_Ns_allowed_in_a_row are passed over without score.
#include <cstdlib>
#include <cstring>

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

}  // namespace

void CSearchController::exact_search_2()
{
  const unsigned int n         = sequence.residues.size();
  const char* const  seq       = sequence.residues.data();
  const char* const  seq_end   = seq + n;
  const unsigned int min_k     = global_min_unit_length;
  const unsigned int max_k     = global_max_unit_length;
  const double       min_perf  = global_min_perfection;
  const double       max_perf  = global_max_perfection;

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
          exact_sats.list.push_back(new_record(seq + p, 1, g));
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
      const char* m = static_cast<const char*>(std::memchr(seq, 'N', n));
      unsigned long first_N = m ? static_cast<unsigned long>(m - seq) : n;

      // Length of the run of equal characters that ends with the last
      // character of the candidate's first unit copy.
      unsigned long same_run = 1;
      for (unsigned long t = 1; t < k; ++t)
        same_run = same_run * (seq[t] == seq[t - 1]) + 1;

      for (unsigned long i = 0; i + k < n; ++i) {
        if (i > 0)
          same_run = same_run * (seq[i + k - 1] == seq[i + k - 2]) + 1;

        if (i % 256 == 0 && check_report_status())
          report_status(sequence_number, sequence.name.c_str(), static_cast<unsigned int>(k));

        if (first_N < i) {
          const char* next_N = static_cast<const char*>(std::memchr(seq + i, 'N', n - i));
          first_N = next_N ? static_cast<unsigned long>(next_N - seq) : n;
        }

        const char* f = mask + i;
        const bool free_here = f[0] == MASK_FREE;
        const bool free_last = f[k - 1] == MASK_FREE;
        if (!((free_here && (free_last || f[k] == MASK_FREE)) || (f[-1] == MASK_FREE && free_last)))
          continue;
        if (i <= first_N && first_N < i + k)
          continue;
        if (same_run >= k)  // a single-letter unit belongs to unit length 1
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
        exact_sats.list.push_back(sat);
      }
    }
  }

  exact_sats.sort();
}
