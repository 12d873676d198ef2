#include "config/fatal-error.h"

#include <cstdio>
#include <cstdlib>

void katrel_failed_realloc()
{
  std::fflush(stdout);
  std::fputs("Program aborded due to failed realloc!\n", stderr);
  std::fflush(stderr);
  std::exit(KATREL_EXIT_ALLOCATION_FAILED);
}

void katrel_too_long()
{
  std::fflush(stdout);
  std::fputs("\n\nSorry! A sequence or header in the input file is longer than 4294967295 characters.\n"
             "Katrel cannot handle records of this size.\n\n", stderr);
  std::fflush(stderr);
  std::exit(KATREL_EXIT_TOO_LONG);
}
