#ifndef KATREL_CSAT_H
#define KATREL_CSAT_H

// One tandem repeat found in a sequence, and the lists and the pool that
// hold repeat records.
//
// All positions are pointers into the residues of the sequence being
// searched; the unit is the stretch unit_begin .. unit_end of the sequence
// itself, never a copy. Records are never freed while the program runs: a
// record no longer wanted goes to the program-wide pool `sat_alloc`, which
// hands it out again (with its missense buffer) on the next `get_new`.

#include <cstdio>
#include <list>

#include "sequence/CSequence_Mol.h"
#include "sequence/fastvector.h"

// One alignment event: the position in the sequence and 'M' (mismatch),
// 'I' (insertion) or 'D' (deletion, the missing unit character belongs
// before the position).
struct missense_entry
{
  const char* first;
  char        second;
};

class Csat
{
public:
  const char*   start;
  const char*   end;
  const char*   forward_unit_pos;   // unit character that the character at end must match
  const char*   backward_unit_pos;  // unit character that the character before start must match
  const char*   unit_begin;
  const char*   unit_end;
  int           score;
  unsigned int  mismatches;
  unsigned int  insertions;
  unsigned int  deletions;
  unsigned int  Ns;
  unsigned char recursion_depth;
  fastvector<missense_entry> missense;

  // A kept record with a long alignment may drop its missense list once
  // the search no longer needs it (alignment_dropped); growing its seed
  // again gives the same list back for the report, since the extension
  // depends on nothing but the seed, the sequence and the parameters. The
  // seed is the unit copy unit_begin .. unit_end, grown into the perfect
  // repeat around it first when the record came from an exact seed.
  bool alignment_dropped = false;
  bool from_exact_seed   = false;

  Csat() = default;
  Csat(const Csat&)            = delete;
  Csat& operator=(const Csat&) = delete;

  // Re-initialises the record as one unit copy s .. e (the pool's step 3);
  // the missense list is emptied, its buffer kept.
  void init_one_copy(const char* s, const char* e)
  {
    start = unit_begin = forward_unit_pos = s;
    end = unit_end = e;
    backward_unit_pos = e - 1;
    score = 0;
    mismatches = insertions = deletions = Ns = 0;
    recursion_depth = 0;
    missense.clear();
    alignment_dropped = false;
    from_exact_seed   = false;
  }
  // Frees the missense list; the counts and the span stay.
  void drop_alignment()
  {
    missense.release();
    alignment_dropped = true;
  }

  // Steps the ends of a grown record in over accepted Ns, so that it neither
  // begins nor ends with N. Accepted Ns score 0: the score is unchanged.
  void trim_Ns()
  {
    while (end != start && end[-1] == 'N') {
      --end;
      forward_unit_pos = forward_unit_pos == unit_begin ? unit_end - 1 : forward_unit_pos - 1;
      --Ns;
    }
    while (start != end && *start == 'N') {
      ++start;
      backward_unit_pos = backward_unit_pos == unit_end - 1 ? unit_begin : backward_unit_pos + 1;
      --Ns;
    }
  }

  unsigned long length() const { return static_cast<unsigned long>(end - start); }
  unsigned int  unit_length() const { return static_cast<unsigned int>(unit_end - unit_begin); }
  long normalized_length() const
  {
    return static_cast<long>(end - start) - static_cast<long>(insertions) + static_cast<long>(deletions);
  }
  float repeat_number() const
  {
    return static_cast<float>(normalized_length()) / static_cast<float>(unit_length());
  }

  // Numerator and denominator of the perfection under global_N_and_perfection_mode;
  // an unknown mode ends the program with exit code 2.
  void perfection_terms(long& numerator, long& denominator) const;
  // 100 * numerator / denominator in double precision.
  double perfection_double() const;
  // The same value as the report computes it, in single precision.
  float perfection_float() const;

  static bool lessThan_missense(const missense_entry& a, const missense_entry& b)
  {
    if (a.first != b.first)
      return a.first < b.first;
    return static_cast<signed char>(a.second) < static_cast<signed char>(b.second);
  }

  void sort_missense();

  // Prints the unit-length class name ("    dinucleotide", "    8-nucleotide").
  void print_repeat_name(FILE* os) const;

  // Prints this record in the current output format; gap_index carries the
  // position correction from one record to the next of a sequence.
  void report_sat(FILE* os, CSequence_Mol& seq, unsigned int& gap_index) const;
};

bool lessThan_sat(const Csat* a, const Csat* b);

// Names of the unit-length classes 0 .. 6, printed by print_repeat_name.
extern const char* const REPEAT_NAMES[7];

typedef std::list<Csat*> CsatList;

// A list of records that it owns; the destructor deletes what is left.
class CBasicSatContainer
{
public:
  CsatList list;

  CBasicSatContainer() = default;
  CBasicSatContainer(const CBasicSatContainer&)            = delete;
  CBasicSatContainer& operator=(const CBasicSatContainer&) = delete;
  ~CBasicSatContainer();

  // Stable merge sort by start, then end.
  void sort() { list.sort(lessThan_sat); }
  std::size_t size() const { return list.size(); }
  bool empty() const { return list.empty(); }
};

// The pool of free records; a stack: the record returned last is handed out first.
class Csat_garbagecollector : public CBasicSatContainer
{
public:
  Csat* get_new(const char* s, const char* e);
  void  give_back(Csat* p) { list.push_back(p); }
};

// A container whose discarded records go to a pool.
class CsatContainer : public CBasicSatContainer
{
public:
  Csat_garbagecollector* garbage = nullptr;

  explicit CsatContainer(Csat_garbagecollector* gc) : garbage(gc) {}
  ~CsatContainer();

  // Unlinks the record at `it`, appends it to the pool and returns the
  // iterator to the record after it.
  CsatList::iterator discard(CsatList::iterator it);
};

extern Csat_garbagecollector sat_alloc;

#endif
