#include "driver/run-steps.h"

#include <cctype>

#include "config/global-types-and-parameters.h"

CsatContainer& search_and_filter(CSearchController& controller, FILE* os)
{
  switch (global_search_mode) {
    case 0:
      controller.exact_search_2();
      controller.remove_hidden(controller.exact_sats);
      return controller.exact_sats;
    case 1:
      controller.search_exact_and_extend_to_imperfect_repeats();
      break;
    default:
      controller.complete_imperfect_search(os);
      break;
  }
  controller.remove_hidden(controller.imperfect_sats);
  controller.filter_perfection(controller.imperfect_sats);
  return controller.imperfect_sats;
}

void mask_repeats(CSequence_Mol& seq, const CsatContainer& sats)
{
  char* residues = seq.residues.data();
  const char* base = seq.residues_begin();
  for (const Csat* sat : sats.list) {
    char* p = residues + (sat->start - base);
    char* e = residues + (sat->end - base);
    if (global_mask_lower)
      for (; p != e; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    else
      for (; p != e; ++p)
        *p = 'X';
  }
}
