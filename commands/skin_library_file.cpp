#include "commands/skin_library_file.h"

#include <windows.h>

#include "base/codepage.h"
#include "base/process_state.h"
#include "base/unique_handle.h"
#include "resources/resource_ids.h"

Text SkinLibraryPath() { return JoinTexts({ProgramFolder(), "\\SkinH_EL.dll"}); }

int SkinResourceId(int skinNumber) {
  if (skinNumber < 1 || skinNumber > 33) return 0;
  return IDR_SKIN_FIRST + skinNumber - 1;
}

HiddenFileOutcome WriteHiddenFileIfAbsent(std::string_view path, const unsigned char* data, size_t size) {
  const std::wstring widePath = Widen(path);
  WIN32_FIND_DATAW found;
  if (UniqueFind(::FindFirstFileW(widePath.c_str(), &found))) return HiddenFileOutcome::kPresent;

  bool complete = false;
  {
    UniqueFile file(::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file) return HiddenFileOutcome::kWriteFailed;
    size_t written = 0;
    while (written < size) {
      const DWORD chunk = static_cast<DWORD>(size - written > 0x100000 ? 0x100000 : size - written);
      DWORD got = 0;
      if (!::WriteFile(file.get(), data + written, chunk, &got, nullptr) || got == 0) break;
      written += got;
    }
    complete = written == size;
  }
  if (!complete) {
    // A cut-off library would count as present on every later start and fail
    // to load each time: take it away so the next start writes it again.
    ::DeleteFileW(widePath.c_str());
    return HiddenFileOutcome::kWriteFailed;
  }
  ::SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_HIDDEN);
  return HiddenFileOutcome::kWritten;
}
