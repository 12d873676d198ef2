#ifndef KATREL_GOOD_BYE_H
#define KATREL_GOOD_BYE_H

// Closing texts of a run, shared by both programs.

#include <cstdio>

// Closing line of the output format on `os`, then the good-bye texts on
// standard error.
void good_bye(FILE* os);

// The aborted line for codes other than -1, then an empty line.
void good_bye_on_error(int code);

#endif
