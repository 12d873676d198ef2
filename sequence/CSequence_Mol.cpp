#include "sequence/CSequence_Mol.h"

#include <cstdint>
#include <cstdio>

#include "config/fatal-error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// What a sequence line does with each byte (after ASCII upper-casing).
enum char_kind : unsigned char {
  k_other = 0,  // rejected
  k_base,       // A C G T U: stored as its upper-case base (U as T)
  k_ambig,      // N X ? and the ambiguity codes: stored as ambiguity_char
  k_dash,       // '-'
  k_star,       // '*'
  k_space,      // white space other than LF: skipped
  k_eol,        // LF: ends the line
};

struct char_tables
{
  unsigned char kind[256];
  char          base[256];   // stored byte for k_base, 0 for every other byte
  bool          space[256];  // isspace() in the C locale

  char_tables() : kind(), base(), space()
  {
    auto both = [this](char up, char_kind k, char stored) {
      kind[static_cast<unsigned char>(up)]       = k;
      kind[static_cast<unsigned char>(up + 32)]  = k;
      base[static_cast<unsigned char>(up)]       = stored;
      base[static_cast<unsigned char>(up + 32)]  = stored;
    };
    both('A', k_base, 'A');
    both('C', k_base, 'C');
    both('G', k_base, 'G');
    both('T', k_base, 'T');
    both('U', k_base, 'T');
    for (char c : {'N', 'X', 'R', 'Y', 'K', 'M', 'S', 'W', 'B', 'D', 'H', 'V'})
      both(c, k_ambig, 0);
    kind[static_cast<unsigned char>('?')] = k_ambig;
    kind[static_cast<unsigned char>('-')] = k_dash;
    kind[static_cast<unsigned char>('*')] = k_star;
    for (char c : {' ', '\t', '\v', '\f', '\r'})
      kind[static_cast<unsigned char>(c)] = k_space;
    kind[static_cast<unsigned char>('\n')] = k_eol;
    for (char c : {' ', '\t', '\n', '\v', '\f', '\r'})
      space[static_cast<unsigned char>(c)] = true;
  }
};

const char_tables tables;

inline unsigned char kind_of(char c) { return tables.kind[static_cast<unsigned char>(c)]; }

// Copies the run of bases (A, C, G, T, U in either case) that starts at the
// read position of `f` straight from the file's block into `res`, upper-cased
// and with U as T, and consumes it. Stops at the first other byte, at the end
// of the block or when `res` is full; the caller hands whatever follows to
// getchar. Returns the number of bases copied.
//
// The bytes stepped over are all 14 or above, so the line counter and the
// pushback are exactly as if each had gone through getchar.
inline unsigned int copy_base_run(CFile& f, faststring& res)
{
  const char* p   = f.buffered_begin();
  const char* end = f.buffered_end();
  unsigned int size = res.size();
  std::size_t  room = res.capacity() - size;
  std::size_t  n    = static_cast<std::size_t>(end - p);
  if (n > room)
    n = room;
  if (n == 0)
    return 0;
  char*       out  = res.data() + size;
  const char* stop = p + n;

#if defined(__SSE2__)
  // Sixteen bytes at a time: clearing bit 5 upper-cases letters and leaves
  // every byte that is not a, c, g, t outside {A, C, G, T}.
  const __m128i case_mask = _mm_set1_epi8(static_cast<char>(0xDF));
  const __m128i va        = _mm_set1_epi8('A');
  const __m128i vc        = _mm_set1_epi8('C');
  const __m128i vg        = _mm_set1_epi8('G');
  const __m128i vt        = _mm_set1_epi8('T');
  while (stop - p >= 16) {
    __m128i v  = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i up = _mm_and_si128(v, case_mask);
    __m128i m  = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(up, va), _mm_cmpeq_epi8(up, vc)),
                              _mm_or_si128(_mm_cmpeq_epi8(up, vg), _mm_cmpeq_epi8(up, vt)));
    unsigned int bits = static_cast<unsigned int>(_mm_movemask_epi8(m));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), up);
    if (bits != 0xFFFFu) {
      unsigned int k = static_cast<unsigned int>(__builtin_ctz(~bits));
      p += k;
      out += k;
      goto done;
    }
    p += 16;
    out += 16;
  }
#endif
  while (p != stop) {
    char b = tables.base[static_cast<unsigned char>(*p)];
    if (!b)
      break;
    *out++ = b;
    ++p;
  }
#if defined(__SSE2__)
done:
#endif
  unsigned int copied = static_cast<unsigned int>(out - (res.data() + size));
  res.resize_within_capacity(size + copied);
  f.advance_to(p);
  return copied;
}

// Appends one removed gap position; positions are 32-bit, so a record whose
// length as written would pass 4294967295 ends the run.
inline void note_gap(fastvector<unsigned int>& all, fastvector<unsigned int>& kind, std::uint64_t pos)
{
  if (pos >= UINT32_MAX)
    katrel_too_long();
  unsigned int p = static_cast<unsigned int>(pos);
  all.push_back(p);
  kind.push_back(p);
}

}  // namespace

// One sequence line, with gaps removed (RemoveGaps) or read as the ambiguity
// character. `pos` is the position of the next character of the record as
// written (gaps counted, white space not); it is kept in 64 bits here so that
// an overlong record is caught instead of wrapping.
template <bool RemoveGaps>
static inline void read_dna_line(CSequence_Mol& s, CFile& f, std::uint64_t& pos)
{
  faststring&  res   = s.residues;
  unsigned int acgtu = s.count_ACGTU;
  unsigned int n     = s.count_N;
  unsigned int gaps  = s.count_gaps;
  const char   amb   = s.ambiguity_char;

  for (;;) {
    unsigned int run = copy_base_run(f, res);
    acgtu += run;
    pos += run;

    char c = f.getchar();
    switch (kind_of(c)) {
    case k_base:
      res.push_back(tables.base[static_cast<unsigned char>(c)]);
      ++acgtu;
      ++pos;
      break;
    case k_ambig:
      res.push_back(amb);
      ++n;
      ++pos;
      break;
    case k_dash:
    case k_star:
      if (RemoveGaps) {
        note_gap(s.gap_positions, c == '-' ? s.dash_positions : s.star_positions, pos);
        ++gaps;
      } else {
        res.push_back(amb);
        ++n;
      }
      ++pos;
      break;
    case k_space:
      break;
    case k_eol:
      goto done;
    default:
      // 0 with fail set is the end of the input; any other byte is rejected.
      if (!f.fail())
        f.set_fail();
      goto done;
    }
  }
done:
  s.count_ACGTU = acgtu;
  s.count_N     = n;
  s.count_gaps  = gaps;
  if (pos > UINT32_MAX)
    katrel_too_long();
}

void CSequence_Mol::getLineOfDNA_toupper_ambig2N_gaps2N(CFile& infile)
{
  std::uint64_t pos = residues.size();
  read_dna_line<false>(*this, infile, pos);
}

void CSequence_Mol::getLineOfDNA_toupper_ambig2N_removegaps(CFile& infile, unsigned int& pos)
{
  std::uint64_t p = pos;
  read_dna_line<true>(*this, infile, p);
  pos = static_cast<unsigned int>(p);
}

// Everything a read does before the sequence lines: clears the record, skips
// white space and leading comment lines, and reads and splits the header.
// Returns false when the read is over (input rejected or exhausted).
static bool read_record_head(CSequence_Mol& s, CFile& f)
{
  s.fullname.clear();
  s.name.clear();
  s.description.clear();
  s.residues.clear();
  s.count_ACGTU = 0;
  s.count_N     = 0;
  s.count_gaps  = 0;
  // Only the gap-removing reader fills the lists, but clearing them in both
  // keeps the masked writer from ever seeing positions of an earlier record.
  s.gap_positions.clear();
  s.dash_positions.clear();
  s.star_positions.clear();

  char c;
  do
    c = f.getchar();
  while (!f.fail() && tables.space[static_cast<unsigned char>(c)]);

  // Comment lines, accepted only ahead of the first record.
  while (!f.fail() && c == '#') {
    while (!f.fail()) {
      char d = f.getchar();
      if (f.fail() || d == '\n')
        break;
    }
    do
      c = f.getchar();
    while (!f.fail() && tables.space[static_cast<unsigned char>(c)]);
  }

  if (f.fail() || c != '>') {
    f.set_fail();
    return false;
  }

  for (;;) {
    c = f.getchar();
    if (f.fail() || c == '\n')
      break;
    s.fullname.push_back(c);
  }
  if (f.fail()) {
    // A lone '>' at the very end: the record is handed out with an empty
    // header (name and description were cleared above).
    if (s.fullname.size() == 0)
      return false;
    f.clear_fail();
  }
  s.find_fastaname_and_description();
  return true;
}

template <bool RemoveGaps>
static void read_record(CSequence_Mol& s, CFile& f)
{
  if (!read_record_head(s, f))
    return;
  std::uint64_t pos = 0;
  char          c   = f.peekchar();
  while (!f.fail() && c != '>') {
    read_dna_line<RemoveGaps>(s, f, pos);
    // No peek after a rejection or the end of input: the peek would count the
    // line end behind a rejected character, or reach the end of the input and
    // make a rejected record look like a normal last one.
    if (f.fail())
      return;
    c = f.peekchar();
  }
}

void CSequence_Mol::readFastaSequence_toupper_ambig2N_gaps2N(CFile& infile)
{
  read_record<false>(*this, infile);
}

void CSequence_Mol::readFastaSequence_toupper_ambig2N_removegaps(CFile& infile)
{
  read_record<true>(*this, infile);
}

void CSequence_Mol::find_fastaname_and_description()
{
  const char* first = fullname.begin();
  const char* last  = fullname.end();
  const char* blank = first;
  while (blank != last && *blank != ' ')
    ++blank;
  name.assign(first, blank);
  if (blank == last) {
    description.clear();
    return;
  }
  const char* d = blank;
  while (d != last && *d == ' ')
    ++d;
  description.assign(d, last);
}

void CSequence_Mol::writeSequence_fill_in_gaps_and_stars(FILE* os, unsigned int line_width)
{
  std::fputc('>', os);
  if (fullname.size())  // an empty header may have no storage at all
    std::fwrite(fullname.data(), 1, fullname.size(), os);
  std::fputc('\n', os);

  const std::uint64_t total = static_cast<std::uint64_t>(residues.size()) + gap_positions.size();
  if (total == 0)
    return;
  const std::uint64_t width = line_width ? line_width : total;

  const char*  r    = residues.data();
  const char*  rend = r + residues.size();
  unsigned int gi = 0, di = 0, si = 0;
  const unsigned int gn = gap_positions.size();
  const unsigned int dn = dash_positions.size();
  const unsigned int sn = star_positions.size();

  std::uint64_t i = 0;
  while (i < total) {
    const std::uint64_t line_end = total - i < width ? total : i + width;
    while (i < line_end) {
      if (gi < gn && gap_positions[gi] <= i) {
        if (gap_positions[gi] == i) {
          char g = '-';
          if (di < dn && dash_positions[di] == i)
            ++di;
          else if (si < sn && star_positions[si] == i) {
            g = '*';
            ++si;
          }
          std::fputc(g, os);
          ++i;
        }
        ++gi;
        continue;
      }
      // A run of residues up to the next gap or the end of the line.
      std::uint64_t stop = line_end;
      if (gi < gn && gap_positions[gi] < stop)
        stop = gap_positions[gi];
      std::uint64_t k = stop - i;
      if (k > static_cast<std::uint64_t>(rend - r))
        k = static_cast<std::uint64_t>(rend - r);
      if (k == 0) {  // positions that do not fit the residues: nothing more to write
        i = total;
        break;
      }
      std::fwrite(r, 1, k, os);
      r += k;
      i += k;
    }
    std::fputc('\n', os);
  }
}
