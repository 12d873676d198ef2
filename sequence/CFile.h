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
// Callers test fail() after every read before they use the character, since
// 0 is also what an exhausted file returns.

#include <fstream>

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

  // Refills the buffer from the stream; returns false when fail is set.
  bool refill();

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
    return line_end(c);
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

  char peekchar()
  {
    char c = getchar();
    ungetchar();
    return c;
  }

  bool good() const { return flags_ == flag_good; }
  bool fail() const { return flags_ & flag_fail; }
  bool eof() const { return flags_ & flag_eof; }
  unsigned int line() const { return line_; }

  // True when the input stopped because the operating system reported a
  // read error rather than the end of the file.
  bool read_error() const { return read_error_; }

  void set_fail() { flags_ = flag_fail; }
  void clear_fail() { flags_ = static_cast<unsigned char>(flags_ & ~flag_fail); }

private:
  // Handles the bytes below 14: CR and LF become a counted line end.
  char line_end(char c);
};

#endif
