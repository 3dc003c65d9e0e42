#include "commands/skin_library_file.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/codepage.h"
#include "base/path_lookup.h"
#include "base/process_state.h"
#include "base/unique_handle.h"
#include "resources/resource_ids.h"
#include "uiengine/core/cache_file.h"

Text SkinLibraryPath() { return JoinTexts({ProgramFolder(), "\\SkinH_EL.dll"}); }

int SkinResourceId(int skinNumber) {
  if (skinNumber < 1 || skinNumber > 33) return 0;
  return IDR_SKIN_FIRST + skinNumber - 1;
}

HiddenFileOutcome WriteHiddenFileIfAbsent(std::string_view path, const unsigned char* data, size_t size) {
  const std::wstring widePath = Widen(path);
  if (PathExists(path)) return HiddenFileOutcome::kPresent;

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

bool IsPlainFile(std::string_view path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileHoldsBytes(std::string_view path, const unsigned char* data, size_t size) {
  if (!IsPlainFile(path)) return false;
  const std::optional<ByteBuffer> held = ReadFileUpTo(Text(path), size);
  return held && held->size() == size && std::equal(held->begin(), held->end(), data);
}

Text AsideName(std::string_view path, int n) {
  Text name = JoinTexts({path, ".bad"});
  if (n > 0) name += "." + std::to_string(n);
  return name;
}

bool SetFileAside(std::string_view path, int limit) {
  const std::wstring from = Widen(path);
  for (int n = 0; n < limit; ++n) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any name already taken,
    // so a copy set aside earlier (or arriving meanwhile) is never overwritten.
    if (::MoveFileExW(from.c_str(), Widen(AsideName(path, n)).c_str(), 0)) return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  }
  return false;
}
