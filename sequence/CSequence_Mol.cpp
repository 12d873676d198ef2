// STUB: replaced by the FASTA reader implementation.
#include "sequence/CSequence_Mol.h"

void CSequence_Mol::readFastaSequence_toupper_ambig2N_gaps2N(CFile& f) { f.set_fail(); }
void CSequence_Mol::readFastaSequence_toupper_ambig2N_removegaps(CFile& f) { f.set_fail(); }
void CSequence_Mol::getLineOfDNA_toupper_ambig2N_gaps2N(CFile&) {}
void CSequence_Mol::getLineOfDNA_toupper_ambig2N_removegaps(CFile&, unsigned int&) {}
void CSequence_Mol::find_fastaname_and_description() {}
void CSequence_Mol::writeSequence_fill_in_gaps_and_stars(FILE*, unsigned int) {}
