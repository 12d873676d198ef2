#include "driver/good-bye.h"

#include "config/global-types-and-parameters.h"
#include "config/number2cstring.h"

void good_bye(FILE* os)
{
  if (global_print_sat_mode == 2)
    std::fputs("# End tandem repeats\n", os);
  else if (global_print_sat_mode != 4)
    std::fputs("## Finished successfully. ##\n", os);
  std::fputs("\nAnalysis finished successfully.\n\n", stderr);
  std::fputs("Katrel says goodbye.\n\n", stderr);
  std::fflush(stderr);
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
