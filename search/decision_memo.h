#ifndef KATREL_DECISION_MEMO_H
#define KATREL_DECISION_MEMO_H

// Remembered choices of the imperfect extension at its decision points.
//
// Inside a long imperfect array the searches grow seed after seed across
// the whole array (every seed that touches an alignment error of a kept
// repeat is tried again, and the exact-then-extend mode grows every perfect
// stretch), and at each disagreement the extension scores up to
// 3 + 9 + ... + 3^D stretches of look-ahead to choose between a mismatch,
// an insertion and a deletion. The walks of seeds with the same unit, up to
// rotation, pass the same decision points again and again; this table
// remembers the choice made at a point so that a later walk takes it
// without the look-ahead.
//
// Why the remembered choice is the one the look-ahead would make. At a
// decision point with running score s the look-ahead prunes an
// alternative only where the score after it would not lie above
// L = max(b - R, -k) - P (b: the best score so far, R the maximum score
// reduction, k the unit length, P the tie preference). When R >= n + k
// for a sequence of n letters, b - R <= -k for every score the sequence
// allows, so L = -k - P, a constant. A node of the look-ahead at depth d
// has a score of at least s - d * c (c the larger event cost: matches only
// add), and it tries events only for d < D, so when s >= L + D * c + 1 no
// alternative anywhere in the look-ahead is pruned. Then every value the
// look-ahead compares is the score of one fixed set of paths plus the same
// s, and the choice depends on nothing but the sequence from the decision
// point on, the unit read from the current unit position and the direction:
// the same for every walk that reaches that point in that state with such a
// score. The depth counter starts at 1 for every extension the searches
// make (records come with recursion_depth 0); depths above 255, where the
// 8-bit counter would not reach its limit, are left to the plain path.
//
// A point is identified by its sequence position, the direction, the unit
// length and the unit letters the look-ahead read. The look-ahead is a
// fixed procedure on what it reads: the sequence from the decision point on
// (the same letters for every walk there) and unit letters at offsets 0, 1,
// 2, ... from the current unit position (read cyclically). The tracked
// look-ahead notes how far into the unit it read; a later walk whose unit
// agrees with the stored one on those offsets reads the very same letters
// in the same order, visits the same nodes and makes the same choice, even
// if the two units differ further on. So the walks of neighbouring seeds
// (whose units are one rotation apart, with one letter exchanged) share
// their decisions wherever they meet on the same diagonal, which is what
// makes long units affordable; units that are rotations of each other
// agree everywhere.
//
// The table is two-way set associative, a set per position, direction, unit
// length and the unit (rotated to the unit position) or, for a tracked unit,
// the first few unit letters read, and of bounded size: a point
// that is not found is worked out by the look-ahead as usual and then
// stored, replacing an entry of its set.
// Every hit is checked letter by letter (or seen to be the same letters of
// the sequence), so a collision costs time only.

#include <cstddef>
#include <cstdint>

class DecisionMemo
{
public:
  enum Choice : unsigned char { NONE = 0, MISMATCH, INSERTION, DELETION };

  DecisionMemo() = default;
  ~DecisionMemo();
  DecisionMemo(const DecisionMemo&)            = delete;
  DecisionMemo& operator=(const DecisionMemo&) = delete;

  // Prepares the table for the extensions of one record of the residues
  // begin .. begin + n; the memo stays off where it would not be exact.
  void begin_record(const char* begin, unsigned long n);

  // Prepares the walk of a record with the unit ub .. ub + k; afterwards
  // in_regime tells whether a decision with score s may use the table.
  // whole: the walk may run to the record's own end (the limits the
  // searches give), so that the table's choices hold for it.
  void begin_walk(const char* ub, unsigned int k, unsigned char recursion_depth, bool whole);
  bool in_regime(long long s) const { return walk_on_ && s >= regime_score_; }

  // The remembered choice at position e for direction dir (0 forward,
  // 1 backward) with the unit position up, or NONE.
  Choice find(int dir, const char* e, const char* up);
  // Remembers the choice the look-ahead made there, having read the unit
  // letters at offsets below reach from up (in the walk's direction; the
  // unit length k when the look-ahead was not tracked).
  //
  // Tracking costs the look-ahead a little at every node; for short units
  // the letters read mostly cover the unit anyway (and whole units are what
  // the walks in a long array share), so only units longer than
  // TRACKED_FROM are tracked.
  static const int TRACKED_FROM = 32;
  void store(int dir, const char* e, const char* up, Choice choice, unsigned long reach);

private:
  struct Entry
  {
    std::uint32_t e;      // sequence offset + 1; 0: empty
    std::uint32_t ub;     // offset of the unit of the walk that stored it
    std::uint16_t k;
    std::uint16_t phase;  // unit position - ub
    std::uint16_t reach;  // unit letters read, at most k
    std::uint8_t  dir;
    std::uint8_t  choice;
  };

  static const unsigned WAYS = 2;

  Entry* set_of(int dir, std::uint32_t e, const char* up);
  bool   same_reads(const Entry& x, const char* up) const;
  void   make_table();
  void   make_rotation_hashes();

  const char*    begin_  = nullptr;
  unsigned long  n_      = 0;
  bool           record_on_ = false;
  bool           walk_on_   = false;
  long long      regime_base_ = 0;   // L + D * c + 1 without the -k
  long long      regime_score_ = 0;
  Entry*         table_ = nullptr;
  std::size_t    mask_  = 0;
  std::size_t    capacity_ = 0;
  const char*    ub_ = nullptr;  // unit of the current walk
  unsigned int   k_  = 0;
  unsigned       lead_ = 1;  // unit letters that choose the set of a tracked unit
  std::uint64_t* rot_ = nullptr;  // hash of an untracked unit rotated to each phase
  unsigned int   rot_capacity_ = 0;
  bool           rot_ready_ = false;
};

#endif
