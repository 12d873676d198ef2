// STUB: replaced by the repeat record implementation.
#include "report/Csat.h"

Csat_garbagecollector sat_alloc;

void Csat::perfection_terms(long& n, long& d) const { n = d = 1; }
double Csat::perfection_double() const { return 100.0; }
float Csat::perfection_float() const { return 100.0f; }
void Csat::sort_missense() {}
void Csat::print_repeat_name(FILE*) const {}
void Csat::report_sat(FILE*, CSequence_Mol&, unsigned int&) const {}
bool lessThan_sat(const Csat* a, const Csat* b) { return a->start < b->start || (a->start == b->start && a->end < b->end); }
CBasicSatContainer::~CBasicSatContainer() { for (Csat* p : list) delete p; }
Csat* Csat_garbagecollector::get_new(const char* s, const char* e) { Csat* p = new Csat; p->init_one_copy(s, e); return p; }
CsatContainer::~CsatContainer() {}
CsatList::iterator CsatContainer::discard(CsatList::iterator it) { garbage->give_back(*it); return list.erase(it); }
