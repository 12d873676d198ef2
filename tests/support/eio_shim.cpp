// A preload library that makes reading one file fail in the middle: every
// read() or readv() of the file named by KATREL_EIO_FILE at or beyond byte
// KATREL_EIO_AFTER fails with EIO, and a read that would cross that byte is
// cut short there. Other files read as usual. Files are recognised by the
// path their descriptor resolves to, so that opens through fopen, open or a
// library (zlib) are all caught.
//
//   LD_PRELOAD=libkatrel_eio_shim.so KATREL_EIO_FILE=/abs/in.fa KATREL_EIO_AFTER=1500000 katrel in.fa

#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using read_fn  = ssize_t (*)(int, void*, size_t);
using readv_fn = ssize_t (*)(int, const struct iovec*, int);

// The offset where the failing file starts to fail, or -1 when `fd` is not
// that file.
long long failing_offset(int fd)
{
  const char* name  = std::getenv("KATREL_EIO_FILE");
  const char* after = std::getenv("KATREL_EIO_AFTER");
  if (!name || !after)
    return -1;
  char link[64];
  char path[PATH_MAX];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0)
    return -1;
  path[n] = 0;
  if (std::strcmp(path, name) != 0)
    return -1;
  return std::atoll(after);
}

// How many bytes a read at the current position may return: -1 for none
// (the read fails), otherwise at most `want`.
long long allowed(int fd, size_t want)
{
  long long limit = failing_offset(fd);
  if (limit < 0)
    return static_cast<long long>(want);
  off_t pos = lseek(fd, 0, SEEK_CUR);
  if (pos < 0 || pos >= limit)
    return -1;
  long long room = limit - pos;
  return room < static_cast<long long>(want) ? room : static_cast<long long>(want);
}

}  // namespace

extern "C" ssize_t read(int fd, void* buf, size_t count)
{
  static read_fn real = reinterpret_cast<read_fn>(dlsym(RTLD_NEXT, "read"));
  long long n = allowed(fd, count);
  if (n < 0) {
    errno = EIO;
    return -1;
  }
  return real(fd, buf, static_cast<size_t>(n));
}

extern "C" ssize_t __read_chk(int fd, void* buf, size_t count, size_t)
{
  return read(fd, buf, count);
}

extern "C" ssize_t readv(int fd, const struct iovec* iov, int iovcnt)
{
  static readv_fn real = reinterpret_cast<readv_fn>(dlsym(RTLD_NEXT, "readv"));
  size_t total = 0;
  for (int i = 0; i < iovcnt; ++i)
    total += iov[i].iov_len;
  long long n = allowed(fd, total);
  if (n < 0) {
    errno = EIO;
    return -1;
  }
  if (static_cast<size_t>(n) == total)
    return real(fd, iov, iovcnt);
  // Cut the vector down to the allowed bytes.
  struct iovec cut[64];
  int          k = 0;
  size_t       left = static_cast<size_t>(n);
  for (int i = 0; i < iovcnt && k < 64 && left; ++i, ++k) {
    cut[k] = iov[i];
    if (cut[k].iov_len > left)
      cut[k].iov_len = left;
    left -= cut[k].iov_len;
  }
  return real(fd, cut, k);
}
