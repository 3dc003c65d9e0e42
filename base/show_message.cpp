#include "base/show_message.h"

#include <windows.h>

#include "base/codepage.h"

int ShowMessage(std::string_view text, unsigned flags, std::string_view caption) {
  if (caption.empty()) caption = kDefaultCaption;
  if ((flags & MB_SYSTEMMODAL) == 0) flags |= MB_TASKMODAL;
  return ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), flags);
}
