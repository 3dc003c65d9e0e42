#include "download/download_paths.h"

Text FinalPath(std::string_view drive, std::string_view name, std::string_view extension) {
  return JoinTexts({drive, ":\\", name, extension});
}

Text PartialPath(std::string_view finalPath) { return JoinTexts({finalPath, ".tmp"}); }

Text UpperAsciiLetters(std::string_view text) {
  Text out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (IsGbkLeadByte(b) && i + 1 < out.size()) {
      ++i;  // a trail byte may look like a lower-case letter: leave the pair alone
      continue;
    }
    if (b >= 'a' && b <= 'z') out[i] = static_cast<char>(b - 'a' + 'A');
  }
  return out;
}

Text SuccessMessageText(std::string_view drive, std::string_view name, std::string_view extension) {
  Text upperDrive = UpperAsciiLetters(drive);
  return JoinTexts({"文件在  ", upperDrive, "  盘 ; 文件名为: ", name, " ; 文件格式为:  ", extension});
}
