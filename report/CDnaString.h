#ifndef KATREL_CDNASTRING_H
#define KATREL_CDNASTRING_H

// A DNA string with the operations the report needs on repeat units: the
// reverse complement and the two alphabetical normal forms (smallest cyclic
// permutation, optionally also over the reverse complement). The normal
// forms also tell whether the unit is a tandem repetition of a shorter unit.

#include "sequence/faststring.h"

class CDnaString : public faststring
{
public:
  void setToReverseComplementOf(CDnaString const& src);
  // Returns true when src is periodic.
  bool setToMinAlphaRepModCyclicPermOf(CDnaString const& src);
  bool setToMinAlphaRepModRevCompAndCyclicPermOf(CDnaString const& src);
};

// True when the unit of length L (L <= 10000) is p copies of a shorter unit
// for some prime factor p of L, found through the primeFactors table.
bool unit_is_periodic_by_prime_factors(const char* unit, unsigned int L);

#endif
