// Speed of the gap-removing FASTA reader on a generated file of about 120 MB:
// ten records of 12 Mb in lines of 60 bases, mostly upper case with
// soft-masked (lower-case) stretches and some runs of N, as in assembled
// genomes. The file is written once to /tmp (KATREL_BENCH_FASTA overrides
// the path) and reused by later runs.

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

namespace {

std::string bench_file()
{
  const char* env = std::getenv("KATREL_BENCH_FASTA");
  return env && *env ? env : "/tmp/katrel_bench_reader.fa";
}

long long file_size(const std::string& path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

bool write_bench_file(const std::string& path)
{
  const std::string tmp = path + ".part";
  FILE* f = std::fopen(tmp.c_str(), "w");
  if (!f)
    return false;
  unsigned long long x = 88172645463325252ull;  // xorshift64
  auto next = [&x]() {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return x;
  };
  const char upper[] = "ACGT";
  const char lower[] = "acgt";
  char line[61];
  line[60] = '\n';
  for (int r = 0; r < 10; ++r) {
    std::fprintf(f, ">chr%d generated benchmark record\n", r + 1);
    for (int l = 0; l < 200000; ++l) {
      unsigned long long kind = next() % 100;  // line style: soft-masked, N run, plain
      for (int i = 0; i < 60; ++i) {
        unsigned long long v = next();
        if (kind < 10)
          line[i] = lower[v & 3];
        else if (kind < 11)
          line[i] = 'N';
        else
          line[i] = upper[v & 3];
      }
      std::fwrite(line, 1, sizeof line, f);
    }
  }
  if (std::fclose(f) != 0)
    return false;
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

void BM_read_removegaps(benchmark::State& state)
{
  const std::string path = bench_file();
  if (file_size(path) < 100000000 && !write_bench_file(path)) {
    state.SkipWithError("cannot write the benchmark FASTA file");
    return;
  }
  const long long bytes = file_size(path);

  CSequence_Mol seq;
  seq.residues.reserve(10000000);
  unsigned long long residues = 0;
  for (auto _ : state) {
    CFile in;
    in.openfile(path.c_str());
    residues = 0;
    while (!in.eof()) {
      seq.readFastaSequence_toupper_ambig2N_removegaps(in);
      if (in.fail() && !in.eof()) {
        state.SkipWithError("benchmark file rejected");
        return;
      }
      residues += seq.residues.size();
    }
    benchmark::DoNotOptimize(residues);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
  state.counters["residues"] = static_cast<double>(residues);
}

}  // namespace

BENCHMARK(BM_read_removegaps)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

BENCHMARK_MAIN();
