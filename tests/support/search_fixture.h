#ifndef KATREL_TESTS_SEARCH_FIXTURE_H
#define KATREL_TESTS_SEARCH_FIXTURE_H

// A test that searches records under changing parameters: fresh parameters
// and thresholds for each test, standard error captured, and the search
// switches set back afterwards.

#include <gtest/gtest.h>

#include "config/global-types-and-parameters.h"
#include "search/CSearchController.h"
#include "sequence/CSequence_Mol.h"

namespace katrel_test {

class SearchFixture : public ::testing::Test
{
protected:
  CSequence_Mol seq;

  void SetUp() override
  {
    init_param();
    CSearchController::reset_minimum_arrays();
    testing::internal::CaptureStderr();
  }
  void TearDown() override
  {
    CSearchController::search_shortcuts = true;
    CSearchController::long_alignment   = saved_long_alignment;
    CSearchController::reset_minimum_arrays();
    testing::internal::GetCapturedStderr();
  }

  const unsigned int saved_long_alignment = CSearchController::long_alignment;
};

} // namespace katrel_test

#endif
