// STUB: replaced by the generated table.
#include "search/primeFactors.h"

const unsigned int primeFactors[PRIME_FACTORS_ROWS][PRIME_FACTORS_COLS] = {};
