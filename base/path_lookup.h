// Whether anything is at a path, as a directory lookup (FindFirstFile) sees it: a
// file or a folder, with wildcards matching as they do there.
#pragma once

#include <cstdint>
#include <string_view>

struct PathEntry {
  bool exists = false;
  int64_t size = 0;  // as the directory entry gives it
};

PathEntry LookUpPath(std::string_view path);
inline bool PathExists(std::string_view path) { return LookUpPath(path).exists; }
