// STUB: replaced by the exact search.
#include "search/CSearchController.h"

void CSearchController::exact_search_2() {}
