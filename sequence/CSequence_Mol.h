#ifndef KATREL_CSEQUENCE_MOL_H
#define KATREL_CSEQUENCE_MOL_H

// One FASTA record, and the reader that fills it from a CFile, one record per
// call. The driver owns one CSequence_Mol for the whole run; each read
// replaces its content and keeps the storage. The residues hold only the
// upper-case letters A, C, G, T and N. Success, end of input and rejection
// are told by the CFile's flags alone; the reader prints nothing.
//
// With gaps removed, the positions of the removed '-' and '*' characters
// (0-based indices in the record as written, gaps counted, white space not)
// are kept so that reports and the masked copy can put them back.

#include <cstdio>

#include "sequence/CFile.h"
#include "sequence/fastvector.h"
#include "sequence/faststring.h"

class CSequence_Mol
{
public:
  faststring fullname;     // header line after '>', without the line end
  faststring name;         // header up to its first blank
  faststring description;  // header after the first blank and the blanks after it
  faststring residues;

  unsigned int type           = 1;  // 1: nucleotide sequence
  char         ambiguity_char = 'N';

  unsigned int count_ACGTU = 0;
  unsigned int count_N     = 0;
  unsigned int count_gaps  = 0;

  fastvector<unsigned int> gap_positions;
  fastvector<unsigned int> dash_positions;
  fastvector<unsigned int> star_positions;

  CSequence_Mol() = default;
  CSequence_Mol(const CSequence_Mol&)            = delete;
  CSequence_Mol& operator=(const CSequence_Mol&) = delete;

  // Reads the next record; gap characters and '?' become ambiguity_char.
  void readFastaSequence_toupper_ambig2N_gaps2N(CFile& infile);
  // Reads the next record; gap characters are removed and their positions kept.
  void readFastaSequence_toupper_ambig2N_removegaps(CFile& infile);

  void getLineOfDNA_toupper_ambig2N_gaps2N(CFile& infile);
  void getLineOfDNA_toupper_ambig2N_removegaps(CFile& infile, unsigned int& pos);

  void find_fastaname_and_description();

  // Writes '>' fullname and the residues with removed gaps put back, in lines
  // of `line_width` characters.
  void writeSequence_fill_in_gaps_and_stars(FILE* os, unsigned int line_width);

  // Sequence length as written in the file: residues plus removed gaps.
  unsigned long sequence_length() const { return (unsigned long)count_ACGTU + count_N + count_gaps; }
  unsigned int length() const { return residues.size(); }
  const char*  residues_begin() const { return residues.data(); }
  const char*  residues_end() const { return residues.data() + residues.size(); }
};

#endif
