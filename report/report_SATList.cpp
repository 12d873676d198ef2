// STUB: replaced by the report implementation.
#include "search/CSearchController.h"

void CSearchController::report_SATList(FILE*, CsatList) {}
void CSearchController::report_seq_name(FILE*) {}
