#ifndef KATREL_SEED_BOUND_H
#define KATREL_SEED_BOUND_H

// The seed bound of the direct imperfect search: a proof, without growing
// it, that a seed cannot reach its unit length's minimum score (see the
// comment above SeedBound), and the small word helpers it shares with the
// pass over the seeds. A shortcut: CSearchController::search_shortcuts
// turns it off.

#include <cstdint>
#include <cstring>

#include "config/global-types-and-parameters.h"
#include "search/wide_word.h"

// Internal linkage on purpose: each file that uses the bound compiles its own
// copy with its own profile (a shared copy would carry the counts of only
// one of them into the profile-guided build).
namespace {

// Phase sets of longer units: the bound keeps each set twice over in one
// word, so a word of w bits serves units of up to w / 2 letters.
__extension__ typedef unsigned __int128 phase_word128;
typedef WideWord<4>                     phase_word256;

// The smaller of the two event costs, -mismatch and -indel score.
inline long long min_event_cost()
{
  const long long mm = global_mismatch_score;
  const long long id = global_indel_score;
  return -(mm > id ? mm : id);
}

// Whether the extension passes over runs of N.
inline bool Ns_passed_over() { return !global_treat_Ns_as_missense && global_Ns_allowed_in_a_row != 0; }

// Eight letters from p as one word, and the number of letters that agree
// at the start (lowest address) or at the end of two such words, given
// their exclusive or d != 0.
inline std::uint64_t load8(const char* p)
{
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

inline long low_agree(std::uint64_t d)
{
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return __builtin_clzll(d) >> 3;
#else
  return __builtin_ctzll(d) >> 3;
#endif
}

inline long high_agree(std::uint64_t d)
{
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return __builtin_ctzll(d) >> 3;
#else
  return __builtin_clzll(d) >> 3;
#endif
}

// The bytes of a word that hold its first n letters (0 <= n), for words
// read to the right (DIR > 0: the first letter at the lowest address) or
// to the left (the first letter at the highest).
template <int DIR>
std::uint64_t first_letters(long n)
{
  if (n <= 0)
    return 0;
  if (n >= 8)
    return ~std::uint64_t(0);
  const bool low_first = (DIR > 0) != (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__);
  return low_first ? (std::uint64_t(1) << (8 * n)) - 1 : ~std::uint64_t(0) << (64 - 8 * n);
}

// Whether the L letters from s (L >= 2) are one letter repeated.
inline bool one_letter(const char* s, long L, const char* end)
{
  if (L <= 9 && end - s >= 9)
    return ((load8(s) ^ load8(s + 1)) & first_letters<+1>(L - 1)) == 0;
  return std::memcmp(s, s + 1, static_cast<std::size_t>(L - 1)) == 0;
}

// Proof that a seed cannot be kept, without extending it.
//
// Let c = min(-mismatch score, -indel score) >= 1, P the tie preference
// (0 or 1) and k the unit length. The extension takes an alignment event
// only when the score after it is above a threshold of at least -k - P,
// so every event it takes leaves the running score above the floor -k - P.
// After the seed the forward extension runs the seed's perfect stretch of
// f matches (compared with seq[x - k], which is the unit character as long
// as everything before matched) up to the first disagreement x; the
// backward one likewise g matches. From then on an alignment is a chain of
// pairs: one event (cost >= c; a mismatch or insertion consumes the
// character examined, a deletion none) followed by a maximal perfect
// stretch against the unit in some phase.
//
// The bound relaxes that chain: after each event the stretch may take any
// phase and stop after any number of matches up to lambda(t), the longest
// match at t over all k phases. A small dynamic programme over the
// positions then gives the highest score any relaxed chain reaches while
// every event stays above the floor; the true forward extension, being one
// such chain, ends with at most that score F. The backward extension starts
// from a score of at most F (a higher start only allows more), runs its g
// matches and is bounded the same way by G. If G is below the unit
// length's minimum score, the seed is rejected whatever the alignment does,
// and a rejected seed keeps no record and marks nothing: skipping it
// changes no result.
//
// Away from sequence ends and accepted Ns the first two events of a chain
// are followed exactly instead: at a disagreement at t, where the unit
// letter u[q] was expected, a mismatch goes on at t + 1 against u[q + 1],
// an insertion at t + 1 against u[q], a deletion at t against u[q + 1],
// and each runs the maximal perfect stretch in that phase, just as the
// extension does. Only a chain with a third event above the floor is
// handed to the programme, from the positions where that event can be.
// The exact stretches are never longer than lambda, so this bound is
// tighter, and eight letters are compared at a time.
//
// Whenever an accepted N could be passed over (an N where a stretch would
// stop), a stretch could be longer than MAX_STRETCH, the chain could reach
// more than WINDOW positions, or the unit is longer than the word W allows
// (below), the seed is extended as usual.
//
// W is the word that holds a phase set twice over: std::uint64_t serves
// units of up to 32 letters, phase_word128 units of up to 64, phase_word256
// units of up to 128 (the bound is tried up to LONGEST_UNIT).
template <unsigned K, typename W = std::uint64_t>
class SeedBound
{
  static const long MAX_STRETCH = 64;
  static const long WINDOW      = 256;
  static const long GIVE_UP     = 1L << 40;

public:
  // How far the programme may read from the disagreements: a seed whose
  // reach holds no sequence end and no accepted N is worked out without
  // testing for either.
  static const long REACH = WINDOW + MAX_STRETCH + 8;

  // The longest unit the bound is tried for. The longer the unit, the longer
  // its longest match over all phases, and the farther a relaxed chain goes
  // before it falls to the floor of -k - P: on sequence without repeats,
  // from about 80 letters on most chains reach past WINDOW, and the bound
  // gives up after its work more often than it rejects the seed.
  static const unsigned LONGEST_UNIT = 80;

private:
  // The unit length and the values that follow from it: constants where
  // the pass is compiled for one unit length (K > 0).
  unsigned kk() const { return K ? K : k_; }
  W full() const { return K ? (W(1) << K) - 1 : full_; }
  unsigned shift(int j, int D) const
  {
    if (K)
      return D ? j % K : (K - j % K) % K;
    return j == 1 ? s1_[D] : j == 2 ? s2_[D] : j == 3 ? s3_[D] : s4_[D];
  }

  const char* const b_;
  const long        n_;
  bool              enabled_;
  bool              accept_Ns_;
  long              c_;
  long              P_;
  long              floor_ = 0;
  unsigned          k_     = 0;
  W                 full_  = 0;
  unsigned          s1_[2], s2_[2], s3_[2], s4_[2];  // shift for letter 1, 2, 3, 4 of a stretch, by direction
  W                 twice_[256];  // per letter: the unit phases holding it, the k bits twice over
  const char*       unit_at_ = nullptr;  // the seed whose unit twice_ describes
  const char*       seed_    = nullptr;  // the seed being bounded
  long              S_[WINDOW + 2];
  // The endless unit u u u ... from index -8 to k + 8: u^inf[m] is at
  // period_[8 + m]. Eight letters of it in phase q start at period_ + 8 + q.
  char              period_[64 + 32];

  // The phase len letters on from phase q (-1 <= q <= k) in direction
  // DIR (len < 64), from 0 to k - 1. Mostly len < k, where one
  // conditional step does.
  template <int DIR>
  long phase_on(long q, long len) const
  {
    const long k = kk();
    long       v = DIR > 0 ? q + len : q - len;
    if (DIR > 0)
      v -= v >= k ? k : 0;
    else
      v += v < 0 ? k : 0;
    if (v < 0 || v >= k)
      v = (v % k + k) % k;
    return v;
  }

  // Writes the endless unit of the seed sp .. sp + k into period_.
  void set_period(const char* sp)
  {
    const unsigned k = kk();
    if (K && K < 8) {
      // Copies of the unit, each written with the garbage after it that the
      // next copy overwrites, then u^inf[-8 .. 0) = u^inf[m .. m + 8) with
      // m = -8 mod k.
      const std::uint64_t w = load8(sp);
      for (unsigned o = 8; o < 16 + K; o += K)
        std::memcpy(period_ + o, &w, 8);
      std::memcpy(period_, period_ + 8 + (K - 8 % K) % K, 8);
    } else if (K >= 8 && K <= 16) {
      std::memcpy(period_ + 8, sp, 8);
      std::memcpy(period_ + K, sp + K - 8, 8);
      std::memcpy(period_ + 8 + K, sp, 8);
      std::memcpy(period_, sp + K - 8, 8);
    } else {
      for (unsigned i = 0; i < k + 16; ++i)
        period_[i] = sp[(i + 8 * k - 8) % k];
    }
  }

  // The first eight letters from t in direction DIR (t, t + DIR, ...)
  // compared with u[q], u[q + DIR], ...: a byte is zero where they agree.
  template <int DIR>
  std::uint64_t word(long t, long q) const
  {
    return DIR > 0 ? load8(b_ + t) ^ load8(period_ + 8 + q) : load8(b_ + t - 7) ^ load8(period_ + 1 + q);
  }

  // Maximal perfect stretch from t in direction DIR against the unit in
  // phase q (-1 <= q <= k), whose first eight letters compare as d; -1 from
  // MAX_STRETCH on. No sequence end and no accepted N lie within reach.
  template <int DIR>
  long stretch_of(std::uint64_t d, long t, long q) const
  {
    for (long len = 0;;) {
      if (d)
        return len + (DIR > 0 ? low_agree(d) : high_agree(d));
      len += 8;
      if (len >= MAX_STRETCH)
        return -1;
      q = phase_on<DIR>(q, 8);
      d = word<DIR>(t + DIR * len, q);
    }
  }

  // The three ways on from a disagreement at t that expected u[q]: a
  // deletion goes on at t against u[q + DIR], a mismatch at t + DIR against
  // u[q + DIR], an insertion at t + DIR against u[q].
  struct Ways
  {
    long          t[3];
    long          q[3];
    std::uint64_t d[3];
  };

  template <int DIR>
  Ways ways_on(long t, long q) const
  {
    const long q1 = q + DIR;  // may be -1 or k: the words reach u^inf[-8 .. k + 8)
    return Ways{{t, t + DIR, t + DIR}, {q1, q1, q}, {word<DIR>(t, q1), word<DIR>(t + DIR, q1), word<DIR>(t + DIR, q)}};
  }

  // The phase set of letter c shifted for the j-th letter of a stretch: a
  // stretch to the right in phase phi meets unit[phi + j] at offset j, so
  // the set rotates right by j; to the left it rotates left by j, which is
  // right by k - j. With the k bits twice over, rotating right by sh < k is
  // a shift; the bits above k are cleared by the running set it meets.
  W shifted(unsigned char c, unsigned sh) const { return twice_[c] >> sh; }

  static long nonzero(const W& x) { return static_cast<bool>(x); }

  // Longest match from t in direction DIR over all phases; -1 when it
  // cannot be bounded. Matches of up to three characters are counted
  // without branches.
  // CLEAR: no sequence end and no accepted N within REACH of t.
  template <int DIR, bool CLEAR>
  long lambda(long t) const
  {
    const int     D  = DIR > 0;
    W             M  = full();
    unsigned      sh = 0;  // j mod k to the right, -j mod k to the left
    long          j  = 0;
    if (CLEAR || (DIR > 0 ? t + 4 <= n_ : t >= 3)) {
      const unsigned char* q  = reinterpret_cast<const unsigned char*>(b_ + t);
      const W              c0 = twice_[q[0]] & full();
      const W              c1 = c0 & shifted(q[DIR], shift(1, D));
      const W              c2 = c1 & shifted(q[2 * DIR], shift(2, D));
      const W              c3 = c2 & shifted(q[3 * DIR], shift(3, D));
      if (!c3) {
        const long lam = nonzero(c0) + nonzero(c1) + nonzero(c2);
        if (!CLEAR && accept_Ns_ && q[DIR * lam] == 'N')
          return -1;
        return lam;
      }
      // Four letters matched (none of them an N): go on from the fifth.
      M  = c3;
      sh = shift(4, D);
      j  = 4;
    }
    // Near a sequence end, or four or more matches: letter by letter.
    for (;; ++j) {
      const long at = t + DIR * j;
      if (!CLEAR && (at < 0 || at == n_))
        return j;
      const unsigned char ch = static_cast<unsigned char>(b_[at]);
      if (!CLEAR && ch == 'N' && accept_Ns_)
        return -1;
      M &= shifted(ch, sh);
      if (!M)
        return j;
      if (j + 1 >= MAX_STRETCH)
        return -1;
      if (DIR > 0)
        sh = sh + 1 == kk() ? 0 : sh + 1;
      else
        sh = sh == 0 ? kk() - 1 : sh - 1;
    }
  }

  // The programme over the states S_[0 .. horizon] of a chain from x (dir
  // +1 to the right, -1 to the left), where S_[i] is the best score
  // entering a stretch at x + dir * i: the highest score any relaxed chain
  // from them reaches, or best if that is higher. S_ holds the floor
  // (nothing) outside a call; the states are cleared again. Stops early,
  // with a result of at least cap, once cap is reached.
  template <int dir, bool CLEAR>
  long relax(long x, long best, long cap, long horizon)
  {
    for (long i = 0; i <= horizon; ++i) {
      const long r = S_[i];
      if (r <= floor_)
        continue;
      const long t = x + dir * i;
      if (!CLEAR && (t < 0 || t >= n_)) {  // the sequence ends here
        if (r > best)
          best = r;
        continue;
      }
      const long lam = lambda<dir, CLEAR>(t);
      if (lam < 0) {
        best = GIVE_UP;
        break;
      }
      if (r + lam > best) {
        best = r + lam;
        if (best >= cap)
          break;
      }
      // Events after l matches, l0 <= l <= l1: above the floor, and not
      // where the stretch ran into the sequence end.
      long l0 = floor_ + c_ + 1 - r;
      if (l0 < 0)
        l0 = 0;
      const long at_end = t + dir * lam;
      const long l1     = (!CLEAR && (at_end < 0 || at_end >= n_)) ? lam - 1 : lam;
      if (l0 > l1)
        continue;
      if (i + l1 + 1 >= WINDOW) {
        best = GIVE_UP;
        break;
      }
      // The event after l matches leads to i + l and i + l + 1 with the
      // same score; for l < l1 the second is outdone by the first of l + 1.
      for (long l = l0; l <= l1; ++l) {
        const long ee = r + l - c_;
        if (ee > S_[i + l])
          S_[i + l] = ee;
      }
      const long ee = r + l1 - c_;
      if (ee > S_[i + l1 + 1])
        S_[i + l1 + 1] = ee;
      if (horizon < i + l1 + 1)
        horizon = i + l1 + 1;
    }
    for (long j = 0; j <= horizon; ++j)
      S_[j] = floor_;
    return best;
  }

  // Highest score of a relaxed chain that starts with a disagreement at
  // position x with the score top.
  template <int dir>
  long chain_max(long x, long top, long cap)
  {
    const long e = top - c_;
    if (e <= floor_)
      return top;
    S_[0] = e;
    S_[1] = e;
    return relax<dir, false>(x, top, cap, 1);
  }

  // Whether every way of w, entered with the score e, is shorter than
  // floor + c + 1 - e. Such a way can take no further event, and it cannot
  // raise best either: best >= top > floor + c, so best is beyond e plus
  // such a stretch. Most often that holds for all three ways, which is
  // settled on the first eight letters.
  template <int dir>
  bool all_short(const Ways& w, long e) const
  {
    const std::uint64_t m = first_letters<dir>(floor_ + c_ + 1 - e);
    return (w.d[0] & m) && (w.d[1] & m) && (w.d[2] & m);
  }

  // The stretch of way a of w, entered with the score e, with best raised
  // to the score it reaches; -1 when that settles the chain, best then
  // being GIVE_UP or at least cap.
  template <int dir>
  long follow(const Ways& w, int a, long e, long cap, long& best) const
  {
    const long len = stretch_of<dir>(w.d[a], w.t[a], w.q[a]);
    if (len < 0) {
      best = GIVE_UP;
      return -1;
    }
    if (e + len > best) {
      best = e + len;
      if (best >= cap)
        return -1;
    }
    return len;
  }

  // The same, with the first two events followed exactly: the disagreement
  // at x expected the unit letter u[q]. No sequence end and no accepted N
  // lie within REACH of x.
  template <int dir>
  long chain_max_exact(long x, long q, long top, long cap)
  {
    long       best = top;
    const long e    = top - c_;
    if (e <= floor_)
      return best;
    long       horizon = -1;
    const Ways w1      = ways_on<dir>(x, q);
    if (all_short<dir>(w1, e))
      return best;
#pragma GCC unroll 3
    for (int a = 0; a < 3; ++a) {
      const long len = follow<dir>(w1, a, e, cap, best);
      if (len < 0)
        return best;
      const long e2 = e + len - c_;
      if (e2 <= floor_)
        continue;
      const Ways w2 = ways_on<dir>(w1.t[a] + dir * len, phase_on<dir>(w1.q[a], len));
      if (all_short<dir>(w2, e2))
        continue;
#pragma GCC unroll 3
      for (int w = 0; w < 3; ++w) {
        const long len2 = follow<dir>(w2, w, e2, cap, best);
        if (len2 < 0)
          return best;
        const long e3 = e2 + len2 - c_;
        if (e3 <= floor_)
          continue;
        // The third event at v: on from v itself or from the next letter.
        const long i = dir * (w2.t[w] + dir * len2 - x);
        if (i + 1 >= WINDOW)
          return GIVE_UP;
        if (e3 > S_[i])
          S_[i] = e3;
        if (e3 > S_[i + 1])
          S_[i + 1] = e3;
        if (horizon < i + 1)
          horizon = i + 1;
      }
    }
    if (horizon < 0)
      return best;
    if (unit_at_ != seed_)
      set_unit(seed_);
    return relax<dir, true>(x, best, cap, horizon);
  }

public:
  SeedBound(const char* b, unsigned long n, unsigned k) : b_(b), n_(static_cast<long>(n))
  {
    const long long c = min_event_cost();
    enabled_          = c >= 1 && c <= 1000000;
    c_                = static_cast<long>(c);
    P_                = global_prefer_longer_repeat;
    accept_Ns_        = Ns_passed_over();
    std::memset(twice_, 0, sizeof twice_);
    begin_pass(k);
  }

  // Whether seeds of this unit length can be bounded at all.
  bool usable() const { return enabled_ && kk() <= 4 * sizeof(W) && kk() <= LONGEST_UNIT; }

  // The seed s .. s + k (k >= 2, no N in it) cannot reach the score T.
  // Makes twice_ describe the unit sp .. sp + k. The seeds come in rising
  // order, so the sets of a seed a few positions on are shifted along: a
  // unit one position later loses its first letter (bit 0, and bit k of the
  // copy, which the shift moves to bit k - 1) and gains the letter after it
  // as its last (bits k - 1 and 2k - 1). Ns are never entered; a seed holds
  // none, and every letter of it was entered when it became the last.
  void set_unit(const char* sp)
  {
    const unsigned char A = 'A', C = 'C', G = 'G', T = 'T';
    const long          d  = sp - unit_at_;
    const W             hb = W(1) << (kk() - 1);
    if (unit_at_ && d >= 0 && d <= 4) {
      for (const char* q = unit_at_ + kk(); q != sp + kk(); ++q) {
        twice_[A] = (twice_[A] >> 1) & ~hb;
        twice_[C] = (twice_[C] >> 1) & ~hb;
        twice_[G] = (twice_[G] >> 1) & ~hb;
        twice_[T] = (twice_[T] >> 1) & ~hb;
        twice_[static_cast<unsigned char>(*q)] |= hb | (hb << kk());
      }
    } else {
      twice_[A] = twice_[C] = twice_[G] = twice_[T] = 0;
      for (unsigned phi = 0; phi < kk(); ++phi)
        twice_[static_cast<unsigned char>(sp[phi])] |= (W(1) << phi) | (W(1) << (phi + kk()));
    }
    twice_[static_cast<unsigned char>('N')] = 0;
    unit_at_ = sp;
  }

private:
  // Values that depend on the unit length only.
  void begin_pass(unsigned k)
  {
    unit_at_ = nullptr;
    k_     = k;
    full_  = k >= 8 * sizeof(W) ? ~W(0) : (W(1) << k) - 1;
    floor_ = -static_cast<long>(k) - P_;
    for (long& v : S_)
      v = floor_;
    const unsigned r[4] = {1 % k, 2 % k, 3 % k, 4 % k};
    unsigned*      s[4] = {s1_, s2_, s3_, s4_};
    for (int j = 0; j < 4; ++j) {
      s[j][1] = r[j];
      s[j][0] = (k - r[j]) % k;
    }
  }

public:
  // The seed sp .. sp + k (no N in it) cannot reach the score T. x: the
  // first disagreement right of the seed (seq[x] != seq[x - k], or the
  // end); y: one past the first disagreement left of it. CLEAR: no sequence
  // end and no accepted N within REACH of x and y (usable() holds).
  template <bool CLEAR>
  bool hopeless(const char* sp, long T, const char* x, const char* y)
  {
    const char* const end = b_ + n_;
    if (!CLEAR && accept_Ns_ && ((x != end && *x == 'N') || (y != b_ && y[-1] == 'N')))
      return false;
    const long f = x - (sp + kk());
    const long g = sp - y;
    if (f + g >= T)
      return false;
    if (f + g - c_ <= floor_)  // no event on either side: the seed ends with f + g
      return true;
    if (CLEAR) {
      // The forward disagreement expected u[f mod k], the backward one
      // u[(k - 1 - g) mod k].
      seed_ = sp;
      set_period(sp);
      const unsigned long k = kk();
      const long F = chain_max_exact<+1>(x - b_, static_cast<long>(f % k), f, T - g);
      return F + g < T &&
             chain_max_exact<-1>(y - b_ - 1, static_cast<long>(k - 1 - g % k), F + g, T) < T;
    }
    set_unit(sp);
    const long F = x == end ? f : chain_max<+1>(x - b_, f, T - g);
    if (F + g >= T)
      return false;
    const long G = y == b_ ? F + g : chain_max<-1>(y - b_ - 1, F + g, T);
    return G < T;
  }
};

// The tests of a seed of the direct search that read nothing but the
// sequence and the parameters: an N in the seed, a unit of one repeated
// letter (it belongs to unit length 1), and the seed bound. The stretches
// of the seed's own copy and the N positions are kept up to date from seed
// to seed; the seeds are given in rising order from `from` on, and seeds
// may be passed over.
template <unsigned K, typename W = std::uint64_t>
class SeedTests
{
  const char* const   b_;
  const char* const   end_;
  const long          L_;
  const long          min_score_;
  const char* const   from_;
  SeedBound<K, W>&    bound_;
  const bool          bounded_;
  const bool          accept_Ns_;
  const char*         z_;       // first N at or after the current seed start
  const char*         prev_N_;  // last N before it
  // Disagreements x < clear_hi and y > clear_lo have no sequence end and
  // no accepted N within the bound's reach.
  long clear_hi_, clear_lo_;
  // Stretches of the seed's own copy, right for the seeds looked at (back
  // is wrong for a seed passed over, and right again after it):
  //   back:     matches to the left (seq[y] == seq[y + L] for y = s - 1, s - 2, ...);
  //   fwd_stop: first x >= s + L with seq[x] != seq[x - L], or the end.
  unsigned long back_     = 0;
  const char*   fwd_stop_;
  static const long BEHIND = 4 * SeedBound<K, W>::REACH;  // how far back an N is looked for

public:
  // bound: the seed bound of this unit length, SeedBound<K, W>(b, n, k). The
  // seeds looked at lie in from .. to - 1; the N positions are looked for
  // only as far as these seeds and the bound can reach, so that a block of
  // seeds costs no scan of the whole record.
  SeedTests(SeedBound<K, W>& bound, const char* b, unsigned long n, unsigned k, long min_score, bool shortcuts,
            long from, long to)
    : b_(b), end_(b + n), L_(K ? K : k), min_score_(min_score), from_(b + from), bound_(bound),
      bounded_(shortcuts && bound_.usable()), accept_Ns_(Ns_passed_over()), fwd_stop_(b)
  {
    // An N taken to lie just past the window ahead (or just before the one
    // behind) changes nothing: no seed of the range reaches it in the N
    // test, and the bound only takes its slower form for the disagreements
    // near it.
    const long  ahead = static_cast<long>(n) - to > L_ + SeedBound<K, W>::REACH ? to + L_ + SeedBound<K, W>::REACH
                                                                               : static_cast<long>(n);
    const void* z     = std::memchr(from_, 'N', static_cast<std::size_t>(ahead - from));
    z_                = z ? static_cast<const char*>(z) : b + ahead;
    const long behind = from > BEHIND ? from - BEHIND : 0;
    const void* p     = from > behind ? memrchr(b + behind, 'N', static_cast<std::size_t>(from - behind)) : nullptr;
    prev_N_           = p ? static_cast<const char*>(p) : b + behind - 1;
    clear_hi_ = (accept_Ns_ ? z_ - b : static_cast<long>(n)) - SeedBound<K, W>::REACH;
    clear_lo_ = (accept_Ns_ && prev_N_ >= b ? prev_N_ - b : 0) + SeedBound<K, W>::REACH;
    for (const char* y = from_ - 1; y >= b && y[0] == y[L_]; --y)
      ++back_;
  }

  // Moves on to the seed s (after the one looked at before it).
  __attribute__((always_inline)) void step(const char* s)
  {
    if (s != from_)
      back_ = (back_ + 1) * (s[-1] == s[L_ - 1]);
    // Past every N before s, one at a time: seeds may be passed over.
    if (z_ < s) {
      do {
        prev_N_ = z_++;
        while (z_ != end_ && *z_ != 'N')
          ++z_;
      } while (z_ < s);
      if (accept_Ns_) {
        clear_hi_ = (z_ - b_) - SeedBound<K, W>::REACH;
        clear_lo_ = (prev_N_ - b_) + SeedBound<K, W>::REACH;
      }
    }
  }

  // Whether the tests reject the seed s; then last is the last seed from s
  // on that they reject by the same proof (the seeds in between need not be
  // looked at).
  __attribute__((always_inline)) bool rejects(const char* s, const char*& last)
  {
    last            = s;
    const char* e   = s + L_;
    if (z_ < e)  // z >= s here: the seed contains an N
      return true;
    if (one_letter(s, L_, end_))
      return true;
    if (!bounded_)
      return false;
    if (fwd_stop_ < e) {
      fwd_stop_ = e;
      while (fwd_stop_ != end_ && *fwd_stop_ == fwd_stop_[-L_])
        ++fwd_stop_;
    }
    const char* const y = s - back_;
    if (fwd_stop_ - b_ < clear_hi_ && y - b_ > clear_lo_ ? bound_.template hopeless<true>(s, min_score_, fwd_stop_, y)
                                                        : bound_.template hopeless<false>(s, min_score_, fwd_stop_, y)) {
      // The seeds s + 1 .. x - L lie in the same period run: each has
      // seq[s' - 1 + L] == seq[s' - 1], so its unit is the unit before it
      // rotated by one, with the same disagreements x and y, a forward
      // stretch one shorter and a backward one one longer. Its forward
      // chains are those of the seed before from a score one lower (its
      // F is at most F - 1), and its backward chains start from at most
      // the same score F + g: the bound rejects it as well. The next seed
      // to look at is x - L + 1, whose backward stretch is empty again.
      last = fwd_stop_ - L_;
      return true;
    }
    return false;
  }
};

} // namespace

#endif
