#include "driver/good-bye.h"

#include "config/global-types-and-parameters.h"
#include "config/number2cstring.h"

bool output_ok(FILE* os)
{
  return std::fflush(os) == 0 && !std::ferror(os);
}

void report_write_error(const char* name)
{
  std::fputs("\n\nSorry! An error occurred while writing to\n   \"", stderr);
  std::fputs(name, stderr);
  std::fputs("\"\nThe output is incomplete (is the disk full?).\n", stderr);
  std::fflush(stderr);
}

bool good_bye(FILE* os, const char* os_name)
{
  if (global_print_sat_mode == 2)
    std::fputs("# End tandem repeats\n", os);
  else if (global_print_sat_mode != 4)
    std::fputs("## Finished successfully. ##\n", os);
  if (!output_ok(os)) {
    report_write_error(os_name);
    return false;
  }
  std::fputs("\nAnalysis finished successfully.\n\n", stderr);
  std::fputs("Katrel says goodbye.\n\n", stderr);
  std::fflush(stderr);
  return true;
}

void good_bye_on_error(int code)
{
  if (code < 0) {
    if (code != -1) {
      std::fputs("\nAnalysis has been aborted due to errors. Error number: ", stderr);
      std::fputs(number2str(code), stderr);
    }
    std::fputs("\n\n", stderr);
  }
  std::fflush(stderr);
}
