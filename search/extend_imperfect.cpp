// Imperfect extension alignment: grows a repeat record beyond its perfect
// part by aligning the sequence against the endless repetition of the unit.
// A match scores +1, an accepted run of Ns 0, a mismatch or an indel the
// configured (negative) scores. At each disagreement a bounded recursive
// look-ahead scores the three alternatives (mismatch, insertion, deletion);
// the best-scoring point reached is what the record keeps.
//
// Arithmetic on thresholds and on a score plus an event score is done in
// 64 bits: the options accept any 32-bit value (a maximum score reduction of
// -2147483648, event scores of -2147483648), and the sums must not wrap.
// An event is only ever taken when its score lies above a threshold that is
// at least -(unit length) - 1, so every score handed on fits in 32 bits.

#include "search/CSearchController.h"

#include "config/global-types-and-parameters.h"

namespace {

// The parameters of one alignment, read once per extension call.
struct AlignParams
{
  long long    mismatch;   // score of a mismatch
  long long    indel;      // score of an insertion or deletion
  long long    reduction;  // largest drop below the best score
  long long    prefer;     // 1: the longer of two equal-score alignments wins
  int          depth_limit;
  bool         accept_Ns;  // N runs may be passed over without score
  long long    Ns_allowed; // longest accepted run
  unsigned int Ns_cap;     // how far a run needs to be measured: Ns_allowed + 1
};

inline AlignParams current_params()
{
  AlignParams p;
  p.mismatch    = global_mismatch_score;
  p.indel       = global_indel_score;
  p.reduction   = global_maximum_scorereduction;
  p.prefer      = global_prefer_longer_repeat;
  p.depth_limit = global_maximum_recursion_depth;
  p.accept_Ns   = !global_treat_Ns_as_missense && global_Ns_allowed_in_a_row != 0;
  p.Ns_allowed  = global_Ns_allowed_in_a_row;
  // Only whether a run is longer than the allowed length matters, so a run
  // is measured at most one N beyond it: a run stopped there is too long
  // either way, a shorter one has been measured whole.
  long long cap = p.Ns_allowed < 0 ? 0 : p.Ns_allowed;
  p.Ns_cap      = static_cast<unsigned int>(cap >= 0xFFFFFFFFLL ? 0xFFFFFFFFLL : cap + 1);
  return p;
}

// L = max(b - R, -k) - P: an event is tried only if the score after it is above L.
inline long long threshold(long long best, long long k, const AlignParams& p)
{
  long long t = best - p.reduction;
  if (t < -k)
    t = -k;
  return t - p.prefer;
}

// Length of the N run at pos towards seq_end, measured up to p.Ns_cap.
inline unsigned long N_run_forward(const char* pos, const char* seq_end, const AlignParams& p)
{
  unsigned long avail = static_cast<unsigned long>(seq_end - pos);
  unsigned long cap   = avail < p.Ns_cap ? avail : p.Ns_cap;
  unsigned long n     = 0;
  while (n < cap && pos[n] == 'N')
    ++n;
  return n;
}

// Length of the N run ending at pos - 1, towards first (the first residue).
inline unsigned long N_run_backward(const char* pos, const char* first, const AlignParams& p)
{
  unsigned long avail = static_cast<unsigned long>(pos - first);
  unsigned long cap   = avail < p.Ns_cap ? avail : p.Ns_cap;
  unsigned long n     = 0;
  while (n < cap && pos[-1 - static_cast<long>(n)] == 'N')
    ++n;
  return n;
}

inline const char* unit_next(const char* u, const char* ub, const char* ue)
{
  return ++u == ue ? ub : u;
}

inline const char* unit_prev(const char* u, const char* ub, const char* ue)
{
  return u == ub ? ue - 1 : u - 1;
}

inline const char* unit_advance(const char* u, unsigned long n, const char* ub, long k)
{
  unsigned long off = static_cast<unsigned long>(u - ub) + n;
  if (off >= static_cast<unsigned long>(k))
    off %= static_cast<unsigned long>(k);
  return ub + off;
}

inline const char* unit_retreat(const char* u, unsigned long n, const char* ub, long k)
{
  // Moving back n is moving forward k - (n mod k).
  unsigned long back = n % static_cast<unsigned long>(k);
  return unit_advance(u, static_cast<unsigned long>(k) - back, ub, k);
}

// What stays fixed during one look-ahead: the unit, the sequence limit and
// the parameters. Handed down by pointer so that a recursive call passes
// only what changes.
struct LeapContext
{
  const char*        ub;
  const char*        ue;
  int                k;
  const char*        limit;  // seq_end forward, the first residue backward
  const AlignParams* p;
  // For the remembered decisions (TRACK below): how far from the decision
  // point the look-ahead's stretches went in the sequence (the farthest
  // stop, forward the highest position, backward the lowest). Unused by the
  // plain look-ahead.
  const char** farthest;
};

// A node's stretch stopped at pos; noted only when the look-ahead is
// tracked. A node is on from the decision's unit position by as many unit
// letters as it is on in the sequence, less its insertions and plus its
// deletions: so no stretch of the look-ahead read a unit letter farther
// than (farthest stop - decision point) + (depth limit) from it.
template <bool TRACK, int DIR>
inline void note_stop(const LeapContext& c, const char* pos)
{
  if (TRACK && (DIR > 0 ? pos > *c.farthest : pos < *c.farthest))
    *c.farthest = pos;
}

// The tracked form (TRACK) notes how far the stretches went.
template <bool TRACK>
int leap_forward_branch(const char* pos, const char* up, int s, unsigned char d, long long bb, long long L,
                        const LeapContext& c);
template <bool TRACK>
int leap_backward_branch(const char* pos, const char* up, int s, unsigned char d, long long bb, long long L,
                         const LeapContext& c);

template <bool TRACK>
inline __attribute__((always_inline)) int leap_forward_node(const char* pos, const char* up, int s, unsigned char d,
                                                            int best, const LeapContext& c)
{
  const char* const ub = c.ub;
  const char* const ue = c.ue;
  const char* const seq_end = c.limit;
  const AlignParams& p = *c.p;
  // Maximal perfect stretch.
  for (;;) {
    while (pos != seq_end && *pos == *up) {
      ++s;
      ++pos;
      if (++up == ue)
        up = ub;
    }
    note_stop<TRACK, +1>(c, pos);
    if (pos == seq_end)
      return s;
    if (*pos != 'N' || !p.accept_Ns)
      break;
    unsigned long run = N_run_forward(pos, seq_end, p);
    if (static_cast<long long>(run) > p.Ns_allowed)
      return s;
    pos += run;
    up = unit_advance(up, run, ub, c.k);
  }
  if (static_cast<int>(d) == p.depth_limit)
    return s;
  const long long bb = s > best ? s : best;
  const long long L  = threshold(bb, c.k, p);
  if (s + p.mismatch <= L && s + p.indel <= L)
    return s;
  return leap_forward_branch<TRACK>(pos, up, s, d, bb, L, c);
}

template <bool TRACK>
int leap_forward_branch(const char* pos, const char* up, int s, unsigned char d, long long bb, long long L,
                        const LeapContext& c)
{
  const char* const ub = c.ub;
  const char* const ue = c.ue;
  const AlignParams& p = *c.p;
  const int          k = c.k;
  int       v      = -k - 1;
  bool      chosen = false;
  const unsigned char d1 = static_cast<unsigned char>(d + 1);
  const int best = static_cast<int>(bb);
  long long sm = s + p.mismatch;
  if (sm > L) {
    v = leap_forward_node<TRACK>(pos + 1, unit_next(up, ub, ue), static_cast<int>(sm), d1, best, c);
    chosen = true;
  }
  long long si = s + p.indel;
  if (si > L) {
    int w = leap_forward_node<TRACK>(pos + 1, up, static_cast<int>(si), d1, best, c);
    if (w > v) {
      v      = w;
      chosen = true;
    }
    w = leap_forward_node<TRACK>(pos, unit_next(up, ub, ue), static_cast<int>(si), d1, best, c);
    if (w > v) {
      v      = w;
      chosen = true;
    }
  }
  if (!chosen)
    return s;
  return v > s ? v : s;
}

// Mirror image: pos plays the role of start, the character examined is pos[-1].
template <bool TRACK>
inline __attribute__((always_inline)) int leap_backward_node(const char* pos, const char* up, int s, unsigned char d,
                                                             int best, const LeapContext& c)
{
  const char* const ub = c.ub;
  const char* const ue = c.ue;
  const char* const first = c.limit;
  const AlignParams& p = *c.p;
  for (;;) {
    while (pos != first && pos[-1] == *up) {
      ++s;
      --pos;
      up = unit_prev(up, ub, ue);
    }
    note_stop<TRACK, -1>(c, pos);
    if (pos == first)
      return s;
    if (pos[-1] != 'N' || !p.accept_Ns)
      break;
    unsigned long run = N_run_backward(pos, first, p);
    if (static_cast<long long>(run) > p.Ns_allowed)
      return s;
    pos -= run;
    up = unit_retreat(up, run, ub, c.k);
  }
  if (static_cast<int>(d) == p.depth_limit)
    return s;
  const long long bb = s > best ? s : best;
  const long long L  = threshold(bb, c.k, p);
  if (s + p.mismatch <= L && s + p.indel <= L)
    return s;
  return leap_backward_branch<TRACK>(pos, up, s, d, bb, L, c);
}

template <bool TRACK>
int leap_backward_branch(const char* pos, const char* up, int s, unsigned char d, long long bb, long long L,
                         const LeapContext& c)
{
  const char* const ub = c.ub;
  const char* const ue = c.ue;
  const AlignParams& p = *c.p;
  const int          k = c.k;
  int       v      = -k - 1;
  bool      chosen = false;
  const unsigned char d1 = static_cast<unsigned char>(d + 1);
  const int best = static_cast<int>(bb);
  long long sm = s + p.mismatch;
  if (sm > L) {
    v = leap_backward_node<TRACK>(pos - 1, unit_prev(up, ub, ue), static_cast<int>(sm), d1, best, c);
    chosen = true;
  }
  long long si = s + p.indel;
  if (si > L) {
    int w = leap_backward_node<TRACK>(pos - 1, up, static_cast<int>(si), d1, best, c);
    if (w > v) {
      v      = w;
      chosen = true;
    }
    w = leap_backward_node<TRACK>(pos, unit_prev(up, ub, ue), static_cast<int>(si), d1, best, c);
    if (w > v) {
      v      = w;
      chosen = true;
    }
  }
  if (!chosen)
    return s;
  return v > s ? v : s;
}

// The best point of an extension. Its missense entries are not copied: from
// the moment a best state is saved until the extension finishes, the record's
// missense list only grows at its back (events are appended, never removed
// or changed), so the entries of the best state are always the first
// `missense_size` entries of the record's own list. Restoring them is
// setting the size back; the record's buffer is never too small for that.
struct BestState
{
  const char*   start;
  const char*   end;
  const char*   forward_unit_pos;
  const char*   backward_unit_pos;
  int           score;
  unsigned int  mismatches;
  unsigned int  insertions;
  unsigned int  deletions;
  unsigned int  Ns;
  unsigned char recursion_depth;
  unsigned int  missense_size;

  void save(const Csat& s)
  {
    start             = s.start;
    end               = s.end;
    forward_unit_pos  = s.forward_unit_pos;
    backward_unit_pos = s.backward_unit_pos;
    score             = s.score;
    mismatches        = s.mismatches;
    insertions        = s.insertions;
    deletions         = s.deletions;
    Ns                = s.Ns;
    recursion_depth   = s.recursion_depth;
    missense_size     = s.missense.size();
  }

  void restore(Csat& s) const
  {
    s.start             = start;
    s.end               = end;
    s.forward_unit_pos  = forward_unit_pos;
    s.backward_unit_pos = backward_unit_pos;
    s.score             = score;
    s.mismatches        = mismatches;
    s.insertions        = insertions;
    s.deletions         = deletions;
    s.Ns                = Ns;
    s.recursion_depth   = recursion_depth;
    s.missense.resize_within_capacity(missense_size);
  }
};

using Choice = DecisionMemo::Choice;
const Choice NONE = DecisionMemo::NONE, MISMATCH = DecisionMemo::MISMATCH, INSERTION = DecisionMemo::INSERTION,
             DELETION = DecisionMemo::DELETION;

// The choice at a forward decision point at e, unit position up: the
// alternative whose look-ahead scores highest (the first of equals), among
// those whose score after the event (sm, si) lies above L; NONE if none does.
template <bool TRACK>
Choice choose_forward(const char* e, const char* up, long long sm, long long si, long long L, unsigned char d,
                      int b, const LeapContext& ctx)
{
  const char* const ub     = ctx.ub;
  const char* const ue     = ctx.ue;
  Choice            choice = NONE;
  int               v      = -ctx.k - 1;
  if (sm > L) {
    v      = leap_forward_node<TRACK>(e + 1, unit_next(up, ub, ue), static_cast<int>(sm), d, b, ctx);
    choice = MISMATCH;
  }
  if (si > L) {
    int w = leap_forward_node<TRACK>(e + 1, up, static_cast<int>(si), d, b, ctx);
    if (w > v) {
      v      = w;
      choice = INSERTION;
    }
    w = leap_forward_node<TRACK>(e, unit_next(up, ub, ue), static_cast<int>(si), d, b, ctx);
    if (w > v)
      choice = DELETION;
  }
  return choice;
}

// Mirror image: the character examined is s[-1].
template <bool TRACK>
Choice choose_backward(const char* s, const char* up, long long sm, long long si, long long L, unsigned char d,
                       int b, const LeapContext& ctx)
{
  const char* const ub     = ctx.ub;
  const char* const ue     = ctx.ue;
  Choice            choice = NONE;
  int               v      = -ctx.k - 1;
  if (sm > L) {
    v      = leap_backward_node<TRACK>(s - 1, unit_prev(up, ub, ue), static_cast<int>(sm), d, b, ctx);
    choice = MISMATCH;
  }
  if (si > L) {
    int w = leap_backward_node<TRACK>(s - 1, up, static_cast<int>(si), d, b, ctx);
    if (w > v) {
      v      = w;
      choice = INSERTION;
    }
    w = leap_backward_node<TRACK>(s, unit_prev(up, ub, ue), static_cast<int>(si), d, b, ctx);
    if (w > v)
      choice = DELETION;
  }
  return choice;
}

} // namespace

void CSearchController::extend_imperfect_forward(Csat& sat, const char* seq_end)
{
  const AlignParams p  = current_params();
  const char*       ub = sat.unit_begin;
  const char*       ue = sat.unit_end;
  const int         k  = static_cast<int>(ue - ub);
  const LeapContext ctx{ub, ue, k, seq_end, &p, nullptr};
  decision_memo.begin_walk(ub, static_cast<unsigned int>(k), sat.recursion_depth,
                           seq_end == sequence.residues_end());

  BestState best;
  best.save(sat);
  long long b = sat.score;

  for (;;) {
    // Perfect stretch, in locals.
    const char* e     = sat.end;
    const char* up    = sat.forward_unit_pos;
    int         score = sat.score;
    bool        stop  = false;  // sequence end or an N run too long
    for (;;) {
      while (e != seq_end && *e == *up) {
        ++score;
        ++e;
        if (++up == ue)
          up = ub;
      }
      if (e == seq_end) {
        stop = true;
        break;
      }
      if (*e != 'N' || !p.accept_Ns)
        break;
      unsigned long run = N_run_forward(e, seq_end, p);
      if (static_cast<long long>(run) > p.Ns_allowed) {
        stop = true;
        break;
      }
      e += run;
      up = unit_advance(up, run, ub, k);
      sat.Ns += static_cast<unsigned int>(run);
    }
    sat.end              = e;
    sat.forward_unit_pos = up;
    sat.score            = score;

    if (stop) {
      if (score <= b - p.prefer)
        best.restore(sat);
      return;
    }

    // Decision point.
    if (score > b - p.prefer) {
      best.save(sat);
      b = score;
    }
    const long long sm = score + p.mismatch;
    const long long si = score + p.indel;
    const bool      memo   = decision_memo.in_regime(score);
    Choice          choice = memo ? decision_memo.find(0, e, up) : NONE;
    if (choice == NONE) {
      const long long     L = threshold(b, k, p);
      const unsigned char d = static_cast<unsigned char>(sat.recursion_depth + 1);
      if (memo && k > DecisionMemo::TRACKED_FROM) {
        const char*       farthest = e;
        const LeapContext tracked{ub, ue, k, seq_end, &p, &farthest};
        choice = choose_forward<true>(e, up, sm, si, L, d, static_cast<int>(b), tracked);
        decision_memo.store(0, e, up, choice, static_cast<unsigned long>(farthest - e) + p.depth_limit + 1);
      } else if (memo) {
        choice = choose_forward<false>(e, up, sm, si, L, d, static_cast<int>(b), ctx);
        decision_memo.store(0, e, up, choice, static_cast<unsigned long>(k));
      } else {
        choice = choose_forward<false>(e, up, sm, si, L, d, static_cast<int>(b), ctx);
      }
    }

    switch (choice) {
    case NONE:
      if (score + p.prefer < b)
        best.restore(sat);
      return;
    case MISMATCH:
      sat.missense.push_back(missense_entry{e, 'M'});
      ++sat.mismatches;
      sat.score            = static_cast<int>(sm);
      sat.end              = e + 1;
      sat.forward_unit_pos = unit_next(up, ub, ue);
      break;
    case INSERTION:
      sat.missense.push_back(missense_entry{e, 'I'});
      ++sat.insertions;
      sat.score = static_cast<int>(si);
      sat.end   = e + 1;
      break;
    case DELETION:
      sat.missense.push_back(missense_entry{e, 'D'});
      ++sat.deletions;
      sat.score            = static_cast<int>(si);
      sat.forward_unit_pos = unit_next(up, ub, ue);
      break;
    }
  }
}

void CSearchController::extend_imperfect_backward(Csat& sat, const char* seq_before)
{
  const AlignParams p     = current_params();
  const char*       ub    = sat.unit_begin;
  const char*       ue    = sat.unit_end;
  const int         k     = static_cast<int>(ue - ub);
  const char*       first = seq_before + 1;
  const LeapContext ctx{ub, ue, k, first, &p, nullptr};
  decision_memo.begin_walk(ub, static_cast<unsigned int>(k), sat.recursion_depth,
                           first == sequence.residues_begin());

  BestState best;
  best.save(sat);
  long long b = sat.score;

  for (;;) {
    const char* s     = sat.start;
    const char* up    = sat.backward_unit_pos;
    int         score = sat.score;
    bool        stop  = false;
    for (;;) {
      while (s != first && s[-1] == *up) {
        ++score;
        --s;
        up = unit_prev(up, ub, ue);
      }
      if (s == first) {
        stop = true;
        break;
      }
      if (s[-1] != 'N' || !p.accept_Ns)
        break;
      unsigned long run = N_run_backward(s, first, p);
      if (static_cast<long long>(run) > p.Ns_allowed) {
        stop = true;
        break;
      }
      s -= run;
      up = unit_retreat(up, run, ub, k);
      sat.Ns += static_cast<unsigned int>(run);
    }
    sat.start             = s;
    sat.backward_unit_pos = up;
    sat.score             = score;

    if (stop) {
      if (score <= b - p.prefer)
        best.restore(sat);
      return;
    }

    if (score > b - p.prefer) {
      best.save(sat);
      b = score;
    }
    const long long sm     = score + p.mismatch;
    const long long si     = score + p.indel;
    const bool      memo   = decision_memo.in_regime(score);
    Choice          choice = memo ? decision_memo.find(1, s, up) : NONE;
    if (choice == NONE) {
      const long long     L = threshold(b, k, p);
      const unsigned char d = static_cast<unsigned char>(sat.recursion_depth + 1);
      if (memo && k > DecisionMemo::TRACKED_FROM) {
        const char*       farthest = s;
        const LeapContext tracked{ub, ue, k, first, &p, &farthest};
        choice = choose_backward<true>(s, up, sm, si, L, d, static_cast<int>(b), tracked);
        decision_memo.store(1, s, up, choice, static_cast<unsigned long>(s - farthest) + p.depth_limit + 1);
      } else if (memo) {
        choice = choose_backward<false>(s, up, sm, si, L, d, static_cast<int>(b), ctx);
        decision_memo.store(1, s, up, choice, static_cast<unsigned long>(k));
      } else {
        choice = choose_backward<false>(s, up, sm, si, L, d, static_cast<int>(b), ctx);
      }
    }

    switch (choice) {
    case NONE:
      if (score + p.prefer < b)
        best.restore(sat);
      return;
    case MISMATCH:
      sat.start = s - 1;
      sat.missense.push_back(missense_entry{s - 1, 'M'});
      ++sat.mismatches;
      sat.score             = static_cast<int>(sm);
      sat.backward_unit_pos = unit_prev(up, ub, ue);
      break;
    case INSERTION:
      sat.start = s - 1;
      sat.missense.push_back(missense_entry{s - 1, 'I'});
      ++sat.insertions;
      sat.score = static_cast<int>(si);
      break;
    case DELETION:
      sat.missense.push_back(missense_entry{s, 'D'});
      ++sat.deletions;
      sat.score             = static_cast<int>(si);
      sat.backward_unit_pos = unit_prev(up, ub, ue);
      break;
    }
  }
}

int CSearchController::extend_imperfect_forward_leap_ahead(const char* pos, const char* unit_pos,
                                                           const char* unit_begin, const char* unit_end,
                                                           int score, int unit_length, unsigned char depth,
                                                           const char* seq_end, int best)
{
  const AlignParams p = current_params();
  const LeapContext ctx{unit_begin, unit_end, unit_length, seq_end, &p, nullptr};
  return leap_forward_node<false>(pos, unit_pos, score, depth, best, ctx);
}

int CSearchController::extend_imperfect_backward_leap_ahead(const char* pos, const char* unit_pos,
                                                            const char* unit_begin, const char* unit_end,
                                                            int score, int unit_length, unsigned char depth,
                                                            const char* seq_before, int best)
{
  const AlignParams p = current_params();
  const LeapContext ctx{unit_begin, unit_end, unit_length, seq_before + 1, &p, nullptr};
  return leap_backward_node<false>(pos, unit_pos, score, depth, best, ctx);
}
