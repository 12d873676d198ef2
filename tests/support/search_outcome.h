#ifndef KATREL_TESTS_SEARCH_OUTCOME_H
#define KATREL_TESTS_SEARCH_OUTCOME_H

// The outcome of one search of one record, as text: every field of every
// kept record before the filters (events included), and the report after
// them. Two searches that must agree are compared through these texts.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "report/Csat.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"

namespace katrel_test {

inline std::string report_text(CSearchController& ctl, CsatContainer& sats)
{
  char*  buf  = nullptr;
  size_t size = 0;
  FILE*  os   = open_memstream(&buf, &size);
  ctl.report_SATList(os, sats.list);
  std::fclose(os);
  std::string text(buf, size);
  std::free(buf);
  return text;
}

// Every field of every record, events included (dropped ones grown back).
inline std::string records_text(CSearchController& ctl, const CsatList& list, const char* b)
{
  std::string out;
  for (Csat* r : list) {
    ctl.restore_alignment(*r);
    out += std::to_string(r->start - b) + " " + std::to_string(r->end - b) + " u" +
           std::to_string(r->unit_begin - b) + "+" + std::to_string(r->unit_length()) + " f" +
           std::to_string(r->forward_unit_pos - b) + " b" + std::to_string(r->backward_unit_pos - b) + " s" +
           std::to_string(r->score) + " " + std::to_string(r->mismatches) + "/" + std::to_string(r->insertions) +
           "/" + std::to_string(r->deletions) + "/" + std::to_string(r->Ns) + ":";
    for (const missense_entry& m : r->missense)
      out += " " + std::to_string(m.first - b) + m.second;
    out += "\n";
  }
  return out;
}

struct Outcome
{
  std::string records;  // before the filters
  std::string report;   // after them
  std::size_t dropped = 0;  // records that the search kept without their events
};

// Searches s in mode 0 (exact), 1 (exact, then extended) or 2 (direct
// imperfect search) with the shortcuts on or off, under the parameters in
// force; seq holds the record.
inline Outcome search_outcome(CSequence_Mol& seq, const std::string& s, int mode, bool shortcuts)
{
  CSearchController::search_shortcuts = shortcuts;
  seq.residues.assign(s.data(), s.data() + s.size());
  seq.name.assign("sat", "sat" + 3);
  seq.fullname.assign("sat", "sat" + 3);
  seq.count_ACGTU = static_cast<unsigned int>(s.size());
  CSearchController ctl(1, seq);
  CsatContainer*    sats = &ctl.imperfect_sats;
  if (mode == 0) {
    ctl.exact_search_2();
    sats = &ctl.exact_sats;
  } else if (mode == 1)
    ctl.search_exact_and_extend_to_imperfect_repeats();
  else
    ctl.complete_imperfect_search(stdout);
  Outcome o;
  for (const Csat* r : sats->list)
    o.dropped += r->alignment_dropped;
  o.records = records_text(ctl, sats->list, seq.residues_begin());
  // The kept records drop their events again, as after the search.
  for (Csat* r : sats->list)
    if (shortcuts && r->missense.size() >= CSearchController::long_alignment)
      r->drop_alignment();
  ctl.remove_hidden(*sats);
  if (mode != 0)
    ctl.filter_perfection(*sats);
  o.report = report_text(ctl, *sats);
  return o;
}

} // namespace katrel_test

#endif
