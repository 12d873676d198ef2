// STUB: replaced by the repeat filters.
#include "search/CSearchController.h"

void CSearchController::remove_hidden(CsatContainer&) {}
void CSearchController::filter_perfection(CsatContainer&) {}
