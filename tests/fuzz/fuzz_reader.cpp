// libFuzzer target: one input through katrel_fuzz::run_reader_input.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
  std::string bad = katrel_fuzz::run_reader_input(data, size);
  if (!bad.empty()) {
    std::fprintf(stderr, "katrel fuzz check failed: %s\n", bad.c_str());
    std::abort();
  }
  return 0;
}
