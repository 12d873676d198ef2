#ifndef KATREL_CANCHORSEQ_H
#define KATREL_CANCHORSEQ_H

// The anchor marks of the direct imperfect search: one mark per sequence
// position from -1 to length, 'a' (available) or ' ' (covered by a kept
// repeat), followed by a zero byte. Marks of -1 and length stay 'a', so the
// neighbours of every residue can be read without a bounds test.

#include <cstdlib>
#include <cstring>

#include "config/fatal-error.h"
#include "report/Csat.h"

class CAnchorSeq
{
  char* marks_;  // marks_[0] is position -1

public:
  const char*  seq_begin;
  unsigned int seq_length;
  char*        mark0;  // mark of position 0

  CAnchorSeq(const char* begin, unsigned int length) : seq_begin(begin), seq_length(length)
  {
    marks_ = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 3));
    if (!marks_)
      katrel_failed_realloc();
    mark0 = marks_ + 1;
    reset();
    marks_[static_cast<std::size_t>(length) + 2] = '\0';
  }
  ~CAnchorSeq() { std::free(marks_); }
  CAnchorSeq(const CAnchorSeq&)            = delete;
  CAnchorSeq& operator=(const CAnchorSeq&) = delete;

  void reset() { std::memset(marks_, 'a', static_cast<std::size_t>(seq_length) + 2); }

  // Mark of the residue at p (p may be one before the first or one past the last residue).
  char& mark(const char* p) { return mark0[p - seq_begin]; }
  bool  available(const char* p) const { return mark0[p - seq_begin] == 'a'; }

  // Covers a kept repeat; its alignment events stay available as borders
  // for later seeds (the order of the events does not matter).
  void cover(const Csat& sat)
  {
    for (const char* q = sat.start; q != sat.end; ++q)
      mark(q) = ' ';
    for (const missense_entry& m : sat.missense)
      mark(m.first) = 'a';
  }
};

#endif
