// STUB: replaced by the run summary implementation.
#include "config/katrel-messages.h"

time_t time_analysis_started;
time_t time_next_status_report;
const char* welcome_str = "\n\n";

void PrintMessage(FILE* os, const char* t) { std::fputs(t, os); }
void general_PrintMessage(FILE* os, const char* t1) { std::fputs(t1, os); }
void general_PrintMessage(FILE* os, const char* t1, const char* t2) { std::fputs(t1, os); std::fputs(t2, os); }
void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3) { general_PrintMessage(os, t1, t2); std::fputs(t3, os); }
void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3, const char* t4) { general_PrintMessage(os, t1, t2, t3); std::fputs(t4, os); }
void general_PrintMessage(FILE* os, const char* t1, const char* t2, const char* t3, const char* t4, const char* t5) { general_PrintMessage(os, t1, t2, t3, t4); std::fputs(t5, os); }
void katrel_welcome(FILE* os) { std::fputs(welcome_str, os); }
void creator_message(FILE*, const char*) {}
void print_search_parameters(FILE*, const char*) {}
void print_output_format(FILE*, const char*) {}
void print_progress_table_head(FILE*) {}
void report_status(unsigned int, const char*, unsigned int) {}
bool check_report_status() { return false; }
void update_report_time() {}
