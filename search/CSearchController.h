#ifndef KATREL_CSEARCHCONTROLLER_H
#define KATREL_CSEARCHCONTROLLER_H

// The search engine for one sequence. The driver builds one controller per
// searched record, runs the search that global_search_mode selects, the
// filters, the report, and destroys it:
//
//   mode 0: exact_search_2                               -> remove_hidden(exact_sats)
//   mode 1: search_exact_and_extend_to_imperfect_repeats -> remove_hidden, filter_perfection(imperfect_sats)
//   mode 2: complete_imperfect_search                    -> remove_hidden, filter_perfection(imperfect_sats)
//
// The per-unit-length thresholds are class-wide: computed by the first
// controller of a run from the global parameters and kept until the process
// ends. minScores/minLengths point to the pair in force (user or internal).

#include <cstdio>

#include "report/Csat.h"
#include "search/CAnchorSeq.h"
#include "search/decision_memo.h"
#include "sequence/CSequence_Mol.h"

class CSearchController
{
public:
  unsigned int   sequence_number;
  CSequence_Mol& sequence;
  CsatContainer  exact_sats;
  CsatContainer  imperfect_sats;

  // Choices of the extension remembered at decision points (search shortcut).
  DecisionMemo decision_memo;

  static int* minScores_user;
  static int* minLengths_user;
  static int* minScores_intern;
  static int* minLengths_intern;
  static int* minScores;
  static int* minLengths;

  CSearchController(unsigned int sequence_number, CSequence_Mol& sequence);
  ~CSearchController();
  CSearchController(const CSearchController&)            = delete;
  CSearchController& operator=(const CSearchController&) = delete;

  static void reset_minimum_arrays();

  // Shortcuts that reject hopeless candidates without growing them (on by
  // default). They never change a result; tests switch them off to compare.
  static bool search_shortcuts;

  // Exact search over all unit lengths in range; appends to exact_sats, sorted.
  // With grow_seeds (search mode 1) each repeat found is grown into an
  // imperfect repeat at once and kept, in imperfect_sats, only if it then
  // passes the user's thresholds; the seeds are never all held at once.
  void exact_search_2(bool grow_seeds = false);
  // Grows one seed of search mode 1; whether it passes the user's thresholds.
  bool grow_exact_seed(Csat& sat);

  // A kept record's events, once the search has used them: sorted, or
  // dropped when there are many (the report grows them again with
  // restore_alignment, which does nothing for a record that has them).
  void settle_kept(Csat& sat);
  void restore_alignment(Csat& sat);
  // Makes the record the exact seed of its unit copy again: the perfect
  // repeat that the exact search grew around it.
  void regrow_exact_seed(Csat& sat);
  // How many events make an alignment long enough to be dropped.
  static unsigned int long_alignment;

  // Imperfect extension alignment of one record.
  void extend_imperfect_forward(Csat& sat, const char* seq_end);
  void extend_imperfect_backward(Csat& sat, const char* seq_before);
  int  extend_imperfect_forward_leap_ahead(const char* pos, const char* unit_pos,
                                           const char* unit_begin, const char* unit_end,
                                           int score, int unit_length, unsigned char depth,
                                           const char* seq_end, int best);
  int  extend_imperfect_backward_leap_ahead(const char* pos, const char* unit_pos,
                                            const char* unit_begin, const char* unit_end,
                                            int score, int unit_length, unsigned char depth,
                                            const char* seq_before, int best);

  // Search mode 1: exact seeds with the internal thresholds, each extended.
  void search_exact_and_extend_to_imperfect_repeats();

  // Search mode 2: every position is a seed for every unit length.
  void complete_imperfect_search(FILE* os);
  void unit_len_1_complete_imperfect_search(CAnchorSeq& anchors, CsatList& result);
  void one_unit_len_complete_imperfect_search(unsigned int unit_length, CAnchorSeq& anchors, CsatList& result);
  // Whether the seed bound of the direct search proves, without growing
  // it, that the seed of unit length k at position s (no N in it) cannot
  // reach the score T. Tests hold it against the grown seed's score.
  bool seed_bound_rejects(unsigned int k, unsigned long s, long T);

  // Whether a grown record passes the thresholds in force for unit length k.
  static bool passes_thresholds(const Csat& sat, unsigned int k)
  {
    return sat.score >= minScores[k] && sat.normalized_length() >= static_cast<long>(minLengths[k]);
  }

  // The passes of unit lengths k_first .. global_max_unit_length (k_first
  // >= 2) of the direct search with global_threads threads, after the pass
  // of unit length 1 if unit_length_1 is set: the seed bound is worked out
  // for blocks of seeds ahead by all threads, and this thread goes through
  // the seeds in order, exactly as the one-thread passes do.
  void threaded_passes(unsigned int k_first, bool unit_length_1, CAnchorSeq& anchors, CsatList& result);
  // Seeds per block of the threaded passes; records shorter than two
  // blocks are searched on one thread.
  static long thread_block;
  // Grows the seed s .. s + k in the record in hand (taking one from the
  // pool if there is none) and keeps it if it passes the thresholds:
  // covers it in the marks and appends it to the result.
  void grow_and_keep(Csat*& in_hand, const char* s, unsigned int k, CAnchorSeq& anchors, CsatList& result);

  // Filters.
  void remove_hidden(CsatContainer& sats);
  void filter_perfection(CsatContainer& sats);

  // Report: header, one entry per record of the list, footer.
  void report_SATList(FILE* os, CsatList sats);
  void report_seq_name(FILE* os);
};

#endif
