#include "config/number2cstring.h"

#include <cstdio>

static char number[50];

const char* number2str(int i)
{
  std::snprintf(number, sizeof number, "%d", i);
  return number;
}

const char* number2str(unsigned int u)
{
  std::snprintf(number, sizeof number, "%u", u);
  return number;
}

const char* number2str(unsigned long u)
{
  std::snprintf(number, sizeof number, "%lu", u);
  return number;
}

const char* number2str(float f)
{
  std::snprintf(number, sizeof number, "%g", static_cast<double>(f));
  return number;
}

const char* number2str(double d)
{
  std::snprintf(number, sizeof number, "%lg", d);
  return number;
}
