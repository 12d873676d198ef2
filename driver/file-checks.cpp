#include "driver/file-checks.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

bool is_directory(const std::string& name)
{
  struct stat st;
  return stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// The absolute path of `name` with its folder resolved; empty when the
// folder does not exist.
std::string resolved_path(const std::string& name)
{
  std::string::size_type slash = name.rfind('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  char buf[PATH_MAX];
  if (!realpath(folder.c_str(), buf))
    return std::string();
  return std::string(buf) + "/" + base;
}

}  // namespace

bool same_file(const std::string& a, const std::string& b)
{
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  // A file that does not exist yet is the same when both names lead to it.
  std::string ra = resolved_path(a);
  return !ra.empty() && ra == resolved_path(b);
}
