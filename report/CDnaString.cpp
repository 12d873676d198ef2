// STUB: replaced by the unit normal form implementation.
#include "report/CDnaString.h"

void CDnaString::setToReverseComplementOf(CDnaString const&) {}
bool CDnaString::setToMinAlphaRepModCyclicPermOf(CDnaString const&) { return false; }
bool CDnaString::setToMinAlphaRepModRevCompAndCyclicPermOf(CDnaString const&) { return false; }
bool unit_is_periodic_by_prime_factors(const char*, unsigned int) { return false; }
