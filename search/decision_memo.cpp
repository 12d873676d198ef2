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
}

void DecisionMemo::make_rotation_hashes()
{
  if (k_ > rot_capacity_) {
    std::uint64_t* p = static_cast<std::uint64_t*>(std::realloc(rot_, sizeof(std::uint64_t) * k_));
    if (!p)
      katrel_failed_realloc();
    rot_          = p;
    rot_capacity_ = k_;
  }
  // h(phi) = sum over i < k of u[phi + i] * B^(k - 1 - i), the unit read
  // cyclically from phi; one rotation follows from the one before.
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
  if (!table_) {
    std::size_t slots = MIN_SLOTS;
    while (slots < 8 * n_ && slots < MAX_SLOTS)
      slots *= 2;
    table_ = static_cast<Entry*>(std::calloc(slots, sizeof(Entry)));
    if (!table_)
      katrel_failed_realloc();
    capacity_ = slots;
    mask_     = slots - 1;
  }
}

std::size_t DecisionMemo::slot(int dir, std::uint32_t e, std::uint64_t h) const
{
  return static_cast<std::size_t>(mix(h ^ (static_cast<std::uint64_t>(e) << 1 | static_cast<std::uint64_t>(dir)) *
                                          0x9e3779b97f4a7c15ULL)) &
         mask_;
}

// Whether the entry's unit, read cyclically from its phase, is the current
// unit read from up.
bool DecisionMemo::same_state(const Entry& x, const char* up) const
{
  if (x.k != k_)
    return false;
  const char*        a  = begin_ + x.ub;
  const unsigned int pa = x.phase;
  const unsigned int pb = static_cast<unsigned int>(up - ub_);
  if (a == ub_)
    return pa == pb;
  // Compare k letters: a[pa ..] with ub_[pb ..], both read cyclically.
  unsigned int ia = pa, ib = pb;
  for (unsigned int i = 0; i < k_; ++i) {
    if (a[ia] != ub_[ib])
      return false;
    ia = ia + 1 == k_ ? 0 : ia + 1;
    ib = ib + 1 == k_ ? 0 : ib + 1;
  }
  return true;
}

DecisionMemo::Choice DecisionMemo::find(int dir, const char* e, const char* up)
{
  if (!rot_ready_)
    make_rotation_hashes();
  const std::uint32_t eo = static_cast<std::uint32_t>(e - begin_) + 1;
  const Entry&        x  = table_[slot(dir, eo, rotation_hash(up))];
  if (x.e != eo || x.dir != dir || !same_state(x, up))
    return NONE;
  return static_cast<Choice>(x.choice);
}

void DecisionMemo::store(int dir, const char* e, const char* up, Choice choice)
{
  if (!rot_ready_)
    make_rotation_hashes();
  const std::uint32_t eo = static_cast<std::uint32_t>(e - begin_) + 1;
  Entry&              x  = table_[slot(dir, eo, rotation_hash(up))];
  x.e      = eo;
  x.ub     = static_cast<std::uint32_t>(ub_ - begin_);
  x.k      = k_;
  x.phase  = static_cast<std::uint16_t>(up - ub_);
  x.dir    = static_cast<std::uint8_t>(dir);
  x.choice = choice;
}
