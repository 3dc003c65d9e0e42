#include "download/test_hold.h"

#ifdef LANSHI_TEST_SEAMS
#include <windows.h>

#include <string>

#include "base/unique_handle.h"

void HoldForTest(const char* point) {
  wchar_t exe[MAX_PATH];
  DWORD length = ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe, length);
  folder.resize(folder.find_last_of(L'\\') + 1);
  const std::wstring name(point, point + strlen(point));
  const std::wstring hold = folder + L"hold-" + name, held = folder + L"held-" + name;
  if (::GetFileAttributesW(hold.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  UniqueFile(::CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));  // made, then closed
  for (int i = 0; i < 3000 && ::GetFileAttributesW(hold.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(20);
}
#endif
