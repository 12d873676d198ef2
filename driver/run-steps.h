#ifndef KATREL_RUN_STEPS_H
#define KATREL_RUN_STEPS_H

// The steps the serial program runs on every searched record, shared with
// the fuzz harness so that it exercises exactly these.

#include <cstdio>

#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"

// Runs the search of the chosen mode and its filters; returns the container
// that holds the result to report.
CsatContainer& search_and_filter(CSearchController& controller, FILE* os);

// Overwrites the reported repeats in the residues with lower case or X.
void mask_repeats(CSequence_Mol& seq, const CsatContainer& sats);

#endif
