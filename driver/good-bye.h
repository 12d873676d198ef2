#ifndef KATREL_GOOD_BYE_H
#define KATREL_GOOD_BYE_H

// Closing texts of a run, shared by both programs.

#include <cstdio>

// Writes the closing line of the output format to `os` and flushes it. When
// everything written to `os` reached its file, writes the good-bye texts to
// standard error and returns true. When a write failed, writes the failure
// message (naming `os_name`, the output file or "standard output") instead
// and returns false: the run must then end with KATREL_ERR_WRITE.
bool good_bye(FILE* os, const char* os_name);

// The aborted line for codes other than -1, then an empty line.
void good_bye_on_error(int code);

// Flushes `os` and tells whether every write to it so far succeeded.
bool output_ok(FILE* os);

// Writes the three-line message about a failed write to `name`.
void report_write_error(const char* name);

#endif
