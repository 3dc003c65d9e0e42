#include "download/download_paths.h"

namespace {

// Windows reads the part before the first dot, blanks at its end dropped. COM0 and
// LPT0 are devices on current systems, and so are COM¹ to COM³ (those digits cannot
// be written in GBK: a name holding them arrives with "?" in their place, refused on
// its own).
bool IsDeviceName(std::string_view name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  const Text upper = UpperAsciiLetters(name);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == device) return true;
  return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
         upper[3] >= '0' && upper[3] <= '9';
}

// A character no Windows file name may hold: a path separator, ":" (a stream or a
// drive), a wildcard (it would match another file), the rest of <>"| and the
// control characters. GBK trail bytes can be 0x5C or 0x7C and are skipped.
bool HasForbiddenChar(std::string_view text) {
  bool forbidden = false;
  ForEachGbkChar(text, [&](size_t i, size_t length) {
    if (length != 1) return;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos)
      forbidden = true;
  });
  return forbidden;
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

bool IsDriveLetter(std::string_view drive) {
  return drive.size() == 1 && ((drive[0] >= 'A' && drive[0] <= 'Z') || (drive[0] >= 'a' && drive[0] <= 'z'));
}

bool IsPlainFileName(std::string_view name, std::string_view extension) {
  const Text file = JoinTexts({name, extension});
  return !file.empty() && !HasForbiddenChar(file) && !IsDeviceName(file);
}

bool IsPlainTarget(std::string_view drive, std::string_view name, std::string_view extension) {
  return IsDriveLetter(drive) && IsPlainFileName(name, extension);
}
