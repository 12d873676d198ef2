// STUB: replaced by the direct imperfect search.
#include "search/CSearchController.h"

void CSearchController::complete_imperfect_search(FILE*) {}
void CSearchController::unit_len_1_complete_imperfect_search(CAnchorSeq&, CsatList&) {}
void CSearchController::one_unit_len_complete_imperfect_search(unsigned int, CAnchorSeq&, CsatList&) {}
