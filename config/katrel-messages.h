#ifndef KATREL_MESSAGES_H
#define KATREL_MESSAGES_H

// The texts of a run: the welcome banner, the creator line, the run summary
// of all parameter settings, the column legend of the output format, and the
// progress table on standard error (one line when a sequence is begun, more
// at most once a minute while it is searched).

#include <cstdio>
#include <ctime>

extern time_t time_analysis_started;
extern time_t time_next_status_report;
extern const char* welcome_str;

void PrintMessage(FILE* os, const char* text);
void general_PrintMessage(FILE* os, const char* t1);
void general_PrintMessage(FILE* os, const char* t1, const char* t2);
void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3);
void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3, const char* t4);
void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3, const char* t4, const char* t5);

void katrel_welcome(FILE* os);
void creator_message(FILE* os, const char* prefix);
void print_search_parameters(FILE* os, const char* prefix);
void print_output_format(FILE* os, const char* prefix);

// The head of the progress table ("\n\nSearch progress:\n\n..." and 72 dashes).
void print_progress_table_head(FILE* os);

void report_status(unsigned int sequence_number, const char* name, unsigned int unit_length);
// True (and re-armed for 59 s later) when a periodic progress line is due.
bool check_report_status();
void update_report_time();

#endif
