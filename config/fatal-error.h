#ifndef KATREL_FATAL_ERROR_H
#define KATREL_FATAL_ERROR_H

// Ends the program at once when memory runs out or a size would overflow.
// The messages go to standard error, since standard output may carry the
// report, and the exit status is never 0.

// Exit status of a run that ran out of memory.
constexpr int KATREL_EXIT_ALLOCATION_FAILED = 251;
// Exit status of a run that met a record too long for 32-bit counters.
constexpr int KATREL_EXIT_TOO_LONG          = 250;

// Writes "Program aborded due to failed realloc!" and exits.
[[noreturn]] void katrel_failed_realloc();

// Writes a message that a sequence or text is longer than 4294967295
// characters and exits.
[[noreturn]] void katrel_too_long();

#endif
