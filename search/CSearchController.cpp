// STUB: replaced by the controller implementation.
#include "search/CSearchController.h"

int* CSearchController::minScores_user = nullptr;
int* CSearchController::minLengths_user = nullptr;
int* CSearchController::minScores_intern = nullptr;
int* CSearchController::minLengths_intern = nullptr;
int* CSearchController::minScores = nullptr;
int* CSearchController::minLengths = nullptr;

CSearchController::CSearchController(unsigned int n, CSequence_Mol& s)
  : sequence_number(n), sequence(s), exact_sats(&sat_alloc), imperfect_sats(&sat_alloc) {}
CSearchController::~CSearchController() {}
void CSearchController::reset_minimum_arrays() {}
