// Construction and destruction of the per-sequence search controller, and
// the class-wide per-unit-length score and length thresholds.
#include "search/CSearchController.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "config/fatal-error.h"
#include "config/global-types-and-parameters.h"

bool CSearchController::search_shortcuts = true;
int* CSearchController::minScores_user    = nullptr;
int* CSearchController::minLengths_user   = nullptr;
int* CSearchController::minScores_intern  = nullptr;
int* CSearchController::minLengths_intern = nullptr;
int* CSearchController::minScores         = nullptr;
int* CSearchController::minLengths        = nullptr;

namespace {

// max(floor_value, ceil(a + bx * k)), every operation rounded to single
// precision. The product goes through a volatile so that the compiler
// cannot fuse it with the sum into one rounding (a fused multiply-add turns
// -3 + 5 * 1.2f into 3.0000002 instead of 3).
int threshold_entry(int floor_value, int a, float bx, unsigned int k)
{
  volatile float product = static_cast<float>(k) * bx;
  float          sum     = static_cast<float>(a) + product;
  float          up      = std::ceil(sum);

  int v;
  if (std::isnan(up))
    return floor_value;
  if (up >= 2147483648.0f)
    v = INT_MAX;
  else if (up < -2147483648.0f)
    v = INT_MIN;
  else
    v = static_cast<int>(up);
  return v < floor_value ? floor_value : v;
}

int* new_threshold_array()
{
  std::size_t entries = static_cast<std::size_t>(global_max_unit_length) + 1;
  int*        p       = static_cast<int*>(std::malloc(entries * sizeof(int)));
  if (!p)
    katrel_failed_realloc();
  return p;
}

}  // namespace

CSearchController::CSearchController(unsigned int n, CSequence_Mol& s)
  : sequence_number(n), sequence(s), exact_sats(&sat_alloc), imperfect_sats(&sat_alloc)
{
  decision_memo.begin_record(sequence.residues_begin(), sequence.length());
  const unsigned int max_k = global_max_unit_length;

  if (!minScores_user) {
    minScores_user = new_threshold_array();
    for (unsigned int k = 0;; ++k) {
      minScores_user[k] = threshold_entry(global_min_score, global_min_score_a, global_min_score_bx, k);
      if (k == max_k)
        break;
    }
  }
  if (!minLengths_user) {
    minLengths_user = new_threshold_array();
    for (unsigned int k = 0;; ++k) {
      minLengths_user[k] = threshold_entry(global_min_length, global_min_length_a, global_min_length_bx, k);
      if (k == max_k)
        break;
    }
  }
  if (!minScores_intern) {
    minScores_intern = new_threshold_array();
    for (unsigned int k = 0;; ++k) {
      minScores_intern[k] = static_cast<int>(k > 4u ? k : 4u);
      if (k == max_k)
        break;
    }
  }
  if (!minLengths_intern) {
    minLengths_intern = new_threshold_array();
    for (unsigned int k = 0;; ++k) {
      minLengths_intern[k] = 0;
      if (k == max_k)
        break;
    }
  }

  minScores  = minScores_user;
  minLengths = minLengths_user;
}

// imperfect_sats is declared after exact_sats, so it is destroyed first; each
// container hands its records back to the pool.
CSearchController::~CSearchController() {}

void CSearchController::reset_minimum_arrays()
{
  std::free(minScores_user);
  std::free(minLengths_user);
  std::free(minScores_intern);
  std::free(minLengths_intern);
  minScores_user    = nullptr;
  minLengths_user   = nullptr;
  minScores_intern  = nullptr;
  minLengths_intern = nullptr;
  minScores         = nullptr;
  minLengths        = nullptr;
}
