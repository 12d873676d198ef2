// Writes the training input of the profile-guided build to standard output:
// two FASTA records of pseudo-random sequence (about 55 % GC) with tandem
// repeats of unit lengths 1 to 12 planted in it, perfect and with
// mismatches, insertions and deletions, and a few short N runs. The same
// bytes every time: the generator is a fixed linear congruential one.
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::uint64_t state = 20261209;

unsigned next(unsigned n)
{
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return static_cast<unsigned>((state >> 33) % n);
}

char base()
{
  static const char GC_rich[] = "AACCCGGGTT";  // 60 % C or G
  static const char AT_rich[] = "AAACCGGTTT";  // 40 %
  static bool       gc        = true;
  if (next(2000) == 0)
    gc = !gc;
  return (gc ? GC_rich : AT_rich)[next(10)];
}

void plant(std::string& s)
{
  std::string unit;
  const unsigned k = 1 + next(12);
  for (unsigned i = 0; i < k; ++i)
    unit += "ACGT"[next(4)];
  const unsigned copies = 2 + next(12);
  const unsigned errors = next(4);  // in 100 letters
  for (unsigned c = 0; c < copies; ++c)
    for (char ch : unit) {
      const unsigned x = next(400);
      if (x < errors)
        s += "ACGT"[next(4)];
      else if (x < 2 * errors)
        s.append(1, ch).append(1, "ACGT"[next(4)]);
      else if (x >= 3 * errors)
        s += ch;
    }
}

void record(const char* name, std::size_t length)
{
  std::string s;
  while (s.size() < length) {
    const unsigned what = next(1000);
    if (what < 4)
      plant(s);
    else if (what == 4)
      s.append(1 + next(3), 'N');
    else
      s += base();
  }
  std::printf(">%s\n", name);
  for (std::size_t i = 0; i < s.size(); i += 80)
    std::printf("%.*s\n", static_cast<int>(s.size() - i < 80 ? s.size() - i : 80), s.data() + i);
}

} // namespace

int main()
{
  record("training_1", 240000);
  record("training_2", 60000);
  return 0;
}
