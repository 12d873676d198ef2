#ifndef KATREL_FILE_CHECKS_H
#define KATREL_FILE_CHECKS_H

// File-system tests the drivers make before they open anything for writing.

#include <string>

// True when `name` names an existing directory.
bool is_directory(const std::string& name);

// True when both names reach the same existing file (same device and inode),
// whatever the paths look like, or, when one does not exist yet, when both
// resolve to the same path.
bool same_file(const std::string& a, const std::string& b);

#endif
