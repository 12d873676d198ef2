#ifndef KATREL_FUZZ_ENTRY_H
#define KATREL_FUZZ_ENTRY_H

// One input of each fuzz target, shared by the libFuzzer programs and by the
// regression test that replays saved inputs in the normal build. Each entry
// returns an empty string when the input behaved, otherwise a description
// of the broken property (the fuzz programs abort on it). Crashes and
// sanitizer reports end the process before anything is returned.

#include <cstddef>
#include <cstdint>
#include <string>

namespace katrel_fuzz {

// The bytes as an input file (through a memfd, so the real open/read path is
// taken): read character by character by CFile and checked against the line
// end rules, then read to its end by both FASTA readers, whose records must
// agree with each other.
//
// A first byte 0x01 puts the rest of the input right behind the first block
// boundary (the second byte chooses the exact place); a first byte 0x02
// hands the rest through a pipe, which cannot seek (not when compressed:
// zlib opens the input again by name, which a pipe does not allow).
std::string run_reader_input(const std::uint8_t* data, std::size_t size);

// The first bytes choose the parameters of a run (all inside their valid
// ranges, put through the real command-line parser), the rest becomes a
// short FASTA file of at most a few thousand bases. The file is read, every
// record searched in the chosen mode, filtered, reported in the chosen
// format to /dev/null and masked, as the serial program does. Every global
// that a run sets is reset first.
std::string run_pipeline_input(const std::uint8_t* data, std::size_t size);

}  // namespace katrel_fuzz

#endif
