#include "report/Csat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <new>

#include "config/fatal-error.h"
#include "config/global-types-and-parameters.h"
#include "report/CDnaString.h"
#include "search/primeFactors.h"

Csat_garbagecollector sat_alloc;

const char* const REPEAT_NAMES[7] = {
  "***  ERROR  ***", "mononucleotide",  "dinucleotide",  "trinucleotide",
  "tetranucleotide", "pentanucleotide", "hexanucleotide",
};

// ---------------------------------------------------------------------------
// Derived quantities and orders

void Csat::perfection_terms(long& numerator, long& denominator) const
{
  const long nl     = normalized_length();
  const long errors = static_cast<long>(mismatches) + static_cast<long>(insertions) +
                      static_cast<long>(deletions);
  switch (global_N_and_perfection_mode) {
    case 0:  // N counts as a mismatch
      numerator   = nl - errors - static_cast<long>(Ns);
      denominator = nl;
      break;
    case 1:  // N is neutral
      numerator   = nl - errors - static_cast<long>(Ns);
      denominator = nl - static_cast<long>(Ns);
      break;
    case 2:  // N counts as a match
      numerator   = nl - errors;
      denominator = nl;
      break;
    default:
      std::exit(2);
  }
}

double Csat::perfection_double() const
{
  long n, d;
  perfection_terms(n, d);
  return 100.0 * static_cast<double>(n) / static_cast<double>(d);
}

float Csat::perfection_float() const
{
  long n, d;
  perfection_terms(n, d);
  float p = static_cast<float>(n) / static_cast<float>(d) * 100.0f;
  return p;
}

void Csat::sort_missense()
{
  std::sort(missense.begin(), missense.end(), lessThan_missense);
}

void Csat::print_repeat_name(FILE* os) const
{
  const unsigned int k = unit_length();
  if (k < 7)
    std::fprintf(os, "%16s", REPEAT_NAMES[k]);
  else
    std::fprintf(os, "%5u-nucleotide", k);
}

bool lessThan_sat(const Csat* a, const Csat* b)
{
  const std::uintptr_t as = reinterpret_cast<std::uintptr_t>(a->start);
  const std::uintptr_t bs = reinterpret_cast<std::uintptr_t>(b->start);
  if (as != bs)
    return as < bs;
  return reinterpret_cast<std::uintptr_t>(a->end) < reinterpret_cast<std::uintptr_t>(b->end);
}

// ---------------------------------------------------------------------------
// Containers and the pool

CBasicSatContainer::~CBasicSatContainer()
{
  for (Csat* p : list)
    delete p;
}

Csat* Csat_garbagecollector::get_new(const char* s, const char* e)
{
  Csat* p;
  if (list.empty()) {
    p = new (std::nothrow) Csat;
    if (!p)
      katrel_failed_realloc();
  } else {
    p = list.back();
    list.pop_back();
  }
  p->init_one_copy(s, e);
  return p;
}

CsatContainer::~CsatContainer()
{
  if (garbage)
    garbage->list.splice(garbage->list.end(), list);
}

CsatList::iterator CsatContainer::discard(CsatList::iterator it)
{
  CsatList::iterator next = std::next(it);
  if (garbage) {
    garbage->list.splice(garbage->list.end(), list, it);
  } else {
    delete *it;
    list.erase(it);
  }
  return next;
}

// ---------------------------------------------------------------------------
// Report of one record

namespace {

// Scratch strings of the report, kept from record to record so that the
// report allocates only while they still grow.
struct ReportScratch
{
  CDnaString unit;
  CDnaString normal_form;
  faststring seq_line;
  faststring match_line;
  faststring unit_line;
};

ReportScratch& scratch()
{
  static ReportScratch s;
  return s;
}

inline void put_chars(FILE* os, const char* b, const char* e)
{
  if (e > b)
    std::fwrite(b, 1, static_cast<std::size_t>(e - b), os);
}

inline void append3(faststring& a, char ca, faststring& b, char cb, faststring& c, char cc)
{
  a.push_back(ca);
  b.push_back(cb);
  c.push_back(cc);
}

} // namespace

void Csat::report_sat(FILE* os, CSequence_Mol& seq, unsigned int& gap_index) const
{
  // 1. Perfection range, in single precision, both limits inclusive.
  const float perfection = perfection_float();
  if (perfection < global_min_perfection || perfection > global_max_perfection)
    return;

  // 2. Unit text; a unit that is a tandem repetition of a shorter one is not reported.
  ReportScratch& sc = scratch();
  sc.unit.assign(unit_begin, unit_end);
  const unsigned int k        = unit_length();
  bool               periodic = false;
  CDnaString*        unit_txt = &sc.unit;
  if (global_report_unit_mode == 0) {
    periodic = unit_is_periodic_by_prime_factors(unit_begin, k);
  } else if (global_report_unit_mode == 1) {
    periodic = sc.normal_form.setToMinAlphaRepModCyclicPermOf(sc.unit);
    unit_txt = &sc.normal_form;
  } else {
    periodic = sc.normal_form.setToMinAlphaRepModRevCompAndCyclicPermOf(sc.unit);
    unit_txt = &sc.normal_form;
  }
  if (periodic)
    return;
  const char* unit_str = unit_txt->c_str();

  // 3. Positions in the coordinates of the file, removed gaps counted back in.
  const char*                     res_begin = seq.residues_begin();
  const char*                     res_end   = seq.residues_end();
  const fastvector<unsigned int>& g         = seq.gap_positions;
  const unsigned int              n         = g.size();

  unsigned long pos_start = gap_index + static_cast<unsigned long>(start - res_begin) + 1;
  while (gap_index < n && pos_start > g[gap_index]) {
    ++gap_index;
    ++pos_start;
  }
  unsigned int  gk      = gap_index;
  unsigned long pos_end = static_cast<unsigned long>(end - res_begin) + gk;
  while (gk < n && pos_end > g[gk]) {
    ++gk;
    ++pos_end;
  }

  const unsigned long len      = length();
  const long          norm_len = normalized_length();

  // Flanks: up to global_flanking characters on either side, cut at the sequence ends.
  const unsigned long flank = global_flanking > 0 ? static_cast<unsigned long>(global_flanking) : 0;
  const char* left  = start - std::min(flank, static_cast<unsigned long>(start - res_begin));
  const char* right = end + std::min(flank, static_cast<unsigned long>(res_end - end));

  // 4. The entry.
  switch (global_print_sat_mode) {
    case 0:
      print_repeat_name(os);
      std::fprintf(os, " %9lu : %9lu | %6lu bp | %6ld BP | %6d pt | %7.3f %% | unit %s\n", pos_start,
                   pos_end, len, norm_len, score, perfection, unit_str);
      break;

    case 1:
      print_repeat_name(os);
      std::fprintf(os,
                   " %9lu : %9lu | %6lu bp | %6ld BP | %6d pt | %7.3f %% | %3u mis | %3u ins | %3u del | ",
                   pos_start, pos_end, len, norm_len, score, perfection, mismatches, insertions,
                   deletions);
      if (!global_treat_Ns_as_missense)
        std::fprintf(os, "%3u N | ", Ns);
      std::fprintf(os, " unit %s\n", unit_str);
      std::fputs("Missense: ", os);
      for (const missense_entry& m : missense)
        std::fprintf(os, "(%ld,%c),", static_cast<long>(m.first - start) + 1, m.second);
      std::fputc('\n', os);
      break;

    case 2:
      if (k <= 50)
        std::fprintf(os,
                     "%s\tKatrel\ttandem-repeat\t%lu\t%lu\t%.2f\t.\t.\tName=\"repeat_region %lu-%lu "
                     "unit_size %u repeat_number %.3f perfection %.3f unit %s\"\n",
                     seq.name.c_str(), pos_start, pos_end, perfection, pos_start, pos_end, k,
                     repeat_number(), perfection, unit_str);
      else
        std::fprintf(os,
                     "%s\tKatrel\ttandem-repeat\t%lu\t%lu\t%.2f\t.\t.\tName=\"repeat_region %lu-%lu "
                     "unit_size %u repeat_number %.3f perfection %.3f unit .\"\n",
                     seq.name.c_str(), pos_start, pos_end, perfection, pos_start, pos_end, k,
                     repeat_number(), perfection);
      return;

    case 3:
      std::fprintf(os, "%s\t%u\t%.3f\t%lu\t%lu\t%lu\t%7.3f\t%d\t%u\t%u\t%u", seq.name.c_str(), k,
                   perfection, pos_start, pos_end, len, repeat_number(), score, mismatches,
                   insertions, deletions);
      if (global_treat_Ns_as_missense)
        std::fputs("\t.", os);
      else
        std::fprintf(os, "\t%u", Ns);
      std::fprintf(os, "\t%s\t", unit_str);
      put_chars(os, start, end);
      if (flank != 0) {
        std::fputc('\t', os);
        put_chars(os, left, start);
        std::fputc('\t', os);
        put_chars(os, end, right);
      }
      std::fputc('\n', os);
      return;

    case 4:
      std::fprintf(os, ">%s %lu %lu %u %lu %lu %.3f %d %.3f %u %u %u\n", seq.name.c_str(), pos_start,
                   pos_end, k, pos_start, pos_end, repeat_number(), score, perfection, mismatches,
                   insertions, deletions);
      put_chars(os, left, right);
      std::fputc('\n', os);
      return;

    default:
      return;
  }

  // 5. Formats 0 and 1: the repeat's sequence or its alignment.
  if (global_print_sat_seq_mode == 1) {
    if (flank == 0) {
      put_chars(os, start, end);
      std::fputc('\n', os);
    } else {
      put_chars(os, left, start);
      std::fputc(':', os);
      put_chars(os, start, end);
      std::fputc(':', os);
      put_chars(os, end, right);
      std::fputc('\n', os);
    }
  } else if (global_print_sat_seq_mode == 2) {
    faststring& sl = sc.seq_line;
    faststring& ml = sc.match_line;
    faststring& ul = sc.unit_line;
    sl.clear();
    ml.clear();
    ul.clear();
    const unsigned long room = static_cast<unsigned long>(insertions) + deletions + 2 * flank + len + 2;
    if (room < UINT32_MAX) {
      sl.reserve(static_cast<unsigned int>(room));
      ml.reserve(static_cast<unsigned int>(room));
      ul.reserve(static_cast<unsigned int>(room));
    }

    if (flank != 0) {
      for (const char* p = left; p < start; ++p)
        append3(sl, *p, ml, ' ', ul, ' ');
      append3(sl, ':', ml, ' ', ul, ' ');
    }

    const char* s = start;
    const char* u = backward_unit_pos + 1;
    if (u == unit_end)
      u = unit_begin;
    const missense_entry* ev     = missense.begin();
    const missense_entry* ev_end = missense.end();

    while (s < end) {
      // Events before the cursor cannot occur in a sorted list of a grown
      // record; skipping them keeps the walk going if one ever does.
      while (ev != ev_end && ev->first < s)
        ++ev;
      if (ev != ev_end && ev->first == s) {
        switch (ev->second) {
          case 'M':
            append3(sl, *s, ml, ' ', ul, *u);
            ++s;
            if (++u == unit_end)
              u = unit_begin;
            break;
          case 'I':
            append3(sl, *s, ml, ' ', ul, '-');
            ++s;
            break;
          case 'D':
            append3(sl, '-', ml, ' ', ul, *u);
            if (++u == unit_end)
              u = unit_begin;
            break;
          default:
            break;
        }
        ++ev;
      } else {
        append3(sl, *s, ml, *s == 'N' ? '*' : '|', ul, *u);
        ++s;
        if (++u == unit_end)
          u = unit_begin;
      }
    }

    if (flank != 0) {
      append3(sl, ':', ml, ' ', ul, ' ');
      for (const char* p = end; p < right; ++p)
        append3(sl, *p, ml, ' ', ul, ' ');
    }

    put_chars(os, sl.begin(), sl.end());
    std::fputc('\n', os);
    put_chars(os, ml.begin(), ml.end());
    std::fputc('\n', os);
    put_chars(os, ul.begin(), ul.end());
    std::fputc('\n', os);
  }
}
