// Remembered choices of the imperfect extension; why they are exact is
// told in decision_memo.h.

#include "search/decision_memo.h"

#include <cstdlib>
#include <cstring>

#include "config/fatal-error.h"
#include "config/global-types-and-parameters.h"
#include "search/CSearchController.h"

namespace {

const std::size_t MIN_SLOTS = std::size_t(1) << 12;
const std::size_t MAX_SLOTS = std::size_t(1) << 21;  // 16 bytes each: 32 MB

inline std::uint64_t mix(std::uint64_t x)
{
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  x *= 0xc4ceb9fe1a85ec53ULL;
  x ^= x >> 33;
  return x;
}

} // namespace

DecisionMemo::~DecisionMemo()
{
  std::free(table_);
  std::free(rot_);
}

void DecisionMemo::begin_record(const char* begin, unsigned long n)
{
  begin_    = begin;
  n_        = n;
  walk_on_  = false;
  ub_       = nullptr;
  const long long c  = -static_cast<long long>(global_mismatch_score < global_indel_score ? global_mismatch_score
                                                                                           : global_indel_score);
  const long long D  = global_maximum_recursion_depth;
  record_on_ = CSearchController::search_shortcuts && c >= 1 && c <= 1000000 && D >= 1 && D <= 255 &&
               n < 0xFFFFFFF0UL;
  regime_base_ = -static_cast<long long>(global_prefer_longer_repeat) + D * c + 1;
  if (table_)
    std::memset(table_, 0, capacity_ * sizeof(Entry));
}

void DecisionMemo::begin_walk(const char* ub, unsigned int k, unsigned char recursion_depth, bool whole)
{
  // The backward walk of a record keeps the rotations of its forward walk.
  if (ub != ub_ || k != k_) {
    ub_        = ub;
    k_         = k;
    rot_ready_ = false;
  }
  // With R >= n + k the pruning threshold of the look-ahead is -k - P for
  // every best score the sequence allows.
  const long long R = global_maximum_scorereduction;
  walk_on_ = record_on_ && whole && recursion_depth == 0 && k >= 1 && k <= 0xFFFF &&
             R >= static_cast<long long>(n_) + static_cast<long long>(k);
  regime_score_ = regime_base_ - static_cast<long long>(k);
  const unsigned long lead = static_cast<unsigned long>(global_maximum_recursion_depth) + 1;
  lead_ = static_cast<unsigned>(lead < k ? (lead < 8 ? lead : 8) : k);
}

void DecisionMemo::make_table()
{
  std::size_t slots = MIN_SLOTS;
  while (slots < 8 * n_ && slots < MAX_SLOTS)
    slots *= 2;
  table_ = static_cast<Entry*>(std::calloc(slots, sizeof(Entry)));
  if (!table_)
    katrel_failed_realloc();
  capacity_ = slots;
  mask_     = slots - 1;
}

// The set of a point: its position, direction and unit length, and for a
// unit that is not tracked (its entries hold the whole unit) the unit
// rotated to up, for a tracked one the first `lead_` unit letters from up
// in the walk's direction. Every tracked entry holds a reach of at least
// that many letters (the look-ahead is noted to read at least depth limit
// + 1 of them), so an entry that matches the current walk lies in the set
// that this walk computes.
DecisionMemo::Entry* DecisionMemo::set_of(int dir, std::uint32_t e, const char* up)
{
  std::uint64_t key = (static_cast<std::uint64_t>(e) << 1 | static_cast<std::uint64_t>(dir)) ^
                      (static_cast<std::uint64_t>(k_) << 40);
  if (k_ <= static_cast<unsigned>(TRACKED_FROM)) {
    if (!rot_ready_)
      make_rotation_hashes();
    key ^= rot_[up - ub_];
  } else {
    const char* const ue = ub_ + k_;
    const char*       u  = up;
    for (unsigned i = 0; i < lead_; ++i) {
      key = key * 0x100000001b3ULL + static_cast<unsigned char>(*u);
      if (dir == 0)
        u = u + 1 == ue ? ub_ : u + 1;
      else
        u = u == ub_ ? ue - 1 : u - 1;
    }
  }
  if (!table_)
    make_table();
  return table_ + (static_cast<std::size_t>(mix(key * 0x9e3779b97f4a7c15ULL)) & mask_ & ~std::size_t(WAYS - 1));
}

// h(phi) = sum over i < k of u[phi + i] * B^(k - 1 - i), the unit read
// cyclically from phi; one rotation follows from the one before.
void DecisionMemo::make_rotation_hashes()
{
  if (k_ > rot_capacity_) {
    std::uint64_t* p = static_cast<std::uint64_t*>(std::realloc(rot_, sizeof(std::uint64_t) * k_));
    if (!p)
      katrel_failed_realloc();
    rot_          = p;
    rot_capacity_ = k_;
  }
  const std::uint64_t B = 0x100000001b3ULL;
  std::uint64_t       h = 0, top = 1;
  for (unsigned int i = 0; i < k_; ++i) {
    h = h * B + static_cast<unsigned char>(ub_[i]);
    if (i)
      top *= B;
  }
  for (unsigned int phi = 0; phi < k_; ++phi) {
    rot_[phi] = h;
    const std::uint64_t first = static_cast<unsigned char>(ub_[phi]);
    h                         = (h - first * top) * B + first;
  }
  rot_ready_ = true;
}

// Whether the current unit, read from up in the entry's direction, has the
// letters that the entry's look-ahead read from its own unit position.
bool DecisionMemo::same_reads(const Entry& x, const char* up) const
{
  const char* const  a  = begin_ + x.ub;
  const unsigned int pa = x.phase;
  const unsigned int pb = static_cast<unsigned int>(up - ub_);
  if (a == ub_)
    return pa == pb;
  const unsigned int n = x.reach;
  if (x.dir == 0) {
    // The same letters of the sequence, read without wrapping in either unit.
    if (a + pa == up && pa + n <= k_ && pb + n <= k_)
      return true;
    unsigned int ia = pa, ib = pb;
    for (unsigned int i = 0; i < n; ++i) {
      if (a[ia] != ub_[ib])
        return false;
      ia = ia + 1 == k_ ? 0 : ia + 1;
      ib = ib + 1 == k_ ? 0 : ib + 1;
    }
    return true;
  }
  if (a + pa == up && pa + 1 >= n && pb + 1 >= n)
    return true;
  unsigned int ia = pa, ib = pb;
  for (unsigned int i = 0; i < n; ++i) {
    if (a[ia] != ub_[ib])
      return false;
    ia = ia == 0 ? k_ - 1 : ia - 1;
    ib = ib == 0 ? k_ - 1 : ib - 1;
  }
  return true;
}

DecisionMemo::Choice DecisionMemo::find(int dir, const char* e, const char* up)
{
  const std::uint32_t eo  = static_cast<std::uint32_t>(e - begin_) + 1;
  const Entry*        set = set_of(dir, eo, up);
  for (unsigned w = 0; w < WAYS; ++w) {
    const Entry& x = set[w];
    if (x.e == eo && x.dir == dir && x.k == k_ && same_reads(x, up))
      return static_cast<Choice>(x.choice);
  }
  return NONE;
}

void DecisionMemo::store(int dir, const char* e, const char* up, Choice choice, unsigned long reach)
{
  // A tracked look-ahead's reach counts the depth limit + 1 letters in any
  // case.
  if (reach < lead_)
    reach = lead_;
  const std::uint32_t eo = static_cast<std::uint32_t>(e - begin_) + 1;
  // Walks that meet on one diagonal read the same unit letter here: they go
  // to the same way, walks on other diagonals mostly to others.
  Entry& x = set_of(dir, eo, up)[static_cast<std::size_t>(up - begin_) & (WAYS - 1)];
  x.e      = eo;
  x.ub     = static_cast<std::uint32_t>(ub_ - begin_);
  x.k      = static_cast<std::uint16_t>(k_);
  x.phase  = static_cast<std::uint16_t>(up - ub_);
  x.reach  = static_cast<std::uint16_t>(reach < k_ ? reach : k_);
  x.dir    = static_cast<std::uint8_t>(dir);
  x.choice = choice;
}
