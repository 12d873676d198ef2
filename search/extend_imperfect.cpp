// STUB: replaced by the extension alignment.
#include "search/CSearchController.h"

void CSearchController::extend_imperfect_forward(Csat&, const char*) {}
void CSearchController::extend_imperfect_backward(Csat&, const char*) {}
int CSearchController::extend_imperfect_forward_leap_ahead(const char*, const char*, const char*, const char*, int s, int, unsigned char, const char*, int) { return s; }
int CSearchController::extend_imperfect_backward_leap_ahead(const char*, const char*, const char*, const char*, int s, int, unsigned char, const char*, int) { return s; }
