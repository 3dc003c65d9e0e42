#include "download/download_paths.h"

#include <vector>

namespace {

bool IsDeviceName(std::string_view part) {
  // Windows reads the part before the first dot, blanks at its end dropped.
  part = part.substr(0, part.find('.'));
  while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
  const Text upper = UpperAsciiLetters(part);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == device) return true;
  return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
         upper[3] >= '1' && upper[3] <= '9';
}

// The parts of a relative path between "\" and "/"; a GBK trail byte may be 0x5C and
// is no separator.
std::vector<std::string_view> PathParts(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  ForEachGbkChar(path, [&](size_t i, size_t length) {
    if (length == 1 && (path[i] == '\\' || path[i] == '/')) {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  });
  parts.push_back(path.substr(start));
  return parts;
}

}  // namespace

Text FinalPath(std::string_view drive, std::string_view name, std::string_view extension) {
  return JoinTexts({drive, ":\\", name, extension});
}

Text PartialPath(std::string_view finalPath) { return JoinTexts({finalPath, ".tmp"}); }

Text SuccessMessageText(std::string_view drive, std::string_view name, std::string_view extension) {
  Text upperDrive = UpperAsciiLetters(drive);
  return JoinTexts({"文件在  ", upperDrive, "  盘 ; 文件名为: ", name, " ; 文件格式为:  ", extension});
}

bool IsPlainFileName(std::string_view name, std::string_view extension) {
  // No GBK trail byte is 0x3A, so a plain byte search finds only real colons.
  if (name.find(':') != std::string_view::npos || extension.find(':') != std::string_view::npos) return false;
  const Text path = JoinTexts({name, extension});
  for (std::string_view part : PathParts(path))
    if (IsDeviceName(part)) return false;
  return true;
}
