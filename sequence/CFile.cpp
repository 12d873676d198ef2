#include "sequence/CFile.h"

#include <cstdlib>

#include "config/fatal-error.h"

CFile::CFile()
{
  buffer_ = static_cast<char*>(std::malloc(block_size));
  if (!buffer_)
    katrel_failed_realloc();
  buffer_end_ = read_pos_ = buffer_;
  flags_ = flag_fail;
  line_  = 1;
}

CFile::~CFile()
{
  if (is_open())
    close();
  std::free(buffer_);
}

void CFile::openfile(const char* name)
{
  flags_ = flag_good;
  read_error_ = false;
  if (is_open())
    close();
  clear();
  open(name, std::ios::in);
  if (std::ifstream::fail())
    flags_ = flag_fail;
  line_ = 1;
  read_pos_ = buffer_end_ = buffer_;
}

bool CFile::refill()
{
  unsigned int kept = 0;
  if (read_pos_ != buffer_) {
    buffer_[0] = read_pos_[-1];
    kept = 1;
  }
  std::streamsize got = 0;
  if (is_open() && !std::ifstream::eof() && !std::ifstream::bad()) {
    read(buffer_ + kept, block_size - kept);
    got = gcount();
    if (std::ifstream::bad())
      read_error_ = true;
  }
  if (got == 0)
    flags_ = static_cast<unsigned char>((flags_ | flag_eof | flag_fail) & ~flag_good);
  read_pos_   = buffer_ + kept;
  buffer_end_ = read_pos_ + got;
  return !(flags_ & flag_fail);
}

char CFile::carriage_return()
{
  // Overwrite the CR so that a pushback (also one across a refill, which
  // keeps this byte) reads the LF it was turned into.
  read_pos_[-1] = '\n';
  char next = getchar_intern();
  if (next != '\n' && !(flags_ & flag_fail))
    --read_pos_;
  ++line_;
  return '\n';
}
