// faststring and fastvector: growth, reserve, c_str and the fatal paths.

#include <gtest/gtest.h>

#include <cstring>

#include "config/fatal-error.h"
#include "sequence/faststring.h"
#include "sequence/fastvector.h"

TEST(Faststring, GrowsFromFourByDoubling)
{
  faststring s;
  EXPECT_EQ(s.capacity(), 0u);
  EXPECT_EQ(s.data(), nullptr);
  for (int i = 0; i < 4; ++i)
    s.push_back('a' + i);
  EXPECT_EQ(s.capacity(), 4u);
  s.push_back('e');
  EXPECT_EQ(s.capacity(), 8u);
  EXPECT_EQ(s.size(), 5u);
  for (int i = 0; i < 4; ++i)
    s.push_back('x');
  EXPECT_EQ(s.capacity(), 16u);
  EXPECT_EQ(std::string(s.data(), s.size()), "abcdexxxx");
}

TEST(Faststring, CStrGrowsByExactlyOne)
{
  faststring e;
  EXPECT_STREQ(e.c_str(), "");
  EXPECT_EQ(e.capacity(), 1u);
  EXPECT_EQ(e.size(), 0u);

  faststring s;
  for (char c : std::string("ACGT"))
    s.push_back(c);
  ASSERT_EQ(s.capacity(), 4u);
  EXPECT_STREQ(s.c_str(), "ACGT");
  EXPECT_EQ(s.capacity(), 5u);
  EXPECT_EQ(s.size(), 4u);
  EXPECT_STREQ(s.c_str(), "ACGT");
  EXPECT_EQ(s.capacity(), 5u) << "room for the NUL already exists";
}

TEST(Faststring, ReserveAssignClear)
{
  faststring s;
  s.reserve(10000000);
  EXPECT_EQ(s.capacity(), 10000001u);
  EXPECT_EQ(s.size(), 0u);
  s.reserve(5);
  EXPECT_EQ(s.capacity(), 10000001u);

  const char text[] = "name description";
  faststring a;
  a.assign(text, text + 4);
  EXPECT_EQ(std::string(a.data(), a.size()), "name");
  EXPECT_EQ(a.capacity(), 5u);
  a.assign(text, text);
  EXPECT_EQ(a.size(), 0u);
  EXPECT_EQ(a.capacity(), 5u);
  a.assign(text + 5, text + 16);
  EXPECT_STREQ(a.c_str(), "description");
  char* storage = a.data();
  a.clear();
  EXPECT_EQ(a.size(), 0u);
  EXPECT_EQ(a.data(), storage);
}

TEST(Fastvector, GrowsFromFourByDoubling)
{
  fastvector<unsigned int> v;
  EXPECT_EQ(v.capacity(), 0u);
  for (unsigned int i = 0; i < 4; ++i)
    v.push_back(i * 10);
  EXPECT_EQ(v.capacity(), 4u);
  unsigned int five = 40;
  v.push_back(five);
  EXPECT_EQ(v.capacity(), 8u);
  ASSERT_EQ(v.size(), 5u);
  for (unsigned int i = 0; i < 5; ++i)
    EXPECT_EQ(v[i], i * 10);
  v.clear();
  EXPECT_EQ(v.size(), 0u);
  EXPECT_EQ(v.capacity(), 8u);
}

TEST(BuffersDeathTest, SizesBeyond32BitsEndTheRun)
{
  faststring s;
  EXPECT_EXIT(s.reserve(UINT32_MAX), testing::ExitedWithCode(KATREL_EXIT_TOO_LONG), "longer than 4294967295");
}

#if !defined(__SANITIZE_ADDRESS__)
struct Huge
{
  char bytes[1 << 20];
};

TEST(BuffersDeathTest, FailedAllocationEndsTheRunOnStandardError)
{
  // 2^31 elements of 1 MiB cannot be allocated anywhere.
  fastvector<Huge> v;
  EXPECT_EXIT(v.reserve(1u << 31), testing::ExitedWithCode(KATREL_EXIT_ALLOCATION_FAILED),
              "Program aborded due to failed realloc!");
}
#endif
