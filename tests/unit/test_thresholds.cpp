// Per-unit-length score and length thresholds of the search controller.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "search/CSearchController.h"

namespace {

class Thresholds : public ::testing::Test
{
protected:
  CSequence_Mol seq;

  void SetUp() override
  {
    init_param();
    CSearchController::reset_minimum_arrays();
    seq.name.assign("s", "s" + 1);
  }
  void TearDown() override { CSearchController::reset_minimum_arrays(); }

  // Builds a controller with the current globals and returns entries 0 .. max.
  static std::vector<int> entries(int* array)
  {
    return std::vector<int>(array, array + global_max_unit_length + 1);
  }
  std::vector<int> scores()
  {
    CSearchController c(1, seq);
    return entries(CSearchController::minScores_user);
  }
  std::vector<int> lengths()
  {
    CSearchController c(1, seq);
    return entries(CSearchController::minLengths_user);
  }
};

TEST_F(Thresholds, DefaultsAndInternalArrays)
{
  CSearchController c(1, seq);
  EXPECT_EQ(CSearchController::minScores, CSearchController::minScores_user);
  EXPECT_EQ(CSearchController::minLengths, CSearchController::minLengths_user);
  EXPECT_EQ(entries(CSearchController::minScores_user), (std::vector<int>{6, 6, 6, 6, 6, 6, 6, 7, 8, 9, 10}));
  EXPECT_EQ(entries(CSearchController::minLengths_user), std::vector<int>(11, 0));
  EXPECT_EQ(entries(CSearchController::minScores_intern), (std::vector<int>{4, 4, 4, 4, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(entries(CSearchController::minLengths_intern), std::vector<int>(11, 0));
}

TEST_F(Thresholds, LinearFormulaRaisedToMinimum)
{
  global_min_score_a  = 1;
  global_min_score_bx = 0.5f;
  EXPECT_EQ(scores(), std::vector<int>(11, 6));

  CSearchController::reset_minimum_arrays();
  global_min_score = 2;
  EXPECT_EQ(scores(), (std::vector<int>{2, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}));

  // A negative sum is still raised to the minimum.
  CSearchController::reset_minimum_arrays();
  global_min_score_a  = -100;
  global_min_score_bx = 1.0f;
  global_min_score    = 3;
  EXPECT_EQ(scores(), std::vector<int>(11, 3));

  CSearchController::reset_minimum_arrays();
  global_min_length    = 5;
  global_min_length_a  = 2;
  global_min_length_bx = 1.5f;
  EXPECT_EQ(lengths(), (std::vector<int>{5, 5, 5, 7, 8, 10, 11, 13, 14, 16, 17}));
}

// The sum is rounded to single precision before it is rounded up: 10 * 0.1f
// is 1.0000000149 in double, exactly 1 in float.
TEST_F(Thresholds, SinglePrecisionSum)
{
  global_min_score    = 0;
  global_min_score_bx = 0.1f;
  EXPECT_EQ(scores()[10], 1);

  CSearchController::reset_minimum_arrays();
  global_min_score_bx = 0.3f;
  EXPECT_EQ(scores(), (std::vector<int>{0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3}));

  // 5 * 1.2f lies exactly half-way between two floats and rounds to 6;
  // without the rounding of the product the result would be 4.
  CSearchController::reset_minimum_arrays();
  global_min_score_a  = -3;
  global_min_score_bx = 1.2f;
  EXPECT_EQ(scores()[5], 3);

  CSearchController::reset_minimum_arrays();
  global_min_length    = 0;
  global_min_length_bx = 0.1f;
  EXPECT_EQ(lengths()[10], 1);
}

TEST_F(Thresholds, HugeSlopeSaturates)
{
  global_min_score_bx  = 1e20f;
  global_min_length_bx = -1e20f;
  global_min_length    = -7;
  CSearchController c(1, seq);
  EXPECT_EQ(CSearchController::minScores_user[0], 6);
  EXPECT_EQ(CSearchController::minScores_user[3], INT_MAX);
  EXPECT_EQ(CSearchController::minLengths_user[3], -7);
}

TEST_F(Thresholds, ArraysSizedForLargestUnitLength)
{
  global_max_unit_length = KATREL_MAX_UNIT_LENGTH;
  CSearchController c(1, seq);
  EXPECT_EQ(CSearchController::minScores_user[KATREL_MAX_UNIT_LENGTH], 10000);
  EXPECT_EQ(CSearchController::minScores_intern[KATREL_MAX_UNIT_LENGTH], 10000);
  EXPECT_EQ(CSearchController::minLengths_intern[KATREL_MAX_UNIT_LENGTH], 0);
}

TEST_F(Thresholds, ComputedOncePerRunAndResetOnRequest)
{
  std::vector<int> first;
  int*             first_array;
  {
    CSearchController c(1, seq);
    first       = entries(CSearchController::minScores_user);
    first_array = CSearchController::minScores_user;
    // A search may switch to the internal pair; the next controller switches back.
    CSearchController::minScores  = CSearchController::minScores_intern;
    CSearchController::minLengths = CSearchController::minLengths_intern;
  }
  global_min_score = 1;
  {
    CSearchController c(2, seq);
    EXPECT_EQ(CSearchController::minScores_user, first_array);
    EXPECT_EQ(entries(CSearchController::minScores_user), first);
    EXPECT_EQ(CSearchController::minScores, CSearchController::minScores_user);
    EXPECT_EQ(CSearchController::minLengths, CSearchController::minLengths_user);
  }

  CSearchController::reset_minimum_arrays();
  EXPECT_EQ(CSearchController::minScores_user, nullptr);
  EXPECT_EQ(CSearchController::minLengths_user, nullptr);
  EXPECT_EQ(CSearchController::minScores_intern, nullptr);
  EXPECT_EQ(CSearchController::minLengths_intern, nullptr);
  EXPECT_EQ(CSearchController::minScores, nullptr);
  EXPECT_EQ(CSearchController::minLengths, nullptr);
  EXPECT_EQ(scores()[1], 1);
}

}  // namespace
