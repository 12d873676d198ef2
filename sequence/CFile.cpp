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
  close_inflate();
  if (gz_)
    gzclose(gz_);
  if (is_open())
    close();
  std::free(buffer_);
}

void CFile::openfile(const char* name)
{
  flags_ = flag_good;
  read_error_ = false;
  read_error_text_.clear();
  if (gz_) {
    gzclose(gz_);
    gz_ = nullptr;
  }
  close_inflate();
  if (is_open())
    close();
  clear();
  open(name, std::ios::in | std::ios::binary);
  line_ = 1;
  read_pos_ = buffer_end_ = buffer_;
  if (std::ifstream::fail()) {
    flags_ = flag_fail;
    return;
  }

  // Look at the first two bytes: 0x1f 0x8b starts a gzip member.
  char magic[2] = {0, 0};
  read(magic, 2);
  const std::streamsize got = gcount();
  const bool gzip = got == 2 && magic[0] == '\x1f' && magic[1] == '\x8b';
  clear();
  if (gzip) {
    seekg(0);
    if (std::ifstream::fail()) {
      // A pipe: it cannot be opened again, so inflate what follows here.
      clear();
      zs_  = new z_stream();
      zin_ = static_cast<unsigned char*>(std::malloc(1 << 18));
      if (!zin_ || inflateInit2(zs_, 15 + 16) != Z_OK)
        katrel_failed_realloc();
      zin_[0]          = 0x1f;
      zin_[1]          = 0x8b;
      zs_->next_in     = zin_;
      zs_->avail_in    = 2;
      zs_in_member_    = true;
      return;
    }
    close();
    gz_ = gzopen(name, "rb");
    if (!gz_) {
      flags_ = flag_fail;
      return;
    }
    gzbuffer(gz_, 1 << 18);
    return;
  }
  seekg(0);
  if (std::ifstream::fail()) {
    // Not seekable (a pipe): keep the two bytes as the start of the first block.
    clear();
    buffer_[0]  = magic[0];
    buffer_[1]  = magic[1];
    buffer_end_ = buffer_ + got;
  }
}

bool CFile::refill()
{
  unsigned int kept = 0;
  if (read_pos_ != buffer_) {
    buffer_[0] = read_pos_[-1];
    kept = 1;
  }
  std::streamsize got = 0;
  if (gz_) {
    if (!read_error_) {
      int n = gzread(gz_, buffer_ + kept, block_size - kept);
      int err = Z_OK;
      const char* text = gzerror(gz_, &err);
      if (n < 0 || (err != Z_OK && err != Z_STREAM_END)) {
        // A truncated or corrupt member: nothing of this block is trusted.
        read_error_ = true;
        read_error_text_ = text ? text : "invalid compressed data";
        n = 0;
      }
      got = n;
    }
  } else if (zs_) {
    if (!read_error_)
      got = inflate_some(buffer_ + kept, block_size - kept);
  } else if (is_open() && !std::ifstream::eof() && !std::ifstream::bad()) {
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

void CFile::close_inflate()
{
  if (zs_) {
    inflateEnd(zs_);
    delete zs_;
    zs_ = nullptr;
  }
  std::free(zin_);
  zin_ = nullptr;
}

std::streamsize CFile::inflate_some(char* out, unsigned int room)
{
  zs_->next_out  = reinterpret_cast<Bytef*>(out);
  zs_->avail_out = room;
  while (zs_->avail_out > 0) {
    if (zs_->avail_in == 0) {
      if (std::ifstream::eof() || std::ifstream::bad())
        break;
      read(reinterpret_cast<char*>(zin_), 1 << 18);
      if (std::ifstream::bad()) {
        read_error_ = true;
        break;
      }
      zs_->next_in  = zin_;
      zs_->avail_in = static_cast<uInt>(gcount());
      if (zs_->avail_in == 0)
        break;
    }
    if (!zs_in_member_) {
      // After a member: another one follows only if it starts with the
      // gzip magic bytes; anything else ends the input, as for a file.
      if (zs_->avail_in < 2 && !std::ifstream::eof()) {
        // Too little to tell: move the byte to the front and read on.
        zin_[0] = zs_->next_in[0];
        read(reinterpret_cast<char*>(zin_) + 1, (1 << 18) - 1);
        zs_->next_in  = zin_;
        zs_->avail_in = static_cast<uInt>(1 + gcount());
      }
      if (zs_->avail_in < 2 || zs_->next_in[0] != 0x1f || zs_->next_in[1] != 0x8b) {
        zs_->avail_in = 0;
        clear(std::ios::eofbit);
        break;
      }
      inflateReset(zs_);
      zs_in_member_ = true;
    }
    const int r = inflate(zs_, Z_NO_FLUSH);
    if (r == Z_STREAM_END)
      zs_in_member_ = false;
    else if (r != Z_OK && r != Z_BUF_ERROR) {
      read_error_      = true;
      read_error_text_ = zs_->msg ? zs_->msg : "invalid compressed data";
      return 0;
    }
  }
  const std::streamsize got = static_cast<std::streamsize>(room - zs_->avail_out);
  if (got == 0 && zs_in_member_ && !read_error_) {
    // The input ended inside a member.
    read_error_      = true;
    read_error_text_ = "unexpected end of file";
  }
  return got;
}
