// The two fuzzed entries. Both go through real files (a memfd reached by its
// /proc path, or a pipe), so that CFile opens and reads exactly as it does
// for a file named on the command line.

#include "tests/fuzz/fuzz_entry.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "config/global-types-and-parameters.h"
#include "config/katrel-messages.h"
#include "driver/run-steps.h"
#include "search/CSearchController.h"
#include "sequence/CFile.h"
#include "sequence/CSequence_Mol.h"

namespace katrel_fuzz {
namespace {

// A file in memory, rewritten for every input and opened by name.
class MemFile
{
  int         fd_ = -1;
  std::string path_;

public:
  MemFile()
  {
    fd_ = memfd_create("katrel_fuzz", 0);
    if (fd_ < 0) {
      std::perror("memfd_create");
      std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemFile() { close(fd_); }
  MemFile(const MemFile&)            = delete;
  MemFile& operator=(const MemFile&) = delete;

  const char* set(const std::string& content)
  {
    if (ftruncate(fd_, 0) != 0)
      std::abort();
    std::size_t done = 0;
    while (done < content.size()) {
      ssize_t n = pwrite(fd_, content.data() + done, content.size() - done, static_cast<off_t>(done));
      if (n <= 0)
        std::abort();
      done += static_cast<std::size_t>(n);
    }
    return path_.c_str();
  }
};

MemFile& mem_file()
{
  static MemFile file;
  return file;
}

// One CFile for every read, as a run has one: opening it again must start
// afresh. (Its block is also too large to allocate for every input.)
CFile& shared_file()
{
  static CFile file;
  return file;
}

// A pipe that holds the whole input before it is opened by name. Opening a
// pipe for reading does not block while a writer exists, so the write end
// stays open until CFile has opened the read side (which also reads ahead),
// and is closed right after: the reads then meet the end of input.
class PipeFeeder
{
  int         fds_[2] = {-1, -1};
  std::string path_;

public:
  // Inputs of at most 60,000 bytes fit into the pipe's buffer.
  static constexpr std::size_t max_size = 60000;

  explicit PipeFeeder(const std::string& content)
  {
    if (pipe(fds_) != 0)
      std::abort();
    std::size_t done = 0;
    const std::size_t n = content.size() < max_size ? content.size() : max_size;
    while (done < n) {
      ssize_t w = write(fds_[1], content.data() + done, n - done);
      if (w <= 0)
        std::abort();
      done += static_cast<std::size_t>(w);
    }
    path_ = "/proc/self/fd/" + std::to_string(fds_[0]);
  }
  ~PipeFeeder()
  {
    close_writer();
    close(fds_[0]);
  }
  PipeFeeder(const PipeFeeder&)            = delete;
  PipeFeeder& operator=(const PipeFeeder&) = delete;

  const char* path() const { return path_.c_str(); }
  void        close_writer()
  {
    if (fds_[1] >= 0)
      close(fds_[1]);
    fds_[1] = -1;
  }
};

// Called right after a CFile has opened its input.
struct AfterOpen
{
  PipeFeeder* pipe = nullptr;
  void        operator()() const
  {
    if (pipe)
      pipe->close_writer();
  }
};

std::string at(const char* what, std::size_t i)
{
  return std::string(what) + " at character " + std::to_string(i);
}

// What getchar must hand out for `raw`: CR LF and a lone CR both become LF.
std::string normalised(const std::string& raw)
{
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r') {
      out += '\n';
      if (i + 1 < raw.size() && raw[i + 1] == '\n')
        ++i;
    } else {
      out += raw[i];
    }
  }
  return out;
}

// Reads the file character by character, with pushbacks and peeks chosen by
// the characters themselves, and compares with the expected characters and
// line numbers.
std::string check_characters(const char* path, const std::string& raw, AfterOpen opened = {})
{
  const bool  gzip     = raw.size() >= 2 && raw[0] == '\x1f' && raw[1] == '\x8b';
  std::string expected = normalised(raw);
  CFile&      f        = shared_file();
  f.openfile(path);
  opened();
  if (f.fail())
    return "the input could not be opened";

  // A CR as the very last byte is handed out as LF together with the end
  // of input (fail and eof already set).
  const bool   cr_at_end = !gzip && !raw.empty() && raw.back() == '\r';
  std::size_t  i         = 0;
  unsigned int line      = 1;
  for (;;) {
    char c = f.getchar();
    if (f.fail()) {
      if (cr_at_end && i + 1 == expected.size()) {
        if (c != '\n' || f.line() != line + 1)
          return at("a CR at the end of input was not handed out as LF", i);
        ++i;
      }
      break;
    }
    if (gzip) {  // only the rules that do not depend on the decompressed text
      if (c == '\r')
        return at("getchar handed out a CR", i);
      ++i;
      continue;
    }
    if (i >= expected.size())
      return at("getchar handed out more than the file holds", i);
    if (c != expected[i])
      return at("getchar handed out a wrong character", i);
    ++i;
    if (c == '\n')
      ++line;
    if (f.line() != line)
      return at("wrong line number after getchar", i);

    switch (static_cast<unsigned char>(c) % 5) {
      case 0: {
        f.ungetchar();
        if (f.fail())
          return at("pushback after a character failed", i);
        if (f.line() != line - (c == '\n'))
          return at("wrong line number after a pushback", i);
        char again = f.getchar();
        if (f.fail() || again != c)
          return at("the pushed-back character came back differently", i);
        if (f.line() != line)
          return at("wrong line number after reading a pushback again", i);
        break;
      }
      case 1: {
        char p = f.peekchar();
        if (f.fail() && cr_at_end && i + 1 == expected.size()) {
          if (p != '\n')
            return at("peek at a CR at the end of input did not give LF", i);
          return f.eof() ? "" : at("peek at a CR at the end of input did not set eof", i);
        }
        if (f.fail()) {
          if (i != expected.size())
            return at("peek failed before the end", i);
          if (!f.eof())
            return at("peek at the end did not set eof", i);
          // The end of input is final: nothing more may come.
          f.getchar();
          if (!f.fail())
            return at("a character after the end of input", i);
        } else if (p != expected[i] || f.line() != line) {
          return at("peek differs from the next character", i);
        }
        break;
      }
      default:
        break;
    }
  }
  if (!f.eof())
    return at("input stopped without eof", i);
  if (!gzip) {
    if (i != expected.size())
      return at("input ended early", i);
    if (f.read_error())
      return "read error on an in-memory file";
  }
  return "";
}

struct Record
{
  std::string fullname, name, description, residues, written;
  unsigned    acgtu = 0, n = 0, gaps = 0;
};

struct ReadResult
{
  std::vector<Record> records;
  bool                rejected   = false;
  bool                read_error = false;
  unsigned int        line       = 0;
};

std::string as_string(const faststring& s) { return std::string(s.data(), s.size()); }

// The masked writer's output for `seq`, without the header line.
std::string written_sequence(CSequence_Mol& seq, unsigned int width)
{
  char*       buf = nullptr;
  std::size_t len = 0;
  FILE*       os  = open_memstream(&buf, &len);
  if (!os)
    std::abort();
  seq.writeSequence_fill_in_gaps_and_stars(os, width);
  std::fclose(os);
  std::string out(buf, len);
  std::free(buf);
  std::size_t head = seq.fullname.size() + 2;
  return out.size() >= head ? out.substr(head) : std::string();
}

// Properties of a record that hold whichever reader filled it.
std::string check_record(CSequence_Mol& seq, bool removed_gaps)
{
  const unsigned size = seq.residues.size();
  for (unsigned i = 0; i < size; ++i) {
    char c = seq.residues[i];
    if (c != 'A' && c != 'C' && c != 'G' && c != 'T' && c != 'N')
      return "a residue other than A, C, G, T, N";
  }
  if (seq.count_ACGTU + seq.count_N != size)
    return "base and N counts do not add up to the length";
  if (seq.count_gaps != seq.gap_positions.size() ||
      seq.gap_positions.size() != seq.dash_positions.size() + seq.star_positions.size())
    return "gap counts disagree";
  if (!removed_gaps && seq.count_gaps != 0)
    return "gaps counted while gaps are read as N";
  for (unsigned i = 0; i < seq.gap_positions.size(); ++i) {
    if (seq.gap_positions[i] >= seq.sequence_length())
      return "a gap position beyond the record";
    if (i && seq.gap_positions[i] <= seq.gap_positions[i - 1])
      return "gap positions not increasing";
  }
  std::string name = as_string(seq.name);
  std::string full = as_string(seq.fullname);
  if (name.find(' ') != std::string::npos || full.compare(0, name.size(), name) != 0)
    return "name is not the header up to its first blank";
  return "";
}

std::string read_all(const char* path, bool remove_gaps, ReadResult& out, AfterOpen opened = {})
{
  CFile& f = shared_file();
  f.openfile(path);
  opened();
  if (f.fail())
    return "the input could not be opened";
  CSequence_Mol seq;
  while (!f.eof()) {
    if (remove_gaps)
      seq.readFastaSequence_toupper_ambig2N_removegaps(f);
    else
      seq.readFastaSequence_toupper_ambig2N_gaps2N(f);
    if (f.read_error()) {
      out.read_error = true;
      break;
    }
    if (f.fail() && !f.eof()) {
      out.rejected = true;
      break;
    }
    std::string bad = check_record(seq, remove_gaps);
    if (!bad.empty())
      return bad + " in record " + std::to_string(out.records.size() + 1);
    Record r;
    r.fullname    = as_string(seq.fullname);
    r.name        = as_string(seq.name);
    r.description = as_string(seq.description);
    r.residues    = as_string(seq.residues);
    r.acgtu       = seq.count_ACGTU;
    r.n           = seq.count_N;
    r.gaps        = seq.count_gaps;
    r.written     = written_sequence(seq, 0);
    // Lines of 7: the same characters, cut into lines (short records only,
    // to keep the inputs with a full block fast).
    std::string lines = r.written.size() < 10000 ? written_sequence(seq, 7) : std::string(), joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i] != '\n')
        joined += lines[i];
      else if ((i + 1) % 8 != 0 && i + 1 != lines.size())
        return "masked writer line of the wrong width";
    }
    std::string one_line = r.written.empty() ? r.written : r.written.substr(0, r.written.size() - 1);
    if (!lines.empty() && joined != one_line)
      return "masked writer output depends on the line width";
    out.records.push_back(r);
  }
  out.line = f.line();
  return "";
}

// Both readers must see the same records; gaps read as N in one are the
// removed gaps the other's writer puts back.
std::string compare_readers(const char* path)
{
  ReadResult as_n, removed;
  std::string bad = read_all(path, false, as_n);
  if (!bad.empty())
    return "gaps-to-N reader: " + bad;
  bad = read_all(path, true, removed);
  if (!bad.empty())
    return "gap-removing reader: " + bad;
  if (as_n.records.size() != removed.records.size() || as_n.rejected != removed.rejected ||
      as_n.read_error != removed.read_error || as_n.line != removed.line)
    return "the readers end differently";
  for (std::size_t i = 0; i < as_n.records.size(); ++i) {
    const Record& a = as_n.records[i];
    const Record& b = removed.records[i];
    std::string   rec = " in record " + std::to_string(i + 1);
    if (a.fullname != b.fullname || a.name != b.name || a.description != b.description)
      return "headers differ" + rec;
    if (a.acgtu != b.acgtu || a.n != b.n + b.gaps)
      return "counts differ" + rec;
    std::string filled = b.written;
    if (!filled.empty())
      filled.pop_back();
    for (char& c : filled)
      if (c == '-' || c == '*')
        c = 'N';
    if (filled != a.residues)
      return "residues differ" + rec;
    if (!a.written.empty() && a.written != a.residues + "\n")
      return "masked writer changed a record without gaps" + rec;
  }
  return "";
}

// ---------------------------------------------------------------------------
// The whole run.

FILE* null_output()
{
  static FILE* os = std::fopen("/dev/null", "w");
  if (!os)
    std::abort();
  return os;
}

std::string check_result(const CSequence_Mol& seq, const CsatContainer& sats)
{
  const char* b    = seq.residues_begin();
  const char* e    = seq.residues_end();
  const char* last = b;
  for (const Csat* s : sats.list) {
    if (s->start < b || s->start >= s->end || s->end > e)
      return "a repeat outside its sequence";
    if (s->unit_begin < b || s->unit_begin >= s->unit_end || s->unit_end > e)
      return "a repeat unit outside its sequence";
    unsigned k = s->unit_length();
    if (k < global_min_unit_length || k > global_max_unit_length)
      return "a repeat with a unit length outside the range";
    if (s->start < last)
      return "repeats not sorted by start";
    last = s->start;
    if (s->score < CSearchController::minScores_user[k] ||
        s->normalized_length() < CSearchController::minLengths_user[k])
      return "a reported repeat below the thresholds";
  }
  return "";
}

// Reads one parameter byte; missing bytes read as 0.
struct ByteReader
{
  const std::uint8_t* p;
  std::size_t         n;
  std::uint8_t        next()
  {
    if (n == 0)
      return 0;
    --n;
    return *p++;
  }
};

constexpr std::size_t kParameterBytes = 24;
constexpr std::size_t kMaxSequence    = 2000;

// The command line that the parameter bytes choose.
std::vector<std::string> command_line(ByteReader& in, std::size_t sequence_bytes)
{
  std::vector<std::string> a{"katrel"};
  auto opt = [&a](const char* name, const std::string& value) {
    a.push_back(name);
    a.push_back(value);
  };
  auto num  = [](long v) { return std::to_string(v); };
  auto tenth = [](int v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", v / 10.0);
    return std::string(buf);
  };

  const int mode = in.next() % 3;
  opt("--searchMode", mode == 0 ? "exact" : mode == 1 ? "extendExact" : "imperfect");
  opt("--outputFormat", num(in.next() % 5));
  opt("--printRepeatSeqMode", num(in.next() % 3));
  opt("--NPerfectionMode", num(in.next() % 3));
  opt("--reportUnit", num(in.next() % 3));
  const std::uint8_t flags = in.next();
  const char* switches[] = {"--sequenceInfoAsComment", "--NsAsMissense", "--preferShorterRepeats",
                            "--CAIRNrun", "--dontRemoveMostlyOverlapping", "--convert_gaps_to_Ns",
                            "--maskX", "--maskLower"};
  for (int i = 0; i < 8; ++i)
    if (flags & (1u << i))
      a.push_back(switches[i]);
  std::uint8_t v = in.next();
  opt("--flanking", num(v == 255 ? -1 : v % 40));
  // The alignment branches threefold per level: with penalties of -2 a
  // depth of 8 costs seconds on a few hundred bases (valid, but it would
  // stall the fuzzer), so long sequences get at most depth 5.
  int depth = 1 + in.next() % 8;
  if (sequence_bytes > 400 && depth > 5)
    depth = 5;
  opt("--recursion", num(depth));
  v = in.next();
  if (v >= 128)
    opt("--maximum_score_reduction", num(v % 40));
  const unsigned min_unit = 1 + in.next() % 12;
  v = in.next();
  unsigned max_unit = min_unit + v % 40;
  if (v == 255 && mode == 0)
    max_unit = KATREL_MAX_UNIT_LENGTH;
  opt("--minUnitLen", num(min_unit));
  opt("--maxUnitLen", num(max_unit));
  opt("--succN", num(static_cast<int>(in.next() % 12) - 1));

  int   min_score   = static_cast<int>(in.next() % 60) - 10;
  int   min_score_a = static_cast<int>(in.next() % 41) - 20;
  int   min_score_b = static_cast<int>(in.next() % 41) - 10;
  int   min_len     = static_cast<int>(in.next() % 60) - 10;
  int   min_len_a   = static_cast<int>(in.next() % 41) - 20;
  int   min_len_b   = static_cast<int>(in.next() % 41) - 10;
  // A repeat of one base must not pass both thresholds.
  if (min_score < 2 && min_score_a * 10 + min_score_b < 20 && min_len < 2 && min_len_a * 10 + min_len_b < 20)
    min_score = 2;
  opt("--minScore", num(min_score));
  opt("--minScore_a", num(min_score_a));
  opt("--minScore_b", tenth(min_score_b));
  opt("--minLength", num(min_len));
  opt("--minLength_a", num(min_len_a));
  opt("--minLength_b", tenth(min_len_b));
  opt("--minPerfection", tenth(in.next() * 1000 / 255));
  opt("--maxPerfection", tenth(in.next() * 1000 / 255));
  opt("--mismatchScore", num(-2 - in.next() % 15));
  opt("--indelScore", num(-2 - in.next() % 15));
  v = in.next();
  const int first = 1 + (v & 3);
  opt("--firstSeq", num(first));
  opt("--lastSeq", num((v >> 2 & 3) == 0 ? -1 : first + (v >> 2 & 3) - 1));
  in.next();  // kept free for later parameters
  a.push_back("fuzz.fa");
  return a;
}

// The sequence bytes as a FASTA file: letters of the alphabet are kept,
// '>' starts another record, every other byte becomes a base.
std::string fasta_of(ByteReader& in)
{
  static const std::string kept = "ACGTNacgtnRY-*\n ";
  std::string out = ">fz1 fuzzed record\n";
  std::size_t bases = 0;
  int         records = 1;
  while (in.n && bases < kMaxSequence) {
    std::uint8_t b = in.next();
    if (b == '>' && records < 4) {
      out += "\n>fz" + std::to_string(++records) + "\n";
    } else if (kept.find(static_cast<char>(b)) != std::string::npos && b != 0) {
      out += static_cast<char>(b);
      bases += b != '\n' && b != ' ';
    } else {
      out += "ACGT"[b & 3];
      ++bases;
    }
  }
  out += '\n';
  return out;
}

}  // namespace

std::string run_reader_input(const std::uint8_t* data, std::size_t size)
{
  std::string content(reinterpret_cast<const char*>(data), size);
  if (size >= 2 && data[0] == 1) {
    // Put the rest so that the first block ends a few bytes before or after
    // its start. The filler is a comment line (cheap to read) or, when
    // bit 7 of the second byte is set, the start of a long record.
    std::size_t offset = CFile::block_size - 16 + data[1] % 32;
    std::string pad;
    if (data[1] & 0x80) {
      pad = ">pad\n";
      while (pad.size() < offset)
        pad += pad.size() % 61 == 60 ? '\n' : "ACGT"[pad.size() & 3];
    } else {
      pad = "#" + std::string(offset, 'c');
    }
    pad.resize(offset);
    content = pad + content.substr(2);
  } else if (size >= 1 && data[0] == 2) {
    content.erase(0, 1);
    // Compressed input is opened again by name for zlib, which a pipe does
    // not allow: it is not supported through a pipe. Under two bytes, the
    // look at the magic bytes would wait for more.
    if (content.size() < 2 || content.size() > PipeFeeder::max_size ||
        (content[0] == '\x1f' && content[1] == '\x8b'))
      return "";
    std::string bad;
    {
      PipeFeeder pipe(content);
      bad = check_characters(pipe.path(), content, AfterOpen{&pipe});
    }
    if (!bad.empty())
      return "pipe: " + bad;
    PipeFeeder pipe(content);
    ReadResult r;
    bad = read_all(pipe.path(), false, r, AfterOpen{&pipe});
    return bad.empty() ? bad : "pipe: " + bad;
  }
  const char* path = mem_file().set(content);
  std::string bad  = check_characters(path, content);
  if (!bad.empty())
    return bad;
  return compare_readers(path);
}

std::string run_pipeline_input(const std::uint8_t* data, std::size_t size)
{
  const std::size_t head = size < kParameterBytes ? size : kParameterBytes;
  ByteReader        params{data, head};
  ByteReader        sequence{data + head, size - head};

  std::vector<std::string> args = command_line(params, sequence.n);
  std::vector<char*>       argv;
  for (std::string& s : args)
    argv.push_back(&s[0]);
  argv.push_back(nullptr);

  // Thresholds are class-wide and computed by the first controller of a
  // run; progress lines are pushed out of the run.
  CSearchController::reset_minimum_arrays();
  time_next_status_report = std::time(nullptr) + 100000;
  if (read_and_init_parameters(static_cast<int>(args.size()), argv.data()) != 0)
    return "";  // a parameter set the program rejects: nothing to run

  const char* path = mem_file().set(fasta_of(sequence));
  CFile&      infile = shared_file();
  infile.openfile(path);
  if (infile.fail())
    return "the input could not be opened";

  // Both drivers reserve room for the residues up front, so that even an
  // empty record has storage; a little room keeps the growth path in play.
  CSequence_Mol seq;
  seq.residues.reserve(64);
  unsigned int  record = 0;
  FILE*         os     = null_output();
  while (!infile.eof()) {
    if (global_gaps_to_Ns)
      seq.readFastaSequence_toupper_ambig2N_gaps2N(infile);
    else
      seq.readFastaSequence_toupper_ambig2N_removegaps(infile);
    if (infile.read_error())
      return "read error on an in-memory file";
    if (infile.fail() && !infile.eof())
      return "the generated FASTA file was rejected";
    ++record;
    if (record < global_sequence_from || record > global_sequence_to)
      continue;

    CSearchController controller(record, seq);
    CsatContainer&    result = search_and_filter(controller, os);
    std::string       bad    = check_result(seq, result);
    if (!bad.empty())
      return bad + " in record " + std::to_string(record);
    controller.report_SATList(os, result.list);
    if (global_mask_X || global_mask_lower) {
      mask_repeats(seq, result);
      seq.writeSequence_fill_in_gaps_and_stars(os, 80);
    }
  }
  CSearchController::reset_minimum_arrays();
  return "";
}

}  // namespace katrel_fuzz
