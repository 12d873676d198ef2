#ifndef KATREL_CFILE_H
#define KATREL_CFILE_H

// The input file of a run, read strictly forward through a private buffer of
// 1,000,000 bytes. Line ends (LF, CR LF, lone CR) are all handed out as one
// LF and counted; one character can be pushed back, also across a refill,
// because the last byte of a used-up block is kept at the front of the next.
//
// Status lives in the file's own flags:
//   good        opened, nothing failed since
//   fail        not opened, input exhausted, pushback impossible, or the
//               FASTA reader rejected a character
//   eof         a refill delivered no byte (always together with fail)
// fail+eof is the normal end of input; fail without eof is a rejected input.
//
// A gzip-compressed file (recognised by its magic bytes, not its name; also
// several concatenated members, as bgzip writes them) is read through zlib
// with the same blocks and rules. A read error, or a truncated or corrupt
// compressed file, ends the input as eof does but also sets read_error(),
// so the drivers report it instead of taking a shortened input as complete.
// Callers test fail() after every read before they use the character, since
// 0 is also what an exhausted file returns.

#include <fstream>
#include <string>

#include <zlib.h>

class CFile : private std::ifstream
{
public:
  static constexpr unsigned int block_size = 1000000;

  enum : unsigned char { flag_eof = 1, flag_good = 2, flag_fail = 4 };

private:
  char*         buffer_;
  char*         buffer_end_;
  char*         read_pos_;
  unsigned char flags_;
  unsigned int  line_;
  bool          read_error_ = false;
  gzFile        gz_         = nullptr;  // set while a compressed file is read
  std::string   read_error_text_;
  // Compressed input that cannot be opened a second time (a pipe) is
  // inflated here from the stream, its first two bytes already taken.
  z_stream*     zs_         = nullptr;
  unsigned char* zin_       = nullptr;
  bool          zs_in_member_ = false;  // inside a gzip member, its end not reached

  // Inflates the next bytes of a piped compressed input to [out, out + room).
  std::streamsize inflate_some(char* out, unsigned int room);
  void close_inflate();

  // Refills the buffer from the stream; returns false when fail is set.
  bool refill();

  // Handles a carriage return that getchar has just taken: it becomes a
  // counted LF, and a directly following LF is swallowed with it.
  char carriage_return();

public:
  CFile();
  ~CFile();
  CFile(const CFile&)            = delete;
  CFile& operator=(const CFile&) = delete;

  void openfile(const char* name);

  char getchar_intern()
  {
    if (read_pos_ == buffer_end_ && !refill())
      return 0;
    return *read_pos_++;
  }

  char getchar()
  {
    if (read_pos_ == buffer_end_ && !refill())
      return 0;
    char c = *read_pos_++;
    if (static_cast<unsigned char>(c) >= 14)
      return c;
    if (c == '\n') {
      ++line_;
      return c;
    }
    if (c == '\r')
      return carriage_return();
    return c;
  }

  void ungetchar()
  {
    if (read_pos_ == buffer_) {
      flags_ = static_cast<unsigned char>((flags_ | flag_fail) & ~flag_good);
      return;
    }
    if (read_pos_[-1] == '\n' && !(flags_ & flag_fail))
      --line_;
    --read_pos_;
  }

  // The next character without consuming it; the line counter is left as it
  // was. At the end of input nothing was taken, so nothing is given back
  // (stepping back there would hand out the kept byte a second time).
  char peekchar()
  {
    if (read_pos_ == buffer_end_ && !refill())
      return 0;
    unsigned int line = line_;
    char c = getchar();
    ungetchar();
    line_ = line;
    return c;
  }

  bool good() const { return flags_ == flag_good; }
  bool fail() const { return flags_ & flag_fail; }
  bool eof() const { return flags_ & flag_eof; }
  unsigned int line() const { return line_; }

  // True when the input stopped because the operating system reported a
  // read error rather than the end of the file.
  bool read_error() const { return read_error_; }
  // What went wrong, for compressed input (empty otherwise).
  const std::string& read_error_text() const { return read_error_text_; }
  bool compressed() const { return gz_ != nullptr || zs_ != nullptr; }

  void set_fail() { flags_ = flag_fail; }
  void clear_fail() { flags_ = static_cast<unsigned char>(flags_ & ~flag_fail); }

  // Bulk access for readers that scan runs of ordinary bytes: the unread
  // bytes of the current block are [buffered_begin(), buffered_end()).
  // advance_to(p) consumes the bytes before p exactly as getchar would; it
  // must only step over bytes of 14 and above (no line ends), so that the
  // line counter stays right. The block is refilled only by getchar.
  const char* buffered_begin() const { return read_pos_; }
  const char* buffered_end() const { return buffer_end_; }
  void        advance_to(const char* p) { read_pos_ = buffer_ + (p - buffer_); }
};

#endif
