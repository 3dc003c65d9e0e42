#include "base/window_text.h"

#include "base/codepage.h"

std::wstring WideWindowText(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int got = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

Text WindowText(HWND hwnd) { return Narrow(WideWindowText(hwnd)); }
